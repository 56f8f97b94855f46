// Room drawing: the inscription lines with area and volume from the
// contours, switched-off lines, the outline, and views other than the plan.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "display/draw_room.h"
#include "display/outdev_breakdown.h"
#include "display_fixture.h"

namespace {

// A 5 x 4 rectangle, counter-clockwise, and a clockwise 1 x 1 hole.
const Point2 RECT[5] = {{0, 0, 0}, {5, 0, 0}, {5, 4, 0}, {0, 4, 0}, CONTOUR_END};
const Point2 RECT_WITH_HOLE[10] = {{0, 0, 0}, {5, 0, 0}, {5, 4, 0}, {0, 4, 0}, CONTOUR_END,
                                   {1, 1, 0}, {1, 2, 0}, {2, 2, 0}, {2, 1, 0}, CONTOUR_END};

class RoomDraw : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    drawing_scale = 100;
  }

  struct Room {
    std::vector<Point2> points{RECT, RECT + 5};
    double factor = 1.0, base = 0.0, top = 2.5, angle = 0.0;
    uint8_t area = 1, volume = 1, description = 1, number = 1;
  };

  // Pen 2, line type 1, label at (10, 20), height 2 mm (0.2 m at 1:100),
  // line spacing 1.5: one line step is 0.3.
  static void draw(const Room& r) {
    RoomElem e;
    e.pen = 2;
    e.line_type = 1;
    e.label = Point2{10, 20, 0};
    e.font = "Simpel";
    e.angle = r.angle;
    e.height = 2.0;
    e.width_factor = 1.0;
    e.spacing = 0.1;
    e.line_spacing = 1.5;
    e.description = "Kitchen";
    e.number = "1.01";
    e.area_factor = r.factor;
    e.base_z = r.base;
    e.top_z = r.top;
    e.show_area = r.area;
    e.show_volume = r.volume;
    e.show_description = r.description;
    e.show_number = r.number;
    e.points = r.points;
    outdev_screen_room(e);
  }
  static std::vector<std::string> lines(const RecordingOutdev& rec) {
    std::vector<std::string> out;
    for (const SlotCall& c : rec.of("text")) out.push_back(c.text.substr(0, c.text.find('|')));
    return out;
  }
};

TEST_F(RoomDraw, InscriptionWithAreaAndVolume) {
  struct Case {
    const char* what;
    bool hole;
    double factor;
    int area_unit, volume_unit;
    const char* area;
    const char* volume;
  };
  const Case cases[] = {
      {"5 x 4, 2.5 high", false, 1.0, 0, 0, "20.00 QM", "50.00 CBM"},
      {"with a hole", true, 1.0, 0, 0, "19.00 QM", "47.50 CBM"},
      {"square centimetres, cubic millimetres", false, 1.0, 1, 2, "200000.00 QM", "50000000000.00 CBM"},
      {"half the area", false, 0.5, 0, 0, "10.00 QM", "25.00 CBM"},
      {"feet", false, 1.0, 4, 4, "215.28 QM", "1765.73 CBM"},
      {"inches", false, 1.0, 3, 3, "31000.06 QM", "3051187.20 CBM"},
      {"an unknown unit is metres", false, 1.0, 9, -1, "20.00 QM", "50.00 CBM"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    room_units.area_unit = c.area_unit;
    room_units.volume_unit = c.volume_unit;
    Room r;
    if (c.hole) r.points.assign(RECT_WITH_HOLE, RECT_WITH_HOLE + 10);
    r.factor = c.factor;
    RecordingOutdev rec;
    draw(r);
    EXPECT_EQ(lines(rec), (std::vector<std::string>{"Kitchen", "1.01", c.area, c.volume}));
  }
  room_units = RoomUnits{};
  room_units.area_text = "m2";
  room_units.volume_text = "m3";
  RecordingOutdev rec;
  draw(Room{});
  EXPECT_EQ(lines(rec)[2], "20.00 m2");
  EXPECT_EQ(lines(rec)[3], "50.00 m3");
}

TEST_F(RoomDraw, LinesGoDownOneStepEachAndSwitchedOffLinesTakeNoRoom) {
  Room r;
  r.angle = 0.5;
  RecordingOutdev rec;
  draw(r);
  const auto texts = rec.of("text");
  ASSERT_EQ(texts.size(), 4u);
  const double step = 1.5 * 0.2;
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(texts[i].v[0], 10 + i * std::sin(0.5) * step, 1e-12);
    EXPECT_NEAR(texts[i].v[1], 20 - i * std::cos(0.5) * step, 1e-12);
    EXPECT_EQ(texts[i].pen, 2);
    EXPECT_EQ(texts[i].lt, 1);
    EXPECT_EQ(texts[i].v, (std::vector<double>{texts[i].v[0], texts[i].v[1], 0.5, 2.0, 1.0, 0.1, 1.5, 0, 0}));
  }
  // Without description and number the area line sits at the label point.
  r.description = 0;
  r.number = 0;
  r.volume = 0;
  rec.calls.clear();
  draw(r);
  ASSERT_EQ(lines(rec), (std::vector<std::string>{"20.00 QM"}));
  EXPECT_EQ(rec.of("text")[0].v[0], 10);
  EXPECT_EQ(rec.of("text")[0].v[1], 20);
  // A switch other than 1 is off.
  r.area = 2;
  rec.calls.clear();
  draw(r);
  EXPECT_TRUE(rec.of("text").empty());
}

