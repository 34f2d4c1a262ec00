#!/usr/bin/python3
# Preview of the editor at scale 1, built from resources/img/*.png the way the
# editor shows them: every image reduced by three with the editor's own
# resampling (frames of a strip separately, one spare row per frame), the fader
# caps at a few positions, switch frames, read-out and version text in their
# styles, and meter bars in their colours. Writes OUTDIR/preview.svg, renders
# OUTDIR/preview.png (720 x 420) with rsvg-convert and OUTDIR/preview-x3.png,
# the same enlarged three times without smoothing for checking alignment.
#
#   scripts/artwork-preview.py OUTDIR
import base64
import math
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import artwork_png  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
IMAGE_FACTOR = 3

# (left, top, travel, normalised value shown)
FADERS = [
    (49, 70, 240, 1.0), (99, 70, 240, 0.0),
    (169, 220, 170, 0.5), (229, 220, 170, 0.75), (289, 220, 170, 0.25), (349, 220, 170, 1.0),
    (409, 220, 170, 0.0), (469, 220, 170, 0.62), (529, 220, 170, 0.41),
    (599, 70, 240, 1 / 8), (649, 70, 240, 0.5),
]
HANDLE_SIZE = 40
# (image, frames, rectangle, frame shown, 1-based)
SWITCHES = [
    ("trim.png", 3, (95, 335, 129, 347), 2),
    ("onoff.png", 2, (95, 359, 129, 371), 2),
    ("ms.png", 2, (94, 383, 128, 395), 1),
]
# (rectangle, text as the read-out formats it)
READOUTS = [
    ((41, 305, 81, 319), "10.0 "), ((91, 305, 131, 319), "0.0 "),
    ((161, 385, 201, 399), "0.0 dB"), ((221, 385, 261, 399), "5.0 dB"),
    ((281, 385, 321, 399), "-5.0 dB"), ((341, 385, 381, 399), "10.0 dB"),
    ((401, 385, 441, 399), "-10.0 dB"), ((461, 385, 501, 399), "2.4 dB"),
    ((521, 385, 561, 399), "-1.8 dB"), ((591, 305, 631, 319), "30 Hz "),
    ((641, 305, 681, 319), "-20.0 dB"),
]
# (rectangle, normalised meter value)
METERS = [
    ((261, 72, 460, 78), 0.5), ((261, 81, 460, 87), 0.4), ((261, 90, 460, 96), 0.0),
    ((261, 99, 460, 105), 1.0), ((261, 108, 460, 114), 0.75), ((261, 117, 460, 123), 0.3),
    ((261, 126, 460, 132), 0.6), ((261, 145, 460, 151), 0.35),
]
METER_CENTRE = (150, 50, 255, 50)   # alpha, red, green, blue
METER_EXTREME = (150, 255, 50, 50)
VERSION = ((666, 13, 700, 23), "Build 170704")

# Windows fonts are sized by cell height; Liberation Sans has a cell of
# 2288 units on a 2048-unit em and an ascent of 1854.
CELL_PER_EM = 2288 / 2048
ASCENT_PER_CELL = 1854 / 2288


def resample_region(src, sx0, sy0, sw, sh, dst, dx0, dy0, tw, th, src_width):
    """The editor's reduction of one region (one frame) into another."""
    bx = max(0, int(sw / tw + 0.99999999999))
    by = max(0, int(sh / th + 0.99999999999))
    norm = 1.0 / max(1.0, bx * by)

    def pixel(x, y):
        if x >= src_width or y >= sh:
            return (0, 0, 0, 0)
        row = src[sy0 + y]
        return row[4 * (sx0 + x):4 * (sx0 + x) + 4]

    for ty in range(th):
        y0 = sh / th * ty
        iy, fy = int(y0), y0 - int(y0)
        for tx in range(tw):
            x0 = sw / tw * tx
            ix, fx = int(x0), x0 - int(x0)
            weights = ((0, 0, (1 - fx) * (1 - fy)), (1, 0, fx * (1 - fy)),
                       (0, 1, (1 - fx) * fy), (1, 1, fx * fy))
            total = [0.0, 0.0, 0.0, 0.0]
            for v in range(max(by, 1)):
                for u in range(max(bx, 1)):
                    for ox, oy, w in weights:
                        if w == 0.0:
                            continue
                        p = pixel(ix + u + ox, iy + v + oy)
                        for c in range(4):
                            total[c] += p[c] * w
            dst[dy0 + ty][4 * (dx0 + tx):4 * (dx0 + tx) + 4] = bytes(int(t * norm) for t in total)


