#!/usr/bin/env python3
"""Draws the bundled example: a picture (examples/heart.png) and a layout of 48 LEDs evenly along
the painted heart on an upright grid (examples/heart.lumora). Needs only the standard library."""
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


def inside(x, y):
    return (x * x + y * y - 1) ** 3 - x * x * y ** 3 < 0


def outline(rays=1440):
    """The painted heart's edge in picture units, ray by ray from its middle, clockwise from
    the cleft."""
    points = []
    for k in range(rays):
        a = math.pi / 2 - 2 * math.pi * k / rays
        lo, hi = 0.0, 2.0
        for _ in range(50):
            mid = (lo + hi) / 2
            if inside(mid * math.cos(a), mid * math.sin(a)):
                lo = mid
            else:
                hi = mid
        points.append((lo * math.cos(a), lo * math.sin(a)))
    points.append(points[0])
    return points


def even(points, count):
    """`count` points evenly by length along the closed polyline, none repeated."""
    lengths = [0.0]
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        lengths.append(lengths[-1] + math.hypot(x1 - x0, y1 - y0))
    out, seg = [], 0
    for k in range(count):
        d = lengths[-1] * k / count
        while lengths[seg + 1] < d:
            seg += 1
        t = (d - lengths[seg]) / max(lengths[seg + 1] - lengths[seg], 1e-12)
        (x0, y0), (x1, y1) = points[seg], points[seg + 1]
        out.append((x0 + t * (x1 - x0), y0 + t * (y1 - y0)))
    return out


def layout():
    # The picture is fitted into the layout at 2 layout units per pixel, centred; one
    # picture-heart unit (110 pixels) is 220 layout units, and its y is offset by 0.15.
    def to_layout(x, y):
        return 512 + 220 * x, 384 + 220 * (y - 0.15)

    # The LEDs sit just inside the painted edge, evenly spaced, LED 0 at the cleft.
    leds = [to_layout(0.9 * x, 0.9 * y) for x, y in even(outline(), 48)]
    # An upright grid centred on the heart, large enough that the heart pattern's own heart
    # holds the LEDs, and small enough that waves and rings still vary across them.
    origin = to_layout(0, 0.05)
    step = 420.0
    xh, yh = (origin[0] + step, origin[1]), (origin[0], origin[1] + step)
    rows = "".join(f"{x:.6f},{y:.6f},\n" for x, y in leds)
    grid = "".join(f"{x:.6f},{y:.6f},\n" for x, y in (origin, xh, yh))
    rnd = lambda a: int(math.floor(abs(a) + 0.5)) * (1 if a >= 0 else -1)
    positions = "".join(f"{rnd(2 * (x - origin[0]) / step)},{rnd(2 * (y - origin[1]) / step)},\n" for x, y in leds)
    text = (f"Point points[{len(leds)}] =\n{{\n{rows}}};\n"
            f"\nPoint grid[3] =\n{{\n{grid}}};\n"
            f"\nString filenames[1] =\n{{\n\"heart.png\",\n}};\n"
            f"\nPoint positions[{len(leds)}] =\n{{\n{positions}}};\n")
    (HERE / "heart.lumora").write_text(text)


if __name__ == "__main__":
    HERE.mkdir(exist_ok=True)
    picture()
    layout()
