"""Checks what the page-setup case wrote, with programs that are not the host: the PDF's page
size (pdfinfo), the PNG's size and that its drawing is centred on it (PIL), and the page setup
kept in the saved drawing (ezdxf)."""
import subprocess
import sys

import ezdxf
from PIL import Image


def main(work):
    failures = []
    info = subprocess.run(["pdfinfo", f"{work}/home/plan.pdf"], capture_output=True, text=True,
                          check=True).stdout
    if "1190.55 x 841.89 pts" not in info:
        failures.append(f"plan.pdf is not an A3 landscape page: {info}")

    image = Image.open(f"{work}/home/plan.png").convert("L")
    if image.size != (640, 480):
        failures.append(f"plan.png is {image.size}, not 640 x 480")
    # The inked part: everything darker than white.
    box = image.point(lambda v: 255 if v < 250 else 0).getbbox()
    if box is None:
        failures.append("plan.png is blank")
    else:
        left, top, right, bottom = box
        if abs(left - (image.width - right)) > 2 or abs(top - (image.height - bottom)) > 2:
            failures.append(f"the plan is not centred on plan.png: inked box {box}")

    model = ezdxf.readfile(f"{work}/saved.dxf").layouts.get("Model").dxf_layout.dxf
    expected = {
        "plot_configuration_file": "PublishToWeb PNG.pc3",
        "paper_size": "VGA_(640.00_x_480.00_Pixels)",
        "plot_type": 1,            # extents
        "standard_scale_type": 26,  # 1:100
        "plot_rotation": 1,        # 90 degrees
    }
    for name, value in expected.items():
        if model.get(name) != value:
            failures.append(f"Model layout {name}: {model.get(name)!r}, expected {value!r}")
    if not model.get("plot_layout_flags") & 4:
        failures.append("the Model layout's plot is not centred")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
