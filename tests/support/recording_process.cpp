#include "support/recording_process.h"

namespace {

std::vector<ProcessRequest> recorded;
ProcessResult next_result{true, 0};

ProcessResult record(const ProcessRequest& request) {
  recorded.push_back(request);
  return next_result;
}

}  // namespace

RecordingProcess::RecordingProcess() : previous_(process_starter_install(record)) {
  recorded.clear();
  next_result = ProcessResult{true, 0};
}

RecordingProcess::~RecordingProcess() { process_starter_install(previous_); }

const std::vector<ProcessRequest>& RecordingProcess::requests() const { return recorded; }

void RecordingProcess::answer(bool started, int exit_status) {
  next_result = ProcessResult{started, started ? exit_status : -1};
}
