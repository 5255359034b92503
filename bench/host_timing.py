"""Times what the host program does from inside one run: the host prints as it goes, so the
moment each of its messages arrives on the pipe tells when the work before it ended. Differences
of those moments time the work itself, without the start of the process or the reading of the
drawing (which a difference of two whole runs would leave to chance)."""
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))

# The answers to the module's preferences dialog, which it shows first on a fresh drive C:.
FIRST_START = ["set 290 3", "set 330 notepad.exe", "click 1"]


def floor_plan(work, rooms):
    """The generated plan of that many rooms in the folder (make_floorplan.py), made once."""
    os.makedirs(work, exist_ok=True)
    plan = os.path.join(work, f"plan_{rooms}.dxf")
    if not os.path.exists(plan):
        subprocess.run(["/usr/bin/python3", os.path.join(HERE, "make_floorplan.py"), plan,
                        str(rooms)], check=True)
    return plan


def stamped_run(argv, marker):
    """Runs argv and reads its output as it comes. Returns the exit code, the output (text) and,
    for each time `marker` appears in it, the moment (time.perf_counter) its bytes arrived."""
    wanted = marker.encode()
    start = time.perf_counter()
    proc = subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    chunks, stamps = [], []
    carried = b""  # the end of the output before, where a marker may have begun
    while True:
        chunk = os.read(proc.stdout.fileno(), 1 << 16)
        if not chunk:
            break
        now = time.perf_counter()
        seen = carried + chunk
        stamps += [now] * seen.count(wanted)
        carried = seen[-(len(wanted) - 1):] if len(wanted) > 1 else b""
        chunks.append(chunk)
    code = proc.wait()
    elapsed = time.perf_counter() - start
    return code, b"".join(chunks).decode("utf-8", "replace"), stamps, elapsed


def bench_main(usage, main, default_rooms):
    """Runs main(CADHOST, WORK, ROOMS) with the command line's arguments (the room counts
    default_rooms unless given), or ends with the usage."""
    if len(sys.argv) < 3:
        sys.exit(usage)
    main(sys.argv[1], sys.argv[2], [int(n) for n in sys.argv[3:]] or default_rooms)
