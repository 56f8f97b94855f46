#pragma once

// Puts a recorder in place of the program starter for its lifetime: every
// request's argument vector is kept, nothing is started, and each request
// "ends" with the exit status set here (or is reported as not started).

#include <string>
#include <vector>

#include "platform/process.h"

class RecordingProcess {
 public:
  RecordingProcess();
  ~RecordingProcess();
  RecordingProcess(const RecordingProcess&) = delete;
  RecordingProcess& operator=(const RecordingProcess&) = delete;

  // The requests in the order they came.
  const std::vector<ProcessRequest>& requests() const;
  // What the next requests report: started or not, and the exit status.
  void answer(bool started, int exit_status = 0);

 private:
  ProcessStartFn previous_;
};
