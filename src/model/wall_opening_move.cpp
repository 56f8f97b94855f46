#include "model/wall_opening_move.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

#include "model/consts.h"
#include "model/elem.h"
#include "model/geom.h"
#include "model/nls.h"
#include "model/redraw.h"
#include "model/ui.h"
#include "model/undo.h"
#include "model/wall_outline.h"

namespace {

bool any_marked(const Point3* p, int n) {
  for (int i = 0; i < n; ++i)
    if (p[i].mark == 1) return true;
  return false;
}

bool corners_marked(const WallElem& w) {
  return any_marked(w.corner, 8) || (w.gable == 1 && (w.gable_a.mark == 1 || w.gable_b.mark == 1));
}

// A wall that stayed while some of its openings were moved. A wall moved
// whole carries its openings along.
bool holds_moved_openings(const WallElem& w) {
  if (w.mark == 1 || corners_marked(w)) return false;
  return std::any_of(w.openings.begin(), w.openings.end(),
                     [](const WallOpening& o) { return any_marked(o.corner, 8); });
}

// Whether every opening of w that is not removed fits into the plain
// outline of w's corners, as the stretch re-fit cuts them in.
bool openings_fit_corners(const WallElem& w) {
  if (std::none_of(w.openings.begin(), w.openings.end(),
                   [](const WallOpening& o) { return o.kind != OPENING_REMOVED; }))
    return true;
  std::vector<WallSegment> segs(4);
  wall_outline_quad(w.corner[0].x, w.corner[0].y, w.corner[1].x, w.corner[1].y, w.corner[2].x, w.corner[2].y,
                    w.corner[3].x, w.corner[3].y, segs.data());
  for (const WallOpening& o : w.openings)
    if (o.kind != OPENING_REMOVED && !wall_outline_cut_box(o.corner, o.stop_width, o.stop_depth, segs))
      return false;
  return true;
}

// How far a point may lie off a face line and still be on it.
constexpr double ON_LINE = 1e-6;

bool on_line(const Point3& p, const Point3& a, const Point3& b) {
  return geom_dist_to_line(p.x, p.y, a.x, a.y, b.x, b.y) < ON_LINE;
}

// Whether the box lies across w's thickness somewhere along it: its outer
// face on the line of one long face and its inner face on the other's, and
// its extent along the wall meeting the wall's. Such a box is in w, though
// maybe across a joint, another opening or w's end.
bool across(const Point3 (&box)[8], const WallElem& w) {
  const Point3 *c = w.corner, &c0 = c[0], &c1 = c[1], &c2 = c[2], &c3 = c[3];
  const bool outer01 = on_line(box[0], c0, c1) && on_line(box[1], c0, c1) && on_line(box[2], c3, c2) &&
                       on_line(box[3], c3, c2);
  const bool outer23 = on_line(box[0], c3, c2) && on_line(box[1], c3, c2) && on_line(box[2], c0, c1) &&
                       on_line(box[3], c0, c1);
  if (!outer01 && !outer23) return false;
  geom_project_on_segment(box[0].x, box[0].y, c0.x, c0.y, c1.x, c1.y);
  const double t0 = geo_result.proj_t;
  geom_project_on_segment(box[1].x, box[1].y, c0.x, c0.y, c1.x, c1.y);
  const double t1 = geo_result.proj_t;
  return std::max(t0, t1) > 0.0 && std::min(t0, t1) < 1.0;
}

void clear_marks(WallOpening& o) {
  for (Point3& p : o.corner) p.mark = 0;
}

// A wall's new outline and openings, decided before any wall is changed.
struct Change {
  std::vector<WallSegment> segs;
  std::vector<WallOpening> ops;
  bool changed = true;  // false for a wall only looked at
};

// Why an opening stayed.
enum class Refused { NO_WALL, ACROSS, FULL };

const char* text_of(Refused why) {
  switch (why) {
    case Refused::NO_WALL:
      return nls_translate("The opening was not moved: no wall lies where it would go.");
    case Refused::ACROSS:
      return nls_translate(
          "The opening was not moved: where it would go, it would reach across a joint of walls, another "
          "opening or the end of the wall.");
    case Refused::FULL:
      return nls_translate("To many openings in this wall!");
  }
  return "";
}

class Placement {
 public:
  explicit Placement(const WallOpeningsMoved& before) : before_(before) {
    for (const WallOpeningsMoved::Held& h : before_.walls) held_[h.wall] = &h;
    for (ElemHeader* e = elem_list_head; e; e = e->next)
      if (auto* w = elem_as<WallElem>(e)) (held_before(w) ? hosts_ : others_).push_back(w);
  }

