// The element chunks: their tables, the element writers and the reading of
// one element.

#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>

#include "model/elem.h"
#include "model/files/bytes.h"
#include "model/files/chunk_table.h"
#include "model/files/kavfile.h"

namespace {

template <class T>
struct member_of;
template <class R, class V>
struct member_of<V R::*> {
  using record = R;
  using value = V;
};

// An array stored as the vector member M of a record.
template <auto M>
constexpr ArrayDesc vec_array(const char* name, std::span<const Field> fields, int32_t max_items = 0,
                              int failure_result = 1) {
  using Tr = member_of<decltype(M)>;
  using A = VecAccess<typename Tr::record, typename Tr::value, M>;
  return ArrayDesc{name, fields, max_items, failure_result, &A::size, &A::resize, &A::item};
}

template <class T>
std::unique_ptr<ElemHeader> make() {
  return std::make_unique<T>();
}

#define CT_P2(p) CT_F64(p.x), CT_F64(p.y)
#define CT_P3(p) CT_F64(p.x), CT_F64(p.y), CT_F64(p.z)
#define CT_P3x8(c) \
  CT_P3(c[0]), CT_P3(c[1]), CT_P3(c[2]), CT_P3(c[3]), CT_P3(c[4]), CT_P3(c[5]), CT_P3(c[6]), CT_P3(c[7])

namespace line {
using R = LineElem;
const Field fields[] = {CT_P2(r->p1), CT_P2(r->p2)};
}  // namespace line

namespace line3d {
using R = Line3dElem;
const Field fields[] = {CT_P3(r->p1), CT_P3(r->p2)};
}  // namespace line3d

namespace arc {
using R = ArcElem;
const Field fields[] = {CT_P2(r->centre), CT_F64(r->radius_x), CT_F64(r->radius_y),
                        CT_F64(r->sweep), CT_F64(r->start),    CT_F64(r->rotation)};
}  // namespace arc

namespace text {
using R = TextElem;
const Field fields[] = {
    CT_P2(r->pos),         CT_TEXT(r->font),         CT_U8(r->alignment), CT_F64(r->angle),
    CT_F64(r->height),     CT_F64(r->width_factor),  CT_F64(r->spacing),  CT_F64(r->line_spacing),
    CT_F64(r->fit_length), CT_TAIL_TEXT(r->text, 92)};
// Older texts: a font number in place of the name; the text takes the chunk
// size minus 84 bytes from offset 72. The older writer's size counts 12 bytes
// it never wrote: the next chunk follows the text directly.
const Field old_fields[] = {
    CT_P2(r->pos),         CT_OLD_FONT(r->font),     CT_U8(r->alignment), CT_F64(r->angle),
    CT_F64(r->height),     CT_F64(r->width_factor),  CT_F64(r->spacing),  CT_F64(r->line_spacing),
    CT_F64(r->fit_length), CT_TAIL_TEXT(r->text, 84)};
}  // namespace text

namespace dim {
namespace entry {
using R = DimPoint;
const Field fields[] = {CT_P2(r->line_point),      CT_P2(r->measured),      CT_F64(r->segment_length),
                        CT_F64(r->override_value), CT_F64(r->second_value), CT_F64(r->sixth_value),
                        CT_F64(r->text_dx),        CT_F64(r->text_dy)};
}  // namespace entry
// The reader's work area holds 200 entries; a failed read inside them makes
// the whole read return 0.
const ArrayDesc points = vec_array<&DimElem::points>("points", entry::fields, 200, 0);
using R = DimElem;
const Field fields[] = {CT_TEXT(r->font),
                        CT_U8(r->format),
                        CT_U8(r->end_mark),
                        CT_F64(r->direction),
                        CT_F64(r->figure_size),
                        CT_F64(r->figure_width),
                        CT_F64(r->figure_space),
                        CT_F64(r->chain_space),
                        flagged(CT_U8(r->figure_pen), FIELD_PEN),
                        flagged(CT_U8(r->figure_line_type), FIELD_LINE_TYPE),
                        CT_F64(r->help_line_length),
                        CT_COUNT(points),
                        CT_U8(r->dim_kind),
                        CT_ARRAY(points)};
// Older chains: a font number and no kind byte.
const Field old_fields[] = {CT_OLD_FONT(r->font),
                            CT_U8(r->format),
                            CT_U8(r->end_mark),
                            CT_F64(r->direction),
                            CT_F64(r->figure_size),
                            CT_F64(r->figure_width),
                            CT_F64(r->figure_space),
                            CT_F64(r->chain_space),
                            flagged(CT_U8(r->figure_pen), FIELD_PEN),
                            flagged(CT_U8(r->figure_line_type), FIELD_LINE_TYPE),
                            CT_F64(r->help_line_length),
                            CT_COUNT(points),
                            CT_ARRAY(points)};
void fill_old(ElemHeader& e) { static_cast<DimElem&>(e).dim_kind = DIM_CHAIN; }
}  // namespace dim

namespace wall {
namespace segment {
using R = WallSegment;
const Field fields[] = {CT_P2(r->start), CT_P2(r->end)};
}  // namespace segment
namespace opening {
using R = WallOpening;
const Field fields[] = {CT_P3x8(r->corner),      CT_U8(r->kind),       CT_U8(r->symbol_style),
                        CT_U8(r->leaf_quadrant), CT_F64(r->sill),      CT_F64(r->height),
                        CT_F64(r->stop_width),   CT_F64(r->stop_depth)};
}  // namespace opening
const ArrayDesc segments = vec_array<&WallElem::segments>("segments", segment::fields);
const ArrayDesc openings = vec_array<&WallElem::openings>("openings", opening::fields, WALL_MAX_OPENINGS);
using R = WallElem;
const Field fields[] = {CT_P3x8(r->corner),   CT_COUNT(segments), CT_COUNT(openings),
                        CT_TEXT(r->material), CT_U8(r->gable),    CT_P3(r->gable_a),
                        CT_P3(r->gable_b),    CT_ARRAY(segments), CT_ARRAY(openings)};
}  // namespace wall

namespace point2 {
using R = Point2;
const Field fields[] = {CT_F64(r->x), CT_F64(r->y)};
}  // namespace point2

namespace pattern {
const ArrayDesc points = vec_array<&PatternElem::points>("points", point2::fields);
using R = PatternElem;
const Field fields[] = {flagged(CT_U8(r->pen2), FIELD_PEN),
                        flagged(CT_U8(r->line_type2), FIELD_LINE_TYPE),
                        CT_P2(r->origin),
                        CT_P2(r->offset),
                        CT_F64(r->angle1),
                        CT_F64(r->spacing1),
                        CT_F64(r->angle2),
                        CT_F64(r->spacing2),
                        CT_COUNT(points),
                        CT_U8(r->type),
                        CT_F64(r->r),
                        CT_F64(r->g),
                        CT_F64(r->b),
                        CT_ARRAY(points)};
// Older patterns: no type and no colour; the points follow the count.
const Field old_fields[] = {flagged(CT_U8(r->pen2), FIELD_PEN),
                            flagged(CT_U8(r->line_type2), FIELD_LINE_TYPE),
                            CT_P2(r->origin),
                            CT_P2(r->offset),
                            CT_F64(r->angle1),
                            CT_F64(r->spacing1),
                            CT_F64(r->angle2),
                            CT_F64(r->spacing2),
                            CT_COUNT(points),
                            CT_ARRAY(points)};
void fill_old(ElemHeader& e) {
  auto& p = static_cast<PatternElem&>(e);
  p.r = p.g = p.b = 0.0;
  if (p.line_type == LINE_TYPE_PATTERN_POINTS)
    p.type = PATTERN_POINTS;
  else if (p.spacing2 != 0.0)
    p.type = PATTERN_TWO_LINES;
  else
    p.type = PATTERN_ONE_LINE;
}
}  // namespace pattern

namespace spline {
using R = SplineElem;
const Field fields[] = {CT_P2(r->p0), CT_P2(r->p1), CT_P2(r->p2), CT_P2(r->p3)};
}  // namespace spline

namespace mesh {
namespace index {
using R = int32_t;
const Field fields[] = {Field{"index", FieldType::I32, 0, CT_ADDR(i32, *r)}};
}  // namespace index
namespace point3 {
using R = Point3;
const Field fields[] = {CT_F64(r->x), CT_F64(r->y), CT_F64(r->z)};
}  // namespace point3
// The faces' vertex numbers follow from the face sizes; a negative size is invalid.
bool index_count(const void* rec, std::size_t* n) {
  uint64_t sum = 0;
  for (int32_t k : static_cast<const MeshElem*>(rec)->face_sizes) {
    if (k < 0) return false;
    sum += static_cast<uint64_t>(k);
  }
  *n = static_cast<std::size_t>(sum);
  return true;
}
const ArrayDesc vertices = vec_array<&MeshElem::vertices>("vertices", point3::fields);
const ArrayDesc face_sizes = vec_array<&MeshElem::face_sizes>("face_sizes", index::fields);
const ArrayDesc indices = [] {
  ArrayDesc a = vec_array<&MeshElem::indices>("indices", index::fields);
  a.derived_count = index_count;
  return a;
}();
using R = MeshElem;
const Field fields[] = {CT_TEXT(r->material), CT_COUNT(vertices), CT_COUNT(face_sizes), CT_U8(r->flag),
                        CT_ARRAY(face_sizes), CT_ARRAY(vertices), CT_ARRAY(indices)};
// Every vertex number must name a vertex; a negative one counts by its size.
bool valid(const ElemHeader& e) {
  const auto& m = static_cast<const MeshElem&>(e);
  const int64_t v = static_cast<int64_t>(m.vertices.size());
  for (int32_t i : m.indices)
    if (std::llabs(static_cast<int64_t>(i)) >= v) return false;
  return true;
}
}  // namespace mesh

namespace camera {
using R = CameraElem;
const Field fields[] = {CT_P3(r->eye), CT_P3(r->target), CT_F64(r->view_angle), CT_I32(r->active)};
}  // namespace camera

namespace room {
const ArrayDesc points = vec_array<&RoomElem::points>("points", point2::fields);
using R = RoomElem;
#define ROOM_FIELDS(font_field)                                                                   \
  CT_P2(r->label), font_field, CT_F64(r->angle), CT_F64(r->height), CT_F64(r->width_factor),      \
      CT_F64(r->spacing), CT_F64(r->line_spacing), CT_TEXT(r->description), CT_TEXT(r->number),   \
      CT_F64(r->area_factor), CT_F64(r->base_z), CT_F64(r->top_z), CT_U8(r->show_area),           \
      CT_U8(r->show_volume), CT_U8(r->show_description), CT_U8(r->show_number), CT_COUNT(points), \
      CT_ARRAY(points)
const Field fields[] = {ROOM_FIELDS(CT_TEXT(r->font))};
// Older rooms: a font number in place of the name.
const Field old_fields[] = {ROOM_FIELDS(CT_OLD_FONT(r->font))};
#undef ROOM_FIELDS
}  // namespace room

namespace light {
using R = LightElem;
const Field fields[] = {CT_P3(r->position), CT_P3(r->target),
                        CT_U8(r->type),     CT_U8(r->shadow),
                        CT_F64(r->r),       CT_F64(r->g),
                        CT_F64(r->b),       CT_F64(r->light_size),
                        CT_F64(r->angle),   CT_F64(r->shadow_intensity)};
// Older lights: LIGH lacks the shadow intensity; LIGT holds position and type only.
const Field fields_no_intensity[] = {CT_P3(r->position), CT_P3(r->target),      CT_U8(r->type),
                                     CT_U8(r->shadow),   CT_F64(r->r),          CT_F64(r->g),
                                     CT_F64(r->b),       CT_F64(r->light_size), CT_F64(r->angle)};
const Field fields_position_type[] = {CT_P3(r->position), CT_U8(r->type)};
void fill_intensity(ElemHeader& e) { static_cast<LightElem&>(e).shadow_intensity = 1.0; }
void fill_position_type(ElemHeader& e) {
  auto& l = static_cast<LightElem&>(e);
  l.shadow = 1;
  l.target = Point3{};
  l.r = l.g = l.b = 1.0;
  l.light_size = 0.0;
  l.angle = 0.0;
  l.shadow_intensity = 1.0;
}
}  // namespace light

const ElemChunk elem_chunks[] = {
    {"LINE", ELEM_LINE, true, line::fields, make<LineElem>, nullptr, nullptr},
    {"CIRC", ELEM_ARC, true, arc::fields, make<ArcElem>, nullptr, nullptr},
    {"TEX2", ELEM_TEXT, true, text::fields, make<TextElem>, nullptr, nullptr},
    {"DIM3", ELEM_DIM, true, dim::fields, make<DimElem>, nullptr, nullptr},
    {"WALL", ELEM_WALL, true, wall::fields, make<WallElem>, nullptr, nullptr},
    {"PAT2", ELEM_PATTERN, true, pattern::fields, make<PatternElem>, nullptr, nullptr},
    {"SPLI", ELEM_SPLINE, true, spline::fields, make<SplineElem>, nullptr, nullptr},
    {"LIN3", ELEM_LINE3D, true, line3d::fields, make<Line3dElem>, nullptr, nullptr},
    {"OBJ3", ELEM_MESH, true, mesh::fields, make<MeshElem>, nullptr, mesh::valid},
    {"OCAM", ELEM_CAMERA, true, camera::fields, make<CameraElem>, nullptr, nullptr},
    {"ROO2", ELEM_ROOM, true, room::fields, make<RoomElem>, nullptr, nullptr},
    {"LIG2", ELEM_LIGHT, true, light::fields, make<LightElem>, nullptr, nullptr},
    {"TEXT", ELEM_TEXT, false, text::old_fields, make<TextElem>, nullptr, nullptr},
    {"DIMC", ELEM_DIM, false, dim::old_fields, make<DimElem>, dim::fill_old, nullptr},
    {"PATT", ELEM_PATTERN, false, pattern::old_fields, make<PatternElem>, pattern::fill_old, nullptr},
    {"ROOM", ELEM_ROOM, false, room::old_fields, make<RoomElem>, nullptr, nullptr},
    {"LIGT", ELEM_LIGHT, false, light::fields_position_type, make<LightElem>, light::fill_position_type,
     nullptr},
    {"LIGH", ELEM_LIGHT, false, light::fields_no_intensity, make<LightElem>, light::fill_intensity, nullptr},
};

// Layers the elements of a file may stand on: the real ones and the
// temporary layers the program's own hand-off and symbol files can carry.
bool layer_loadable(uint16_t layer) {
  return layer < LAYER_COUNT || (layer >= LAYER_TEMP_3D && layer <= LAYER_TEMP_SYMBOL);
}

void write_element(ByteWriter& w, const ElemHeader& e, const ElemChunk& c) {
  w.chunk(c.tag, kavfile_elem_payload_bytes(e));
  w.u16(e.layer);
  w.u16(e.group);
  w.u8(e.pen);
  w.u8(e.line_type);
  write_fields(w, c.fields, &e);
}

// The plan of a chunk of the table, made when the chunk is first read; null
// for a chunk from elsewhere.
const FieldPlan* plan_of(const ElemChunk& c) {
  constexpr std::size_t n = std::size(elem_chunks);
  static std::unique_ptr<FieldPlan> plans[n];
  static bool made[n] = {};
  const std::less<const ElemChunk*> before;
  if (before(&c, elem_chunks) || !before(&c, elem_chunks + n)) return nullptr;
  const std::size_t k = static_cast<std::size_t>(&c - elem_chunks);
  if (!made[k]) {
    made[k] = true;
    const std::unique_ptr<ElemHeader> a = c.make(), b = c.make();
    plans[k] = field_plan(c.fields, a.get(), b.get());
  }
  return plans[k].get();
}

template <class Pred>
int write_elements_where(std::FILE* f, Pred take) {
  ByteWriter w(f);
  for (const ElemHeader* e = elem_list_head; e && w.ok(); e = e->next) {
    if (!take(*e)) continue;
    if (const ElemChunk* c = kavfile_elem_chunk_of_kind(e->kind)) write_element(w, *e, *c);
    w.maybe_flush();
  }
  if (!w.flush()) {
    std::printf("e1\n");
    return 0;
  }
  return 1;
}

}  // namespace

