#!/usr/bin/python3
"""Checks a DWF plot of DwfPlotTest against the PDF of the same plot: the tests' DWF reader
(tests/support/dwfread.py) reads the DWF, poppler the PDF. Every case: the package reads (its XML
members well-formed), one page of the PDF's paper, and each text where the PDF has it
(dwfread.texts_unlike_pdf); then what the case's drawing (DwfPlotTest.cpp) says of it.

usage: check_dwf_plot.py CASE FILE.dwf FILE.pdf
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
import dwfread  # noqa: E402

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def near(a, b, tolerance):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def box_of(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return min(xs), min(ys), max(xs), max(ys)


def clip_box(t):
    return box_of([p for contour in t["clip"] for p in contour]) if t["clip"] else None


def texts_cut_at(page, frame, crossing, inside, tolerance=0.05):
    """The texts are those crossing the frame and those inside it; each crossing one carries the
    frame as its clip, one inside it none or the frame."""
    by_text = {t["text"]: t for t in page.texts}
    check(sorted(by_text) == sorted(crossing + inside) and len(page.texts) == len(by_text),
          f"texts {[t['text'] for t in page.texts]}, not {crossing + inside}")
    for name in crossing:
        if name in by_text:
            clip = clip_box(by_text[name])
            check(clip is not None and near(clip, frame, tolerance),
                  f"{name!r} clipped to {clip}, not to {frame}")
    for name in inside:
        if name in by_text:
            clip = clip_box(by_text[name])
            check(clip is None or near(clip, frame, tolerance), f"{name!r} clipped to {clip}")


ROW = ["ENTER", "0 LEFT", "RIGHT 2", "ABOVE"]


def viewport(page):
    frames = [line for line in page.polylines
              if near(box_of(line["points"]), (100, 70, 200, 130), 0.05)]
    check(frames, "no viewport frame at (100, 70)-(200, 130)")
    check(all(line["layer"] == "FRAMES" for line in frames),
          f"the viewport frame on layer {[line['layer'] for line in frames]}, not FRAMES")
    texts_cut_at(page, (100, 70, 200, 130), ["ENTER", "RIGHT 2", "ABOVE"], ["0 LEFT"])


def window(page):
    texts_cut_at(page, (0, 0, 297, 210), ["ENTER"], ["0 LEFT", "RIGHT 2", "ABOVE"])


def mirrored(page):
    # Two texts in each of four references; the mirrored references' texts come with their
    # box, turned clockwise, the plain one's without.
    check(len(page.texts) == 8, f"{len(page.texts)} texts")
    boxed = [t for t in page.texts if t["bounds"]]
    check(len(boxed) == 6, f"{len(boxed)} texts with a box")
    for t in boxed:
        (x0, y0), (x1, y1), _, (x3, y3) = t["bounds"]
        check((x1 - x0) * (y3 - y0) - (y1 - y0) * (x3 - x0) < 0,
              f"{t['text']!r} at {t['at']}: its box is not mirrored")


def inches(page):
    check(page.units == "in", f"units {page.units}")
    # The window's outline is drawn where the plotted area is.
    outline = [p for line in page.polylines for p in line["points"]]
    check(outline and page.clip and near(page.clip, box_of(outline), 0.005),
          f"plotted area {page.clip}, the window drawn at {outline and box_of(outline)}")
    check(outline and near(box_of(outline)[2:], (box_of(outline)[0] + 4, box_of(outline)[1] + 2),
                           0.005), "the window is not 4 by 2 inches")


def names(page):
    check(page.source == "plan\ufffd\ufffd.dwg", f"source {page.source!r}")
    check(page.name == page.title == "Sheet \ufffd", f"page {page.name!r}, section {page.title!r}")


CASES = {"viewport": viewport, "window": window, "mirrored": mirrored, "inches": inches,
         "names": names}


def main(case, dwf, pdf):
    try:
        pages = dwfread.read(dwf)
    except (OSError, dwfread.DwfError) as error:
        print(f"FAIL: {dwf} does not read: {error}")
        return 1
    check(len(pages) == 1, f"{len(pages)} pages")
    page = pages[0]
    width, height = dwfread.pdf_size(pdf)
    unit = 25.4 / 72 if page.units == "mm" else 1 / 72
    check(near((page.width, page.height), (width * unit, height * unit), 0.01),
          f"paper {page.width} x {page.height} {page.units}, the PDF's {width} x {height} pt")
    for failure in dwfread.texts_unlike_pdf(page, pdf):
        check(False, failure)
    CASES[case](page)
    print("\n".join(f"FAIL: {failure}" for failure in failures) or "ok")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
