// DXF export: the file as written, each slot's entities, the modes and
// their sections, safe line-type names, the marks and temporary meshes on
// every way out, what ezdxf makes of the file and what the program's own
// reader reads back.

#include "exchange/dxf_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "display/export_scope.h"
#include "display/text_layout.h"
#include "dxf_test_util.h"
#include "exchange/dxf_common.h"
#include "exchange/dxf_reader.h"
#include "export_fixture.h"
#include "model/presets.h"
#include "model/settings.h"
#include "model/xform.h"
#include "support/comma_locale.h"
#include "support/golden_file.h"

namespace {

// One entity of the file: its name and its groups in order.
struct Entity {
  std::string name;
  std::vector<std::pair<std::string, std::string>> groups;
  // The value of the n-th group of a code ("" when there is none).
  std::string get(const std::string& code, int n = 0) const {
    for (const auto& [c, v] : groups)
      if (c == code && n-- == 0) return v;
    return "";
  }
  double num(const std::string& code, int n = 0) const { return std::stod(get(code, n)); }
};

// The entities of the ENTITIES section, codes without their blanks.
std::vector<Entity> entities_of(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> groups;
  std::istringstream in(text);
  for (std::string code, value; std::getline(in, code) && std::getline(in, value);) {
    code.erase(0, code.find_first_not_of(' '));
    groups.emplace_back(code, value);
  }
  std::vector<Entity> out;
  bool inside = false;
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const auto& [code, value] = groups[i];
    if (code == "2" && value == "ENTITIES") {
      inside = true;
      continue;
    }
    if (!inside) continue;
    if (code == "0") {
      if (value == "ENDSEC") break;
      out.push_back(Entity{value, {}});
    } else if (!out.empty()) {
      out.back().groups.emplace_back(code, value);
    }
  }
  return out;
}

int count_named(const std::vector<Entity>& es, const std::string& name) {
  int n = 0;
  for (const Entity& e : es) n += e.name == name ? 1 : 0;
  return n;
}

class DxfExport : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    saved_settings_ = dxf_settings;
    saved_factor_ = dxf_unit_factor;
    saved_select_ = export_scope_select;
    saved_borders_ = view_options.show_room_borders;
    import_path = dir.path().string() + "/";
    import_file = "";
    dxf_settings.export_scope = DXF_OBJECTS_ALL;
    dxf_settings.export_mode = DXF_OUT_2D;
    dxf_settings.export_unit = DXF_UNIT_M;
  }
  void TearDown() override {
    dxf_settings = saved_settings_;
    dxf_unit_factor = saved_factor_;
    export_scope_select = saved_select_;
    view_options.show_room_borders = saved_borders_;
    ExportTest::TearDown();
  }

  // The export of the drawing in a mode and unit into name; the file's text.
  std::string dxf(const std::string& name, int mode = DXF_OUT_2D, int unit = DXF_UNIT_M) {
    dxf_settings.export_mode = mode;
    dxf_settings.export_unit = unit;
    ui.paths = {file(name)};
    dxf_export();
    EXPECT_TRUE(nothing_marked());
    EXPECT_TRUE(ui.calls_starting("error").empty()) << ui.calls_starting("error")[0];
    return read_file(file(name));
  }

  // ezdxf reads the file and its audit finds no error; returns what the
  // script printed: the entity names of the model space, one a line.
  std::string ezdxf_reads(const std::string& name) {
    const std::string script =
        "import sys, ezdxf\n"
        "doc = ezdxf.readfile(sys.argv[1])\n"
        "auditor = doc.audit()\n"
        "for e in auditor.errors: print('ERROR', e.message)\n"
        "for e in doc.modelspace(): print(e.dxftype(), e.dxf.layer)\n";
    const ToolRun run = tool({"/usr/bin/python3", "-c", script, file(name)});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.find("ERROR"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Traceback"), std::string::npos) << run.out;
    return run.out;
  }

 private:
  DxfSettings saved_settings_;
  double saved_factor_ = 1.0;
  int (*saved_select_)(int) = nullptr;
  int32_t saved_borders_ = 0;
};

TEST_F(DxfExport, DocumentAsWritten) {
  primitives_drawing();
  const std::string text = dxf("primitives.dxf");
  EXPECT_TRUE(golden_text_matches(text, KAVRO_TEST_DATA_DIR "/dxf_primitives.txt", KAVRO_TEST_OUTPUT_DIR));
  EXPECT_EQ(text.find('\r'), std::string::npos);
  ezdxf_reads("primitives.dxf");
}

// A line in millimetres: the entity and the header extents in the same unit.
TEST_F(DxfExport, LineInMillimetres) {
  elem_new_line(0, 0, 0, 1, 2, 3, 4);
  const std::string text = dxf("line.dxf", DXF_OUT_2D, DXF_UNIT_MM);
  EXPECT_NE(
      text.find("0\nLINE\n8\n101\n6\nCONTINUOUS\n62\n7\n"
                "10\n1000.000000\n20\n2000.000000\n11\n3000.000000\n21\n4000.000000\n0\nENDSEC\n0\nEOF\n"),
      std::string::npos);
  EXPECT_NE(text.find(" 9\n$EXTMIN\n 10\n1000.00000\n 20\n2000.00000\n 30\n0.0\n"
                      "  9\n$EXTMAX\n 10\n3000.00000\n 20\n4000.00000\n"),
            std::string::npos)
      << text.substr(0, 300);
  const std::string listed = ezdxf_reads("line.dxf");
  EXPECT_EQ(listed, "LINE 101\n");
}

