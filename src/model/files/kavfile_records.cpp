// The settings, settings-file, layer and layer-set chunks: their tables and
// writers, and the reading of one such chunk.

#include <cstdio>
#include <cstring>
#include <vector>

#include "model/files/bytes.h"
#include "model/files/chunk_table.h"
#include "model/files/fio.h"
#include "model/files/kavfile.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/scale_ladder.h"
#include "model/settings.h"
#include "model/value_range.h"

namespace {

// Chunks of globals have no record; any non-null base lets the fields store.
void* globals(int32_t) {
  static char any;
  return &any;
}

// The tables keep one field per line, in file order.
// clang-format off
using R = void;

const Field psnp[] = {CT_I32(snap_size),
                      CT_I32(snap_use_end_points),
                      CT_I32(snap_use_line_intersections),
                      CT_I32(snap_use_center_points),
                      CT_I32(snap_use_text_points),
                      CT_I32(snap_use_circle_centers),
                      CT_I32(snap_use_arc_points),
                      CT_I32(snap_use_polygon_points),
                      CT_I32(snap_use_measuring_points),
                      CT_I32(snap_stored_tenth)};

namespace pen {
using R = PenDef;
const Field fields[] = {CT_TEXT(r->name), within(CT_F64(r->width), RANGE_PEN_WIDTH),
                        within(CT_F64(r->r), RANGE_COLOUR), within(CT_F64(r->g), RANGE_COLOUR),
                        within(CT_F64(r->b), RANGE_COLOUR)};
void* record(int32_t i) { return i >= 0 && i < PEN_COUNT ? &pens[i] : nullptr; }
}  // namespace pen

namespace line_type {
using R = LineTypeDef;
// Dashes and gaps alternate in the file.
const Field fields[] = {CT_TEXT(r->name),
                        within(CT_F64(r->period), RANGE_DASH_PERIOD),
                        range(CT_U8(r->pairs), 0, 3),
                        within(CT_F64(r->dash[0]), RANGE_DASH),
                        within(CT_F64(r->gap[0]), RANGE_DASH),
                        within(CT_F64(r->dash[1]), RANGE_DASH),
                        within(CT_F64(r->gap[1]), RANGE_DASH),
                        within(CT_F64(r->dash[2]), RANGE_DASH),
                        within(CT_F64(r->gap[2]), RANGE_DASH)};
void* record(int32_t i) { return i >= 0 && i < LINE_TYPE_COUNT ? &line_types[i] : nullptr; }
}  // namespace line_type

const Field ppo2[] = {range(CT_I32(pov_settings.resolution), 0, 7),
                      CT_I32(pov_settings.save_image),
                      range(CT_I32(pov_settings.output_format), 0, 6),
                      range(CT_I32(pov_settings.quality), 0, 3),
                      range(CT_I32(pov_settings.antialias), 0, 3),
                      CT_I32(pov_settings.sky),
                      CT_I32(pov_settings.clouds),
                      flagged(CT_TEXT(pov_settings.command), FIELD_TRUSTED),
                      flagged(CT_TEXT(pov_settings.output_file), FIELD_TRUSTED),
                      within(CT_F64(pov_settings.background.r), RANGE_COLOUR),
                      within(CT_F64(pov_settings.background.g), RANGE_COLOUR),
                      within(CT_F64(pov_settings.background.b), RANGE_COLOUR),
                      range(CT_I32(pov_settings.ambient), 0, 4)};

const Field ppr3[] = {within(CT_F64(print_settings.paper_width), RANGE_PAPER),
                      within(CT_F64(print_settings.paper_height), RANGE_PAPER),
                      within(CT_F64(print_settings.scale), RANGE_SCALE),
                      within(CT_F64(print_settings.margin_left), RANGE_MARGIN),
                      within(CT_F64(print_settings.margin_right), RANGE_MARGIN),
                      within(CT_F64(print_settings.margin_top), RANGE_MARGIN),
                      within(CT_F64(print_settings.margin_bottom), RANGE_MARGIN),
                      range(CT_I32(print_settings.orientation), 0, 1),
                      CT_I32(print_settings.colour),
                      flagged(CT_TEXT(print_settings.command), FIELD_TRUSTED),
                      CT_TEXT(print_settings.printer_name),
                      range(CT_I32(print_settings.paper_index), 0, PAPER_SIZE_COUNT - 1)};

// The oldest print chunk: no colour switch after the orientation.
const Field ppri[] = {within(CT_F64(print_settings.paper_width), RANGE_PAPER),
                      within(CT_F64(print_settings.paper_height), RANGE_PAPER),
                      within(CT_F64(print_settings.scale), RANGE_SCALE),
                      within(CT_F64(print_settings.margin_left), RANGE_MARGIN),
                      within(CT_F64(print_settings.margin_right), RANGE_MARGIN),
                      within(CT_F64(print_settings.margin_top), RANGE_MARGIN),
                      within(CT_F64(print_settings.margin_bottom), RANGE_MARGIN),
                      range(CT_I32(print_settings.orientation), 0, 1),
                      flagged(CT_TEXT(print_settings.command), FIELD_TRUSTED)};

const Field php3[] = {CT_I32(plot_settings.origin_centred),
                      range(CT_I32(plot_settings.orientation), 0, 1),
                      range(CT_I32(plot_settings.plotter_type), 0, 2),
                      within(CT_F64(plot_settings.paper_width), RANGE_PAPER),
                      within(CT_F64(plot_settings.paper_height), RANGE_PAPER),
                      within(CT_F64(plot_settings.scale), RANGE_SCALE),
                      within(CT_F64(plot_settings.resolution), RANGE_PLOT_RESOLUTION),
                      flagged(CT_TEXT(plot_settings.file), FIELD_TRUSTED),
                      CT_TEXT(plot_settings.start_sequence),
                      CT_TEXT(plot_settings.end_sequence),
                      flagged(CT_TEXT(plot_settings.command), FIELD_TRUSTED),
                      CT_TEXT(plot_settings.plotter_name),
                      range(CT_I32(plot_settings.paper_index), 0, PAPER_SIZE_COUNT - 1)};

const Field pdxf[] = {range(CT_I32(dxf_settings.export_mode), 0, 3),
                      range(CT_I32(dxf_settings.export_scope), 0, 2),
                      range(CT_I32(dxf_settings.import_unit), 0, 4),
                      range(CT_I32(dxf_settings.export_unit), 0, 4)};

const Field pflt[] = {range(CT_I32(select_filter.line_type), 0, LINE_TYPE_COUNT - 1),
                      range(CT_I32(select_filter.pen), 0, PEN_COUNT - 1),
                      range(CT_I32(select_filter.mode), 0, 3)};

const Field ptee[] = {CT_I32(text_use_editor[0]), CT_I32(text_use_editor[1]), CT_I32(text_use_editor[2]),
                      CT_I32(text_use_editor[3])};

const Field pviw[] = {CT_I32(view_options.exact_line_thickness), CT_I32(view_options.all_black),
                      CT_I32(view_options.show_patterns), CT_I32(view_options.show_guide_points),
                      CT_I32(view_options.show_room_borders)};

const Field prod[] = {range(CT_I32(room_units.area_unit), 0, 4), CT_TEXT(room_units.area_text),
                      range(CT_I32(room_units.volume_unit), 0, 4), CT_TEXT(room_units.volume_text)};

const Field pmsc[] = {within(CT_F64(drawing_scale), RANGE_SCALE),
                      range(CT_I32(cur_layer), 0, LAYER_COUNT - 1),
                      range(CT_I32(view_type), 0, 9),
                      range(CT_I32(angle_unit), 0, 2),
                      range(CT_I32(length_unit), 0, 5),
                      CT_I32(dim_settings.link),
                      CT_I32(dim_settings.move_figures)};
void after_pmsc() {
  if (length_unit == 5)
    view_scale_ladder_imperial();
  else
    view_scale_ladder_metric();
}

const Field pms2[] = {CT_I32(snap_preview_on),
                      range(CT_I32(size_unit), 0, 4),
                      range(CT_I32(paper_unit), 0, 1)};

const Field pdi2[] = {range(CT_I32(dim_settings.accuracy), 0, 4),
                      range(CT_I32(dim_settings.accuracy_architecture), 0, 3)};

const Field pcol[] = {within(CT_F64(display_colors.background.r), RANGE_COLOUR),
                      within(CT_F64(display_colors.background.g), RANGE_COLOUR),
                      within(CT_F64(display_colors.background.b), RANGE_COLOUR),
                      within(CT_F64(display_colors.active.r), RANGE_COLOUR),
                      within(CT_F64(display_colors.active.g), RANGE_COLOUR),
                      within(CT_F64(display_colors.active.b), RANGE_COLOUR),
                      within(CT_F64(display_colors.guide.r), RANGE_COLOUR),
                      within(CT_F64(display_colors.guide.g), RANGE_COLOUR),
                      within(CT_F64(display_colors.guide.b), RANGE_COLOUR)};

const Field plop[] = {CT_TEXT(draw_path),   CT_TEXT(import_path), CT_TEXT(symbol_path),
                      CT_TEXT(export_path), CT_TEXT(dialog_path), CT_TEXT(help_browser)};

const Field pasr[] = {within(CT_F64(screen_aspect.width), RANGE_SCREEN_ASPECT),
                      within(CT_F64(screen_aspect.height), RANGE_SCREEN_ASPECT)};

const Field pbak[] = {CT_I32(autobackup), range(CT_I32(backup_interval), 1, 60)};

void after_ppov() { pov_settings.ambient = 1; }
void after_ppri() { print_settings.colour = 0; }
void after_ppr2() {
  print_settings.printer_name = "Default";
  print_settings.paper_index = 0;
}
void after_phpg() {
  plot_settings.plotter_name = "Default";
  plot_settings.paper_index = 0;
}

namespace layer {
using R = LayerRec;
const Field fields[] = {CT_TEXT(r->name), CT_U8(r->shown), CT_F64(r->reserved)};
const Field old_fields[] = {CT_TEXT(r->name), CT_FLAG32(r->shown), CT_F64(r->reserved)};
void* record(int32_t i) { return layer_rec(i); }
// An old layer chunk switches the old numbering on for the rest of the file.
void* old_record(int32_t i) {
  layer_remap_old = 1;
  if (i < 0 || i > 0xFFFF) return nullptr;
  return layer_rec(kavfile_map_old_layer(static_cast<uint16_t>(i)));
}
}  // namespace layer

// Default names read in the language shown: a drawing saved from the English
// interface holds "List 3" and "Layer 12", which the German one shows as its
// own defaults. Names the user gave stay as they are.
template <class Names>
void show_default_names(Names& names, int count, const char* english) {
  const char* word = nls_translate(english);
  if (std::strcmp(word, english) == 0) return;
  char written[NAME_LEN + 16], shown[NAME_LEN + 16];
  for (int k = 0; k < count; ++k) {
    std::snprintf(written, sizeof written, "%s %d", english, k);
    if (std::strcmp(names(k).c_str(), written) != 0) continue;
    std::snprintf(shown, sizeof shown, "%s %d", word, k);
    names(k) = shown;
  }
}
// The list names follow the layer records.
void after_layg() {
  auto list_names = [](int k) -> FixedText<NAME_LEN>& { return layer_list_names[k]; };
  show_default_names(list_names, LAYER_LIST_COUNT, "List");
  auto layer_names = [](int i) -> FixedText<NAME_LEN>& { return layers[i].name; };
  show_default_names(layer_names, LAYER_COUNT, "Layer");
}

const Field layg[] = {CT_TEXT(layer_list_names[0]), CT_TEXT(layer_list_names[1]),
                      CT_TEXT(layer_list_names[2]), CT_TEXT(layer_list_names[3]),
                      CT_TEXT(layer_list_names[4]), CT_TEXT(layer_list_names[5]),
                      CT_TEXT(layer_list_names[6]), CT_TEXT(layer_list_names[7]),
                      CT_TEXT(layer_list_names[8]), CT_TEXT(layer_list_names[9])};

namespace layer_set {
using R = LayerSet;
const Field fields[] = {CT_TEXT(r->name),
                        CT_BYTES(r->shown),
                        range(CT_I32(r->current_layer), 0, LAYER_COUNT - 1)};
LayerSet staging;
// A set is read into a staging copy; an invalid current layer keeps cur_layer.
void* record(int32_t) {
  staging = LayerSet{};
  staging.current_layer = cur_layer;
  return &staging;
}
// A set of the same name takes the file's shown flags and the current layer
// of the moment (set by PMSC just before); otherwise the set is added.
void after() {
  for (LayerSet* s = layer_sets; s; s = s->next) {
    if (s->name == staging.name) {
      std::memcpy(s->shown, staging.shown, sizeof s->shown);
      s->current_layer = cur_layer;
      return;
    }
  }
  layer_set_append(staging);
}
}  // namespace layer_set

using G = ChunkGroup;
using I = ChunkIndex;

const RecordChunk record_chunks[] = {
    {"PSNP", G::SETTINGS, I::NONE, 1, psnp, globals, nullptr},
    {"PPEN", G::SETTINGS, I::U8, PEN_COUNT, pen::fields, pen::record, nullptr},
    {"PLIN", G::SETTINGS, I::U8, LINE_TYPE_COUNT, line_type::fields, line_type::record, nullptr},
    {"PPO2", G::SETTINGS, I::NONE, 1, ppo2, globals, nullptr},
    {"PPR3", G::SETTINGS, I::NONE, 1, ppr3, globals, nullptr},
    {"PHP3", G::SETTINGS, I::NONE, 1, php3, globals, nullptr},
    {"PDXF", G::SETTINGS, I::NONE, 1, pdxf, globals, nullptr},
    {"PFLT", G::SETTINGS, I::NONE, 1, pflt, globals, nullptr},
    {"PTEE", G::SETTINGS, I::NONE, 1, ptee, globals, nullptr},
    {"PVIW", G::SETTINGS, I::NONE, 1, pviw, globals, nullptr},
    {"PROD", G::SETTINGS, I::NONE, 1, prod, globals, nullptr},
    {"PMSC", G::SETTINGS, I::NONE, 1, pmsc, globals, after_pmsc},
    {"PMS2", G::SETTINGS, I::NONE, 1, pms2, globals, nullptr},
    {"PDI2", G::SETTINGS, I::NONE, 1, pdi2, globals, nullptr},
    {"PCOL", G::SETTINGS, I::NONE, 1, pcol, globals, nullptr},
    {"PLOP", G::FILE_ONLY, I::NONE, 1, plop, globals, nullptr},
    {"PASR", G::FILE_ONLY, I::NONE, 1, pasr, globals, nullptr},
    {"PBAK", G::FILE_ONLY, I::NONE, 1, pbak, globals, nullptr},
    {"LAY3", G::LAYERS, I::I32, 0, layer::fields, layer::record, nullptr},
    {"LAYG", G::LAYERS, I::NONE, 0, layg, globals, after_layg},
    {"LAS3", G::LAYERS, I::NONE, 0, layer_set::fields, layer_set::record, layer_set::after},
    {"LAYR", G::OLD, I::I32, 0, layer::old_fields, layer::old_record, nullptr},
    {"PPOV", G::OLD, I::NONE, 0, std::span(ppo2).first(std::size(ppo2) - 1), globals, after_ppov},
    {"PPRI", G::OLD, I::NONE, 0, ppri, globals, after_ppri},
    {"PPR2", G::OLD, I::NONE, 0, std::span(ppr3).first(10), globals, after_ppr2},
    {"PHPG", G::OLD, I::NONE, 0, std::span(php3).first(11), globals, after_phpg},
    {"PDIP", G::OLD, I::NONE, 0, std::span(pdi2).first(1), globals, nullptr},
};

// clang-format on

const RecordChunk& chunk(const char* tag) { return *kavfile_record_chunk(tag); }

template <class Fn>
int write_with(std::FILE* f, Fn fn) {
  ByteWriter w(f);
  fn(w);
  return w.flush() ? 1 : 0;
}

void write_group(ByteWriter& w, ChunkGroup group) {
  for (const RecordChunk& c : record_chunks)
    if (c.group == group)
      for (int i = 0; i < c.records; ++i) kavfile_write_record(w, c, i, c.record(i));
}

// Layers named like the program names new layers are left out when empty.
bool layer_has_default_name(const LayerRec& l) {
  return std::strncmp(l.name.c_str(), "Ebene", 5) == 0 || std::strncmp(l.name.c_str(), "Layer", 5) == 0;
}

}  // namespace

