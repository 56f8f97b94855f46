#include "display/key_state.h"

#include "display/command_buffer.h"

FixedText<INPUT_TEXT_LEN> input_text;
int value_entry_open = 0;
int snap_keys_enabled = 0;
int select_idle = 1;

void value_entry_take(const char* text) {
  input_text = text ? text : "";
  cmd_put_key("z_eini");
}
