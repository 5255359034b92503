#!/usr/bin/python3
"""Checks the drawing saved by the space-block collection case with ezdxf.

usage: check_space_collection.py SAVED.dxf

The saved drawing must pass ezdxf's audit and hold, for each space block reference "ROOM-n", one
hatch with the pattern ANSI31 at scale 50, the true colour 200,120,40, on the layer ROOM-HATCH,
whose one boundary path is the block's outline polyline carried by the reference's transform
(vertices to 1e-6, bulges equal), and which carries the hyperlink "http://rooms/R-n" with the
description "Room R-n", as the reference does. One reference is turned by 30 degrees and scaled
by 1.5; each block's outline is still where the floor plan drew it relative to the others.
"""
import math
import sys

import ezdxf
from ezdxf.math import Vec3

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def outline_of(doc, insert):
    block = doc.blocks.get(insert.dxf.name)
    for entity in block:
        if entity.dxftype() == "LWPOLYLINE":
            return entity
    return None


def placed(insert, outline):
    """The outline's vertices and bulges as the reference shows them (world x, y)."""
    matrix = insert.matrix44()
    mirrored = matrix.ux.cross(matrix.uy).z < 0
    points = []
    for x, y, _, _, bulge in outline.get_points("xyseb"):
        p = matrix.transform(Vec3(x, y, outline.dxf.elevation))
        points.append((p.x, p.y, -bulge if mirrored else bulge))
    return points


def main():
    doc = ezdxf.readfile(sys.argv[1])
    auditor = doc.audit()
    check(not auditor.has_errors, "audit errors: %s" % [str(e) for e in auditor.errors])
    msp = doc.modelspace()
    inserts = [e for e in msp.query("INSERT") if e.dxf.name.startswith("ROOM-")]
    hatches = list(msp.query("HATCH"))
    check(len(inserts) == 6, "space blocks: %d" % len(inserts))
    check(len(hatches) == len(inserts), "hatches: %d for %d blocks" % (len(hatches), len(inserts)))
    by_link = {}
    for hatch in hatches:
        link = hatch.get_hyperlink()
        by_link[link[0]] = hatch
        check(hatch.dxf.pattern_name == "ANSI31", "pattern %s" % hatch.dxf.pattern_name)
        check(abs(hatch.dxf.pattern_scale - 50.0) < 1e-9, "scale %s" % hatch.dxf.pattern_scale)
        check(hatch.dxf.layer == "ROOM-HATCH", "layer %s" % hatch.dxf.layer)
        check(hatch.rgb == (200, 120, 40), "colour %s" % (hatch.rgb,))
        check(doc.layers.has_entry("ROOM-HATCH"), "no layer ROOM-HATCH")
    turned = 0
    for insert in inserts:
        name, description, _ = insert.get_hyperlink()
        check(name.startswith("http://rooms/R-"), "%s: hyperlink %r" % (insert.dxf.name, name))
        check(description == "Room " + name[len("http://rooms/"):],
              "%s: description %r" % (insert.dxf.name, description))
        hatch = by_link.get(name)
        check(hatch is not None, "%s: no hatch with hyperlink %s" % (insert.dxf.name, name))
        if hatch is None:
            continue
        check(hatch.get_hyperlink()[1] == description, "%s: hatch description" % name)
        if abs(insert.dxf.rotation - 30.0) < 1e-9:
            turned += 1
            check(abs(insert.dxf.xscale - 1.5) < 1e-12, "turned block scale %s" % insert.dxf.xscale)
        outline = outline_of(doc, insert)
        check(outline is not None, "%s: no outline" % insert.dxf.name)
        if outline is None:
            continue
        expected = placed(insert, outline)
        paths = list(hatch.paths)
        check(len(paths) == 1, "%s: %d paths" % (name, len(paths)))
        if not paths:
            continue
        vertices = [(v[0], v[1], v[2]) for v in paths[0].vertices]
        check(len(vertices) == len(expected),
              "%s: %d vertices, expected %d" % (name, len(vertices), len(expected)))
        for got, want in zip(vertices, expected):
            check(math.dist(got[:2], want[:2]) < 1e-6 and abs(got[2] - want[2]) < 1e-9,
                  "%s: vertex %s, expected %s" % (name, got, want))
    check(turned == 1, "turned references: %d" % turned)
    if failures:
        print("\n".join(failures))
        return 1
    print("%d hatched and hyperlinked space blocks checked" % len(inserts))
    return 0


if __name__ == "__main__":
    sys.exit(main())
