#!/usr/bin/python3
"""Checks DXF drawings against the host's own description of them, with ezdxf.

usage:
  ezdxf_check.py compare DXF JSON [DXF JSON ...]
      ezdxf reads each DXF file (readfile, then audit, which must find no error) and must see the
      content that the host's description (JSON, written by the tests) holds: layers, linetypes,
      text styles, registered applications, and every block's entities in order with their
      handles, layers, geometry, attributes, extended data, polyline bulges and hatch loops.
  ezdxf_check.py make FOLDER
      writes drawings made by ezdxf into FOLDER, one per DXF version, for the host to read.
  ezdxf_check.py audit PATH [PATH ...]
      ezdxf reads each DXF file (a folder stands for the .dxf files in it) with no error, and its
      audit finds no error; prints how many files it read.

Prints one line per difference and exits 1 when there is any.
"""
import json
import math
import os
import sys

import ezdxf

MODELLED = {"LINE", "ARC", "CIRCLE", "LWPOLYLINE", "TEXT", "ATTDEF", "INSERT", "HATCH", "VIEWPORT"}
TOLERANCE = 1e-9


# ---- what ezdxf sees ----

def upper(name):
    """Upper case of the ASCII letters only, as the host's description has it."""
    return "".join(c.upper() if "a" <= c <= "z" else c for c in name)


def point(v, dims=3):
    return [float(c) for c in tuple(v)[:dims]]


def xdata_of(entity):
    out = {}
    if not entity.xdata:
        return out
    for app, tags in entity.xdata.data.items():
        items = []
        for tag in tags:
            if tag.code == 1001:  # ezdxf keeps the application's own tag with its data
                continue
            value = tag.value
            if 1010 <= tag.code <= 1013:
                value = point(value)
            elif tag.code == 1004:
                value = bytes(value).hex().upper() if not isinstance(value, str) else value.upper()
            items.append([tag.code, value])
        out[upper(app)] = items
    return out


def arc_edge(edge):
    """An arc edge as ezdxf sees it: the arc from its start angle counter-clockwise to its end
    angle, as start point, end point and bulge."""
    start = math.radians(edge.start_angle)
    end = math.radians(edge.end_angle)
    sweep = (end - start) % (2 * math.pi) or 2 * math.pi
    cx, cy = point(edge.center, 2)
    p = [cx + edge.radius * math.cos(start), cy + edge.radius * math.sin(start)]
    q = [cx + edge.radius * math.cos(end), cy + edge.radius * math.sin(end)]
    return [p, q, math.tan(sweep / 4)]


def chain(edges):
    """Edges (start, end, bulge) chained end to end into vertices with bulges."""
    def meets(a, b):
        return math.dist(a, b) <= 1e-6 * max(1.0, max(abs(c) for c in a + b))

    def reverse(e):
        return [e[1], e[0], -e[2]]
    edges = [list(e) for e in edges]
    for i in range(1, len(edges)):
        if i == 1 and not meets(edges[0][1], edges[1][0]) and not meets(edges[0][1], edges[1][1]):
            edges[0] = reverse(edges[0])
        if not meets(edges[i - 1][1], edges[i][0]):
            edges[i] = reverse(edges[i])
    return [[e[0][0], e[0][1], e[2]] for e in edges]


def hatch_loops(hatch):
    loops = []
    for path in hatch.paths:
        if hasattr(path, "vertices"):
            loops.append([[v[0], v[1], v[2] if len(v) > 2 else 0.0] for v in path.vertices])
        else:
            edges = []
            for edge in path.edges:
                if edge.type == ezdxf.entities.boundary_paths.EdgeType.LINE:
                    edges.append([point(edge.start, 2), point(edge.end, 2), 0.0])
                else:
                    edges.append(arc_edge(edge))
            loops.append(chain(edges))
    return loops


def attribute(e, name, default):
    try:
        return e.dxf.get(name, default)
    except ezdxf.DXFAttributeError:  # an entity ezdxf keeps as tags
        return default


