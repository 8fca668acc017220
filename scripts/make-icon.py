#!/usr/bin/env python3
"""Draws Marvolen's icon and writes it as a Windows .ico (16, 32 and 48 pixels).

    python3 scripts/make-icon.py [OUTPUT]     (default: ui/res/marvolen.ico)

The picture: a clock face on a dark blue tile with a sound wave below the
hands. Drawn with supersampling so the small sizes stay smooth; only the
standard library is needed. The output is deterministic, so running the
script again gives the committed file byte for byte.
"""
import math
import struct
import sys
from pathlib import Path

SIZES = (16, 32, 48)
SUPERSAMPLE = 4

TILE = (0x1F, 0x3A, 0x6B)
FACE = (0xF4, 0xF1, 0xE8)
HANDS = (0x1F, 0x3A, 0x6B)
WAVE = (0xE8, 0x6A, 0x1F)


def inside_rounded_square(x, y, radius):
    # Unit coordinates in [0, 1); corners rounded by `radius`.
    cx = min(max(x, radius), 1 - radius)
    cy = min(max(y, radius), 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius**2


def near_segment(x, y, ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2


def colour_at(x, y):
    """Colour and opacity of one sample point, (r, g, b, a) with a in 0..1."""
    if not inside_rounded_square(x, y, 0.18):
        return (0, 0, 0, 0.0)
    centre_x, centre_y, face_radius = 0.5, 0.45, 0.33
    distance = math.hypot(x - centre_x, y - centre_y)
    colour = TILE
    if distance <= face_radius:
        colour = FACE
        # Hands at three o'clock: short one right, long one up.
        if near_segment(x, y, centre_x, centre_y, centre_x, centre_y - 0.25, 0.07):
            colour = HANDS
        if near_segment(x, y, centre_x, centre_y, centre_x + 0.18, centre_y, 0.07):
            colour = HANDS
    # One period and a half of a sine under the face.
    if 0.12 <= x <= 0.88:
        wave_y = 0.86 - 0.06 * math.sin((x - 0.12) / 0.76 * 3 * math.pi)
        if abs(y - wave_y) <= 0.045:
            colour = WAVE
    return (*colour, 1.0)


def render(size):
    """BGRA rows, bottom row first, as an icon's bitmap stores them."""
    rows = []
    for row in range(size - 1, -1, -1):
        pixels = bytearray()
        for column in range(size):
            r = g = b = a = 0.0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (column + (sx + 0.5) / SUPERSAMPLE) / size
                    y = (row + (sy + 0.5) / SUPERSAMPLE) / size
                    cr, cg, cb, ca = colour_at(x, y)
                    r += cr * ca
                    g += cg * ca
                    b += cb * ca
                    a += ca
            n = SUPERSAMPLE * SUPERSAMPLE
            if a > 0:
                r, g, b = r / a, g / a, b / a
            pixels += bytes((round(b), round(g), round(r), round(255 * a / n)))
        rows.append(bytes(pixels))
    return rows


def icon_image(size):
    """One icon image: BITMAPINFOHEADER, 32-bit pixels, 1-bit AND mask."""
    rows = render(size)
    # The AND mask is all zero: the alpha channel decides transparency. Its
    # rows are padded to 32 bits.
    mask_row = bytes(((size + 31) // 32) * 4)
    header = struct.pack(
        "<IiiHHIIiiII",
        40,  # header size
        size,
        size * 2,  # height of colour and mask together
        1,  # planes
        32,  # bits per pixel
        0,  # BI_RGB
        size * size * 4 + len(mask_row) * size,
        0,
        0,
        0,
        0,
    )
    return header + b"".join(rows) + mask_row * size


def main():
    output = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent.parent / "ui/res/marvolen.ico"
    images = [icon_image(size) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))  # reserved, type 1 = icon, count
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    output.write_bytes(directory + b"".join(images))
    print(f"make-icon: wrote {output}")


if __name__ == "__main__":
    main()
