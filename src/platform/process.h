#pragma once

// Starting other programs: renderers, the print and plot commands, the help
// browser, the 3D viewer and the mesh boolean tool.
//
// A program always starts from an argument vector, never through a shell, so
// a file name or a typed text can never become part of a command. Tests put
// a recorder in place of the real starter and look at the vectors.

#include <optional>
#include <string>
#include <vector>

struct ProcessRequest {
  // argv[0] is the program: a path, or a name looked up on PATH.
  std::vector<std::string> argv;
  // Wait for the program to end (its exit status is the result) or leave it
  // running in the background.
  bool wait = true;
  // Where its standard output and error go; empty keeps the program's own.
  // A relative path is taken from working_dir.
  std::string stdout_path;
  std::string stderr_path;
  // Add to the end of stdout_path instead of replacing it.
  bool stdout_append = false;
  // Where its standard input comes from; empty keeps the program's own.
  std::string stdin_path;
  // The folder it runs in; empty keeps ours.
  std::string working_dir;
  // Programs that run after this one, in order, each only when the one
  // before ended with status 0 (their own wait and then are not used). With
  // wait the call returns when the chain has ended, with the result of the
  // last program that ran; without, one background process runs the chain
  // (its pid is the result's; it ends with 0 when every program did, else
  // with the failing one's status, 127 when one could not start).
  std::vector<ProcessRequest> then;
};

struct ProcessResult {
  bool started = false;
  // The exit status of a waited-for program that ended normally, else -1.
  int exit_status = -1;
  // The process id of a started program (0 when none was started).
  int pid = 0;
};

using ProcessStartFn = ProcessResult (*)(const ProcessRequest& request);

// Starts a program through the installed starter.
ProcessResult process_start(const ProcessRequest& request);
// Shorthand: runs argv, waits, and returns the exit status, -1 when the
// program could not be started or did not end normally.
int process_run(const std::vector<std::string>& argv);

// The real starter (posix_spawnp); installed until a test replaces it.
ProcessResult process_start_real(const ProcessRequest& request);
// How many programs started in the background are still running. Each is
// collected as soon as it ends, so none stays behind as a zombie.
std::size_t process_background_count();
// Waits until the background program pid has ended and been collected and
// returns its exit status (-1 when it did not end normally, or when pid is
// no background program of ours or ended too long ago to be remembered).
int process_background_wait(int pid);
// The same without waiting: nothing while pid still runs.
std::optional<int> process_background_status(int pid);
// Installs a starter and returns the previous one.
ProcessStartFn process_starter_install(ProcessStartFn fn);

// When process pid started, in clock ticks after the system started (as the
// system's process table gives it); 0 when unknown. With the id it names a
// process for good: an id alone is given again once its process has ended.
unsigned long long process_start_ticks(int pid);
// Whether pid is a process that runs (or is stopped) and, unless start_ticks
// is 0, started at start_ticks; false for one that has ended.
bool process_is_running(int pid, unsigned long long start_ticks);

// The full path of an executable program on PATH (or name itself when it
// holds a slash and is executable); empty when there is none.
std::string process_find_program(const std::string& name);

// Splits a command line from the user's own settings (a print or plot
// command such as "lpr -P'Office 2'") into its words as a POSIX shell
// would, without expanding anything: blanks separate words, single quotes
// keep everything literally, double quotes keep everything but a backslash
// before $ ` " \ or a newline, and a backslash outside quotes keeps the
// next character. Nothing when a quote is left open or a backslash ends
// the text.
std::optional<std::vector<std::string>> process_split_command(const std::string& command);
