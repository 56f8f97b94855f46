#!/usr/bin/env python3
"""Tries the edits on joined walls from outside, as a user would make them.

Builds houses with kav-edit (an L-shaped house, the same turned by 30
degrees, walls of different thickness, walls meeting one wall from both
sides, doors near wall ends), runs every tool of the Edit page and the Wall
page's tools that change walls on each, and checks each saved drawing
through kavdump: outline ends left open, outlines of two walls crossing,
walls that Connect would still join, openings lost.

usage: wall_edits_check.py BUILD_DIR [FILTER]
BUILD_DIR holds tests/kav-edit and tests/kavdump; FILTER keeps the runs
whose "house edit" name contains it. Exit status 1 when a run fails a
check it is held to."""
import itertools
import math
import os
import re
import subprocess
import sys
import tempfile

if len(sys.argv) < 2:
    sys.exit(__doc__)
B = sys.argv[1]
EDIT = os.path.join(B, 'tests', 'kav-edit')
DUMP = os.path.join(B, 'tests', 'kavdump')
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# Any drawing that loads: each house starts with File > New.
START = os.path.join(SOURCE, 'tests', 'model', 'data', 'every_kind.kav')
W = tempfile.mkdtemp(prefix='wall-edits-')


def run_edit(inp, lines, out):
    sp = os.path.join(W, 'script.txt')
    open(sp, 'w').write('\n'.join(lines) + '\n')
    r = subprocess.run([EDIT, inp, sp, out], capture_output=True, text=True,
                       env=dict(os.environ, ASAN_OPTIONS='detect_leaks=0'))
    return r.returncode, r.stdout + r.stderr


def walls_of(path):
    r = subprocess.run([DUMP, path], capture_output=True, text=True)
    out = []
    for line in r.stdout.splitlines():
        if not line.startswith('WALL '):
            continue
        segs = re.findall(r'\{start\.x=(\S+) start\.y=(\S+) end\.x=(\S+) end\.y=(\S+)\}', line)
        corners = [(float(a), float(b)) for a, b in re.findall(r'corner\[\d\]\.x=(\S+) corner\[\d\]\.y=(\S+)', line.split(' segments=')[0])][:4]
        ops = int(re.search(r'openings=(\d+)', line).group(1))
        group = int(re.search(r'group=(\d+)', line).group(1))
        out.append(dict(segs=[tuple(map(float, s)) for s in segs], corners=corners, openings=ops, group=group))
    return out


def open_ends(walls):
    ends = {}
    key = lambda x, y: (round(x * 1e5), round(y * 1e5))
    for w in walls:
        for (a, b, c, d) in w['segs']:
            if key(a, b) == key(c, d):
                continue
            for k in (key(a, b), key(c, d)):
                ends[k] = ends.get(k, 0) + 1
    return sorted((k[0] / 1e5, k[1] / 1e5) for k, n in ends.items() if n % 2)


def crossings(walls):
    def side(o, a, b):
        return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0])
    n = 0
    for i, j in itertools.combinations(range(len(walls)), 2):
        for g in walls[i]['segs']:
            for h in walls[j]['segs']:
                p, q, r, s = g[:2], g[2:], h[:2], h[2:]
                if side(r, s, p) * side(r, s, q) < -1e-9 and side(p, q, r) * side(p, q, s) < -1e-9:
                    n += 1
    return n


def connectable(walls):
    """Pairs (a, b) where a segment of a (longer than 2 cm) lies on a side of
    b and overlaps it by more than a point: what Connect would still join.
    (Shorter segments, a door's stop steps, are left out.)"""
    out = []
    for i, a in enumerate(walls):
        for j, b in enumerate(walls):
            if i == j:
                continue
            c = b['corners']
            for g in a['segs']:
                gx, gy = g[2] - g[0], g[3] - g[1]
                glen = math.hypot(gx, gy)
                if glen < 0.02:
                    continue
                for k in range(4):
                    p, q = c[k], c[(k + 1) % 4]
                    sx, sy = q[0] - p[0], q[1] - p[1]
                    slen = math.hypot(sx, sy)
                    if slen < 1e-9:
                        continue
                    d1 = abs(sx * (g[1] - p[1]) - sy * (g[0] - p[0])) / slen
                    d2 = abs(sx * (g[3] - p[1]) - sy * (g[2] - p[0])) / slen
                    if d1 > 1e-6 or d2 > 1e-6:
                        continue
                    t0 = ((g[0] - p[0]) * sx + (g[1] - p[1]) * sy) / slen
                    t1 = ((g[2] - p[0]) * sx + (g[3] - p[1]) * sy) / slen
                    if min(max(t0, t1), slen) - max(min(t0, t1), 0) > 1e-6:
                        out.append((i, j))
    return out


