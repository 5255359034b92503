"""Checks the plots of the page-scales case with programs that are not the host: poppler renders
each PDF at 72 dots per inch, and the inked box of the 6 x 3 rectangle must measure what its
scale gives on the inch paper (ANSI A), a dot a point: 1:3 (one paper inch for three drawing
units) 2 x 1 inches, 1:1 6 x 3 inches.

usage: check_page_scales.py WORK"""
import os
import subprocess
import sys
import tempfile

from PIL import Image

# The file, and the rectangle's size expected on it, in inches.
PLOTS = [("third.pdf", 2.0, 1.0), ("whole.pdf", 6.0, 3.0)]
# A dot each way for the pen and the rasterising.
TOLERANCE = 3


def inked_box(pdf, folder):
    stem = os.path.join(folder, os.path.splitext(os.path.basename(pdf))[0])
    subprocess.run(["pdftoppm", "-r", "72", "-gray", "-singlefile", pdf, stem], check=True)
    with Image.open(stem + ".pgm") as page:
        return page.size, page.point(lambda v: 255 if v < 200 else 0).getbbox()


def main(work):
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        for name, width, height in PLOTS:
            size, box = inked_box(os.path.join(work, "home", name), folder)
            if size != (792, 612):
                failures.append(f"{name} is {size} dots, not an ANSI A landscape page")
            if box is None:
                failures.append(f"{name} is blank")
                continue
            measured = (box[2] - box[0], box[3] - box[1])
            expected = (width * 72, height * 72)
            if any(abs(m - e) > TOLERANCE for m, e in zip(measured, expected)):
                failures.append(f"{name}: the rectangle measures {measured} dots, "
                                f"expected {expected}")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
