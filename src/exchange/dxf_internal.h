#pragma once

// The DXF reader's own parts, shared by its source files: the buffered line
// source, the entity field set, the collector of polyline vertices and
// hatch boundaries, and the importer that runs the conversion. Not for use
// outside the reader (its tests aside).

#include <array>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "exchange/dxf_reader.h"
#include "model/elem.h"

namespace dxf {

// Lines of any length from a stream, read in large blocks. A line ends at
// LF; a CR before it is dropped; the last line may lack its LF. The view
// next() gives stays valid until the following call.
class LineSource {
 public:
  explicit LineSource(std::istream& in, std::size_t block = std::size_t{1} << 20);
  bool next(std::string_view& line);
  // Bytes of the lines handed out so far.
  uint64_t consumed() const { return consumed_; }
  uint64_t line_number() const { return lines_; }
  // A line longer than the limit was met; next() gave false.
  bool overlong() const { return overlong_; }

  static constexpr std::size_t MAX_LINE = std::size_t{64} << 20;

 private:
  bool refill();
  std::istream& in_;
  std::vector<char> buf_;
  std::size_t pos_ = 0, end_ = 0;
  bool eof_ = false, overlong_ = false;
  uint64_t consumed_ = 0, lines_ = 0;
};

// A group code line: the whole line, blanks around it aside, is an integer.
bool parse_code(std::string_view line, int* code);
// "%lf" and "%d" on a value line: the number at its start (after blanks),
// whatever follows ignored; no number, or not a finite one, reads 0.
double parse_double(std::string_view s);
// A value line that holds a finite number at its start (whatever follows):
// true with it in value; else false with value 0.
bool parse_number(std::string_view s, double* value);
int32_t parse_int(std::string_view s);
// ASCII case-insensitive equality of names, and the hash that goes with it
// (for maps looked up by a view, without making a string).
bool same_name(std::string_view a, std::string_view b);
struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const;
};
struct NameEq {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return same_name(a, b); }
};
using NameMap = std::unordered_map<std::string, int, NameHash, NameEq>;

// Entities by their name; OTHER for everything not converted.
enum class Kind : uint8_t {
  OTHER,
  LINE,
  POINT,
  LINE3D,
  CIRCLE,
  ARC,
  ELLIPSE,
  SPLINE,
  HATCH,
  FACE3D,
  SOLID,
  LWPOLYLINE,
  POLYLINE,
  VERTEX,
  SEQEND,
  TEXT,
  MTEXT,
  DIMENSION,
  BLOCK,
  INSERT,
  ATTRIB,
  ATTDEF,
  SECTION_NAME,  // ENTITIES read as the first entity of the section
  LAYER,         // an entry of the LAYER table
};
Kind kind_of(std::string_view name);

// The numbers of one entity, cleared at its start.
struct Numbers {
  double x[7] = {}, y[7] = {}, z[7] = {};
  bool has_point1 = false;  // group 11 was given
  double size = 0.0;        // 40
  double f41 = 0.0, f42 = 0.0;
  double g43 = 0.0, g44 = 0.0, g45 = 0.0, g46 = 0.0;
  double angle[4] = {};  // 50..53, radians
  int32_t color = 0;     // 62
  bool has_color = false;
  int32_t i7[9] = {};  // 70..78
  int32_t i9[4] = {};  // 90..93
  double ext[3] = {};  // 210, 220, 230
  bool has_ext = false;
  int32_t space = 0;  // 67: 1 for paper space
};

// The field set of one entity: each group into its own field, a later one
// overwriting an earlier. The previous copies of 43 to 46 and 53 are kept
// from entity to entity: a hatch's first of two pattern lines lives there.
struct Fields {
  Numbers n;
  double prev43 = 0.0, prev44 = 0.0, prev45 = 0.0, prev46 = 0.0, prev53 = 0.0;
  std::string text;       // groups 3 and 1 as read, in file order
  std::string name;       // 2
  std::string line_type;  // 6
  std::string layer;      // 8
  // A SPLINE's knots (40, as read) and weights (41); fit points (11/21).
  std::vector<double> knots, weights;
  std::vector<Point2> fit;
  // A number group held no finite number; a count was impossible.
  bool bad_number = false, bad_count = false;
  // A HATCH's boundary edges of a type the reader does not know (72).
  int64_t unknown_edges = 0;
  // LWPOLYLINE vertices and SPLINE control points beyond the entity's count.
  int64_t beyond_count = 0;
  void clear();
};

