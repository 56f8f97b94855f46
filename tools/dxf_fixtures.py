#!/usr/bin/python3
"""Writes the DXF files the import tests read (tests/exchange/data) with
Debian's python3-ezdxf, so that the reader meets another program's way of
writing DXF: R12 files and R2000 files with handles, subclass markers,
CLASSES and OBJECTS.

The files are committed; run this only to change them:
    tools/dxf_fixtures.py tests/exchange/data
"""
import math
import sys
from pathlib import Path

import ezdxf


def layers(doc):
    doc.layers.new("Walls", dxfattribs={"color": 1})
    doc.layers.new("Doors", dxfattribs={"color": 2, "linetype": "DASHED"})
    doc.layers.new("Hidden", dxfattribs={"color": 3}).freeze()


def basic(version, name, out):
    """3 lines, 2 circles, 1 arc and a point; one line on a frozen layer."""
    doc = ezdxf.new(version, setup=True)
    layers(doc)
    msp = doc.modelspace()
    msp.add_line((0, 0), (4000, 0), dxfattribs={"layer": "Walls"})
    msp.add_line((4000, 0), (4000, 3000), dxfattribs={"layer": "Walls"})
    msp.add_line((0, 0), (0, 3000), dxfattribs={"layer": "Doors", "color": 5})
    msp.add_line((0, 0), (9000, 9000), dxfattribs={"layer": "Hidden"})
    msp.add_circle((2000, 1500), 500, dxfattribs={"layer": "Walls"})
    msp.add_circle((1000, 1000), 250)
    msp.add_arc((2000, 1500), 800, 350, 10, dxfattribs={"layer": "Doors"})
    msp.add_point((100, 100))
    doc.saveas(out / name)


def polylines_r12(out):
    """A closed 2D polyline with bulges, a 3D polyline, a polyface and a 3 x 4 mesh."""
    doc = ezdxf.new("R12")
    msp = doc.modelspace()
    msp.add_polyline2d([(0, 0, 0, 0, 0), (4, 0, 0, 0, 1), (4, 3, 0, 0, 0), (0, 3, 0, 0, -0.5)],
                       format="xyseb", close=True)
    msp.add_polyline3d([(0, 0, 0), (1, 0, 1), (1, 1, 2)])
    face = msp.add_polyface()
    face.append_faces([[(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)], [(0, 0, 0), (1, 0, 0), (0.5, 0.5, 1)]])
    mesh = msp.add_polymesh(size=(3, 4))
    for m in range(3):
        for n in range(4):
            mesh.set_mesh_vertex((m, n), (m, n, 0.1 * m * n))
    doc.saveas(out / "polylines_r12.dxf")


def polylines_r2000(out):
    """Lightweight polylines: open with bulges, closed (flag 1) and closed with line-type generation (129)."""
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    msp.add_lwpolyline([(0, 0, 0, 0, 1), (2, 0, 0, 0, 0), (2, 2, 0, 0, -0.5), (0, 2)], format="xyseb")
    msp.add_lwpolyline([(5, 0), (7, 0), (6, 1)], close=True)
    p = msp.add_lwpolyline([(10, 0), (12, 0), (12, 2), (10, 2, 0, 0, 1)], format="xyseb", close=True)
    p.dxf.flags = 129
    doc.saveas(out / "polylines_r2000.dxf")


def hatches(out):
    """A solid hatch whose outer path is a polyline with bulges and whose island is a circle edge path,
    a pattern hatch of line edges, and a hatch bounded by a spline edge."""
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    h = msp.add_hatch(color=1)
    h.paths.add_polyline_path([(0, 0, 0.3), (10, 0, 0), (10, 6, 0.3), (0, 6, 0)], is_closed=True,
                              flags=ezdxf.const.BOUNDARY_PATH_EXTERNAL)
    island = h.paths.add_edge_path(flags=ezdxf.const.BOUNDARY_PATH_OUTERMOST)
    island.add_arc((5, 3), 1.5, 0, 360)
    p = msp.add_hatch()
    p.set_pattern_fill("ANSI31", scale=0.5)
    edges = p.paths.add_edge_path()
    for a, b in [((12, 0), (16, 0)), ((16, 0), (16, 4)), ((16, 4), (12, 4)), ((12, 4), (12, 0))]:
        edges.add_line(a, b)
    s = msp.add_hatch(color=5)
    spline = s.paths.add_edge_path()
    spline.add_spline(control_points=[(20, 0), (22, 3), (24, 0)], degree=2)
    spline.add_line((24, 0), (20, 0))
    doc.saveas(out / "hatches_r2000.dxf")


