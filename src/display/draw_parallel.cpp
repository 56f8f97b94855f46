#include "display/draw_parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>

#include "display/draw.h"
#include "display/outdev.h"
#include "display/outdev_screen.h"
#include "display/view.h"
#include "model/layers.h"
#include "platform/work_pool.h"

int draw_parallel_min_elements = DRAW_PARALLEL_MIN_ELEMENTS;
int draw_parallel_piece_elements = DRAW_PARALLEL_PIECE_ELEMENTS;

namespace {

// Pieces, slices and bands per thread.
constexpr int PIECES_PER_THREAD = 8;
constexpr int SLICES_PER_THREAD = 4;
constexpr int BANDS_PER_THREAD = 2;

bool is_filling(const ElemHeader* e) {
  const PatternElem* p = elem_as<PatternElem>(e);
  return p && p->type == PATTERN_FILLING;
}

bool enough(std::size_t elements) {
  return elements >= static_cast<std::size_t>(std::max(draw_parallel_min_elements, 1));
}

// Whether drawing on several threads can apply at all, whatever the number
// of elements, and the bands of the view.
bool applies(int& band_count, int& band_rows) {
  const int threads = work_pool_threads();
  if (threads < 2 || !outdev_screen_installed() || draw_refresh_now || work_pool_in_piece()) return false;
  band_count = threads * BANDS_PER_THREAD;
  band_rows = view_band_rows(band_count);
  if (band_rows <= 0) return false;
  band_count = std::min(band_count, (view_band_rows(1) + band_rows - 1) / band_rows);
  return true;
}

// The list as an array in list order, kept between drawings: walking a
// list of a million records costs more than drawing it on all cores. The
// copy holds while the list's generation and head are those it was made
// from, since every unlinking and freeing counts a generation; records
// appended at the tail since are added from the copy's last one.
struct ListCopy {
  std::vector<ElemHeader*> elements;
  uint32_t generation = 0;
  const ElemHeader* head = nullptr;
  bool made = false;
};
ListCopy list_copy;

}  // namespace

const std::vector<ElemHeader*>& draw_list_in_order() {
  ListCopy& c = list_copy;
  ElemHeader* from = elem_list_head;
  if (c.made && c.generation == elem_list_generation && c.head == elem_list_head) {
    if (!c.elements.empty()) from = c.elements.back()->next;
  } else {
    // Room for all at once: growing by copies on a list of a million
    // costs a third of the walk.
    c.elements.clear();
    c.elements.reserve(elem_records_live());
  }
  for (ElemHeader* e = from; e; e = e->next) c.elements.push_back(e);
  c.generation = elem_list_generation;
  c.head = elem_list_head;
  c.made = true;
  return c.elements;
}

bool draw_list_in_order_is_current() {
  const ListCopy& c = list_copy;
  if (!c.made || c.generation != elem_list_generation || c.head != elem_list_head) return false;
  return c.elements.empty() ? elem_list_head == nullptr : c.elements.back()->next == nullptr;
}

namespace {

enum class PieceEnd { DRAWN, MAIN_THREAD, FAILED };

struct Piece {
  ElemHeader* const* first = nullptr;
  ElemHeader* const* last = nullptr;
  PieceEnd ended = PieceEnd::DRAWN;
  int wide = 0;
};

// The passes of each slice (pass k of slice s at s * 4 + k) and the pieces,
// kept from one drawing to the next; the operation lists of piece p and
// band b (at p * band_count + b) live only while one drawing runs.
std::vector<std::vector<ElemHeader*>> sorted;
std::vector<Piece> pieces;
std::vector<std::vector<PixelOp>> ops;

void record_piece(uint8_t mode, const OutputDevice& slots, int p, int band_count, int band_rows) {
  Piece& piece = pieces[p];
  PixelRecording recording{&ops[static_cast<std::size_t>(p) * band_count], band_count, band_rows, 0};
  for (int b = 0; b < band_count; ++b) recording.bands[b].clear();
  outdev = slots;
  view_record_into(&recording);
  piece.ended = PieceEnd::DRAWN;
  try {
    for (ElemHeader* const* e = piece.first; e != piece.last; ++e) draw_element(mode, *e);
  } catch (const WorkNeedsMainThread&) {
    piece.ended = PieceEnd::MAIN_THREAD;
  } catch (...) {
    piece.ended = PieceEnd::FAILED;
  }
  view_record_into(nullptr);
  piece.wide = recording.wide;
}

// Puts the caller's output table back whatever way the drawing ends.
class SlotsKept {
 public:
  SlotsKept() : saved_(outdev) {}
  ~SlotsKept() { outdev = saved_; }
  SlotsKept(const SlotsKept&) = delete;
  SlotsKept& operator=(const SlotsKept&) = delete;
  const OutputDevice& slots() const { return saved_; }

