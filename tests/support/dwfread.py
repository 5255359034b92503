#!/usr/bin/python3
"""A reader of DWF 6 ePlot files, written from the format's published descriptions (the DWF 6
package and the ePlot page, their schemas Manifest.xsd and ePlot.xsd, and the W2D opcode
reference), not from the host's writer, to check what the host plots.

read(path) gives the pages of the package, each with its paper and what its W2D stream draws, in
the paper's units. It raises DwfError for anything it does not understand: a wrong file header,
a manifest or descriptor that lacks what the schemas make required, a resource that is not in
the archive, and any W2D opcode outside the set it knows (so an unknown opcode fails loudly).
A text keeps the box it must fill when the stream gives one, and every drawing keeps the clip (the
W2D viewport) in force when it was drawn.

usage: dwfread.py FILE.dwf [--fill R,G,B]
    prints a summary of every page; fails unless every page draws something inside its paper
    (and, with --fill, fills some area in that colour)
"""
import functools
import io
import math
import os
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET
import zipfile

MANIFEST_NS = "DWF-Manifest:6.0"
EPLOT_NS = "DWF-ePlot:1.2"
EPLOT_INTERFACE = "715941D4-1AC2-4545-8185-BC40E053B551"
GUID = re.compile(r"[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}")


class DwfError(Exception):
    pass


def need(condition, message):
    if not condition:
        raise DwfError(message)


class Page:
    def __init__(self):
        self.name = ""
        self.units = ""
        self.width = self.height = 0.0
        self.clip = None          # (xmin, ymin, xmax, ymax) on the paper
        self.transform = None     # 16 numbers, row by row, translation in the last row
        self.extents = None       # logical units
        self.layers = {}          # number -> name
        self.polylines = []       # dict(layer, rgb, weight, points)
        self.fills = []           # dict(layer, rgb, contours)
        self.texts = []           # dict(layer, rgb, text, at, height, rotation, width, oblique,
                                  #      bounds (4 corners or None), clip)
        self.source = None        # the drawing the page was plotted from (the manifest's Source)

    def to_paper(self, x, y):
        m = self.transform
        return (x * m[0] + y * m[4] + m[12], x * m[1] + y * m[5] + m[13])

    def scale(self):
        return abs(self.transform[0])

    def points(self):
        for p in self.polylines:
            yield from p["points"]
        for f in self.fills:
            for c in f["contours"]:
                yield from c
        for t in self.texts:
            # What shows of a text lies within its clip: its origin may lie outside.
            x, y = t["at"]
            if t["clip"]:
                xs = [p[0] for c in t["clip"] for p in c]
                ys = [p[1] for c in t["clip"] for p in c]
                x, y = min(max(x, min(xs)), max(xs)), min(max(y, min(ys)), max(ys))
            yield x, y

    def box(self):
        """The box on the paper of every point drawn (None for an empty page)."""
        pts = list(self.points())
        if not pts:
            return None
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        return min(xs), min(ys), max(xs), max(ys)


# --- the package --------------------------------------------------------------------------------