  void run() {
    if (hosts_.empty()) return;
    for (WallElem* w : hosts_) plan(*w);
    // Every wall to change joins the move's undo step first, or none
    // changes (the stretch re-fit then takes the walls as they are).
    for (auto& [w, change] : changes_)
      if (change.changed && !undo_save_element(w)) return;
    redraw().input_cursor_toggle();
    for (auto& [w, change] : changes_)
      if (change.changed) commit(w, change);
    for (WallElem* w : hosts_) elem_clear_point_marks(w);
    redraw().input_cursor_toggle();
    tell();
  }

  void tell() const {
    for (Refused why : refused_) ui().msgbox_error(text_of(why));
  }

 private:
  // The outline a wall has now, or the one planned for it.
  Change& change_of(WallElem* w) {
    auto it = changes_.find(w);
    if (it == changes_.end()) it = changes_.emplace(w, Change{w->segments, w->openings, false}).first;
    return it->second;
  }

  void refuse(Refused why) {
    if (std::find(refused_.begin(), refused_.end(), why) == refused_.end()) refused_.push_back(why);
  }

  // The wall other than w's that holds o where it is, with its planned
  // change; why none does otherwise.
  WallElem* other_wall_for(const WallOpening& o, const WallElem& from, Refused& why) {
    why = Refused::NO_WALL;
    for (WallElem* x : others_) {
      if (x->layer != from.layer || !across(o.corner, *x)) continue;
      why = std::max(why, Refused::ACROSS);
      Change& c = change_of(x);
      if (static_cast<int>(c.ops.size()) >= WALL_MAX_OPENINGS) {
        why = Refused::FULL;
        continue;
      }
      if (!wall_outline_cut_box(o.corner, o.stop_width, o.stop_depth, c.segs)) continue;
      c.ops.push_back(o);
      c.changed = true;
      return x;
    }
    return nullptr;
  }

  const WallOpeningsMoved::Held* held_before(const WallElem* w) const {
    const auto it = held_.find(w);
    if (it == held_.end() || !holds_moved_openings(*w) || it->second->openings.size() != w->openings.size())
      return nullptr;
    return it->second;
  }

  void plan(WallElem& w) {
    std::vector<bool> moved;
    for (const WallOpening& o : w.openings) moved.push_back(any_marked(o.corner, 8));
    // The gaps are closed where the openings were, in the wall as it was.
    const WallOpeningsMoved::Held* held = held_before(&w);
    const Change old{held->segments, held->openings, true};
    std::unique_ptr<WallElem> was(static_cast<WallElem*>(w.clone().release()));
    was->segments = old.segs;
    was->openings = old.ops;
    // What other walls were planned to take before this wall, to go back to
    // if this wall's openings must all stay.
    const std::map<WallElem*, Change> planned = changes_;
    const std::vector<Refused> refused_before = refused_;
    Change mine;
    bool ok = wall_outline_close_gaps(*was, moved, mine.segs);
    std::vector<WallOpening> back;
    for (std::size_t i = 0; ok && i < w.openings.size(); ++i) {
      WallOpening o = w.openings[i];
      clear_marks(o);
      if (!moved[i]) mine.ops.push_back(o);
    }
    for (std::size_t i = 0; ok && i < w.openings.size(); ++i) {
      if (!moved[i] || w.openings[i].kind == OPENING_REMOVED) continue;
      WallOpening o = w.openings[i];
      clear_marks(o);
      o.reserved = 0;
      const bool room = static_cast<int>(mine.ops.size()) < WALL_MAX_OPENINGS;
      if (room && wall_outline_cut_box(o.corner, o.stop_width, o.stop_depth, mine.segs)) {
        mine.ops.push_back(o);
        continue;
      }
      Refused why = Refused::NO_WALL;
      if (other_wall_for(o, w, why)) continue;
      if (across(o.corner, w) && why == Refused::NO_WALL) why = Refused::ACROSS;
      refuse(why);
      WallOpening stays = old.ops[i];
      clear_marks(stays);
      back.push_back(stays);
    }
    // The openings that stay are cut in again where they were, which
    // cannot fail unless another opening moved into that place.
    for (const WallOpening& o : back) {
      if (!ok || !wall_outline_cut_box(o.corner, o.stop_width, o.stop_depth, mine.segs)) {
        ok = false;
        break;
      }
      mine.ops.push_back(o);
    }
    const auto moving = static_cast<std::size_t>(std::count(moved.begin(), moved.end(), true));
    if (ok && back.size() < moving) {
      changes_[&w] = std::move(mine);
      return;
    }
    if (ok) {
      // None went anywhere: the wall is as it was, to the order of its
      // segments.
      changes_[&w] = old;
      return;
    }
    // The wall goes back whole to how it was, and no other wall takes any
    // of its openings.
    changes_ = planned;
    refused_ = refused_before;
    refuse(Refused::ACROSS);
    changes_[&w] = old;
  }

