#!/usr/bin/env python3
"""Draws the program icon: a 32x32, 24-bit icon file with its mask (3,262 bytes), and the same as a PNG.

A magnifying glass over a strip of film on a rounded teal tile. Run it again after changing the drawing:
    python3 tools/make_icon.py resources/icon.ico
"""
import math
import struct
import sys
import zlib

W = H = 32


def pixel(x, y):
    cx, cy = x + 0.5, y + 0.5
    # rounded tile, transparent outside
    r = 5.0
    dx = max(r - cx, 0, cx - (W - r))
    dy = max(r - cy, 0, cy - (H - r))
    if dx * dx + dy * dy > r * r:
        return None
    colour = (20, 120, 140)
    # film strip across the lower half with sprocket holes
    if 17 <= cy <= 27:
        colour = (30, 30, 36)
        if (cy <= 19 or cy >= 25) and int(cx) % 4 in (1, 2):
            colour = (235, 235, 235)
        if 20 <= cy <= 24 and 3 <= cx <= 29 and int(cx) % 7 != 0:
            colour = (250, 190, 60)
    # magnifier: ring and handle
    mx, my = 13.0, 12.0
    d = math.hypot(cx - mx, cy - my)
    if d <= 6.0:
        colour = (200, 235, 245) if d <= 4.6 else (255, 255, 255)
    hx, hy = cx - mx, cy - my
    along = (hx + hy) / math.sqrt(2)
    across = abs(hx - hy) / math.sqrt(2)
    if 6.0 <= along <= 13.0 and across <= 1.6:
        colour = (230, 70, 50)
    return colour


def main(out):
    rows, mask = [], []
    for y in reversed(range(H)):  # bottom-up
        row, bits = bytearray(), 0
        for x in range(W):
            p = pixel(x, y)
            if p is None:
                row += b"\0\0\0"
                bits |= 1 << (31 - x)
            else:
                row += bytes((p[2], p[1], p[0]))
        rows.append(bytes(row))
        mask.append(struct.pack(">I", bits))
    colour = b"".join(rows)
    andmask = b"".join(mask)
    header = struct.pack("<IiiHHIIiiII", 40, W, H * 2, 1, 24, 0, len(colour) + len(andmask), 0, 0, 0, 0)
    image = header + colour + andmask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", W, H, 0, 0, 0, 0, len(image), 22)
    data = directory + image
    assert len(data) == 3262, len(data)
    with open(out, "wb") as f:
        f.write(data)
    # The same drawing as a PNG with alpha, for the desktop's icon theme.
    raw = b""
    for y in range(H):
        raw += b"\0"
        for x in range(W):
            p = pixel(x, y)
            raw += bytes((0, 0, 0, 0)) if p is None else bytes((p[0], p[1], p[2], 255))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(out.rsplit(".", 1)[0] + ".png", "wb") as f:
        f.write(png)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/icon.ico")
