#!/usr/bin/python3
"""Runs drawings that other programs wrote through the host program, and checks what came out
with programs that are not the host.

usage:
  run_corpus.py --cadhost FILE --module FILE --work DIR [--jobs N] [--kinds] SOURCE...

Each SOURCE is a drawing or a folder (every .dxf below it). Each drawing is opened by cadhost,
which exports its current layout to PDF ("export") and saves it (--save). Then:
  - cadhost ends with 0 and says that it exported the layout: a real host opens, plots and
    saves every one of these drawings;
  - poppler renders the page, which must hold ink when the plotted layout holds an entity that
    the plot draws (DRAWN below, through block references; a paper layout's viewports, whatever
    their layer, through the model space they show);
  - where the plotted layout holds a shape that plots have been seen to leave out (an ellipse
    whose minor axis is the longer, a 3D polyline or mesh, a 3D face, a viewport on a layer that
    does not plot: SHAPES below), the page's ink and that of ezdxf's own rendering of the layout
    (its drawing add-on, through matplotlib) lie within 2 pixels of each other, each for at least
    MATCHED of itself, once both are cut to their ink and brought to one size;
  - ezdxf reads the saved drawing, and its audit finds no error; no entity is written with two
    handles or two layers;
  - where model space plots its extents scaled to fit, no word that poppler reads on the page
    runs over its edge (texts and multi-line texts are measured as the plot sets them), and the
    columns of a multi-line text that breaks into columns stand side by side: the first word of
    each on the line of the first column's first word, to its right; and the page's ink keeps
    off the paper's edge, within the medium's unprintable margin (but on a full-bleed medium).
Prints the counts (and with --kinds how many drawings hold each entity kind), one line per
failure, and exits 1 when there is any.
"""
import argparse
import collections
import concurrent.futures
import os
import re
import shutil
import subprocess
import sys
import tempfile

# The entity kinds that the plot draws. A page whose layout holds only other kinds may be blank.
DRAWN = {"LINE", "ARC", "CIRCLE", "LWPOLYLINE", "POLYLINE", "TEXT", "ATTRIB", "HATCH", "INSERT",
         "MTEXT", "ELLIPSE", "SPLINE", "POINT", "SOLID", "TRACE", "3DFACE", "DIMENSION", "LEADER"}
# The share of each rendering's ink that the other must cover (measured: 0.94 and above where the
# page shows the shapes; 0.69 and 0.41 for openscad's ellipse-rot.dxf and ellipse-arc-rot.dxf
# when their ellipses of ratio 2 and 3.5 were left out).
MATCHED = 0.9

SCRIPT = "export\nC:\\plot.pdf\n"
TIMEOUT = 120
# How far (points) a word's box may reach over the page's edge: poppler boxes a word by the
# font's ascent and descent, the plot by a little more.
EDGE = 0.5
# How far (millimetres) the ink of a plot fitted to a medium keeps off the paper's edge: every
# medium but a full-bleed one leaves an unprintable margin of 5 mm or more.
KEEP_OFF_MM = 3.0
EDGE_DPI = 50


def drawings(sources):
    out = []
    for source in sources:
        if os.path.isdir(source):
            for folder, _, files in os.walk(source):
                out += [os.path.join(folder, f) for f in files if f.lower().endswith(".dxf")]
        else:
            out.append(source)
    return sorted(out)


def layer_shows(doc, name):
    layer = doc.layers.get(name) if name in doc.layers else None
    if layer is None:
        return True
    return layer.is_on() and not layer.is_frozen() and layer.dxf.get("plot", 1) != 0


WHITE = 0xFFFFFF


def white(doc, entity):
    """Whether the entity plots in true-colour white (on white paper: no ink)."""
    if entity.dxf.hasattr("true_color"):
        return entity.dxf.true_color == WHITE
    name = entity.dxf.get("layer", "0")
    layer = doc.layers.get(name) if name in doc.layers else None
    return entity.dxf.get("color", 256) == 256 and layer is not None and \
        layer.dxf.get("true_color", 0) == WHITE


