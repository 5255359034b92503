#!/usr/bin/python3
"""Checks the drawing saved by the update-commands acceptance case with ezdxf.

usage: check_space_updates.py SAVED.dxf

The case took the space blocks of the space-block case through ous, obta, out, osxta and ort
with the preferences in square feet and three decimals. Every space block "ROOM-n" must then
store its outline's area and perimeter (as ezdxf computes them from the vertices and bulges, in
millimetres) in square feet and feet to three decimals, show them in its AREA and AUX texts
with their unit texts, and carry its three texts 300 high, turned to -45 degrees, NAME 1.5
heights above the AREA text and AUX 1.5 heights below it, across the text direction.
"""
import math
import os
import sys

import ezdxf

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_space_blocks import area_and_perimeter  # noqa: E402

SQUARE_FEET_PER_SQUARE_METRE = 10.7639104
FEET_PER_METRE = 3.2808399
HEIGHT = 300.0
ROTATION = -45.0

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def xdata_values(insert):
    values = {}
    for code, value in insert.get_xdata("ADE"):
        if code == 1000 and "=" in value:
            key, _, rest = value.partition("=")
            values[key] = rest
    return values


def number_of(text, unit):
    check(text.endswith(unit), f"{text!r} does not end in {unit!r}")
    return float(text[: -len(unit)]) if text.endswith(unit) else float("nan")


def check_room(doc, insert):
    name = insert.dxf.name
    block = doc.blocks.get(name)
    outline = next(e for e in block if e.dxftype() == "LWPOLYLINE")
    area_mm2, perimeter_mm = area_and_perimeter(list(outline.get_points("xyb")))
    area = area_mm2 / 1e6 * SQUARE_FEET_PER_SQUARE_METRE
    perimeter = perimeter_mm / 1e3 * FEET_PER_METRE

    stored = xdata_values(insert)
    check(abs(number_of(stored["AREA"], "sq.ft.") - area) <= 0.0005 + 1e-9,
          f"{name}: stored area {stored['AREA']} against {area:.6f}")
    check(abs(number_of(stored["PERIMETER"], "ft.") - perimeter) <= 0.0005 + 1e-9,
          f"{name}: stored perimeter {stored['PERIMETER']} against {perimeter:.6f}")
    for key, unit in (("AREA", "sq.ft."), ("PERIMETER", "ft.")):
        decimals = stored[key][: -len(unit)].partition(".")[2]
        check(len(decimals) == 3, f"{name}: {stored[key]} not to 3 places")

    texts = {a.dxf.tag: a for a in insert.attribs}
    check(set(texts) == {"NAME", "AREA", "AUX"}, f"{name}: attributes {sorted(texts)}")
    check(texts["AREA"].dxf.text == stored["AREA"], f"{name}: AREA {texts['AREA'].dxf.text!r}")
    check(texts["AUX"].dxf.text == stored["PERIMETER"], f"{name}: AUX {texts['AUX'].dxf.text!r}")
    check(texts["NAME"].dxf.text == "R-" + name.split("-")[1], f"{name}: NAME {texts['NAME'].dxf.text!r}")
    r = math.radians(ROTATION)
    across = (-1.5 * HEIGHT * math.sin(r), 1.5 * HEIGHT * math.cos(r))
    at = texts["AREA"].dxf.insert
    for tag, sign in (("NAME", 1), ("AUX", -1)):
        p = texts[tag].dxf.insert
        check(math.isclose(p.x, at.x + sign * across[0], abs_tol=1e-6) and
              math.isclose(p.y, at.y + sign * across[1], abs_tol=1e-6),
              f"{name}: {tag} at {p} against AREA at {at}")
    for tag, attribute in texts.items():
        check(math.isclose(attribute.dxf.height, HEIGHT), f"{name}: {tag} height")
        turned = (attribute.dxf.rotation - ROTATION) % 360.0
        check(min(turned, 360.0 - turned) < 1e-9, f"{name}: {tag} rotation {attribute.dxf.rotation}")
        check(math.isclose(attribute.dxf.get("width", 1.0), 1.0), f"{name}: {tag} width factor")


def main():
    doc = ezdxf.readfile(sys.argv[1])
    auditor = doc.audit()
    check(not auditor.has_errors, f"audit errors: {[str(e) for e in auditor.errors]}")
    rooms = [e for e in doc.modelspace().query("INSERT") if e.dxf.name.startswith("ROOM-")]
    check(len(rooms) == 5, f"{len(rooms)} space blocks")
    for insert in rooms:
        check_room(doc, insert)
    for failure in failures:
        print(failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