def entity_of(e, r12):
    kind = e.dxftype()
    d = {"type": kind, "handle": attribute(e, "handle", "").upper(),
         "layer": attribute(e, "layer", "0"), "xdata": xdata_of(e)}
    if kind == "POLYLINE" and r12 and e.is_2d_polyline and not (e.dxf.flags & ~(1 | 128)):
        d["type"] = kind = "LWPOLYLINE"
        d["closed"] = e.is_closed
        d["points"] = [[v.dxf.location[0], v.dxf.location[1], v.dxf.get("bulge", 0.0)]
                       for v in e.vertices]
        return d
    if kind == "LINE":
        d.update(start=point(e.dxf.start), end=point(e.dxf.end))
    elif kind == "CIRCLE":
        d.update(center=point(e.dxf.center), radius=e.dxf.radius)
    elif kind == "ARC":
        d.update(center=point(e.dxf.center), radius=e.dxf.radius,
                 start_angle=e.dxf.start_angle, end_angle=e.dxf.end_angle)
    elif kind == "LWPOLYLINE":
        d.update(closed=e.closed, points=[list(p) for p in e.get_points("xyb")])
    elif kind in ("TEXT", "ATTDEF"):
        d.update(text=e.dxf.text, insert=point(e.dxf.insert), height=e.dxf.height,
                 rotation=e.dxf.get("rotation", 0.0), style=e.dxf.get("style", "Standard"))
        if kind == "ATTDEF":
            d.update(tag=e.dxf.tag, prompt=e.dxf.get("prompt", ""),
                     flags=e.dxf.get("flags", 0) & 15, field_length=e.dxf.get("field_length", 0))
    elif kind == "INSERT":
        d.update(name=e.dxf.name, insert=point(e.dxf.insert),
                 scale=[e.dxf.get("xscale", 1.0), e.dxf.get("yscale", 1.0),
                        e.dxf.get("zscale", 1.0)],
                 rotation=e.dxf.get("rotation", 0.0),
                 array=[e.dxf.get("column_count", 1), e.dxf.get("row_count", 1),
                        e.dxf.get("column_spacing", 0.0), e.dxf.get("row_spacing", 0.0)],
                 attribs=[{"tag": a.dxf.tag, "text": a.dxf.text, "handle": a.dxf.handle.upper(),
                           "insert": point(a.dxf.insert), "xdata": xdata_of(a)}
                          for a in e.attribs])
    elif kind == "VIEWPORT":
        d.update(center=point(e.dxf.center), width=e.dxf.width, height=e.dxf.height,
                 view_height=e.dxf.view_height, frozen=list(e.frozen_layers))
    elif kind == "HATCH":
        user = e.dxf.pattern_type == 0
        d.update(pattern=upper(e.dxf.pattern_name), solid=bool(e.dxf.solid_fill),
                 pattern_type=e.dxf.pattern_type, loops=hatch_loops(e))
        if not e.dxf.solid_fill:
            d.update(angle=e.dxf.get("pattern_angle", 0.0), scale=e.dxf.get("pattern_scale", 1.0),
                     double=bool(e.dxf.get("pattern_double", 0)) if user else False)
    return d


def describe(doc):
    r12 = doc.dxfversion == "AC1009"
    blocks = {}
    for block in doc.blocks:
        blocks[upper(block.name)] = [entity_of(e, r12) for e in block]
    layers = {}
    for layer in doc.layers:
        layers[upper(layer.dxf.name)] = {
            "name": layer.dxf.name, "color": abs(layer.dxf.get("color", 7)),
            "off": layer.is_off(), "frozen": layer.is_frozen(), "locked": layer.is_locked(),
            "linetype": upper(layer.dxf.get("linetype", "Continuous"))}
    return {
        "layers": layers,
        "linetypes": sorted(upper(t.dxf.name) for t in doc.linetypes),
        "styles": sorted(upper(s.dxf.name) for s in doc.styles if s.dxf.name),
        "appids": sorted(upper(a.dxf.name) for a in doc.appids),
        "blocks": blocks,
    }


# ---- comparing ----

def canonical_loop(loop):
    """A loop as segments from its lowest vertex, counter-clockwise."""
    n = len(loop)
    area = sum(loop[i][0] * loop[(i + 1) % n][1] - loop[(i + 1) % n][0] * loop[i][1]
               for i in range(n))
    if area < 0:
        loop = [[loop[(-i) % n][0], loop[(-i) % n][1], -loop[(-i - 1) % n][2]] for i in range(n)]
    first = min(range(n), key=lambda i: (round(loop[i][0], 6), round(loop[i][1], 6)))
    return loop[first:] + loop[:first]


