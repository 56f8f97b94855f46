#include <cstring>
#include <string>
#include <vector>

#include "dialogs/dlg_small.h"
#include "exchange/printer_setup.h"
#include "model/nls.h"
#include "model/scale_ladder.h"
#include "model/settings.h"
#include "shell/gtk/bind.h"
#include "shell/gtk/gui_build.h"

// Print Setup, Plot Setup and the Print scale dialog.

namespace {

struct SetupWidgets {
  GtkWidget* printer = nullptr;
  GtkWidget* type = nullptr;
  GtkWidget* command_frame = nullptr;
  GtkWidget* command = nullptr;
  GtkWidget* paper = nullptr;
  GtkWidget* size_frame = nullptr;
  GtkWidget* width = nullptr;
  GtkWidget* height = nullptr;
  GtkWidget* margins[4] = {};  // top, left, right, bottom
  GtkWidget* orientation = nullptr;
  GtkWidget* scale = nullptr;
  GtkWidget* start = nullptr;
  GtkWidget* end = nullptr;
  GtkWidget* origin = nullptr;
  GtkWidget* resolution = nullptr;
};
SetupWidgets print_w, plot_w;
GtkWidget* printscale_entry = nullptr;
bool print_refreshing = false, plot_refreshing = false;

void forget(GtkWidget*, gpointer data) { *static_cast<SetupWidgets*>(data) = SetupWidgets{}; }

// The names as option labels, shown as they are.
GtkWidget* names_menu(int* var, GCallback handler) {
  std::vector<const char*> labels;
  for (const std::string& n : printer_names) labels.push_back(n.c_str());
  return dlg_small_options(var, labels, false, nullptr, handler);
}

GtkWidget* paper_menu(int* var, GCallback handler) {
  std::vector<const char*> labels;
  for (const PaperSize& p : paper_sizes) labels.push_back(p.display_name.c_str());
  return dlg_small_options(var, labels, false, nullptr, handler);
}

GtkWidget* framed(const char* title, GtkWidget* child) {
  GtkWidget* frame = gui_frame_new(title ? nls_translate(title) : nullptr);
  gtk_container_add(GTK_CONTAINER(frame), child);
  return frame;
}

GtkWidget* pair_row(GtkWidget* a, GtkWidget* b) {
  GtkWidget* row = gui_hbox_new();
  gui_pack(row, a, 1);
  gui_pack(row, b, 1);
  return row;
}

GtkWidget* size_frame(SetupWidgets& w, double* width, double* height) {
  GtkWidget* grid = gui_table_new(2, 2);
  w.width = bind_pentry_new(width, nullptr);
  w.height = bind_pentry_new(height, nullptr);
  gui_table_attach(grid, gui_label_new(2, nls_translate("Width:")), 0, 1, 0, 1, 0);
  gui_table_attach(grid, w.width, 1, 2, 0, 1, 0);
  gui_table_attach(grid, gui_label_new(2, nls_translate("Height:")), 0, 1, 1, 2, 0);
  gui_table_attach(grid, w.height, 1, 2, 1, 2, 0);
  w.size_frame = framed(nullptr, grid);
  return w.size_frame;
}

void on_step(GtkWidget*, gpointer which) { dlg_print_on_scale_step(static_cast<const char*>(which)); }

GtkWidget* scale_row(GtkWidget** entry, double* var, const char* dec, const char* inc) {
  GtkWidget* row = gui_hbox_new();
  *entry = bind_fentry_new(var, nullptr);
  gui_pack(row, *entry, 1);
  GtkWidget* less = gui_command_button_new(1, "z_nothing", "<");
  GtkWidget* more = gui_command_button_new(1, "z_plscale_inc", ">");
  g_signal_connect(less, "clicked", G_CALLBACK(on_step), const_cast<char*>(dec));
  g_signal_connect(more, "clicked", G_CALLBACK(on_step), const_cast<char*>(inc));
  gui_pack(row, less, 0);
  gui_pack(row, more, 0);
  return row;
}

GtkWidget* orientation_menu(int* var) {
  return dlg_small_options(var, {nls_mark("Portrait"), nls_mark("Landscape")}, true, nullptr, nullptr);
}

void sensitive(GtkWidget* w, bool on) { on ? gui_set_sensitive(w) : gui_set_insensitive(w); }

void dlg_printsetup_refresh() {
  if (print_refreshing || !print_w.printer) return;
  print_refreshing = true;
  SetupWidgets& w = print_w;
  bind_set_option_menu(w.printer, printer_index);
  bind_set_entry_text(w.command, print_settings.command.c_str());
  sensitive(w.command_frame, print_settings.printer_name == "Custom");
  bind_set_option_menu(w.type, print_settings.colour);
  bind_set_option_menu(w.paper, print_settings.paper_index);
  sensitive(w.size_frame, print_settings.paper_index == 0);
  bind_set_pentry(w.width, print_settings.paper_width);
  bind_set_pentry(w.height, print_settings.paper_height);
  const double margins[] = {print_settings.margin_top, print_settings.margin_left,
                            print_settings.margin_right, print_settings.margin_bottom};
  for (int i = 0; i < 4; ++i) bind_set_pentry(w.margins[i], margins[i]);
  bind_set_option_menu(w.orientation, print_settings.orientation);
  bind_set_fentry(w.scale, print_settings.scale);
  print_refreshing = false;
}

void dlg_plotsetup_refresh() {
  if (plot_refreshing || !plot_w.printer) return;
  plot_refreshing = true;
  SetupWidgets& w = plot_w;
  bind_set_option_menu(w.printer, plotter_index);
  bind_set_entry_text(w.command, plot_settings.command.c_str());
  sensitive(w.command_frame, plot_settings.plotter_name == "Custom");
  bind_set_option_menu(w.type, plot_settings.plotter_type);
  bind_set_option_menu(w.paper, plot_settings.paper_index);
  sensitive(w.size_frame, plot_settings.paper_index == 0);
  bind_set_pentry(w.width, plot_settings.paper_width);
  bind_set_pentry(w.height, plot_settings.paper_height);
  bind_set_entry_text(w.start, plot_settings.start_sequence.c_str());
  bind_set_entry_text(w.end, plot_settings.end_sequence.c_str());
  bind_set_option_menu(w.origin, plot_settings.origin_centred);
  bind_set_spin(w.resolution, plot_settings.resolution);
  bind_set_option_menu(w.orientation, plot_settings.orientation);
  bind_set_fentry(w.scale, plot_settings.scale);
  plot_refreshing = false;
}

void on_printer(GtkWidget*, gpointer) {
  if (printer_index >= 0 && printer_index < static_cast<int>(printer_names.size()))
    print_settings.printer_name.set(printer_names[printer_index]);
  printer_setup_init();
  dlg_printsetup_refresh();
}

void on_print_paper(GtkWidget*, gpointer) {
  printer_setup_init();
  dlg_printsetup_refresh();
}

void on_plotter(GtkWidget*, gpointer) {
  if (plotter_index >= 0 && plotter_index < static_cast<int>(printer_names.size()))
    plot_settings.plotter_name.set(printer_names[plotter_index]);
  printer_setup_init();
  dlg_plotsetup_refresh();
}

void on_plot_paper(GtkWidget*, gpointer) {
  printer_setup_init();
  dlg_plotsetup_refresh();
}

}  // namespace

