#!/usr/bin/python3
# PNG reading and writing for the artwork scripts, standard library only
# (Debian's python3), and the RGBA rewrite that render-artwork.sh runs:
#
#   artwork_png.py FILE...   rewrites each 8-bit RGB or RGBA PNG as RGBA
#
# The renderer stores a fully opaque picture as RGB, but the editor's images
# are all RGBA so that one decoding path serves every image. While the pixels
# are at hand, fully transparent pixels take the colour of their visible
# neighbours: the editor reduces its images with straight (not premultiplied)
# alpha, so the black the renderer leaves in invisible pixels would otherwise
# darken every soft edge after reduction.
import struct
import sys
import zlib

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
BLEED_PASSES = 6  # wider than the reach of the editor's reduction filter


def _swar_masks(length):
    high = int.from_bytes(b"\x80" * length, "big")
    return high, int.from_bytes(b"\x7f" * length, "big")


def _add_bytes(a, b, high, low):
    # Byte-wise addition modulo 256 of two rows held as big integers.
    return ((a & low) + (b & low)) ^ ((a ^ b) & high)


def _sub_bytes(a, b, high, low):
    # Byte-wise subtraction modulo 256.
    return ((a | high) - (b & low)) ^ ((a ^ ~b) & high)


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _unfilter(raw, width, height, bpp):
    stride = width * bpp
    high, low = _swar_masks(stride)
    rows = []
    prev = bytearray(stride)
    pos = 0
    for _ in range(height):
        kind = raw[pos]
        row = bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        if kind == 1:
            # Running sum over pixels, by doubling distances.
            x = int.from_bytes(row, "big")
            shift = 8 * bpp
            while shift < 8 * stride:
                x = _add_bytes(x, x >> shift, high, low)
                shift *= 2
            row = bytearray(x.to_bytes(stride, "big"))
        elif kind == 2:
            x = _add_bytes(int.from_bytes(row, "big"), int.from_bytes(prev, "big"), high, low)
            row = bytearray(x.to_bytes(stride, "big"))
        elif kind in (3, 4):
            for i in range(stride):
                left = row[i - bpp] if i >= bpp else 0
                upleft = prev[i - bpp] if i >= bpp else 0
                if kind == 3:
                    row[i] = (row[i] + ((left + prev[i]) >> 1)) & 255
                else:
                    row[i] = (row[i] + _paeth(left, prev[i], upleft)) & 255
        rows.append(row)
        prev = row
    return rows


def _filter(rows, bpp):
    # Per row the cheapest of None, Sub and Up, judged by a quick compression.
    stride = len(rows[0])
    high, low = _swar_masks(stride)
    out = bytearray()
    prev = 0
    for row in rows:
        x = int.from_bytes(row, "big")
        candidates = (
            (0, bytes(row)),
            (1, _sub_bytes(x, x >> (8 * bpp), high, low).to_bytes(stride, "big")),
            (2, _sub_bytes(x, prev, high, low).to_bytes(stride, "big")),
        )
        kind, data = min(candidates, key=lambda c: len(zlib.compress(c[1], 1)))
        out.append(kind)
        out += data
        prev = x
    return bytes(out)


def read_png(path):
    """Returns (width, height, rows) with rows as RGBA bytearrays."""
    data = open(path, "rb").read()
    if data[:8] != PNG_SIGNATURE:
        raise ValueError(f"{path}: not a PNG file")
    header, idat, pos = None, bytearray(), 8
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        if kind == b"IHDR":
            header = data[pos + 8:pos + 8 + length]
        elif kind == b"IDAT":
            idat += data[pos + 8:pos + 8 + length]
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", header)
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        raise ValueError(f"{path}: unsupported PNG layout (depth {depth}, colour {colour})")
    bpp = 3 if colour == 2 else 4
    rows = _unfilter(zlib.decompress(bytes(idat)), width, height, bpp)
    if bpp == 3:
        opaque = b"\xff"
        rows = [bytearray(b"".join(bytes(row[i:i + 3]) + opaque for i in range(0, len(row), 3)))
                for row in rows]
    return width, height, rows


def encode_png(width, height, rows):
    """PNG file contents of RGBA rows."""
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    out = PNG_SIGNATURE
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    out += chunk(b"IDAT", zlib.compress(_filter(rows, 4), 9))
    out += chunk(b"IEND", b"")
    return out


def write_png(path, width, height, rows):
    open(path, "wb").write(encode_png(width, height, rows))


def _visible(p):
    return p[3] != 0 or (p[0] | p[1] | p[2]) != 0


def bleed_transparent(width, height, rows):
    for _ in range(BLEED_PASSES):
        filled = []
        for y in range(height):
            for x in range(width):
                if _visible(rows[y][4 * x:4 * x + 4]):
                    continue
                total, count = [0, 0, 0], 0
                for ny in range(max(0, y - 1), min(height, y + 2)):
                    for nx in range(max(0, x - 1), min(width, x + 2)):
                        p = rows[ny][4 * nx:4 * nx + 4]
                        if _visible(p):
                            total = [t + c for t, c in zip(total, p)]
                            count += 1
                if count:
                    # At least 1 per channel, so that a filled pixel next to
                    # pure black does not look unfilled on the next pass.
                    filled.append((x, y, bytes(max(1, t // count) for t in total)))
        for x, y, rgb in filled:
            rows[y][4 * x:4 * x + 3] = rgb
        if not filled:
            break


def make_rgba(path):
    width, height, rows = read_png(path)
    bleed_transparent(width, height, rows)
    write_png(path, width, height, rows)


if __name__ == "__main__":
    for name in sys.argv[1:]:
        make_rgba(name)
