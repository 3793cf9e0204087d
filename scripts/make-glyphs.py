#!/usr/bin/env python3
"""Draws the gutter glyphs of the editor component (bookmarks, breakpoints and the
breakpoint mask) and writes them as PNG files into resources/glyphs/.
Standard library only: the PNG chunks are written by hand and compressed with zlib."""

import os
import struct
import sys
import zlib

CELL = 11

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
DARK_GREEN = (0, 128, 0)
LIGHT_GREEN = (0, 255, 0)
BLUE = (0, 0, 255)
RED = (255, 0, 0)
DARK_RED = (128, 0, 0)
SILVER = (192, 192, 192)

# 5 x 7 digits, one string per row, '#' lit.
DIGITS = [
    [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    ["..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."],
    ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    [".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."],
]


def image(width, height, colour):
    return [[colour] * width for _ in range(height)]


def write_png(path, pixels):
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)  # 8-bit RGB
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", header))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def bookmarks():
    img = image(CELL * 10, CELL, DARK_GREEN)
    for digit in range(10):
        left = digit * CELL
        for i in range(CELL):
            img[0][left + i] = LIGHT_GREEN
            img[i][left] = LIGHT_GREEN
        for i in range(CELL):
            img[CELL - 1][left + i] = BLACK
            img[i][left + CELL - 1] = BLACK
        for y, row in enumerate(DIGITS[digit]):
            for x, lit in enumerate(row):
                if lit == "#":
                    img[2 + y][left + 3 + x] = WHITE
    return img


def in_disc(x, y, radius_squared):
    return (x - 5) ** 2 + (y - 5) ** 2 <= radius_squared


# Per state: (disc colour, disc radius squared, bar colour or None).
BREAKPOINT_STATES = [(BLUE, 4, None), (RED, 20, WHITE), (DARK_RED, 20, SILVER)]


def breakpoints():
    img = image(CELL * 3, CELL, BLACK)
    mask = image(CELL * 3, CELL, WHITE)
    for state, (face, radius_squared, bar) in enumerate(BREAKPOINT_STATES):
        left = state * CELL
        for y in range(CELL):
            for x in range(CELL):
                if in_disc(x, y, radius_squared):
                    img[y][left + x] = bar if bar and y == 5 and 2 <= x <= 8 else face
                    mask[y][left + x] = BLACK
    return img, mask


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = os.path.join(root, "resources", "glyphs")
    os.makedirs(out, exist_ok=True)
    write_png(os.path.join(out, "BOOKMARKS.png"), bookmarks())
    img, mask = breakpoints()
    write_png(os.path.join(out, "BREAKPOINTS.png"), img)
    write_png(os.path.join(out, "BREAKPOINTSMASK.png"), mask)
    return 0


if __name__ == "__main__":
    sys.exit(main())
