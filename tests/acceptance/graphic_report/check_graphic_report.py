#!/usr/bin/python3
"""Checks the drawing saved by the graphic-report case with ezdxf.

usage: check_graphic_report.py SAVED.dxf

The report of this folder (report.xml: the example report's two categories over the handles that
the space-block test module gives ROOM-2 and ROOM-3) was applied to the example floor plan after
its rooms became space blocks and a legend and a pie-chart marker were placed. The saved drawing must pass
ezdxf's audit and hold:
- one hatch per category over its room: ANSI31 in 200,50,40 on HATCH-OFFICES over ROOM-2, SOLID
  in 40,120,200 on HATCH-MEETING over ROOM-3, each boundary the room's outline as the reference
  places it; the floor outline ROOM-1 is not hatched;
- the legend "[ORVAN_LEGEND]_Departments" holding one ACAD_TABLE (title, header, a row per
  category with its swatch block and area) and inserted at the legend marker's corner;
- the swatch blocks of both categories with their hatch;
- the pie "[ORVAN_PIECHART]_Departments" with two hatched wedges whose sweeps are 20/48 and 28/48
  of a full circle, inserted at the pie marker's centre;
- every layer off except those of the report ("0" and the two hatch layers).
"""
import math
import sys

import ezdxf

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def outline_world(doc, insert):
    block = doc.blocks.get(insert.dxf.name)
    polyline = next(e for e in block if e.dxftype() == "LWPOLYLINE")
    m = insert.matrix44()
    return [m.transform((x, y, 0)) for x, y in polyline.get_points("xy")]


def main():
    doc = ezdxf.readfile(sys.argv[1])
    auditor = doc.audit()
    check(not auditor.has_errors, f"audit errors: {[str(e) for e in auditor.errors]}")
    msp = doc.modelspace()
    inserts = {e.dxf.name: e for e in msp.query("INSERT")}
    hatches = list(msp.query("HATCH"))
    check(len(hatches) == 2, f"{len(hatches)} hatches in model space, not 2")
    expected = {
        "ROOM-2": ("ANSI31", (200, 50, 40), "HATCH-OFFICES"),
        "ROOM-3": ("SOLID", (40, 120, 200), "HATCH-MEETING"),
    }
    for room, (pattern, rgb, layer) in expected.items():
        outline = outline_world(doc, inserts[room])
        found = [h for h in hatches if h.dxf.layer == layer]
        check(len(found) == 1, f"{room}: {len(found)} hatches on {layer}")
        if not found:
            continue
        hatch = found[0]
        check(hatch.dxf.pattern_name == pattern, f"{room}: pattern {hatch.dxf.pattern_name}")
        check(hatch.rgb is not None and tuple(hatch.rgb) == rgb, f"{room}: colour {hatch.rgb}")
        path = hatch.paths[0]
        vertices = [(v[0], v[1]) for v in path.vertices]
        check(len(vertices) == len(outline), f"{room}: {len(vertices)} boundary vertices")
        for v, o in zip(vertices, outline):
            check(abs(v[0] - o.x) < 1e-6 and abs(v[1] - o.y) < 1e-6,
                  f"{room}: boundary vertex {v} is not {o}")

    legend = doc.blocks.get("[ORVAN_LEGEND]_Departments")
    check(legend is not None, "no legend block")
    if legend is not None:
        tables = [e for e in legend if e.dxftype() == "ACAD_TABLE"]
        check(len(tables) == 1, f"{len(tables)} tables in the legend")
    check("[ORVAN_LEGEND]_Departments" in inserts, "the legend is not inserted")
    if "[ORVAN_LEGEND]_Departments" in inserts:
        p = inserts["[ORVAN_LEGEND]_Departments"].dxf.insert
        check(abs(p.x - 13000) < 1e-6 and abs(p.y - 6000) < 1e-6, f"legend at {p}")
    for title in ("Offices", "Meeting rooms"):
        swatch = doc.blocks.get(f"[ORVAN_LEGEND_HATCH]_Departments_{title}")
        check(swatch is not None and any(e.dxftype() == "HATCH" for e in swatch),
              f"no swatch with a hatch for {title}")

    pie = doc.blocks.get("[ORVAN_PIECHART]_Departments")
    check(pie is not None, "no pie block")
    if pie is not None:
        wedges = [e for e in pie if e.dxftype() == "HATCH"]
        check(len(wedges) == 2, f"{len(wedges)} hatched wedges")
        # A wedge's arc is the bulge of its boundary: a sweep of 4 atan(|bulge|).
        sweeps = [sum(4 * math.atan(abs(v[2])) for v in wedge.paths[0].vertices)
                  for wedge in wedges]
        if len(sweeps) == 2:
            check(abs(sum(sweeps) - 2 * math.pi) < 1e-9, f"wedges sweep {sum(sweeps)}")
            share = sorted(s / (2 * math.pi) for s in sweeps)
            check(abs(share[0] - 20 / 48) < 1e-9 and abs(share[1] - 28 / 48) < 1e-9,
                  f"wedge shares {share}")
    check("[ORVAN_PIECHART]_Departments" in inserts, "the pie is not inserted")
    if "[ORVAN_PIECHART]_Departments" in inserts:
        p = inserts["[ORVAN_PIECHART]_Departments"].dxf.insert
        check(abs(p.x - 15000) < 1e-6 and abs(p.y - 1500) < 1e-6, f"pie at {p}")

    on = {"0", "HATCH-OFFICES", "HATCH-MEETING"}
    for layer in doc.layers:
        name = layer.dxf.name
        if name in on:
            check(not layer.is_off(), f"layer {name} is off")
        elif name not in ("Defpoints",):
            check(layer.is_off(), f"layer {name} is on")

    for failure in failures:
        print(failure)
    print("ok" if not failures else f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
