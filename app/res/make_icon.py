#!/usr/bin/env python3
"""Draws the ticker's icon: a blue glass bar with a white "Z" and a scrolling
line. Python 3 standard library only.

Without arguments it writes zr5a.png (64x64, the window icon compiled into the
program); run it again after changing the drawing. The build calls it for the
icon theme: --size N OUT.png for each size, --svg OUT.svg for the scalable one.
The drawing is made on a 64-unit grid and sampled several times per pixel."""
import argparse
import math
import struct
import zlib
from pathlib import Path

SIZE = 64

def samples(size):
    """Points per pixel along each side: enough to smooth the small sizes."""
    return 4 if size < SIZE else 2


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


def sampled_pixel(x, y, size):
    """pixel() averaged over a grid of points inside an output pixel."""
    scale = SIZE / size
    count = samples(size)
    total = [0, 0, 0, 0]
    for i in range(count):
        for j in range(count):
            r, g, b, a = pixel((x + (i + 0.5) / count) * scale - 0.5, (y + (j + 0.5) / count) * scale - 0.5)
            total = [total[0] + r * a, total[1] + g * a, total[2] + b * a, total[3] + a]
    alpha = total[3]
    if alpha == 0:
        return (0, 0, 0, 0)
    return (round(total[0] / alpha), round(total[1] / alpha), round(total[2] / alpha),
            round(alpha / (count * count)))


def svg():
    """The same drawing as vectors: a gradient bar, the Z and three lines."""
    return """<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
  <defs>
    <linearGradient id="glass" x1="0" y1="10" x2="0" y2="54" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="rgb(70,150,240)"/>
      <stop offset="1" stop-color="rgb(30,70,150)"/>
    </linearGradient>
  </defs>
  <rect x="2" y="10" width="60" height="44" rx="10" fill="url(#glass)" fill-opacity="0.92"/>
  <path d="M14 18 H36 L14 40 H36" fill="none" stroke="#fff" stroke-width="5" stroke-linecap="round"
        stroke-linejoin="round"/>
  <path d="M44 17 h12 v3 h-12 z M44 27 h12 v3 h-12 z M44 37 h12 v3 h-12 z" fill="#fff"/>
</svg>
"""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--size", type=int)
    parser.add_argument("--svg", action="store_true")
    parser.add_argument("output", nargs="?")
    args = parser.parse_args()
    if args.svg:
        Path(args.output).write_text(svg())
        return
    if args.size:
        rows = [[sampled_pixel(x, y, args.size) for x in range(args.size)] for y in range(args.size)]
        Path(args.output).write_bytes(png(args.size, args.size, rows))
        return
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    Path(__file__).with_name("zr5a.png").write_bytes(png(SIZE, SIZE, rows))


if __name__ == "__main__":
    main()
