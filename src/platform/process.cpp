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

// The file actions that send a stream to a file; false when none could be
// set up.
bool redirect(posix_spawn_file_actions_t* actions, int fd, const std::string& path) {
  if (path.empty()) return true;
  return posix_spawn_file_actions_addopen(actions, fd, path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600) == 0;
}

}  // namespace

ProcessResult process_start_real(const ProcessRequest& request) {
  ProcessResult result;
  if (request.argv.empty() || request.argv[0].empty()) return result;
  std::vector<char*> argv;
  argv.reserve(request.argv.size() + 1);
  for (const std::string& a : request.argv) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const bool ok = (request.working_dir.empty() ||
                   posix_spawn_file_actions_addchdir_np(&actions, request.working_dir.c_str()) == 0) &&
                  redirect(&actions, 1, request.stdout_path) && redirect(&actions, 2, request.stderr_path);
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
