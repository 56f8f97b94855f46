#pragma once

// The operations on the selection: delete, move, copy, multiple copy, linear
// and polar series, rotate, mirror, stretch, the pen and line-type changes,
// grouping and ungrouping. Each starts with an interactive selection and ends
// at once when that is cancelled; each action it takes is one undo step.
// Move, copy, multiple copy and rotate repeat until cancelled; the others act
// once per start (ungroup repeats on new selections).
//
// The symbol commands share the selection and the drag previews: saving the
// selection as a symbol or into the clipboard, placing a symbol or the
// clipboard, and the symbol library's files and folders.

#include <cstdint>
#include <functional>
#include <vector>

#include "model/elem.h"

struct WallJointPlan;
struct WallCopyJoints;

struct InputRequest;

// The handlers of the b_edit_ keys and of b_symbol_group, b_symbol_ungroup.
void tool_edit_delete();
void tool_edit_move();
void tool_edit_copy();
void tool_edit_mcopy();
void tool_edit_series();
void tool_edit_rotate();
void tool_edit_pseries();
void tool_edit_mirror();
// keep_text 0 scales text heights with the x factor, 1 keeps them.
void tool_edit_stretch(int keep_text);
void tool_edit_alter_all();
void tool_edit_alter_pen();
void tool_edit_alter_line();
void tool_symbol_group();
void tool_symbol_ungroup();

// Mode 0 saves the selection as a symbol file (asks for the file), 1 copies
// it into the clipboard, 2 cuts it (copies, then deletes it).
void tool_symbol_save(int mode);
// Mode 0 places a symbol file (asks for the file), 1 the clipboard, 2 the
// symbol chosen in the symbol browser (symbol_file) at symbol_angle.
void symbol_load(int mode);
// Removes a symbol file, creates and removes folders of the library; the
// user names them in a file chooser. No shell is involved.
void tool_symbol_remove();
void tool_symbol_library_new();
void tool_symbol_library_remove();

// The arithmetic of the tools.

// The drag preview of the marked elements with the box of the last
// view_zoom_to_extents(1): the reference point (rx, ry, rz) lands on the
// target (tx, ty, tz), turned by angle about it.
void edit_drag_preview(double rx, double ry, double rz, double tx, double ty, double tz, double angle);

// The scale factor along one axis for a drag from p0 to p1 about the fixed
// coordinate f: 1 when p0 and p1 are equal or p0 lies on f, else
// |p1 - f| / |p0 - f|.
double edit_stretch_factor(double f, double p0, double p1);
// A factor as the stretch uses it: one that is not positive or not finite
// becomes 1.
double edit_usable_factor(double factor);

// Whether view_type shows the plan or an elevation (0, 2, 4, 6, 8), where
// rotations are about a centre; the other views take an axis.
bool edit_view_has_centre(int view_type);
// The second point of the rotation axis through a for a view: a unit step
// towards the viewer's depth in an elevation (view 2 y + 1, 4 x + 1,
// 6 x - 1, 8 y - 1), straight up elsewhere.
Point3 edit_axis_end(int view_type, const Point3& a);

// Whether the plane through a, b and c is defined: its normal is not
// shorter than 1e-9.
bool edit_plane_defined(const Point3& a, const Point3& b, const Point3& c);

// Shared by the tools: asks for a move vector ("Move XYZ/Start point:",
// "Move XYZ/End point:", "Move XYZ/Confirm:") with the move rubber bands.
// True with the vector in d when both points were given and differ, or
// when an axis key at the start point gave a distance other than 0 along
// its axis; false when the request ended otherwise or the vector is zero
// (the same point twice, Enter at the start point).
bool edit_ask_vector(InputRequest& r, Point3& d);
// "Number of copies:" of the series tools: the count typed (the selection
// included), at most EDIT_SERIES_MAX; 0 when the request ended otherwise or
// the count is below 2.
inline constexpr int EDIT_SERIES_MAX = 1000;
int edit_ask_copies(InputRequest& r);
// The elements a series of n (the selection included) with per_copy
// elements each creates, held to the largest int.
int edit_series_undo_count(int n, int per_copy);

// The marked walls in list order.
std::vector<WallElem*> edit_marked_walls();
// The plan that joins the marked walls, copies just made, where they land
// (wall_joints_of_copies); the list is searched for them only when the
// originals had joints to give them.
WallJointPlan edit_joints_of_marked_copies(const WallCopyJoints& originals);
// The copies of a series of n (the selection included): n - 1 sets, each
// copied from the set before it (the selection first) and put in place by
// place, which is given every copy of set k (1 .. n - 1). The copies get
// groups of their own per set, are recorded as one creation step and are
// all marked at the end, their walls joined where they land to the walls
// the selection was joined to. Each set costs the work of its own elements,
// not a walk over the drawing.
void edit_make_series(int n, const std::function<void(ElemHeader*, int)>& place);
