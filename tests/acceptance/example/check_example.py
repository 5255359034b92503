#!/usr/bin/python3
"""Checks what the example script (examples/floor.scr) left behind, with readers that are not the
host's: the saved drawing with ezdxf, the comma-separated list with Python's csv module, the PDF
with pdfinfo and pdftotext, the PNG with PIL and the DWF with the tests' own DWF reader
(tests/support/dwfread.py, written from the format's descriptions, not from the host's writer).

usage: check_example.py SCRIPT SOURCE.dxf WORK

What to expect is read from the script itself, so that the check follows the example as it grows:
the precision typed into the first-start preferences ("set 290 N"), the drawing name after
"saveas", the outline given to ogabc, the polylines picked in obc's session, the report file named
to oagr (found on drive C:, WORK/home) and the files named to EXPORT. A step the script does not
run is not looked for; a step it runs must have left its result.
- ogabc: one ROOM-GROSS_AREA reference named "GROSS AREA" over the floor outline.
- obc: ROOM-1, ROOM-2, ... in the order picked, named "Room 1", "Room 2", ... (the proposed
  names), each holding the outline of the polyline picked (which is gone from model space).
- every space block: AREA attribute and the AREA and PERIMETER of its extended data "ADE" equal
  ezdxf's own area and length of its outline as the reference places it (millimetres: square
  metres and metres), to the precision.
- ocsv: the file beside the drawing, Windows-1252 with CR LF, a line per room in the order of the
  handles' values with the same areas and perimeters, the total, two empty lines, the gross area.
- oagr: per category of the report a hatch over each of its rooms (pattern, colour, layer, the
  boundary the room's outline), the legend block with its ACAD_TABLE (a row per category with its
  swatch and area) and the pie block with a wedge per category whose sweep is its share of the
  area; every layer off except those the report names and its hatch layers.
- EXPORT: a PDF page of the layout's paper (pdfinfo), a PNG of that paper at 96 pixels per inch
  (PIL) in which a room of a solid-hatched category shows the category's colour at its centroid,
  each inked within the paper's printable area (poppler renders the PDF), off the paper's edge;
  a DWF page of the same paper, everything drawn on it, a room of a solid-hatched category
  filled in the category's colour at its centroid, and every text where the PDF has it.
"""
import csv
import io
import math
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

import ezdxf
from ezdxf import bbox
from ezdxf.math import area as polygon_area
from ezdxf.protocols import query_virtual_entities
from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
import dwfread  # noqa: E402

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


# --- the script ---------------------------------------------------------------------------------

class Script:
    """What the example script does, read from its lines."""

    def __init__(self, path):
        lines = [line.rstrip("\r\n") for line in open(path, encoding="utf-8")]
        self.lines = lines
        self.commands = set(lines)
        self.precision = 2
        for line in lines:
            m = re.fullmatch(r"set 290 (\d+)", line)
            if m:
                self.precision = int(m.group(1))
                break
        self.saved = self.answer("saveas")
        self.gross_outline = self.answer("ogabc")
        self.picked = self.obc_picks()
        self.report = self.answer("oagr")
        self.exports = [lines[i + 1] for i, line in enumerate(lines) if line == "export"]

    def answer(self, command):
        """The line after the command's first line, or None when the script does not run it."""
        for i, line in enumerate(self.lines):
            if line == command:
                return self.lines[i + 1]
        return None

    def obc_picks(self):
        """The handles picked in the creator's session, from "click 3" (Start) to its cancel."""
        if "obc" not in self.commands:
            return []
        start = self.lines.index("obc")
        picks, inside = [], False
        for line in self.lines[start:]:
            if line == "click 3":
                inside = True
            elif line == "^C":
                break
            elif inside and line.startswith("#"):
                picks.append(line[1:].upper())
        return picks


# --- geometry ----------------------------------------------------------------------------------

def outline_world(doc, insert):
    """The outline of a space block's definition as the reference places it."""
    block = doc.blocks.get(insert.dxf.name)
    polyline = next(e for e in block if e.dxftype() == "LWPOLYLINE")
    m = insert.matrix44()
    return [m.transform((x, y, 0)) for x, y in polyline.get_points("xy")]


def measured(points):
    """Area in square metres and length in metres of a closed outline in millimetres."""
    flat = [(p[0], p[1]) for p in points]
    length = sum(math.dist(flat[i - 1], flat[i]) for i in range(len(flat)))
    return polygon_area(points) / 1e6, length / 1e3