// States of the collector.
enum Collect : int {
  COLLECT_IDLE = 0,
  COLLECT_VERTICES = 1,
  COLLECT_EDGE_TYPE = 2,
  COLLECT_LINE_EDGE = 3,
  COLLECT_ARC_EDGE = 4,
  COLLECT_ELLIPSE_EDGE = 5,
  COLLECT_SPLINE_EDGE = 6,
  COLLECT_SPLINE = 7,
};

// A collected vertex, or the end of a boundary path. The end is a flag of
// its own: every point, (999, 999) too, may be a vertex.
struct Vertex {
  double x = 0.0, y = 0.0, bulge = 0.0;
  bool end = false;
};
inline constexpr Vertex PATH_END{0.0, 0.0, 0.0, true};

// A point of an outline that would read as CONTOUR_END moves off it by the
// least step that tells them apart; true when it moved.
bool move_off_contour_end(Point2& p);

// The arc of a bulge b between P and Q: centre, radius, start angle (the
// direction from the centre to P for b > 0, to Q for b < 0) and sweep,
// counter-clockwise.
struct BulgeArc {
  double cx = 0.0, cy = 0.0, radius = 0.0, start = 0.0, sweep = 0.0;
};
BulgeArc bulge_arc(double px, double py, double qx, double qy, double b);

// Hatch outline points from collected vertices: each bulge followed by 23
// points of its arc; a bulge on a path's last vertex runs to the path's first.
// Each path ends with CONTOUR_END; points that would read as one are moved
// off it and counted in moved.
std::vector<Point2> expand_bulges(const std::vector<Vertex>& v, int64_t* moved = nullptr);

// Points along a non-uniform rational B-spline. knots empty (or not n + order
// non-decreasing values): the clamped uniform knots; weights empty (or not n
// values, or not all positive): all 1. samples >= 2 points from the start to
// the end of the curve's range.
std::vector<Point2> bspline_sample(const std::vector<Point2>& control, int degree,
                                   const std::vector<double>& knots, const std::vector<double>& weights,
                                   int samples);

// An angle brought into [0, 2 pi]: while above 2 pi less 2 pi, while below 0
// plus 2 pi (2 pi stays); not finite: 0.
double into_turn(double a);
// The entity is seen from below (extrusion (0, 0, -1)): the x of its plane
// coordinates is mirrored.
bool from_below(const Numbers& n);

// A curve through the given points (Catmull-Rom), per_span points per span
// and the last point.
std::vector<Point2> through_points(const std::vector<Point2>& f, int per_span);

// A group of the source: its code and its value line.
struct Group {
  int code = 0;
  std::string_view value;
};

inline constexpr int LAYER_SKIP = -1;

struct LayerRec {
  std::string name;
  uint8_t pen = 0;
  uint8_t line_type = 0;
  uint8_t frozen = 0;
  int color = 7;  // the layer's colour number, for fills "by layer"
  int target = 0;
};

// A block or the ENTITIES section as read: elements, and inserts kept by
// name until every block is known.
struct InsertRef {
  std::string block;
  double px = 0.0, py = 0.0, pz = 0.0;
  double sx = 1.0, sy = 1.0, sz = 1.0;
  double rotation = 0.0;
  double ext[3] = {0.0, 0.0, 0.0};
  bool has_ext = false;
  // A grid of copies: columns along the insert's x, rows along its y, the
  // spacings turned with it but not scaled.
  int32_t columns = 1, rows = 1;
  double column_space = 0.0, row_space = 0.0;
  int64_t copies() const { return static_cast<int64_t>(columns) * rows; }
  // Found once every block is read: the block's index, or -1 when there is
  // no such block or inserting it would close a loop of blocks.
  int target = -1;
};
// The insert of copy (row, column) of a grid insert.
InsertRef grid_copy(const InsertRef& ref, int32_t row, int32_t column);
struct Item {
  std::unique_ptr<ElemHeader> elem;  // or null for inserts[insert]
  int insert = -1;
};
struct Content {
  std::vector<Item> items;
  std::vector<InsertRef> inserts;
};
// Counts of what an import leaves out, by what it is, in the order first met.
using Tally = std::vector<std::pair<std::string, int64_t>>;
// Adds count × times of each of from to to; sums stop at INT64_MAX.
void tally_add(Tally& to, std::string_view what, int64_t count);
void tally_add(Tally& to, const Tally& from, int64_t times);

