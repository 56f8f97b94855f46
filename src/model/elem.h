#pragma once

// Element records and the element list.
//
// A drawing is one doubly linked list of heap records in creation order.
// Each record is a common head (ElemHeader) plus the fields of its kind; the
// variable parts (points, segments, openings, mesh arrays, text) are vectors
// and strings inside the record. The list owns every record. Undo moves
// records between lists, so a record's address stays valid while it lives.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/consts.h"
#include "model/fixed_text.h"

struct Point2 {
  double x = 0.0;
  double y = 0.0;
  uint8_t mark = 0;  // 1 = this vertex is marked for stretching
};

struct Point3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  uint8_t mark = 0;
};

inline constexpr Point2 CONTOUR_END{CONTOUR_END_X, CONTOUR_END_Y, 0};

// True for the CONTOUR_END point (both coordinates within 1e-6 of 999).
inline bool point_is_contour_end(double x, double y) {
  return (x - CONTOUR_END_X < 1e-6 && CONTOUR_END_X - x < 1e-6) &&
         (y - CONTOUR_END_Y < 1e-6 && CONTOUR_END_Y - y < 1e-6);
}

struct ElemHeader {
  ElemHeader* next = nullptr;
  ElemHeader* previous = nullptr;
  ElemKind kind;
  uint8_t mark = 0;        // 1 = marked for the running command
  uint32_t undo_mask = 0;  // one bit per undo step holding this element
  uint16_t layer = 0;
  uint32_t size = 0;  // bytes of the record as stored in a file chunk
  uint16_t group = 0;
  uint8_t pen = 0;
  uint8_t line_type = 0;
  // The record's place in list order, given anew each time the record is
  // linked at the tail, so it grows along the list; 0 until first linked.
  uint32_t order = 0;

  virtual ~ElemHeader() = default;
  // A deep copy with null links.
  virtual std::unique_ptr<ElemHeader> clone() const = 0;

  // Records of every kind come from the element pool: large blocks carved
  // into records, one free list per record size, so that a million records
  // cost a few hundred allocations. A record keeps its address for life.
  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size) noexcept;

 protected:
  explicit ElemHeader(ElemKind k) : kind(k) {}
  ElemHeader(const ElemHeader&) = default;
  ElemHeader& operator=(const ElemHeader&) = default;
};

template <class Derived, ElemKind Kind>
struct ElemOfKind : ElemHeader {
  static constexpr ElemKind KIND = Kind;
  ElemOfKind() : ElemHeader(Kind) {}
  std::unique_ptr<ElemHeader> clone() const override {
    auto c = std::make_unique<Derived>(static_cast<const Derived&>(*this));
    c->next = nullptr;
    c->previous = nullptr;
    return c;
  }
};

struct LineElem : ElemOfKind<LineElem, ELEM_LINE> {
  Point2 p1, p2;
};

struct ArcElem : ElemOfKind<ArcElem, ELEM_ARC> {
  Point2 centre;
  double radius_x = 0.0;
  double radius_y = 0.0;
  double sweep = 0.0;  // 2 pi for a closed curve
  double start = 0.0;
  double rotation = 0.0;  // of the x radius
};

struct TextElem : ElemOfKind<TextElem, ELEM_TEXT> {
  Point2 pos;
  FixedText<FONT_NAME_LEN> font;
  uint8_t alignment = TEXT_LEFT;
  double angle = 0.0;
  double height = 0.0;  // paper mm
  double width_factor = 1.0;
  double spacing = 0.0;
  double line_spacing = 0.0;
  double fit_length = 0.0;
  std::string text;  // ISO-8859-1 bytes, may hold newlines, never NUL
};

struct DimPoint {
  Point2 line_point;  // on the dimension line
  Point2 measured;    // the measured point
  double segment_length = 0.0;
  double override_value = 0.0;  // 0 = show the measured value
  double second_value = 0.0;    // level height
  double sixth_value = 0.0;     // reset by the chain sort
  double text_dx = 0.0;
  double text_dy = 0.0;
};

struct DimElem : ElemOfKind<DimElem, ELEM_DIM> {
  FixedText<FONT_NAME_LEN> font;
  uint8_t format = DIM_FORMAT_ARCHITECTURE;
  uint8_t end_mark = DIM_MARK_LINE;
  double direction = 0.0;
  double figure_size = 0.0;
  double figure_width = 0.0;
  double figure_space = 0.0;
  double chain_space = 0.0;  // gap between dimension line and figures, in figure heights
  uint8_t figure_pen = 0;
  uint8_t figure_line_type = 0;
  double help_line_length = 0.0;
  uint8_t dim_kind = DIM_CHAIN;
  std::vector<DimPoint> points;
};

struct WallSegment {
  Point2 start, end;
};

struct WallOpening {
  Point3 corner[8];      // 0..3 at base + sill, 4..7 at base + sill + height
  uint8_t reserved = 0;  // never stored in files
  uint8_t kind = OPENING_PLAIN;
  uint8_t symbol_style = 0;
  uint8_t leaf_quadrant = 0;
  double sill = 0.0;
  double height = 0.0;
  double stop_width = 0.0;
  double stop_depth = 0.0;
};

