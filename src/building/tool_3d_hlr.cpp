// Collects the model for the hidden-line core, shows its lines as they come
// and asks where the result goes.

#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "building/hlr_tools.h"
#include "building/solid/wall_mesh.h"
#include "display/draw.h"
#include "display/input.h"
#include "display/select.h"
#include "display/view.h"
#include "display/view_commands.h"
#include "model/geom.h"
#include "model/layers.h"
#include "model/nls.h"
#include "model/settings.h"
#include "model/ui.h"
#include "model/undo.h"
#include "model/view_rec.h"
#include "tools/tool_common.h"

HlrOptions hlr_options;

namespace {

constexpr double kBehind = 999.0;

bool is_behind(double u, double v, double d) {
  return std::fabs(u - kBehind) <= 1e-9 && std::fabs(v - kBehind) <= 1e-9 && std::fabs(d - kBehind) <= 1e-9;
}

// The current view's projection; the perspective view works at ten times
// its size, except for the mark of a point behind the camera.
HlrUvd project(const Point3& p) {
  view_project(p.x, p.y, p.z);
  HlrUvd r{geo_result.view_u, geo_result.view_v, geo_result.view_depth};
  if (view_type == VIEW_PERSPECTIVE && !is_behind(r.u, r.v, r.depth)) {
    r.u *= 10.0;
    r.v *= 10.0;
    r.depth *= 10.0;
  }
  return r;
}

bool collected_layer(int layer) { return layer == cur_layer || layer_shown(layer) || layer == LAYER_TEMP_3D; }

HlrScene collect() {
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (e->layer == cur_layer || layer_shown(e->layer)) e->mark = 1;
  WallTempMeshes temp;
  std::vector<HlrMeshInput> inputs;
  for (ElemHeader* e = elem_list_head; e; e = e->next) {
    const auto* m = elem_as<MeshElem>(e);
    if (!m || !collected_layer(e->layer)) continue;
    inputs.push_back({&m->vertices, &m->face_sizes, &m->indices, e->pen, e->line_type});
  }
  HlrScene scene = hlr_build(inputs, project);
  select_clear_flags();
  return scene;
}

// Fits the current view to the window, with a tenth to spare.
void hlr_zoom_to_result(const HlrWindow& w) {
  ViewRec& v = view_current();
  const double old_w = v.xmax - v.xmin, old_h = v.ymax - v.ymin;
  const double ratio = old_h > 0 ? old_w / old_h : 1.0;
  v.xmin = w.umin, v.ymin = w.vmin, v.xmax = w.umax, v.ymax = w.vmax;
  const double width = w.umax - w.umin, height = w.vmax - w.vmin;
  const double px_w = (v.right - v.left) * screen_aspect.width / SCREEN_SCALE_DIVISOR;
  const double px_h = (v.bottom - v.top) * screen_aspect.height / SCREEN_SCALE_DIVISOR;
  double scale = 0.0;
  if (1.1 * width > 1.1 * height * ratio) {
    if (px_w > 0) scale = 1.1 * width / px_w;
  } else if (px_h > 0) {
    scale = 1.1 * height / px_h;
  }
  if (scale > 0 && std::isfinite(scale)) view_scale = scale;
  view_apply_scale(cur_view);
  view_clear();
}

// Appends the lines to the drawing and draws them into the backing store.
class DrawingSink : public HlrSink {
 public:
  explicit DrawingSink(uint16_t group) : group_(group) {}
  bool clip(HlrLine& l) override {
    if (!view_clip_line(l.x1, l.y1, l.x2, l.y2)) return false;
    l.x1 = clip_result.x1, l.y1 = clip_result.y1, l.x2 = clip_result.x2, l.y2 = clip_result.y2;
    return true;
  }
  void line_new(const HlrLine& l) override {
    elem_new_line(cur_layer, l.pen, l.line_type, l.x1, l.y1, l.x2, l.y2);
    elem_list_tail->group = group_;
    draw_last_element(DRAW_NORMAL);
  }
  void line_extend(double x2, double y2) override {
    auto* line = elem_as<LineElem>(elem_list_tail);
    if (!line) return;
    line->p2.x = x2;
    line->p2.y = y2;
    elem_touch();
    draw_last_element(DRAW_NORMAL);
  }
  void flush() override { view_flush_dirty(); }

