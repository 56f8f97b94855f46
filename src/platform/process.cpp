#include "platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

extern char** environ;

namespace {

ProcessStartFn starter = process_start_real;

// Programs left running in the background. Each is collected once it has
// ended, so that it does not stay behind as a zombie until the program quits.
std::vector<pid_t> background;

void reap_background() {
  std::erase_if(background, [](pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) != 0;
  });
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
  reap_background();
  const pid_t pid = ::fork();
  if (pid < 0) return result;
  if (pid == 0) chain_run(steps);
  background.push_back(pid);
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
  reap_background();
  if (rc != 0) return result;
  result.started = true;
  result.pid = pid;
  if (!request.wait) {
    background.push_back(pid);
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
  reap_background();
  return background.size();
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