def check(path):
    walls = walls_of(path)
    return dict(walls=len(walls), openings=sum(w['openings'] for w in walls), open=open_ends(walls),
                cross=crossings(walls), connect=not connectable(walls))


def pt(x, y):
    return ['key z_abs', f'value {x:.6f};{y:.6f}']


def rect_wall(x0, y0, x1, y1):
    return ['key b_wall_wall'] + pt(x0, y0) + pt(x1, y1) + ['key z_enter', 'key p_nop']


def opening(kind, wall_pt, start, direction, outer, leaf=None):
    s = [f'key b_opening_{kind}', 'click 1 %f %f' % wall_pt] + pt(*start) + ['key z_enter',
         'click 1 %f %f' % direction, 'click 1 %f %f' % outer]
    if leaf:
        s.append('click 1 %f %f' % leaf)
    return s + ['key p_nop']


def rotate_all(deg):
    return ['key b_edit_rotate', 'key s_deffi_all', 'key s_deffi_ok'] + pt(0, 0) + ['key z_enter', f'value {deg}', 'key p_nop']


# Houses: lists of rectangles (axis aligned), openings, and a turn.
def l_house(t=0.3, ti=0.12):
    # An L: 10 x 6 with a 4 x 4 wing to the north-west; T joints at the corners.
    r = [(0, 0, 10, t), (10 - t, t, 10, 6 - t), (4, 6 - t, 10, 6), (4, 6, 4 + t, 10 - t),
         (0, 10 - t, 4 + t, 10), (0, t, t, 10 - t), (6, t, 6 + ti, 6 - t), (t, 5, 4, 5 + ti)]
    ops = opening('window', (3, 0.1), (2, 0), (3, 0.1), (2.5, -1)) + \
        opening('door', (6.06, 3), (6, t + 0.1), (6.06, 3), (5, 1.5), (5.5, 1.5))
    return r, ops


def thick_house():
    r = [(0, 0, 12, 0.49), (0, 0.49, 0.365, 9 - 0.24), (12 - 0.24, 0.49, 12, 9 - 0.24), (0, 9 - 0.24, 12, 9),
         (5, 0.49, 5.175, 9 - 0.24), (5.175, 4, 12 - 0.24, 4.115)]
    ops = opening('window', (8, 8.9), (7, 9), (8, 8.9), (7.5, 10)) + \
        opening('door', (8, 4.05), (11.6, 4), (8, 4.05), (9, 3), (11.5, 3))
    return r, ops


def both_sides_house():
    # An inner wall along y = 4 with walls meeting it from the north and
    # the south, one pair at the same place, one pair offset.
    t, ti = 0.3, 0.12
    r = [(0, 0, 12, t), (0, 9 - t, 12, 9), (0, t, t, 9 - t), (12 - t, t, 12, 9 - t),
         (t, 4, 12 - t, 4 + ti), (3, t, 3 + ti, 4), (3, 4 + ti, 3 + ti, 9 - t), (7, t, 7 + ti, 4), (8, 4 + ti, 8 + ti, 9 - t)]
    ops = opening('door', (5, 4.06), (4, 4), (5, 4.06), (5, 3), (4.2, 3))
    return r, ops