def read(path):
    data = open(path, "rb").read()
    need(data[:12] == b"(DWF V06.00)", f"file header {data[:12]!r}, not (DWF V06.00)")
    try:
        archive = zipfile.ZipFile(io.BytesIO(data[12:]))
    except zipfile.BadZipFile as e:
        raise DwfError(f"no ZIP archive after the header: {e}")
    need(archive.testzip() is None, "a damaged archive entry")
    names = set(archive.namelist())
    need("manifest.xml" in names, "no manifest.xml")
    manifest = parse_xml(archive.read("manifest.xml"), "manifest.xml")
    m = "{%s}" % MANIFEST_NS
    need(manifest.tag == m + "Manifest", f"manifest root {manifest.tag}")
    need(GUID.fullmatch(manifest.get("objectId", "")), "manifest objectId is no GUID")
    interfaces = manifest.find(m + "Interfaces")
    need(interfaces is not None, "manifest has no Interfaces")
    ifaces = interfaces.findall(m + "Interface")
    need(ifaces, "Interfaces is empty")
    for iface in ifaces:
        for attribute in ("objectId", "href", "name"):
            need(iface.get(attribute), f"Interface without {attribute}")
    need(any(i.get("objectId") == EPLOT_INTERFACE for i in ifaces), "no ePlot interface")
    sections = manifest.find(m + "Sections")
    need(sections is not None and len(sections.findall(m + "Section")) > 0, "no Section")
    order = [child.tag for child in manifest]
    need(order.index(m + "Interfaces") < order.index(m + "Sections"), "Interfaces after Sections")
    pages = []
    for section in sections.findall(m + "Section"):
        need(section.get("name") and section.get("type"), "Section without name or type")
        if section.get("type") != "com.autodesk.dwf.ePlot":
            continue
        source = section.find(m + "Source")
        need(source is not None and source.get("href") is not None, "Section without Source")
        toc = section.find(m + "Toc")
        need(toc is not None, "Section without Toc")
        resources = {}
        for resource in toc.findall(m + "Resource"):
            for attribute in ("role", "mime", "href"):
                need(resource.get(attribute) is not None, f"Resource without {attribute}")
            need(resource.get("href") in names, f"{resource.get('href')} is not in the archive")
            resources[resource.get("role")] = resource
        need("descriptor" in resources, "ePlot section without descriptor")
        need("2d streaming graphics" in resources, "ePlot section without W2D")
        need(resources["2d streaming graphics"].get("mime") == "application/x-w2d", "W2D mime")
        page = read_descriptor(archive.read(resources["descriptor"].get("href")))
        need(page.graphics_href == resources["2d streaming graphics"].get("href"),
             "descriptor and manifest name different W2D streams")
        page.title = section.get("title")
        page.source = source.get("href")
        read_w2d(archive.read(page.graphics_href), page)
        pages.append(page)
    need(pages, "no ePlot page")
    return pages


def parse_xml(data, name):
    try:
        return ET.fromstring(data)
    except ET.ParseError as error:
        raise DwfError(f"{name} is not well-formed XML: {error}")


def read_descriptor(xml):
    root = parse_xml(xml, "the descriptor")
    e = "{%s}" % EPLOT_NS
    need(root.tag == e + "Page", f"descriptor root {root.tag}")
    page = Page()
    page.name = root.get("name")
    need(page.name is not None, "Page without name")
    if root.get("objectId") is not None:
        need(GUID.fullmatch(root.get("objectId")), "Page objectId is no GUID")
    children = [child.tag for child in root]
    need(e + "Paper" in children, "Page without Paper")
    paper = root.find(e + "Paper")
    page.units = paper.get("units")
    need(page.units in ("mm", "in"), f"paper units {page.units}")
    page.width = float(paper.get("width"))
    page.height = float(paper.get("height"))
    need(page.width > 0 and page.height > 0, "paper without size")
    if paper.get("clip"):
        page.clip = tuple(float(v) for v in paper.get("clip").split())
        need(len(page.clip) == 4, "clip is no rectangle")
    resources = root.find(e + "Resources")
    need(resources is not None, "Page without Resources")
    graphics = [r for r in resources if r.get("role") == "2d streaming graphics"]
    need(len(graphics) == 1, "not one 2d streaming graphics resource")
    g = graphics[0]
    need(g.tag == e + "GraphicResource", f"graphics resource is {g.tag}")
    for attribute in ("role", "mime", "href", "transform"):
        need(g.get(attribute) is not None, f"GraphicResource without {attribute}")
    page.transform = [float(v) for v in g.get("transform").split()]
    need(len(page.transform) == 16, "transform is no 4x4 matrix")
    if g.get("extents"):
        page.extents = tuple(float(v) for v in g.get("extents").split())
        need(len(page.extents) == 4, "extents is no rectangle")
    page.graphics_href = g.get("href")
    return page


# --- the W2D stream -----------------------------------------------------------------------------

