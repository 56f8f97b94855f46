#include "display/command_buffer.h"

#include <cstring>

#include "display/wait.h"

FixedText<CMD_KEY_LEN> command_key("nop");
FixedText<CMD_KEY_LEN> pending_command("nop");

bool cmd_pending_empty() { return std::strcmp(pending_command.c_str(), "nop") == 0; }

const char* cmd_wait_key() {
  command_key = "nop";
  wait_run();
  return command_key.c_str();
}

void cmd_put_key(const char* key) {
  command_key = key ? key : "nop";
  wait_end();
}
