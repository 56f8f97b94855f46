#include "platform/work_pool.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

thread_local bool in_piece = false;

// Marks this thread as running pieces for its lifetime.
class InPiece {
 public:
  InPiece() : before_(in_piece) { in_piece = true; }
  ~InPiece() { in_piece = before_; }
  InPiece(const InPiece&) = delete;
  InPiece& operator=(const InPiece&) = delete;

 private:
  bool before_;
};

class Pool {
 public:
  // Where the system gives fewer threads than asked, the pool makes do with
  // those it got (none at all: the caller runs every piece).
  explicit Pool(int workers) {
    try {
      for (int i = 0; i < workers; ++i) threads_.emplace_back([this] { serve(); });
    } catch (const std::system_error&) {
    }
  }
  ~Pool() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
  }
  Pool(const Pool&) = delete;
  Pool& operator=(const Pool&) = delete;

  void run(int pieces, const std::function<void(int)>& f) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job_ = &f;
      pieces_ = pieces;
      next_.store(0);
      busy_ = static_cast<int>(threads_.size());
      ++round_;
    }
    wake_.notify_all();
    {
      InPiece mark;
      take_pieces(f);
    }
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return busy_ == 0; });
    job_ = nullptr;
  }

 private:
  void take_pieces(const std::function<void(int)>& f) {
    for (int i = next_.fetch_add(1); i < pieces_; i = next_.fetch_add(1)) f(i);
  }

  void serve() {
    in_piece = true;
    unsigned seen = 0;
    for (;;) {
      const std::function<void(int)>* f = nullptr;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return stopping_ || round_ != seen; });
        if (stopping_) return;
        seen = round_;
        f = job_;
      }
      take_pieces(*f);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        --busy_;
      }
      done_.notify_one();
    }
  }

  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  const std::function<void(int)>* job_ = nullptr;
  int pieces_ = 0;
  std::atomic<int> next_{0};
  int busy_ = 0;
  unsigned round_ = 0;
  bool stopping_ = false;
};

Pool& pool() {
  static Pool p(work_pool_threads() - 1);
  return p;
}

}  // namespace

int work_pool_threads() {
  // The processors this process may run on, which a container or taskset
  // can make fewer than the machine has.
  static const int n = [] {
    cpu_set_t set;
    CPU_ZERO(&set);
    const int usable = sched_getaffinity(0, sizeof set, &set) == 0
                           ? CPU_COUNT(&set)
                           : static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(usable, 1, 16);
  }();
  return n;
}

void work_pool_run(int pieces, const std::function<void(int)>& f) {
  if (pieces <= 0) return;
  // A piece that runs pieces of its own runs them itself: the workers are busy.
  if (pieces == 1 || work_pool_threads() == 1 || in_piece) {
    InPiece mark;
    for (int i = 0; i < pieces; ++i) f(i);
    return;
  }
  pool().run(pieces, f);
}

void work_pool_run_again_where_needed(int pieces, const std::function<bool(int, bool)>& f) {
  if (pieces <= 0) return;
  std::vector<char> done(static_cast<std::size_t>(pieces), 0);
  work_pool_run(pieces, [&](int p) { done[p] = f(p, false) ? 1 : 0; });
  std::vector<int> again;
  for (int p = 0; p < pieces; ++p)
    if (!done[p]) again.push_back(p);
  if (again.empty() || in_piece) {
    for (const int p : again) f(p, true);
    return;
  }
  // One round beside each other after the first has run alone; more rounds
  // could cost more than running the rest here.
  f(again.front(), true);
  const std::vector<int> rest(again.begin() + 1, again.end());
  work_pool_run(static_cast<int>(rest.size()), [&](int k) { done[rest[k]] = f(rest[k], false) ? 1 : 0; });
  for (const int p : rest)
    if (!done[p]) f(p, true);
}

bool work_pool_in_piece() { return in_piece; }

void work_pool_require_main_thread() {
  if (in_piece) throw WorkNeedsMainThread{};
}
