#!/usr/bin/env python3
"""Draws the tray companion's icon, a stylised Tern-7 seen from above, and writes it as a
Windows .ico with 48, 32, 24 and 16 pixel images of 32 bits per pixel (BGRA with a
matching AND mask), the sizes the resource script's icon group carries.

    python3 make_icon.py [output.ico]      (default: ../notifyhost.ico beside this folder)

Only the standard library is used. Each pixel is sampled 6x6 times for smooth edges.
"""
import os
import struct
import sys

SIZES = (48, 32, 24, 16)
SUBSAMPLES = 6

# Colours (R, G, B).
OUTLINE = (11, 46, 51)
PALM_TOP = (38, 166, 154)
PALM_BOTTOM = (18, 104, 100)
BUTTONS = (64, 196, 182)
SEAM = (11, 46, 51)
WHEEL = (255, 176, 0)


def superellipse(x, y, a, b, power=2.6):
    """True when (x, y), relative to the centre, lies inside the rounded body."""
    return abs(x / a) ** power + abs(y / b) ** power <= 1.0


def sample(size, x, y):
    """Colour and opacity of one point of the picture, in pixel units of an image of size."""
    centre_x = size / 2.0
    centre_y = size / 2.0
    dx = x - centre_x
    dy = y - centre_y
    half_width = size * 0.34
    half_height = size * 0.47
    # Lines keep at least one pixel so that the small images still show them.
    line = max(1.0, size * 0.06)

    if not superellipse(dx, dy, half_width, half_height):
        return None
    if not superellipse(dx, dy, half_width - line, half_height - line):
        return OUTLINE

    button_line = centre_y - size * 0.06
    wheel_half_width = max(1.0, size * 0.055)
    wheel_top = centre_y - size * 0.33
    wheel_bottom = centre_y - size * 0.14
    if abs(dx) <= wheel_half_width and wheel_top <= y <= wheel_bottom:
        return WHEEL
    if abs(dx) <= line / 2.0 and y < button_line:
        return SEAM
    if abs(y - button_line) <= line / 2.0:
        return SEAM
    if y < button_line:
        return BUTTONS
    # The palm darkens towards the bottom.
    t = (y - button_line) / (centre_y + half_height - button_line)
    return tuple(round(top + (bottom - top) * t) for top, bottom in zip(PALM_TOP, PALM_BOTTOM))


def render(size):
    """Rows of (r, g, b, a) pixels, top row first."""
    rows = []
    step = 1.0 / SUBSAMPLES
    for py in range(size):
        row = []
        for px in range(size):
            red = green = blue = covered = 0
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    colour = sample(size, px + (sx + 0.5) * step, py + (sy + 0.5) * step)
                    if colour is None:
                        continue
                    covered += 1
                    red += colour[0]
                    green += colour[1]
                    blue += colour[2]
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                alpha = round(255 * covered / SUBSAMPLES ** 2)
                row.append((round(red / covered), round(green / covered), round(blue / covered), alpha))
        rows.append(row)
    return rows


def icon_image(size):
    """One icon image: BITMAPINFOHEADER, bottom-up BGRA pixels, then the AND mask."""
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for red, green, blue, alpha in row:
            pixels += bytes((blue, green, red, alpha))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for px, (_, _, _, alpha) in enumerate(row):
            if alpha == 0:
                bits[px // 8] |= 0x80 >> (px % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def ico(sizes):
    images = [icon_image(size) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = bytearray()
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + bytes(entries) + b"".join(images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "notifyhost.ico")
    with open(output, "wb") as file:
        file.write(ico(SIZES))


if __name__ == "__main__":
    main()
