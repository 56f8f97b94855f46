#include "model/elem.h"

#include <sanitizer/asan_interface.h>
#include <sys/mman.h>

#include <cmath>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

#include "model/elem_points.h"

ElemHeader* elem_list_head = nullptr;
ElemHeader* elem_list_tail = nullptr;
int drawing_modified = 0;
int guide_mode = 0;
uint32_t elem_list_generation = 0;
uint64_t elem_journal_end = 0;
uint32_t elem_list_epoch = 0;

namespace {

// Sizes of the stored parts, as the file chunks hold them.
constexpr uint32_t DIM_POINT_BYTES = 80;
constexpr uint32_t WALL_SEGMENT_BYTES = 32;
constexpr uint32_t WALL_OPENING_BYTES = 227;
constexpr uint32_t POINT2_BYTES = 16;
constexpr uint32_t POINT3_BYTES = 24;

template <class T>
std::unique_ptr<T> make_record(int layer, int pen, int line_type) {
  auto e = std::make_unique<T>();
  e->layer = static_cast<uint16_t>(layer);
  e->pen = static_cast<uint8_t>(pen);
  e->line_type = static_cast<uint8_t>(line_type);
  return e;
}

void clear_marks(Point2* p, int n) {
  for (int i = 0; p && i < n; ++i) p[i].mark = 0;
}
void clear_marks(Point3* p, int n) {
  for (int i = 0; p && i < n; ++i) p[i].mark = 0;
}

// The element pool. Blocks are aligned to their size so that the system can
// back each with one large page. A freed record goes onto the free list of
// its size and is handed out again to the next record of that size; when no
// record is left at all, every block but one goes back.
constexpr std::size_t POOL_BLOCK = std::size_t{2} << 20;
constexpr std::size_t POOL_GRAIN = 16;
constexpr std::size_t POOL_LARGEST = 512;  // larger records come from the heap

struct RecordPool {
  std::vector<void*> blocks;
  unsigned char* bump = nullptr;  // the unused rest of the newest block
  std::size_t bump_left = 0;
  void* free_list[POOL_LARGEST / POOL_GRAIN + 1] = {};
  std::size_t live = 0;
};

RecordPool& pool() {
  static RecordPool* p = new RecordPool;  // never destroyed: records may outlive static destruction
  return *p;
}

void pool_start_block(RecordPool& p, void* block) {
  p.bump = static_cast<unsigned char*>(block);
  p.bump_left = POOL_BLOCK;
  ASAN_POISON_MEMORY_REGION(block, POOL_BLOCK);
}

void* pool_take(std::size_t size) {
  if (size > POOL_LARGEST) return ::operator new(size);
  RecordPool& p = pool();
  const std::size_t cls = (size + POOL_GRAIN - 1) / POOL_GRAIN, bytes = cls * POOL_GRAIN;
  void* r = p.free_list[cls];
  if (r) {
    ASAN_UNPOISON_MEMORY_REGION(r, bytes);
    p.free_list[cls] = *static_cast<void**>(r);
  } else {
    if (p.bump_left < bytes) {
      p.blocks.reserve(p.blocks.size() + 1);
      void* block = std::aligned_alloc(POOL_BLOCK, POOL_BLOCK);
      if (!block) throw std::bad_alloc();
      ::madvise(block, POOL_BLOCK, MADV_HUGEPAGE);
      p.blocks.push_back(block);
      pool_start_block(p, block);
    }
    r = p.bump;
    p.bump += bytes;
    p.bump_left -= bytes;
    ASAN_UNPOISON_MEMORY_REGION(r, bytes);
  }
  ++p.live;
  return r;
}

void pool_give(void* r, std::size_t size) {
  if (size > POOL_LARGEST) {
    ::operator delete(r);
    return;
  }
  RecordPool& p = pool();
  const std::size_t cls = (size + POOL_GRAIN - 1) / POOL_GRAIN;
  *static_cast<void**>(r) = p.free_list[cls];
  p.free_list[cls] = r;
  ASAN_POISON_MEMORY_REGION(r, cls * POOL_GRAIN);
  if (--p.live > 0) return;
  for (std::size_t i = 1; i < p.blocks.size(); ++i) std::free(p.blocks[i]);
  p.blocks.resize(1);
  for (void*& f : p.free_list) f = nullptr;
  pool_start_block(p, p.blocks[0]);
}

ElemJournalEntry journal[ELEM_JOURNAL_SIZE];
uint32_t next_order = 1;

void note(const ElemHeader* e, uint8_t removed) {
  journal[elem_journal_end % ELEM_JOURNAL_SIZE] = {e->order, e->kind, removed};
  ++elem_journal_end;
}

void release(ElemHeader* e) {
  ++elem_list_generation;
  e->kind = ELEM_FREED;
  delete e;
}

}  // namespace

