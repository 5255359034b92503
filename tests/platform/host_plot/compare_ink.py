#!/usr/bin/python3
"""Compares the inked pixels of two plots of one drawing.

usage: compare_ink.py A.pdf B.pdf [DPI]

Both PDFs are rasterised by pdftoppm at one resolution (grey, 50 dots per inch unless told).
A pixel darker than 200 of 255 is inked. Each image is cut to the box of its ink and the second
is scaled to the first box, so that margins and the placement on the page do not count; then
for each image the share of its inked pixels that lie within 2 pixels of ink of the other is
printed ("a_in_b b_in_a"), each from 0 to 1.
"""
import subprocess
import sys
import tempfile

from PIL import Image, ImageFilter


def raster(pdf, dpi, folder, name):
    prefix = f"{folder}/{name}"
    subprocess.run(["pdftoppm", "-r", str(dpi), "-gray", "-singlefile", pdf, prefix], check=True)
    return Image.open(prefix + ".pgm").convert("L")


def ink(image):
    mask = image.point(lambda v: 255 if v < 200 else 0)
    box = mask.getbbox()
    if box is None:
        raise SystemExit("no ink")
    return mask.crop(box)


def share_within(a, b_grown):
    """The share of a's ink that b_grown covers."""
    total = covered = 0
    pa, pb = a.load(), b_grown.load()
    for y in range(a.height):
        for x in range(a.width):
            if pa[x, y]:
                total += 1
                covered += 1 if pb[x, y] else 0
    return covered / total if total else 0.0


def ink_overlap(a_image, b_image, long_side=300):
    """(a_in_b, b_in_a) as main prints them, for two images of any resolutions: each is cut to
    the box of its ink and brought to one size, `long_side` pixels along the first box's longer
    side, a pixel inked where any part of it was (so thin lines survive a smaller size).
    Raises ValueError when an image has no ink."""
    masks = []
    for image in (a_image, b_image):
        mask = image.convert("L").point(lambda v: 255 if v < 200 else 0)
        box = mask.getbbox()
        if box is None:
            raise ValueError("no ink")
        masks.append(mask.crop(box))
    a, b = masks
    factor = long_side / max(a.width, a.height)
    size = (max(1, round(a.width * factor)), max(1, round(a.height * factor)))
    a, b = (m.resize(size, Image.BOX).point(lambda v: 255 if v > 0 else 0) for m in (a, b))
    grow = ImageFilter.MaxFilter(5)  # 2 pixels each way
    return share_within(a, b.filter(grow)), share_within(b, a.filter(grow))


def main():
    dpi = int(sys.argv[3]) if len(sys.argv) > 3 else 50
    with tempfile.TemporaryDirectory() as folder:
        a = ink(raster(sys.argv[1], dpi, folder, "a"))
        b = ink(raster(sys.argv[2], dpi, folder, "b")).resize(a.size, Image.NEAREST)
    grow = ImageFilter.MaxFilter(5)  # 2 pixels each way
    print(f"{share_within(a, b.filter(grow)):.3f} {share_within(b, a.filter(grow)):.3f}")


if __name__ == "__main__":
    main()