class Stream:
    def __init__(self, data):
        self.data = data
        self.pos = 0

    def more(self):
        return self.pos < len(self.data)

    def take(self, n):
        need(self.pos + n <= len(self.data), "the stream ends inside an opcode")
        chunk = self.data[self.pos:self.pos + n]
        self.pos += n
        return chunk

    def byte(self):
        return self.take(1)[0]

    def unpack(self, fmt):
        return struct.unpack("<" + fmt, self.take(struct.calcsize("<" + fmt)))

    def count(self):
        n = self.byte()
        return n if n else 256 + self.unpack("H")[0]

    def ascii_int(self):
        token = self.token()
        need(re.fullmatch(r"-?\d+", token), f"no integer: {token!r}")
        return int(token)

    def ascii_point(self):
        token = self.token()
        need(re.fullmatch(r"-?\d+,-?\d+", token), f"no point: {token!r}")
        x, y = token.split(",")
        return int(x), int(y)

    def skip_to_close(self):
        """Skips the rest of an option up to and with its closing parenthesis."""
        depth = 1
        while depth:
            c = self.byte()
            depth += 1 if c == ord("(") else -1 if c == ord(")") else 0

    def string(self):
        """A quoted ASCII string, a {length UTF-16} string, or a bare token."""
        first = self.byte()
        if first == ord("'"):
            out = bytearray()
            while True:
                c = self.byte()
                if c == ord("\\"):
                    out.append(self.byte())
                elif c == ord("'"):
                    return out.decode("ascii")
                else:
                    out.append(c)
        if first == ord("{"):
            (length,) = self.unpack("i")
            units = self.take(2 * length)
            need(self.byte() == ord("}"), "unterminated string")
            return units.decode("utf-16-le")
        out = bytearray([first])
        while self.more() and self.data[self.pos] not in b" ()":
            out.append(self.byte())
        return out.decode("ascii")

    def skip_blanks(self):
        while self.more() and self.data[self.pos] in b" \t\r\n":
            self.pos += 1

    def token(self):
        self.skip_blanks()
        out = bytearray()
        while self.more() and self.data[self.pos] not in b" \t\r\n()":
            out.append(self.byte())
        return out.decode("ascii")

    def expect(self, char):
        self.skip_blanks()
        need(self.byte() == ord(char), f"{char} expected at {self.pos - 1}")


def read_w2d(data, page):
    s = Stream(data)
    need(s.take(12) == b"(W2D V06.00)", "W2D header")
    current = [0, 0]
    state = {"layer": 0, "rgb": None, "weight": 0, "font": None, "clip": None}
    ended = False

    def scoring():
        """The positions of over- or underscored characters: a count one too high, then each
        position one too high."""
        return [s.count() - 1 for _ in range(s.count() - 1)]

    def relative(n, fmt):
        out = []
        for _ in range(n):
            dx, dy = s.unpack(fmt)
            current[0] += dx
            current[1] += dy
            out.append(page.to_paper(*current))
        return out

    while s.more():
        need(not ended, "bytes after (EndOfDWF)")
        op = s.byte()
        if op == ord("("):
            name = s.token()
            if name == "Layer":
                number = int(s.token())
                s.skip_blanks()
                if s.data[s.pos] != ord(")"):
                    page.layers[number] = s.string()
                need(number in page.layers, f"layer {number} used before it is named")
                state["layer"] = number
                s.expect(")")
            elif name == "Font":
                font = {}
                while True:
                    s.skip_blanks()
                    if s.data[s.pos] == ord(")"):
                        s.pos += 1
                        break
                    s.expect("(")
                    option = s.token()
                    s.skip_blanks()
                    font[option] = s.string() if option == "Name" else int(s.token())
                    s.expect(")")
                need(set(font) == {"Name", "Height", "Rotation", "Widthscale", "Oblique"},
                     f"font options {sorted(font)}")
                state["font"] = font
            elif name == "Viewport":
                # (Viewport) lifts the clip; (Viewport name (Contour n counts points) options)
                # sets it, the contour's points absolute. (A viewport named without a contour,
                # which would take up one named before, is not understood.)
                s.skip_blanks()
                if s.data[s.pos] != ord(")"):
                    s.string()
                    s.expect("(")
                    need(s.token() == "Contour", "a viewport without a contour")
                    n = s.ascii_int()
                    need(n > 0, "a viewport of no contour")
                    sizes = [s.ascii_int() for _ in range(n)]
                    need(all(size >= 3 for size in sizes), "a viewport contour of 2 points")
                    state["clip"] = [[page.to_paper(*s.ascii_point()) for _ in range(size)]
                                     for size in sizes]
                    s.expect(")")
                    s.skip_blanks()
                    while s.data[s.pos] == ord("("):
                        s.pos += 1
                        s.skip_to_close()
                        s.skip_blanks()
                else:
                    state["clip"] = None
                s.expect(")")
            elif name == "EndOfDWF":
                s.expect(")")
                ended = True
            else:
                raise DwfError(f"unknown extended opcode ({name}")
        elif op == 0x03:
            r, g, b, a = s.take(4)
            state["rgb"] = (r, g, b)
        elif op == 0x17:
            (state["weight"],) = s.unpack("i")
        elif op in (ord("p"), 0x10):
            n = s.count()
            pts = relative(n, "ii" if op == ord("p") else "hh")
            page.polylines.append({"layer": page.layers.get(state["layer"]), "rgb": state["rgb"],
                                   "weight": state["weight"] * page.scale(), "points": pts,
                                   "clip": state["clip"]})
        elif op in (ord("k"), 0x0B):
            n = s.count()
            sizes = [s.count() for _ in range(n)]
            fmt = "ii" if op == ord("k") else "hh"
            contours = [relative(size, fmt) for size in sizes]
            page.fills.append({"layer": page.layers.get(state["layer"]), "rgb": state["rgb"],
                               "contours": contours, "clip": state["clip"]})
        elif op in (ord("x"), 0x18):
            # 'x': position and string; Ctrl-X: position, string, the over- and underscored
            # characters, the box the text fills (left-bottom, right-bottom, right-top,
            # left-top, relative points) and reserved values.
            (at,) = relative(1, "ii")
            text = s.string()
            bounds = None
            if op == 0x18:
                scoring()
                scoring()
                bounds = relative(4, "ii")
                scoring()
            font = state["font"]
            need(font is not None, "text before any font")
            page.texts.append({"layer": page.layers.get(state["layer"]), "rgb": state["rgb"],
                               "text": text, "at": at, "font": font["Name"],
                               "height": font["Height"] * page.scale(),
                               "rotation": font["Rotation"] * 360.0 / 65536.0,
                               "width": font["Widthscale"] / 1024.0,
                               "oblique": font["Oblique"] * 360.0 / 65536.0,
                               "bounds": bounds, "clip": state["clip"]})
        else:
            raise DwfError(f"unknown opcode 0x{op:02X} at byte {s.pos - 1}")
    need(ended, "no (EndOfDWF)")


