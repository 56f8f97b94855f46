#include "exchange/export_check.h"

#include <cmath>
#include <string_view>

#include "model/nls.h"
#include "model/ui.h"
#include "model/units.h"
#include "model/value_range.h"

namespace {

std::string refusal;
ExportCoordinates* writing = nullptr;

// A number as a person reads it: up to six decimals, no trailing zeros.
std::string number_text(double v) {
  if (!std::isfinite(v)) return "?";
  std::string s = units_fixed(v, 6);
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

// The translated text with its "%s" replaced by the values in order.
std::string filled(const char* english, std::initializer_list<std::string> values) {
  std::string text = nls_translate(english);
  std::size_t from = 0;
  for (const std::string& v : values) {
    const std::size_t at = text.find("%s", from);
    if (at == std::string::npos) break;
    text.replace(at, 2, v);
    from = at + v.size();
  }
  return text;
}

// Shows why nothing is written, when there is a reason.
bool refuse_unless_empty(const std::string& why) {
  if (why.empty()) return true;
  ui().msgbox_error((why + "\n" + nls_translate("Nothing was written.")).c_str());
  return false;
}

bool dashes_ok(const LineTypeDef& t) {
  if (t.pairs > 3) return false;
  for (int k = 0; k < t.pairs; ++k)
    if (!RANGE_DASH.holds(t.dash[k]) || !RANGE_DASH.holds(t.gap[k])) return false;
  return true;
}

}  // namespace

int export_dash_pairs(const LineTypeDef& t, double paper_factor) {
  const int pairs = t.pairs < 3 ? t.pairs : 3;
  for (int k = 0; k < pairs; ++k)
    if (!(t.dash[k] * paper_factor >= EXPORT_DASH_MIN) || !(t.gap[k] * paper_factor >= EXPORT_DASH_MIN))
      return 0;
  return pairs;
}

double export_dash_period(const LineTypeDef& t, double paper_factor) {
  double sum = 0.0;
  for (int k = 0; k < export_dash_pairs(t, paper_factor); ++k) sum += t.dash[k] + t.gap[k];
  return std::fabs(t.period - sum) < 1e-6 ? t.period : sum;
}

bool export_settings_ok(std::initializer_list<double> scales) {
  std::string why;
  for (double n : scales)
    if (why.empty() && !RANGE_SCALE.holds(n))
      why = filled(nls_mark("The scale 1:%s cannot be written: a scale lies above 1:0 and at most 1:%s."),
                   {number_text(n), number_text(RANGE_SCALE.hi)});
  for (int i = 0; i < PEN_COUNT && why.empty(); ++i)
    if (!RANGE_PEN_WIDTH.holds(pens[i].width))
      why = filled(nls_mark("Pen %s has the width %s mm; a pen is %s to %s mm wide."),
                   {std::to_string(i + 1), number_text(pens[i].width), number_text(RANGE_PEN_WIDTH.lo),
                    number_text(RANGE_PEN_WIDTH.hi)});
  for (int i = 0; i < LINE_TYPE_COUNT && why.empty(); ++i)
    if (!dashes_ok(line_types[i]))
      why = filled(nls_mark("Line type %s has a dash or gap outside %s to %s mm."),
                   {std::to_string(i + 1), number_text(RANGE_DASH.lo), number_text(RANGE_DASH.hi)});
  return refuse_unless_empty(why);
}

bool export_sheet_ok(double width, double height) {
  std::string why;
  if (!RANGE_PAPER.holds(width) || !RANGE_PAPER.holds(height))
    why = filled(
        nls_mark("The paper %s x %s cm cannot be written: paper is %s to %s cm wide and high."),
        {number_text(width), number_text(height), number_text(RANGE_PAPER.lo), number_text(RANGE_PAPER.hi)});
  return refuse_unless_empty(why);
}

bool export_plot_resolution_ok(double resolution) {
  std::string why;
  if (!RANGE_PLOT_RESOLUTION.holds(resolution))
    why = filled(nls_mark("The plotter resolution %s cm cannot be written: it lies from %s to %s cm."),
                 {number_text(resolution), number_text(RANGE_PLOT_RESOLUTION.lo),
                  number_text(RANGE_PLOT_RESOLUTION.hi)});
  return refuse_unless_empty(why);
}

ExportCoordinates::ExportCoordinates(double limit, const char* format, bool scaled)
    : outer_(writing), limit_(limit), format_(format), scaled_(scaled) {
  writing = this;
}

ExportCoordinates::~ExportCoordinates() {
  writing = outer_;
  if (!ok_ && refusal.empty())
    refusal =
        filled(scaled_ ? nls_mark("At this scale the drawing has coordinates that %s files cannot hold.")
                       : nls_mark("The drawing has coordinates or sizes that %s files cannot hold."),
               {format_}) +
        "\n" + nls_translate("Nothing was written.");
}

double export_coordinate(double v) {
  if (!writing || (std::isfinite(v) && std::fabs(v) <= writing->limit_)) return v;
  writing->ok_ = false;
  return 0.0;
}

const std::string& export_refused() { return refusal; }
void export_refused_clear() { refusal.clear(); }

bool export_refusal_shown() {
  if (refusal.empty()) return false;
  ui().msgbox_error(refusal.c_str());
  return true;
}
