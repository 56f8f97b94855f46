#include "hlr_reference.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

int corner(const HlrScene& scene, const HlrFace& f, int i) { return scene.corners[f.first + (i % f.n)]; }

void classify(HlrScene& scene, const HlrOptions& options, int front, bool same_face, int r, int i) {
  const HlrFace& rf = scene.faces[r];
  const int p = corner(scene, rf, i);
  const int q = corner(scene, rf, i + 1);
  int a = 0;
  for (size_t s = r + 1; s < scene.faces.size(); ++s) {
    const HlrFace& sf = scene.faces[s];
    if (sf.front != front || sf.body != rf.body) continue;
    for (int j = 0; j < sf.n; ++j) {
      if (corner(scene, sf, j) == q && corner(scene, sf, j + 1) == p) {
        scene.classes[sf.first + j] = 0;
        a = hlr_smooth(rf, sf, options) ? 2 : 1;
      }
    }
  }
  if (same_face) {
    for (int j = 0; j < rf.n; ++j)
      if (corner(scene, rf, j) == q && corner(scene, rf, j + 1) == p) a = 2;
  }
  scene.classes[rf.first + i] = static_cast<int8_t>(a == 0 ? 2 : a == 1 ? 1 : 0);
}

// Calls fn(q) for every face the scan for face p visits; `other` (the
// second face of a cut) is passed over.
template <typename Fn>
void scan(const HlrScene& scene, int p, int other, Fn fn) {
  const HlrFace& pf = scene.faces[p];
  for (size_t q = 0; q < scene.faces.size(); ++q) {
    const HlrFace& qf = scene.faces[q];
    if (!qf.front) continue;
    if (qf.dmin > pf.dmax) break;
    if (static_cast<int>(q) == p || static_cast<int>(q) == other || !hlr_boxes_overlap(pf, qf)) continue;
    fn(qf);
  }
}

double length(double x1, double y1, double x2, double y2) {
  return std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
}

}  // namespace

