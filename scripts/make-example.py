#!/usr/bin/env python3
"""Draws the bundled example: a picture (examples/heart.png) and a layout of 48 LEDs along a
heart on a slightly skewed grid (examples/heart.lumora). Needs only the standard library."""
import math
import pathlib
import struct
import zlib

HERE = pathlib.Path(__file__).resolve().parent.parent / "examples"
W, H = 512, 384


def heart(t):
    x = 16 * math.sin(t) ** 3
    y = 13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t)
    return x, y


def picture():
    rows = []
    for j in range(H):
        row = bytearray([0])
        for i in range(W):
            u, v = i / W, j / H
            # A dusk gradient with soft rings of light.
            r = 40 + 180 * v + 30 * math.sin(9 * u + 4 * v)
            g = 20 + 60 * (1 - v) + 50 * math.sin(7 * v - 3 * u) ** 2
            b = 90 + 120 * (1 - v) * (0.5 + 0.5 * math.cos(6 * u))
            # The heart the LEDs follow, filled warm.
            x = (i - W / 2) / 110
            y = (H / 2 - j) / 110 + 0.15
            if (x * x + y * y - 1) ** 3 - x * x * y ** 3 < 0:
                r, g, b = 230 + 25 * v, 70 + 60 * u, 110
            row += bytes(max(0, min(255, int(c))) for c in (r, g, b))
        rows.append(bytes(row))
    raw = b"".join(rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    (HERE / "heart.png").write_bytes(png)


def layout():
    origin, xh, yh = (512.0, 384.0), (544.0, 387.0), (509.0, 416.0)
    X = (xh[0] - origin[0], xh[1] - origin[1])
    Y = (yh[0] - origin[0], yh[1] - origin[1])
    leds = []
    for k in range(48):
        hx, hy = heart(2 * math.pi * k / 48)
        u, v = round(hx * 0.6 * 2) / 2, round((hy + 2) * 0.6 * 2) / 2  # half grid steps
        leds.append((origin[0] + u * X[0] + v * Y[0], origin[1] + u * X[1] + v * Y[1]))
    rows = "".join(f"{x:.6f},{y:.6f},\n" for x, y in leds)
    grid = "".join(f"{x:.6f},{y:.6f},\n" for x, y in (origin, xh, yh))
    det = X[0] * Y[1] - X[1] * Y[0]
    positions = ""
    for x, y in leds:
        dx, dy = x - origin[0], y - origin[1]
        u = (Y[1] * dx - Y[0] * dy) / det
        v = (-X[1] * dx + X[0] * dy) / det
        rnd = lambda a: int(math.floor(abs(a) + 0.5)) * (1 if a >= 0 else -1)
        positions += f"{rnd(2 * u)},{rnd(2 * v)},\n"
    text = (f"Point points[{len(leds)}] =\n{{\n{rows}}};\n"
            f"\nPoint grid[3] =\n{{\n{grid}}};\n"
            f"\nString filenames[1] =\n{{\n\"heart.png\",\n}};\n"
            f"\nPoint positions[{len(leds)}] =\n{{\n{positions}}};\n")
    (HERE / "heart.lumora").write_text(text)


if __name__ == "__main__":
    HERE.mkdir(exist_ok=True)
    picture()
    layout()