struct Block {
  std::string name;
  double bx = 0.0, by = 0.0, bz = 0.0;
  Content content;
  int state = 0;         // while linking: 1 = on the way down, 2 = done
  int64_t expanded = 0;  // elements one insert of it makes (at most INT64_MAX)
  Tally left_out;        // what its own entities leave out
  Tally left_out_all;    // the same with that of the blocks it inserts
  // Outline points moved off CONTOUR_END, and characters of its texts the
  // program cannot show: its own and with those of the blocks it inserts.
  int64_t moved = 0, moved_all = 0, lost = 0, lost_all = 0;
  // Its texts cut to the longest a text keeps: its own and with those inserted.
  int64_t cut = 0, cut_all = 0;
};

// The POLYLINE being read, kept across its VERTEX entities up to SEQEND.
enum : uint8_t { PLINE_NONE = 0, PLINE_2D = 1, PLINE_3D = 2, PLINE_POLYFACE = 3, PLINE_POLYMESH = 4 };
struct PolylineState {
  uint8_t kind = PLINE_NONE;
  uint8_t closed = 0;
  uint8_t closed_n = 0;
  bool flip = false;  // seen from below: x and bulges mirrored
  int32_t m = 0, n = 0;
  int32_t counter = 0;
  uint8_t pen = 0, line_type = 0;
  double fx = 0.0, fy = 0.0, fz = 0.0;
  double px = 0.0, py = 0.0, pz = 0.0, pbulge = 0.0;
  bool has_mesh = false;
  std::vector<Point3> mesh;
  bool kept = false;     // its layer is imported
  bool refused = false;  // left out and counted as it began
};

// Every coordinate, radius and size of e lies within the import's range
// (import_range.h); its angles are finite.
bool finite_element(ElemHeader* e);

// One affine placement of block content: an INSERT, or inserts inside
// each other made into one.
struct Placement {
  // Plan part, for the 2D kinds: x' = a*x + b*y + tx, y' = c*x + d*y + ty.
  double a = 1.0, b = 0.0, c = 0.0, d = 1.0, tx = 0.0, ty = 0.0;
  // The 3D kinds: rows of x', y', z' over (x, y, z, 1). An extrusion that is
  // neither up nor down turns them about its axis after the plan part
  // (which then has no rotation); the 2D kinds do not turn.
  double m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
};
Placement placement_of(const InsertRef& ref, const Block& block);
// outer after inner.
Placement compose(const Placement& outer, const Placement& inner);
// Applies p to one element in place (texts at the drawing's scale 1:scale);
// returns the outline points it had to move off CONTOUR_END.
int place_element(ElemHeader* e, const Placement& p, double scale);

class Importer {
 public:
  Importer(std::istream& in, const DxfImportOptions& options, DxfImport& out);
  void run();

  // Pass 1 and its findings.
  bool scan();
  bool looks_like_dxf();
  // The line source's first block for this file.
  std::size_t line_block() const;
  // Shows progress; false (and the import cancelled) when the user stopped it.
  bool tell(double fraction);
  uint64_t file_size_ = 0;
  uint64_t total_bytes_ = 0;
  int64_t total_groups_ = 0;