def normalise(d):
    for block in d["blocks"].values():
        for e in block:
            if e.get("loops") is not None:
                e["loops"] = sorted((canonical_loop(l) for l in e["loops"]),
                                    key=lambda l: (round(l[0][0], 6), round(l[0][1], 6)))
    return d


def differences(ours, theirs, where, out, skip_handles):
    if isinstance(ours, dict) and isinstance(theirs, dict):
        for key in sorted(set(ours) | set(theirs)):
            if key == "handle" and skip_handles:
                continue
            if key == "kept":
                continue
            if key not in ours or key not in theirs:
                if not (ours.get("kept") and key not in ("type", "handle", "layer")):
                    out.append(f"{where}.{key}: only in {'the host' if key in ours else 'ezdxf'}")
                continue
            differences(ours[key], theirs[key], f"{where}.{key}", out, skip_handles)
    elif isinstance(ours, list) and isinstance(theirs, list):
        if len(ours) != len(theirs):
            out.append(f"{where}: {len(ours)} items in the host, {len(theirs)} in ezdxf")
            return
        for i, (a, b) in enumerate(zip(ours, theirs)):
            differences(a, b, f"{where}[{i}]", out, skip_handles)
    elif isinstance(ours, (int, float)) and isinstance(theirs, (int, float)) \
            and not isinstance(ours, bool) and not isinstance(theirs, bool):
        if abs(ours - theirs) > TOLERANCE * max(1.0, abs(ours), abs(theirs)):
            out.append(f"{where}: {ours!r} in the host, {theirs!r} in ezdxf")
    elif ours != theirs:
        out.append(f"{where}: {ours!r} in the host, {theirs!r} in ezdxf")


def strip_kept(ours, theirs):
    """For entities the host keeps as read, only type, handle and layer are compared."""
    for name, block in ours["blocks"].items():
        other = theirs["blocks"].get(name, [])
        for i, e in enumerate(block):
            if e.get("kept") and i < len(other):
                other[i] = {k: v for k, v in other[i].items() if k in ("type", "handle", "layer")}
                ours["blocks"][name][i] = {k: v for k, v in e.items()
                                           if k in ("type", "handle", "layer", "kept")}


def compare(pairs):
    problems = []
    for dxf, description in pairs:
        try:
            doc = ezdxf.readfile(dxf)
        except Exception as error:  # any failure to read is the finding
            problems.append(f"{dxf}: ezdxf cannot read it: {error}")
            continue
        theirs = describe(doc)  # before the audit, which repairs in ezdxf's own way
        for error in doc.audit().errors:
            problems.append(f"{dxf}: ezdxf audit: {error.message}")
        with open(description, encoding="utf-8") as f:
            ours = json.load(f)
        if "DEFPOINTS" not in ours["layers"]:
            theirs["layers"].pop("DEFPOINTS", None)  # ezdxf adds it when it loads a drawing
        for name in [n for n in theirs["blocks"] if n.startswith("_") and n not in ours["blocks"]]:
            del theirs["blocks"][name]  # arrow blocks that ezdxf adds to older drawings
        strip_kept(ours, theirs)
        found = []
        differences(normalise(ours), normalise(theirs), os.path.basename(dxf), found,
                    doc.dxfversion == "AC1009")
        problems += found[:40]
    return problems


# ---- drawings made by ezdxf ----

