#pragma once

// The printer and plotter set-up: the spooler (lp or lpr), the queues of the
// system's printer configuration, the spooler command derived from the
// chosen queue, and the paper format in centimetres.

#include <istream>
#include <string>
#include <vector>

inline constexpr int PRINTER_NAMES_MAX = 20;
inline constexpr int PRINTER_NAME_CHARS = 18;

// "Default", "Custom", then up to 18 queues; empty until first read.
extern std::vector<std::string> printer_names;
extern int printer_use_lpr;  // 0 when lp is on PATH, 1 for lpr
extern int printer_index;    // entry of printer_names chosen for printing
extern int plotter_index;    // and for plotting
// The printer configuration read for the queues; tests point it at fixtures.
extern std::string printcap_path;

// The names of a printcap stream: "Default", "Custom", then one per entry
// line (blanks and tabs removed; empty, comment and continuation lines
// skipped; the text before the first '|' or ':', cut to 18 characters), at
// most 20 names in all.
std::vector<std::string> printer_parse_printcap(std::istream& in);
// Reads printcap_path into printer_names; "Default" and "Custom" only
// without it.
void printer_read_printcap();
// Whether a lookup answer for lp names a program (begins with '.' or '/').
bool printer_answer_is_program(const std::string& answer);
// Looks lp up on PATH and sets printer_use_lpr.
void printer_detect_lp();
// The spooler command for entry index of names: the plain spooler for 0,
// typed unchanged for 1 ("Custom"), the spooler with the queue from 2 on.
std::string printer_derive_command(int index, int use_lpr, const std::vector<std::string>& names,
                                   const std::string& typed);
// Centimetres of a length in PostScript points.
double printer_points_to_cm(double points);
// Looks the spooler up, reads the queues once, matches the chosen names to
// their entries, derives both commands and converts both papers.
void printer_setup_init();