def same_outline(a, b):
    return len(a) == len(b) and all(
        abs(p[0] - q[0]) < 1e-6 and abs(p[1] - q[1]) < 1e-6 for p, q in zip(a, b))


def extended(insert, key):
    """The value of KEY=... in the reference's "ADE" extended data."""
    for tag in insert.get_xdata("ADE"):
        if tag.code == 1000 and tag.value.startswith(key + "="):
            return tag.value[len(key) + 1:]
    return None


# --- the drawing -------------------------------------------------------------------------------

def check_spaces(doc, source, script):
    """The space blocks; returns the references by block name."""
    msp = doc.modelspace()
    spaces = {e.dxf.name: e for e in msp.query("INSERT") if e.dxf.name.startswith("ROOM-")}
    model_space = {e.dxf.handle.upper() for e in msp}
    plan = {e.dxf.handle.upper(): e for e in source.modelspace().query("LWPOLYLINE")}
    digits = script.precision
    expected = {}
    if script.gross_outline:
        handle = script.gross_outline.lstrip("#").upper()
        expected["ROOM-GROSS_AREA"] = ("GROSS AREA", handle)
    for i, handle in enumerate(script.picked, 1):
        expected[f"ROOM-{i}"] = (f"Room {i}", handle)
    check(sorted(spaces) == sorted(expected),
          f"space blocks {sorted(spaces)}, expected {sorted(expected)}")

    for name, (title, handle) in expected.items():
        insert = spaces.get(name)
        if insert is None:
            continue
        outline = outline_world(doc, insert)
        drawn = plan.get(handle)
        if drawn is not None:  # picked from the plan as shipped (not drawn by the script)
            check(same_outline(outline, [(x, y) for x, y in drawn.get_points("xy")]),
                  f"{name}: outline is not the one of #{handle}")
        check(handle not in model_space, f"{name}: the picked polyline #{handle} is still drawn")
        area, length = measured(outline)
        texts = {a.dxf.tag: a.dxf.text for a in insert.attribs}
        check(texts.get("NAME") == title, f"{name}: NAME {texts.get('NAME')!r}")
        check(texts.get("AREA") == f"{area:.{digits}f}sq.m.", f"{name}: AREA {texts.get('AREA')!r}"
              f" for {area:.{digits}f}")
        check(extended(insert, "NAME") == title, f"{name}: extended NAME")
        check(extended(insert, "AREA") == f"{area:.{digits}f}sq.m.",
              f"{name}: extended AREA {extended(insert, 'AREA')!r}")
        check(extended(insert, "PERIMETER") == f"{length:.{digits}f}m.",
              f"{name}: extended PERIMETER {extended(insert, 'PERIMETER')!r} for {length}")
    return spaces


def check_csv(path, spaces, script):
    check(os.path.exists(path), f"no csv file {path}")
    if not os.path.exists(path):
        return
    raw = open(path, "rb").read()
    check(raw.count(b"\n") == raw.count(b"\r\n"), "a csv line does not end with CR LF")
    check(b"\xb2" in raw and b"\xc2\xb2" not in raw, "the superscript two is not byte B2")
    rows = list(csv.reader(io.StringIO(raw.decode("cp1252"), newline="")))
    digits = script.precision
    rooms, gross, total_area, total_length = [], [], 0.0, 0.0
    for insert in sorted(spaces.values(), key=lambda e: int(e.dxf.handle, 16)):
        area, length = measured(outline_world(insert.doc, insert))
        name = extended(insert, "NAME")
        row = [name, f"{area:.{digits}f}", "m\u00b2", f"{length:.{digits}f}", "m"]
        if insert.dxf.name == "ROOM-GROSS_AREA":
            gross.append(row)
        else:
            rooms.append(row)
            total_area += area
            total_length += length
    total = ["Total", f"{total_area:.{digits}f}", "m\u00b2", f"{total_length:.{digits}f}", "m"]
    expected = [["Code", "Area", "Units", "Perimeter", "Units"]] + rooms + [total, [], []] + gross
    check(rows == expected, f"csv rows {rows}\nexpected {expected}")


