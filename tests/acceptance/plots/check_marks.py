#!/usr/bin/python3
"""Checks the plots and the saved copy of drawings/marks.dxf (made with ezdxf).

usage: check_marks.py ORIGINAL.dxf SAVED.dxf PLOT.png PLOT.jpg PLOT.pdf

Each plot (the PDF rasterised by pdftoppm) must show ink in the place of every entity of the
drawing and nowhere else; its frame, a rectangle from (0, 0) to (400, 200), gives the scale. The
two multi-line texts must show their lines where their attachment points and wrapping put them;
a point on the layer "Defpoints" at (350, 50) must not show. ezdxf must audit the saved copy
without an error and find every entity of the original unchanged.
"""
import subprocess
import sys
import tempfile

import ezdxf
from PIL import Image, ImageDraw

# Where each entity inks, in drawing units (x0, y0, x1, y1).
PLACES = {
    "top-left text": (10, 150, 90, 191),
    "ellipse": (110, 130, 190, 170),
    "spline": (210, 110, 290, 190),
    "bottom-right text": (40, 8, 90, 27),
    "point": (15, 85, 15, 85),
    "solid": (110, 10, 140, 40),
    "trace": (160, 10, 190, 40),
    "leader": (115, 60, 190, 90),
    "dimension": (210, 20, 290, 53),
    "elliptic hatch": (20, 47, 60, 67),
    "spline-edged hatch": (310, 110, 390, 180),
}
MARGIN = 1.0  # drawing units around each place
FRAME = (0, 0, 400, 200)


class Plot:
    def __init__(self, image, dark):
        grey = image.convert("L")
        self.ink = grey.point(lambda v: 255 if v < dark else 0)
        box = self.ink.getbbox()
        if box is None:
            raise SystemExit("no ink at all")
        self.left, self.top, right, bottom = box
        self.scale = (right - 1 - self.left) / (FRAME[2] - FRAME[0])
        self.bottom = bottom - 1
        self.pixels = self.ink.load()

    def pixel(self, x, y):
        return self.left + x * self.scale, self.bottom - y * self.scale

    def inked(self, x0, y0, x1, y1):
        """The inked pixels of a box in drawing units, widened by the margin."""
        px0, py1 = self.pixel(x0 - MARGIN, y0 - MARGIN)
        px1, py0 = self.pixel(x1 + MARGIN, y1 + MARGIN)
        return [(x, y) for y in range(max(0, int(py0)), min(self.ink.height, int(py1) + 1))
                for x in range(max(0, int(px0)), min(self.ink.width, int(px1) + 1))
                if self.pixels[x, y]]

    def drawing(self, x, y):
        return (x - self.left) / self.scale, (self.bottom - y) / self.scale


def bands(plot, points):
    """Runs of inked rows (in drawing y, top first) among the points."""
    rows = sorted({y for _, y in points})
    runs = []
    for y in rows:
        if runs and y - runs[-1][1] <= 1:
            runs[-1][1] = y
        else:
            runs.append([y, y])
    return [(plot.drawing(0, a)[1], plot.drawing(0, b)[1]) for a, b in runs]


