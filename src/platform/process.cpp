#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

extern char** environ;

namespace {

ProcessStartFn starter = process_start_real;

// Programs left running in the background. Each has a thread of its own
// that waits for it and collects it the moment it ends, so that none stays
// behind as a zombie while the program runs on, whoever started it. Their
// exit statuses are kept for a while for process_background_wait.
struct Background {
  std::mutex lock;
  std::condition_variable ended_cv;
  std::vector<pid_t> running;
  std::deque<std::pair<pid_t, int>> ended;  // newest last
};
constexpr std::size_t ENDED_KEPT = 64;

Background& background() {
  static Background* b = new Background;  // lives on while detached watchers may still use it
  return *b;
}

int status_of(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1; }

void note_ended(pid_t pid, int status) {
  Background& b = background();
  {
    std::lock_guard<std::mutex> hold(b.lock);
    std::erase(b.running, pid);
    b.ended.emplace_back(pid, status);
    if (b.ended.size() > ENDED_KEPT) b.ended.pop_front();
  }
  b.ended_cv.notify_all();
}

// Collects, without waiting, the background programs that have ended and
// have no watcher (one could not be started).
void reap_unwatched(std::vector<pid_t>& unwatched) {
  std::erase_if(unwatched, [](pid_t pid) {
    int raw = 0;
    const pid_t got = ::waitpid(pid, &raw, WNOHANG);
    if (got == pid) note_ended(pid, status_of(raw));
    return got != 0;
  });
}

std::vector<pid_t> unwatched_background;

void watch_background(pid_t pid) {
  {
    Background& b = background();
    std::lock_guard<std::mutex> hold(b.lock);
    b.running.push_back(pid);
  }
  try {
    std::thread([pid] {
      int raw = 0;
      pid_t got;
      do {
        got = ::waitpid(pid, &raw, 0);
      } while (got < 0 && errno == EINTR);
      note_ended(pid, got == pid ? status_of(raw) : -1);
    }).detach();
  } catch (const std::system_error&) {
    unwatched_background.push_back(pid);
  }
}

// The state letter and start time of a process from the system's process
// table; false when it has no entry there.
bool process_table_entry(int pid, char& state, unsigned long long& start) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  if (!std::getline(in, text)) return false;
  // The command name in parentheses may hold blanks and parentheses itself.
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return false;
  std::istringstream fields(text.substr(close + 1));
  std::string field;
  for (int n = 3; n <= 22; ++n) {  // the state is the 3rd field, the start time the 22nd
    if (!(fields >> field)) return false;
    if (n == 3) state = field.empty() ? '?' : field[0];
  }
  char* end = nullptr;
  start = std::strtoull(field.c_str(), &end, 10);
  return end && *end == '\0';
}

