#!/usr/bin/env python3
"""Draws the installer's icon (an arrow dropping into a tray on a blue tile)
and writes it as one .ico: 32, 48, 64, 72, 80, 96 and 128 px as 32-bit
bitmaps, 256 px as PNG. Shapes are signed-distance fields, so every size is
drawn from the same description with smooth edges."""
import math
import struct
import sys
import zlib

SIZES = [32, 48, 64, 72, 80, 96, 128, 256]
PNG_SIZES = {256}


def rounded_box(x, y, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
    outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
    return outside + min(max(dx, dy), 0.0) - r


def convex(x, y, points):
    """Distance-like field of a convex polygon given counter-clockwise."""
    d = -1e9
    for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
        ex, ey = bx - ax, by - ay
        length = math.hypot(ex, ey)
        d = max(d, ((x - ax) * ey - (y - ay) * ex) / length)
    return d


def glyph(x, y):
    shaft = rounded_box(x, y, 0.43, 0.16, 0.57, 0.50, 0.02)
    head = convex(x, y, [(0.73, 0.46), (0.50, 0.69), (0.27, 0.46)])
    tray = min(rounded_box(x, y, 0.20, 0.72, 0.80, 0.82, 0.03),
               rounded_box(x, y, 0.20, 0.58, 0.30, 0.82, 0.03),
               rounded_box(x, y, 0.70, 0.58, 0.80, 0.82, 0.03))
    return min(shaft, head, tray)


def coverage(distance, pixel):
    return min(1.0, max(0.0, 0.5 - distance / pixel))


def render(size):
    """Rows of (r, g, b, a) bytes, top row first."""
    pixel = 1.0 / size
    rows = []
    for j in range(size):
        y = (j + 0.5) * pixel
        top, bottom = (59, 130, 246), (30, 64, 175)
        background = tuple(t + (b - t) * y for t, b in zip(top, bottom))
        row = bytearray()
        for i in range(size):
            x = (i + 0.5) * pixel
            tile = coverage(rounded_box(x, y, 0.04, 0.04, 0.96, 0.96, 0.2), pixel)
            mark = coverage(glyph(x, y), pixel)
            rgb = [c * (1 - mark) + 255 * mark for c in background]
            row += bytes(int(round(c)) for c in rgb) + bytes([int(round(255 * tile))])
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\x00" + row for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def bitmap(size, rows):
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(b for p in range(size) for b in (row[4 * p + 2], row[4 * p + 1], row[4 * p], row[4 * p + 3]))
                      for row in reversed(rows))
    mask_stride = ((size + 31) // 32) * 4
    return info + pixels + bytes(mask_stride * size)


def main(out_path):
    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, png(size, rows) if size in PNG_SIZES else bitmap(size, rows)))
    offset = 6 + 16 * len(images)
    directory, data = b"", b""
    for size, image in images:
        edge = 0 if size == 256 else size
        directory += struct.pack("<BBBBHHII", edge, edge, 0, 0, 1, 32, len(image), offset + len(data))
        data += image
    with open(out_path, "wb") as out:
        out.write(struct.pack("<HHH", 0, 1, len(images)) + directory + data)


if __name__ == "__main__":
    main(sys.argv[1])
