#!/usr/bin/python3
"""Checks the legend, swatch, pie-chart and marker blocks of a DXF drawing with ezdxf.

usage:
  ezdxf_report_blocks.py DXF JSON
      ezdxf reads the DXF file (readfile, then audit, which must find no error) and must see
      what the host's description (JSON, written by the tests) holds:
        "legend": {"block": name, "rows", "columns", "widths", "heights", "cells"} of the one
            ACAD_TABLE in that block definition (cells row by row: {"text": ...} or
            {"block": name}, as ezdxf_tables.py reads them);
        "blocks": name -> {"lwpolylines": count, "hatches": [pattern, ...] in order,
            "constant_texts": [text, ...] sorted (constant ATTDEFs), "attdefs": [tag, ...] in
            order (the others)};
        "inserts": the block names of the INSERTs of model space, sorted.

Prints one line per difference and exits 1 when there is any.
"""
import json
import os
import sys

import ezdxf

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "platform",
                                "host_dxf"))
from ezdxf_tables import describe_table, same_tree  # noqa: E402


def describe_block(block):
    entities = list(block)
    return {
        "lwpolylines": sum(1 for e in entities if e.dxftype() == "LWPOLYLINE"),
        "hatches": [e.dxf.pattern_name for e in entities if e.dxftype() == "HATCH"],
        "constant_texts": sorted(e.dxf.text for e in entities
                                 if e.dxftype() == "ATTDEF" and e.dxf.flags & 2),
        "attdefs": [e.dxf.tag for e in entities
                    if e.dxftype() == "ATTDEF" and not e.dxf.flags & 2],
    }


def compare(dxf, description):
    try:
        doc = ezdxf.readfile(dxf)
    except Exception as error:  # anything ezdxf refuses
        return [f"{dxf}: ezdxf cannot read it: {error}"]
    out = [f"{dxf}: audit: {e.message}" for e in doc.audit().errors]
    with open(description, encoding="utf-8") as f:
        ours = json.load(f)
    theirs = {}
    legend = ours["legend"]
    block = doc.blocks.get(legend["block"])
    tables = [e for e in block if e.dxftype() == "ACAD_TABLE"] if block is not None else []
    if len(tables) != 1:
        out.append(f"{dxf}: legend block {legend['block']}: {len(tables)} tables")
    else:
        table = describe_table(doc, tables[0])
        theirs["legend"] = {k: table[k] for k in ("rows", "columns", "widths", "heights", "cells")}
        theirs["legend"]["block"] = legend["block"]
    theirs["blocks"] = {}
    for name in ours["blocks"]:
        if doc.blocks.get(name) is None:
            out.append(f"{dxf}: no block {name}")
        else:
            theirs["blocks"][name] = describe_block(doc.blocks.get(name))
    theirs["inserts"] = sorted(e.dxf.name for e in doc.modelspace() if e.dxftype() == "INSERT")
    for key in ("legend", "blocks", "inserts"):
        if key in theirs and not same_tree(ours[key], theirs[key]):
            out.append(f"{dxf}: {key}: host {json.dumps(ours[key])}\n"
                       f"    ezdxf {json.dumps(theirs[key])}")
    return out


def main(args):
    if len(args) != 2:
        print(__doc__)
        return 2
    problems = compare(args[0], args[1])
    for line in problems:
        print(line)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