def shows_view(doc, viewport):
    """Whether a paper layout's viewport shows model space (whatever its layer: that hides its
    frame only)."""
    return viewport.dxf.get("id", 0) >= 2 and viewport.dxf.get("status", 0) > 0 and \
        not viewport.dxf.get("invisible", 0) and draws(doc, doc.modelspace())


def draws(doc, entities, depth=0):
    """Whether any of the entities is one that the plot draws, on a layer that shows and in a
    colour that is not white."""
    for e in entities:
        kind = e.dxftype()
        if kind == "VIEWPORT" and depth == 0 and e.dxf.get("paperspace", 0):
            if shows_view(doc, e):
                return True
            continue
        if kind not in DRAWN or e.dxf.get("invisible", 0) or white(doc, e):
            continue
        if depth == 0 and not layer_shows(doc, e.dxf.get("layer", "0")):
            continue
        if kind == "INSERT":
            block = doc.blocks.get(e.dxf.name)
            if (block is not None and depth < 8 and draws(doc, block, depth + 1)) or \
                    any(True for _ in e.attribs):
                return True
        elif kind == "TEXT":
            if e.dxf.get("text", "").strip():
                return True
        elif kind == "LINE":
            if e.dxf.start != e.dxf.end:
                return True
        else:
            return True
    return False


def shapes(doc, entities, depth=0):
    """The kinds of SHAPES among the entities (through block references) that the plot shows:
    ellipses whose minor axis is the longer, 3D polylines and meshes, 3D faces, and viewports on
    a layer that does not plot."""
    found = set()
    for e in entities:
        kind = e.dxftype()
        hidden = not layer_shows(doc, e.dxf.get("layer", "0"))
        if kind == "VIEWPORT":
            if depth == 0 and hidden and e.dxf.get("paperspace", 0) and shows_view(doc, e):
                found.add("a viewport on a layer that does not plot")
            continue
        if e.dxf.get("invisible", 0) or (depth == 0 and hidden):
            continue
        if kind == "ELLIPSE" and e.dxf.get("ratio", 1.0) > 1.0:
            found.add("an ellipse whose minor axis is the longer")
        elif kind == "POLYLINE" and e.dxf.get("flags", 0) & (8 | 16 | 64):
            found.add("a 3D polyline or mesh")
        elif kind == "3DFACE":
            found.add("a 3D face")
        elif kind == "INSERT" and depth < 8:
            block = doc.blocks.get(e.dxf.name)
            if block is not None:
                found |= shapes(doc, block, depth + 1)
    return found


def matches_ezdxf(doc, layout, pdf, folder):
    """The shares of ink (ours in ezdxf's, ezdxf's in ours) of the page and of ezdxf's rendering
    of the layout. ezdxf leaves out a viewport on a layer that does not plot, and draws a view
    without its frame: such viewports are put on a layer that plots first."""
    os.environ.setdefault("MPLCONFIGDIR", os.path.join(folder, "matplotlib"))
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..",
                                    "platform", "host_plot"))
    import compare_ink
    from ezdxf.addons.drawing import matplotlib as ezdxf_matplotlib
    from PIL import Image
    if "QV_SHOWN" not in doc.layers:
        doc.layers.add("QV_SHOWN")
    for viewport in layout.query("VIEWPORT"):
        viewport.dxf.layer = "QV_SHOWN"
    theirs = os.path.join(folder, "ezdxf.png")
    ezdxf_matplotlib.qsave(layout, theirs, bg="#FFFFFF", dpi=100)
    stem = os.path.join(folder, "ours")
    subprocess.run(["pdftoppm", "-r", "100", "-gray", "-singlefile", pdf, stem], check=True,
                   capture_output=True, timeout=TIMEOUT)
    try:
        turns = layout.dxf_layout.dxf.get("plot_rotation", 0)
    except AttributeError:  # (R12: no plot settings)
        turns = 0
    with Image.open(stem + ".pgm") as ours, Image.open(theirs) as rendered:
        # The plot turns the layout counter-clockwise on the sheet; ezdxf does not.
        return compare_ink.ink_overlap(ours.rotate(-90 * turns, expand=True), rendered)


