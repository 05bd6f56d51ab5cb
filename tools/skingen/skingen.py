#!/usr/bin/env python3
"""Draws the bitmaps of the bundled skins and writes them as 24-bit BMP files.

Run from anywhere:  python3 tools/skingen/skingen.py [--out DATA_SKINS_DIR] [--check]
(--check rewrites nothing and fails when a committed bitmap is out of date).

Pictures are composed on a small RGBA canvas (straight alpha, floats) and then
split the way the skin loader wants them: the picture itself, with magenta
where nothing is, and a grey mask whose level is the pixel's alpha. Pure red in
a mask marks pixels that the ticker adds to what lies below them (glow).
Only the standard library is used, so the output is the same everywhere.
"""

import argparse
import filecmp
import math
import os
import struct
import sys
import tempfile

MAGENTA = (255, 0, 255)
ADDITIVE = (255, 0, 0)


class Canvas:
    """Straight-alpha RGBA picture; colours 0..255 floats, alpha 0..1."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.px = [[(0.0, 0.0, 0.0, 0.0)] * width for _ in range(height)]
        self.additive = set()

    def over(self, x, y, rgb, alpha):
        """Source-over compositing of one pixel."""
        if alpha <= 0.0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        alpha = min(alpha, 1.0)
        r, g, b, a = self.px[y][x]
        out_a = alpha + a * (1.0 - alpha)
        mix = [(c_src * alpha + c_dst * a * (1.0 - alpha)) / out_a
               for c_src, c_dst in zip(rgb, (r, g, b))]
        self.px[y][x] = (mix[0], mix[1], mix[2], out_a)

    def glow(self, x, y, rgb):
        """Marks a pixel as additive light with the given colour."""
        self.px[y][x] = (rgb[0], rgb[1], rgb[2], 1.0)
        self.additive.add((x, y))

    def picture_and_mask(self):
        picture, mask = [], []
        for y in range(self.height):
            prow, mrow = [], []
            for x in range(self.width):
                r, g, b, a = self.px[y][x]
                if (x, y) in self.additive:
                    prow.append(clamp_rgb((r, g, b)))
                    mrow.append(ADDITIVE)
                    continue
                level = int(round(a * 255.0))
                if level == 0:
                    prow.append(MAGENTA)
                    mrow.append((0, 0, 0))
                else:
                    prow.append(avoid_key(clamp_rgb((r, g, b))))
                    mrow.append(avoid_red((level, level, level)))
            picture.append(prow)
            mask.append(mrow)
        return picture, mask


def clamp_rgb(rgb):
    return tuple(max(0, min(255, int(round(c)))) for c in rgb)


def avoid_key(rgb):
    # A visible pixel must never fall on the colour key (its low bits are ignored).
    r, g, b = rgb
    if (r & 0xFE, g & 0xFE, b & 0xFE) == (0xFE, 0, 0xFE):
        return (r, 2, b)
    return rgb


def avoid_red(rgb):
    # Grey never equals pure red, but keep the guarantee explicit.
    return rgb if rgb[1] > 1 or rgb[0] < 254 else (253, 253, 253)


def write_bmp(path, rows):
    """Writes rows (top row first) of (r, g, b) as an uncompressed 24-bit BMP."""
    height = len(rows)
    width = len(rows[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(rows):  # BMP rows run bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        body += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body),
                       2835, 2835, 0, 0)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(header + info + body)


def save(canvas, folder, name):
    """Writes NAME.bmp and its mask NAME_m.bmp."""
    picture, mask = canvas.picture_and_mask()
    write_bmp(os.path.join(folder, name + ".bmp"), picture)
    write_bmp(os.path.join(folder, name + "_m.bmp"), mask)


# ---------------------------------------------------------------- shapes

def rounded_rect_coverage(px, py, rect, radius, samples=4):
    """Fraction of pixel (px, py) inside a rounded rectangle (x0, y0, x1, y1)."""
    x0, y0, x1, y1 = rect
    inside = 0
    for sy in range(samples):
        for sx in range(samples):
            x = px + (sx + 0.5) / samples
            y = py + (sy + 0.5) / samples
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                continue
            cx = min(max(x, x0 + radius), x1 - radius)
            cy = min(max(y, y0 + radius), y1 - radius)
            if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius:
                inside += 1
    return inside / float(samples * samples)


def lerp(a, b, t):
    return a + (b - a) * t


def lerp_rgb(c0, c1, t):
    return tuple(lerp(a, b, t) for a, b in zip(c0, c1))


def hex_rgb(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def soft_shadow(canvas, rect, radius, offset, blur, strength):
    """A blurred dark copy of the rounded rectangle, as alpha only."""
    x0, y0, x1, y1 = rect
    dx, dy = offset
    for y in range(canvas.height):
        for x in range(canvas.width):
            # Distance outside the offset rectangle, with rounded corners.
            cx = min(max(x + 0.5, x0 + dx + radius), x1 + dx - radius)
            cy = min(max(y + 0.5, y0 + dy + radius), y1 + dy - radius)
            dist = math.hypot(x + 0.5 - cx, y + 0.5 - cy) - radius
            if dist <= 0:
                fade = 1.0
            elif dist >= blur:
                fade = 0.0
            else:
                fade = (1.0 - dist / blur) ** 2
            canvas.over(x, y, (0, 0, 0), strength * fade)


def panel(canvas, rect, radius, top, bottom, rim, highlight, body_alpha):
    """Rounded panel: vertical gradient, one-pixel rim, an inner top highlight."""
    x0, y0, x1, y1 = rect
    inner = (x0 + 1, y0 + 1, x1 - 1, y1 - 1)
    for y in range(canvas.height):
        t = min(max((y + 0.5 - y0) / float(y1 - y0), 0.0), 1.0)
        fill = lerp_rgb(top, bottom, t)
        for x in range(canvas.width):
            outer_cov = rounded_rect_coverage(x, y, rect, radius)
            if outer_cov == 0.0:
                continue
            inner_cov = rounded_rect_coverage(x, y, inner, max(radius - 1, 0))
            colour = fill
            if highlight is not None and y == y0 + 1:
                colour = lerp_rgb(fill, highlight, 0.8)
            canvas.over(x, y, rim, outer_cov - inner_cov * outer_cov)
            canvas.over(x, y, colour, inner_cov * body_alpha)


def disc(canvas, ox, oy, cx, cy, r, rgb, alpha):
    """Anti-aliased disc centred at (cx, cy) inside the cell at (ox, oy)."""
    for y in range(int(cy - r - 1), int(cy + r + 2)):
        for x in range(int(cx - r - 1), int(cx + r + 2)):
            inside = 0
            for sy in range(4):
                for sx in range(4):
                    px = x + (sx + 0.5) / 4
                    py = y + (sy + 0.5) / 4
                    if (px - cx) ** 2 + (py - cy) ** 2 <= r * r:
                        inside += 1
            canvas.over(ox + x, oy + y, rgb, alpha * inside / 16.0)


# ---------------------------------------------------------------- Zephyr

def zephyr(folder):
    # Frame: a deep blue glass bar with a soft shadow; the rim keeps it apart
    # from dark desktops, the shadow from light ones.
    frame = Canvas(64, 48)
    rect = (3, 2, 58, 41)
    soft_shadow(frame, rect, 7, (1, 2), 5.0, 0.45)
    panel(frame, rect, 7, hex_rgb("#3a5a78"), hex_rgb("#16243a"),
          hex_rgb("#8fb2d2"), hex_rgb("#7fa4c8"), 0.90)
    save(frame, folder, "frame")

    # Icons: row 0 a spinning comet of eight dots (news arriving),
    # row 1 a slowly breathing dot (idle). Cells are 16 x 16.
    icons = Canvas(128, 32)
    for frame_no in range(8):
        ox = frame_no * 16
        for k in range(8):
            age = (frame_no - k) % 8
            angle = 2 * math.pi * k / 8 - math.pi / 2
            cx = 8 + 5.2 * math.cos(angle)
            cy = 8 + 5.2 * math.sin(angle)
            fade = max(0.0, 1.0 - age / 6.0)
            if fade <= 0.0:
                continue
            colour = lerp_rgb(hex_rgb("#4f8fd0"), hex_rgb("#d8f0ff"), fade)
            disc(icons, ox, 0, cx, cy, 1.1 + 0.9 * fade, colour, 0.35 + 0.65 * fade)
        # The head of the comet shines onto the panel.
        head = 2 * math.pi * frame_no / 8 - math.pi / 2
        icons.glow(ox + int(8 + 5.2 * math.cos(head)),
                   int(8 + 5.2 * math.sin(head)), (190, 220, 255))
    for frame_no in range(8):
        ox = frame_no * 16
        pulse = 0.5 - 0.5 * math.cos(2 * math.pi * frame_no / 8)
        disc(icons, ox, 16, 8, 8, 5.5 + 1.0 * pulse, hex_rgb("#5d9ad6"), 0.18 + 0.2 * pulse)
        disc(icons, ox, 16, 8, 8, 3.0 + 0.6 * pulse,
             lerp_rgb(hex_rgb("#6aa6e0"), hex_rgb("#cfe9ff"), pulse), 0.9)
    save(icons, folder, "icons")

    # Mail badge: a small envelope, shown between onMailOn and onMailOff.
    mail = Canvas(16, 16)
    body = hex_rgb("#ffd36a")
    for y in range(3, 13):
        for x in range(1, 15):
            edge = x in (1, 14) or y in (3, 12)
            mail.over(x, y, hex_rgb("#a06a10") if edge else body, 1.0)
    for x in range(2, 14):
        # The flap: two lines meeting in the middle.
        y = 4 + int(round(min(x - 2, 13 - x) * 0.7))
        mail.over(x, y, hex_rgb("#a06a10"), 1.0)
    save(mail, folder, "mail")


# ---------------------------------------------------------------- Paper

def paper(folder):
    # Frame: a light, nearly opaque paper strip with a grey rim and a shadow,
    # readable on both light and dark desktops.
    frame = Canvas(48, 32)
    rect = (2, 1, 43, 26)
    soft_shadow(frame, rect, 4, (1, 2), 4.0, 0.40)
    panel(frame, rect, 4, hex_rgb("#fdfdfa"), hex_rgb("#e3e5e9"),
          hex_rgb("#7d848e"), None, 0.97)
    save(frame, folder, "frame")

    # Lamp: row 0 an amber lamp blinking (news arriving), row 1 a green lamp
    # glowing softly (idle). Cells are 16 x 16.
    lamps = Canvas(128, 32)
    for row, (dim, bright) in enumerate((("#8a4a00", "#ffb020"), ("#1d5e22", "#62e070"))):
        for frame_no in range(8):
            ox, oy = frame_no * 16, row * 16
            if row == 0:
                level = 1.0 if frame_no < 4 else 0.15
            else:
                level = 0.55 + 0.45 * math.sin(math.pi * frame_no / 8) ** 2
            disc(lamps, ox, oy, 8, 8, 5.5, hex_rgb("#50545a"), 1.0)
            disc(lamps, ox, oy, 8, 8, 4.5, lerp_rgb(hex_rgb(dim), hex_rgb(bright), level), 1.0)
            disc(lamps, ox, oy, 6.6, 6.6, 1.4, (255, 255, 255), 0.35 + 0.5 * level)
    save(lamps, folder, "lamps")

    # Separator groove between the label and the headlines.
    groove = Canvas(2, 18)
    for y in range(18):
        fade = min(1.0, min(y + 1, 18 - y) / 4.0)
        groove.over(0, y, hex_rgb("#9aa0a8"), fade)
        groove.over(1, y, (255, 255, 255), fade)
    save(groove, folder, "groove")

    # Resize dots at the right end.
    dots = Canvas(6, 12)
    for y in (1, 5, 9):
        for x in (0, 3):
            dots.over(x + 1, y + 1, (255, 255, 255), 1.0)
            dots.over(x, y, hex_rgb("#8a9099"), 1.0)
    save(dots, folder, "dots")


SKINS = (("Zephyr", zephyr), (os.path.join("@Classic", "Paper"), paper))


def generate(root):
    for folder, draw in SKINS:
        draw(os.path.join(root, folder))


def stale_files(root):
    """Names of bitmaps under root that differ from a fresh generation."""
    stale = []
    with tempfile.TemporaryDirectory() as scratch:
        generate(scratch)
        for folder, _ in SKINS:
            for name in sorted(os.listdir(os.path.join(scratch, folder))):
                fresh = os.path.join(scratch, folder, name)
                kept = os.path.join(root, folder, name)
                if not os.path.exists(kept) or not filecmp.cmp(fresh, kept, shallow=False):
                    stale.append(os.path.join(folder, name))
    return stale


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.normpath(os.path.join(here, "..", "..", "data", "Skins"))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=default_out, help="the Skins folder to write into")
    parser.add_argument("--check", action="store_true",
                        help="compare instead of writing; exit 1 when a bitmap is out of date")
    args = parser.parse_args()
    if not args.check:
        generate(args.out)
        return 0
    stale = stale_files(args.out)
    for name in stale:
        print("out of date: " + name)
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main())