def build(name, rects, ops, turn=0, turn_before_connect=True):
    path = os.path.join(W, name + '.kav')
    s = ['key p_file_new']
    for r in rects:
        s += rect_wall(*r)
    if turn and turn_before_connect:
        s += rotate_all(turn)
    s += ['key b_wall_connect_all']
    rc, said = run_edit(START, s, path)
    if rc:
        print('build', name, 'failed', said)
    if ops:
        rc, said = run_edit(path, ops, path)
        if rc:
            print('openings', name, 'failed', said)
    if turn and not turn_before_connect:
        rc, said = run_edit(path, rotate_all(turn), path)
    return path


def rot(p, deg):
    a = math.radians(deg)
    return (p[0] * math.cos(a) - p[1] * math.sin(a), p[0] * math.sin(a) + p[1] * math.cos(a))


def edits(turn, inner, far, corner_win, mid, axis):
    """inner: a point on an inner wall; far: a point away; corner_win: a
    window round a wall end for the Point type."""
    R = lambda p: rot(p, turn)
    P = lambda p: pt(*R(p))
    sel_one = lambda p: ['set select_type 1', 'click 1 %f %f' % R(p), 'key s_deffi_ok']
    sel_all = ['key s_deffi_all', 'key s_deffi_ok']
    e = {}
    for label, sel in (('one', sel_one(inner)), ('all', sel_all)):
        e[f'move {label}'] = ['key b_edit_move'] + sel + P((0, 0)) + P((0.3, 0.2)) + ['key z_enter', 'key p_nop']
        e[f'copy {label}'] = ['key b_edit_copy'] + sel + P((0, 0)) + P(far) + ['key z_enter', 'key p_nop']
        e[f'mcopy {label}'] = ['key b_edit_mcopy'] + sel + P((0, 0)) + ['key z_enter'] + P(far) + ['key z_enter'] + P((far[0] * 2, far[1] * 2)) + ['key z_enter', 'key p_nop']
        e[f'series {label}'] = ['key b_edit_series'] + sel + ['value 3'] + P((0, 0)) + P(far) + ['key z_enter']
        e[f'pseries {label}'] = ['key b_edit_pseries'] + sel + ['value 4'] + P((far[0] * 3, far[1] * 3)) + ['key z_enter', 'value 360', 'value 0']
        # In place: half round about the wall's middle, mirrored about its
        # axis; turned and mirrored away from the house (with a copy too).
        e[f'rotate180 {label}'] = ['key b_edit_rotate', 'set rotate_copy 0'] + sel + P(mid) + ['key z_enter', 'value 180', 'key p_nop']
        e[f'mirror-axis {label}'] = ['key b_edit_mirror', 'set mirror_copy 0'] + sel + P(mid) + P((mid[0] + axis[0], mid[1] + axis[1])) + ['key z_enter']
        for c in (0, 1):
            e[f'rotate{"+" if c else ""} {label}'] = ['key b_edit_rotate', f'set rotate_copy {c}'] + sel + P((30, 0)) + ['key z_enter', 'value 90', 'key p_nop']
            e[f'mirror{"+" if c else ""} {label}'] = ['key b_edit_mirror', f'set mirror_copy {c}'] + sel + P((20, 0)) + P((20.5, 1)) + ['key z_enter']
        e[f'stretch factor {label}'] = ['key b_edit_stretch'] + sel + P(inner) + ['key z_enter', 'value 1', 'value 0.5', 'value 1']
        e[f'delete {label}'] = ['key b_edit_delete'] + sel
    e['wall erase'] = ['key b_wall_erase', 'click 1 %f %f' % R(inner)] + P((mid[0] - 0.5 * axis[0], mid[1] - 0.5 * axis[1])) + P((mid[0] + 0.5 * axis[0], mid[1] + 0.5 * axis[1])) + ['key z_enter', 'key p_nop']
    e['wall erase end'] = ['key b_wall_erase', 'click 1 %f %f' % R(inner)] + P((mid[0] - 30 * axis[0], mid[1] - 30 * axis[1])) + P((mid[0] - 0.5 * axis[0], mid[1] - 0.5 * axis[1])) + ['key z_enter', 'key p_nop']
    e['wall join'] = ['key b_wall_join', 'click 1 %f %f' % R(inner), 'click 1 %f %f' % R((2, 0.15)), 'key p_nop']
    e['wall separate'] = ['key b_wall_separate', 'click 1 %f %f' % R(inner), 'key p_nop']
    # Connect -All once more, now that doors and windows are cut in: their
    # short stop steps near a joint must not be taken for the joint.
    e['wall connect all'] = ['key b_wall_connect_all']
    e['wall height'] = ['key b_wall_alter_height', 'set select_type 1', 'click 1 %f %f' % R(inner), 'key s_deffi_ok', 'value 2.75', 'value 2']
    x0, y0, x1, y1 = corner_win
    a, b = R((x0, y0)), R((x1, y1))
    e['stretch points'] = ['key b_edit_move', 'set select_type 4', 'click 1 %f %f' % a, 'click 1 %f %f' % b, 'key s_deffi_ok'] + P((0, 0)) + P((0.5, 0)) + ['key z_enter', 'key p_nop']
    e['stretch points along'] = ['key b_edit_move', 'set select_type 4', 'click 1 %f %f' % a, 'click 1 %f %f' % b, 'key s_deffi_ok'] + P((0, 0)) + P((0, -0.3)) + ['key z_enter', 'key p_nop']
    return e


