#!/usr/bin/python3
"""Checks the marker blocks that olmc and opmc put into a drawing, with ezdxf.

usage: check_markers.py DXF
    ezdxf reads the drawing (readfile, then audit, which must find no error) and must find one
    reference to "MARKER-LEGEND" and one to "MARKER-PIECHART" in model space, each on its marker
    layer, which is off, with the five attributes the commands were given, and each definition
    holding the picked outline (a closed LWPOLYLINE) or circle and five attribute definitions.
Prints one line per difference and exits 1 when there is any.
"""
import sys

import ezdxf

EXPECTED = {
    "MARKER-LEGEND": ("ORVAN_LEGEND_MARKER", "LWPOLYLINE",
                      [("LEGENDTITLE", "LEGEND BLOCK"), ("LEGENDTEXTSIZE", "180.00"),
                       ("LEGENDPRECISION", "2"), ("LEGENDROTATION", "0.00"),
                       ("LEGENDUNITS", "1")]),
    "MARKER-PIECHART": ("ORVAN_PIECHART_MARKER", "CIRCLE",
                        [("PIETITLE", "PIE BLOCK"), ("PIETEXTSIZE", "250.0"),
                         ("PIEPRECISION", "1"), ("PIERADIUS", "1000.0"),
                         ("PIEXYOFFSETVALUE", "500.0")]),
}


def check(path):
    try:
        doc = ezdxf.readfile(path)
    except Exception as error:  # anything ezdxf refuses
        return [f"ezdxf cannot read {path}: {error}"]
    out = [f"audit: {e.message}" for e in doc.audit().errors]
    for name, (layer, kind, attributes) in EXPECTED.items():
        inserts = [e for e in doc.modelspace().query("INSERT") if e.dxf.name == name]
        if len(inserts) != 1:
            out.append(f"{name}: {len(inserts)} references")
            continue
        insert = inserts[0]
        if insert.dxf.layer != layer:
            out.append(f"{name}: on layer {insert.dxf.layer}")
        if doc.layers.get(layer).is_on():
            out.append(f"{name}: layer {layer} is on")
        seen = [(a.dxf.tag, a.dxf.text) for a in insert.attribs]
        if seen != attributes:
            out.append(f"{name}: attributes {seen}")
        block = doc.blocks.get(name)
        kinds = [e.dxftype() for e in block]
        if kinds.count(kind) != 1 or kinds.count("ATTDEF") != 5:
            out.append(f"{name}: definition holds {kinds}")
    return out


if __name__ == "__main__":
    problems = check(sys.argv[1])
    for line in problems:
        print(line)
    sys.exit(1 if problems else 0)
