#!/usr/bin/python3
"""Checks the drawing saved by the space-command acceptance case with ezdxf.

usage: check_space_commands.py SAVED.dxf ORIGINAL.dxf

The case ran, with the preferences square feet, precision 3, text size 300, scale 0.8 and
rotation -90: ogabc on the open polyline #37 (refused), ogabc on the closed polyline #36 with
its texts at (14000, 7000), ogabc again (refused: the block exists), odb on that block, ogabc on
#36 again, and oaux. The saved drawing must pass ezdxf's audit and hold exactly one space block,
"ROOM-GROSS_AREA", whose block holds polyline #36 (the same entity) shown where it was drawn;
the open polyline #37 is untouched in model space; the attributes are NAME "GROSS AREA", AREA
the area in square feet to three places followed by "sq.ft." and AUX " " on ATT-AUX, AREA at the
picked point and NAME and AUX 450 units either side of it across the text direction (-90
degrees: along x); the extended data carries the rounded area and perimeter.
"""
import math
import os
import sys

import ezdxf
from ezdxf.math import Vec3

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "blocks"))
from check_space_blocks import area_and_perimeter  # noqa: E402

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def near(a, b, tolerance=1e-6):
    return Vec3(a).isclose(Vec3(b), abs_tol=tolerance)


def main():
    saved = ezdxf.readfile(sys.argv[1])
    original = ezdxf.readfile(sys.argv[2])
    auditor = saved.audit()
    check(not auditor.has_errors, f"audit: {[e.message for e in auditor.errors]}")

    room_blocks = sorted(b.name for b in saved.blocks if b.name.upper().startswith("ROOM-"))
    check(room_blocks == ["ROOM-GROSS_AREA"], f"blocks {room_blocks}: the deleted one is left")
    inserts = saved.modelspace().query("INSERT")
    check(len(inserts) == 1 and inserts[0].dxf.name == "ROOM-GROSS_AREA",
          f"references {[i.dxf.name for i in inserts]}")
    if len(inserts) != 1:
        return report()
    insert = inserts[0]

    drawn = original.entitydb.get("36")
    outline = saved.entitydb.get("36")
    block = saved.blocks.get("ROOM-GROSS_AREA")
    check(outline is not None and outline.dxf.owner == block.block_record_handle,
          "polyline #36 is not the block's outline")
    matrix = insert.matrix44()
    shown = [matrix.transform(Vec3(x, y)) for x, y, _ in outline.get_points("xyb")]
    for (x, y, _), p in zip(drawn.get_points("xyb"), shown):
        check(near(p, (x, y)), f"outline vertex {p} not where it was drawn ({x}, {y})")
    open_one = saved.entitydb.get("37")
    check(open_one.dxf.owner == saved.modelspace().block_record_handle and not open_one.closed
          and open_one.get_points("xyb") == original.entitydb.get("37").get_points("xyb"),
          "the open polyline was changed")

    area, perimeter = area_and_perimeter(drawn.get_points("xyb"))
    area_text = f"{area / 92903.04:.3f}"
    perimeter_text = f"{perimeter / 304.8:.3f}"
    texts = {a.dxf.tag: a for a in insert.attribs}
    check(sorted(texts) == ["AREA", "AUX", "NAME"], f"attributes {sorted(texts)}")
    if sorted(texts) != ["AREA", "AUX", "NAME"]:
        return report()
    check(texts["NAME"].dxf.text == "GROSS AREA", f"NAME {texts['NAME'].dxf.text!r}")
    check(texts["AREA"].dxf.text == area_text + "sq.ft.", f"AREA {texts['AREA'].dxf.text!r}")
    check(texts["AUX"].dxf.text == " " and texts["AUX"].dxf.layer == "ATT-AUX",
          f"AUX {texts['AUX'].dxf.text!r} on {texts['AUX'].dxf.layer}")
    at = Vec3(texts["AREA"].dxf.insert)
    check(near(at, (14000, 7000)), f"AREA at {at}")
    check(near(texts["NAME"].dxf.insert, at + (450, 0)), f"NAME at {texts['NAME'].dxf.insert}")
    check(near(texts["AUX"].dxf.insert, at - (450, 0)), f"AUX at {texts['AUX'].dxf.insert}")
    for tag, text in texts.items():
        check(math.isclose(text.dxf.rotation % 360.0, 270.0), f"{tag} turned {text.dxf.rotation}")
        check(math.isclose(text.dxf.height, 300.0), f"{tag} height {text.dxf.height}")
    definitions = {d.dxf.tag: d for d in block.query("ATTDEF")}
    check(sorted(definitions) == ["AREA", "AUX", "NAME"], f"definitions {sorted(definitions)}")

    strings = [tag.value for tag in insert.get_xdata("ADE") if tag.code == 1000]
    check("AREA=" + area_text + "sq.ft." in strings, f"extended data {strings[:3]}")
    check("PERIMETER=" + perimeter_text + "ft." in strings, f"extended data {strings[:3]}")
    check("NAME=GROSS AREA" in strings, f"extended data {strings[:3]}")
    return report()


def report():
    for failure in failures:
        print(failure)
    print(f"space commands checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
