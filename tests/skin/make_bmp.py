#!/usr/bin/env python3
"""Writes the small 24-bit BMP files the skin test folders use.

    make_bmp.py OUT WIDTH HEIGHT [RRGGBB]   a plain picture of one colour
"""
import struct
import sys


def bmp(width, height, rgb):
    row = bytes([rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF]) * width
    row += b"\0" * ((4 - len(row) % 4) % 4)
    pixels = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def main():
    out, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    rgb = int(sys.argv[4], 16) if len(sys.argv) > 4 else 0x808080
    with open(out, "wb") as f:
        f.write(bmp(width, height, rgb))


if __name__ == "__main__":
    main()
