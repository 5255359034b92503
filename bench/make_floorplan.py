#!/usr/bin/python3
"""Writes the benchmark floor plan: rooms as closed polylines with arcs and extended data,
a room name text in each, and a door block reference at each room's entrance.

usage: make_floorplan.py OUTPUT.dxf [ROOMS [COLUMNS]] [--hatches] [--mm]
  20,000 rooms in 200 columns unless told (about 11 MB); --hatches fills every room with a hatch
  on layer HATCHES: solid, ANSI31 or the crossed user-defined lines in turn, each in a colour of
  its own (a true colour, a colour index, or by layer); --mm makes the drawing's units
  millimetres (ezdxf's default is metres).
"""
import random
import sys

import ezdxf

APP = "QV_ROOM"


def add_door_block(doc):
    door = doc.blocks.new("DOOR")
    door.add_line((0, 0), (0.9, 0), dxfattribs={"layer": "DOORS"})
    door.add_arc((0, 0), 0.9, 0, 90, dxfattribs={"layer": "DOORS"})


def room_outline(x, y, w, h, rng):
    """A rectangle whose east wall bulges out as an arc, sometimes with a rounded corner."""
    bulge = rng.choice((0.25, 0.4, -0.2))
    points = [
        (x, y, 0.0),
        (x + w, y, bulge),
        (x + w, y + h, 0.0),
    ]
    if rng.random() < 0.5:
        points += [(x + 0.5, y + h, 0.41421356), (x, y + h - 0.5, 0.0)]
    else:
        points += [(x, y + h, 0.0)]
    return points


def room_outline_points(outline):
    return [(x, y, b) for x, y, _, _, b in outline.get_points("xyseb")]


def add_hatch(msp, points, i):
    kind = i % 3
    hatch = msp.add_hatch(dxfattribs={"layer": "HATCHES"})
    if kind == 0:
        hatch.set_solid_fill(color=1, rgb=(255, 160, 160))
    elif kind == 1:
        hatch.set_pattern_fill("ANSI31", color=5, scale=0.5)
    else:
        # User-defined lines 0.4 apart at 45 degrees, crossed: angle and spacing in groups 52
        # and 41 as the pattern's own, and the line definitions that say the same.
        hatch.set_pattern_fill("_USER", color=256, angle=45, scale=0.4)
        hatch.dxf.pattern_type = 0
        hatch.set_pattern_definition([[45, (0, 0), (-0.2828, 0.2828), []],
                                      [135, (0, 0), (-0.2828, -0.2828), []]])
        hatch.dxf.pattern_double = 1
    hatch.paths.add_polyline_path(points, is_closed=True)


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    hatches = "--hatches" in sys.argv
    output = args[0]
    rooms = int(args[1]) if len(args) > 1 else 20000
    columns = int(args[2]) if len(args) > 2 else 200
    rng = random.Random(20240601)
    doc = ezdxf.new("R2013")
    if "--mm" in sys.argv:
        doc.header["$INSUNITS"] = 4
    doc.appids.new(APP)
    for name, color in (("ROOMS", 3), ("ROOM_NAMES", 7), ("DOORS", 1), ("HATCHES", 4)):
        doc.layers.new(name, dxfattribs={"color": color})
    add_door_block(doc)
    msp = doc.modelspace()
    for i in range(rooms):
        x = (i % columns) * 6.0
        y = (i // columns) * 5.0
        w = 4.0 + rng.random()
        h = 3.0 + rng.random()
        outline = msp.add_lwpolyline(
            room_outline(x, y, w, h, rng), format="xyb", close=True,
            dxfattribs={"layer": "ROOMS"})
        outline.set_xdata(APP, [
            (1000, f"R{i:05d}"),
            (1000, rng.choice(("Office", "Meeting", "Storage", "Lab"))),
            (1040, round(w * h, 3)),
            (1070, i % 12),
        ])
        if hatches:
            add_hatch(msp, room_outline_points(outline), i)
        msp.add_text(f"Room {i:05d}", dxfattribs={
            "layer": "ROOM_NAMES", "height": 0.25, "insert": (x + 0.3, y + h / 2)})
        msp.add_blockref("DOOR", (x + 0.2, y), dxfattribs={
            "layer": "DOORS", "rotation": rng.choice((0, 90, 180, 270))})
    doc.saveas(output)


if __name__ == "__main__":
    main()
