"""Checks the drawing that the obe acceptance case saved: room R-1 renamed to "Meeting Room",
its pillar subtracted (area 19.00 sq.m., perimeter 22.00 m.), the attribute texts and extended
data to match, the text height changed, and every other room as it was.

Usage: check_obe.py SAVED.dxf ORIGINAL.dxf
"""
import sys

import ezdxf


def fail(message):
    print("check_obe: " + message)
    sys.exit(1)


def attributes(insert):
    return {a.dxf.tag: a for a in insert.attribs}


def xdata(insert):
    items = {}
    for code, value in insert.get_xdata("ADE"):
        if code == 1000 and "=" in value:
            key, _, rest = value.partition("=")
            items[key] = rest
    return items


def rooms(doc):
    return {e.dxf.handle: e for e in doc.modelspace().query("INSERT") if e.dxf.name.startswith("ROOM-")}


def main():
    saved = ezdxf.readfile(sys.argv[1])
    original = ezdxf.readfile(sys.argv[2])
    auditor = saved.audit()
    if auditor.has_errors:
        fail("audit errors: %s" % [str(e) for e in auditor.errors])

    before, after = rooms(original), rooms(saved)
    if sorted(before) != sorted(after):
        fail("rooms %s, expected %s" % (sorted(after), sorted(before)))

    renamed = after["44"]
    texts = {tag: a.dxf.text for tag, a in attributes(renamed).items()}
    if texts != {"NAME": "Meeting Room", "AREA": "19.00sq.m.", "AUX": "AUX-1"}:
        fail("attributes of 44: %s" % texts)
    heights = {tag: a.dxf.height for tag, a in attributes(renamed).items()}
    if any(abs(h - 200.0) > 1e-9 for h in heights.values()):
        fail("text heights of 44: %s" % heights)

    record = xdata(renamed)
    pillars = [e for e in saved.modelspace().query("LWPOLYLINE")
               if sorted(e.get_points("xy")) == [(1000, 1000), (1000, 2000), (2000, 1000), (2000, 2000)]]
    if len(pillars) != 1:
        fail("the pillar polyline is missing")
    expected = {
        "NAME": "Meeting Room",
        "HANDLESTOMINUS": pillars[0].dxf.handle + ",",
        "HANDLESTOADD": "",
    }
    for key, value in expected.items():
        if record.get(key) != value:
            fail("%s of 44 is %r, expected %r" % (key, record.get(key), value))
    area = float(record["AREA"].replace("sq.m.", ""))
    perimeter = float(record["PERIMETER"].replace("m.", ""))
    if abs(area - 19.0) > 1e-9 or abs(perimeter - 22.0) > 1e-9:
        fail("area %r and perimeter %r of 44, expected 19 and 22" % (area, perimeter))

    for handle, room in before.items():
        if handle == "44":
            continue
        was = {tag: a.dxf.text for tag, a in attributes(room).items()}
        now = {tag: a.dxf.text for tag, a in attributes(after[handle]).items()}
        if was != now or xdata(room) != xdata(after[handle]):
            fail("room %s changed: %s -> %s" % (handle, was, now))
    print("check_obe: the renamed room and its subtracted area are in the saved drawing")


main()