def read_report(path):
    ns = {"g": "urn:orvan:graphicReport"}
    root = ET.parse(path).getroot()
    categories = []
    for c in root.findall("g:categories/g:category", ns):
        colour = c.findtext("g:cHatchColour", namespaces=ns)
        categories.append({
            "title": c.findtext("g:cTitle", namespaces=ns),
            "pattern": c.findtext("g:cHatchPattern", namespaces=ns),
            "rgb": tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5)),
            "layer": c.findtext("g:cHatchLayer", namespaces=ns),
            "handles": [h.text.upper() for h in c.findall("g:orvanBlocks/g:orvanBlock/g:mbHandle",
                                                         ns)],
        })
    layers_on = [n.text for n in root.findall("g:layersOn/g:layerOn/g:loName", ns)]
    return root.findtext("g:grTitle", namespaces=ns), categories, layers_on


def check_report(doc, report_path):
    title, categories, layers_on = read_report(report_path)
    msp = doc.modelspace()
    inserts = {e.dxf.name: e for e in msp.query("INSERT")}
    by_handle = {e.dxf.handle.upper(): e for e in msp.query("INSERT")}
    hatches = list(msp.query("HATCH"))
    check(len(hatches) == sum(len(c["handles"]) for c in categories),
          f"{len(hatches)} hatches in model space")
    areas = []
    for category in categories:
        on_layer = [h for h in hatches if h.dxf.layer == category["layer"]]
        check(len(on_layer) == len(category["handles"]),
              f"{category['title']}: {len(on_layer)} hatches on {category['layer']}")
        total = 0.0
        for handle in category["handles"]:
            room = by_handle.get(handle)
            check(room is not None, f"{category['title']}: no space block #{handle}")
            if room is None:
                continue
            outline = outline_world(doc, room)
            total += measured(outline)[0]
            found = [h for h in on_layer
                     if same_outline([(v[0], v[1]) for v in h.paths[0].vertices], outline)]
            check(len(found) == 1, f"{category['title']}: no hatch over #{handle}")
            for hatch in found:
                check(hatch.dxf.pattern_name == category["pattern"],
                      f"#{handle}: pattern {hatch.dxf.pattern_name}")
                check(hatch.rgb is not None and tuple(hatch.rgb) == category["rgb"],
                      f"#{handle}: colour {hatch.rgb}")
        areas.append(total)

    legend_name = f"[ORVAN_LEGEND]_{title}"
    legend = doc.blocks.get(legend_name)
    check(legend is not None and legend_name in inserts, "no legend inserted")
    if legend is not None:
        tables = [e for e in legend if e.dxftype() == "ACAD_TABLE"]
        check(len(tables) == 1, f"{len(tables)} tables in the legend")
        if tables:
            cells = list(query_virtual_entities(tables[0]))
            texts = [e.dxf.text for e in cells if e.dxftype() == "TEXT"]
            swatches = [e.dxf.name for e in cells if e.dxftype() == "INSERT"]
            for category, area in zip(categories, areas):
                row = f"{area:.2f}"
                check(category["title"] in texts and row in texts,
                      f"legend row of {category['title']} ({row}) not in {texts}")
                check(f"[ORVAN_LEGEND_HATCH]_{title}_{category['title']}" in swatches,
                      f"no swatch of {category['title']} in the legend")
    for category in categories:
        swatch = doc.blocks.get(f"[ORVAN_LEGEND_HATCH]_{title}_{category['title']}")
        check(swatch is not None and any(e.dxftype() == "HATCH" for e in swatch),
              f"no swatch block with a hatch for {category['title']}")

    pie_name = f"[ORVAN_PIECHART]_{title}"
    pie = doc.blocks.get(pie_name)
    check(pie is not None and pie_name in inserts, "no pie chart inserted")
    if pie is not None:
        wedges = [e for e in pie if e.dxftype() == "HATCH"]
        check(len(wedges) == len(categories), f"{len(wedges)} wedges")
        # A wedge's arc is the bulge of its boundary: a sweep of 4 atan(|bulge|).
        sweeps = sorted(sum(4 * math.atan(abs(v[2])) for v in w.paths[0].vertices) / (2 * math.pi)
                        for w in wedges)
        shares = sorted(a / sum(areas) for a in areas)
        check(len(sweeps) == len(shares) and
              all(abs(s - t) < 1e-9 for s, t in zip(sweeps, shares)),
              f"wedge shares {sweeps}, areas give {shares}")

    on = set(layers_on) | {c["layer"] for c in categories}
    for layer in doc.layers:
        name = layer.dxf.name
        if name in on:
            check(not layer.is_off(), f"layer {name} is off")
        elif name != "Defpoints":
            check(layer.is_off(), f"layer {name} is on")
    return categories


