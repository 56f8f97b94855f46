#include "model/layers.h"

#include <cstdio>
#include <unordered_map>

#include "model/defaults.h"
#include "model/elem.h"
#include "model/nls.h"
#include "model/scale_ladder.h"
#include "model/ui.h"

LayerRec layers[LAYER_COUNT];
FixedText<NAME_LEN> layer_list_names[LAYER_LIST_COUNT];
int32_t cur_layer = 0;
LayerSet* layer_sets = nullptr;
uint16_t group_counter = 0;

namespace {

constexpr uint16_t GROUP_LAST = 65535;

// Renumbers the groups of the chosen elements to 1..k in list order of their
// first member, keeping who is grouped with whom; returns k.
template <class Pred>
uint16_t compact_groups(Pred chosen) {
  std::unordered_map<uint16_t, uint16_t> map;
  uint16_t next = 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (e->group == 0 || !chosen(e)) continue;
    auto [it, added] = map.try_emplace(e->group, static_cast<uint16_t>(next + 1));
    if (added) ++next;
    e->group = it->second;
  }
  return next;
}

// The next free group number. The counter is 16 bits and 0 means "no group":
// when it would wrap, the live groups are packed first so that no group gets
// 0 or a number that is still in use.
uint16_t group_take_next() {
  if (group_counter == GROUP_LAST) {
    group_counter = compact_groups([](ElemHeader*) { return true; });
    drawing_modified = 1;
  }
  return ++group_counter;
}

}  // namespace

LayerRec* layer_rec(int n) { return n >= 0 && n < LAYER_COUNT ? &layers[n] : nullptr; }

int layer_shown(int n) {
  const LayerRec* l = layer_rec(n);
  return l ? l->shown : 0;
}

int layer_visible(int n) { return n == cur_layer || layer_shown(n) ? 1 : 0; }

const char* layer_name(int n) {
  const LayerRec* l = layer_rec(n);
  return l ? l->name.c_str() : "";
}

LayerSet* layer_set_append(const LayerSet& set) {
  auto* copy = new LayerSet(set);
  copy->next = nullptr;
  if (!layer_sets) {
    layer_sets = copy;
  } else {
    LayerSet* s = layer_sets;
    while (s->next) s = s->next;
    s->next = copy;
  }
  return copy;
}

int drawing_init() {
  view_scale_ladder_metric();
  char buf[NAME_LEN + 16];
  const char* list_word = nls_translate("List");
  for (int k = 0; k < LAYER_LIST_COUNT; ++k) {
    std::snprintf(buf, sizeof buf, "%s %d", list_word, k);
    layer_list_names[k] = buf;
  }
  const char* layer_word = nls_translate("Layer");
  for (int i = 0; i < LAYER_COUNT; ++i) {
    std::snprintf(buf, sizeof buf, "%s %d", layer_word, i);
    layers[i].name = buf;
  }
  LayerSet def;
  def.name = "Default";
  layer_sets = nullptr;
  layer_set_append(def);
  defaults_init_paper_sizes();
  elem_list_head = nullptr;
  elem_list_tail = nullptr;
  ui().undo_button_enable(false);
  ui().redo_button_enable(false);
  return 1;
}

void drawing_free() {
  elem_free_all();
  while (layer_sets) {
    LayerSet* next = layer_sets->next;
    delete layer_sets;
    layer_sets = next;
  }
}

int drawing_reset() {
  drawing_free();
  return drawing_init();
}

void layer_count_elements() {
  for (LayerRec& l : layers) l.count = 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (e->layer < LAYER_COUNT) ++layers[e->layer].count;
}

void group_marked() {
  uint16_t g = group_take_next();
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (e->mark == 1) e->group = g;
}

int group_last_created(int n) {
  if (n <= 0) return 0;
  uint16_t g = group_take_next();
  ElemHeader* e = elem_list_tail;
  for (int i = 0; e && i < n; ++i, e = e->previous) e->group = g;
  return g;
}

void group_ungroup_marked() {
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (e->mark == 1) e->group = 0;
}

int group_max() {
  int m = 0;
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (e->group > m) m = e->group;
  return m;
}

void group_renumber_marked() {
  uint16_t top = 0;
  size_t marked_groups = 0;
  {
    std::unordered_map<uint16_t, bool> seen;
    for (ElemHeader* e = elem_list_head; e; e = e->next) {
      if (e->mark != 1 && e->group > top) top = e->group;
      if (e->mark == 1 && e->group != 0 && seen.try_emplace(e->group, true).second) ++marked_groups;
    }
  }
  // Not enough numbers left above the unmarked groups: pack those first.
  if (top + marked_groups > GROUP_LAST) {
    top = compact_groups([](ElemHeader* e) { return e->mark != 1; });
    drawing_modified = 1;
  }
  group_counter = top;
  std::unordered_map<uint16_t, uint16_t> map;
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    if (e->mark != 1 || e->group == 0) continue;
    auto it = map.find(e->group);
    if (it == map.end()) it = map.emplace(e->group, group_take_next()).first;
    e->group = it->second;
  }
}