void* ElemHeader::operator new(std::size_t size) { return pool_take(size); }

void ElemHeader::operator delete(void* p, std::size_t size) noexcept { pool_give(p, size); }

uint32_t elem_fixed_size(ElemKind kind) {
  switch (kind) {
    case ELEM_LINE:
      return 38;
    case ELEM_ARC:
      return 62;
    case ELEM_TEXT:
      return 92;
    case ELEM_DIM:
      return 84;
    case ELEM_WALL:
      return 295;
    case ELEM_PATTERN:
      return 101;
    case ELEM_SPLINE:
      return 70;
    case ELEM_LINE3D:
      return 54;
    case ELEM_MESH:
      return 55;
    case ELEM_CAMERA:
      return 66;
    case ELEM_ROOM:
      return 283;
    case ELEM_LIGHT:
      return 104;
  }
  return 0;
}

uint32_t elem_compute_size(const ElemHeader& e) {
  uint32_t size = elem_fixed_size(e.kind);
  switch (e.kind) {
    case ELEM_TEXT:
      size += static_cast<uint32_t>(static_cast<const TextElem&>(e).text.size()) + 1;
      break;
    case ELEM_DIM:
      size += DIM_POINT_BYTES * static_cast<uint32_t>(static_cast<const DimElem&>(e).points.size());
      break;
    case ELEM_WALL: {
      const auto& w = static_cast<const WallElem&>(e);
      size += WALL_SEGMENT_BYTES * static_cast<uint32_t>(w.segments.size()) +
              WALL_OPENING_BYTES * static_cast<uint32_t>(w.openings.size());
      break;
    }
    case ELEM_PATTERN:
      size += POINT2_BYTES * static_cast<uint32_t>(static_cast<const PatternElem&>(e).points.size());
      break;
    case ELEM_ROOM:
      size += POINT2_BYTES * static_cast<uint32_t>(static_cast<const RoomElem&>(e).points.size());
      break;
    case ELEM_MESH: {
      const auto& m = static_cast<const MeshElem&>(e);
      size += 4 * static_cast<uint32_t>(m.face_sizes.size()) +
              POINT3_BYTES * static_cast<uint32_t>(m.vertices.size()) +
              4 * static_cast<uint32_t>(m.indices.size());
      break;
    }
    case ELEM_LINE:
    case ELEM_ARC:
    case ELEM_SPLINE:
    case ELEM_LINE3D:
    case ELEM_CAMERA:
    case ELEM_LIGHT:
      break;
  }
  return size;
}

void elem_update_size(ElemHeader& e) { e.size = elem_compute_size(e); }

bool elem_journal_entry(uint64_t p, ElemJournalEntry* out) {
  if (p >= elem_journal_end || elem_journal_end - p > ELEM_JOURNAL_SIZE) return false;
  *out = journal[p % ELEM_JOURNAL_SIZE];
  return true;
}

void elem_link_tail(ElemHeader* e) {
  if (next_order == UINT32_MAX) {
    // Four billion links: the list is numbered again from 1.
    next_order = 1;
    for (ElemHeader* f = elem_list_head; f; f = f->next) f->order = next_order++;
    ++elem_list_epoch;
  }
  e->order = next_order++;
  e->next = nullptr;
  e->previous = elem_list_tail;
  if (elem_list_tail)
    elem_list_tail->next = e;
  else
    elem_list_head = e;
  elem_list_tail = e;
}

