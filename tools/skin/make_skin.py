#!/usr/bin/env python3
"""Generate the default skin images of the settings module.

Writes, under <out>/ (default: config/skin/default of this repository):

  frame/wndbk.png          60 x 30  title band: left end, repeated middle piece, right end
  frame/Line_Frame.bmp     21 x 21  nine-slice frame of the group boxes (24-bit BMP)
  frame/title_buttons.png  80 x 25  title-band button strip; cell x 20..49 is the close box
  btn/ok_normal.png        90 x 30  OK button face, normal
  btn/ok_hover.png         90 x 30  OK button face, pointer over it

Every image carries 96 dpi (PNG pHYs / BMP pixels-per-metre 3780) so that GDI+
draws it 1:1. Only the Python standard library is used and the output is
byte-for-byte deterministic: running the script twice gives identical files.

Usage: python3 tools/skin/make_skin.py [--out DIR] [--check]
  --check  regenerate in memory and report files that differ (exit 1 if any)
"""

import argparse
import os
import struct
import sys
import zlib

PPM_96DPI = 3780  # pixels per metre at 96 dots per inch

# ---------------------------------------------------------------- colours

WHITE = (255, 255, 255)
FRAME_BORDER = (0x64, 0x72, 0x7C)  # the colour of the dialog's side and bottom lines
BAND_TOP = (0xE2, 0xF0, 0xF4)
BAND_BOTTOM = (0xA9, 0xCE, 0xDA)
BAND_HIGHLIGHT = (0xF3, 0xF9, 0xFB)
BAND_SEPARATOR = (0x86, 0xAB, 0xB9)
GLYPH = (0x26, 0x34, 0x3C)  # title-band glyphs: dark slate
CLOSE_HOT_BG = (0xC8, 0x45, 0x3B)  # hot close box (reference cell only)
GROUP_LINE = (0xB4, 0xC3, 0xCE)  # light blue-grey group frame line

OK_FACES = {
    "normal": dict(top=(0x4C, 0x93, 0xDC), bottom=(0x21, 0x66, 0xB4),
                   border=(0x1A, 0x55, 0x97), shine=(0x7D, 0xB2, 0xE8)),
    "hover": dict(top=(0x6F, 0xAE, 0xEE), bottom=(0x3A, 0x83, 0xD2),
                  border=(0x27, 0x68, 0xAE), shine=(0x9C, 0xC7, 0xF3)),
}


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def blend(fg, bg, coverage):
    """fg over bg with the given coverage 0..1, rounded to integers."""
    return tuple(int(round(bg[i] + (fg[i] - bg[i]) * coverage)) for i in range(3))


# ---------------------------------------------------------------- file writers

