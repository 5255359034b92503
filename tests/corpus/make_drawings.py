#!/usr/bin/python3
"""Writes the small drawings of tests/corpus/drawings with ezdxf: each shows, alone, a shape that
other programs write and that a plot must show, as drawings met in the field do.

usage: make_drawings.py [FOLDER]   (tests/corpus/drawings beside this file unless told)

- polyline3d.dxf: model space holds one 3D polyline (a POLYLINE flagged 8) and nothing else,
  as a point-cloud program exports a path.
- meshes.dxf (R12): a polyface mesh with a hidden edge, a polygon mesh and a 3D face.
- viewport_no_plot.dxf: the current layout shows model space through one viewport whose layer
  does not plot (kept off the sheet: the view shows, not its frame); beside the viewport the
  layout holds nothing.
- viewport_off.dxf: the same, the viewport's layer turned off instead.
- noncharacters.dxf: texts holding noncharacters (U+FFFF, U+FDD0, and U+FFFE as a multi-line
  text's code), which no device draws: the plot shows them as the replacement character.
"""
import os
import sys

import ezdxf


def polyline3d(path):
    doc = ezdxf.new("R2000")
    doc.modelspace().add_polyline3d([(0, 0, 0), (40, 10, 5), (70, 45, 12), (30, 60, 20),
                                     (5, 35, 8)])
    doc.saveas(path)


def meshes(path):
    doc = ezdxf.new("R12")
    msp = doc.modelspace()
    face = msp.add_polyface()
    face.append_face([(0, 0, 0), (40, 0, 0), (40, 30, 10), (0, 30, 10)])
    face.append_face([(40, 0, 0), (70, 0, 5), (40, 30, 10)])
    # the first face's edge from its third vertex is hidden
    face_records = [v for v in face.vertices if v.is_face_record]
    face_records[0].dxf.vtx2 = -abs(face_records[0].dxf.vtx2)
    grid = msp.add_polymesh(size=(3, 4))
    for m in range(3):
        for n in range(4):
            grid.set_mesh_vertex((m, n), (n * 20, 50 + m * 15, m * n))
    msp.add_3dface([(90, 0, 0), (130, 0, 0), (130, 40, 20), (90, 40, 20)])
    doc.saveas(path)


def viewport(path, hide):
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    msp.add_lwpolyline([(0, 0), (200, 0), (200, 120), (0, 120)], close=True)
    msp.add_circle((100, 60), 40)
    msp.add_line((0, 0), (200, 120))
    layout = doc.layouts.new("Sheet")
    layout.page_setup(size=(297, 210), margins=(10, 10, 10, 10), units="mm")
    doc.layers.add("VIEWPORTS")
    vp = layout.add_viewport(center=(140, 100), size=(240, 150), view_center_point=(100, 60),
                             view_height=130)
    vp.dxf.layer = "VIEWPORTS"
    hide(doc.layers.get("VIEWPORTS"))
    doc.layouts.set_active_layout("Sheet")
    doc.header["$TILEMODE"] = 0  # the paper layout is the current one
    doc.saveas(path)


def noncharacters(path):
    doc = ezdxf.new("R2013")
    msp = doc.modelspace()
    msp.add_text("Room \uffff 1", dxfattribs={"height": 5}).set_placement((0, 0))
    msp.add_text("\ufdd0 Office", dxfattribs={"height": 5}).set_placement((0, 10))
    msp.add_mtext("Note \\U+FFFE end", dxfattribs={"char_height": 5, "insert": (0, 30)})
    doc.saveas(path)


def no_plot(layer):
    layer.dxf.plot = 0


def turned_off(layer):
    layer.off()


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "drawings")
    os.makedirs(folder, exist_ok=True)
    polyline3d(os.path.join(folder, "polyline3d.dxf"))
    meshes(os.path.join(folder, "meshes.dxf"))
    viewport(os.path.join(folder, "viewport_no_plot.dxf"), no_plot)
    viewport(os.path.join(folder, "viewport_off.dxf"), turned_off)
    noncharacters(os.path.join(folder, "noncharacters.dxf"))


if __name__ == "__main__":
    main()