// Circles as CIRCLE, arcs as ARC with their angles as given (a negative
// sweep from its other end), ellipses and splines as one polyline each
// that carries the line type over its vertices, so that its dashes run on.
TEST_F(DxfExport, CirclesArcsEllipsesAndSplines) {
  elem_new_arc(0, 0, 0, 0, 0, 2, 2, GEOM_TWO_PI, 0, 0);
  elem_new_arc(0, 1, 0, 5, 0, 1, 1, GEOM_PI / 2, GEOM_PI / 2, 0);
  elem_new_arc(0, 2, 0, 5, 5, 1, 1, GEOM_PI, -GEOM_PI / 2, -GEOM_PI / 2);  // angles not brought into range
  elem_new_arc(0, 2, 0, 9, 5, 1, 1, -GEOM_PI / 2, GEOM_PI / 2, 0);         // clockwise from 90 to 0 degrees
  const auto circles = entities_of(dxf("arcs.dxf"));
  ASSERT_EQ(circles.size(), 4u);
  EXPECT_EQ(circles[0].name, "CIRCLE");
  EXPECT_EQ(circles[0].get("40"), "2.000000");
  EXPECT_EQ(circles[0].get("50"), "");
  EXPECT_EQ(circles[1].name, "ARC");
  EXPECT_EQ(circles[1].get("8"), "102");
  EXPECT_EQ(circles[1].get("50"), "90.000000");
  EXPECT_EQ(circles[1].get("51"), "180.000000");
  EXPECT_EQ(circles[2].get("50"), "-180.000000");
  EXPECT_EQ(circles[2].get("51"), "0.000000");
  EXPECT_EQ(circles[3].get("50"), "0.000000");
  EXPECT_EQ(circles[3].get("51"), "90.000000");

  // A dashed full ellipse (closed, its first point not repeated), a
  // dashed elliptic arc and a dashed spline: one POLYLINE each.
  struct Case {
    const char* what;
    std::function<void()> make;
    const char* flags;
    Point2 first, last;
  };
  const Case cases[] = {
      {"ellipse", [] { elem_new_arc(0, 0, 2, 1, 1, 2, 1, GEOM_TWO_PI, 0, 0); }, "129", {3, 1, 0}, {0, 0, 0}},
      {"elliptic arc, turned",
       [] { elem_new_arc(0, 0, 2, 0, 0, 2, 1, GEOM_PI, 0, GEOM_PI / 2); },
       "128",
       {0, 2, 0},
       {0, -2, 0}},
      {"spline", [] { elem_new_spline(0, 0, 2, 0, 0, 1, 2, 3, 2, 4, 0); }, "128", {0, 0, 0}, {4, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    elem_free_all();
    c.make();
    const auto es = entities_of(dxf("curve.dxf"));
    ASSERT_GT(es.size(), 10u);
    EXPECT_EQ(es.front().name, "POLYLINE");
    EXPECT_EQ(es.front().get("6"), "KAVLONGDASH");
    EXPECT_EQ(es.front().get("70"), c.flags);
    EXPECT_EQ(es.back().name, "SEQEND");
    EXPECT_EQ(count_named(es, "VERTEX"), static_cast<int>(es.size()) - 2);
    EXPECT_NEAR(es[1].num("10"), c.first.x, 1e-6);
    EXPECT_NEAR(es[1].num("20"), c.first.y, 1e-6);
    if (std::string(c.flags) == "128") {
      EXPECT_NEAR(es[es.size() - 2].num("10"), c.last.x, 1e-6);
      EXPECT_NEAR(es[es.size() - 2].num("20"), c.last.y, 1e-6);
    } else {
      // The last vertex stops short of the first.
      EXPECT_GT(std::hypot(es[es.size() - 2].num("10") - 3, es[es.size() - 2].num("20") - 1), 1e-3);
    }
  }
  // Other readers take them as polylines too.
  elem_free_all();
  for (const Case& c : cases) c.make();
  dxf("curves.dxf");
  EXPECT_EQ(ezdxf_reads("curves.dxf"), "POLYLINE 101\nPOLYLINE 101\nPOLYLINE 101\n");
}

// Texts: one TEXT per line, the height in metres at the drawing's scale,
// the next line one pitch down; right and centred texts anchored at the
// insertion point with the start point the width (or half of it) before it.
TEST_F(DxfExport, TextLines) {
  struct Case {
    double scale;
    uint8_t alignment;
    const char *height, *second_y;
  };
  for (const Case c :
       {Case{100, TEXT_LEFT, "0.250000", "-0.325000"}, Case{50, TEXT_LEFT, "0.125000", "-0.162500"},
        Case{100, TEXT_CENTRED, "0.250000", "-0.325000"}, Case{100, TEXT_RIGHT, "0.250000", "-0.325000"}}) {
    SCOPED_TRACE(testing::Message() << "scale " << c.scale << " alignment " << int(c.alignment));
    elem_free_all();
    drawing_scale = c.scale;
    elem_new_text(0, 0, 0, 0, 0, 0, 2.5, 1, 0.1, 1.3, "Wide line\nx", 0, "Simpel", c.alignment);
    const auto es = entities_of(dxf("text.dxf"));
    ASSERT_EQ(es.size(), 2u);
    EXPECT_EQ(es[0].name, "TEXT");
    EXPECT_EQ(es[0].get("1"), "Wide line");
    EXPECT_EQ(es[1].get("1"), "x");
    EXPECT_EQ(es[0].get("40"), c.height);
    EXPECT_EQ(es[0].get("50"), "0.000000");
    EXPECT_EQ(es[0].get("41"), "1.000000");
    if (c.alignment == TEXT_LEFT) {
      EXPECT_EQ(es[0].get("72"), "");
      EXPECT_EQ(es[1].get("10"), "0.000000");
      EXPECT_EQ(es[1].get("20"), c.second_y);
      continue;
    }
    EXPECT_EQ(es[0].get("72"), c.alignment == TEXT_CENTRED ? "1" : "2");
    EXPECT_EQ(es[1].get("11"), "0.000000");
    EXPECT_EQ(es[1].get("21"), c.second_y);
    const double w = font_text_width(2.5, 1, 0.1, "Simpel", "Wide line", c.alignment, 0);
    ASSERT_GT(w, 0.1);
    EXPECT_NEAR(es[0].num("10"), c.alignment == TEXT_CENTRED ? -w / 2 : -w, 1e-6);
    EXPECT_NEAR(es[0].num("20"), 0.0, 1e-6);
  }
}

// The blocks of the BLOCKS section by name, each with its entities.
std::map<std::string, std::vector<Entity>> blocks_of(const std::string& text) {
  std::map<std::string, std::vector<Entity>> out;
  std::istringstream in(text);
  std::string current;
  bool in_blocks = false;
  for (std::string code, value; std::getline(in, code) && std::getline(in, value);) {
    code.erase(0, code.find_first_not_of(' '));
    if (code == "2" && value == "BLOCKS") in_blocks = true;
    if (!in_blocks) continue;
    if (code == "0" && value == "ENDSEC") break;
    if (code == "0" && value == "BLOCK") {
      current = "?";
      continue;
    }
    if (code == "2" && current == "?") {
      current = value;
      out[current];
      continue;
    }
    if (current.empty() || current == "?") continue;
    if (code == "0") {
      if (value == "ENDBLK") {
        current.clear();
        continue;
      }
      out[current].push_back(Entity{value, {}});
    } else if (!out[current].empty()) {
      out[current].back().groups.emplace_back(code, value);
    }
  }
  return out;
}

// A chain of four entries: three DIMENSIONs, each with a block of its own
// that holds what the program draws for it and the figure it shows; a
// radius dimension as a radial DIMENSION.
TEST_F(DxfExport, Dimensions) {
  DimPoint chain[4];
  const double xs[4] = {0, 2, 5, 6};
  for (int i = 0; i < 4; ++i) {
    chain[i].line_point = Point2{xs[i], 3, 0};
    chain[i].measured = Point2{xs[i], 0, 0};
    chain[i].segment_length = i > 0 ? xs[i] - xs[i - 1] : 0.0;
  }
  elem_new_dim(0, 3, 1, 2, 0, 0, 2.5, 1, 0.1, 0.5, 1, "Simpel", 1, DIM_MARK_ARROW, DIM_CHAIN, 4, chain);
  const std::string text = dxf("chain.dxf");
  const auto es = entities_of(text);
  const auto blocks = blocks_of(text);
  ASSERT_EQ(es.size(), 3u);
  const char* figures[3] = {"2.0", "3.0", "1.0"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(es[i].name, "DIMENSION");
    const std::string name = "*D" + std::to_string(i + 1);
    EXPECT_EQ(es[i].get("2"), name);
    EXPECT_EQ(es[i].get("3"), "STANDARD");
    EXPECT_EQ(es[i].get("8"), "104");
    EXPECT_EQ(es[i].get("6"), "SHORTDASH");
    EXPECT_EQ(es[i].get("62"), "10");
    EXPECT_EQ(es[i].get("70"), "32");
    EXPECT_EQ(es[i].num("50"), 0.0);
    EXPECT_EQ(es[i].num("13"), xs[i]);
    EXPECT_EQ(es[i].num("23"), 0.0);
    EXPECT_EQ(es[i].num("14"), xs[i + 1]);
    EXPECT_EQ(es[i].num("10"), xs[i + 1]);
    EXPECT_EQ(es[i].num("20"), 3.0);
    EXPECT_EQ(es[i].get("1"), figures[i]);
    ASSERT_EQ(blocks.count(name), 1u);
    const std::vector<Entity>& b = blocks.at(name);
    EXPECT_EQ(count_named(b, "SOLID"), 2);  // the two arrowheads
    EXPECT_GE(count_named(b, "LINE"), 3);
    ASSERT_EQ(count_named(b, "TEXT"), 1);
    for (const Entity& e : b)
      if (e.name == "TEXT") {
        EXPECT_EQ(e.get("1"), figures[i]);
      }
  }
  ezdxf_reads("chain.dxf");

  elem_free_all();
  DimPoint radius[3];
  radius[0].line_point = Point2{8, 8, 0};
  radius[1].line_point = Point2{9, 8, 0};
  radius[2].line_point = Point2{10, 8, 0};
  elem_new_dim(0, 0, 0, 1, 0, 0, 2.5, 1, 0.1, 0.5, 1, "Simpel", 1, DIM_MARK_LINE, DIM_RADIUS, 3, radius);
  const auto parts = entities_of(dxf("radius.dxf"));
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_EQ(parts[0].name, "DIMENSION");
  EXPECT_EQ(parts[0].get("70"), "36");
  EXPECT_EQ(parts[0].num("10"), 8.0);
  EXPECT_EQ(parts[0].num("15"), 9.0);
  EXPECT_EQ(parts[0].get("1"), "R 1.0");
  ezdxf_reads("radius.dxf");
}

// The header and the dimension style carry the drawing's dimension
// settings: sizes in paper millimetres, DIMSCALE to the file's unit.
TEST_F(DxfExport, DimensionVariables) {
  const DimPreset saved_preset = dim_preset;
  const double saved_scale = drawing_scale;
  const int32_t saved_accuracy = dim_settings.accuracy;
  dim_preset.figure_size = 3.5;
  dim_preset.end_mark = DIM_MARK_LINE;
  dim_preset.chain_space = 0.5;
  drawing_scale = 50;
  dim_settings.accuracy = 3;
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  const std::string text = dxf("vars.dxf", DXF_OUT_2D, DXF_UNIT_MM);
  dim_preset = saved_preset;
  drawing_scale = saved_scale;
  dim_settings.accuracy = saved_accuracy;
  for (const char* var :
       {"$DIMSCALE\n 40\n50.000000\n", "$DIMTXT\n 40\n3.500000\n", "$DIMASZ\n 40\n1.750000\n",
        "$DIMTSZ\n 40\n1.750000\n", "$DIMGAP\n 40\n1.750000\n", "$DIMDEC\n 70\n3\n", "$DIMTAD\n 70\n1\n"})
    EXPECT_NE(text.find(var), std::string::npos) << var;
  EXPECT_NE(text.find("STANDARD\n 70\n     0\n"), std::string::npos);
  EXPECT_NE(text.find(" 40\n50.000000\n 41\n1.750000\n"), std::string::npos);
  EXPECT_NE(text.find("140\n3.500000\n141\n0.000000\n142\n1.750000\n"), std::string::npos);
  const ToolRun run = tool({"/usr/bin/python3", "-c",
                            "import sys, ezdxf\n"
                            "doc = ezdxf.readfile(sys.argv[1])\n"
                            "print(doc.header['$DIMSCALE'], doc.header['$DIMTXT'], doc.header['$DIMDEC'])\n"
                            "s = doc.dimstyles.get('STANDARD')\n"
                            "print(s.dxf.dimscale, s.dxf.dimtxt, s.dxf.dimasz)\n",
                            file("vars.dxf")});
  EXPECT_EQ(run.out, "50.0 3.5 3\n50.0 3.5 1.75\n");
}

// Other readers see the program's figures: ezdxf finds in each dimension's
// block the figure the entity names, and LibreCAD draws the file (the file
// and LibreCAD's PDF stay in the test output to be looked at).
TEST_F(DxfExport, DimensionsAsOtherReadersSeeThem) {
  auto entry = [](double x, double y) {
    DimPoint p;
    p.line_point = Point2{x, y, 0};
    p.measured = Point2{x, 0, 0};
    return p;
  };
  DimPoint chain[3] = {entry(0, 3), entry(2, 3), entry(5, 3)};
  elem_dim_sort_chain_points(0, 3, 10, 3, 3, chain, DIM_CHAIN);
  elem_new_dim(0, 1, 0, 1, 0, 0, 2.5, 1, 0.1, 0.5, 1, "Simpel", 1, DIM_MARK_ARROW, DIM_CHAIN, 3, chain);
  DimPoint radius[3] = {entry(10, 0), entry(11, 0), entry(12, 0)};
  elem_new_dim(0, 1, 0, 1, 0, 0, 2.5, 1, 0.1, 0.5, 1, "Simpel", 1, DIM_MARK_ARROW, DIM_RADIUS, 3, radius);
  DimPoint diameter[3] = {entry(20, 0), entry(22, 2), entry(22, -2)};
  elem_new_dim(0, 1, 0, 1, 0, 0, 2.5, 1, 0.1, 0.5, 1, "Simpel", 1, DIM_MARK_ARROW, DIM_DIAMETER, 3, diameter);
  DimPoint angle[3] = {entry(30, 0), entry(32, 0), entry(30, 2)};
  elem_new_dim(0, 1, 0, 1, 0, 0, 2.5, 1, 0.1, 0.5, 1, "Simpel", 1, DIM_MARK_ARROW, DIM_ANGLE, 3, angle);
  const std::string text = dxf("dims.dxf");
  std::ofstream(output("dimensions.dxf"), std::ios::binary) << text;
  ezdxf_reads("dims.dxf");
  const ToolRun figures =
      tool({"/usr/bin/python3", "-c",
            "import sys, ezdxf\n"
            "doc = ezdxf.readfile(sys.argv[1])\n"
            "for d in doc.modelspace().query('DIMENSION'):\n"
            "  drawn = [e.dxf.text for e in d.get_geometry_block() if e.dxftype() == 'TEXT']\n"
            "  print(d.dxf.text, '|'.join(drawn))\n",
            file("dims.dxf")});
  EXPECT_EQ(figures.out, "2.0 2.0\n3.0 3.0\nR 1.0 R 1.0\nD 4.0 D 4.0\n90.00 90.00\n");
  // dxf2pdf names its PDF after the file, beside it.
  std::filesystem::remove(output("dimensions.pdf"));
  const ToolRun lc = tool({"/usr/bin/env", "QT_QPA_PLATFORM=offscreen", "HOME=" + file(""), "librecad",
                           "dxf2pdf", "-a", output("dimensions.dxf")});
  EXPECT_EQ(lc.status, 0) << lc.out;
  EXPECT_GT(read_file(output("dimensions.pdf")).size(), 1000u) << lc.out;
}

// Each dimension kind the format has comes back from the program's own
// reader as the same dimension.
TEST_F(DxfExport, DimensionsRoundTrip) {
  auto entry = [](double x, double y, double mx = 0, double my = 0) {
    DimPoint p;
    p.line_point = Point2{x, y, 0};
    p.measured = Point2{mx, my, 0};
    return p;
  };
  struct Case {
    uint8_t kind;
    double direction;
    std::vector<DimPoint> points;
  } cases[] = {
      {DIM_CHAIN, 0.0, {entry(0, 3, 0, 0), entry(2, 3, 2, 1), entry(5, 3, 5, 0)}},
      {DIM_CHAIN,
       GEOM_PI / 6,
       {entry(0, 0, 0.5, -0.8660254037844386), entry(std::sqrt(3.0), 1, std::sqrt(3.0), 1)}},
      {DIM_RADIUS, 0.0, {entry(8, 8), entry(8.6, 8.8), entry(9.5, 10)}},
      {DIM_RADIUS, 0.0, {entry(8, 8), entry(8, 6.5), entry(8, 7)}},
      {DIM_RADIUS, 0.0, {entry(8, 5), entry(8, 6.5), entry(8, 7)}},
      {DIM_RADIUS, 0.0, {entry(7, 6.5), entry(8, 6.5), entry(8, 7)}},  // the figure beside the radius
      {DIM_RADIUS, 0.0, {entry(8, 8), entry(9, 8), entry(8, 7)}},
      {DIM_DIAMETER, 0.0, {entry(0, 0), entry(2, 2), entry(2, -2)}},
      {DIM_ANGLE, 0.0, {entry(0, 0), entry(2, 0), entry(0, 2)}},
      {DIM_ANGLE, 0.0, {entry(0, 0), entry(0, 2), entry(2, 0)}},  // three quarters round
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    elem_free_all();
    std::vector<DimPoint> pts = c.points;
    if (c.kind == DIM_CHAIN) {
      const Point2 a = pts[0].line_point;
      elem_dim_sort_chain_points(a.x, a.y, a.x + 10 * std::cos(c.direction), a.y + 10 * std::sin(c.direction),
                                 static_cast<int>(pts.size()), pts.data(), DIM_CHAIN);
    }
    elem_new_dim(0, 1, 0, 1, 0, c.direction, 2.5, 1, 0.1, 0.5, 1, "Simpel", 1, DIM_MARK_ARROW, c.kind,
                 static_cast<int>(pts.size()), pts.data());
    std::istringstream in(dxf("dims.dxf"));
    DxfImportOptions options;
    options.drawing_scale = drawing_scale;
    DxfImport back = dxf_read(in, options);
    ASSERT_EQ(back.error, DxfError::NONE) << back.log;
    std::vector<const DimElem*> dims;
    for (const auto& e : back.elements)
      if (const DimElem* d = elem_as<DimElem>(e.get())) dims.push_back(d);
    if (c.kind == DIM_CHAIN) {
      // One two-entry dimension per segment, joined end to end.
      ASSERT_EQ(dims.size(), pts.size() - 1);
      for (std::size_t i = 0; i < dims.size(); ++i) {
        EXPECT_EQ(dims[i]->dim_kind, DIM_CHAIN);
        EXPECT_NEAR(dims[i]->direction, c.direction, 1e-6);
        ASSERT_EQ(dims[i]->points.size(), 2u);
        for (std::size_t k = 0; k < 2; ++k) {
          const DimPoint& want = pts[i + k];
          EXPECT_NEAR(dims[i]->points[k].line_point.x, want.line_point.x, 1e-6) << i << " " << k;
          EXPECT_NEAR(dims[i]->points[k].line_point.y, want.line_point.y, 1e-6) << i << " " << k;
          EXPECT_NEAR(dims[i]->points[k].measured.x, want.measured.x, 1e-6) << i << " " << k;
          EXPECT_NEAR(dims[i]->points[k].measured.y, want.measured.y, 1e-6) << i << " " << k;
        }
        EXPECT_NEAR(dims[i]->points[1].segment_length, pts[i + 1].segment_length, 1e-6);
      }
      continue;
    }
    ASSERT_EQ(dims.size(), 1u);
    EXPECT_EQ(dims[0]->dim_kind, c.kind);
    ASSERT_EQ(dims[0]->points.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
      EXPECT_NEAR(dims[0]->points[k].line_point.x, pts[k].line_point.x, 1e-6) << k;
      EXPECT_NEAR(dims[0]->points[k].line_point.y, pts[k].line_point.y, 1e-6) << k;
    }
  }
}

// A room with two contours: two closed polylines with the border option
// on, then the inscriptions; with it off only the inscriptions. The
// option is the user's again afterwards.
TEST_F(DxfExport, RoomOutlines) {
  Point2 room[10] = {{14, 0, 0},   {20, 0, 0},   {20, 4, 0},   {14, 4, 0},   CONTOUR_END,
                     {16, 1.5, 0}, {16, 2.5, 0}, {17, 2.5, 0}, {17, 1.5, 0}, CONTOUR_END};
  elem_new_room(0, 2, 0, 17.5, 3.5, "Simpel", 0, 3.5, 1, 0.1, 1.5, "Living", "1.01", 1, 0, 2.5, 1, 1, 0, 1,
                10, room);
  for (int borders : {1, 0}) {
    SCOPED_TRACE(borders);
    view_options.show_room_borders = borders;
    const auto es = entities_of(dxf("room.dxf"));
    EXPECT_EQ(view_options.show_room_borders, borders);
    EXPECT_EQ(count_named(es, "LINE"), 0);
    EXPECT_GT(count_named(es, "TEXT"), 0);
    EXPECT_EQ(count_named(es, "POLYLINE"), borders ? 2 : 0);
    EXPECT_EQ(count_named(es, "SEQEND"), borders ? 2 : 0);
    EXPECT_EQ(count_named(es, "VERTEX"), borders ? 8 : 0);
    if (borders) {
      ASSERT_GE(es.size(), 12u);
      EXPECT_EQ(es[0].name, "POLYLINE");
      EXPECT_EQ(es[0].get("70"), "1");
      EXPECT_EQ(es[0].get("8"), "103");
      EXPECT_EQ(es[1].get("10"), "14.000000");
      EXPECT_EQ(es[1].get("30"), "0.000000");
      EXPECT_EQ(es[5].name, "SEQEND");
      EXPECT_EQ(es[6].name, "POLYLINE");
      EXPECT_EQ(es[11].name, "SEQEND");
      EXPECT_EQ(es[12].name, "TEXT");
      ezdxf_reads("room.dxf");
    }
  }
}

// Guide elements are left out as in the printed exports; pens and line
// types outside the tables take entry 0.
TEST_F(DxfExport, PensOutsideTheTable) {
  elem_new_line(0, PEN_GUIDE, 0, 0, 0, 1, 0);
  elem_new_line(0, 9, 9, 0, 1, 1, 1);
  elem_new_text(0, PEN_GUIDE, 0, 2, 4, 0, 3.5, 1, 0.1, 1.5, "guide", 0, "Simpel", TEXT_LEFT);
  elem_new_arc(0, PEN_GUIDE, 0, 0, 0, 2, 1, GEOM_TWO_PI, 0, 0);
  elem_new_light(0, 0, 0, 0, 0, 1, 30, 0.5, -20, -20, 3, -15, -15, 0, 1, 1, 1);
  const auto es = entities_of(dxf("pens.dxf"));
  ASSERT_EQ(es.size(), 1u);
  EXPECT_EQ(es[0].get("8"), "101");
  EXPECT_EQ(es[0].get("62"), "7");
  EXPECT_EQ(es[0].get("6"), "CONTINUOUS");
}

// Line-type names as symbols: safe names stay, others are mended, an empty
// one named by its number, and two different types never share a name,
// while equal types do share their one table entry.
TEST_F(DxfExport, LineTypeNames) {
  const DxfLineTypeNames defaults = dxf_line_type_names();
  EXPECT_EQ(defaults.name[0], "CONTINUOUS");
  EXPECT_EQ(defaults.name[2], "KAVLONGDASH");
  EXPECT_EQ(defaults.name[6], "CONTINUOUS");
  EXPECT_FALSE(defaults.first[6]);
  EXPECT_FALSE(defaults.first[7]);

  line_types[1].name = "my dash";
  line_types[3].name = "";
  line_types[4].name =
      "Stra\xDF"
      "e";
  line_types[5].name = "SHORTDASH";  // differs from type 1's dashes, now named "my dash"
  line_types[6].name = "my_dash";    // same mended name as 1, other dashes
  line_types[7].name = "my_dash";
  const DxfLineTypeNames n = dxf_line_type_names();
  EXPECT_EQ(n.name[1], "my_dash");
  EXPECT_EQ(n.name[3], "LT3");
  EXPECT_EQ(n.name[4], "Stra_e");
  EXPECT_EQ(n.name[5], "SHORTDASH");
  EXPECT_EQ(n.name[6], "my_dash_2");
  EXPECT_EQ(n.name[7], "my_dash_2");
  EXPECT_TRUE(n.first[6]);
  EXPECT_FALSE(n.first[7]);

  for (int lt = 0; lt < 8; ++lt) elem_new_line(0, 0, lt, 0, lt, 1, lt);
  const std::string text = dxf("names.dxf");
  EXPECT_EQ(count_of(text, "0\nLTYPE\n"), 7);
  EXPECT_NE(text.find("LTYPE\n70\n7\n"), std::string::npos);
  const auto es = entities_of(text);
  ASSERT_EQ(es.size(), 8u);
  EXPECT_EQ(es[1].get("6"), "my_dash");
  EXPECT_EQ(es[7].get("6"), "my_dash_2");
  ezdxf_reads("names.dxf");
}

// The header's box is exactly that of what the file holds, in x, y and z:
// not of a filling the file leaves out, not of a guide line; an arc's box
// reaches only as far as the arc; in 3D the faces' heights count.
TEST_F(DxfExport, HeaderBoxIsWhatIsWritten) {
  auto filling = [](double x, double y) {
    Point2 p[5] = {{x, y, 0}, {x + 2, y, 0}, {x + 2, y + 1.5, 0}, {x, y + 1.5, 0}, CONTOUR_END};
    elem_new_pattern(0, 1, 0, x, y, 0, 0.01, 0, 0, 0, 0, 0, 0, 5, p, 0.5, 0.5, 0.5, PATTERN_FILLING);
  };
  auto cuboid = [](double z0, double z1) {
    Point3 v[8] = {{1, 2, z0, 0}, {3, 2, z0, 0}, {3, 5, z0, 0}, {1, 5, z0, 0},
                   {1, 2, z1, 0}, {3, 2, z1, 0}, {3, 5, z1, 0}, {1, 5, z1, 0}};
    const int32_t sizes[2] = {4, 4};
    const int32_t idx[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    elem_new_mesh(0, 0, 0, 8, 2, sizes, v, idx, "Stone", 0);
  };
  struct Case {
    const char* what;
    std::function<void()> draw;
    int mode;
    double lo[3], hi[3];
  };
  const Case cases[] = {
      {"line and filling",
       [&] {
         elem_new_line(0, 0, 0, 0.5, 0.25, 1, 0.5);
         filling(60, 40);
       },
       DXF_OUT_2D,
       {0.5, 0.25, 0},
       {1, 0.5, 0}},
      {"guide line",
       [&] {
         elem_new_line(0, 0, 0, 0, 0, 1, 1);
         elem_new_line(0, PEN_GUIDE, 0, -5, -5, 9, 9);
       },
       DXF_OUT_2D_ENTITIES,
       {0, 0, 0},
       {1, 1, 0}},
      {"quarter arc and circle",
       [&] {
         elem_new_arc(0, 0, 0, 0, 0, 2, 2, GEOM_PI / 2, GEOM_PI / 4, 0);  // 45 to 135 degrees
         elem_new_arc(0, 0, 0, 10, 1, 0.5, 0.5, GEOM_TWO_PI, 0, 0);
       },
       DXF_OUT_2D,
       {-std::sqrt(2.0), 0.5, 0},
       {10.5, 2, 0}},
      {"faces", [&] { cuboid(-1.25, 4.5); }, DXF_OUT_3D, {1, 2, -1.25}, {3, 5, 4.5}},
      {"faces in millimetres", [&] { cuboid(0.5, 4.5); }, DXF_OUT_3D_ENTITIES, {1, 2, 0.5}, {3, 5, 4.5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    drawing_free();
    c.draw();
    const int unit = std::string(c.what).ends_with("millimetres") ? DXF_UNIT_MM : DXF_UNIT_M;
    const double f = unit == DXF_UNIT_MM ? 1000 : 1;
    const std::string text = dxf("box.dxf", c.mode, unit);
    double got[6] = {};
    const std::size_t min_at = text.find("$EXTMIN"), max_at = text.find("$EXTMAX");
    ASSERT_NE(max_at, std::string::npos);
    ASSERT_EQ(std::sscanf(text.c_str() + min_at, "$EXTMIN\n 10\n%lf\n 20\n%lf\n 30\n%lf", &got[0], &got[1],
                          &got[2]),
              3);
    ASSERT_EQ(std::sscanf(text.c_str() + max_at, "$EXTMAX\n 10\n%lf\n 20\n%lf\n 30\n%lf", &got[3], &got[4],
                          &got[5]),
              3);
    for (int k = 0; k < 6; ++k)
      EXPECT_NEAR(got[k], (k < 3 ? c.lo[k] : c.hi[k - 3]) * f, 1e-5 * f) << "value " << k;
  }
}

// No LINE of no length: a tread's vertical edges are left out of the plan,
// and a line drawn as a point is a POINT.
TEST_F(DxfExport, NoLineOfNoLength) {
  tread_mesh(5);
  elem_new_line3d(0, 0, 0, 8, 0, 0, 8, 0, 3);
  elem_new_line(0, 0, 0, 2, 2, 2, 2);
  const auto es = entities_of(dxf("pieces.dxf"));
  int lines = 0;
  for (const Entity& e : es) {
    if (e.name != "LINE") continue;
    ++lines;
    EXPECT_FALSE(e.get("10") == e.get("11") && e.get("20") == e.get("21"))
        << e.get("10") << " " << e.get("20");
  }
  EXPECT_EQ(lines, 4 + 4 + 4 * 2);  // top, bottom, the side faces without their vertical edges
  ASSERT_EQ(count_named(es, "POINT"), 1);
  EXPECT_EQ(es.back().get("10"), "2.000000");
  ezdxf_reads("pieces.dxf");
}

// The sections each mode writes.
TEST_F(DxfExport, SectionsPerMode) {
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  struct Case {
    int mode;
    bool ltype, layer;
  };
  for (const Case c : {Case{DXF_OUT_2D, true, true}, Case{DXF_OUT_2D_ENTITIES, false, false},
                       Case{DXF_OUT_3D, false, true}, Case{DXF_OUT_3D_ENTITIES, false, false}}) {
    SCOPED_TRACE(c.mode);
    const std::string text = dxf("modes.dxf", c.mode);
    EXPECT_EQ(text.rfind(" 0\nSECTION\n 2\nHEADER\n 9\n$ACADVER\n 1\nAC1009\n", 0), 0u);
    EXPECT_EQ(text.find("\n2\nTABLES\n") != std::string::npos, c.ltype || c.layer);
    EXPECT_EQ(text.find("\n2\nLTYPE\n") != std::string::npos, c.ltype);
    EXPECT_EQ(text.find("\nDIMSTYLE\n") != std::string::npos, c.ltype);
    EXPECT_NE(text.find(" 2\nBLOCKS\n 0\nENDSEC\n"), std::string::npos);
    EXPECT_EQ(count_of(text, "\nLINE\n"), c.mode < DXF_OUT_3D ? 1 : 0);
    EXPECT_TRUE(text.ends_with("0\nENDSEC\n0\nEOF\n"));
  }
}

// A solid filling has no entity in the file; the export says at its end how
// many were left out. A dimension's arrowheads (SOLIDs of its block) and
// hatch lines are written and not counted; the 3D modes write meshes only.
TEST_F(DxfExport, SaysHowManyFillingsWereLeftOut) {
  auto filling = [](double x, int type) {
    Point2 p[5] = {{x, 0, 0}, {x + 1, 0, 0}, {x + 1, 1, 0}, {x, 1, 0}, CONTOUR_END};
    elem_new_pattern(0, 1, 0, x, 0, 0.785, 0.2, 0, 0, x, 0, 2.356, 0.2, 5, p, 0.2, 0.5, 0.9, type);
  };
  auto arrows = [] {
    DimPoint d[2];
    for (int i = 0; i < 2; ++i) {
      d[i].line_point = Point2{2.0 * i, 3, 0};
      d[i].measured = Point2{2.0 * i, 2, 0};
      d[i].segment_length = 2.0 * i;
    }
    elem_new_dim(0, 3, 0, 2, 0, 0, 2.5, 1, 0.1, 0.5, 1, "Simpel", 1, DIM_MARK_ARROW, DIM_CHAIN, 2, d);
  };
  struct Case {
    const char* what;
    std::function<void()> draw;
    int mode;
    const char* message;  // null: none
  };
  const Case cases[] = {
      {"lines only", [] { elem_new_line(0, 0, 0, 0, 0, 1, 0); }, DXF_OUT_2D, nullptr},
      {"hatch and arrows",
       [&] {
         filling(0, PATTERN_ONE_LINE);
         arrows();
       },
       DXF_OUT_2D, nullptr},
      {"one filling", [&] { filling(0, PATTERN_FILLING); }, DXF_OUT_2D,
       "message Message: 1 filling was left out of the DXF file, which has no entity for filled areas."},
      {"three among others",
       [&] {
         filling(0, PATTERN_FILLING);
         arrows();
         filling(2, PATTERN_FILLING);
         filling(4, PATTERN_TWO_LINES);
         elem_new_line(0, 0, 0, 0, 0, 1, 0);
         filling(6, PATTERN_FILLING);
       },
       DXF_OUT_2D_ENTITIES,
       "message Message: 3 fillings were left out of the DXF file, which has no entity for filled areas."},
      {"3D", [&] { filling(0, PATTERN_FILLING); }, DXF_OUT_3D_ENTITIES, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    drawing_free();
    c.draw();
    ui.calls.clear();
    const std::string text = dxf("fillings.dxf", c.mode);
    EXPECT_TRUE(text.ends_with("0\nEOF\n"));
    const auto said = ui.calls_starting("message");
    if (c.message) {
      EXPECT_EQ(said, std::vector<std::string>{c.message});
    } else {
      EXPECT_TRUE(said.empty()) << said[0];
    }
  }
}

// 3D: the marked wall and mesh as triangles on "Default", the fourth corner
// repeating the third; the materials in the layer table; no temporary mesh
// left behind.
TEST_F(DxfExport, ThreeDFaces) {
  every_kind_drawing();
  Point3 v[4] = {{30, 0, 0, 0}, {31, 0, 0, 0}, {31, 1, 0, 0}, {30, 1, 1, 0}};
  const int32_t sizes[1] = {4};
  const int32_t idx[4] = {0, 1, 2, 3};
  elem_new_mesh(0, 0, 0, 4, 1, sizes, v, idx, "Glas", 0);
  const std::string text = dxf("solid.dxf", DXF_OUT_3D, DXF_UNIT_CM);
  EXPECT_NE(text.find("\n2\nLAYER\n70\n2\n0\nLAYER\n2\nGlas\n70\n64\n62\n0\n6\nCONTINUOUS\n"
                      "0\nLAYER\n2\nDefault\n"),
            std::string::npos);
  const auto es = entities_of(text);
  ASSERT_GT(es.size(), 20u);
  for (const Entity& e : es) {
    ASSERT_EQ(e.name, "3DFACE");
    EXPECT_EQ(e.get("8"), "Default");
    EXPECT_EQ(e.get("13"), e.get("12"));
    EXPECT_EQ(e.get("23"), e.get("22"));
    EXPECT_EQ(e.get("33"), e.get("32"));
  }
  // The mesh's square, in centimetres, comes before the wall's temporary
  // mesh, which is appended after every other element.
  int square = 0;
  for (const Entity& e : es)
    if (e.num("10") >= 3000.0) ++square;
  EXPECT_EQ(square, 2);
  EXPECT_EQ(es[0].get("10"), "3000.000000");
  EXPECT_EQ(es[1].get("30"), "0.000000");
  for (ElemHeader* e : elements()) EXPECT_NE(e->layer, LAYER_TEMP_3D);
  const std::string listed = ezdxf_reads("solid.dxf");
  EXPECT_EQ(count_of(listed, "3DFACE Default\n"), static_cast<int>(es.size()));
}

// Every kind of element in one file that ezdxf reads without audit errors.
TEST_F(DxfExport, EveryKindReadByEzdxf) {
  every_kind_drawing();
  view_options.show_room_borders = 1;
  const std::string text = dxf("every.dxf");
  std::ofstream(output("every_kind.dxf"), std::ios::binary) << text;  // to be looked at
  const std::string listed = ezdxf_reads("every.dxf");
  for (const char* kind : {"LINE 101", "CIRCLE", "ARC", "TEXT", "DIMENSION", "POLYLINE 103"})
    EXPECT_NE(listed.find(kind), std::string::npos) << kind << " in\n" << listed;
  // Every layer an entity names, in the model space and in the blocks, is
  // one the LAYER table defines.
  const ToolRun run =
      tool({"/usr/bin/python3", "-c",
            "import sys, ezdxf\n"
            "doc = ezdxf.readfile(sys.argv[1])\n"
            "defined = {l.dxf.name for l in doc.layers}\n"
            "used = {e.dxf.layer for b in doc.blocks for e in b} | {b.block.dxf.layer for b in doc.blocks}\n"
            "print(sorted(used - defined))\n",
            file("every.dxf")});
  EXPECT_EQ(run.out, "[]\n");
}

// What the program's own reader makes of the file: the same lines, circles,
// arcs and texts, within a micrometre.
TEST_F(DxfExport, RoundTripThroughTheReader) {
  elem_new_line(0, 1, 0, 1.234567, -2.5, 3.75, 4.125);
  elem_new_arc(0, 2, 0, 3, 1, 0.5, 0.5, GEOM_TWO_PI, 0, 0);
  elem_new_arc(0, 3, 0, -3, 1, 0.8, 0.8, GEOM_PI / 3, 0.25, 0);
  elem_new_text(0, 4, 0, 5, 4, 0.5, 3.5, 1, 0.1, 1.5, "Plan", 0, "Simpel", TEXT_LEFT);
  const std::string text = dxf("round.dxf", DXF_OUT_2D, DXF_UNIT_M);
  std::istringstream in(text);
  DxfImportOptions options;
  options.unit = DXF_UNIT_M;
  options.drawing_scale = drawing_scale;
  DxfImport back = dxf_read(in, options);
  ASSERT_EQ(back.error, DxfError::NONE) << back.log;
  ASSERT_EQ(back.elements.size(), 4u);
  const auto* line = elem_as<LineElem>(back.elements[0].get());
  ASSERT_NE(line, nullptr);
  EXPECT_NEAR(line->p1.x, 1.234567, 1e-6);
  EXPECT_NEAR(line->p1.y, -2.5, 1e-6);
  EXPECT_NEAR(line->p2.x, 3.75, 1e-6);
  EXPECT_NEAR(line->p2.y, 4.125, 1e-6);
  EXPECT_EQ(line->pen, 1);
  const auto* circle = elem_as<ArcElem>(back.elements[1].get());
  ASSERT_NE(circle, nullptr);
  EXPECT_NEAR(circle->centre.x, 3, 1e-6);
  EXPECT_NEAR(circle->radius_x, 0.5, 1e-6);
  EXPECT_NEAR(circle->sweep, GEOM_TWO_PI, 1e-6);
  const auto* arc = elem_as<ArcElem>(back.elements[2].get());
  ASSERT_NE(arc, nullptr);
  EXPECT_NEAR(arc->centre.x, -3, 1e-6);
  EXPECT_NEAR(arc->radius_x, 0.8, 1e-6);
  EXPECT_NEAR(arc->start, 0.25, 1e-6);
  EXPECT_NEAR(arc->sweep, GEOM_PI / 3, 1e-6);
  const auto* t = elem_as<TextElem>(back.elements[3].get());
  ASSERT_NE(t, nullptr);
  EXPECT_NEAR(t->pos.x, 5, 1e-6);
  EXPECT_NEAR(t->pos.y, 4, 1e-6);
  EXPECT_NEAR(t->angle, 0.5, 1e-6);
  EXPECT_NEAR(t->height, 3.5, 1e-6);
  EXPECT_EQ(t->text, "Plan");
}

// An arc read with angles far beyond a turn is written with the angles it
// has in the drawing, and reads back as the same arc. Start and sweep
// worked out with Python's math.fmod of the same radians.
TEST_F(DxfExport, ArcOfAnglesFarBeyondATurnReadsBack) {
  DxfImportOptions options;
  options.unit = DXF_UNIT_M;
  options.drawing_scale = drawing_scale;
  DxfImport first = dxf_read_text(dxf_entities("0 ARC|10 1|20 2|40 3|50 1e300|51 -1e300"), options);
  ASSERT_EQ(first.elements.size(), 1u);
  dxf_import_commit(first);
  std::istringstream in(dxf("turns.dxf", DXF_OUT_2D, DXF_UNIT_M));
  DxfImport back = dxf_read(in, options);
  ASSERT_EQ(back.error, DxfError::NONE) << back.log;
  ASSERT_EQ(back.elements.size(), 1u);
  const auto* arc = elem_as<ArcElem>(back.elements[0].get());
  ASSERT_NE(arc, nullptr);
  EXPECT_NEAR(arc->start, 3.0770332080374345, 1e-7);
  EXPECT_NEAR(arc->sweep, 0.1291188911047172, 1e-7);
  EXPECT_NEAR(arc->radius_x, 3, 1e-6);
  EXPECT_NEAR(arc->centre.x, 1, 1e-6);
  EXPECT_NEAR(arc->centre.y, 2, 1e-6);
}

// Coordinates as far out as an import keeps are written so that they read
// back as the same doubles: beyond 1e12 in exponent form, as CAD programs
// write their own extents; nearer ones keep their six decimals.
TEST_F(DxfExport, FarCoordinatesComeBackAsWritten) {
  elem_new_line(0, 1, 0, 9.5e15, -2.5, 1e99, 1.25e13);
  elem_new_line(0, 1, 0, 999999999999.5, 0, 0, 0);
  const std::string text = dxf("far.dxf", DXF_OUT_2D, DXF_UNIT_M);
  EXPECT_NE(text.find("10\n9.5e+15\n20\n-2.500000\n11\n1e+99\n21\n1.25e+13\n"), std::string::npos);
  EXPECT_NE(text.find("10\n999999999999.500000\n"), std::string::npos);
  std::istringstream in(text);
  DxfImportOptions options;
  options.unit = DXF_UNIT_M;
  options.drawing_scale = drawing_scale;
  DxfImport back = dxf_read(in, options);
  ASSERT_EQ(back.error, DxfError::NONE) << back.log;
  ASSERT_EQ(back.elements.size(), 2u);
  const auto* line = elem_as<LineElem>(back.elements[0].get());
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->p1.x, 9.5e15);
  EXPECT_EQ(line->p2.x, 1e99);
  EXPECT_EQ(line->p2.y, 1.25e13);
  EXPECT_EQ(ezdxf_reads("far.dxf"), "LINE 102\nLINE 102\n");
}

// Every character of a text comes back as it was, from the program's own
// reader and from ezdxf: backslashes, carets, braces, percent signs,
// control characters and Latin-1 letters.
TEST_F(DxfExport, TextsComeBackAsWritten) {
  const std::vector<std::string> texts = {
      "C:\\Plans\\new x^2 y^J",
      "{braces} \\P \\S1^2; \\~",
      "100% sure, 5%d, %",
      "tab\there, ^ caret",
      "Gr\xF6\xDF"
      "e \xB0 \xB1 \xD8 \xE4",
  };
  // Only for the program itself: ezdxf has no code for a percent sign after
  // another, reads no character codes in a TEXT (which stand for Latin-1
  // letters that would read as UTF-8) and drops a last caret.
  const std::vector<std::string> percent = {"%%d %%c %%p", "a%%b", "%%%", "50%%p12", "%%u%%", "ends^",
                                            "\\U+0041 \\M+12345",
                                            // Latin-1 letters that read as UTF-8.
                                            "Gr\xC3\xA4n \xC3\xBC"};
  std::string all;
  for (const auto* list : {&texts, &percent})
    for (const std::string& t : *list) all += (all.empty() ? "" : "\n") + t;
  elem_new_text(0, 0, 0, 0, 0, 0, 2.5, 1, 0.1, 1.3, all.c_str(), 0, "Simpel", TEXT_LEFT);
  const std::string text = dxf("texts.dxf");

  std::istringstream in(text);
  DxfImportOptions options;
  options.drawing_scale = drawing_scale;
  DxfImport back = dxf_read(in, options);
  ASSERT_EQ(back.error, DxfError::NONE) << back.log;
  EXPECT_EQ(back.log.find("unsupported"), std::string::npos) << back.log;
  const auto read = dxf_of<TextElem>(back);
  ASSERT_EQ(read.size(), texts.size() + percent.size());
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(read[i]->text, texts[i]);
  for (std::size_t i = 0; i < percent.size(); ++i) EXPECT_EQ(read[texts.size() + i]->text, percent[i]);

  const ToolRun run = tool({"/usr/bin/python3", "-c",
                            "import sys, ezdxf\n"
                            "doc = ezdxf.readfile(sys.argv[1])\n"
                            "for e in doc.modelspace().query('TEXT'):\n"
                            "  sys.stdout.buffer.write(e.plain_text().encode('latin-1') + b'|')\n",
                            file("texts.dxf")});
  std::string want;
  for (const std::string& t : texts) want += t + "|";
  EXPECT_EQ(run.out.substr(0, want.size()), want) << run.out;
}

// Numbers come out with "." under a locale whose decimal point is a comma.
TEST_F(DxfExport, DecimalCommaLocale) {
  every_kind_drawing();
  const std::string plain = dxf("c.dxf");
  DecimalCommaLocale comma;
  ASSERT_TRUE(comma.active()) << "no locale with a decimal comma could be had";
  EXPECT_EQ(dxf("comma.dxf"), plain);
}

// Every way out clears the marks: a cancelled choice, an unconfirmed
// selection and a file that cannot be opened, which also says so.
TEST_F(DxfExport, EndsWithoutFile) {
  elem_new_line(0, 0, 0, 0, 0, 1, 0);
  ui.paths = {"cancel"};
  dxf_export();
  EXPECT_TRUE(nothing_marked());
  EXPECT_TRUE(ui.calls_starting("error").empty());

  dxf_settings.export_scope = DXF_OBJECTS_SELECTED;
  export_scope_select = [](int) {
    mark_all();
    return 0;
  };
  ui.paths = {file("never.dxf")};
  dxf_export();
  EXPECT_TRUE(nothing_marked());
  EXPECT_EQ(ui.paths.size(), 1u);  // no chooser asked

  export_scope_select = [](int) {
    mark_all();
    return 1;
  };
  ui.paths = {file("missing/folder/x.dxf")};
  dxf_export();
  EXPECT_TRUE(nothing_marked());
  EXPECT_EQ(ui.calls_starting("error"), std::vector<std::string>{"error Cannot open file"});
  EXPECT_FALSE(std::filesystem::exists(file("never.dxf")));
}

}  // namespace
