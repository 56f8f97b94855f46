// kav-boolean: a 3D boolean operation on a drawing, as the 3D page's
// command makes it.
//
//   kav-boolean [--install DIR] IN OP OUT
//
// OP is "union", "difference" or "intersection". The first two 3D
// elements (walls or meshes) of the drawing IN, in file order, are the
// first and the second operand; the same code as the command's runs on
// them, with the mesh boolean tool started as the program starts it (from
// its installation folder, by default the build's staged tree, "gts_bso"
// there) and the command's questions ("Keep intersection element?", "Keep
// original elements?") answered with No. The drawing as the command
// leaves it is written to OUT, and the program's message, if any, printed
// to standard output (what the clean-up steps print goes to standard
// error). Exit status 0 when a result replaced the operands, 1 otherwise,
// 2 for a wrong call. Test-only: not installed.

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "building/solid/mesh_boolean.h"
#include "display/outdev.h"
#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/load_save.h"
#include "model/layers.h"
#include "model/ui.h"
#include "platform/temp_folder.h"

namespace {

std::string out_path;
// What the program said, in order.
std::string said;

int usage() {
  std::fprintf(stderr, "usage: kav-boolean [--install DIR] IN union|difference|intersection OUT\n");
  return 2;
}

void keep_error(const char* text) {
  said += text;
  if (said.empty() || said.back() != '\n') said += '\n';
}
void keep_message(const char*, const char* text) { keep_error(text); }
int answer_no(const char*, int, const char* const*) { return 2; }
std::string choose_out(const char*, const char*, int, const char*) { return out_path; }

int mode_of(const char* op) {
  if (std::strcmp(op, "union") == 0) return MESH_BOOLEAN_UNION;
  if (std::strcmp(op, "difference") == 0) return MESH_BOOLEAN_DIFFERENCE;
  if (std::strcmp(op, "intersection") == 0) return MESH_BOOLEAN_INTERSECTION;
  return -1;
}

int run(const std::string& install, const char* in, int mode) {
  main_init_defaults();
  outdev_init_screen_slots();
  UiTable table;
  table.msgbox_error = keep_error;
  table.msgbox_message = keep_message;
  table.msgbox_ask = answer_no;
  table.filesel_choose = choose_out;
  ui_install(table);

  if (kavfile_load_drawing(1, in) != 1) {
    std::fputs(said.c_str(), stdout);
    std::fprintf(stderr, "kav-boolean: cannot read %s\n", in);
    return 1;
  }
  ElemHeader* operand[2] = {nullptr, nullptr};
  int found = 0;
  for (ElemHeader* e = elem_list_head; e && found < 2; e = e->next)
    if (e->kind == ELEM_WALL || e->kind == ELEM_MESH) operand[found++] = e;
  if (found < 2) {
    std::fprintf(stderr, "kav-boolean: %s holds fewer than two walls or meshes\n", in);
    return 1;
  }

  mesh_boolean_tool = install + "/gts_bso";
  // What the clean-up steps print is no message of the program's.
  std::fflush(stdout);
  const int saved_stdout = dup(1);
  dup2(2, 1);
  const int made = mesh_boolean(mode, operand[0], operand[1], temp_folder());
  std::fflush(stdout);
  dup2(saved_stdout, 1);
  close(saved_stdout);

  const bool written = kavfile_save_drawing(0) == 1;
  std::fputs(said.c_str(), stdout);
  if (!written) {
    std::fprintf(stderr, "kav-boolean: %s was not written\n", out_path.c_str());
    return 1;
  }
  return made ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string install = KAVRO_STAGE_DIR;
  int first = 1;
  if (argc == 6 && std::strcmp(argv[1], "--install") == 0) {
    install = argv[2];
    first = 3;
  }
  if (argc - first != 3) return usage();
  const int mode = mode_of(argv[first + 1]);
  if (mode < 0) return usage();
  out_path = argv[first + 2];
  const int status = run(install, argv[first], mode);
  drawing_free();
  temp_folder_remove();
  return status;
}