# What a run is not held to, and why: a separated wall and one put a
# storey up stand apart by design (the check here does not look at
# heights); a range erased over an opening takes it along; a wall turned so
# that a door lands across a joint keeps the door and stays closed there.
EXEMPT = {
    'wall separate': 'connect',
    'wall height': 'connect',
    'wall erase end': 'openings',
    'sides rotate180 one': 'connect',
}


def main():
    houses = [
        ('L', *l_house(), 0, (6.06, 3), (14, 0), (5.8, 5.5, 6.4, 6.2), (6.06, 3), (0, 1)),
        ('L30', *l_house(), -30, (6.06, 3), (14, 0), (5.8, 5.5, 6.4, 6.2), (6.06, 3), (0, 1)),
        ('Lwing', *l_house(), 0, (2.15, 0.15), (0, 14), (3.8, 9.5, 4.5, 10.2), (5, 0.15), (1, 0)),
        ('thick', *thick_house(), 0, (5.08, 2), (14, 0), (4.8, 8.5, 5.4, 9.2), (5.0875, 4.625), (0, 1)),
        ('sides', *both_sides_house(), 0, (6, 4.06), (0, 10), (2.8, 8.5, 3.4, 9.2), (6, 4.06), (1, 0)),
        ('sides2', *both_sides_house(), 0, (3.06, 2), (14, 0), (2.8, 8.5, 3.4, 9.2), (3.06, 2.15), (0, 1)),
    ]
    only = sys.argv[2] if len(sys.argv) > 2 else ''
    bad = runs = 0
    for name, rects, ops, turn, inner, far, win, mid, axis in houses:
        path = build(name, rects, ops, turn, False)
        base = check(path)
        print(f'{name}: {base}')
        for en, lines in edits(turn, inner, far, win, mid, axis).items():
            if only and only not in f'{name} {en}':
                continue
            runs += 1
            out = os.path.join(W, f'{name}-{en.replace(" ", "_")}.kav')
            rc, said = run_edit(path, lines, out)
            if rc:
                print(f'  BAD {en}: kav-edit failed: {said.strip()[:200]}')
                bad += 1
                continue
            r = check(out)
            exempt = EXEMPT.get(en, EXEMPT.get(f'{name} {en}', ''))
            ok = not r['open'] and not r['cross'] and (r['connect'] or exempt == 'connect')
            if not en.startswith('delete') and r['openings'] < base['openings'] and exempt != 'openings':
                ok = False
            if not ok:
                bad += 1
            said = said.strip().replace('\n', ' | ')
            print(f'  {"ok " if ok else "BAD"} {en}: walls {r["walls"]} openings {r["openings"]} '
                  f'open ends {r["open"][:6]} crossings {r["cross"]} nothing to connect {r["connect"]}' +
                  (f' (not held to: {exempt})' if exempt else '') + (f' said: {said[:120]}' if said else ''))
    print(f'{runs - bad} passed, {bad} failed')
    return 1 if bad else 0


sys.exit(main())