struct WallElem : ElemOfKind<WallElem, ELEM_WALL> {
  Point3 corner[8];  // 0..3 outline at the base, 4..7 at the top
  FixedText<MATERIAL_NAME_LEN> material;
  uint8_t gable = 0;
  Point3 gable_a, gable_b;
  std::vector<WallSegment> segments;
  std::vector<WallOpening> openings;
};

struct PatternElem : ElemOfKind<PatternElem, ELEM_PATTERN> {
  uint8_t pen2 = 0;
  uint8_t line_type2 = 0;
  Point2 origin;
  Point2 offset;  // line-2 offset
  double angle1 = 0.0;
  double spacing1 = 0.0;
  double angle2 = 0.0;
  double spacing2 = 0.0;
  double r = 0.0, g = 0.0, b = 0.0;
  uint8_t type = PATTERN_ONE_LINE;
  std::vector<Point2> points;  // contours, each ended by CONTOUR_END
};

struct SplineElem : ElemOfKind<SplineElem, ELEM_SPLINE> {
  Point2 p0, p1, p2, p3;  // start, first control, second control, end
};

struct Line3dElem : ElemOfKind<Line3dElem, ELEM_LINE3D> {
  Point3 p1, p2;
};

struct MeshElem : ElemOfKind<MeshElem, ELEM_MESH> {
  FixedText<MATERIAL_NAME_LEN> material;
  uint8_t flag = 0;  // 1 for meshes made from DXF 3D faces
  std::vector<int32_t> face_sizes;
  std::vector<Point3> vertices;
  std::vector<int32_t> indices;  // sum of face_sizes entries, 0-based
  int32_t vertex_count() const { return static_cast<int32_t>(vertices.size()); }
  int32_t face_count() const { return static_cast<int32_t>(face_sizes.size()); }
};

struct CameraElem : ElemOfKind<CameraElem, ELEM_CAMERA> {
  Point3 eye, target;
  double view_angle = 0.0;  // degrees
  int32_t active = 0;
};

struct RoomElem : ElemOfKind<RoomElem, ELEM_ROOM> {
  Point2 label;
  FixedText<FONT_NAME_LEN> font;
  double angle = 0.0;
  double height = 0.0;  // paper mm
  double width_factor = 1.0;
  double spacing = 0.0;
  double line_spacing = 0.0;
  FixedText<ROOM_DESCRIPTION_LEN> description;
  FixedText<ROOM_NUMBER_LEN> number;
  double area_factor = 1.0;
  double base_z = 0.0;
  double top_z = 0.0;
  uint8_t show_area = 0, show_volume = 0, show_description = 0, show_number = 0;
  std::vector<Point2> points;  // ccw contours add area, cw contours are holes
};

struct LightElem : ElemOfKind<LightElem, ELEM_LIGHT> {
  Point3 position, target;
  uint8_t type = LIGHT_POINT;
  double r = 1.0, g = 1.0, b = 1.0;
  double light_size = 0.0;  // fade distance, > 0 = fading (not the record size)
  double angle = 0.0;       // spot radius, degrees
  double shadow_intensity = 0.0;
  uint8_t shadow = 0;
};

// The record of kind T, or null when e is of another kind.
template <class T>
T* elem_as(ElemHeader* e) {
  return e && e->kind == T::KIND ? static_cast<T*>(e) : nullptr;
}
template <class T>
const T* elem_as(const ElemHeader* e) {
  return e && e->kind == T::KIND ? static_cast<const T*>(e) : nullptr;
}

// Bytes of the fixed part of each kind, and of a whole record, as a file
// chunk stores them (the record size field).
uint32_t elem_fixed_size(ElemKind kind);
uint32_t elem_compute_size(const ElemHeader& e);
// Sets e.size from its current contents; call after changing a tail.
void elem_update_size(ElemHeader& e);

// The list.
extern ElemHeader* elem_list_head;
extern ElemHeader* elem_list_tail;  // always the element created last
extern int drawing_modified;
extern int guide_mode;  // 1: new elements get PEN_GUIDE
// Counts every change of the list except appending at the tail: unlinking,
// freeing, and changes of elements in place (elem_touch). A cache of element
// geometry that saw the same count still holds: the list is what it was,
// plus whatever was appended since.
extern uint32_t elem_list_generation;
// Code that changes the points, tails or texts of elements in the list in
// place calls elem_touch(e) for each of them (before or after the change,
// with no look-up of the drawing between change and call), or elem_touch()
// when it cannot name them; the latter makes every index of the drawing
// start over, which on a large drawing costs a walk over all of it.
void elem_touch(const ElemHeader* e);
void elem_touch();
// Scans that hold a place in the list (elem_list_generation) start over;
// the records are as they were (undo moves records between lists).
void elem_restart_scans();