def reduce_strip(path, frames):
    width, height, rows = artwork_png.read_png(path)
    tw, th = width // IMAGE_FACTOR, height // IMAGE_FACTOR
    out_h = th + frames if frames >= 2 else th
    out = [bytearray(4 * tw) for _ in range(out_h)]
    if frames < 2:
        resample_region(rows, 0, 0, width, height, out, 0, 0, tw, th, width)
    else:
        for i in range(frames):
            sy = int(height * i / frames + 0.5)
            dy = int(out_h * i / frames + 0.5)
            resample_region(rows, 0, sy, width, height // frames, out, 0, dy, tw,
                            (out_h - frames) // frames, width)
    return tw, out_h, out


def data_uri(width, height, rows):
    encoded = base64.b64encode(artwork_png.encode_png(width, height, rows)).decode("ascii")
    return "data:image/png;base64," + encoded


def text_element(rect, text, cell, alpha):
    left, top, right, _ = rect
    size = cell / CELL_PER_EM
    baseline = top + cell * ASCENT_PER_CELL
    text = text.replace("&", "&amp;").replace("<", "&lt;")
    return (f'<text x="{(left + right) / 2}" y="{baseline:.2f}" font-family="Liberation Sans" '
            f'font-weight="bold" font-size="{size:.3f}px" fill="#ffffff" fill-opacity="{alpha / 255:.4f}" '
            f'text-anchor="middle" xml:space="preserve">{text}</text>')


def meter_element(rect, value):
    left, top, right, bottom = rect
    half = (right - left) // 2
    c = int(2 * half * value - half)
    mix = math.sqrt(abs(value - 0.5) * 2)
    a, r, g, b = (int((e - m) * mix + m) for e, m in zip(METER_EXTREME, METER_CENTRE))
    centre = left + half
    x0, x1 = (centre, centre + c) if c >= 0 else (centre + c, centre + 1)
    if x1 <= x0:
        return ""
    return (f'<rect x="{x0}" y="{top}" width="{x1 - x0}" height="{bottom - top}" '
            f'fill="rgb({r},{g},{b})" fill-opacity="{a / 255:.4f}"/>')


def main(out_dir):
    img = os.path.join(ROOT, "resources", "img")
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="720" height="420" viewBox="0 0 720 420">']
    w, h, rows = reduce_strip(os.path.join(img, "bg.png"), 1)
    parts.append(f'<image width="{w}" height="{h}" href="{data_uri(w, h, rows)}"/>')
    strips = {}
    for name, frames, rect, frame in SWITCHES:
        if name not in strips:
            sw, sh, srows = reduce_strip(os.path.join(img, name), frames)
            strips[name] = (sw, sh, data_uri(sw, sh, srows))
        sw, sh, uri = strips[name]
        left, top, right, bottom = rect
        start = int(sh * (frame - 1) / frames + 0.5)
        parts.append(f'<svg x="{left}" y="{top}" width="{right - left}" height="{bottom - top}" '
                     f'viewBox="0 {start} {right - left} {bottom - top}">'
                     f'<image width="{sw}" height="{sh}" href="{uri}"/></svg>')
    hw, hh, hrows = reduce_strip(os.path.join(img, "vsliderhandle.png"), 1)
    handle = data_uri(hw, hh, hrows)
    for left, top, travel, value in FADERS:
        offset = int((travel - HANDLE_SIZE) * (1 - value))
        parts.append(f'<image x="{left}" y="{top + offset}" width="{hw}" height="{hh}" href="{handle}"/>')
    for rect, text in READOUTS:
        parts.append(text_element(rect, text, 13, 100))
    for rect, value in METERS:
        parts.append(meter_element(rect, value))
    parts.append(text_element(VERSION[0], VERSION[1], 9, 80))
    parts.append("</svg>")

    svg_path = os.path.join(out_dir, "preview.svg")
    png_path = os.path.join(out_dir, "preview.png")
    open(svg_path, "w").write("\n".join(parts) + "\n")
    subprocess.run(["rsvg-convert", "--output", png_path, svg_path], check=True)

    width, height, rows = artwork_png.read_png(png_path)
    big = []
    for row in rows:
        wide = bytearray(b"".join(bytes(row[4 * x:4 * x + 4]) * 3 for x in range(width)))
        big.extend([wide, wide, wide])
    artwork_png.write_png(os.path.join(out_dir, "preview-x3.png"), width * 3, height * 3, big)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: artwork-preview.py OUTDIR")
    os.makedirs(sys.argv[1], exist_ok=True)
    main(sys.argv[1])
