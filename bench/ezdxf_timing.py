#!/usr/bin/python3
"""Times ezdxf reading a DXF file and writing it (to memory, and to disk), best of a few runs.

usage: ezdxf_timing.py FILE.dxf [RUNS]
prints one JSON object: {"read": s, "write": s, "save": s, "version": "..."}
"""
import gc
import io
import json
import os
import sys
import tempfile
import time

import ezdxf


def best(action, runs):
    times = []
    for _ in range(runs):
        gc.collect()  # documents read before go now, not during the run
        start = time.perf_counter()
        action()
        times.append(time.perf_counter() - start)
    return min(times)


def main():
    path = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    doc = ezdxf.readfile(path)
    read = best(lambda: ezdxf.readfile(path), runs)
    write = best(lambda: doc.write(io.StringIO()), runs)
    with tempfile.TemporaryDirectory() as folder:
        target = os.path.join(folder, "out.dxf")
        save = best(lambda: doc.saveas(target), runs)
    print(json.dumps({"read": read, "write": write, "save": save,
                      "version": ezdxf.__version__}))


if __name__ == "__main__":
    main()
