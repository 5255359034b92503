#!/usr/bin/python3
"""Checks the drawing saved by the space-block acceptance case with ezdxf.

usage: check_space_blocks.py SAVED.dxf ORIGINAL.dxf

The saved drawing must pass ezdxf's audit and hold, for each closed polyline of the original
floor plan but the last, a block reference "ROOM-n" whose block holds the polyline (shown where
it was drawn) and the attribute definitions AREA, NAME and AUX on the layers ATT-*, whose
attributes carry the room's values, and whose extended data "ADE" is the space block's record
with the area and perimeter of the polyline as ezdxf computes them from its vertices and bulges
(to 1e-9 relative). The last room was turned back into its polyline: the same entity (handle)
lies in model space again where it was, and its block is gone.
"""
import math
import re
import sys

import ezdxf
from ezdxf.math import Vec3, bulge_to_arc

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def segments(vertices):
    """(start, end, bulge) of each segment of a closed polyline."""
    for i, (x, y, bulge) in enumerate(vertices):
        nx, ny, _ = vertices[(i + 1) % len(vertices)]
        yield Vec3(x, y), Vec3(nx, ny), bulge


def area_and_perimeter(vertices):
    """Area (shoelace plus each arc's circular segment) and length, bulges included."""
    area = 0.0
    length = 0.0
    for start, end, bulge in segments(vertices):
        area += (start.x * end.y - end.x * start.y) / 2.0
        if bulge == 0.0:
            length += start.distance(end)
            continue
        _, _, _, radius = bulge_to_arc(start, end, bulge)
        theta = 4.0 * math.atan(abs(bulge))
        area += math.copysign(radius * radius / 2.0 * (theta - math.sin(theta)), bulge)
        length += radius * theta
    return abs(area), length


def close(a, b, relative=1e-9):
    return abs(a - b) <= relative * max(abs(a), abs(b), 1e-300)


def record_of(area_text, perimeter_text, name):
    return [
        (1002, "{"), (1000, "AREA=" + area_text), (1000, "PERIMETER=" + perimeter_text),
        (1000, "NAME=" + name), (1000, "TAGTYPE=<Not Set>"), (1000, "AREA_TYPE=<Not Set>"),
        (1000, "COST_CENTRE=<Not Set>"), (1000, "DATE=<Not Set>"),
        (1000, "DATE_L_MOVE=<Not Set>"), (1000, "DEPT_CHARGE=<Not Set>"),
        (1000, "ROOM_HEIGHT=0.000000000000m."), (1000, "SPECIAL_REQ=<Not Set>"),
        (1000, "TOT_STAFF=<Not Set>"), (1000, "TOT_WKSTNS=<Not Set>"),
        (1000, "VOLUME=0.000000000000cu.m."), (1000, "HANDLESTOMINUS="),
        (1000, "HANDLESTOADD="), (1002, "}"),
    ]


def check_room(doc, insert, n, original):
    name = insert.dxf.name
    block = doc.blocks.get(name)
    check(block is not None, f"{name}: no block")
    if block is None:
        return
    outlines = block.query("LWPOLYLINE")
    check(len(outlines) == 1, f"{name}: {len(outlines)} polylines in the block")
    outline = outlines[0]
    check(outline.dxf.handle == original.dxf.handle, f"{name}: the boundary is another entity")
    matrix = insert.matrix44()
    drawn = original.get_points("xyb")
    held = outline.get_points("xyb")
    check(len(held) == len(drawn), f"{name}: vertex count")
    for (x, y, b), (ox, oy, ob) in zip(held, drawn):
        shown = matrix.transform(Vec3(x, y, 0))
        check(shown.isclose(Vec3(ox, oy, 0), abs_tol=1e-6) and b == ob,
              f"{name}: vertex {shown} is not {ox, oy} bulge {ob}")

    definitions = [(d.dxf.tag, d.dxf.layer, d.dxf.prompt, d.dxf.text) for d in block.query("ATTDEF")]
    check(definitions == [
        ("AREA", "ATT-AREA", "Enter Area", "DEFAULT AREA"),
        ("NAME", "ATT-NAME", "Enter Name", "DEFAULT NAME"),
        ("AUX", "ATT-AUX", "Enter Auxillary Value", "DEFAULT AUX"),
    ], f"{name}: attribute definitions {definitions}")

    area_mm2, length_mm = area_and_perimeter(drawn)
    area, perimeter = area_mm2 / 1e6, length_mm / 1e3
    attributes = {a.dxf.tag: (a.dxf.text, a.dxf.layer) for a in insert.attribs}
    check(attributes == {"AREA": (f"{area:.2f}", "ATT-AREA"), "NAME": (f"R-{n}", "ATT-NAME"),
                         "AUX": (f"AUX-{n}", "ATT-AUX")}, f"{name}: attributes {attributes}")

    xdata = [(tag.code, tag.value) for tag in insert.get_xdata("ADE")]
    area_text = xdata[1][1][len("AREA="):] if len(xdata) > 1 else ""
    perimeter_text = xdata[2][1][len("PERIMETER="):] if len(xdata) > 2 else ""
    check(xdata == record_of(area_text, perimeter_text, f"R-{n}"), f"{name}: record {xdata}")
    number = r"^(\d+\.\d{12})"
    found = re.match(number + r"sq\.m\.$", area_text)
    check(found is not None and close(float(found.group(1)), area),
          f"{name}: AREA={area_text}, ezdxf measures {area!r}")
    found = re.match(number + r"m\.$", perimeter_text)
    check(found is not None and close(float(found.group(1)), perimeter),
          f"{name}: PERIMETER={perimeter_text}, ezdxf measures {perimeter!r}")


def main():
    saved = ezdxf.readfile(sys.argv[1])
    original = ezdxf.readfile(sys.argv[2])
    auditor = saved.audit()
    check(not auditor.has_errors, f"audit: {[e.message for e in auditor.errors]}")
    for layer in ("ATT-AREA", "ATT-NAME", "ATT-AUX"):
        check(saved.layers.has_entry(layer), f"no layer {layer}")

    rooms = [p for p in original.modelspace().query("LWPOLYLINE") if p.closed]
    inserts = {i.dxf.name: i for i in saved.modelspace().query("INSERT")}
    check(sorted(inserts) == [f"ROOM-{n}" for n in range(1, len(rooms))],
          f"references {sorted(inserts)}")
    for n, room in enumerate(rooms[:-1], start=1):
        if f"ROOM-{n}" in inserts:
            check_room(saved, inserts[f"ROOM-{n}"], n, room)

    last = rooms[-1]
    back = saved.entitydb.get(last.dxf.handle)
    check(back is not None and back.dxftype() == "LWPOLYLINE"
          and back.dxf.owner == saved.modelspace().block_record_handle
          and back.get_points("xyb") == last.get_points("xyb"),
          "the last room is not its polyline again, in place")
    check(saved.blocks.get(f"ROOM-{len(rooms)}") is None, "the last room's block is left")

    for failure in failures:
        print(failure)
    print(f"{len(rooms)} rooms checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