# --- the plots ---------------------------------------------------------------------------------

def paper_mm(doc):
    """The model layout's paper, width and height in millimetres as plotted."""
    layout = doc.layouts.get("Model").dxf_layout.dxf
    width, height = layout.paper_width, layout.paper_height
    if layout.plot_rotation in (1, 3):
        width, height = height, width
    return width, height


def printable_mm(doc):
    """The model layout's printable area as plotted: (left, bottom, right, top) in millimetres
    from the paper's lower left corner (the paper within its margins)."""
    layout = doc.layouts.get("Model").dxf_layout.dxf
    check(layout.plot_rotation == 0, "the example expects a plot that is not turned")
    width, height = paper_mm(doc)
    return (layout.left_margin, layout.bottom_margin, width - layout.right_margin,
            height - layout.top_margin)


def fitted(doc, box, per_mm):
    """The scale (device units per drawing unit) and the centre (device units, y up) of the
    extents `box` fitted and centred in the printable area, at `per_mm` device units per
    millimetre."""
    left, bottom, right, top = printable_mm(doc)
    scale = min((right - left) * per_mm / box.size.x, (top - bottom) * per_mm / box.size.y)
    return scale, ((left + right) / 2 * per_mm, (bottom + top) / 2 * per_mm)


def check_off_the_edge(image, per_mm, name, doc):
    """What the page shows lies in the printable area, off the paper's edge: no line is cut."""
    mask = image.convert("L").point(lambda v: 255 if v < 250 else 0)
    box = mask.getbbox()
    check(box is not None, f"{name} is blank")
    if box is None:
        return
    x0, y0, x1, y1 = box
    check(x0 > 0 and y0 > 0 and x1 < image.width and y1 < image.height,
          f"{name}: the ink {box} touches the edge of {image.width} x {image.height}")
    left, bottom, right, top = printable_mm(doc)
    check(left > 0 and bottom > 0 and right < paper_mm(doc)[0] and top < paper_mm(doc)[1],
          f"{name}: the paper has no margins {left, bottom, right, top}")
    # Half a line's width may reach past the printable area.
    slack = 1.0 * per_mm
    check(x0 >= left * per_mm - slack and x1 <= right * per_mm + slack
          and y0 >= image.height - top * per_mm - slack
          and y1 <= image.height - bottom * per_mm + slack,
          f"{name}: the ink {box} reaches past the printable area of "
          f"{image.width} x {image.height}")


def check_pdf(path, doc):
    check(os.path.exists(path), f"no PDF {path}")
    if not os.path.exists(path):
        return
    info = subprocess.run(["pdfinfo", path], capture_output=True, text=True).stdout
    m = re.search(r"Page size:\s+([\d.]+) x ([\d.]+) pts", info)
    check(m is not None, f"pdfinfo gives no page size: {info}")
    check("Pages:           1" in info, "not one page")
    if m:
        width, height = (v * 72 / 25.4 for v in paper_mm(doc))
        check(abs(float(m.group(1)) - width) < 0.5 and abs(float(m.group(2)) - height) < 0.5,
              f"page {m.group(1)} x {m.group(2)} pts, paper {width:.2f} x {height:.2f}")
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["pdftoppm", "-r", "96", "-gray", "-singlefile", path, f"{folder}/page"],
                       check=True)
        with Image.open(f"{folder}/page.pgm") as page:
            check_off_the_edge(page, 96 / 25.4, "the PDF page", doc)


