#!/usr/bin/python3
"""Checks the example floor plan after the block creator and the hyperlinking dialog ran on it.

The creator turned the two rooms of the plan and a third drawn by the script into ROOM-1 to
ROOM-3, named "Office 009" (typed) and then "Office 010" and "Office 011" (proposed). The block
editor then renamed ROOM-1 "Meeting Room" and subtracted a pillar drawn inside it (the one
polyline left in model space beside the floor outline). Each block holds its outline; its AREA
attribute and the AREA and PERIMETER of its extended data "ADE" are ezdxf's own area and length of
that outline (less the pillar's area, plus its length, for ROOM-1), in square metres and metres
to two places, and ROOM-1's record lists the pillar's handle. The hyperlinking dialog gave ROOM-1
two links ("all similar blocks": its only reference) and ROOM-2 one, whose description followed
its address; ROOM-3 has none.
"""

import sys

import ezdxf
from ezdxf.math import area as polygon_area

NAMES = {"ROOM-1": "Meeting Room", "ROOM-2": "Office 010", "ROOM-3": "Office 011"}
LINKS = {
    "ROOM-1": [("http://intranet/rooms/office-009", "http://intranet/rooms/office-009"),
               ("http://intranet/plans/level-1", "Level 1 plan")],
    "ROOM-2": [("http://intranet/rooms/office-010", "http://intranet/rooms/office-010")],
    "ROOM-3": [],
}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def links_of(entity):
    """The (address, description) pairs of the entity's "PE_URL" extended data."""
    if not entity.has_xdata("PE_URL"):
        return []
    tags = [(t.code, t.value) for t in entity.get_xdata("PE_URL")]
    links = []
    i = 0
    while i < len(tags):
        code, value = tags[i]
        if code == 1000 and i + 2 < len(tags) and tags[i + 1] == (1002, "{"):
            links.append((value, tags[i + 2][1]))
            depth, i = 0, i + 1
            while i < len(tags):  # past the nested braces of this link
                depth += {"{": 1, "}": -1}.get(tags[i][1], 0) if tags[i][0] == 1002 else 0
                i += 1
                if depth == 0:
                    break
        else:
            i += 1
    return links


def measured(points):
    """Area in square metres and length in metres of a closed outline drawn in millimetres."""
    length = sum(((points[i][0] - points[i - 1][0]) ** 2 +
                  (points[i][1] - points[i - 1][1]) ** 2) ** 0.5 for i in range(len(points)))
    return abs(polygon_area(points)) / 1e6, length / 1e3


def main(path):
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    check(not auditor.has_errors, "audit errors: %s" % [str(e) for e in auditor.errors])
    msp = doc.modelspace()
    inserts = {i.dxf.name: i for i in msp.query("INSERT")}
    check(sorted(inserts) == sorted(NAMES), "references: %s" % sorted(inserts))
    # The room outlines went into their blocks; the floor outline and the pillar stay.
    pillars = [p for p in msp.query("LWPOLYLINE") if p.dxf.handle != "13"]
    check(len(pillars) == 1, "polylines left in model space: %d" % len(pillars))
    pillar = pillars[0] if pillars else None

    for name, room in NAMES.items():
        insert = inserts.get(name)
        if insert is None:
            continue
        outlines = doc.blocks.get(name).query("LWPOLYLINE")
        check(len(outlines) == 1, "%s: outlines %d" % (name, len(outlines)))
        outline = outlines[0]
        area, length = measured([(x, y) for x, y in outline.get_points("xy")])
        minus = ""
        if name == "ROOM-1" and pillar is not None:
            pillar_area, pillar_length = measured([(x, y) for x, y in pillar.get_points("xy")])
            area, length = area - pillar_area, length + pillar_length
            minus = pillar.dxf.handle + ","
        attributes = {a.dxf.tag: a.dxf.text for a in insert.attribs}
        check(attributes.get("NAME") == room, "%s: NAME %r" % (name, attributes.get("NAME")))
        check(attributes.get("AREA") == "%.2fsq.m." % area,
              "%s: AREA %r, outline %.2f" % (name, attributes.get("AREA"), area))
        check(attributes.get("AUX") == " ", "%s: AUX %r" % (name, attributes.get("AUX")))
        record = [t.value for t in insert.get_xdata("ADE")] if insert.has_xdata("ADE") else []
        check(record[:4] == ["{", "AREA=%.2fsq.m." % area, "PERIMETER=%.2fm." % length,
                             "NAME=" + room], "%s: record %s" % (name, record[:4]))
        check("HANDLESTOMINUS=" + minus in record, "%s: subtracted %s" % (name, record[-3:]))
        check(links_of(insert) == LINKS[name], "%s: links %s" % (name, links_of(insert)))

    for failure in failures:
        print("FAILED: " + failure)
    if failures:
        return 1
    print("%d rooms checked: names, areas, extended data and hyperlinks" % len(NAMES))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