  static void commit(WallElem* w, Change& c) {
    redraw().draw_element(DRAW_ERASE, w);
    w->segments = std::move(c.segs);
    w->openings = std::move(c.ops);
    elem_update_size(*w);
    elem_touch(w);
    drawing_modified = 1;
    redraw().draw_element(DRAW_NORMAL, w);
  }

  const WallOpeningsMoved& before_;
  std::unordered_map<const WallElem*, const WallOpeningsMoved::Held*> held_;
  std::vector<WallElem*> hosts_, others_;
  std::map<WallElem*, Change> changes_;
  std::vector<Refused> refused_;
};

}  // namespace

WallOpeningsMoved wall_openings_before_move() {
  WallOpeningsMoved out;
  for (ElemHeader* e = elem_list_head; e; e = e->next)
    if (auto* w = elem_as<WallElem>(e))
      if (holds_moved_openings(*w)) out.walls.push_back({w, w->segments, w->openings});
  return out;
}

void wall_place_moved_openings(const WallOpeningsMoved& before) {
  if (before.walls.empty()) return;
  try {
    Placement(before).run();
  } catch (const std::bad_alloc&) {
    // No memory: the walls stay as the move left them, for the re-fit.
  }
}

namespace {

// Whether every wall that changes keeps its openings in its own outline
// when the change moves its points; else false after an error box that
// says why.
template <typename Changes, typename Move>
bool walls_keep_openings(Changes changes, Move move) {
  try {
    for (ElemHeader* e = elem_list_head; e; e = e->next) {
      const auto* w = elem_as<WallElem>(e);
      if (!w || w->openings.empty() || !changes(*w)) continue;
      WallElem moved;
      std::copy(std::begin(w->corner), std::end(w->corner), std::begin(moved.corner));
      moved.openings = w->openings;
      for (Point3& p : moved.corner) move(p);
      for (WallOpening& o : moved.openings)
        for (Point3& p : o.corner) move(p);
      if (!openings_fit_corners(moved)) {
        ui().msgbox_error(
            nls_translate("The wall was not stretched: one of its openings would not fit in it any more."));
        return false;
      }
    }
  } catch (const std::bad_alloc&) {
    // No memory for the look: the change goes ahead as it did before.
  }
  return true;
}

}  // namespace

bool wall_stretch_keeps_openings(double dx, double dy, double dz) {
  // A wall moved whole carries its openings along.
  return walls_keep_openings([](const WallElem& w) { return w.mark != 1 && any_marked(w.corner, 8); },
                             [&](Point3& p) {
                               if (p.mark != 1) return;
                               p.x += dx;
                               p.y += dy;
                               p.z += dz;
                             });
}

bool wall_scale_keeps_openings(double x0, double y0, double z0, double fx, double fy, double fz) {
  // The openings' boxes scale with the wall, their stops do not: a box
  // made narrower near the wall's end can leave its stop past it.
  return walls_keep_openings([](const WallElem& w) { return w.mark == 1; },
                             [&](Point3& p) {
                               p.x = x0 + (p.x - x0) * fx;
                               p.y = y0 + (p.y - y0) * fy;
                               p.z = z0 + (p.z - z0) * fz;
                             });
}