def doubled(saved):
    """The first entity record of the saved drawing that holds its handle (5) or layer (8)
    twice, as "TYPE code", or None."""
    with open(saved, "rb") as f:
        lines = f.read().decode("utf-8", "replace").splitlines()
    section, record, seen = None, None, set()
    for i in range(0, len(lines) - 1, 2):
        code, value = lines[i].strip(), lines[i + 1].strip()
        if code == "0":
            record, seen = value, set()
        elif code == "2" and record == "SECTION":
            section = value
        elif code in ("5", "8") and section in ("ENTITIES", "BLOCKS"):
            if code in seen:
                return "%s %s" % (record, code)
            seen.add(code)
    return None


def inked(pdf, folder):
    from PIL import Image
    stem = os.path.join(folder, "page")
    subprocess.run(["pdftoppm", "-r", "40", "-gray", "-singlefile", pdf, stem], check=True,
                   capture_output=True, timeout=TIMEOUT)
    with Image.open(stem + ".pgm") as page:
        return page.getextrema()[0] < 250


def ink_off_edge(doc, name, pdf, folder):
    """What a fitted plot shows wrongly at the paper's edge: its ink must keep off it, within the
    medium's printable area (a full-bleed medium has none to keep)."""
    from PIL import Image, ImageOps
    layout = doc.layouts.get(name)
    medium = layout.dxf_layout.dxf.get("paper_size", "") if layout is not None else ""
    if "full_bleed" in medium.lower():
        return []
    stem = os.path.join(folder, "edge")
    subprocess.run(["pdftoppm", "-r", str(EDGE_DPI), "-gray", "-singlefile", pdf, stem],
                   check=True, capture_output=True, timeout=TIMEOUT)
    with Image.open(stem + ".pgm") as page:
        box = ImageOps.invert(page).point(lambda v: 255 if v > 50 else 0).getbbox()
        width, height = page.size
    keep = KEEP_OFF_MM / 25.4 * EDGE_DPI
    if box is None or (box[0] >= keep and box[1] >= keep and width - box[2] >= keep and
                       height - box[3] >= keep):
        return []
    return ["the ink of the fitted plot reaches within %.0f mm of the paper's edge (%d, %d to %d, "
            "%d on %d x %d pixels at %d dpi)" % (KEEP_OFF_MM, *box, width, height, EDGE_DPI)]


def words_on_page(pdf):
    """The page's width and height and the words poppler reads on it, each (text, xMin, yMin,
    xMax, yMax) in points from the top left corner."""
    import html
    run = subprocess.run(["pdftotext", "-bbox", pdf, "-"], capture_output=True, timeout=TIMEOUT)
    page = run.stdout.decode("utf-8", "replace")
    size = re.search(r'<page width="([-\d.]+)" height="([-\d.]+)"', page)
    words = [(html.unescape(w), float(a), float(b), float(c), float(d)) for a, b, c, d, w in
             re.findall(r'<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" '
                        r'yMax="([-\d.]+)">(.*?)</word>', page)]
    return (float(size.group(1)), float(size.group(2))) if size else (0.0, 0.0), words


def plots_extents_fitted(doc, name):
    """Whether the layout plots its extents (or its display, which the host plots as its
    extents) scaled to fit, unturned."""
    layout = doc.layouts.get(name)
    if layout is None:
        return False
    dxf = layout.dxf_layout.dxf
    return dxf.get("plot_type", 5) in (0, 1) and dxf.get("plot_layout_flags", 0) & 16 and \
        dxf.get("standard_scale_type", 16) == 0 and dxf.get("plot_rotation", 0) == 0