def check_plot(name, plot, failures):
    for place, box in PLACES.items():
        if not plot.inked(*box):
            failures.append(f"{name}: no ink for the {place}")
    # Nowhere else: with the frame and the places blanked, no ink is left.
    rest = plot.ink.copy()
    draw = ImageDraw.Draw(rest)
    x0, y1 = plot.pixel(FRAME[0], FRAME[1])
    x1, y0 = plot.pixel(FRAME[2], FRAME[3])
    for edge in ((x0, y0, x1, y0), (x0, y1, x1, y1), (x0, y0, x0, y1), (x1, y0, x1, y1)):
        draw.rectangle((edge[0] - 3, edge[1] - 3, edge[2] + 3, edge[3] + 3), fill=0)
    for x0, y0, x1, y1 in PLACES.values():
        left, bottom = plot.pixel(x0 - MARGIN, y0 - MARGIN)
        right, top = plot.pixel(x1 + MARGIN, y1 + MARGIN)
        draw.rectangle((left, top, right, bottom), fill=0)
    stray = rest.getbbox()
    if stray is not None:
        failures.append(f"{name}: ink from {plot.drawing(stray[0], stray[3])} to "
                        f"{plot.drawing(stray[2], stray[1])}, where nothing is")
    # The top-left text: four lines 10 apart (6 high, wrapped at 80), capitals from 190 down.
    lines = bands(plot, plot.inked(*PLACES["top-left text"]))
    tops = [round(top) for top, _ in lines]
    if len(lines) != 4 or any(abs(top - want) > 1.0 for top, want in zip(tops, (190, 180, 170, 160))):
        failures.append(f"{name}: the top-left text's lines start at {tops}")
    points = plot.inked(*PLACES["top-left text"])
    if points and max(plot.drawing(x, 0)[0] for x, _ in points) > 90:
        failures.append(f"{name}: the top-left text runs beyond its width")
    # The bottom-right text: two lines ending at x 90, the last on the baseline 10.
    points = plot.inked(*PLACES["bottom-right text"])
    lines = bands(plot, points)
    right = max((plot.drawing(x, 0)[0] for x, _ in points), default=None)
    if len(lines) != 2 or abs(lines[0][0] - 26) > 1.0 or abs(lines[1][1] - 10) > 1.0 or \
            right is None or abs(right - 90) > 1.0:
        failures.append(f"{name}: the bottom-right text's lines are at {lines}, right end {right}")


def pdf_image(path):
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["pdftoppm", "-r", "200", "-gray", "-singlefile", path, folder + "/page"],
                       check=True)
        return Image.open(folder + "/page.pgm").copy()


def same(a, b):
    if isinstance(a, float) or isinstance(b, float):
        return abs(a - b) <= 1e-9 * max(1.0, abs(a))
    if isinstance(a, (tuple, list)) or hasattr(a, "x"):
        return len(a) == len(b) and all(same(x, y) for x, y in zip(a, b))
    return a == b


def described(entity):
    """What an entity holds, as ezdxf reads it."""
    attributes = entity.dxf.all_existing_dxf_attribs()
    attributes.pop("owner", None)
    facts = {"attributes": attributes}
    kind = entity.dxftype()
    if kind == "MTEXT":
        facts["text"] = entity.text
    elif kind == "SPLINE":
        facts["control"] = list(entity.control_points)
        facts["knots"] = list(entity.knots)
    elif kind == "LEADER":
        facts["vertices"] = list(entity.vertices)
    elif kind == "HATCH":
        facts["edges"] = [[(e.type, vars(e)) for e in path.edges] for path in entity.paths]
        facts["pattern"] = entity.dxf.pattern_name
    elif kind == "DIMENSION":
        facts["block"] = [e.dxftype() for e in entity.get_geometry_block()]
    return facts


def check_saved(original, saved, failures):
    doc = ezdxf.readfile(saved)
    auditor = doc.audit()
    if auditor.has_errors:
        failures.extend(f"saved: {error.message}" for error in auditor.errors)
    before = {e.dxf.handle: e for e in ezdxf.readfile(original).modelspace()}
    after = {e.dxf.handle: e for e in doc.modelspace()}
    if sorted(before) != sorted(after):
        failures.append(f"saved: entities {sorted(before)} became {sorted(after)}")
        return
    for handle, entity in before.items():
        a, b = described(entity), described(after[handle])
        if a.keys() != b.keys() or not all(same_facts(a[k], b[k]) for k in a):
            failures.append(f"saved: {entity.dxftype()} {handle} changed:\n  {a}\n  {b}")


def same_facts(a, b):
    if isinstance(a, dict):
        return a.keys() == b.keys() and all(same_facts(a[k], b[k]) for k in a)
    if isinstance(a, list) and a and isinstance(a[0], (list, tuple, dict)):
        return len(a) == len(b) and all(same_facts(x, y) for x, y in zip(a, b))
    return same(a, b)


def main():
    original, saved, png, jpg, pdf = sys.argv[1:6]
    failures = []
    check_plot("PNG", Plot(Image.open(png), 128), failures)
    check_plot("JPG", Plot(Image.open(jpg), 100), failures)
    check_plot("PDF", Plot(pdf_image(pdf), 128), failures)
    check_saved(original, saved, failures)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