void elem_touch(const ElemHeader* e) {
  ++elem_list_generation;
  note(e, 0);
}

void elem_touch() {
  ++elem_list_generation;
  ++elem_list_epoch;
}

void elem_restart_scans() { ++elem_list_generation; }

void elem_unlink(ElemHeader* e) {
  ++elem_list_generation;
  note(e, 1);
  if (e->previous)
    e->previous->next = e->next;
  else
    elem_list_head = e->next;
  if (e->next)
    e->next->previous = e->previous;
  else
    elem_list_tail = e->previous;
  e->next = nullptr;
  e->previous = nullptr;
}

void elem_destroy(ElemHeader* e) {
  if (e) release(e);
}

int elem_adopt(std::unique_ptr<ElemHeader> record) {
  if (!record) return 0;
  elem_update_size(*record);
  elem_link_tail(record.release());
  drawing_modified = 1;
  return 1;
}

int elem_append(const ElemHeader& record) { return elem_adopt(record.clone()); }

int elem_append_copy(const ElemHeader* e) {
  if (!e) return 0;
  auto copy = e->clone();
  copy->undo_mask = 0;
  return elem_adopt(std::move(copy));
}

void elem_purge_marked() {
  ElemHeader* e = elem_list_head;
  ElemHeader* head = nullptr;
  ElemHeader* tail = nullptr;
  bool freed = false;
  ++elem_list_generation;
  while (e) {
    ElemHeader* next = e->next;
    if (e->mark == 1) {
      note(e, 1);
      release(e);
      freed = true;
    } else {
      e->previous = tail;
      e->next = nullptr;
      if (tail)
        tail->next = e;
      else
        head = e;
      tail = e;
    }
    e = next;
  }
  elem_list_head = head;
  elem_list_tail = tail;
  if (freed) drawing_modified = 1;
}

void elem_remove_last() {
  ElemHeader* e = elem_list_tail;
  if (!e) return;
  elem_unlink(e);
  release(e);
}

void elem_free_all() {
  ++elem_list_generation;
  ++elem_list_epoch;
  ElemHeader* e = elem_list_head;
  elem_list_head = nullptr;
  elem_list_tail = nullptr;
  while (e) {
    ElemHeader* next = e->next;
    release(e);
    e = next;
  }
}

ElemHeader* elem_first(ElemHeader** it) { return *it = elem_list_head; }
ElemHeader* elem_next(ElemHeader** it) { return *it = (*it)->next; }

int elem_count() {
  int n = 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next) ++n;
  return n;
}

std::size_t elem_records_live() { return pool().live; }

int elem_count_marked() {
  int n = 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (e->mark == 1) ++n;
  return n;
}

void elem_set_layer_marked(int layer) {
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (e->mark == 1) e->layer = static_cast<uint16_t>(layer);
}

int elem_pen_or_guide(unsigned pen) { return guide_mode == 1 ? PEN_GUIDE : static_cast<int>(pen & 0xFFu); }

int elem_has_marked_point(const ElemHeader* e) {
  // Cameras and lights have no stretchable points.
  if (e->kind == ELEM_CAMERA || e->kind == ELEM_LIGHT) return 0;
  bool any = false;
  auto test = [&any](const auto& p) { any = any || p.mark; };
  // The walk only reads through the pointer.
  elem_for_each_point(const_cast<ElemHeader*>(e), ELEM_POINTS_UNUSED_OFFSET, test, test);
  return any ? 1 : 0;
}

void elem_clear_point_marks(ElemHeader* e) {
  auto clear = [](auto& p) { p.mark = 0; };
  elem_for_each_point(e, ELEM_POINTS_EVERY, clear, clear);
}

int elem_new_line(int layer, int pen, int line_type, double x1, double y1, double x2, double y2) {
  auto e = make_record<LineElem>(layer, pen, line_type);
  e->p1 = {x1, y1, 0};
  e->p2 = {x2, y2, 0};
  return elem_adopt(std::move(e));
}