# --- comparing ---------------------------------------------------------------------------------

def inside(point, contours):
    """Even-odd: whether the point lies inside the contours of a fill."""
    x, y = point
    crossings = 0
    for contour in contours:
        for (x0, y0), (x1, y1) in zip(contour, contour[1:] + contour[:1]):
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                crossings += 1
    return crossings % 2 == 1


@functools.lru_cache
def font_file(font):
    return subprocess.run(["fc-match", "-f", "%{file}", font], capture_output=True,
                          text=True).stdout


def advance(text, font="DejaVu Sans"):
    """The advance of a text one em high in the font, as FreeType (through PIL) measures it."""
    from PIL import ImageFont
    return ImageFont.truetype(font_file(font), 1000).getlength(text) / 1000.0


def text_frame(t):
    """The text's own axes on the paper: its origin, the vector along its baseline to the end of
    its advance, and the vector to the top of its em (slanted as the text is). From the box the
    stream gives when there is one (it says whether the text is mirrored), else from the font,
    the advance measured in it."""
    if t["bounds"]:
        b0, b1, _, b3 = t["bounds"]
        return b0, (b1[0] - b0[0], b1[1] - b0[1]), (b3[0] - b0[0], b3[1] - b0[1])
    turn = math.radians(t["rotation"])
    lean = math.tan(math.radians(t["oblique"]))
    along = (math.cos(turn), math.sin(turn))
    up = (-math.sin(turn) + lean * along[0], math.cos(turn) + lean * along[1])
    length = advance(t["text"], t["font"]) * t["height"] * t["width"]
    return t["at"], (along[0] * length, along[1] * length), (up[0] * t["height"],
                                                               up[1] * t["height"])


class PdfInk:
    """Where a PDF page (its first) is inked, rendered by poppler (pdftoppm), in the units of
    the DWF page compared with it."""

    def __init__(self, pdf, page, dpi=150):
        import tempfile
        from PIL import Image
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run(["pdftoppm", "-r", str(dpi), "-gray", "-singlefile", pdf,
                            os.path.join(folder, "page")], check=True)
            self.image = Image.open(os.path.join(folder, "page.pgm"))
            self.image.load()
        self.pixels = self.image.load()
        self.per_unit = dpi / (25.4 if page.units == "mm" else 1.0)

    def dark(self, point):
        """Whether the paper's point is inked; None off the page."""
        x = int(point[0] * self.per_unit)
        y = int(self.image.height - point[1] * self.per_unit)
        if not (0 <= x < self.image.width and 0 <= y < self.image.height):
            return None
        return self.pixels[x, y] < 128