const ElemChunk* kavfile_elem_chunk(const char* tag) {
  for (const ElemChunk& c : elem_chunks)
    if (std::memcmp(c.tag, tag, 4) == 0) return &c;
  return nullptr;
}

const ElemChunk* kavfile_elem_chunk_of_kind(uint8_t kind) {
  if (kind < 1 || kind > ELEM_KIND_COUNT) return nullptr;
  return &elem_chunks[kind - 1];  // the current chunks stand first, in kind order
}

std::span<const ElemChunk> kavfile_elem_chunks() { return elem_chunks; }

uint32_t kavfile_elem_payload_bytes(const ElemHeader& e) {
  const ElemChunk* c = kavfile_elem_chunk_of_kind(e.kind);
  return c ? 6 + fields_bytes(c->fields, &e) : 0;
}

ReadStatus kavfile_read_element(ByteReader& r, const ElemChunk& c, ChunkReadCtx& ctx,
                                std::unique_ptr<ElemHeader>& out) {
  out.reset();
  uint16_t layer, group;
  uint8_t pen, line_type;
  if (!(r.u16(layer) && r.u16(group) && r.u8(pen) && r.u8(line_type))) return ReadStatus::FAILED;
  std::unique_ptr<ElemHeader> e = c.make();
  if (layer_remap_old) layer = kavfile_map_old_layer(layer);
  if (!layer_loadable(layer)) {
    layer = 0;
    ++ctx.repaired;
  }
  e->layer = layer;
  e->group = group;
  e->pen = checked_code(FIELD_PEN, pen, ctx);
  e->line_type = checked_code(FIELD_LINE_TYPE, line_type, ctx);
  ReadStatus s = read_fields(r, c.fields, e.get(), ctx, plan_of(c));
  if (s != ReadStatus::OK) return s;
  if (c.fill) c.fill(*e);
  if (c.valid && !c.valid(*e)) return ReadStatus::REJECTED;
  out = std::move(e);
  return ReadStatus::OK;
}

