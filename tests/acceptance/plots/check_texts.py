#!/usr/bin/python3
"""Checks the plots of drawings/texts.dxf (made with ezdxf), its model space fitted to an A4 page.

usage: check_texts.py PLOT.pdf PLOT.png PLOT.jpg PLOT.dwf

poppler reads every word of the PDF with its box (pdftotext -bbox):
  - no word runs over the page's edge, and the widest line's last word, "multi-line", set at
    twice the height of the words before it, is read whole at that height;
  - "TALL" (\\H3x) stands three times as high as the "small" before it;
  - the three columns of "Alpha one\\NBravo two\\NCharlie three" stand side by side, their first
    words on one line, each column to the right of the one before;
  - the noncharacters U+FFFF and U+FDD0 of two texts and the \\U+FFFE of a multi-line text read
    as the replacement character U+FFFD.
PIL finds ink on the PNG and JPEG pages; the DWF page (tests/support/dwfread.py) holds the same texts
with the replacement character.
"""
import html
import os
import re
import subprocess
import sys

from PIL import Image

EDGE = 0.5  # points a word's box may reach over the page's edge
REPLACED = ["ok\ufffdend", "\ufffdmark", "nc\ufffdmt"]


def words_of(pdf):
    page = subprocess.run(["pdftotext", "-enc", "UTF-8", "-bbox", pdf, "-"],
                          capture_output=True, check=True).stdout.decode("utf-8")
    size = re.search(r'<page width="([-\d.]+)" height="([-\d.]+)"', page)
    words = {}
    for x0, y0, x1, y1, text in re.findall(r'<word xMin="([-\d.]+)" yMin="([-\d.]+)" '
                                           r'xMax="([-\d.]+)" yMax="([-\d.]+)">(.*?)</word>',
                                           page):
        words.setdefault(html.unescape(text), []).append(
            (float(x0), float(y0), float(x1), float(y1)))
    return float(size.group(1)), float(size.group(2)), words


def height(box):
    return box[3] - box[1]


def check_pdf(path, failures):
    width, page_height, words = words_of(path)
    for text, boxes in words.items():
        for x0, y0, x1, y1 in boxes:
            if x0 < -EDGE or y0 < -EDGE or x1 > width + EDGE or y1 > page_height + EDGE:
                failures.append(f"the word {text!r} runs over the page's edge: ({x0:.2f}, "
                                f"{y0:.2f}) to ({x1:.2f}, {y1:.2f}) on {width:.2f} x "
                                f"{page_height:.2f} pt")
    needed = ["multi-line", "Wide", "TALL", "small", "Alpha", "Bravo", "Charlie"] + REPLACED
    missing = [w for w in needed if w not in words]
    if missing:
        failures.append(f"words not on the page: {missing} (read: {sorted(words)})")
        return
    ratio = height(words["multi-line"][0]) / height(words["Wide"][0])
    if abs(ratio - 2.0) > 0.1:
        failures.append(f"\"multi-line\" stands {ratio:.2f} times as high as \"Wide\", not 2")
    ratio = height(words["TALL"][0]) / height(words["small"][0])
    if abs(ratio - 3.0) > 0.1:
        failures.append(f"\"TALL\" stands {ratio:.2f} times as high as \"small\", not 3")
    alpha, bravo, charlie = (words[w][0] for w in ("Alpha", "Bravo", "Charlie"))
    one, two = words["one"][0], words["two"][0]
    if abs(bravo[1] - alpha[1]) > 0.5 or abs(charlie[1] - alpha[1]) > 0.5:
        failures.append(f"the columns' first lines are not level: {alpha}, {bravo}, {charlie}")
    if not (bravo[0] > one[2] and charlie[0] > two[2]):
        failures.append(f"the columns do not stand side by side: {alpha}, {bravo}, {charlie}")


def check_image(path, failures):
    with Image.open(path) as image:
        if image.convert("L").getextrema()[0] > 128:
            failures.append(f"the page of {os.path.basename(path)} is blank")


def check_dwf(path, failures):
    reader = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support",
                          "dwfread.py")
    shown = subprocess.run([sys.executable, reader, path], capture_output=True, check=True,
                           env=dict(os.environ, PYTHONIOENCODING="utf-8")).stdout.decode("utf-8")
    texts = re.findall(r"^\s*text '(.*)' at", shown, re.M)
    for word in REPLACED:
        if word not in texts:
            failures.append(f"the DWF page lacks the text {word!r} (it holds {texts})")


def main():
    if len(sys.argv) != 5:
        print(__doc__)
        return 2
    failures = []
    check_pdf(sys.argv[1], failures)
    check_image(sys.argv[2], failures)
    check_image(sys.argv[3], failures)
    check_dwf(sys.argv[4], failures)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