// The list's journal, for indexes that follow the list instead of walking
// it again after each change: every record unlinked or freed out of the
// list and every record touched, newest last. Records appended at the tail
// are not in it: their order is above every order an index has seen. It
// holds the newest ELEM_JOURNAL_SIZE entries; positions only grow.
struct ElemJournalEntry {
  uint32_t order = 0;  // the record's order
  ElemKind kind = ELEM_LINE;
  uint8_t removed = 0;  // 1: out of the list; 0: changed in place
};
inline constexpr uint64_t ELEM_JOURNAL_SIZE = uint64_t{1} << 16;
extern uint64_t elem_journal_end;  // the position after the newest entry
// The entry at position p; false once it is no longer held (a reader that
// fell that far behind starts over) and for positions not yet written.
bool elem_journal_entry(uint64_t p, ElemJournalEntry* out);
// Grows when the list changed in a way the journal does not tell: every
// record freed, records changed that nobody named (elem_touch()), the
// orders given anew. An index that saw another epoch starts over.
extern uint32_t elem_list_epoch;

// Appends a deep copy of record (size recomputed, links set) and makes it the
// tail; sets drawing_modified. Returns 1. Callers that fill many fields build
// the record by name and append it with this or with elem_adopt.
int elem_append(const ElemHeader& record);
// Appends a record the list takes over; otherwise as elem_append.
int elem_adopt(std::unique_ptr<ElemHeader> record);
// Appends a copy of e with undo mask 0; mark, layer, group, pen, line type kept.
int elem_append_copy(const ElemHeader* e);
void elem_purge_marked();
void elem_remove_last();
ElemHeader* elem_first(ElemHeader** it);
ElemHeader* elem_next(ElemHeader** it);
int elem_count();
// How many element records the record pool holds, in the list, in undo
// steps and elsewhere: known without a walk, a size to reserve for an array
// of the list (every kind is a pool record, so it is at least the list's
// length).
std::size_t elem_records_live();
int elem_count_marked();
void elem_set_layer_marked(int layer);
int elem_pen_or_guide(unsigned pen);
int elem_has_marked_point(const ElemHeader* e);
// Clears the point mark of every vertex of e.
void elem_clear_point_marks(ElemHeader* e);

// Low-level list surgery for undo: unlink keeps the record alive, link puts
// an unlinked record at the tail, destroy frees a record that is not linked.
void elem_unlink(ElemHeader* e);
void elem_link_tail(ElemHeader* e);
void elem_destroy(ElemHeader* e);
// Frees every element of the list.
void elem_free_all();

// Constructors. Each fills a record of its kind with mark, undo mask and
// group 0 and all point marks 0, appends it and returns 1. The wall, pattern,
// room and mesh constructors clear the point marks of the caller's arrays.
int elem_new_line(int layer, int pen, int line_type, double x1, double y1, double x2, double y2);
int elem_new_arc(int layer, int pen, int line_type, double cx, double cy, double radius_x, double radius_y,
                 double sweep, double start, double rotation);
int elem_new_text(int layer, int pen, int line_type, double x, double y, double angle, double height,
                  double width_factor, double spacing, double line_spacing, std::string_view text,
                  double fit_length, std::string_view font, int alignment);
int elem_new_dim(int layer, int pen, int line_type, int figure_pen, int figure_line_type, double direction,
                 double figure_size, double figure_width, double figure_space, double chain_space,
                 double help_line_length, std::string_view font, int format, int end_mark, int dim_kind,
                 int n, const DimPoint* points);
int elem_new_wall(int layer, int pen, int line_type, const double corners[24], int s, WallSegment* segments,
                  int o, WallOpening* openings, std::string_view material, int gable, double ax, double ay,
                  double az, double bx, double by, double bz);
int elem_new_pattern(int layer, int pen, int line_type, double origin_x, double origin_y, double angle1,
                     double spacing1, int pen2, int line_type2, double offset_x, double offset_y,
                     double angle2, double spacing2, int n, Point2* points, double r, double g, double b,
                     int type);
int elem_new_spline(int layer, int pen, int line_type, double x0, double y0, double x1, double y1, double x2,
                    double y2, double x3, double y3);
int elem_new_line3d(int layer, int pen, int line_type, double x1, double y1, double z1, double x2, double y2,
                    double z2);
int elem_new_mesh(int layer, int pen, int line_type, int v, int f, const int32_t* face_sizes,
                  Point3* vertices, const int32_t* indices, std::string_view material, int flag);
int elem_new_camera(int layer, int pen, int line_type, double ex, double ey, double ez, double tx, double ty,
                    double tz, double view_angle, double active);
int elem_new_room(int layer, int pen, int line_type, double label_x, double label_y, std::string_view font,
                  double angle, double height, double width_factor, double spacing, double line_spacing,
                  std::string_view description, std::string_view number, double area_factor, double base_z,
                  double top_z, int show_area, int show_volume, int show_description, int show_number, int n,
                  Point2* points);
int elem_new_light(int layer, int pen, int line_type, int type, int shadow, double size, double angle,
                   double shadow_intensity, double px, double py, double pz, double tx, double ty, double tz,
                   double r, double g, double b);