void kavfile_write_element_chunk(ByteWriter& w, const ElemHeader& e) {
  if (const ElemChunk* c = kavfile_elem_chunk_of_kind(e.kind)) write_element(w, e, *c);
}

int kavfile_write_element(std::FILE* f, const ElemHeader* e) {
  if (!e) return 1;
  ByteWriter w(f);
  kavfile_write_element_chunk(w, *e);
  return w.flush() ? 1 : 0;
}

int kavfile_write_elements(std::FILE* f, int mark) {
  return write_elements_where(f, [mark](const ElemHeader& e) { return e.mark == mark; });
}

int kavfile_write_backup_elements(std::FILE* f) {
  return write_elements_where(f, [](const ElemHeader& e) { return e.layer < LAYER_COUNT; });
}

uint16_t kavfile_map_old_layer(uint16_t layer) {
  if (layer >= 10 && layer <= 99) return static_cast<uint16_t>((layer / 10) * 100 + layer % 10);
  return layer;
}

void kavfile_old_font_name(int number, char* name) {
  static const char* const names[] = {"Simpel",   "Freihand", "Rund",     "SimpelProp",
                                      "RundProp", "Outline",  "Filled_1", "Filled_2",
                                      "Filled_3", "Filled_4", "Filled_5", "Filled_6"};
  const char* n = number >= 0 && number < static_cast<int>(std::size(names)) ? names[number] : "";
  std::strcpy(name, n);  // every name fits a font field
}