void dlg_print_on_scale_step(const char* which) {
  const bool plot = std::strncmp(which, "pl", 2) == 0;
  const int direction = std::strstr(which, "dec") ? -1 : 1;
  double& scale = plot ? plot_settings.scale : print_settings.scale;
  scale = scale_ladder_step(scale, direction);
  if (plot)
    bind_set_fentry(plot_w.scale, scale);
  else if (std::strncmp(which, "pe", 2) == 0)
    bind_set_fentry(printscale_entry, scale);
  else
    bind_set_fentry(print_w.scale, scale);
}

GtkWidget* dlg_printsetup_create() {
  printer_setup_init();
  SetupWidgets& w = print_w;
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate("Print Setup"), &box, "z_c_printsetup");
  gtk_container_set_border_width(GTK_CONTAINER(window), 3);
  g_signal_connect(window, "destroy", G_CALLBACK(forget), &print_w);

  w.printer = names_menu(&printer_index, G_CALLBACK(on_printer));
  w.type =
      dlg_small_options(&print_settings.colour, {nls_mark("B/W"), nls_mark("Color")}, true, nullptr, nullptr);
  gui_pack(box, pair_row(framed(nls_mark("Printer"), w.printer), framed(nls_mark("Printer type"), w.type)),
           0);
  w.command = bind_entry_new(print_settings.command, 127, nullptr);
  w.command_frame = framed(nls_mark("Printer command"), w.command);
  gui_pack(box, w.command_frame, 0);

  GtkWidget* paper = gui_vbox_new();
  w.paper = paper_menu(&print_settings.paper_index, G_CALLBACK(on_print_paper));
  gui_pack(paper, w.paper, 0);
  gui_pack(paper, size_frame(w, &print_settings.paper_width, &print_settings.paper_height), 0);
  gui_pack(box, framed(nls_mark("Paper size"), paper), 0);

  GtkWidget* grid = gui_table_new(3, 4);
  double* vars[] = {&print_settings.margin_top, &print_settings.margin_left, &print_settings.margin_right,
                    &print_settings.margin_bottom};
  const char* labels[] = {nls_mark("Top:"), nls_mark("Left:"), nls_mark("Right:"), nls_mark("Bottom:")};
  const int places[][2] = {{1, 0}, {0, 1}, {2, 1}, {1, 2}};  // label column pair, row
  for (int i = 0; i < 4; ++i) {
    w.margins[i] = bind_pentry_new(vars[i], nullptr);
    gui_set_width(w.margins[i], 70);
    const int c = places[i][0] * 2, r = places[i][1];
    gui_table_attach(grid, gui_label_new(2, nls_translate(labels[i])), c, c + 1, r, r + 1, 0);
    gui_table_attach(grid, w.margins[i], c + 1, c + 2, r, r + 1, 0);
  }
  gui_pack(box, framed(nls_mark("Margins"), grid), 0);
  w.orientation = orientation_menu(&print_settings.orientation);
  gui_pack(box, framed(nls_mark("Orientation"), w.orientation), 0);
  gui_pack(box,
           framed(nls_mark("Print scale"), scale_row(&w.scale, &print_settings.scale, "pr_dec", "pr_inc")),
           0);
  dlg_small_close(box, "z_c_printsetup");
  dlg_printsetup_refresh();
  return window;
}