  // Reading (dxf_reader.cpp).
  bool read_group();
  int read_entity(Kind kind);
  void store(Kind kind);
  void read_header();
  void read_tables();
  void read_layer_table();
  void read_blocks();
  void skip_section();
  uint64_t bytes_left() const;
  void note(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  int layer_index(std::string_view name);
  void add_layer(int color, bool frozen, std::string_view line_type);
  int next_program_layer(std::string_view name);
  void finish();
  // Finds every insert's block, breaks loops of blocks inserting each
  // other, and counts what one insert of each block makes and leaves out.
  void link_blocks();
  void link_from(int root);
  void resolve_inserts(Content& c, Tally* left);
  // Copies the block content of the top content's inserts into the result.
  void expand();

  // Conversion (dxf_entities.cpp).
  void read_entities(Content& target, bool top);
  void resolve();
  void convert(Kind kind);
  void emit(std::unique_ptr<ElemHeader> e);
  template <class T>
  std::unique_ptr<T> make() {
    auto e = std::make_unique<T>();
    e->layer = static_cast<uint16_t>(target_);
    e->pen = pen_;
    e->line_type = line_type_;
    return e;
  }
  void make_line(double x1, double y1, double x2, double y2);
  void make_arc(double cx, double cy, double r, double start, double sweep);
  void convert_arc(bool circle);
  void convert_ellipse();
  void convert_spline();
  void convert_hatch();
  void convert_face3d();
  void convert_solid();
  void fill_colour(double* r, double* g, double* b) const;

  // Polylines and hatch boundaries (dxf_polylines.cpp).
  void collect(Kind kind, int code);
  // Whether the rest of the file can hold count items: a count that is
  // negative or beyond the bytes left is impossible. (A count the file
  // could hold but does not is kept: the items there are used.)
  bool possible_count(int32_t count) const;
  void sample_arc_edge();
  void finish_spline_edge();
  void end_edge();
  void set_bulge(double b);
  void convert_lwpolyline();
  void convert_polyline();
  void convert_vertex();
  void convert_seqend();
  void make_bulge_segment(double x1, double y1, double x2, double y2, double bulge);
  void make_face(const Point3* corners, int count, std::string_view material);
  void drop_mesh(const char* problem);

  // Texts, dimensions and inserts (dxf_texts.cpp).
  void convert_text(int32_t* counter);
  void convert_mtext();
  void convert_dimension();
  void convert_block();
  void convert_insert();
  void convert_attribute(bool definition);
  bool dimension_from_block();
  void make_dimension(uint8_t dim_kind, double direction, std::vector<DimPoint> pts);

  // Counts what the import leaves out, by what it is.
  void left_out(std::string_view what, int64_t count = 1);
  // Counts outline points moved off CONTOUR_END.
  void moved_points(int64_t count);
  // Counts characters of texts that became "?".
  void lost_characters(int64_t count);
  // Counts a text cut to the longest a text keeps.
  void text_cut();

  std::istream& in_;
  DxfImportOptions opt_;
  DxfImport& out_;
  double factor_ = 1.0;
  std::unique_ptr<LineSource> src_;
  Group g_;
  int64_t groups_read_ = 0;
  bool failed_ = false;  // the file no longer reads as it did in pass 1

  Fields f_;
  std::string cur_name_;
  int target_ = 0;
  uint8_t pen_ = 0, line_type_ = 0;
  int layer_color_ = 7;

  // Collector.
  int state_ = COLLECT_IDLE;
  int vertex_countdown_ = 0, edge_countdown_ = 0;
  bool polyline_path_ = false, path_closed_ = false;
  std::vector<Vertex> vbuf_;
  // The spline being collected (SPLINE entity or hatch spline edge).
  std::vector<Point2> ctrl_;
  std::vector<double> edge_knots_, edge_weights_;
  std::vector<Point2> edge_fit_;
  int spline_n_ = 0, spline_degree_ = 0;

  PolylineState pline_;

  // Tables.
  std::vector<LayerRec> layers_;
  NameMap layer_by_key_;
  bool layer_table_ = false;
  std::string last_layer_name_;
  int last_layer_index_ = -2;
  int next_layer_ = 0;
  bool last_layer_given_ = false;  // a DXF layer has the program's last layer

  std::vector<Block> blocks_;
  NameMap block_by_key_;
  int cur_block_ = -1;
  bool paper_block_ = false;  // the block being read is a paper-space layout
  Content top_;

  // Per conversion run: where its elements and inserts go.
  Content* content_ = nullptr;
  int progress_counter_ = 0;
  uint64_t expand_counter_ = 0;
  // The entity being converted made an element beyond the numbers' range.
  bool entity_dropped_ = false;
  // Elements past the import's limit: counted, not kept.
  int64_t dropped_ = 0;
  double progress_shown_ = -1.0;
  std::string last_unsupported_;
  int64_t made_ = 0;
  // The file's code page for texts that are not UTF-8 (DXF_CODEPAGE_*).
  int codepage_ = DXF_CODEPAGE_1252;
};

}  // namespace dxf