HlrCounts hlr_render_reference(HlrScene& scene, const HlrOptions& options, HlrSink& sink) {
  HlrCounts counts;
  const int nf = static_cast<int>(scene.faces.size());
  std::fill(scene.classes.begin(), scene.classes.end(), int8_t{-1});
  for (int r = 0; r < nf; ++r) {
    if (!scene.faces[r].front) continue;
    for (int i = 0; i < scene.faces[r].n; ++i)
      if (scene.classes[scene.faces[r].first + i] == -1) classify(scene, options, 1, true, r, i);
  }

  // Every pair of faces of different meshes, one of them facing the viewer
  // unless hidden edges are drawn; the cuts in the order of the face that
  // draws them.
  std::vector<HlrCut> cuts;
  for (int f = 0; f < nf; ++f)
    for (int g = f + 1; g < nf; ++g)
      if (scene.faces[f].front || scene.faces[g].front || options.hidden_edges)
        hlr_face_cuts(scene, f, g, cuts);
  std::stable_sort(cuts.begin(), cuts.end(), [](const HlrCut& x, const HlrCut& y) {
    return x.owner != y.owner ? x.owner < y.owner : x.other < y.other;
  });

  bool join_valid = false;
  HlrLine join;
  for (int p = 0; p < nf; ++p) {
    const HlrFace& pf = scene.faces[p];
    if (!pf.front) continue;
    const HlrBody& body = scene.bodies[pf.body];
    struct Line {
      int other, cls;
      HlrUvd s, e;
    };
    std::vector<Line> lines;
    for (int i = 0; i < pf.n; ++i) {
      const int cls = scene.classes[pf.first + i];
      if (cls == 1 || cls == 2)
        lines.push_back({-1, cls, scene.uvd[corner(scene, pf, i)], scene.uvd[corner(scene, pf, i + 1)]});
    }
    for (const HlrCut& c : cuts)
      if (c.owner == p) lines.push_back({c.other, 1, c.a, c.b});
    for (const Line& line : lines) {
      const int cls = line.cls;
      const HlrUvd s = line.s;
      const HlrUvd e = line.e;
      std::vector<HlrUvd> breaks{s, e};
      scan(scene, p, line.other, [&](const HlrFace& qf) {
        for (int k = 0; k < qf.n; ++k) {
          if (scene.classes[qf.first + k] != 2) continue;
          const auto x =
              hlr_crossing(s, e, scene.uvd[corner(scene, qf, k)], scene.uvd[corner(scene, qf, k + 1)]);
          if (x && hlr_which_in_front(pf, qf, x->u, x->v) != 1) breaks.push_back(*x);
        }
        if (const auto x = hlr_pierce(scene, pf, qf, s, e)) breaks.push_back(*x);
      });
      std::stable_sort(breaks.begin(), breaks.end(), [&](const HlrUvd& m, const HlrUvd& n) {
        return (m.u - s.u) * (m.u - s.u) + (m.v - s.v) * (m.v - s.v) <
               (n.u - s.u) * (n.u - s.u) + (n.v - s.v) * (n.v - s.v);
      });
      for (size_t k = 0; k + 1 < breaks.size(); ++k) {
        const HlrUvd a = breaks[k];
        const HlrUvd b = breaks[k + 1];
        const double mu = (a.u + b.u) * 0.5, mv = (a.v + b.v) * 0.5;
        bool hidden = false;
        scan(scene, p, line.other, [&](const HlrFace& qf) {
          if (mu >= qf.umin - 1e-9 && mu <= qf.umax + 1e-9 && mv >= qf.vmin - 1e-9 && mv <= qf.vmax + 1e-9 &&
              hlr_inside_face(scene, qf, mu, mv) && hlr_which_in_front(pf, qf, mu, mv) == -1)
            hidden = true;
        });
        if (hidden && !options.hidden_edges) continue;
        const uint8_t pen = hlr_pen(body, cls, options);
        const uint8_t lt = hidden ? 1 : body.line_type;
        if (join_valid && pen == join.pen && lt == join.line_type &&
            hlr_continues(join, a, b, scene.tolerance)) {
          HlrLine seg{join.x2, join.y2, b.u, b.v, pen, lt};
          if (sink.clip(seg)) {
            ++counts.joins;
            join.x2 = seg.x2;
            join.y2 = seg.y2;
            sink.line_extend(seg.x2, seg.y2);
          }
        } else if (length(a.u, a.v, b.u, b.v) > 1e-9) {
          HlrLine seg{a.u, a.v, b.u, b.v, pen, lt};
          if (sink.clip(seg)) {
            sink.line_new(seg);
            ++counts.lines;
            join = seg;
            join_valid = true;
          }
        }
      }
    }
  }

  if (!options.hidden_edges) return counts;
  std::fill(scene.classes.begin(), scene.classes.end(), int8_t{-1});
  for (int r = 0; r < nf; ++r) {
    const HlrFace& rf = scene.faces[r];
    if (rf.front) continue;
    for (int i = 0; i < rf.n; ++i) {
      if (scene.classes[rf.first + i] != -1) continue;
      classify(scene, options, 0, false, r, i);
      if (scene.classes[rf.first + i] != 1) continue;
      const HlrUvd s = scene.uvd[corner(scene, rf, i)];
      const HlrUvd e = scene.uvd[corner(scene, rf, i + 1)];
      if (!(length(s.u, s.v, e.u, e.v) > 1e-9)) continue;
      const uint8_t pen = options.single_colour ? 0 : scene.bodies[rf.body].pen;
      HlrLine seg{s.u, s.v, e.u, e.v, pen, 1};
      if (!sink.clip(seg)) continue;
      sink.line_new(seg);
      ++counts.lines;
    }
  }
  for (const HlrCut& c : cuts) {
    const HlrFace& owner = scene.faces[c.owner];
    if (owner.front || !(length(c.a.u, c.a.v, c.b.u, c.b.v) > 1e-9)) continue;
    HlrLine seg{c.a.u,
                c.a.v,
                c.b.u,
                c.b.v,
                static_cast<uint8_t>(options.single_colour ? 0 : scene.bodies[owner.body].pen),
                1};
    if (!sink.clip(seg)) continue;
    sink.line_new(seg);
    ++counts.lines;
  }
  return counts;
}
