"""Reads what the long-answers case saved with ezdxf: the drawing saved under a 1,200-character
path holds the layer list's change (NOTES off, ROOMS on), the drawing opened there holds the line
drawn after it was opened, and the drawing the script started with is unchanged. Every saved
drawing passes ezdxf's audit.

usage: check_long_answers.py HOME DEEP_FOLDER ORIGINAL_START"""
import os
import sys

import ezdxf


def read_audited(path, failures):
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    failures += [f"{os.path.basename(path)}: audit: {e.message}" for e in auditor.errors]
    return doc


def lines(doc):
    return [(tuple(e.dxf.start)[:2], tuple(e.dxf.end)[:2]) for e in doc.modelspace().query("LINE")]


def main(home, deep, original):
    failures = []
    layers = read_audited(os.path.join(home, deep, "layers.dxf"), failures)
    states = {layer.dxf.name: layer.is_on() for layer in layers.layers}
    if states.get("NOTES") is not False or states.get("ROOMS") is not True:
        failures.append(f"layers.dxf: layers on {states}, expected NOTES off and ROOMS on")
    plan = read_audited(os.path.join(home, deep, "plan.dxf"), failures)
    if ((0.0, 0.0), (5.0, 5.0)) not in lines(plan):
        failures.append(f"plan.dxf: no line from 0,0 to 5,5 among {lines(plan)}")
    with open(os.path.join(home, "start.dxf"), "rb") as start, open(original, "rb") as source:
        if start.read() != source.read():
            failures.append("start.dxf was changed")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