TEST_F(RoomDraw, OutlineOnlyWithRoomBordersAndInTheGuidePen) {
  Room r;
  r.points.assign(RECT_WITH_HOLE, RECT_WITH_HOLE + 10);
  RecordingOutdev rec;
  draw(r);
  const auto outline = rec.of("line");
  ASSERT_EQ(outline.size(), 8u);
  EXPECT_EQ(outline[3].v, (std::vector<double>{0, 4, 0, 0}));  // closed back to the first point
  EXPECT_EQ(outline[4].v, (std::vector<double>{1, 1, 1, 2}));  // the hole starts anew
  EXPECT_EQ(outline[7].v, (std::vector<double>{2, 1, 1, 1}));
  for (const SlotCall& c : outline) {
    EXPECT_EQ(c.pen, PEN_GUIDE);
    EXPECT_EQ(c.lt, 1);
  }
  for (uint8_t pen : {0, 2, 7, 99}) EXPECT_EQ(room_outline_pen(pen), PEN_GUIDE);
  view_options.show_room_borders = 0;
  rec.calls.clear();
  draw(r);
  EXPECT_EQ(rec.slots(), "text text text text");
}

TEST_F(RoomDraw, AnOpenLastContourStaysOpenAndOutOfTheArea) {
  Room r;
  r.points.assign(RECT_WITH_HOLE, RECT_WITH_HOLE + 9);  // the hole has no end marker
  RecordingOutdev rec;
  draw(r);
  EXPECT_EQ(rec.of("line").size(), 4u + 3u);
  EXPECT_EQ(lines(rec)[2], "20.00 QM");
}

TEST_F(RoomDraw, NothingOutsideThePlanView) {
  for (int32_t type : {VIEW_FRONT, VIEW_ISO_FRONT_LEFT, VIEW_PERSPECTIVE}) {
    view_type = type;
    RecordingOutdev rec;
    draw(Room{});
    EXPECT_TRUE(rec.calls.empty()) << type;
  }
}

TEST_F(RoomDraw, GuidePointsStayOffWhileTheTextsAreDrawn) {
  static std::vector<int> seen;
  seen.clear();
  RecordingOutdev rec;
  outdev.text = [](const OutdevText&) { seen.push_back(guide_points_shown()); };
  view_options.show_guide_points = 1;
  draw(Room{});
  EXPECT_EQ(seen, (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(view_options.show_guide_points, 1);
}

TEST_F(RoomDraw, LongUnitTextsAndHugeValuesAreKeptWhole) {
  room_units.area_text = std::string(39, 'A');
  Room r;
  r.factor = 1e30;
  RecordingOutdev rec;
  draw(r);
  const std::string area = lines(rec)[2];
  EXPECT_EQ(area.size(), 32u + 3u + 40u);  // 32 digits, ".00", the blank and the text
  EXPECT_EQ(area.substr(area.size() - 40), " " + std::string(39, 'A'));
}

}  // namespace
