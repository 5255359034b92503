#!/usr/bin/python3
"""Checks that ocsv wrote space names that a spreadsheet would run as formulas as text: Python's
csv module reads each such name back as a single quote and the name ezdxf reads from the saved
drawing, and the numbers as plain numbers.

usage: check_formulas.py HOME SAVED.dxf
"""
import csv
import io
import os
import sys

import ezdxf


def main(home, saved):
    names = []
    for insert in ezdxf.readfile(saved).modelspace().query("INSERT"):
        if insert.dxf.name.startswith("ROOM-") and insert.dxf.name != "ROOM-GROSS_AREA":
            for code, value in ((t.code, t.value) for t in insert.get_xdata("ADE")):
                if code == 1000 and value.startswith("NAME="):
                    names.append((int(insert.dxf.handle, 16), value[5:]))
    names = [name for _, name in sorted(names)]
    raw = open(os.path.join(home, "plans", "rooms.csv"), "rb").read().decode("cp1252")
    rows = list(csv.reader(io.StringIO(raw, newline="")))
    failures = []
    if not names or not all(n.startswith("=") for n in names):
        failures.append(f"the saved names {names} do not begin with '='")
    if [r[0] for r in rows[1:1 + len(names)]] != ["'" + n for n in names]:
        failures.append(f"csv names {[r[0] for r in rows]} are not the quoted names {names}")
    for row in rows[1:1 + len(names)]:
        for number in (row[1], row[3]):
            try:
                float(number)
            except ValueError:
                failures.append(f"{number!r} in {row} is no plain number")
    if b'"' not in raw.encode("cp1252"):
        failures.append("no field is quoted")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