bool is_executable_file(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

constexpr int WRITE_FLAGS = O_WRONLY | O_CREAT | O_TRUNC;
constexpr int APPEND_FLAGS = O_WRONLY | O_CREAT | O_APPEND;

// The file actions that connect a stream to a file; false when none could
// be set up.
bool redirect(posix_spawn_file_actions_t* actions, int fd, const std::string& path, int flags) {
  if (path.empty()) return true;
  return posix_spawn_file_actions_addopen(actions, fd, path.c_str(), flags, 0600) == 0;
}

std::vector<char*> argv_pointers(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

// One program of a chain, everything prepared before the fork: the child
// only makes calls that are safe between fork and exec.
struct ChainStep {
  std::string program;  // full path
  std::vector<char*> argv;
  const ProcessRequest* request = nullptr;
};

void chain_open(int fd, const std::string& path, int flags) {
  if (path.empty()) return;
  const int opened = ::open(path.c_str(), flags, 0600);
  if (opened < 0) ::_exit(127);
  if (opened != fd) {
    ::dup2(opened, fd);
    ::close(opened);
  }
}

[[noreturn]] void chain_run(const std::vector<ChainStep>& steps) {
  for (const ChainStep& step : steps) {
    const ProcessRequest& r = *step.request;
    const pid_t pid = ::fork();
    if (pid < 0) ::_exit(127);
    if (pid == 0) {
      if (!r.working_dir.empty() && ::chdir(r.working_dir.c_str()) != 0) ::_exit(127);
      chain_open(0, r.stdin_path, O_RDONLY);
      chain_open(1, r.stdout_path, r.stdout_append ? APPEND_FLAGS : WRITE_FLAGS);
      chain_open(2, r.stderr_path, WRITE_FLAGS);
      ::execve(step.program.c_str(), step.argv.data(), environ);
      ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
      if (errno != EINTR) ::_exit(127);
    if (!WIFEXITED(status)) ::_exit(127);
    if (WEXITSTATUS(status) != 0) ::_exit(WEXITSTATUS(status));
  }
  ::_exit(0);
}

ProcessResult start_chain_in_background(const ProcessRequest& first) {
  ProcessResult result;
  std::vector<const ProcessRequest*> requests{&first};
  for (const ProcessRequest& r : first.then) requests.push_back(&r);
  std::vector<ChainStep> steps;
  for (const ProcessRequest* r : requests) {
    if (r->argv.empty() || r->argv[0].empty()) return result;
    ChainStep step;
    step.program = process_find_program(r->argv[0]);
    if (step.program.empty()) return result;
    step.argv = argv_pointers(r->argv);
    step.request = r;
    steps.push_back(std::move(step));
  }
  reap_unwatched(unwatched_background);
  const pid_t pid = ::fork();
  if (pid < 0) return result;
  if (pid == 0) chain_run(steps);
  watch_background(pid);
  result.started = true;
  result.pid = pid;
  return result;
}

ProcessResult start_one(const ProcessRequest& request) {
  ProcessResult result;
  if (request.argv.empty() || request.argv[0].empty()) return result;
  std::vector<char*> argv = argv_pointers(request.argv);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The folder first: relative redirections are taken from it.
  const bool ok =
      (request.working_dir.empty() ||
       posix_spawn_file_actions_addchdir_np(&actions, request.working_dir.c_str()) == 0) &&
      redirect(&actions, 0, request.stdin_path, O_RDONLY) &&
      redirect(&actions, 1, request.stdout_path, request.stdout_append ? APPEND_FLAGS : WRITE_FLAGS) &&
      redirect(&actions, 2, request.stderr_path, WRITE_FLAGS);
  pid_t pid = 0;
  const int rc = ok ? posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) : -1;
  posix_spawn_file_actions_destroy(&actions);
  reap_unwatched(unwatched_background);
  if (rc != 0) return result;
  result.started = true;
  result.pid = pid;
  if (!request.wait) {
    watch_background(pid);
    return result;
  }
  int status = 0;
  pid_t got;
  do {
    got = ::waitpid(pid, &status, 0);
  } while (got < 0 && errno == EINTR);
  if (got == pid && WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  return result;
}

ProcessResult start_chain_and_wait(const ProcessRequest& first) {
  ProcessResult result = start_one(first);
  for (const ProcessRequest& next : first.then) {
    if (!result.started || result.exit_status != 0) break;
    ProcessRequest step = next;
    step.wait = true;
    step.then.clear();
    result = start_one(step);
  }
  return result;
}

}  // namespace

ProcessResult process_start_real(const ProcessRequest& request) {
  if (request.then.empty()) return start_one(request);
  return request.wait ? start_chain_and_wait(request) : start_chain_in_background(request);
}

ProcessResult process_start(const ProcessRequest& request) { return starter(request); }

std::size_t process_background_count() {
  reap_unwatched(unwatched_background);
  Background& b = background();
  std::lock_guard<std::mutex> hold(b.lock);
  // One that has ended but is not collected yet runs no more.
  return static_cast<std::size_t>(std::count_if(b.running.begin(), b.running.end(), [](pid_t pid) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
  }));
}

std::optional<int> process_background_status(int pid) {
  reap_unwatched(unwatched_background);
  Background& b = background();
  std::lock_guard<std::mutex> hold(b.lock);
  for (auto it = b.ended.rbegin(); it != b.ended.rend(); ++it)
    if (it->first == pid) return it->second;
  if (std::find(b.running.begin(), b.running.end(), pid) != b.running.end()) return std::nullopt;
  if (std::find(unwatched_background.begin(), unwatched_background.end(), pid) != unwatched_background.end())
    return std::nullopt;
  return -1;
}

int process_background_wait(int pid) {
  Background& b = background();
  std::unique_lock<std::mutex> hold(b.lock);
  for (;;) {
    for (auto it = b.ended.rbegin(); it != b.ended.rend(); ++it)
      if (it->first == pid) return it->second;
    if (std::find(b.running.begin(), b.running.end(), pid) == b.running.end()) return -1;
    if (std::find(unwatched_background.begin(), unwatched_background.end(), pid) !=
        unwatched_background.end()) {
      hold.unlock();
      int raw = 0;
      pid_t got;
      do {
        got = ::waitpid(pid, &raw, 0);
      } while (got < 0 && errno == EINTR);
      std::erase(unwatched_background, pid);
      note_ended(pid, got == pid ? status_of(raw) : -1);
      hold.lock();
      continue;
    }
    b.ended_cv.wait(hold);
  }
}

int process_run(const std::vector<std::string>& argv) {
  ProcessRequest request;
  request.argv = argv;
  ProcessResult r = process_start(request);
  return r.started ? r.exit_status : -1;
}

ProcessStartFn process_starter_install(ProcessStartFn fn) {
  ProcessStartFn previous = starter;
  starter = fn ? fn : process_start_real;
  return previous;
}

std::string process_find_program(const std::string& name) {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return is_executable_file(name) ? name : std::string();
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    if (dir.empty()) dir = ".";
    std::string candidate = dir + "/" + name;
    if (is_executable_file(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

std::optional<std::vector<std::string>> process_split_command(const std::string& command) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;
  const std::size_t n = command.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char c = command[i];
    if (c == ' ' || c == '\t' || c == '\n') {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
      continue;
    }
    in_word = true;
    if (c == '\\') {
      if (++i == n) return std::nullopt;
      if (command[i] != '\n') word += command[i];  // an escaped newline joins lines
    } else if (c == '\'') {
      const std::size_t end = command.find('\'', i + 1);
      if (end == std::string::npos) return std::nullopt;
      word.append(command, i + 1, end - i - 1);
      i = end;
    } else if (c == '"') {
      for (++i;; ++i) {
        if (i == n) return std::nullopt;
        const char d = command[i];
        if (d == '"') break;
        if (d == '\\' && i + 1 < n &&
            std::string_view("$`\"\\\n").find(command[i + 1]) != std::string_view::npos) {
          if (command[++i] != '\n') word += command[i];
        } else {
          word += d;
        }
      }
    } else {
      word += c;
    }
  }
  if (in_word) words.push_back(std::move(word));
  return words;
}

unsigned long long process_start_ticks(int pid) {
  char state = 0;
  unsigned long long start = 0;
  return pid > 0 && process_table_entry(pid, state, start) ? start : 0;
}

bool process_is_running(int pid, unsigned long long start_ticks) {
  if (pid <= 0) return false;
  if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) return false;
  char state = 0;
  unsigned long long start = 0;
  // Without a process table the signal check is all there is.
  if (!process_table_entry(pid, state, start)) return ::access("/proc/self/stat", R_OK) != 0;
  if (state == 'Z' || state == 'X') return false;  // ended, only not collected yet
  return start_ticks == 0 || start == start_ticks;
}
