#!/usr/bin/python3
"""Reads the DWFs that DwfCanvasTest draws (A4 landscape pages, device points from the top left)
with the tests' DWF reader and checks what they hold, in millimetres:

    check_dwf_canvas.py drawn FILE.dwf           what WhatIsDrawnReadsBack draws
    check_dwf_canvas.py holes FILE.dwf FILE.pdf  the fill of ManyHolesStayHolesAsOnThePdf, its holes
                                                 empty and its ring filled as on the PDF (poppler)
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
import dwfread  # noqa: E402

MM = 25.4 / 72
HEIGHT = 595.28
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def paper(x, y):
    return x * MM, (HEIGHT - y) * MM


def near(a, b, tolerance=0.02):
    return abs(a[0] - b[0]) <= tolerance and abs(a[1] - b[1]) <= tolerance

def drawn(path):
    (page,) = dwfread.read(path)
    check(page.name == 'Plan "A" & <1>', f"page name {page.name!r}")
    check(page.clip is not None and near(page.clip[:2], paper(10, HEIGHT - 20))
          and near(page.clip[2:], paper(841.89 - 30, 40)), f"plotted area {page.clip}")
    check(set(page.layers.values()) == {"W\u00e4nde 'A'", "0"}, f"layers {page.layers}")

    blue = [p for p in page.polylines if p["rgb"] == (0, 0, 255)]
    check(len(blue) == 2, f"{len(blue)} polylines for one of 70000 points")
    chain = []
    for p in blue:
        check(p["layer"] == "W\u00e4nde 'A'", f"polyline on {p['layer']}")
        check(abs(p["weight"] - 1.0 * MM) < 0.01, f"weight {p['weight']}")
        points = p["points"]
        if chain:
            check(points[0] == chain[-1], "the second polyline does not go on from the first")
            points = points[1:]
        chain.extend(points)
    check(len(chain) == 70000, f"{len(chain)} points")
    if len(chain) == 70000:
        check(near(chain[0], paper(20, 300)) and near(chain[-1], paper(20 + 69999 * 0.01, 310)),
              f"ends {chain[0]} {chain[-1]}")

    red = [f for f in page.fills if f["rgb"] == (255, 0, 0)]
    check(len(red) == 1 and len(red[0]["contours"]) == 2, "not one red fill of two contours")
    if red:
        check(dwfread.inside(paper(420, 200), red[0]["contours"]), "the ring is not filled")
        check(not dwfread.inside(paper(500, 200), red[0]["contours"]), "the hole is filled")
        check(red[0]["layer"] == "0", f"fill on {red[0]['layer']}")

    green = [p for p in page.polylines if p["rgb"] == (0, 128, 0)]
    check(len(green) == 1 and len(green[0]["points"]) == 2, "the clipped line")
    if green:
        a, b = green[0]["points"]
        check(near(a, paper(100, 450)) and near(b, paper(200, 450)), f"clipped to {a} {b}")
        check(abs(green[0]["weight"] - 2.0 * MM) < 0.01, f"weight {green[0]['weight']}")

    check([t["text"] for t in page.texts] == ["\u00d8 25\u00b0 'q'"],
          f"texts {[t['text'] for t in page.texts]}")
    if page.texts:
        t = page.texts[0]
        check(near(t["at"], paper(300, 100)), f"text at {t['at']}")
        check(abs(t["rotation"] - 30) < 0.01 and abs(t["oblique"] - 15) < 0.05,
              f"rotation {t['rotation']}, oblique {t['oblique']}")
        check(abs(t["width"] - 1) < 0.002 and abs(t["height"] - 20 * MM) < 0.01,
              f"width {t['width']}, height {t['height']}")

    box = page.box()
    check(box is not None and box[0] >= 0 and box[3] <= page.height, f"drawn within {box}")


def holes(path, pdf):
    (page,) = dwfread.read(path)
    fills = [f for f in page.fills if f["rgb"] == (0, 0, 0)]
    check(fills and all(len(f["contours"]) <= 256 + 65535 for f in fills),
          f"contour sets of {[len(f['contours']) for f in fills]} contours")
    # Each contour set filled on its own, even-odd; a point is inked when any set inks it.
    # Only a contour whose box holds a point can hold it: the contours by the cells of a grid.
    cell = 5.0
    grid = {}
    for number, f in enumerate(fills):
        for contour in f["contours"]:
            x0, y0 = min(p[0] for p in contour), min(p[1] for p in contour)
            x1, y1 = max(p[0] for p in contour), max(p[1] for p in contour)
            for i in range(int(x0 // cell), int(x1 // cell) + 1):
                for j in range(int(y0 // cell), int(y1 // cell) + 1):
                    grid.setdefault((i, j), []).append((number, x0, y0, x1, y1, contour))

    def inked(point):
        x, y = point
        crossings = {}
        for number, x0, y0, x1, y1, contour in grid.get((int(x // cell), int(y // cell)), []):
            if x0 <= x <= x1 and y0 <= y <= y1 and dwfread.inside(point, [contour]):
                crossings[number] = crossings.get(number, 0) + 1
        return any(n % 2 for n in crossings.values())

    ink = dwfread.PdfInk(pdf, page, dpi=300)
    wrong = {"hole filled": 0, "ring empty": 0}
    for row in range(200):
        for column in range(350):
            x, y = 30.0 + column * 2.2, 30.0 + row * 2.6
            hole, ring = paper(x + 0.6, y + 0.6), paper(x + 1.7, y + 0.6)
            wrong["hole filled"] += bool(inked(hole) or ink.dark(hole))
            wrong["ring empty"] += not inked(ring) or not ink.dark(ring)
    check(not any(wrong.values()), f"of 70000 holes (DWF or PDF): {wrong}")


if __name__ == "__main__":
    CHECKS = {"drawn": drawn, "holes": holes}
    CHECKS[sys.argv[1]](*sys.argv[2:])
    for failure in failures:
        print("FAIL:", failure)
    sys.exit(1 if failures else 0)
