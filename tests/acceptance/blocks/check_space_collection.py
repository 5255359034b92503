#!/usr/bin/python3
"""Checks the drawing saved by the space-block collection case with ezdxf.

usage: check_space_collection.py SAVED.dxf

The saved drawing must pass ezdxf's audit and hold, for each space block reference "ROOM-n", one
hatch with the pattern ANSI31 at scale 50, the true colour 200,120,40, on the layer ROOM-HATCH,
whose one boundary path is the block's outline polyline carried by the reference's transform
(vertices to 1e-6, bulges equal), and which carries the hyperlink "http://rooms/R-n" with the
description "Room R-n", as the reference does. One reference is turned by 30 degrees and scaled
by 1.5. The furniture inside the rooms (the chair in R-1, the desk across R-3's wall) carries
a hatch (ANSI37, scale 20, colour 40,120,200, layer ASSET-HATCH) over its extents and the
hyperlink "http://assets/<block>/<handle>", as its hatch does; the chair outside every room has
neither.
"""
import math
import sys

import ezdxf
import ezdxf.bbox
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
    hatches = [h for h in msp.query("HATCH") if h.dxf.layer != "ASSET-HATCH"]
    asset_hatches = [h for h in msp.query("HATCH") if h.dxf.layer == "ASSET-HATCH"]
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
    furniture = [e for e in msp.query("INSERT") if e.dxf.name in ("CHAIR", "DESK")]
    check(len(furniture) == 3, "furniture: %d" % len(furniture))
    linked = {}
    for hatch in asset_hatches:
        name, description, _ = hatch.get_hyperlink()
        linked[name] = hatch
        check(hatch.dxf.pattern_name == "ANSI37", "asset pattern %s" % hatch.dxf.pattern_name)
        check(abs(hatch.dxf.pattern_scale - 20.0) < 1e-9, "asset scale %s" % hatch.dxf.pattern_scale)
        check(hatch.rgb == (40, 120, 200), "asset colour %s" % (hatch.rgb,))
    for item in furniture:
        expected = "http://assets/%s/%s" % (item.dxf.name, item.dxf.handle)
        inside = tuple(item.dxf.insert)[:2] != (20000.0, 20000.0)
        name, description, _ = item.get_hyperlink()
        check((name == expected) == inside, "%s %s: hyperlink %r" % (item.dxf.name,
                                                                     item.dxf.handle, name))
        check((expected in linked) == inside, "%s %s: hatch" % (item.dxf.name, item.dxf.handle))
        if inside and expected in linked:
            box = ezdxf.bbox.extents([item])
            corners = [(v[0], v[1]) for v in linked[expected].paths[0].vertices]
            check(len(corners) == 4 and
                  all(math.isclose(x, min(box.extmin.x, box.extmax.x), abs_tol=1e-6) or
                      math.isclose(x, max(box.extmin.x, box.extmax.x), abs_tol=1e-6)
                      for x, _ in corners),
                  "%s: asset hatch %s over extents %s" % (expected, corners, box))
    check(len(asset_hatches) == 2, "asset hatches: %d" % len(asset_hatches))
    if failures:
        print("\n".join(failures))
        return 1
    print("%d hatched and hyperlinked space blocks checked" % len(inserts))
    return 0


if __name__ == "__main__":
    sys.exit(main())
