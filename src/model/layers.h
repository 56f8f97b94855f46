#pragma once

// Layers, layer sets, element groups and the new-drawing operations.
//
// The 1000 layers form ten lists of 100. Layers 1007 to 1009 are temporary
// and have no record: every lookup by number goes through layer_rec(),
// layer_shown() or layer_name(), which are safe for them.

#include <cstdint>

#include "model/consts.h"
#include "model/fixed_text.h"

struct LayerRec {
  FixedText<NAME_LEN> name;
  uint8_t shown = 0;  // 1 = drawn dimmed while another layer is current
  double reserved = 0.0;
  int32_t count = 0;  // valid after layer_count_elements
};

struct LayerSet {
  FixedText<NAME_LEN> name;
  uint8_t shown[LAYER_COUNT] = {};
  int32_t current_layer = 0;
  LayerSet* next = nullptr;
};

extern LayerRec layers[LAYER_COUNT];
extern FixedText<NAME_LEN> layer_list_names[LAYER_LIST_COUNT];
extern int32_t cur_layer;
extern LayerSet* layer_sets;  // always begins with "Default"
extern uint16_t group_counter;

// The record of layer n, or null for numbers outside 0..999.
LayerRec* layer_rec(int n);
// Shown flag of layer n; the temporary layers count as not shown.
int layer_shown(int n);
// Whether elements of layer n are drawn and can be found: the current layer
// always, any other layer while its shown flag is 1 (never a temporary one).
int layer_visible(int n);
// Name of layer n; the temporary layers have an empty name.
const char* layer_name(int n);

// Appends a copy of set at the end of layer_sets (its next is ignored).
LayerSet* layer_set_append(const LayerSet& set);

int drawing_init();
void drawing_free();
int drawing_reset();

void layer_count_elements();

void group_marked();
int group_last_created(int n);
void group_ungroup_marked();
int group_max();
void group_renumber_marked();
