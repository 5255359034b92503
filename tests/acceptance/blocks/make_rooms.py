#!/usr/bin/python3
"""Writes the floor plan of the space-block acceptance case (drawings/rooms.dxf): closed room
outlines in millimetres, some with arcs, one open outline, a line and a text.

usage: make_rooms.py OUTPUT.dxf
"""
import sys

import ezdxf

ROOMS = [
    # x, y, bulge of the segment that starts at the vertex
    [(0, 0, 0), (5000, 0, 0), (5000, 4000, 0), (0, 4000, 0)],
    [(6000, 0, 0), (10000, 0, 1), (10000, 2000, 0), (6000, 2000, 0)],  # semicircular end
    [(0, 5000, 0), (6000, 5000, 0), (6000, 7000, 0), (3000, 7000, 0), (3000, 9000, 0),
     (0, 9000, 0)],  # L-shaped
    [(7000, 5000, 0), (11000, 5000, -0.25), (11000, 8000, 0), (7000, 8000, 0)],  # concave wall
    [(12000, 0, 0), (15000, 0, 0), (15000, 2500, 0.41421356237309503), (14000, 3500, 0),
     (12000, 3500, 0)],  # rounded corner
    [(12500.5, 5000.25, 0.1), (16000.75, 5100.5, 0), (15800, 9000.125, -0.3),
     (12400, 8800, 0)],  # skewed, two arcs
]


def main():
    doc = ezdxf.new("R2013")
    doc.layers.new("ROOMS", dxfattribs={"color": 3})
    doc.layers.new("NOTES", dxfattribs={"color": 7})
    msp = doc.modelspace()
    for room in ROOMS:
        msp.add_lwpolyline(room, format="xyb", close=True, dxfattribs={"layer": "ROOMS"})
    msp.add_lwpolyline([(0, 10000), (5000, 10000), (5000, 12000)], dxfattribs={"layer": "ROOMS"})
    msp.add_line((0, -1000), (16000, -1000), dxfattribs={"layer": "NOTES"})
    msp.add_text("Floor 1", dxfattribs={"layer": "NOTES", "height": 250, "insert": (0, -1500)})
    doc.saveas(sys.argv[1])


if __name__ == "__main__":
    main()
