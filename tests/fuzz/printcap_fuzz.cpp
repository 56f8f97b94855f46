// libFuzzer target for the printer configuration reader. The queue names it
// finds go into print commands that are split into words later: each must
// come back from the split as one whole argument, whatever bytes it holds.
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "exchange/printer_setup.h"
#include "platform/process.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const std::vector<std::string> names = printer_parse_printcap(in);
  if (names.size() < 2 || names.size() > PRINTER_NAMES_MAX) __builtin_trap();
  if (names[0] != "Default" || names[1] != "Custom") __builtin_trap();
  for (std::size_t i = 2; i < names.size(); ++i) {
    const std::string& name = names[i];
    if (name.empty() || name.size() > PRINTER_NAME_CHARS) __builtin_trap();
    if (name.find_first_of(" \t\r\n|:") != std::string::npos) __builtin_trap();
    const int index = static_cast<int>(i);
    const auto lp = process_split_command(printer_derive_command(index, 0, names, ""));
    if (!lp || *lp != std::vector<std::string>{"lp", "-d", name}) __builtin_trap();
    const auto lpr = process_split_command(printer_derive_command(index, 1, names, ""));
    if (!lpr || *lpr != std::vector<std::string>{"lpr", "-P" + name}) __builtin_trap();
  }
  return 0;
}
