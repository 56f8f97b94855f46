// The union of two spheres of about 100,000 triangles each through the
// mesh boolean tool: writing the operands, the tool, reading the parts
// back, joining, the clean-up steps and the checks of the result. Each
// benchmark then checks the solid it made (outside the timing): closed,
// and of the volume the exact spheres give to within the faceting, with
// union and intersection adding up to the two spheres. A wrong or missing
// result ends the benchmark with an error.
#include "building/solid/mesh_boolean.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "../tests/building/test_solids.h"
#include "building/solid/solid_mesh.h"
#include "model/elem.h"
#include "model/layers.h"
#include "model/triangulate.h"
#include "model/ui.h"
#include "model/undo.h"
#include "platform/temp_folder.h"

namespace {

// Metres, as an architect draws: faces under a square centimetre count as
// degenerate where the operands are written.
//
// A UV sphere in the program's winding: 2 segments (rings - 1) triangles.
SolidMesh sphere(Point3 c, double r, int rings, int segments) {
  return wound(uv_sphere(c, r, rings, segments));
}

std::string said;
void keep(const char* text) { said = text; }
void keep_message(const char*, const char* text) { said = text; }

ElemHeader* add(SolidMesh s) {
  elem_new_mesh(0, 1, 1, s.vertex_count(), s.face_count(), s.face_sizes.data(), s.vertices.data(),
                s.indices.data(), "Default", 0);
  return elem_list_tail;
}

// The volume of the last element, a mesh, and whether its triangles close
// up: every directed edge met once, and once the other way.
std::pair<double, bool> last_volume_and_closed() {
  const auto* m = elem_as<MeshElem>(elem_list_tail);
  if (!m) return {0, false};
  const auto [v, closed] = volume_and_closed(*m);
  return {std::fabs(v), closed};
}

// The volume the exact spheres of radii R and r, centres d apart (d < R +
// r, d > |R - r|), share.
double lens(double R, double r, double d) {
  return M_PI * (R + r - d) * (R + r - d) *
         (d * d + 2 * d * r - 3 * r * r + 2 * d * R + 6 * r * R - 3 * R * R) / (12 * d);
}

// Spheres of rings x rings quads, radius 10 s about the origin and 9 s
// about (7, 3, 2) s: the union is timed; then, untimed, the intersection,
// and both are checked.
void spheres(benchmark::State& state, int rings, double s) {
  mesh_boolean_tool = KAVRO_BENCH_GTS_BSO;
  UiTable table;
  table.msgbox_error = keep;
  table.msgbox_message = keep_message;
  ui_install(table);
  const SolidMesh a = sphere({0, 0, 0, 0}, 10.0 * s, rings, rings);
  const SolidMesh b = sphere({7 * s, 3 * s, 2 * s, 0}, 9.0 * s, rings, rings);
  // What the clean-up steps print is no part of the measure.
  std::fflush(stdout);
  const int saved_stdout = dup(1);
  const int quiet = open("/dev/null", O_WRONLY);
  dup2(quiet, 1);
  int made = 0;
  for (auto _ : state) {
    state.PauseTiming();
    undo_record(UNDO_CLEAR, 0);
    drawing_free();
    ElemHeader* first = add(a);
    ElemHeader* second = add(b);
    state.ResumeTiming();
    made = mesh_boolean(MESH_BOOLEAN_UNION, first, second, temp_folder());
  }
  const std::string union_said = said;
  const auto [union_volume, union_closed] = last_volume_and_closed();
  undo_record(UNDO_CLEAR, 0);
  drawing_free();
  ElemHeader* first = add(a);
  ElemHeader* second = add(b);
  // "No": neither operand is kept.
  table.msgbox_ask = [](const char*, int, const char* const*) { return 2; };
  ui_install(table);
  const int made_both = made + mesh_boolean(MESH_BOOLEAN_INTERSECTION, first, second, temp_folder());
  const auto [inter_volume, inter_closed] = last_volume_and_closed();
  std::fflush(stdout);
  dup2(saved_stdout, 1);
  close(saved_stdout);
  close(quiet);
  undo_record(UNDO_CLEAR, 0);
  drawing_free();

  const double va = solid_volume(a), vb = solid_volume(b);
  const double exact_union =
      4.0 / 3.0 * M_PI * (1000 + 729) * s * s * s - lens(10 * s, 9 * s, std::sqrt(62.0) * s);
  state.counters["triangles"] = static_cast<double>(a.face_count() + b.face_count());
  state.counters["made"] = made;
  state.counters["union_volume"] = union_volume;
  state.counters["exact_union"] = exact_union;
  if (!made) return state.SkipWithError(("no union: " + union_said).c_str());
  if (made_both != 2) return state.SkipWithError(("no intersection: " + said).c_str());
  if (!union_closed || !inter_closed) return state.SkipWithError("a result is not closed");
  // The facets cut off a share of the spheres of about (pi / rings)^2.
  const double faceting = 4 * (M_PI / rings) * (M_PI / rings);
  if (std::fabs(union_volume - exact_union) > faceting * exact_union)
    return state.SkipWithError("the union's volume is not the spheres'");
  if (std::fabs(union_volume + inter_volume - va - vb) > 1e-6 * (va + vb))
    return state.SkipWithError("union and intersection do not add up to the spheres");
  state.SetLabel("a closed result of the right volume");
}

void BM_UnionOfTwoSpheres(benchmark::State& state) { spheres(state, 224, 1.0); }
BENCHMARK(BM_UnionOfTwoSpheres)->Unit(benchmark::kSecond)->Iterations(1);

// Spheres of 28,560, 38,920 and 79,600 triangles, a metre across, where
// faces of the two cross nearly parallel.
void BM_SmallerSpheres(benchmark::State& state) { spheres(state, static_cast<int>(state.range(0)), 0.1); }
BENCHMARK(BM_SmallerSpheres)->Unit(benchmark::kSecond)->Iterations(1)->Arg(120)->Arg(140)->Arg(200);

// A table of sphere pairs a program meets: 0.3, 1 and 10 m across, the
// program's own sphere and spheres of 480 to 9,660 triangles, the second
// of 0.6 to 0.95 times the first's radius, turned every way and moved in
// a direction drawn at random (fixed seed) to overlap by a tenth to nine
// tenths of the distance its size allows. Every union, difference and
// intersection must give a closed solid; the facets lie inside the
// spheres, so the intersection holds no more than the exact spheres' lens
// and no less than the lens less what the facets cut off both spheres;
// difference and intersection add up to the first solid, union and
// intersection to both. The count of failures is a counter; any ends the
// benchmark with an error.
void BM_SphereTable(benchmark::State& state) {
  mesh_boolean_tool = KAVRO_BENCH_GTS_BSO;
  UiTable table;
  table.msgbox_error = keep;
  table.msgbox_message = keep_message;
  table.msgbox_ask = [](const char*, int, const char* const*) { return 2; };
  ui_install(table);
  // KAVRO_SPHERE_SEED draws another table of placements.
  const char* seed_text = std::getenv("KAVRO_SPHERE_SEED");
  unsigned seed = seed_text ? static_cast<unsigned>(std::strtoul(seed_text, nullptr, 10)) : 12345u;
  auto draw = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return ((seed >> 8) & 0xffffff) / static_cast<double>(0x1000000);
  };
  // 0 rings: the program's own sphere.
  const int kRings[] = {0, 16, 24, 36, 50, 70};
  int runs = 0, failed = 0;
  std::string first_failure;
  std::fflush(stdout);
  const int saved_stdout = dup(1);
  const int quiet = open("/dev/null", O_WRONLY);
  dup2(quiet, 1);
  for (auto _ : state) {
    for (double across : {0.3, 1.0, 10.0})
      for (int rings : kRings)
        for (int place = 0; place < 6; ++place) {
          const double R = across / 2, r = R * (0.6 + 0.35 * draw());
          const double d = R - r + 0.1 * R + draw() * (2 * r - 0.2 * R);
          const double theta = 2 * M_PI * draw(), phi = std::acos(2 * draw() - 1);
          const Point3 c{d * std::sin(phi) * std::cos(theta), d * std::sin(phi) * std::sin(theta),
                         d * std::cos(phi), 0};
          const SolidMesh a = rings ? sphere({0, 0, 0, 0}, R, rings, rings) : solid_sphere({0, 0, 0, 0}, R);
          SolidMesh b = rings ? sphere({0, 0, 0, 0}, r, rings, rings) : solid_sphere({0, 0, 0, 0}, r);
          const double ra = 2 * M_PI * draw(), rb = M_PI * draw(), rc = 2 * M_PI * draw();
          for (Point3& p : b.vertices) {
            // Rx(rc), then Ry(rb), then Rz(ra), then to its place.
            const double y1 = std::cos(rc) * p.y - std::sin(rc) * p.z,
                         z1 = std::sin(rc) * p.y + std::cos(rc) * p.z;
            const double x2 = std::cos(rb) * p.x + std::sin(rb) * z1,
                         z2 = -std::sin(rb) * p.x + std::cos(rb) * z1;
            p = {std::cos(ra) * x2 - std::sin(ra) * y1 + c.x, std::sin(ra) * x2 + std::cos(ra) * y1 + c.y,
                 z2 + c.z, 0};
          }
          const double va = solid_volume(a), vb = solid_volume(b);
          double volume[3] = {0, 0, 0};
          bool all = true;
          for (int mode : {MESH_BOOLEAN_UNION, MESH_BOOLEAN_DIFFERENCE, MESH_BOOLEAN_INTERSECTION}) {
            undo_record(UNDO_CLEAR, 0);
            drawing_free();
            ElemHeader* first = add(a);
            ElemHeader* second = add(b);
            said.clear();
            const int made = mesh_boolean(mode, first, second, temp_folder());
            const auto [v, closed] = last_volume_and_closed();
            volume[mode] = v;
            ++runs;
            if (!made || !closed) {
              all = false;
              ++failed;
              if (first_failure.empty())
                first_failure = std::to_string(across) + " m, " + std::to_string(rings) + " rings, pair " +
                                std::to_string(place) + ", mode " + std::to_string(mode) + ": " + said;
            }
          }
          undo_record(UNDO_CLEAR, 0);
          drawing_free();
          if (!all) continue;
          const double lens_exact = lens(R, r, d);
          const double cut_off = 4.0 / 3.0 * M_PI * (R * R * R + r * r * r) - va - vb;
          const double u = volume[MESH_BOOLEAN_UNION], i = volume[MESH_BOOLEAN_INTERSECTION],
                       f = volume[MESH_BOOLEAN_DIFFERENCE];
          if (i > lens_exact * (1 + 1e-9) || i < lens_exact - cut_off - 1e-9 * va ||
              std::fabs(f + i - va) > 1e-6 * va || std::fabs(u + i - va - vb) > 1e-6 * (va + vb)) {
            ++failed;
            if (first_failure.empty())
              first_failure = std::to_string(across) + " m, " + std::to_string(rings) + " rings, pair " +
                              std::to_string(place) + ": volumes";
          }
        }
  }
  std::fflush(stdout);
  dup2(saved_stdout, 1);
  close(saved_stdout);
  close(quiet);
  state.counters["runs"] = runs;
  state.counters["failed"] = failed;
  if (failed) return state.SkipWithError(("failed: " + first_failure).c_str());
  state.SetLabel("every result closed and of the right volume");
}
BENCHMARK(BM_SphereTable)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
