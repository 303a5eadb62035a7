#!/usr/bin/env python3
"""Draws Lumetta's program icon and writes res/lumetta.ico.

The mark is a window onto part of the screen: a blue rounded frame around a bright pane, with
the four corner brackets of a viewfinder on the pane. Each size is laid out by hand on whole
pixels so that straight edges stay sharp; only the rounded corners are anti-aliased
(supersampled). The icon holds 16, 24, 32 and 48 pixels in 256 colours and in 32-bit colour,
and 256 pixels as a PNG.

Usage: make_icon.py [output.ico] [--png DIR]   (--png also writes each 32-bit image as a PNG)
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from winimage import (Canvas, dib32, dib8, icon_file, png, rounded_rect, union,  # noqa: E402
                      vertical_gradient)

FRAME_TOP = (0x3B, 0x8B, 0xFF)
FRAME_BOTTOM = (0x15, 0x4B, 0xD4)
PANE_TOP = (0xFF, 0xFF, 0xFF)
PANE_BOTTOM = (0xCF, 0xEE, 0xFF)
BRACKET = (0x15, 0x4B, 0xD4)
SHADOW = (0x00, 0x1A, 0x4D)

# Per size, in pixels: frame and pane as (left, top, right, bottom, corner radius); brackets as
# (left, top, right, bottom, arm length, stroke width, round caps); shadow as (blur, drop)
# or None.
LAYOUTS = {
    16: dict(frame=(0, 0, 16, 16, 3), pane=(2, 2, 14, 14, 1), brackets=(4, 4, 12, 12, 3, 1, False),
             shadow=None),
    24: dict(frame=(1, 1, 23, 23, 4), pane=(4, 4, 20, 20, 1.5),
             brackets=(7, 7, 17, 17, 4, 1, False), shadow=None),
    32: dict(frame=(1, 1, 31, 31, 6), pane=(5, 5, 27, 27, 2), brackets=(9, 9, 23, 23, 5, 2, True),
             shadow=None),
    48: dict(frame=(2, 2, 46, 46, 9), pane=(7, 7, 41, 41, 3),
             brackets=(13, 13, 35, 35, 8, 3, True), shadow=None),
    256: dict(frame=(12, 8, 244, 240, 50), pane=(40, 36, 216, 212, 16),
              brackets=(72, 68, 184, 180, 40, 14, True), shadow=(10, 6)),
}

SMALL_SIZES = (16, 24, 32, 48)


def bracket_shape(left, top, right, bottom, arm, width, round_caps):
    """Four L-shaped corner marks inside the given box."""
    radius = width / 2.0 if round_caps else 0
    parts = []
    for x, sx in ((left, 1), (right, -1)):
        for y, sy in ((top, 1), (bottom, -1)):
            h = (x, y, x + sx * arm, y + sy * width)
            v = (x, y, x + sx * width, y + sy * arm)
            for a in (h, v):
                parts.append(rounded_rect(min(a[0], a[2]), min(a[1], a[3]), max(a[0], a[2]),
                                          max(a[1], a[3]), radius))
    return union(*parts)


def soft_shadow(canvas, frame, blur, drop):
    """A blurred shadow of the frame, dropped down by `drop` pixels."""
    left, top, right, bottom, radius = frame
    top += drop
    bottom += drop

    def alpha(x, y):
        cx = min(max(x, left + radius), right - radius)
        cy = min(max(y, top + radius), bottom - radius)
        d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5 - radius  # distance outside the outline
        t = max(0.0, min(1.0, 1.0 - d / blur))
        return SHADOW + (int(round(90 * t * t)),)

    canvas.paint(lambda x, y: True, alpha, (left - blur, top - blur, right + blur, bottom + blur),
                 samples=1)


def draw(size):
    layout = LAYOUTS[size]
    samples = 4 if size > 64 else 16
    canvas = Canvas(size)
    if layout["shadow"]:
        soft_shadow(canvas, layout["frame"], *layout["shadow"])
    frame = layout["frame"]
    frame_colour = vertical_gradient(FRAME_TOP, FRAME_BOTTOM, frame[1], frame[3])
    canvas.paint(rounded_rect(*frame), lambda x, y: frame_colour(x, y) + (255,), frame[:4],
                 samples)
    pane = layout["pane"]
    pane_colour = vertical_gradient(PANE_TOP, PANE_BOTTOM, pane[1], pane[3])
    canvas.paint(rounded_rect(*pane), lambda x, y: pane_colour(x, y) + (255,), pane[:4], samples)
    b = layout["brackets"]
    canvas.paint(bracket_shape(*b), BRACKET + (255,), b[:4], samples)
    return canvas.rgba()


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    out = os.path.join(here, "..", "..", "res", "lumetta.ico")
    png_dir = None
    args = list(argv)
    while args:
        a = args.pop(0)
        if a == "--png":
            png_dir = args.pop(0)
        else:
            out = a
    images = {size: draw(size) for size in LAYOUTS}
    if png_dir:
        for size, pixels in images.items():
            with open(os.path.join(png_dir, "icon%d.png" % size), "wb") as f:
                f.write(png(size, size, pixels))
    # 256 colours first, then 32-bit, then the PNG: the order older shells expect.
    entries = [(s, 8, dib8(s, s, images[s])) for s in SMALL_SIZES]
    entries += [(s, 32, dib32(s, s, images[s])) for s in SMALL_SIZES]
    entries.append((256, 32, png(256, 256, images[256])))
    with open(out, "wb") as f:
        f.write(icon_file(entries))


if __name__ == "__main__":
    main(sys.argv[1:])