def splines(out):
    """A cubic spline by four control points, and one by fit points only."""
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    msp.add_open_spline([(0, 0), (1, 2), (3, 2), (4, 0)], degree=3)
    msp.add_spline(fit_points=[(0, 5), (2, 6), (4, 5), (6, 6)])
    doc.saveas(out / "splines_r2000.dxf")


def blocks(version, name, out):
    """A block that inserts another defined after it; the outer block inserted plain and mirrored."""
    doc = ezdxf.new(version)
    msp = doc.modelspace()
    pair = doc.blocks.new("PAIR")
    door = doc.blocks.new("DOOR", base_point=(0, 0))
    door.add_line((0, 0), (0, 1))
    door.add_arc((0, 0), 1, 0, 90)
    door.add_text("D", dxfattribs={"height": 0.2, "insert": (0.2, 0.1)})
    pair.add_blockref("DOOR", (0, 0))
    pair.add_blockref("DOOR", (3, 0), dxfattribs={"xscale": -1})
    msp.add_blockref("PAIR", (10, 10))
    msp.add_blockref("PAIR", (10, 20), dxfattribs={"xscale": -1, "rotation": 90})
    doc.saveas(out / name)


def texts(out):
    """Texts with alignments, an MTEXT with formatting codes and dimensions."""
    doc = ezdxf.new("R2000", setup=True)
    msp = doc.modelspace()
    msp.add_text("Plan 1:100", dxfattribs={"height": 0.5}).set_pos((0, 10), align="LEFT")
    msp.add_text("Mitte", dxfattribs={"height": 0.35}).set_pos((5, 10), align="MIDDLE_CENTER")
    msp.add_text("Ø 20 ±1 45°", dxfattribs={"height": 0.25}).set_pos((0, 9))
    msp.add_mtext("{\\fArial|b1;Küche}\\P12,5 m\\U+00B2 \\H0.7x;\\S1^2;", dxfattribs={"char_height": 0.3,
                                                                                      "insert": (0, 8)})
    dim = msp.add_linear_dim(base=(0, 2), p1=(0, 0), p2=(4, 1))
    dim.render()
    dim = msp.add_aligned_dim(p1=(0, 0), p2=(4, 3), distance=1)
    dim.render()
    dim = msp.add_angular_dim_3p(base=(3, 3), center=(0, 0), p1=(4, 0), p2=(0, 4))
    dim.render()
    dim = msp.add_radius_dim(center=(10, 0), radius=2, angle=45)
    dim.render()
    doc.saveas(out / "texts_r2000.dxf")


def dimensions(out):
    """A linear, a radius, a diameter, a 3-point angular and an ordinate dimension, each with its block."""
    doc = ezdxf.new("R2000", setup=True)
    msp = doc.modelspace()
    msp.add_linear_dim(base=(0, 2), p1=(0, 0), p2=(4, 0)).render()
    msp.add_radius_dim(center=(10, 0), radius=2, angle=45).render()
    msp.add_diameter_dim(center=(20, 0), radius=1.5, angle=30).render()
    msp.add_angular_dim_3p(base=(3, 3), center=(0, 0), p1=(4, 0), p2=(0, 4)).render()
    msp.add_ordinate_x_dim(feature_location=(30, 2), offset=(0, 3), origin=(28, 0)).render()
    doc.saveas(out / "dimensions_r2000.dxf")


