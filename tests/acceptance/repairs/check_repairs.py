"""Reads the drawings that the host repaired and saved with ezdxf: each reads (strictly and in
ezdxf's recover mode) and audits without an error, and holds what the repairs are for.

usage: check_repairs.py DAMAGED_RECORDS_SAVED STRAY_BLOCK_RECORDS_SAVED STRAY_ENTRIES_SAVED

- damaged_records: the records with a coordinate that did not read are all there; every record
  has one handle (the line that had two keeps the first); each entity, vertex and SEQEND names a
  layer of the table whose name is valid, and the vertices and the SEQEND of the 3D polyline name
  their polyline's layer.
- stray_block_records: each layout holds its own viewport (Layout1 the one at 300,200, Layout2 the
  one at 50,50), as the block records' and the viewports' handles tell.
- stray_entries: the layers that stood in other tables are in the layer table as they were (Walls
  red, Doors green) and the lines on them name them; no table entry is left among the entities;
  the block Window has its record's handle, 70, its line and its reference; every block's BLOCK
  and ENDBLK records name a layer of the table whose name is valid.
"""
import sys

import ezdxf
from ezdxf import recover
from ezdxf.lldxf.validator import is_valid_layer_name

KEPT_TYPES = ["POINT", "XLINE", "SOLID", "MTEXT", "ELLIPSE", "SPLINE", "LEADER", "DIMENSION"]
TABLE_ENTRY_TYPES = {"LTYPE", "LAYER", "STYLE", "APPID", "BLOCK_RECORD", "VPORT", "VIEW", "UCS",
                     "DIMSTYLE"}


def read(path, failures):
    """The drawing read strictly, or None; recover mode finds no error."""
    try:
        doc = ezdxf.readfile(path)
    except Exception as error:  # ezdxf refuses the whole file
        failures.append(f"{path}: ezdxf cannot read it: {error}")
        return None
    try:
        _, recovery = recover.readfile(path)
    except Exception as error:  # (its audit fails on what it read)
        failures.append(f"{path}: ezdxf's recover mode fails: {error!r}")
        return doc
    failures.extend(f"{path}: recover: {e.message}" for e in recovery.errors)
    return doc


def audit(doc, path, failures):
    """ezdxf's audit finds no error (run after the checks: it mends what it can in place)."""
    try:
        failures.extend(f"{path}: audit: {e.message}" for e in doc.audit().errors)
    except Exception as error:
        failures.append(f"{path}: ezdxf's audit fails: {error!r}")


def handle_counts(path):
    """(type, first handle, number of handle tags) of every record of the file that has a handle
    (a SORTENTSTABLE aside, whose sort handles are 5 too)."""
    with open(path, encoding="utf-8") as stream:
        lines = stream.read().splitlines()
    records, current = [], None
    for i in range(0, len(lines) - 1, 2):
        code, value = int(lines[i]), lines[i + 1].strip()
        if code == 0:
            current = [value, None, 0]
            records.append(current)
        elif current is not None:
            handle_code = 105 if current[0] == "DIMSTYLE" else 5
            if code == handle_code:
                current[1] = current[1] or value
                current[2] += 1
    skipped = {"SECTION", "ENDSEC", "ENDTAB", "EOF", "SORTENTSTABLE"}
    return [r for r in records if r[0] not in skipped and r[2] > 0]


def check_damaged(path, failures):
    doc = read(path, failures)
    if doc is None:
        return
    msp = doc.modelspace()
    for kind in KEPT_TYPES:
        if len(msp.query(kind)) != 1:
            failures.append(f"{kind}: {len(msp.query(kind))} in model space, expected 1")
    for kind, handle, count in handle_counts(path):
        if count != 1:
            failures.append(f"{kind} {handle}: {count} handles")
    if doc.entitydb.get("3F002") is None or doc.entitydb.get("3F002").dxftype() != "LINE":
        failures.append("the LINE with two handles did not keep its first, 3F002")
    layers = {layer.dxf.name for layer in doc.layers}
    for name in layers:
        if not is_valid_layer_name(name):
            failures.append(f"layer {name!r} has an invalid name")
    polylines = 0
    for entity in msp:
        named = [(entity.dxftype(), entity.dxf.layer)]
        if entity.dxftype() == "POLYLINE":
            polylines += 1
            named += [("VERTEX", v.dxf.layer) for v in entity.vertices]
            named.append(("SEQEND", entity.seqend.dxf.layer))
            for kind, layer in named[1:]:
                if layer != entity.dxf.layer:
                    failures.append(
                        f"a {kind} is on {layer!r}, its polyline on {entity.dxf.layer!r}")
        for kind, layer in named:
            if layer not in layers:
                failures.append(f"a {kind} is on {layer!r}, which is no layer of the table")
    if polylines != 1:
        failures.append(f"{polylines} polylines, expected 1")
    audit(doc, path, failures)


def check_layouts(path, failures):
    doc = read(path, failures)
    if doc is None:
        return
    expected = {"Layout1": [(300.0, 200.0)], "Layout2": [(50.0, 50.0)]}
    for name, centres in expected.items():
        layout = doc.layouts.get(name)
        found = [tuple(v.dxf.center)[:2] for v in layout.query("VIEWPORT") if v.dxf.id != 1]
        if found != centres:
            failures.append(f"{name} holds the viewports at {found}, expected {centres}")
    audit(doc, path, failures)


def check_stray_entries(path, failures):
    doc = read(path, failures)
    if doc is None:
        return
    colours = {layer.dxf.name: layer.dxf.color for layer in doc.layers}
    for name, colour in (("Walls", 1), ("Doors", 3)):
        if colours.get(name) != colour:
            failures.append(f"layer {name}: colour {colours.get(name)}, expected {colour}")
    msp = doc.modelspace()
    entries = [e.dxftype() for e in msp if e.dxftype() in TABLE_ENTRY_TYPES]
    if entries:
        failures.append(f"table entries among the entities: {entries}")
    if [e.dxf.layer for e in msp.query("LINE")] != ["Walls"]:
        failures.append(f"model space lines on {[e.dxf.layer for e in msp.query('LINE')]}")
    window = doc.blocks.get("Window")
    if window is None or window.block_record_handle != "70":
        handle = window.block_record_handle if window is not None else None
        failures.append(f"the block Window has the record {handle}, expected 70")
    elif [e.dxftype() for e in window] != ["LINE"]:
        failures.append(f"the block Window holds {[e.dxftype() for e in window]}")
    if [i.dxf.name for i in msp.query("INSERT")] != ["Door", "Window"]:
        failures.append(f"references to {[i.dxf.name for i in msp.query('INSERT')]}")
    if [e.dxf.layer for e in doc.blocks.get("Door").query("LINE")] != ["Doors"]:
        failures.append("the line of the block Door is not on Doors")
    for block in doc.blocks:
        for record in (block.block, block.endblk):
            layer = record.dxf.layer
            if layer not in colours or not is_valid_layer_name(layer):
                failures.append(f"the {record.dxftype()} of {block.name} is on {layer!r}, "
                                f"no valid layer of the table")
    audit(doc, path, failures)


def main(damaged, layouts, stray_entries):
    failures = []
    check_damaged(damaged, failures)
    check_layouts(layouts, failures)
    check_stray_entries(stray_entries, failures)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
