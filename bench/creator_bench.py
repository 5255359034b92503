#!/usr/bin/python3
"""Times the block creator's picks (obc) in the host program on generated floor plans.

usage: creator_bench.py CADHOST WORK [ROOMS...]   (ROOMS: 5000 20000 unless told)

For each plan (make_floorplan.py, ROOMS rooms as closed polylines) an obc session picks every
room in turn, each pick a polyline by handle and a point for its texts, so the drawing fills with
space blocks as a user's session does. The picks are timed inside the session, by the moments
the host's "Block Created Successfully" of each pick arrives (host_timing.py): starting the host
and reading the plan are not in them. Prints per plan: the whole session's time (the host's
start included), the mean of a pick over the session, and the mean of the last TAIL picks (a
tenth of the rooms, at least 500), when the drawing is nearly full.
"""
import os
import shutil
import sys

import ezdxf

from host_timing import FIRST_START, bench_main, floor_plan, stamped_run

MADE = "Block Created Successfully"


def write_script(path, picks):
    lines = FIRST_START + ["obc", "click 3"]
    for handle, x, y in picks:
        lines += [f"#{handle}", f"{x},{y}"]
    lines += ["^C", "menu 32768"]
    with open(path, "w") as out:
        out.write("\n".join(lines) + "\n")


def session(cadhost, work, plan, picks):
    """The whole session's seconds and the moment each pick ended."""
    script = os.path.join(work, f"obc_{len(picks)}.scr")
    write_script(script, picks)
    # A fresh drive C: each time: the module starts with its preferences dialog.
    home = os.path.join(work, "home")
    shutil.rmtree(home, ignore_errors=True)
    code, _, ends, elapsed = stamped_run([cadhost, "--home", home, "--script", script, plan],
                                         MADE)
    if code != 0 or len(ends) != len(picks):
        sys.exit(f"the session made {len(ends)} of {len(picks)} blocks (exit {code})")
    return elapsed, ends


def main(cadhost, work, sizes):
    print(f"{'rooms':>7} {'session s':>10} {'mean ms/pick':>13} {'last picks ms/pick':>19}")
    for rooms in sizes:
        plan = floor_plan(work, rooms)
        picks = []
        for e in ezdxf.readfile(plan).modelspace().query("LWPOLYLINE"):
            if e.closed:
                xs = [p[0] for p in e.get_points()]
                ys = [p[1] for p in e.get_points()]
                picks.append((e.dxf.handle, (min(xs) + max(xs)) / 2, (min(ys) + max(ys)) / 2))
        if len(picks) < 2:
            sys.exit(f"the plan of {rooms} rooms has fewer than two rooms to pick")
        # (the pick before the last TAIL ends where they begin)
        tail = min(max(500, len(picks) // 10), len(picks) - 1)
        whole, ends = session(cadhost, work, plan, picks)
        mean = (ends[-1] - ends[0]) / (len(ends) - 1)
        last = (ends[-1] - ends[-1 - tail]) / tail
        print(f"{len(picks):>7} {whole:>10.1f} {mean * 1000:>13.2f} {last * 1000:>19.2f}",
              flush=True)


if __name__ == "__main__":
    bench_main(__doc__, main, [5000, 20000])