def make(folder):
    for version in ("R12", "R2000", "R2010", "R2013", "R2018"):
        doc = ezdxf.new(version, setup=True)
        doc.appids.new("QV_TEST")
        doc.layers.new("WALLS", dxfattribs={"color": 3, "linetype": "DASHED"})
        # ezdxf writes what the code page lacks as \U+ escapes before 2007 and reads them back
        # as they are; the host decodes them. Greek letters only where the text is UTF-8.
        unicode = "ÄÖÜ Ω" if version >= "R2007" else "ÄÖÜ"
        doc.layers.new(unicode, dxfattribs={"color": 5})
        block = doc.blocks.new("DOOR")
        block.add_line((0, 0), (0.9, 0))
        block.add_arc((0, 0), 0.9, 0, 90)
        block.add_attdef("ROOM", (0, 0.2), dxfattribs={"height": 0.2, "prompt": "Room number"})
        msp = doc.modelspace()
        msp.add_line((0, 0, 0), (10, 5, 1.5), dxfattribs={"layer": "WALLS"})
        msp.add_circle((4, 4), 2.25, dxfattribs={"color": 1})
        text = msp.add_text("Room 1 " + unicode, dxfattribs={"height": 0.5, "rotation": 30,
                                                            "layer": unicode})
        text.set_placement((1, 2))
        ref = msp.add_blockref("DOOR", (3, 1), dxfattribs={"rotation": 90, "xscale": 2})
        ref.add_attrib("ROOM", "A-101", (3, 1.2))
        if version == "R12":
            msp.add_polyline2d([(0, 0), (5, 0), (5, 4)], close=True)
        else:
            poly = msp.add_lwpolyline([(0, 0, 0.0), (6, 0, 0.4142135623730951), (6, 4, 0.0),
                                       (0, 4, -0.25)], format="xyb", close=True,
                                      dxfattribs={"layer": "WALLS"})
            poly.set_xdata("QV_TEST", [(1000, "R-001"), (1040, 12.5), (1070, 3),
                                       (1010, (1.0, 2.0, 3.0)), (1071, 70000)])
            hatch = msp.add_hatch(color=2)
            hatch.paths.add_polyline_path([(0, 0, 0.5), (4, 0), (4, 3), (0, 3)], is_closed=True)
            edges = hatch.paths.add_edge_path()
            edges.add_line((10, 0), (14, 0))
            edges.add_arc((14, 2), 2, -90, 90, ccw=True)
            edges.add_line((14, 4), (10, 4))
            edges.add_arc((10, 2), 2, 90, 270, ccw=False)
            pattern = msp.add_hatch()
            pattern.set_pattern_fill("ANSI31", scale=2.0, angle=15.0)
            pattern.paths.add_polyline_path([(20, 0), (24, 0), (24, 3)], is_closed=True)
            msp.add_mtext("kept as read", dxfattribs={"insert": (0, 10)})
            msp.add_ellipse((0, 0), major_axis=(3, 0), ratio=0.5)
        doc.saveas(os.path.join(folder, f"ezdxf_{version}.dxf"))


def audit_one(dxf):
    """The problems ezdxf finds in one file."""
    try:
        doc = ezdxf.readfile(dxf)
    except Exception as error:  # any failure to read is the finding
        return [f"{dxf}: ezdxf cannot read it: {error!r}"]
    return [f"{dxf}: ezdxf audit: {error.message}" for error in doc.audit().errors]


def audit(paths):
    files = []
    for path in paths:
        if os.path.isdir(path):
            files += sorted(os.path.join(path, f) for f in os.listdir(path) if f.endswith(".dxf"))
        else:
            files.append(path)
    # Many files share the work among up to three processes (the test machine's share).
    if len(files) > 50:
        import multiprocessing
        largest_first = sorted(files, key=os.path.getsize, reverse=True)
        with multiprocessing.Pool(min(3, os.cpu_count() or 1)) as pool:
            found = dict(zip(largest_first, pool.map(audit_one, largest_first, chunksize=4)))
        found = [found[f] for f in files]
    else:
        found = [audit_one(f) for f in files]
    return files, [problem for problems in found for problem in problems]


def main(args):
    if len(args) >= 1 and args[0] == "make" and len(args) == 2:
        make(args[1])
        return 0
    if len(args) >= 3 and args[0] == "compare" and len(args) % 2 == 1:
        problems = compare(list(zip(args[1::2], args[2::2])))
        for problem in problems:
            print(problem)
        return 1 if problems else 0
    if len(args) >= 2 and args[0] == "audit":
        files, problems = audit(args[1:])
        for problem in problems[:100]:
            print(problem)
        print(f"{len(files)} files read, {len(problems)} problems")
        return 1 if problems or not files else 0
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