int elem_new_arc(int layer, int pen, int line_type, double cx, double cy, double radius_x, double radius_y,
                 double sweep, double start, double rotation) {
  auto e = make_record<ArcElem>(layer, pen, line_type);
  e->centre = {cx, cy, 0};
  e->radius_x = radius_x;
  e->radius_y = radius_y;
  e->sweep = sweep;
  e->start = start;
  e->rotation = rotation;
  return elem_adopt(std::move(e));
}

int elem_new_text(int layer, int pen, int line_type, double x, double y, double angle, double height,
                  double width_factor, double spacing, double line_spacing, std::string_view text,
                  double fit_length, std::string_view font, int alignment) {
  auto e = make_record<TextElem>(layer, pen, line_type);
  e->pos = {x, y, 0};
  e->angle = angle;
  e->height = height;
  e->width_factor = width_factor;
  e->spacing = spacing;
  e->line_spacing = line_spacing;
  // The stored text ends at its first NUL, as a C string would.
  e->text.assign(text.substr(0, text.find('\0')));
  e->fit_length = fit_length;
  e->font = font;
  e->alignment = static_cast<uint8_t>(alignment);
  return elem_adopt(std::move(e));
}

int elem_new_dim(int layer, int pen, int line_type, int figure_pen, int figure_line_type, double direction,
                 double figure_size, double figure_width, double figure_space, double chain_space,
                 double help_line_length, std::string_view font, int format, int end_mark, int dim_kind,
                 int n, const DimPoint* points) {
  auto e = make_record<DimElem>(layer, pen, line_type);
  e->figure_pen = static_cast<uint8_t>(figure_pen);
  e->figure_line_type = static_cast<uint8_t>(figure_line_type);
  e->direction = direction;
  e->figure_size = figure_size;
  e->figure_width = figure_width;
  e->figure_space = figure_space;
  e->chain_space = chain_space;
  e->help_line_length = help_line_length;
  e->font = font;
  e->format = static_cast<uint8_t>(format);
  e->end_mark = static_cast<uint8_t>(end_mark);
  e->dim_kind = static_cast<uint8_t>(dim_kind);
  if (points && n > 0) e->points.assign(points, points + n);
  return elem_adopt(std::move(e));
}

int elem_new_wall(int layer, int pen, int line_type, const double corners[24], int s, WallSegment* segments,
                  int o, WallOpening* openings, std::string_view material, int gable, double ax, double ay,
                  double az, double bx, double by, double bz) {
  auto e = make_record<WallElem>(layer, pen, line_type);
  for (int i = 0; i < 8; ++i) e->corner[i] = {corners[3 * i], corners[3 * i + 1], corners[3 * i + 2], 0};
  for (int i = 0; segments && i < s; ++i) {
    segments[i].start.mark = 0;
    segments[i].end.mark = 0;
  }
  for (int i = 0; openings && i < o; ++i) clear_marks(openings[i].corner, 8);
  if (segments && s > 0) e->segments.assign(segments, segments + s);
  if (openings && o > 0) e->openings.assign(openings, openings + o);
  e->material = material;
  e->gable = static_cast<uint8_t>(gable);
  e->gable_a = {ax, ay, az, 0};
  e->gable_b = {bx, by, bz, 0};
  return elem_adopt(std::move(e));
}

int elem_new_pattern(int layer, int pen, int line_type, double origin_x, double origin_y, double angle1,
                     double spacing1, int pen2, int line_type2, double offset_x, double offset_y,
                     double angle2, double spacing2, int n, Point2* points, double r, double g, double b,
                     int type) {
  auto e = make_record<PatternElem>(layer, pen, line_type);
  e->origin = {origin_x, origin_y, 0};
  e->angle1 = angle1;
  e->spacing1 = spacing1;
  e->pen2 = static_cast<uint8_t>(pen2);
  e->line_type2 = static_cast<uint8_t>(line_type2);
  e->offset = {offset_x, offset_y, 0};
  e->angle2 = angle2;
  e->spacing2 = spacing2;
  clear_marks(points, n);
  if (points && n > 0) e->points.assign(points, points + n);
  e->r = r;
  e->g = g;
  e->b = b;
  e->type = static_cast<uint8_t>(type);
  return elem_adopt(std::move(e));
}