const RecordChunk* kavfile_record_chunk(const char* tag) {
  for (const RecordChunk& c : record_chunks)
    if (std::memcmp(c.tag, tag, 4) == 0) return &c;
  return nullptr;
}

std::span<const RecordChunk> kavfile_record_chunks() { return record_chunks; }

uint32_t kavfile_record_payload_bytes(const RecordChunk& c) {
  const uint32_t index = c.index == ChunkIndex::U8 ? 1 : c.index == ChunkIndex::I32 ? 4 : 0;
  return index + fields_fixed_bytes(c.fields);
}

void kavfile_write_record(ByteWriter& w, const RecordChunk& c, int32_t index, const void* base) {
  w.chunk(c.tag, kavfile_record_payload_bytes(c));
  if (c.index == ChunkIndex::U8) w.u8(static_cast<uint8_t>(index));
  if (c.index == ChunkIndex::I32) w.i32(index);
  write_fields(w, c.fields, base);
}

ReadStatus kavfile_read_record(ByteReader& r, const RecordChunk& c, ChunkReadCtx& ctx) {
  // All or nothing: a cut chunk stores none of its values.
  if (r.left() < kavfile_record_payload_bytes(c)) {
    r.fail();
    return ReadStatus::FAILED;
  }
  int32_t index = 0;
  if (c.index == ChunkIndex::U8) {
    uint8_t v = 0;
    r.u8(v);
    index = v;
  } else if (c.index == ChunkIndex::I32) {
    r.i32(index);
  }
  void* base = c.record(index);
  ReadStatus s = read_fields(r, c.fields, base, ctx);
  if (s == ReadStatus::OK && base && c.after) c.after();
  return s;
}

