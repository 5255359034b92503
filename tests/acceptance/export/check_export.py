#!/usr/bin/python3
"""Checks what ocsv wrote in the export acceptance case, with readers that are not the host's:
the csv file through Python's csv module (Windows-1252, CR LF line ends, the space names that
hold a comma quoted), each room's line against the space blocks that ezdxf reads from the saved
drawing (in the order of their handles' values), the total, and the command line and working
folder of the program that ocsv started on the file.

usage: check_export.py HOME SAVED.dxf
"""
import csv
import io
import os
import sys
import time

import ezdxf

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def stored(insert, key, unit):
    for code, value in ((t.code, t.value) for t in insert.get_xdata("ADE")):
        if code == 1000 and value.startswith(key + "="):
            text = value[len(key) + 1:]
            return text[:-len(unit)] if unit else text
    raise KeyError(key)


def expected_rows(saved):
    doc = ezdxf.readfile(saved)
    rooms = [e for e in doc.modelspace().query("INSERT")
             if e.dxf.name.startswith("ROOM-") and e.dxf.name != "ROOM-GROSS_AREA"]
    rooms.sort(key=lambda e: int(e.dxf.handle, 16))
    rows, area, perimeter = [], 0.0, 0.0
    for room in rooms:
        a = float(stored(room, "AREA", "sq.m."))
        p = float(stored(room, "PERIMETER", "m."))
        rows.append([stored(room, "NAME", ""), f"{a:.2f}", "m\u00b2", f"{p:.2f}", "m"])
        area += a
        perimeter += p
    return rows, ["Total", f"{area:.2f}", "m\u00b2", f"{perimeter:.2f}", "m"]


def main(home, saved):
    raw = open(os.path.join(home, "plans", "rooms.csv"), "rb").read()
    check(raw.count(b"\n") == raw.count(b"\r\n"), "a line does not end with CR LF")
    check(b"\xb2" in raw and b"\xc2\xb2" not in raw, "the superscript two is not byte B2")
    rows = list(csv.reader(io.StringIO(raw.decode("cp1252"), newline="")))
    rooms, total = expected_rows(saved)
    check(len(rooms) == 6, f"{len(rooms)} space blocks in the saved drawing")
    check(all(", " in r[0] for r in rooms), "the renamed spaces hold no comma")
    check(rows == [["Code", "Area", "Units", "Perimeter", "Units"]] + rooms + [total, [], []],
          f"csv rows {rows}\nexpected {rooms} and {total}")

    opened = os.path.join(home, "bin", "opened.txt")
    for _ in range(200):
        if os.path.exists(opened):
            break
        time.sleep(0.05)
    lines = open(opened).read().splitlines() if os.path.exists(opened) else []
    check(lines == [os.path.realpath(os.path.join(home, "Program Files", "cadhost")), "1",
                    os.path.join(os.path.realpath(home), "plans", "rooms.csv")],
          f"the opener ran as {lines}")

    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
