#!/usr/bin/python3
"""Times the block creator's picks (obc) in the host program on generated floor plans.

usage: creator_bench.py CADHOST WORK [ROOMS...]   (ROOMS: 5000 20000 unless told)

For each plan (make_floorplan.py, ROOMS rooms as closed polylines) an obc session picks every
room in turn, each pick a polyline by handle and a point for its texts, so the drawing fills with
space blocks as a user's session does. The session runs twice: over every room, and over all but
the last TAIL rooms (a tenth of the rooms, at least 500); the difference is what the last TAIL
picks cost, with the drawing nearly
full. Reading the plan and starting the host cancel out. Prints per plan: the whole session's
time, its mean per pick, and the mean of the last TAIL picks.
"""
import os
import shutil
import subprocess
import sys
import time

import ezdxf

HERE = os.path.dirname(os.path.abspath(__file__))


def write_script(path, picks):
    lines = ["set 290 3", "set 330 notepad.exe", "click 1", "obc", "click 3"]
    for handle, x, y in picks:
        lines += [f"#{handle}", f"{x},{y}"]
    lines += ["^C", "menu 32768"]
    with open(path, "w") as out:
        out.write("\n".join(lines) + "\n")


def session(cadhost, work, plan, picks):
    script = os.path.join(work, f"obc_{len(picks)}.scr")
    write_script(script, picks)
    # A fresh drive C: each time: the module starts with its preferences dialog.
    home = os.path.join(work, "home")
    shutil.rmtree(home, ignore_errors=True)
    start = time.perf_counter()
    run = subprocess.run([cadhost, "--home", home, "--script", script, plan],
                         capture_output=True, text=True)
    elapsed = time.perf_counter() - start
    made = run.stdout.count("Block Created Successfully")
    if run.returncode != 0 or made != len(picks):
        sys.exit(f"the session made {made} of {len(picks)} blocks (exit {run.returncode})")
    return elapsed


def main(cadhost, work, sizes):
    os.makedirs(work, exist_ok=True)
    print(f"{'rooms':>7} {'session s':>10} {'mean ms/pick':>13} {'last picks ms/pick':>19}")
    for rooms in sizes:
        plan = os.path.join(work, f"plan_{rooms}.dxf")
        if not os.path.exists(plan):
            subprocess.run(["/usr/bin/python3", os.path.join(HERE, "make_floorplan.py"), plan,
                            str(rooms)], check=True)
        picks = []
        for e in ezdxf.readfile(plan).modelspace().query("LWPOLYLINE"):
            if e.closed:
                xs = [p[0] for p in e.get_points()]
                ys = [p[1] for p in e.get_points()]
                picks.append((e.dxf.handle, (min(xs) + max(xs)) / 2, (min(ys) + max(ys)) / 2))
        tail = max(500, len(picks) // 10)
        whole = session(cadhost, work, plan, picks)
        head = session(cadhost, work, plan, picks[:-tail])
        print(f"{len(picks):>7} {whole:>10.1f} {whole / len(picks) * 1000:>13.2f} "
              f"{(whole - head) / tail * 1000:>19.2f}", flush=True)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2], [int(n) for n in sys.argv[3:]] or [5000, 20000])