 private:
  uint16_t group_;
};

// Puts the view type and the batch drawing back however the run ends.
class RunState {
 public:
  RunState() : saved_type_(view_type) {}
  ~RunState() {
    draw_refresh_now = 1;
    view_type = saved_type_;
  }
  RunState(const RunState&) = delete;
  RunState& operator=(const RunState&) = delete;

 private:
  int32_t saved_type_;
};

// The elements appended after `before` (the whole list when it is null).
std::vector<ElemHeader*> appended_after(ElemHeader* before) {
  std::vector<ElemHeader*> out;
  for (ElemHeader* e = before ? before->next : elem_list_head; e; e = e->next) out.push_back(e);
  return out;
}

// Asks for a layer 0..999 until one is given; false when cancelled.
bool ask_layer(int& layer) {
  InputRequest r;
  for (;;) {
    tool_fill_request(r, {{STEP_INTEGER, "Layer:"}});
    tool_set_prompt(r.prompt[0], "Layer:");  // the same in every language
    if (input_run_request(&r) != INPUT_DONE) return false;
    if (r.integer >= 0 && r.integer < LAYER_COUNT) {
      layer = r.integer;
      return true;
    }
  }
}

// The result lines are known by their place at the end of the list, not by
// their group number, which may be shared when no number is left.
void hlr_store_result(const std::vector<ElemHeader*>& result, int modified_before) {
  const int count = static_cast<int>(result.size());
  const char* labels[] = {nls_translate(nls_mark("Current layer")), nls_translate(nls_mark("Other layer")),
                          nls_translate(nls_mark("Cancel"))};
  const int answer = ui().msgbox_ask(nls_translate(nls_mark("Store result on:")), 3, labels);
  if (answer == 1 || answer == 2) {
    int layer = 0;
    if (answer == 2 && ask_layer(layer)) {
      for (ElemHeader* e : result) e->layer = static_cast<uint16_t>(layer);
      elem_touch();
    }
    view_zoom_to_extents(0);
    if (count > 0) undo_record(UNDO_CREATED, count);
    return;
  }
  for (ElemHeader* e = elem_list_head; e; e = e->next) e->mark = 0;
  for (ElemHeader* e : result) e->mark = 1;
  elem_purge_marked();
  // The drawing is as it was: no reason to ask for a save.
  drawing_modified = modified_before;
  view_zoom_to_extents(0);
}

}  // namespace

void tool_3d_hlr() {
  const std::clock_t start = std::clock();
  const int modified_before = drawing_modified;
  HlrScene scene = collect();
  // Taken after the temporary wall meshes are gone: all that follows it
  // is the result.
  ElemHeader* const before = elem_list_tail;
  HlrCounts counts;
  {
    RunState state;
    std::optional<HlrWindow> window;
    if (view_type == VIEW_PERSPECTIVE) {
      const double half = 0.1 * view_camera.view_angle;
      window = HlrWindow{-half, -half, half, half};
    } else {
      window = hlr_front_window(scene);
    }
    view_type = VIEW_PLAN;
    // Without a front face there is nothing to fit: the view stays.
    if (window) hlr_zoom_to_result(*window);
    // No group number left: the lines stay ungrouped.
    const int group = group_max() + 1;
    group_counter = static_cast<uint16_t>(group <= 65535 ? group : 0);
    view_clear_and_refresh();
    ui().gui_progress_open(nls_translate(nls_mark("Hidden line rendering:")));
    ui().gui_progress_update(0.0);
    draw_refresh_now = 0;
    DrawingSink sink(group_counter);
    counts = hlr_render(scene, hlr_options, sink);
    view_flush_dirty();
  }
  ui().gui_progress_close();
  std::printf("hlr render time: %.2f sec  lines:%d joins:%d\n",
              static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC, counts.lines, counts.joins);
  std::fflush(stdout);
  hlr_store_result(appended_after(before), modified_before);
}