int elem_new_spline(int layer, int pen, int line_type, double x0, double y0, double x1, double y1, double x2,
                    double y2, double x3, double y3) {
  auto e = make_record<SplineElem>(layer, pen, line_type);
  e->p0 = {x0, y0, 0};
  e->p1 = {x1, y1, 0};
  e->p2 = {x2, y2, 0};
  e->p3 = {x3, y3, 0};
  return elem_adopt(std::move(e));
}

int elem_new_line3d(int layer, int pen, int line_type, double x1, double y1, double z1, double x2, double y2,
                    double z2) {
  auto e = make_record<Line3dElem>(layer, pen, line_type);
  e->p1 = {x1, y1, z1, 0};
  e->p2 = {x2, y2, z2, 0};
  return elem_adopt(std::move(e));
}

int elem_new_mesh(int layer, int pen, int line_type, int v, int f, const int32_t* face_sizes,
                  Point3* vertices, const int32_t* indices, std::string_view material, int flag) {
  auto e = make_record<MeshElem>(layer, pen, line_type);
  clear_marks(vertices, v);
  if (face_sizes && f > 0) e->face_sizes.assign(face_sizes, face_sizes + f);
  if (vertices && v > 0) e->vertices.assign(vertices, vertices + v);
  long long s = 0;
  for (int32_t k : e->face_sizes) s += k > 0 ? k : 0;
  if (indices && s > 0) e->indices.assign(indices, indices + s);
  e->material = material;
  e->flag = static_cast<uint8_t>(flag);
  return elem_adopt(std::move(e));
}

int elem_new_camera(int layer, int pen, int line_type, double ex, double ey, double ez, double tx, double ty,
                    double tz, double view_angle, double active) {
  auto e = make_record<CameraElem>(layer, pen, line_type);
  e->eye = {ex, ey, ez, 0};
  e->target = {tx, ty, tz, 0};
  e->view_angle = view_angle;
  e->active = static_cast<int32_t>(std::trunc(active));
  return elem_adopt(std::move(e));
}

int elem_new_room(int layer, int pen, int line_type, double label_x, double label_y, std::string_view font,
                  double angle, double height, double width_factor, double spacing, double line_spacing,
                  std::string_view description, std::string_view number, double area_factor, double base_z,
                  double top_z, int show_area, int show_volume, int show_description, int show_number, int n,
                  Point2* points) {
  auto e = make_record<RoomElem>(layer, pen, line_type);
  e->label = {label_x, label_y, 0};
  e->font = font;
  e->angle = angle;
  e->height = height;
  e->width_factor = width_factor;
  e->spacing = spacing;
  e->line_spacing = line_spacing;
  e->description = description;
  e->number = number;
  e->area_factor = area_factor;
  e->base_z = base_z;
  e->top_z = top_z;
  e->show_area = static_cast<uint8_t>(show_area);
  e->show_volume = static_cast<uint8_t>(show_volume);
  e->show_description = static_cast<uint8_t>(show_description);
  e->show_number = static_cast<uint8_t>(show_number);
  clear_marks(points, n);
  if (points && n > 0) e->points.assign(points, points + n);
  return elem_adopt(std::move(e));
}

int elem_new_light(int layer, int pen, int line_type, int type, int shadow, double size, double angle,
                   double shadow_intensity, double px, double py, double pz, double tx, double ty, double tz,
                   double r, double g, double b) {
  auto e = make_record<LightElem>(layer, pen, line_type);
  e->type = static_cast<uint8_t>(type);
  e->shadow = static_cast<uint8_t>(shadow);
  e->light_size = size;
  e->angle = angle;
  e->shadow_intensity = shadow_intensity;
  e->position = {px, py, pz, 0};
  e->target = {tx, ty, tz, 0};
  e->r = r;
  e->g = g;
  e->b = b;
  return elem_adopt(std::move(e));
}
