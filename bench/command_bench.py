#!/usr/bin/python3
"""Times a command that touches nothing of the drawing (the module's help, o?) in the host
program on generated floor plans: what every command pays on its way through the command line
whatever it does (the check after it, the prompt), as the drawing grows.

usage: command_bench.py CADHOST WORK [ROOMS...]   (ROOMS: 20000 200000 unless told)

For each plan (make_floorplan.py) one session runs o? RUNS times, timed inside the session from
the command prompt before the first to the one after the last (host_timing.py: the host's start
and the reading of the plan are not in it). Prints per plan the mean of a command in
milliseconds. (The output of quick commands reaches the pipe's reader in bunches, so single
commands are not timed apart.)
"""
import os
import shutil
import sys

from host_timing import FIRST_START, bench_main, floor_plan, stamped_run

RUNS = 200
PROMPT = "Command: "


def main(cadhost, work, sizes):
    print(f"{'rooms':>7} {'commands':>9} {'mean ms':>8}")
    for rooms in sizes:
        plan = floor_plan(work, rooms)
        script = os.path.join(work, "help.scr")
        with open(script, "w") as out:
            out.write("\n".join(FIRST_START + ["o?"] * RUNS) + "\n")
        home = os.path.join(work, "home")
        shutil.rmtree(home, ignore_errors=True)
        code, output, prompts, _ = stamped_run(
            [cadhost, "--home", home, "--script", script, plan], PROMPT)
        # The prompt before the first o? and one after each.
        if code != 0 or len(prompts) < RUNS + 1 or output.count("VRK Suite Commands") != RUNS:
            sys.exit(f"the session on {rooms} rooms failed (exit {code}):\n{output[-2000:]}")
        ends = prompts[-(RUNS + 1):]
        print(f"{rooms:>7} {RUNS:>9} {(ends[-1] - ends[0]) / RUNS * 1000:>8.3f}", flush=True)


if __name__ == "__main__":
    bench_main(__doc__, main, [20000, 200000])