 private:
  OutputDevice saved_;
};

// The lists of a whole site in view take a third of the memory of the
// drawing itself, too much to keep between drawings: they are given back
// whatever way the drawing ends, by all threads at once.
class ListsReleased {
 public:
  ListsReleased() = default;
  ~ListsReleased() {
    const int n = static_cast<int>(ops.size());
    work_pool_run((n + 63) / 64, [n](int k) {
      for (int i = k * 64; i < std::min(n, k * 64 + 64); ++i) std::vector<PixelOp>().swap(ops[i]);
    });
  }
  ListsReleased(const ListsReleased&) = delete;
  ListsReleased& operator=(const ListsReleased&) = delete;
};

bool draw_spans(uint8_t mode, const std::vector<ElemSpan>& spans, std::size_t total, int band_count,
                int band_rows) {
  // Pieces few enough that the threads finish together; none reaches over
  // the end of its span.
  const std::size_t parts = static_cast<std::size_t>(work_pool_threads()) * PIECES_PER_THREAD;
  const std::size_t least = static_cast<std::size_t>(std::max(draw_parallel_piece_elements, 1));
  const std::size_t per = std::max(least, (total + parts - 1) / parts);
  pieces.clear();
  for (const ElemSpan& s : spans)
    for (std::size_t at = 0; at < s.size; at += per)
      pieces.push_back(Piece{s.data + at, s.data + std::min(s.size, at + per), PieceEnd::DRAWN, 0});
  const int piece_count = static_cast<int>(pieces.size());
  ops.resize(std::max(ops.size(), static_cast<std::size_t>(piece_count) * band_count));

  SlotsKept kept;
  ListsReleased released;
  // A piece that has to load a font runs again on this thread, the
  // interface's, and the others then find the font loaded.
  work_pool_run_again_where_needed(piece_count, [&](int p, bool) {
    record_piece(mode, kept.slots(), p, band_count, band_rows);
    return pieces[p].ended != PieceEnd::MAIN_THREAD;
  });
  for (const Piece& piece : pieces)
    if (piece.ended != PieceEnd::DRAWN || piece.wide) return false;

  view_prepare_direct();
  work_pool_run(band_count, [&](int b) {
    for (int p = 0; p < piece_count; ++p)
      view_play_band(ops[static_cast<std::size_t>(p) * band_count + b], b, band_rows);
  });
  view_add_dirty_all();
  return true;
}

}  // namespace

int draw_pass_of(const ElemHeader* e, const DrawPassRule& rule) {
  const bool current = e->layer == cur_layer;
  if (!current && rule.test_shown && !layer_shown(e->layer)) return -1;
  if (rule.chosen && !rule.chosen(e)) return -1;
  return (is_filling(e) ? 0 : 2) + (current ? 1 : 0);
}

bool draw_in_parallel(uint8_t mode, const std::vector<ElemSpan>& spans) {
  std::size_t total = 0;
  for (const ElemSpan& s : spans) total += s.size;
  int band_count = 0, band_rows = 0;
  if (!enough(total) || !applies(band_count, band_rows)) return false;
  return draw_spans(mode, spans, total, band_count, band_rows);
}

bool draw_passes_in_parallel(uint8_t mode, const DrawPassRule& rule) {
  int band_count = 0, band_rows = 0;
  if (!elem_list_head || !applies(band_count, band_rows)) return false;
  const std::vector<ElemHeader*>& all = draw_list_in_order();

  // Sorting into the passes, slice by slice; a slice's passes keep its order.
  // A small list is one slice, sorted on this thread.
  const std::size_t slices =
      enough(all.size()) ? static_cast<std::size_t>(work_pool_threads()) * SLICES_PER_THREAD : 1;
  const std::size_t per = (all.size() + slices - 1) / slices;
  sorted.resize(slices * 4);
  std::atomic<bool> sorted_all{true};
  work_pool_run(static_cast<int>(slices), [&](int s) {
    std::vector<ElemHeader*>* pass = &sorted[static_cast<std::size_t>(s) * 4];
    for (int k = 0; k < 4; ++k) pass[k].clear();
    try {
      const std::size_t end = std::min(all.size(), (s + 1) * per);
      for (std::size_t i = s * per; i < end; ++i) {
        const int k = draw_pass_of(all[i], rule);
        if (k >= 0) pass[k].push_back(all[i]);
      }
    } catch (...) {  // no memory for the passes
      sorted_all = false;
    }
  });
  if (!sorted_all) return false;
  std::vector<ElemSpan> spans;
  std::size_t total = 0;
  for (int k = 0; k < 4; ++k)
    for (std::size_t s = 0; s < slices; ++s) {
      const std::vector<ElemHeader*>& pass = sorted[s * 4 + k];
      if (pass.empty()) continue;
      spans.push_back(ElemSpan{pass.data(), pass.size()});
      total += pass.size();
    }
  if (!enough(total) || !draw_spans(mode, spans, total, band_count, band_rows)) {
    for (const ElemSpan& s : spans)
      for (std::size_t i = 0; i < s.size; ++i) draw_element(mode, s.data[i]);
  }
  return true;
}

void draw_parallel_reset() {
  list_copy = ListCopy{};
  sorted.clear();
  pieces.clear();
  ops.clear();
}