def inserts_r12(out):
    """A 2 x 3 grid insert, an insert with a visible and an invisible attribute, texts in code page 1252."""
    doc = ezdxf.new("R12")
    doc.header["$DWGCODEPAGE"] = "ANSI_1252"
    msp = doc.modelspace()
    cell = doc.blocks.new("CELL")
    cell.add_circle((0, 0), 0.25)
    tag = doc.blocks.new("TAG")
    tag.add_line((0, 0), (2, 0))
    tag.add_attdef("NO", (0, 0.2), dxfattribs={"height": 0.3})
    tag.add_attdef("CODE", (0, -0.5), dxfattribs={"height": 0.3, "flags": 1})
    msp.add_blockref("CELL", (0, 0), dxfattribs={"column_count": 2, "row_count": 3,
                                                  "column_spacing": 1, "row_spacing": 2})
    ref = msp.add_blockref("TAG", (10, 0), dxfattribs={"rotation": 90})
    ref.add_auto_attribs({"NO": "R 101", "CODE": "x7"})
    msp.add_text("Preis 5 \u20ac \u201eneu\u201c \u2013 K\u00fcche", dxfattribs={"height": 0.5, "insert": (0, 10)})
    doc.saveas(out / "inserts_r12.dxf")


def left_out(out):
    """An MTEXT turned by its rotation only, an IMAGE and two paper-space lines."""
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    msp.add_mtext("Turned", dxfattribs={"char_height": 0.5, "insert": (1, 1), "rotation": 90})
    image_def = doc.add_image_def(filename="plan.png", size_in_pixel=(100, 100))
    msp.add_image(image_def, insert=(0, 0), size_in_units=(4, 4))
    msp.add_line((0, 0), (1, 1))
    paper = doc.layout("Layout1")
    paper.add_line((0, 0), (100, 0))
    paper.add_line((0, 0), (0, 100))
    doc.saveas(out / "left_out_r2000.dxf")


def empty_grids(out):
    """A 32767 x 32767 grid of a block whose only content is an insert of an empty block, and the
    same grid of a block that inserts the empty block 32767 x 32767 times: nothing to make."""
    doc = ezdxf.new("R12")
    msp = doc.modelspace()
    doc.blocks.new("E")
    doc.blocks.new("A").add_blockref("E", (0, 0))
    doc.blocks.new("B").add_blockref("E", (0, 0), dxfattribs={"column_count": 32767, "row_count": 32767,
                                                             "column_spacing": 1, "row_spacing": 1})
    grid = {"column_count": 32767, "row_count": 32767, "column_spacing": 1, "row_spacing": 1}
    msp.add_blockref("A", (0, 0), dxfattribs=grid)
    msp.add_blockref("B", (0, 0), dxfattribs=grid)
    msp.add_line((0, 0), (1, 1))
    doc.saveas(out / "empty_grids_r12.dxf")


def huge_grid(out):
    """A 32767 x 32767 grid of a block holding the same grid of a one-line block."""
    doc = ezdxf.new("R12")
    msp = doc.modelspace()
    doc.blocks.new("L").add_line((0, 0), (1, 0))
    grid = {"column_count": 32767, "row_count": 32767, "column_spacing": 1, "row_spacing": 1}
    doc.blocks.new("A").add_blockref("L", (0, 0), dxfattribs=grid)
    msp.add_blockref("A", (0, 0), dxfattribs=grid)
    doc.saveas(out / "huge_grid_r12.dxf")


def missing_blocks(out):
    """Inserts of a block nobody defined, at the top and inside a block; a block holding an XLINE
    (which the program does not take) inserted once plain and once as a 2 x 1 grid."""
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    mark = doc.blocks.new("MARK")
    mark.add_line((0, 0), (1, 0))
    mark.add_xline((0, 0), (1, 1))
    mark.add_blockref("NOPE", (0, 0))
    msp.add_blockref("MARK", (0, 0))
    msp.add_blockref("MARK", (5, 0), dxfattribs={"column_count": 2, "row_count": 1, "column_spacing": 3})
    msp.add_blockref("NOPE", (9, 9))
    doc.saveas(out / "missing_blocks_r2000.dxf")