GtkWidget* dlg_plotsetup_create() {
  printer_setup_init();
  SetupWidgets& w = plot_w;
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate("Plot Setup"), &box, "z_c_plotsetup");
  gtk_container_set_border_width(GTK_CONTAINER(window), 3);
  g_signal_connect(window, "destroy", G_CALLBACK(forget), &plot_w);

  w.printer = names_menu(&plotter_index, G_CALLBACK(on_plotter));
  w.type = dlg_small_options(&plot_settings.plotter_type, {"HPGL", "HPGL/2 mono", "HPGL/2 color"}, false,
                             nullptr, nullptr);
  gui_pack(box, pair_row(framed(nls_mark("Plotter"), w.printer), framed(nls_mark("Plotter type"), w.type)),
           0);
  w.command = bind_entry_new(plot_settings.command, 127, nullptr);
  w.command_frame = framed(nls_mark("Plotter command"), w.command);
  gui_pack(box, w.command_frame, 0);

  GtkWidget* paper = gui_vbox_new();
  w.paper = paper_menu(&plot_settings.paper_index, G_CALLBACK(on_plot_paper));
  gui_pack(paper, w.paper, 0);
  gui_pack(paper, size_frame(w, &plot_settings.paper_width, &plot_settings.paper_height), 0);
  gui_pack(box, framed(nls_mark("Paper size"), paper), 0);

  GtkWidget* seq = gui_table_new(2, 2);
  w.start = bind_entry_new(plot_settings.start_sequence, 255, nullptr);
  w.end = bind_entry_new(plot_settings.end_sequence, 255, nullptr);
  gui_table_attach(seq, gui_label_new(2, nls_translate("Start:")), 0, 1, 0, 1, 0);
  gui_table_attach(seq, w.start, 1, 2, 0, 1, 1);
  gui_table_attach(seq, gui_label_new(2, nls_translate("End:")), 0, 1, 1, 2, 0);
  gui_table_attach(seq, w.end, 1, 2, 1, 2, 1);
  gui_pack(box, framed(nls_mark("Start / End sequences"), seq), 0);

  w.origin = dlg_small_options(&plot_settings.origin_centred, {nls_mark("Bottom left"), nls_mark("Center")},
                               true, nullptr, nullptr);
  w.resolution = bind_spin_double_new(&plot_settings.resolution, 0.00001f, 0.01f, 0.0001f, 5, nullptr);
  gui_pack(box,
           pair_row(framed(nls_mark("Origin"), w.origin), framed(nls_mark("Resolution [cm]"), w.resolution)),
           0);
  w.orientation = orientation_menu(&plot_settings.orientation);
  gui_pack(box, framed(nls_mark("Orientation"), w.orientation), 0);
  gui_pack(box, framed(nls_mark("Plot scale"), scale_row(&w.scale, &plot_settings.scale, "pl_dec", "pl_inc")),
           0);
  dlg_small_close(box, "z_c_plotsetup");
  dlg_plotsetup_refresh();
  return window;
}

GtkWidget* dlg_printscale_create() {
  GtkWidget* box = nullptr;
  GtkWidget* window = dlg_small_window(nls_translate("Print scale"), &box, "z_c_printscale");
  gui_pack(box, scale_row(&printscale_entry, &print_settings.scale, "pe_dec", "pe_inc"), 0);
  g_object_add_weak_pointer(G_OBJECT(printscale_entry), reinterpret_cast<gpointer*>(&printscale_entry));
  dlg_small_close(box, "z_c_printscale");
  return window;
}
