#!/usr/bin/env python3
"""Draws the message window's icon and writes it as a Windows .ico file.

Two 16-colour images: 32x32 and 16x16. Each is a disc dithered in yellow and white; the 32x32
image also has a grey arc running down the disc's right side and along its foot. Pixels outside
the drawing are transparent (the AND mask). Standard library only; the build uses the committed
.ico, so this script runs only when the artwork changes:

    python3 tools/draw_icon.py src/win32/sirel_messages.ico
"""

import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREY, YELLOW, WHITE = 0, 8, 11, 15
TRANSPARENT = None


def draw(size, with_arc):
    """Returns size rows of size palette indexes (or TRANSPARENT), top row first."""
    centre = (size - 1) / 2.0
    # The large image leaves room for the arc below and to the right of the disc.
    radius = size * (0.40 if with_arc else 0.47)
    disc_centre = centre - (size * 0.06 if with_arc else 0.0)
    arc_inner, arc_outer = radius + size * 0.03, radius + size * 0.12
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            dx, dy = x - disc_centre, y - disc_centre
            distance = (dx * dx + dy * dy) ** 0.5
            if distance <= radius - 1.0:
                row.append(YELLOW if (x + y) % 2 == 0 else WHITE)  # the dithered disc
            elif distance <= radius:
                row.append(BLACK)  # its rim
            elif with_arc and arc_inner <= distance <= arc_outer and (dx > 0 or dy > 0) \
                    and dx + dy > 0:
                row.append(DARK_GREY)  # the arc: right side and foot only
            else:
                row.append(TRANSPARENT)
        rows.append(row)
    return rows


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def encode_image(rows):
    """A BITMAPINFOHEADER, the palette, the 4-bit colour rows and the 1-bit mask, bottom-up."""
    size = len(rows)
    colour = b""
    mask = b""
    for row in reversed(rows):
        nibbles = [0 if p is TRANSPARENT else p for p in row]
        colour += padded(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2)))
        bits = [1 if p is TRANSPARENT else 0 for p in row]
        mask += padded(bytes(
            sum(bits[i + b] << (7 - b) for b in range(8)) for i in range(0, size, 8)))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    return header + palette + colour + mask


def encode_icon(images):
    count = len(images)
    directory = struct.pack("<HHH", 0, 1, count)
    offset = 6 + 16 * count
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, data in images)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: draw_icon.py OUTPUT.ico")
    images = [(32, encode_image(draw(32, True))), (16, encode_image(draw(16, False)))]
    with open(sys.argv[1], "wb") as out:
        out.write(encode_icon(images))


if __name__ == "__main__":
    main()