def column_heads(doc, layout):
    """For each multi-line text of the layout that breaks into columns, runs along x and is
    shown: the first word of each column (None where a column has no plain word)."""
    from ezdxf.tools.text import MTextParser, TokenType
    out = []
    for mtext in layout.query("MTEXT"):
        if not layer_shows(doc, mtext.dxf.get("layer", "0")) or white(doc, mtext) or \
                mtext.dxf.get("invisible", 0):
            continue
        direction = mtext.dxf.get("text_direction", None)
        along_x = (direction is None and abs(mtext.dxf.get("rotation", 0.0)) < 1e-9) or \
            (direction is not None and abs(direction[1]) < 1e-9 and direction[0] > 0)
        if not along_x or tuple(mtext.dxf.get("extrusion", (0, 0, 1))) != (0, 0, 1):
            continue
        heads = [None]
        for token in MTextParser(mtext.text):
            if token.type == TokenType.NEW_COLUMN:
                heads.append(None)
            elif token.type == TokenType.WORD and heads[-1] is None:
                heads[-1] = token.data if re.fullmatch(r"[A-Za-z]{3,}", token.data) else ""
        if len([h for h in heads if h]) >= 2:
            out.append(heads)
    return out


def text_failures(doc, name, pdf):
    """What the page of a fitted model-space plot shows wrongly of its texts."""
    failures = []
    (width, height), words = words_on_page(pdf)
    for text, x0, y0, x1, y1 in words:
        if x0 < -EDGE or y0 < -EDGE or x1 > width + EDGE or y1 > height + EDGE:
            failures.append("the word %r runs over the edge of the page (%.2f, %.2f to %.2f, "
                            "%.2f on %.2f x %.2f pt)" % (text, x0, y0, x1, y1, width, height))
            break
    for heads in column_heads(doc, doc.modelspace()):
        firsts = [w for w in words if w[0] == heads[0]]
        if not firsts:
            continue
        for head in heads[1:]:
            if not head:
                continue
            beside = [w for w in words if w[0] == head and any(
                abs(w[2] - f[2]) < 0.5 * (f[4] - f[2]) and w[1] > f[3] for f in firsts)]
            if not beside:
                failures.append("the column that begins with %r does not stand beside the one "
                                "that begins with %r" % (head, heads[0]))
    return failures


