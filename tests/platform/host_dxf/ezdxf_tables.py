#!/usr/bin/python3
"""Checks the tables, dashed linetypes and aligned texts of a DXF drawing with ezdxf.

usage:
  ezdxf_tables.py DXF JSON
      ezdxf reads the DXF file (readfile, then audit, which must find no error) and must see
      what the host's description (JSON, written by the tests) holds:
        "tables": per ACAD_TABLE of model space, in order: "insert", "rows", "columns",
            "heights", "widths", "cells" (row by row: {"text": ...} or {"block": name}),
            "merged" ([min row, max row, min column, max column] per range), and the table's
            anonymous block: "block_texts" (the texts of its TEXT entities, sorted) and
            "block_inserts" (the block names of its INSERT entities, sorted);
        "linetypes": name -> {"length": pattern length, "dashes": [...]};
        "texts": per TEXT of model space, in order: "text", "halign", "valign", "insert",
            "align_point" (only when the alignment is not left/baseline).

Prints one line per difference and exits 1 when there is any.
"""
import json
import sys

import ezdxf

TOLERANCE = 1e-9


def close(a, b):
    return abs(a - b) <= TOLERANCE * max(1.0, abs(a), abs(b))


def same(ours, theirs):
    if isinstance(ours, float) or isinstance(theirs, float):
        return isinstance(theirs, (int, float)) and close(float(ours), float(theirs))
    if isinstance(ours, list):
        return (isinstance(theirs, (list, tuple)) and len(ours) == len(theirs)
                and all(same(a, b) for a, b in zip(ours, theirs)))
    return ours == theirs


def table_tags(entity):
    """The tags of the AcDbTable part of an ACAD_TABLE entity."""
    return entity.xtags.get_subclass("AcDbTable")


def describe_table(doc, entity):
    tags = list(table_tags(entity))
    ref = entity.xtags.get_subclass("AcDbBlockReference")
    d = {"insert": [float(c) for c in ref.get_first_value(10)],
         "rows": 0, "columns": 0, "heights": [], "widths": [], "cells": [], "merged": []}
    cell = None
    chunks = ""
    cells = []
    for tag in tags:
        code, value = tag.code, tag.value
        if code == 91 and not cells and d["rows"] == 0:
            d["rows"] = value
        elif code == 92 and not cells and d["columns"] == 0:
            d["columns"] = value
        elif code == 141 and not cells:
            d["heights"].append(value)
        elif code == 142 and not cells:
            d["widths"].append(value)
        elif code == 171 and len(cells) < d["rows"] * d["columns"]:
            cell = {"type": value, "span": [1, 1]}
            cells.append(cell)
            chunks = ""
        elif cell is not None and code == 175:
            cell["span"][0] = value
        elif cell is not None and code == 176:
            cell["span"][1] = value
        elif cell is not None and code == 2:
            chunks += value
        elif cell is not None and code == 1:
            cell["text"] = chunks + value
        elif cell is not None and code == 340:
            block = doc.entitydb.get(value)
            cell["block"] = block.dxf.name if block is not None else "?" + value
        elif code == 70 and len(cells) == d["rows"] * d["columns"]:
            cell = None
    for i, c in enumerate(cells):
        d["cells"].append({"block": c.get("block", "")} if c["type"] == 2
                          else {"text": c.get("text", "")})
        if c["span"] != [1, 1]:
            row, column = divmod(i, d["columns"])
            d["merged"].append([row, row + c["span"][1] - 1, column, column + c["span"][0] - 1])
    name = ref.get_first_value(2, "")
    block = doc.blocks.get(name)
    contents = list(block) if block is not None else []
    d["block_texts"] = sorted(e.dxf.text for e in contents if e.dxftype() == "TEXT")
    d["block_inserts"] = sorted(e.dxf.name for e in contents if e.dxftype() == "INSERT")
    return d


def describe_linetype(lt):
    tags = list(lt.pattern_tags.tags) if lt.pattern_tags is not None else []
    return {"length": next((t.value for t in tags if t.code == 40), 0.0),
            "dashes": [t.value for t in tags if t.code == 49]}


def describe_text(e):
    d = {"text": e.dxf.text, "halign": e.dxf.get("halign", 0), "valign": e.dxf.get("valign", 0),
         "insert": [float(c) for c in e.dxf.insert]}
    if d["halign"] != 0 or d["valign"] != 0:
        d["align_point"] = [float(c) for c in e.dxf.get("align_point", (0, 0, 0))]
    return d


def compare(dxf, description):
    out = []
    try:
        doc = ezdxf.readfile(dxf)
    except Exception as error:  # anything ezdxf refuses
        return [f"{dxf}: ezdxf cannot read it: {error}"]
    auditor = doc.audit()
    for error in auditor.errors:
        out.append(f"{dxf}: audit: {error.message}")
    with open(description, encoding="utf-8") as f:
        ours = json.load(f)
    msp = doc.modelspace()
    theirs = {"tables": [describe_table(doc, e) for e in msp if e.dxftype() == "ACAD_TABLE"],
              "linetypes": {name: describe_linetype(doc.linetypes.get(name))
                            for name in ours.get("linetypes", {})
                            if doc.linetypes.has_entry(name)},
              "texts": [describe_text(e) for e in msp if e.dxftype() == "TEXT"]}
    for key in ("tables", "linetypes", "texts"):
        if not same_tree(ours.get(key), theirs[key]):
            out.append(f"{dxf}: {key}: host {json.dumps(ours.get(key))}\n"
                       f"    ezdxf {json.dumps(theirs[key])}")
    return out


def same_tree(ours, theirs):
    if isinstance(ours, dict):
        return (isinstance(theirs, dict) and ours.keys() == theirs.keys()
                and all(same_tree(ours[k], theirs[k]) for k in ours))
    if isinstance(ours, list) and ours and isinstance(ours[0], (dict, list)):
        return (isinstance(theirs, list) and len(ours) == len(theirs)
                and all(same_tree(a, b) for a, b in zip(ours, theirs)))
    return same(ours, theirs)


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
