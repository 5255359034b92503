#!/usr/bin/python3
"""Writes the benchmark floor plan: rooms as closed polylines with arcs and extended data,
a room name text in each, and a door block reference at each room's entrance.

usage: make_floorplan.py OUTPUT.dxf [ROOMS]   (20,000 rooms unless told; about 11 MB)
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


def main():
    output = sys.argv[1]
    rooms = int(sys.argv[2]) if len(sys.argv) > 2 else 20000
    rng = random.Random(20240601)
    doc = ezdxf.new("R2013")
    doc.appids.new(APP)
    for name, color in (("ROOMS", 3), ("ROOM_NAMES", 7), ("DOORS", 1)):
        doc.layers.new(name, dxfattribs={"color": color})
    add_door_block(doc)
    msp = doc.modelspace()
    columns = 200
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
        msp.add_text(f"Room {i:05d}", dxfattribs={
            "layer": "ROOM_NAMES", "height": 0.25, "insert": (x + 0.3, y + h / 2)})
        msp.add_blockref("DOOR", (x + 0.2, y), dxfattribs={
            "layer": "DOORS", "rotation": rng.choice((0, 90, 180, 270))})
    doc.saveas(output)


if __name__ == "__main__":
    main()
