#include "display/draw_parallel.h"

#include <algorithm>
#include <cstddef>
#include <exception>

#include "display/draw.h"
#include "display/draw_dim.h"
#include "display/draw_hatch.h"
#include "display/draw_room.h"
#include "display/outdev.h"
#include "display/outdev_breakdown.h"
#include "display/outdev_screen.h"
#include "display/text_draw.h"
#include "display/view.h"
#include "platform/work_pool.h"

int draw_parallel_min_elements = DRAW_PARALLEL_MIN_ELEMENTS;
int draw_parallel_piece_elements = DRAW_PARALLEL_PIECE_ELEMENTS;

namespace {

// Pieces and bands per thread.
constexpr int PIECES_PER_THREAD = 8;
constexpr int BANDS_PER_THREAD = 2;

bool screen_slots() {
  return !outdev.active && outdev.line == outdev_screen_line && outdev.arc == outdev_screen_arc &&
         outdev.bezier == outdev_screen_bezier && outdev.text == outdev_screen_text &&
         outdev.fill == outdev_screen_fill && outdev.dimension == outdev_screen_dimension &&
         outdev.room == outdev_screen_room;
}

enum class PieceEnd { DRAWN, MAIN_THREAD, FAILED };

struct Piece {
  std::size_t begin = 0, end = 0;
  PieceEnd ended = PieceEnd::DRAWN;
  int wide = 0;
};

// The elements in drawing order and the pieces, kept from one drawing to
// the next; the operation lists of piece p and band b (at p * band_count +
// b) live only while one drawing runs.
std::vector<ElemHeader*> order;
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
    for (std::size_t i = piece.begin; i < piece.end; ++i) draw_element(mode, order[i]);
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

}  // namespace

bool draw_in_parallel(uint8_t mode, const std::vector<ElemHeader*>* lists, int list_count) {
  std::size_t total = 0;
  for (int l = 0; l < list_count; ++l) total += lists[l].size();
  const int threads = work_pool_threads();
  if (threads < 2 || total < static_cast<std::size_t>(std::max(draw_parallel_min_elements, 1))) return false;
  if (!screen_slots() || draw_refresh_now || work_pool_in_piece()) return false;
  int band_count = threads * BANDS_PER_THREAD;
  const int band_rows = view_band_rows(band_count);
  if (band_rows <= 0) return false;
  band_count = std::min(band_count, (view_band_rows(1) + band_rows - 1) / band_rows);

  order.clear();
  order.reserve(total);
  for (int l = 0; l < list_count; ++l) order.insert(order.end(), lists[l].begin(), lists[l].end());
  // Pieces few enough that the threads finish together.
  const std::size_t least = static_cast<std::size_t>(std::max(draw_parallel_piece_elements, 1));
  const std::size_t per = std::max(least, (total + threads * PIECES_PER_THREAD - 1) /
                                              static_cast<std::size_t>(threads * PIECES_PER_THREAD));
  const int piece_count = static_cast<int>((total + per - 1) / per);
  pieces.assign(piece_count, Piece{});
  for (int p = 0; p < piece_count; ++p)
    pieces[p] = Piece{p * per, std::min(total, (p + 1) * per), PieceEnd::DRAWN, 0};
  ops.resize(std::max(ops.size(), static_cast<std::size_t>(piece_count) * band_count));

  SlotsKept kept;
  ListsReleased released;
  work_pool_run(piece_count, [&](int p) { record_piece(mode, kept.slots(), p, band_count, band_rows); });
  // What only the interface's thread may do (loading a font) is done here,
  // one piece after the other.
  for (int p = 0; p < piece_count; ++p)
    if (pieces[p].ended == PieceEnd::MAIN_THREAD) record_piece(mode, kept.slots(), p, band_count, band_rows);
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
