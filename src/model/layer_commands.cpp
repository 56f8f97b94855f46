#include "model/layer_commands.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "model/elem.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/ui.h"
#include "model/undo.h"

namespace {

int exchange(int a, int b) {
  LayerRec* ra = layer_rec(a);
  LayerRec* rb = layer_rec(b);
  if (!ra || !rb) return 0;
  ElemHeader* it = nullptr;
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it)) {
    if (e->layer == a)
      e->layer = static_cast<uint16_t>(b);
    else if (e->layer == b)
      e->layer = static_cast<uint16_t>(a);
  }
  std::swap(*ra, *rb);
  cur_layer = b;
  elem_touch();
  // The element layers changed: without this the change could be lost at quit.
  drawing_modified = 1;
  return 1;
}

void take_state(LayerSet& set) {
  set.current_layer = cur_layer;
  for (int i = 0; i < LAYER_COUNT; ++i) set.shown[i] = layers[i].shown;
}

}  // namespace

int layer_exchange_up(int n) { return n > 0 && n < LAYER_COUNT ? exchange(n, n - 1) : 0; }

int layer_exchange_down(int n) { return n >= 0 && n < LAYER_COUNT - 1 ? exchange(n, n + 1) : 0; }

int layer_delete_elements(int n) {
  LayerRec* rec = layer_rec(n);
  if (!rec) return 0;
  bool holds = false;
  ElemHeader* it = nullptr;
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it))
    if (e->layer == n) holds = true;
  if (holds) {
    const char* answers[] = {nls_translate("Delete"), nls_translate("Cancel")};
    if (ui().msgbox_ask(nls_translate("This layer is containing drawing elements."), 2, answers) != 1)
      return 0;
  }
  for (ElemHeader* e = elem_first(&it); e; e = elem_next(&it)) e->mark = e->layer == n ? 1 : 0;
  undo_record(UNDO_DELETE, 0);
  elem_purge_marked();
  rec->name.set("");
  return 1;
}

int layer_set_save(const char* name) {
  if (!name) return 0;
  for (LayerSet* s = layer_sets; s; s = s->next) {
    if (std::strcmp(s->name.c_str(), name) == 0) {
      take_state(*s);
      drawing_modified = 1;
      return 0;
    }
  }
  drawing_modified = 1;
  LayerSet set;
  set.name.set(name);
  take_state(set);
  layer_set_append(set);
  return 1;
}

int layer_set_recall(const char* name) {
  if (!name) return 0;
  int matched = 0;
  for (LayerSet* s = layer_sets; s; s = s->next) {
    if (std::strcmp(s->name.c_str(), name) != 0) continue;
    ++matched;
    if (s->current_layer >= 0 && s->current_layer < LAYER_COUNT) cur_layer = s->current_layer;
    for (int i = 0; i < LAYER_COUNT; ++i) layers[i].shown = s->shown[i] ? 1 : 0;
  }
  return matched;
}

bool layer_set_delete(const char* name, std::string* shown_next) {
  if (!name || !layer_sets || std::strcmp(name, "Default") == 0) return false;
  LayerSet* prev = layer_sets;
  for (LayerSet* s = layer_sets->next; s; prev = s, s = s->next) {
    if (std::strcmp(s->name.c_str(), name) != 0) continue;
    prev->next = s->next;
    if (shown_next) *shown_next = s->next ? s->next->name.c_str() : prev->name.c_str();
    delete s;
    drawing_modified = 1;
    return true;
  }
  return false;
}

std::string layer_number_text(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "%3d", n);
  return text;
}
