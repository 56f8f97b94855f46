#pragma once

// Shorthands for writing a dialog's items as a table (dialogs/dlg_frame.h).
// Labels and titles are English interface texts, marked for translation
// where they are written (nls_mark).

#include <cstdint>
#include <span>

#include "dialogs/dlg_frame.h"
#include "model/consts.h"
#include "model/fixed_text.h"

namespace dlg {

constexpr DlgItem value(DlgItemKind kind, const char* label, double& v) {
  DlgItem i;
  i.kind = kind;
  i.text = label;
  i.var = &v;
  return i;
}
// label null: the entry alone.
constexpr DlgItem length(const char* label, double& v) { return value(DlgItemKind::LENGTH, label, v); }
constexpr DlgItem size(const char* label, double& v) { return value(DlgItemKind::SIZE, label, v); }
constexpr DlgItem angle(const char* label, double& v) { return value(DlgItemKind::ANGLE, label, v); }
constexpr DlgItem number(const char* label, double& v) { return value(DlgItemKind::NUMBER, label, v); }

constexpr DlgItem toggle(const char* label, int32_t& v) {
  DlgItem i;
  i.kind = DlgItemKind::TOGGLE;
  i.text = label;
  i.var = &v;
  return i;
}

// translated: how many of the first labels are translated, -1 all.
constexpr DlgItem options(int32_t& v, std::span<const char* const> labels, int translated = -1,
                          GCallback extra = nullptr) {
  DlgItem i;
  i.kind = DlgItemKind::OPTIONS;
  i.var = &v;
  i.labels = labels.data();
  i.count = static_cast<int>(labels.size());
  i.translated = translated;
  i.extra = extra;
  return i;
}

constexpr DlgItem penline(int32_t& pen, int32_t& line_type, uint8_t flags = 0) {
  DlgItem i;
  i.kind = DlgItemKind::PENLINE;
  i.var = &pen;
  i.var2 = &line_type;
  i.flags = flags;
  return i;
}

constexpr DlgItem font(FixedText<FONT_NAME_LEN>& name) {
  DlgItem i;
  i.kind = DlgItemKind::FONT;
  i.var = &name;
  return i;
}

constexpr DlgItem material(FixedText<MATERIAL_NAME_LEN>& name) {
  DlgItem i;
  i.kind = DlgItemKind::MATERIAL;
  i.var = &name;
  return i;
}

constexpr DlgItem texture(FixedText<PATH_LEN>& image) {
  DlgItem i;
  i.kind = DlgItemKind::TEXTURE;
  i.var = &image;
  return i;
}

constexpr DlgItem text(FixedText<PATH_LEN>& buffer, int max_length, uint8_t flags = 0) {
  DlgItem i;
  i.kind = DlgItemKind::TEXT;
  i.var = &buffer;
  i.count = max_length;
  i.flags = flags;
  return i;
}

constexpr DlgItem label(const char* text) {
  DlgItem i;
  i.kind = DlgItemKind::LABEL;
  i.text = text;
  return i;
}

constexpr DlgItem ranged(DlgItemKind kind, double& v, double min, double max, double step, int digits) {
  DlgItem i;
  i.kind = kind;
  i.var = &v;
  i.min = min;
  i.max = max;
  i.step = step;
  i.digits = digits;
  return i;
}
constexpr DlgItem spin(double& v, double min, double max, double step, int digits) {
  return ranged(DlgItemKind::SPIN, v, min, max, step, digits);
}
constexpr DlgItem slider(double& v, double min, double max, double step, int digits) {
  return ranged(DlgItemKind::SLIDER, v, min, max, step, digits);
}

constexpr DlgItem color(double& r, double& g, double& b) {
  DlgItem i;
  i.kind = DlgItemKind::COLOR;
  i.var = &r;
  i.var2 = &g;
  i.var3 = &b;
  return i;
}

constexpr DlgItem button(const char* key, const char* label, GCallback on_clicked = nullptr,
                         uint8_t flags = 0) {
  DlgItem i;
  i.kind = DlgItemKind::BUTTON;
  i.key = key;
  i.text = label;
  i.extra = on_clicked;
  i.flags = flags;
  return i;
}

constexpr DlgItem preview(int view, int pixels) {
  DlgItem i;
  i.kind = DlgItemKind::PREVIEW;
  i.view = view;
  i.size = pixels;
  return i;
}

constexpr DlgItem frame(const char* title, int8_t group = DLG_GROUP_NONE) {
  DlgItem i;
  i.kind = DlgItemKind::FRAME;
  i.text = title;
  i.group = group;
  return i;
}

constexpr DlgItem begin(DlgItemKind kind, const char* title = nullptr) {
  DlgItem i;
  i.kind = kind;
  i.text = title;
  return i;
}
constexpr DlgItem column() { return begin(DlgItemKind::COLUMN); }
constexpr DlgItem row() { return begin(DlgItemKind::ROW); }
constexpr DlgItem notebook() { return begin(DlgItemKind::NOTEBOOK); }
constexpr DlgItem page(const char* title) { return begin(DlgItemKind::PAGE, title); }
constexpr DlgItem end() { return begin(DlgItemKind::END); }
constexpr DlgItem gap() { return begin(DlgItemKind::GAP); }

}  // namespace dlg
