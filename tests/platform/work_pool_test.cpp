// Pieces that find they need the interface's thread (a font to load) run
// again: one alone, where it may do what it needed, the rest beside each
// other again.

#include "platform/work_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace {

// A resource only the interface's thread may bring, as a font is.
struct LateResource {
  std::atomic<bool> loaded{false};
  std::atomic<int> loads{0};
  void need() {
    if (loaded) return;
    work_pool_require_main_thread();
    ++loads;
    loaded = true;
  }
};

// f for work_pool_run_again_where_needed: the piece needs the resource;
// outside the call it counts how often each piece finished and how many
// runs were alone.
struct Counting {
  LateResource& resource;
  std::vector<std::atomic<int>>& finished;
  std::atomic<int>& alone_runs;
  bool operator()(int p, bool alone) const {
    if (alone) ++alone_runs;
    try {
      resource.need();
    } catch (const WorkNeedsMainThread&) {
      if (alone) throw;
      return false;
    }
    ++finished[p];
    return true;
  }
};

TEST(WorkPool, OnePieceLoadsWhatAllNeedAndTheRestRunBesideEachOther) {
  for (const int pieces : {1, 2, 64}) {
    LateResource resource;
    std::vector<std::atomic<int>> finished(pieces);
    std::atomic<int> alone_runs{0};
    work_pool_run_again_where_needed(pieces, Counting{resource, finished, alone_runs});
    EXPECT_EQ(resource.loads, 1) << pieces;
    // Before, every piece that met the missing resource ran again alone,
    // one after the other: as slow as one thread.
    EXPECT_EQ(alone_runs, 1) << pieces;
    for (int p = 0; p < pieces; ++p) EXPECT_EQ(finished[p], 1) << "piece " << p << " of " << pieces;
  }
}

TEST(WorkPool, PiecesThatNeedNothingRunOnceAndNeverAlone) {
  LateResource resource;
  resource.loaded = true;
  std::vector<std::atomic<int>> finished(40);
  std::atomic<int> alone_runs{0};
  work_pool_run_again_where_needed(40, Counting{resource, finished, alone_runs});
  EXPECT_EQ(alone_runs, 0);
  for (int p = 0; p < 40; ++p) EXPECT_EQ(finished[p], 1) << p;
}

TEST(WorkPool, APieceThatKeepsFailingEndsAloneAndItsErrorLeavesTheCall) {
  // Piece 3 fails beside the others; run again alone, it throws.
  std::vector<std::atomic<int>> runs(16);
  std::atomic<int> alone_runs{0};
  auto f = [&](int p, bool alone) {
    ++runs[p];
    if (p != 3) return true;
    if (alone) {
      ++alone_runs;
      throw std::runtime_error("no memory");
    }
    return false;
  };
  EXPECT_THROW(work_pool_run_again_where_needed(16, f), std::runtime_error);
  EXPECT_EQ(alone_runs, 1);
  for (int p = 0; p < 16; ++p) EXPECT_EQ(runs[p], p == 3 ? 2 : 1) << p;
}

TEST(WorkPool, InsideAPieceTheNeedGoesUpToTheRunAround) {
  // The pieces of the inner call all run in the outer piece; the one that
  // needs the interface's thread cannot get it there and says so to the
  // outer run, whose caller runs that piece again.
  LateResource resource;
  std::atomic<int> outer_needs{0};
  work_pool_run(4, [&](int) {
    std::vector<std::atomic<int>> finished(8);
    std::atomic<int> alone_runs{0};
    try {
      work_pool_run_again_where_needed(8, Counting{resource, finished, alone_runs});
    } catch (const WorkNeedsMainThread&) {
      ++outer_needs;
    }
  });
  EXPECT_EQ(outer_needs, 4);
  EXPECT_EQ(resource.loads, 0);
}

}  // namespace
