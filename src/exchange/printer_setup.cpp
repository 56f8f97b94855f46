#include "exchange/printer_setup.h"

#include <fstream>

#include "model/settings.h"
#include "platform/process.h"

std::vector<std::string> printer_names;
int printer_use_lpr = 1;
int printer_index = 0;
int plotter_index = 0;
std::string printcap_path = "/etc/printcap";

namespace {

// A queue name goes into a command that is split into words later: quote
// it unless it is plainly one word.
std::string quoted(const std::string& name) {
  bool plain = !name.empty();
  for (char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                    c == '-' || c == '.' || c == '@';
    if (!ok) plain = false;
  }
  if (plain) return name;
  std::string q = "'";
  for (char c : name) {
    if (c == '\'')
      q += "'\\''";
    else
      q += c;
  }
  return q + "'";
}

int match(const std::vector<std::string>& names, const char* wanted, int index) {
  for (int i = 0; i < static_cast<int>(names.size()); ++i)
    if (names[i] == wanted) index = i;
  return index;
}

void convert_paper(int index, double& width, double& height) {
  if (index <= 0 || index >= PAPER_SIZE_COUNT) return;
  PaperSize& p = paper_sizes[index];
  p.width_cm = printer_points_to_cm(p.width);
  p.height_cm = printer_points_to_cm(p.height);
  width = p.width_cm;
  height = p.height_cm;
}

}  // namespace

std::vector<std::string> printer_parse_printcap(std::istream& in) {
  std::vector<std::string> names = {"Default", "Custom"};
  std::string line;
  // Whole lines, however long: a cut line would leave fragments that look
  // like queue names.
  while (static_cast<int>(names.size()) < PRINTER_NAMES_MAX && std::getline(in, line)) {
    std::string packed;
    for (char c : line)
      if (c != ' ' && c != '\t' && c != '\r') packed += c;
    if (packed.empty() || packed[0] == '#' || packed[0] == '|' || packed[0] == ':') continue;
    std::string name = packed.substr(0, packed.find_first_of("|:"));
    if (name.size() > PRINTER_NAME_CHARS) name.resize(PRINTER_NAME_CHARS);
    names.push_back(name);
  }
  return names;
}

void printer_read_printcap() {
  std::ifstream in(printcap_path);
  if (!in) {
    printer_names = {"Default", "Custom"};
    return;
  }
  printer_names = printer_parse_printcap(in);
}

bool printer_answer_is_program(const std::string& answer) {
  return !answer.empty() && (answer[0] == '.' || answer[0] == '/');
}

void printer_detect_lp() { printer_use_lpr = printer_answer_is_program(process_find_program("lp")) ? 0 : 1; }

std::string printer_derive_command(int index, int use_lpr, const std::vector<std::string>& names,
                                   const std::string& typed) {
  if (index == 1) return typed;
  if (index <= 0 || index >= static_cast<int>(names.size())) return use_lpr ? "lpr" : "lp";
  return use_lpr ? "lpr -P" + quoted(names[index]) : "lp -d " + quoted(names[index]);
}

double printer_points_to_cm(double points) { return points / 72.0 * 2.54; }

void printer_setup_init() {
  printer_detect_lp();
  if (printer_names.empty()) printer_read_printcap();
  printer_index = match(printer_names, print_settings.printer_name.c_str(), printer_index);
  plotter_index = match(printer_names, plot_settings.plotter_name.c_str(), plotter_index);
  print_settings.command.set(
      printer_derive_command(printer_index, printer_use_lpr, printer_names, print_settings.command.c_str()));
  plot_settings.command.set(
      printer_derive_command(plotter_index, printer_use_lpr, printer_names, plot_settings.command.c_str()));
  convert_paper(print_settings.paper_index, print_settings.paper_width, print_settings.paper_height);
  convert_paper(plot_settings.paper_index, plot_settings.paper_width, plot_settings.paper_height);
}
