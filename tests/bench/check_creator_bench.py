#!/usr/bin/python3
"""The block creator's benchmark times the picks themselves: run against a stand-in for the host
whose picks take a known time and whose start takes longer on every run after the first, its
figures per pick are the picks' time, whatever the start costs.

usage: check_creator_bench.py BENCH_FOLDER WORK
"""
import os
import shutil
import subprocess
import sys

PICK_SECONDS = 0.05
ROOMS = 12

# Prints what the host prints of each pick, a pick taking PICK_SECONDS; its start takes 0.8 s
# longer on each run after the first (as a busy machine may make it).
FAKE_HOST = r'''#!/usr/bin/python3
import os, sys, time
args = sys.argv[1:]
script = args[args.index("--script") + 1]
runs = os.path.join(os.path.dirname(os.path.abspath(__file__)), "runs")
count = int(open(runs).read()) if os.path.exists(runs) else 0
open(runs, "w").write(str(count + 1))
time.sleep(0.8 * count)
picks = sum(1 for line in open(script) if line.startswith("#"))
for _ in range(picks):
    time.sleep(%r)
    sys.stdout.write("Block Created Successfully\n")
    sys.stdout.flush()
''' % PICK_SECONDS


def main(bench, work):
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    host = os.path.join(work, "fakehost")
    with open(host, "w") as out:
        out.write(FAKE_HOST)
    os.chmod(host, 0o755)
    run = subprocess.run(["/usr/bin/python3", os.path.join(bench, "creator_bench.py"), host,
                          work, str(ROOMS)], capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit(f"creator_bench failed:\n{run.stdout}{run.stderr}")
    figures = run.stdout.strip().splitlines()[-1].split()
    rooms, mean, last = int(figures[0]), float(figures[2]), float(figures[3])
    failures = []
    if rooms != ROOMS:
        failures.append(f"{rooms} rooms picked, not {ROOMS}")
    # About the picks' own time: a busy machine may add to it, or deliver the first message late
    # (which shortens the span measured), never by as much as the start's growth.
    for name, ms in (("mean", mean), ("last picks", last)):
        if not PICK_SECONDS * 1000 * 0.5 <= ms <= PICK_SECONDS * 1000 * 10:
            failures.append(f"{name}: {ms} ms per pick for picks of {PICK_SECONDS * 1000} ms")
    if failures:
        sys.exit("\n".join(failures) + "\n" + run.stdout)
    print(run.stdout, end="")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