def check_png(path, doc, categories):
    check(os.path.exists(path), f"no PNG {path}")
    if not os.path.exists(path):
        return
    image = Image.open(path).convert("RGB")
    width, height = (round(v / 25.4 * 96) for v in paper_mm(doc))
    check(abs(image.width - width) <= 1 and abs(image.height - height) <= 1,
          f"image {image.size}, paper at 96 ppi {width} x {height}")
    check_off_the_edge(image, 96 / 25.4, "the PNG", doc)
    # The model layout, which the example drawing gives without plot settings, plots the
    # extents of what is shown, scaled to fit and centred in the paper's printable area:
    # ezdxf's own extents of the entities on layers that are on.
    layout = doc.layouts.get("Model").dxf_layout.dxf
    check(layout.plot_layout_flags & 4 == 4, "the example expects a centred plot")
    shown = [e for e in doc.modelspace()
             if doc.layers.get(e.dxf.layer) is None or not doc.layers.get(e.dxf.layer).is_off()]
    box = bbox.extents(shown)
    scale, (mid_x, mid_y) = fitted(doc, box, 96 / 25.4)
    by_handle = {e.dxf.handle.upper(): e for e in doc.modelspace().query("INSERT")}
    if not categories:
        return  # no report applied: nothing coloured to look for
    solid = [c for c in categories if c["pattern"] == "SOLID"]
    check(solid, "the report has no solid category to look for")
    for category in solid:
        for handle in category["handles"]:
            outline = outline_world(doc, by_handle[handle])
            cx = sum(p.x for p in outline) / len(outline)
            cy = sum(p.y for p in outline) / len(outline)
            px = int(mid_x + (cx - box.center.x) * scale)
            py = int(image.height - mid_y - (cy - box.center.y) * scale)
            colour = image.getpixel((px, py))
            check(colour == category["rgb"],
                  f"#{handle} at ({px},{py}) is {colour}, not {category['rgb']}")
def check_dwf(path, doc, categories, pdf):
    check(os.path.exists(path), f"no DWF {path}")
    if not os.path.exists(path):
        return
    try:
        pages = dwfread.read(path)
    except dwfread.DwfError as error:
        check(False, f"the DWF does not read: {error}")
        return
    check(len(pages) == 1, f"{len(pages)} DWF pages")
    page = pages[0]
    width, height = paper_mm(doc)
    check(page.units == "mm" and abs(page.width - width) < 0.01
          and abs(page.height - height) < 0.01,
          f"DWF paper {page.width} x {page.height} {page.units}, not {width} x {height} mm")
    box = page.box()
    check(box is not None and page.polylines and page.texts, "the DWF page draws no lines or texts")
    if box is None:
        return
    check(box[0] >= -0.01 and box[1] >= -0.01 and box[2] <= width + 0.01
          and box[3] <= height + 0.01, f"the DWF draws outside its paper: {box}")
    shown = [e for e in doc.modelspace()
             if doc.layers.get(e.dxf.layer) is None or not doc.layers.get(e.dxf.layer).is_off()]
    extents = bbox.extents(shown)
    scale, (mid_x, mid_y) = fitted(doc, extents, 1.0)
    by_handle = {e.dxf.handle.upper(): e for e in doc.modelspace().query("INSERT")}
    for category in (c for c in categories if c["pattern"] == "SOLID"):
        for handle in category["handles"]:
            outline = outline_world(doc, by_handle[handle])
            cx = sum(p.x for p in outline) / len(outline)
            cy = sum(p.y for p in outline) / len(outline)
            at = (mid_x + (cx - extents.center.x) * scale,
                  mid_y + (cy - extents.center.y) * scale)
            check(any(f["rgb"] == category["rgb"] and dwfread.inside(at, f["contours"])
                      for f in page.fills),
                  f"#{handle}: no DWF fill in {category['rgb']} at {at}")
    if not os.path.exists(pdf):
        return
    missing = dwfread.texts_not_in_pdf(page, pdf, across=1.5, up=2.5)
    check(not missing, f"DWF texts not where the PDF has them: {missing}")


def main(script_path, source_path, work):
    script = Script(script_path)
    check(script.saved is not None, "the script saves no drawing")
    saved = os.path.join(work, script.saved)
    doc = ezdxf.readfile(saved)
    auditor = doc.audit()
    check(not auditor.has_errors, f"audit errors: {[str(e) for e in auditor.errors]}")
    source = ezdxf.readfile(source_path)

    spaces = check_spaces(doc, source, script)
    if "ocsv" in script.commands:
        check_csv(os.path.splitext(saved)[0] + ".csv", spaces, script)
    categories = []
    if script.report:
        report = os.path.join(work, "home", script.report.removeprefix("C:\\").replace("\\", "/"))
        categories = check_report(doc, report)
    for name in script.exports:
        path = os.path.join(work, name)
        if name.endswith(".pdf"):
            check_pdf(path, doc)
        elif name.endswith(".png"):
            check_png(path, doc, categories)
        elif name.endswith(".dwf"):
            pdfs = [n for n in script.exports if n.endswith(".pdf")]
            check_dwf(path, doc, categories, os.path.join(work, pdfs[0]) if pdfs else "")

    for failure in failures:
        print("FAIL:", failure)
    print("ok" if not failures else f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
