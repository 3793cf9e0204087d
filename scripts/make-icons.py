#!/usr/bin/env python3
"""Draws the application icon: packaging/icons/qeb-editor.svg and the PNG sizes of the
hicolor theme (16, 32, 48, 256), all from one list of shapes on a 256-unit square, the
PNGs by 4x4 supersampling. Standard library only."""
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "packaging", "icons")
SIZES = (16, 32, 48, 256)

# A page of highlighted source with a gutter, a fold box and a breakpoint, on a blue tile.
# Shapes: ("rect", x0, y0, x1, y1, radius, colour), ("poly", [(x, y)...], colour),
# ("circle", cx, cy, r, colour); painted in order.
SHAPES = [
    ("rect", 16, 16, 240, 240, 40, "#2b4c7e"),
    ("poly", [(52, 36), (168, 36), (204, 72), (204, 220), (52, 220)], "#f7f4ea"),
    ("poly", [(168, 36), (168, 72), (204, 72)], "#cfc8b0"),
    ("rect", 52, 36, 82, 220, 0, "#e2ddcb"),
    ("rect", 59, 58, 77, 76, 0, "#6e6e6e"),
    ("rect", 62, 61, 74, 73, 0, "#ffffff"),
    ("rect", 64, 65, 72, 69, 0, "#6e6e6e"),
    ("rect", 92, 60, 146, 74, 7, "#1f5fbf"),
    ("rect", 152, 60, 190, 74, 7, "#b03a2e"),
    ("rect", 106, 90, 174, 104, 7, "#2e8b57"),
    ("rect", 106, 120, 140, 134, 7, "#7b3fa0"),
    ("rect", 146, 120, 190, 134, 7, "#1f5fbf"),
    ("rect", 106, 150, 166, 164, 7, "#b03a2e"),
    ("rect", 92, 180, 136, 194, 7, "#1f5fbf"),
    ("circle", 67, 187, 9, "#c0392b"),
]


def rgb(hex_colour):
    return tuple(int(hex_colour[i:i + 2], 16) for i in (1, 3, 5))


def inside(shape, x, y):
    kind = shape[0]
    if kind == "rect":
        _, x0, y0, x1, y1, r, _ = shape
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        if r == 0:
            return True
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    if kind == "circle":
        _, cx, cy, r, _ = shape
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    points = shape[1]
    odd = False
    for i, (ax, ay) in enumerate(points):
        bx, by = points[i - 1]
        if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
            odd = not odd
    return odd


def bounds(shape):
    if shape[0] == "rect":
        return shape[1:5]
    if shape[0] == "circle":
        _, cx, cy, r, _ = shape
        return cx - r, cy - r, cx + r, cy + r
    xs = [p[0] for p in shape[1]]
    ys = [p[1] for p in shape[1]]
    return min(xs), min(ys), max(xs), max(ys)


def render(size, ss=4):
    n = size * ss
    unit = 256.0 / n
    samples = [None] * (n * n)
    for shape in SHAPES:
        colour = rgb(shape[-1])
        x0, y0, x1, y1 = bounds(shape)
        for sy in range(max(0, int(y0 / unit) - 1), min(n, int(y1 / unit) + 2)):
            y = (sy + 0.5) * unit
            for sx in range(max(0, int(x0 / unit) - 1), min(n, int(x1 / unit) + 2)):
                if inside(shape, (sx + 0.5) * unit, y):
                    samples[sy * n + sx] = colour
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = g = b = a = 0
            for sy in range(py * ss, py * ss + ss):
                for sx in range(px * ss, px * ss + ss):
                    c = samples[sy * n + sx]
                    if c:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            if a:
                row += bytes((r // a, g // a, b // a, a * 255 // (ss * ss)))
            else:
                row += b"\0\0\0\0"
        rows.append(bytes(row))
    return rows


def write_png(path, rows):
    size = len(rows)
    raw = b"".join(b"\0" + r for r in rows)

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def svg():
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">',
             '  <title>QEB editor</title>']
    for shape in SHAPES:
        if shape[0] == "rect":
            _, x0, y0, x1, y1, r, c = shape
            rr = f' rx="{r}"' if r else ""
            parts.append(f'  <rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}"{rr} fill="{c}"/>')
        elif shape[0] == "circle":
            _, cx, cy, r, c = shape
            parts.append(f'  <circle cx="{cx}" cy="{cy}" r="{r}" fill="{c}"/>')
        else:
            pts = " ".join(f"{x},{y}" for x, y in shape[1])
            parts.append(f'  <polygon points="{pts}" fill="{shape[2]}"/>')
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def main():
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "qeb-editor.svg"), "w") as f:
        f.write(svg())
    for size in SIZES:
        write_png(os.path.join(OUT, f"qeb-editor-{size}.png"), render(size))


if __name__ == "__main__":
    main()
