#!/usr/bin/python3
"""Checks the DWF plots of the plot_dwf cases with the tests' DWF reader (tests/support/dwfread.py)
against the drawing (ezdxf) and the PDF of the same layout (pdftotext):

- plan.dwf: the manifest and the descriptor as the DWF 6 and ePlot schemas require them (the
  reader checks the elements and attributes they make required), one page of the layout's paper
  in millimetres, everything drawn inside it; per kind of object what the drawing holds (a text
  per TEXT with its string on its layer, a fill per solid hatch in the hatch's true colour, the
  pattern hatches' lines in their index colour, the room outlines and doors on their layers);
  each solid-hatched room filled in its colour at its centroid; every text where the PDF of the
  same layout has its first word, at the height of the text's capitals.
- empty.dwf: the empty drawing's export was refused (nothing to plot) and left no file; the
  export of a drawn line to a missing folder left no file and made no folder.

usage: check_dwf.py PLAN.dxf PLOT_HOME DAMAGED_HOME
"""
import io
import os
import sys
import xml.etree.ElementTree as ET
import zipfile

import ezdxf

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
import dwfread  # noqa: E402

failures = []
# DejaVu Sans: the height of capitals per em.
CAP_HEIGHT = 0.729


def check(condition, message):
    if not condition:
        failures.append(message)
def check_versions(path):
    """The schema versions the package declares."""
    data = open(path, "rb").read()
    archive = zipfile.ZipFile(io.BytesIO(data[12:]))
    manifest = ET.fromstring(archive.read("manifest.xml"))
    check(manifest.get("version") == "6.0", f"manifest version {manifest.get('version')}")
    for name in archive.namelist():
        if name.endswith("descriptor.xml"):
            page = ET.fromstring(archive.read(name))
            check(page.get("version") == "1.2", f"descriptor version {page.get('version')}")


def check_plan(doc, home):
    path = os.path.join(home, "plan.dwf")
    try:
        pages = dwfread.read(path)
    except (OSError, dwfread.DwfError) as error:
        check(False, f"plan.dwf does not read: {error}")
        return
    check_versions(path)
    check(len(pages) == 1, f"{len(pages)} pages")
    page = pages[0]
    layout = doc.layouts.get("Model").dxf_layout.dxf
    check((page.units, page.width, page.height) == ("mm", layout.paper_width, layout.paper_height),
          f"paper {page.width} x {page.height} {page.units}")
    check(page.name == "Model" and page.title == "Model", f"page {page.name!r}")
    box = page.box()
    check(box and box[0] >= 0 and box[1] >= 0 and box[2] <= page.width and box[3] <= page.height,
          f"drawn outside the paper: {box}")
    clip = page.clip
    check(clip and 0 <= clip[0] < clip[2] <= page.width and 0 <= clip[1] < clip[3] <= page.height,
          f"plotted area {clip}")

    msp = doc.modelspace()
    texts = list(msp.query("TEXT"))
    check(sorted(t["text"] for t in page.texts) == sorted(t.dxf.text for t in texts),
          "the texts are not the drawing's")
    check(all(t["layer"] == "ROOM_NAMES" and t["font"] == "DejaVu Sans" for t in page.texts),
          "texts off their layer or font")
    solid = [h for h in msp.query("HATCH") if h.dxf.pattern_name == "SOLID"]
    colour = solid[0].rgb
    check(len([f for f in page.fills if f["rgb"] == colour]) == len(solid),
          f"not a fill in {colour} per solid hatch")
    check(all(f["layer"] == "HATCHES" for f in page.fills), "fills off the hatch layer")
    pattern = [p for p in page.polylines if p["rgb"] == (0, 0, 255)]
    check(len(pattern) >= len(msp.query('HATCH[pattern_name=="ANSI31"]')),
          "the ANSI31 hatches (colour 5) draw no blue lines")
    on = {name: len([p for p in page.polylines if p["layer"] == name])
          for name in ("ROOMS", "DOORS", "HATCHES")}
    # Each outline is at least one polyline: a long one (its arcs flattened finer when the plot's
    # scale changes) may come in pieces.
    check(on["ROOMS"] >= len(msp.query("LWPOLYLINE")), f"room outlines: {on}")
    check(on["DOORS"] >= len(msp.query("INSERT")), f"doors: {on}")

    # The map from the drawing to the paper, from the first and last texts (left aligned).
    by_text = {t["text"]: t for t in page.texts}
    a, b = texts[0], texts[-1]
    pa, pb = by_text[a.dxf.text]["at"], by_text[b.dxf.text]["at"]
    scale = (pb[0] - pa[0]) / (b.dxf.insert.x - a.dxf.insert.x)

    def to_paper(x, y):
        return pa[0] + (x - a.dxf.insert.x) * scale, pa[1] + (y - a.dxf.insert.y) * scale

    for t in texts:
        at = by_text[t.dxf.text]["at"]
        expected = to_paper(t.dxf.insert.x, t.dxf.insert.y)
        check(abs(at[0] - expected[0]) < 0.05 and abs(at[1] - expected[1]) < 0.05,
              f"{t.dxf.text} at {at}, not {expected}")
        height = by_text[t.dxf.text]["height"] * CAP_HEIGHT
        check(abs(height - t.dxf.height * scale) < 0.05 * t.dxf.height * scale,
              f"{t.dxf.text}: capitals {height:.2f} mm, not {t.dxf.height * scale:.2f}")
    for hatch in solid:
        points = [v for path in hatch.paths for v in getattr(path, "vertices", [])]
        if not points:
            points = [e.start for path in hatch.paths for e in path.edges]
        cx = sum(p[0] for p in points) / len(points)
        cy = sum(p[1] for p in points) / len(points)
        at = to_paper(cx, cy)
        check(any(f["rgb"] == colour and dwfread.inside(at, f["contours"])
                  for f in page.fills),
              f"no fill in {colour} at {at}")

    missing = dwfread.texts_not_in_pdf(page, os.path.join(home, "plan.pdf"))
    check(not missing, f"texts not where the PDF has them: {missing}")


def check_damaged(home):
    # A plot whose sheet would stay blank is refused, as for every device.
    check(not os.path.exists(os.path.join(home, "empty.dwf")), "the empty drawing was exported")
    check(not os.path.exists(os.path.join(home, "missing")), "the missing folder was made")


def main(plan, home, damaged):
    check_plan(ezdxf.readfile(plan), home)
    check_damaged(damaged)
    print("\n".join(f"FAIL: {failure}" for failure in failures) or "ok")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