def diameters(out):
    """A circle of radius 2 about (5, 5) with diameter dimensions at 0, 90 and 200 degrees, their
    figures written beside the line."""
    doc = ezdxf.new("R2000", setup=True)
    msp = doc.modelspace()
    msp.add_circle((5, 5), 2)
    for angle in (0, 90, 200):
        msp.add_diameter_dim(center=(5, 5), radius=2, angle=angle).render()
    doc.saveas(out / "diameters_r2000.dxf")


def contour_end_points(out):
    """Vertices at (999, 999), where the program's outlines end a contour: a lightweight and a 2D
    polyline through it, hatches with a polyline path and an edge path corner there, a solid corner,
    and a block's hatch inserted so that its corner lands there."""
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    msp.add_lwpolyline([(0, 0), (999, 999), (2000, 0)])
    msp.add_polyline2d([(0, 10), (999, 999), (2000, 10)])
    h = msp.add_hatch(color=1)
    h.paths.add_polyline_path([(999, 999), (1010, 999), (1010, 1010), (999, 1010)], is_closed=True)
    e = msp.add_hatch(color=2)
    edges = e.paths.add_edge_path()
    for a, b in [((990, 990), (999, 999)), ((999, 999), (990, 999)), ((990, 999), (990, 990))]:
        edges.add_line(a, b)
    msp.add_solid([(999, 999), (1005, 999), (999, 1005)])
    cell = doc.blocks.new("CELL")
    c = cell.add_hatch(color=3)
    c.paths.add_polyline_path([(0, 0), (1, 0), (1, 1), (0, 1)], is_closed=True)
    msp.add_blockref("CELL", (999, 999))
    msp.add_blockref("CELL", (5, 5))
    doc.saveas(out / "contour_end_r2000.dxf")


def no_numbers(out):
    """A LINE starting at (nan, 0), a CIRCLE of radius nan, an LWPOLYLINE whose vertex count reads -1,
    and one good line."""
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    msp.add_line((math.nan, 0), (1, 1))
    msp.add_circle((0, 0), math.nan)
    msp.add_lwpolyline([(0, 0), (1, 0), (1, 1)])
    msp.add_line((0, 0), (2, 2))
    path = out / "no_numbers_r2000.dxf"
    doc.saveas(path)
    text = path.read_text()
    at = text.index("LWPOLYLINE\n  5\n")
    count = text.index(" 90\n3\n", at)
    path.write_text(text[:count] + " 90\n-1\n" + text[count + len(" 90\n3\n"):])


def code_pages(out):
    """Texts in Polish (ANSI_1250), Russian (ANSI_1251) and Greek (ANSI_1253, which the program
    does not know), each written in its file's code page, one of them inside a block inserted twice."""
    for page, words in (("ANSI_1250", "\u0141\u00f3d\u017a i Brno"), ("ANSI_1251", "\u0414\u043e\u043c 5"),
                        ("ANSI_1253", "\u0391\u03b8\u03ae\u03bd\u03b1")):
        doc = ezdxf.new("R12")
        doc.encoding = "cp" + page[5:]
        msp = doc.modelspace()
        msp.add_text(words, dxfattribs={"height": 0.5, "insert": (0, 0)})
        sign = doc.blocks.new("SIGN")
        sign.add_text(words, dxfattribs={"height": 0.5, "insert": (0, 1)})
        msp.add_blockref("SIGN", (0, 0))
        msp.add_blockref("SIGN", (5, 0))
        doc.saveas(out / ("codepage_" + page[5:] + "_r12.dxf"))


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else "tests/exchange/data")
    out.mkdir(parents=True, exist_ok=True)
    basic("R12", "basic_r12.dxf", out)
    basic("R2000", "basic_r2000.dxf", out)
    polylines_r12(out)
    polylines_r2000(out)
    hatches(out)
    splines(out)
    blocks("R12", "blocks_r12.dxf", out)
    blocks("R2000", "blocks_r2000.dxf", out)
    texts(out)
    dimensions(out)
    inserts_r12(out)
    left_out(out)
    empty_grids(out)
    huge_grid(out)
    missing_blocks(out)
    diameters(out)
    contour_end_points(out)
    no_numbers(out)
    code_pages(out)


if __name__ == "__main__":
    main()