def png_bytes(width, height, rows):
    """rows: list of lists of (r, g, b); writes an 8-bit RGB PNG with pHYs at 96 dpi."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = bytearray()
    for row in rows:
        assert len(row) == width
        raw.append(0)  # filter type None
        for r, g, b in row:
            raw += bytes((r, g, b))
    assert len(rows) == height
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    phys = struct.pack(">IIB", PPM_96DPI, PPM_96DPI, 1)  # unit 1: metre
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"pHYs", phys)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def bmp24_bytes(width, height, rows):
    """rows: top-down list of lists of (r, g, b); writes a bottom-up 24-bit BMP at 96 dpi."""
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels),
                       PPM_96DPI, PPM_96DPI, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


# ---------------------------------------------------------------- shapes

def in_round_rect(px, py, x0, y0, x1, y1, radius):
    """Is the point inside the rectangle [x0,x1) x [y0,y1) with rounded corners?"""
    if px < x0 or px >= x1 or py < y0 or py >= y1:
        return False
    cx = min(max(px, x0 + radius), x1 - radius)
    cy = min(max(py, y0 + radius), y1 - radius)
    return (px - cx) ** 2 + (py - cy) ** 2 <= radius * radius


def supersample(x, y, n, fn):
    """Average of fn over n x n sample points inside pixel (x, y); fn returns a colour."""
    acc = [0, 0, 0]
    for j in range(n):
        for i in range(n):
            c = fn(x + (i + 0.5) / n, y + (j + 0.5) / n)
            acc[0] += c[0]
            acc[1] += c[1]
            acc[2] += c[2]
    k = n * n
    return tuple(int(round(v / k)) for v in acc)


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    qx, qy = ax + t * dx, ay + t * dy
    return ((px - qx) ** 2 + (py - qy) ** 2) ** 0.5


def stroke_coverage(px, py, segments, width):
    """Coverage 0..1 of pixel centre (px, py) by round-capped strokes of the given width."""
    d = min(segment_distance(px, py, *s) for s in segments)
    return min(max(width / 2.0 + 0.5 - d, 0.0), 1.0)


# ---------------------------------------------------------------- images

def band_colour(y):
    """Colour of the title band at row y (0..29); the same in every column of the middle."""
    if y == 0:
        return FRAME_BORDER
    if y == 1:
        return BAND_HIGHLIGHT
    if y == 29:
        return BAND_SEPARATOR
    return lerp(BAND_TOP, BAND_BOTTOM, (y - 2) / 26.0)


def make_wndbk():
    width, height = 60, 30
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            if x == 0 or x == width - 1:
                row.append(FRAME_BORDER)  # continues the dialog's side lines into the band
            else:
                row.append(band_colour(y))
        rows.append(row)
    return png_bytes(width, height, rows)


def make_line_frame():
    size = 21

    def colour(sx, sy):
        if not in_round_rect(sx, sy, 0, 0, size, size, 3.5):
            return WHITE
        if in_round_rect(sx, sy, 1, 1, size - 1, size - 1, 2.5):
            return WHITE
        return GROUP_LINE

    rows = [[supersample(x, y, 8, colour) for x in range(size)] for y in range(size)]
    return bmp24_bytes(size, size, rows)


def make_title_buttons():
    """80 x 25 strip on pure white (white is transparent when the module copies the cell).

    x 0..19   minimise bar (reference; not drawn by the settings dialog)
    x 20..49  close box: the cell the settings dialog draws at (width - 35, 1)
    x 50..79  hot close box (reference; not drawn by the settings dialog)
    """
    width, height = 80, 25
    rows = [[WHITE] * width for _ in range(height)]

    # Close glyph in the cell x 20..49; the cell lands one pixel below the band's top,
    # so anti-aliased edges are blended with the band row it covers (never pure white).
    cx, cy, half = 20 + 15.5, 13.5, 4.5
    cross = [(cx - half, cy - half, cx + half, cy + half),
             (cx - half, cy + half, cx + half, cy - half)]
    for y in range(height):
        for x in range(20, 50):
            cov = stroke_coverage(x + 0.5, y + 0.5, cross, 1.8)
            if cov > 0.0:
                rows[y][x] = blend(GLYPH, band_colour(min(y + 1, 29)), cov)

    # Minimise bar in x 0..19.
    for y in range(height):
        for x in range(0, 20):
            cov = stroke_coverage(x + 0.5, y + 0.5, [(6.0, 17.5, 14.0, 17.5)], 1.8)
            if cov > 0.0:
                rows[y][x] = blend(GLYPH, band_colour(min(y + 1, 29)), cov)

    # Hot close box in x 50..79: white cross on a red rounded square.
    hot_cross = [(50 + 15.5 - half, cy - half, 50 + 15.5 + half, cy + half),
                 (50 + 15.5 - half, cy + half, 50 + 15.5 + half, cy - half)]

    def hot(sx, sy):
        if not in_round_rect(sx, sy, 54, 3, 78, 24, 3.0):
            return WHITE
        return CLOSE_HOT_BG

    for y in range(height):
        for x in range(50, 80):
            base = supersample(x, y, 4, hot)
            cov = stroke_coverage(x + 0.5, y + 0.5, hot_cross, 1.8)
            if base == WHITE:
                continue
            rows[y][x] = blend((0xFE, 0xFE, 0xFE), base, cov)
    return png_bytes(width, height, rows)


def make_ok_button(face):
    width, height, radius = 90, 30, 4.5
    top, bottom, border, shine = face["top"], face["bottom"], face["border"], face["shine"]

    def colour(sx, sy):
        if not in_round_rect(sx, sy, 0, 0, width, height, radius):
            return WHITE  # outside: the dialog's white, so the face is fully opaque
        if not in_round_rect(sx, sy, 1, 1, width - 1, height - 1, radius - 1):
            return border
        if sy < 2:
            return shine  # one-pixel highlight under the top border
        return lerp(top, bottom, (sy - 2) / float(height - 3))

    rows = [[supersample(x, y, 4, colour) for x in range(width)] for y in range(height)]
    return png_bytes(width, height, rows)


def build():
    return {
        os.path.join("frame", "wndbk.png"): make_wndbk(),
        os.path.join("frame", "Line_Frame.bmp"): make_line_frame(),
        os.path.join("frame", "title_buttons.png"): make_title_buttons(),
        os.path.join("btn", "ok_normal.png"): make_ok_button(OK_FACES["normal"]),
        os.path.join("btn", "ok_hover.png"): make_ok_button(OK_FACES["hover"]),
    }


def main(argv):
    repo = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    parser = argparse.ArgumentParser(description="Generate the default skin images.")
    parser.add_argument("--out", default=os.path.join(repo, "config", "skin", "default"),
                        help="skin folder to write (default: %(default)s)")
    parser.add_argument("--check", action="store_true",
                        help="only compare with the files on disk; exit 1 when any differs")
    args = parser.parse_args(argv)

    differing = 0
    for rel, data in sorted(build().items()):
        path = os.path.join(args.out, rel)
        if args.check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                differing += 1
                print("differs: %s" % path)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        print("wrote %s (%d bytes)" % (path, len(data)))
    return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