def texts_unlike_pdf(page, pdf):
    """Where the page's texts and the PDF of the same plot differ: in each text's own axes,
    the PDF must be inked between the text's baseline and the top of its capitals and hardly
    on the other side of the baseline (a mirrored or upside-down text drawn on the wrong side
    of its baseline fails), wherever the text shows: inside its clip and on the paper."""
    ink = PdfInk(pdf, page)
    failures = []
    for t in page.texts:
        (ox, oy), (ux, uy), (vx, vy) = text_frame(t)
        clip = None
        if t["clip"]:
            xs = [p[0] for c in t["clip"] for p in c]
            ys = [p[1] for c in t["clip"] for p in c]
            clip = min(xs), min(ys), max(xs), max(ys)

        def share(side):
            inked = seen = 0
            for i in range(40):
                for j in range(8):
                    a, b = (i + 0.5) / 40, side * (0.08 + 0.55 * j / 7)
                    p = (ox + a * ux + b * vx, oy + a * uy + b * vy)
                    if clip and not (clip[0] <= p[0] <= clip[2] and clip[1] <= p[1] <= clip[3]):
                        continue
                    dark = ink.dark(p)
                    if dark is not None:
                        seen += 1
                        inked += dark
            return seen, inked / seen if seen else 0.0

        seen, body = share(1)
        _, other = share(-1)
        if seen < 16:
            continue  # (too little of it shows to tell)
        if body < 0.05 or other > body / 2:
            failures.append(f"{t['text']!r} at ({t['at'][0]:.1f}, {t['at'][1]:.1f}): the PDF "
                            f"inks {body:.0%} of its glyphs' side of the baseline, {other:.0%} "
                            f"of the other")
    return failures


def pdf_words(path):
    """The words of a PDF page (pdftotext): (text, left, bottom) in millimetres from the lower
    left corner, to compare texts with."""
    html = subprocess.run(["pdftotext", "-bbox", path, "-"], capture_output=True,
                          text=True).stdout
    page = re.search(r'<page width="([\d.]+)" height="([\d.]+)"', html)
    height = float(page.group(2)) if page else 0.0
    return [(m.group(3), float(m.group(1)) * 25.4 / 72, (height - float(m.group(2))) * 25.4 / 72)
            for m in re.finditer(r'<word xMin="([\d.]+)" yMin="[\d.]+" xMax="[\d.]+" '
                                 r'yMax="([\d.]+)">([^<]*)</word>', html)]


def texts_not_in_pdf(page, pdf, across=1.0, up=2.0):
    """The texts of the page that the PDF of the same layout does not have where the page has
    them: no word of the PDF is the text's first word with its left end within `across` and its
    bottom within `up` millimetres of the text's origin."""
    words = pdf_words(pdf)
    missing = []
    for t in page.texts:
        first = t["text"].split()[0]
        x, y = t["at"]
        if not any(w == first and abs(left - x) < across and abs(bottom - y) < up
                   for w, left, bottom in words):
            missing.append(f"{t['text']!r} at ({x:.1f}, {y:.1f})")
    return missing


def pdf_size(path):
    """The size of a PDF's first page in points, as poppler (pdfinfo) gives it."""
    info = subprocess.run(["pdfinfo", path], capture_output=True, text=True).stdout
    size = re.search(r"Page size:\s+([\d.]+) x ([\d.]+) pts", info)
    return (float(size.group(1)), float(size.group(2))) if size else (0.0, 0.0)


def summary(page):
    lines = [f"page {page.name!r}: paper {page.width:g} x {page.height:g} {page.units}",
             f"  {len(page.polylines)} polylines, {len(page.fills)} fills, "
             f"{len(page.texts)} texts on {len(page.layers)} layers",
             f"  drawn within {page.box()}"]
    for t in page.texts[:20]:
        lines.append(f"  text {t['text']!r} at ({t['at'][0]:.2f}, {t['at'][1]:.2f}) "
                     f"height {t['height']:.2f} rotation {t['rotation']:.1f}")
    return "\n".join(lines)


def main(args):
    fill = None
    if len(args) == 3 and args[1] == "--fill":
        fill = tuple(int(v) for v in args[2].split(","))
    try:
        for p in read(args[0]):
            print(summary(p))
            box = p.box()
            need(box is not None, "an empty page")
            need(box[0] >= -0.01 and box[1] >= -0.01 and box[2] <= p.width + 0.01
                 and box[3] <= p.height + 0.01, f"drawn outside the paper: {box}")
            if fill is not None:
                need(any(f["rgb"] == fill for f in p.fills), f"nothing filled in {fill}")
    except DwfError as error:
        print(f"{args[0]}: {error}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