def check(args):
    """Runs one drawing; returns (drawing, failures, facts)."""
    cadhost, module, work, drawing = args
    import ezdxf
    failures = []
    facts = {"kinds": set(), "plotted": False, "inked": None, "clean": False, "fitted": False,
             "compared": False}
    folder = tempfile.mkdtemp(dir=work)
    try:
        script = os.path.join(folder, "run.scr")
        with open(script, "w") as f:
            f.write(SCRIPT)
        saved = os.path.join(folder, "saved.dxf")
        home = os.path.join(folder, "home")
        try:
            run = subprocess.run([cadhost, "--home", home, "--module", module, "--script", script,
                                  "--save", saved, drawing], capture_output=True, text=True,
                                 errors="replace", timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            return drawing, ["cadhost took longer than %d s" % TIMEOUT], facts
        exported = re.search(r"^Exported (.*) to C:\\plot\.pdf\.$", run.stdout, re.M)
        # A plot whose sheet would stay blank is refused, and the script then fails before the
        # save: the drawing is saved by a second run, and must indeed draw nothing.
        nothing = re.search(r"^Nothing to plot in the plot area of (.*?):", run.stdout, re.M)
        if nothing and run.returncode != 0:
            run = subprocess.run([cadhost, "--home", home, "--module", module, "--script",
                                  os.devnull, "--save", saved, drawing], capture_output=True,
                                 text=True, errors="replace", timeout=TIMEOUT)
        elif run.returncode != 0 or not exported:
            said = [l for l in (run.stdout + run.stderr).splitlines()
                    if re.search(r"Unable|[Ee]rror|refused|cannot|ERROR", l)]
            failures.append("cadhost ended with %d: %s" % (run.returncode, " | ".join(said[:3])))
        pdf = os.path.join(home, "plot.pdf")
        if exported and os.path.exists(pdf):
            facts["plotted"] = True
        if not os.path.exists(saved):
            failures.append("nothing was saved")
            return drawing, failures, facts
        try:
            doc = ezdxf.readfile(saved)
            # (before ezdxf's audit, which repairs an ellipse whose minor axis is the longer)
            held = set()
            if exported:
                name = exported.group(1)
                layout = doc.modelspace() if name == "Model" else doc.layouts.get(name)
                held = shapes(doc, layout) if layout is not None else set()
            auditor = doc.audit()
        except Exception as error:  # ezdxf's own refusal, whatever its kind
            failures.append("ezdxf cannot read the saved drawing: %s" % error)
            return drawing, failures, facts
        twice = doubled(saved)
        if twice:
            failures.append("a record is written with a code twice: %s" % twice)
        if auditor.has_errors:
            failures.append("ezdxf's audit: %s" % "; ".join(
                str(e.message) for e in auditor.errors[:3]))
        else:
            facts["clean"] = True
        for layout in [doc.modelspace()] + list(doc.layouts_and_blocks()):
            facts["kinds"].update(e.dxftype() for e in layout)
        if nothing:
            name = nothing.group(1)
            layout = doc.modelspace() if name == "Model" else doc.layouts.get(name)
            if layout is None or draws(doc, layout):
                failures.append("the plot of %s was refused as blank, but the layout holds what "
                                "the plot draws" % name)
        if facts["plotted"]:
            name = exported.group(1)
            layout = doc.modelspace() if name == "Model" else doc.layouts.get(name)
            facts["inked"] = inked(pdf, folder)
            if not facts["inked"] and layout is not None and draws(doc, layout):
                failures.append("the page of %s is blank, but the layout holds what the plot "
                                "draws" % name)
            if name == "Model" and plots_extents_fitted(doc, name):
                facts["fitted"] = True
                failures += text_failures(doc, name, pdf)
                failures += ink_off_edge(doc, name, pdf, folder)
            if held and facts["inked"]:
                facts["compared"] = True
                try:
                    shares = matches_ezdxf(doc, layout, pdf, folder)
                except ValueError as error:  # a rendering without ink
                    shares = (0.0, 0.0)
                    failures.append("ezdxf's rendering of %s: %s" % (name, error))
                if min(shares) < MATCHED:
                    failures.append("the page of %s holding %s is not what ezdxf draws: %.3f of "
                                    "its ink lies on ezdxf's, %.3f of ezdxf's on it" %
                                    (name, " and ".join(sorted(held)), *shares))
        return drawing, failures, facts
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cadhost", required=True)
    parser.add_argument("--module", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--jobs", type=int, default=os.cpu_count())
    parser.add_argument("--kinds", action="store_true")
    parser.add_argument("sources", nargs="+")
    options = parser.parse_args()
    missing = [source for source in options.sources if not os.path.exists(source)]
    if missing:
        print("run_corpus: no such folder or drawing: %s (scripts/setup installs librecad-data)"
              % " ".join(missing))
        return 1
    files = drawings(options.sources)
    if not files:
        print("run_corpus: no drawings in %s" % " ".join(options.sources))
        return 1
    os.makedirs(options.work, exist_ok=True)
    counts = collections.Counter()
    kinds = collections.Counter()
    failed = 0
    jobs = [(options.cadhost, options.module, options.work, d) for d in files]
    with concurrent.futures.ProcessPoolExecutor(options.jobs) as pool:
        for drawing, failures, facts in pool.map(check, jobs, chunksize=4):
            counts["plotted"] += facts["plotted"]
            counts["inked"] += bool(facts["inked"])
            counts["clean"] += facts["clean"]
            counts["fitted"] += facts["fitted"]
            counts["compared"] += facts["compared"]
            kinds.update(facts["kinds"])
            for failure in failures:
                print("%s: %s" % (drawing, failure))
            failed += bool(failures)
    print("%d drawings: %d plotted (%d pages inked, %d fitted with their texts checked, %d "
          "compared with ezdxf's), %d saved and clean in ezdxf, %d failed" %
          (len(files), counts["plotted"], counts["inked"], counts["fitted"], counts["compared"],
           counts["clean"], failed))
    if options.kinds:
        for kind, n in sorted(kinds.items(), key=lambda k: (-k[1], k[0])):
            print("  %-12s %5d drawings%s" % (kind, n, "" if kind in DRAWN else "  (not drawn)"))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
