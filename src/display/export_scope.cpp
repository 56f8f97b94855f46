#include "display/export_scope.h"

#include <string>

#include "display/select.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/ui.h"

int (*export_scope_select)(int mode) = [](int mode) { return select_elements(static_cast<uint8_t>(mode)); };

int msgbox_ask_export_scope(const char* name) {
  // The question is formatted here, so only the name is filled in, whatever
  // characters it holds.
  std::string question = nls_translate("Export %s:");
  if (std::size_t at = question.find("%s"); at != std::string::npos)
    question.replace(at, 2, name ? name : "");
  const char* labels[] = {nls_translate("All objects"), nls_translate("All visible objects"),
                          nls_translate("Select objects"), nls_translate("Cancel")};
  int answer = ui().msgbox_ask(question.c_str(), 4, labels);
  ElemHeader* e;
  switch (answer) {
    case 1:
      for (elem_first(&e); e; elem_next(&e)) e->mark = 1;
      return 1;
    case 2:
      for (elem_first(&e); e; elem_next(&e))
        if (e->layer == cur_layer || layer_shown(e->layer)) e->mark = 1;
      return 1;
    case 3:
      return export_scope_select(0) == 1 ? 1 : 0;
    default:
      return 0;
  }
}
