"""Reads the drawing that the layer case saved with ezdxf and checks its layer table: each
layer's on, frozen and locked state as the script left it, and the current layer."""
import sys

import ezdxf

# name: (on, frozen, locked)
EXPECTED = {
    "0": (True, False, False),
    "ATT-AREA": (True, False, False),
    "ATT-NAME": (True, False, False),
    "ATT-AUX": (True, False, False),
    "ORVAN_LEGEND_MARKER": (False, True, False),
    "ORVAN_PIECHART_MARKER": (False, False, True),
    "HATCH-OFFICES": (True, True, False),
    "HATCH-MEETING": (True, False, False),
    "Defpoints": (True, False, False),
}


def main(path):
    doc = ezdxf.readfile(path)
    found = {layer.dxf.name: (layer.is_on(), layer.is_frozen(), layer.is_locked())
             for layer in doc.layers}
    failures = [f"{name}: expected (on, frozen, locked) {state}, found {found.get(name)}"
                for name, state in EXPECTED.items() if found.get(name) != state]
    if doc.header.get("$CLAYER") != "ATT-NAME":
        failures.append(f"current layer {doc.header.get('$CLAYER')!r}, expected 'ATT-NAME'")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
