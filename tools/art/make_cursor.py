#!/usr/bin/env python3
"""Draws the selection window's cursor and writes res/select.cur.

A 32 x 32 monochrome crosshair with its hot spot at (15, 15): a 1-pixel black cross whose arms
reach 12 pixels from the centre, outlined in white so that it shows on dark and light screens
alike. Everything else is transparent.

Usage: make_cursor.py [output.cur]
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from winimage import cursor_file, dib1  # noqa: E402

SIZE = 32
CENTRE = 15
ARM = 12


def draw():
    pixels = [None] * (SIZE * SIZE)

    def on_cross(x, y, half_width, reach):
        horizontal = abs(y - CENTRE) <= half_width and abs(x - CENTRE) <= reach
        vertical = abs(x - CENTRE) <= half_width and abs(y - CENTRE) <= reach
        return horizontal or vertical

    for y in range(SIZE):
        for x in range(SIZE):
            if on_cross(x, y, 0, ARM):
                pixels[y * SIZE + x] = "black"
            elif on_cross(x, y, 1, ARM + 1):
                pixels[y * SIZE + x] = "white"
    return pixels


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out = argv[0] if argv else os.path.join(here, "..", "..", "res", "select.cur")
    with open(out, "wb") as f:
        f.write(cursor_file([(SIZE, CENTRE, CENTRE, dib1(SIZE, SIZE, draw()))]))


if __name__ == "__main__":
    main(sys.argv[1:])
