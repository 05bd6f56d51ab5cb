#!/usr/bin/env python3
"""Draws the ticker's icon (zr5a.png, 64x64): a blue glass bar with a white
"Z" and a scrolling line. Python 3 standard library only; run it again after
changing the drawing."""
import math
import struct
import zlib
from pathlib import Path

SIZE = 64


def inside_rounded(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def near_segment(x, y, ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy)) <= width / 2


def pixel(x, y):
    px, py = x + 0.5, y + 0.5
    if not inside_rounded(px, py, 2, 10, 62, 54, 10):
        return (0, 0, 0, 0)
    shade = (py - 10) / 44
    r, g, b = int(30 + 40 * (1 - shade)), int(70 + 80 * (1 - shade)), int(150 + 90 * (1 - shade))
    z = (near_segment(px, py, 14, 18, 36, 18, 5) or near_segment(px, py, 36, 18, 14, 40, 5)
         or near_segment(px, py, 14, 40, 36, 40, 5))
    line = 44 <= px <= 56 and (17 <= py <= 20 or 27 <= py <= 30 or 37 <= py <= 40)
    if z or line:
        return (255, 255, 255, 255)
    return (r, g, b, 235)


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main():
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    Path(__file__).with_name("zr5a.png").write_bytes(png(SIZE, SIZE, rows))


if __name__ == "__main__":
    main()