int kavfile_write_settings(std::FILE* f) {
  return write_with(f, [](ByteWriter& w) { write_group(w, ChunkGroup::SETTINGS); });
}

int prefs_write_file_chunks(std::FILE* f) {
  return write_with(f, [](ByteWriter& w) { write_group(w, ChunkGroup::FILE_ONLY); });
}

int kavfile_write_layers(std::FILE* f) {
  layer_count_elements();
  return write_with(f, [](ByteWriter& w) {
    const RecordChunk& lay3 = chunk("LAY3");
    for (int i = 0; i < LAYER_COUNT; ++i)
      if (layers[i].count > 0 || !layer_has_default_name(layers[i]))
        kavfile_write_record(w, lay3, i, &layers[i]);
    kavfile_write_record(w, chunk("LAYG"), 0, globals(0));
  });
}

int kavfile_write_layer_sets(std::FILE* f) {
  return write_with(f, [](ByteWriter& w) {
    const RecordChunk& las3 = chunk("LAS3");
    for (const LayerSet* s = layer_sets; s; s = s->next) kavfile_write_record(w, las3, 0, s);
  });
}

int kavfile_read_settings_chunk(std::FILE* f, const char* tag) {
  const RecordChunk* c = tag ? kavfile_record_chunk(tag) : nullptr;
  if (!c) return 0;
  std::vector<unsigned char> buf(kavfile_record_payload_bytes(*c));
  if (!fio_read_block(f, buf.data(), static_cast<int>(buf.size()))) return 0;
  ByteReader r(buf.data(), buf.size());
  ChunkReadCtx ctx;
  ctx.size = static_cast<uint32_t>(buf.size());
  return kavfile_read_record(r, *c, ctx) == ReadStatus::OK ? 1 : 0;
}
