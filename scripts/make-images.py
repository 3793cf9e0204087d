#!/usr/bin/env python3
"""Draws the application's pictures into resources/app/: the 18 tool glyphs (16x16 PNG,
glyph_NN.png), the About window's bitmap (about2.bmp, 150x150) and its JPEG picture
(about1.jpg, 100x100; drawn here as PPM and compressed with ImageMagick's convert or
libjpeg's cjpeg). Standard library only apart from that one encoder call."""
import math
import os
import shutil
import struct
import subprocess
import tempfile
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "app")


class Canvas:
    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[fill for _ in range(w)] for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c if len(c) == 4 else (c[0], c[1], c[2], 255)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def rect(self, x0, y0, x1, y1, c):
        self.line(x0, y0, x1, y0, c)
        self.line(x1, y0, x1, y1, c)
        self.line(x1, y1, x0, y1, c)
        self.line(x0, y1, x0, y0, c)

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def disc(self, cx, cy, r, c, ring=False):
        for y in range(self.h):
            for x in range(self.w):
                d = math.hypot(x - cx, y - cy)
                if (ring and r - 1 <= d <= r) or (not ring and d <= r):
                    self.set(x, y, c)

    def png(self, path):
        raw = b"".join(b"\x00" + bytes(v for p in row for v in p) for row in self.px)
        def chunk(tag, data):
            return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)
        data = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
        with open(path, "wb") as f:
            f.write(data)

    def bmp(self, path):
        row = (self.w * 3 + 3) & ~3
        body = bytearray()
        for y in range(self.h - 1, -1, -1):
            line = bytearray()
            for r, g, b, _ in self.px[y]:
                line += bytes((b, g, r))
            body += line + b"\x00" * (row - len(line))
        header = b"BM" + struct.pack("<IHHI", 54 + len(body), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
        with open(path, "wb") as f:
            f.write(header + info + body)

    def ppm(self, path):
        with open(path, "wb") as f:
            f.write(b"P6 %d %d 255\n" % (self.w, self.h))
            f.write(bytes(v for row in self.px for p in row for v in p[:3]))


BLACK, GREY, WHITE = (40, 40, 40), (128, 128, 128), (255, 255, 255)
BLUE, NAVY, RED, GREEN = (30, 90, 200), (0, 0, 128), (200, 30, 30), (30, 150, 50)
YELLOW, BROWN, PAPER = (240, 200, 60), (150, 100, 40), (250, 250, 240)


def page(c, x0, y0, x1, y1):
    c.fill(x0, y0, x1, y1, PAPER)
    c.rect(x0, y0, x1, y1, GREY)


def glyphs():
    g = [Canvas(16, 16) for _ in range(18)]
    # 0, 1: section with children, collapsed (plus) and expanded (minus).
    for i in (0, 1):
        g[i].fill(3, 3, 12, 12, WHITE)
        g[i].rect(3, 3, 12, 12, NAVY)
        g[i].line(5, 7, 10, 7, NAVY)
        g[i].line(5, 8, 10, 8, NAVY)
    g[0].line(7, 5, 7, 10, NAVY)
    g[0].line(8, 5, 8, 10, NAVY)
    # 2: analysis, a magnifier.
    g[2].disc(6, 6, 4, (200, 230, 255))
    g[2].disc(6, 6, 5, NAVY, ring=True)
    for d in range(4):
        g[2].line(10 + d, 11 + d, 11 + d, 10 + d, BROWN)
    # 3: copy, two pages.
    page(g[3], 1, 1, 9, 11)
    page(g[3], 6, 4, 14, 14)
    for y in (7, 9, 11):
        g[3].line(8, y, 12, y, BLUE)
    # 4: cut, scissors.
    g[4].line(4, 1, 10, 10, GREY)
    g[4].line(11, 1, 5, 10, GREY)
    g[4].disc(4, 12, 2, RED, ring=True)
    g[4].disc(11, 12, 2, RED, ring=True)
    # 5: paste, a clipboard with a page.
    g[5].fill(2, 2, 11, 14, BROWN)
    g[5].fill(5, 1, 8, 3, GREY)
    page(g[5], 6, 6, 14, 15)
    # 6: new, a page with a folded corner.
    page(g[6], 3, 1, 12, 14)
    g[6].line(9, 1, 12, 4, GREY)
    g[6].fill(10, 1, 12, 2, (0, 0, 0, 0))
    g[6].set(12, 3, (0, 0, 0, 0))
    # 7: open, a folder.
    g[7].fill(1, 4, 6, 5, YELLOW)
    g[7].fill(1, 5, 14, 13, YELLOW)
    g[7].rect(1, 5, 14, 13, BROWN)
    g[7].line(3, 8, 15, 8, BROWN)
    # 8, 9: save and save as, a floppy disk; save as adds a pencil.
    for i in (8, 9):
        g[i].fill(1, 1, 14, 14, NAVY)
        g[i].fill(4, 1, 11, 6, WHITE)
        g[i].fill(4, 9, 11, 14, GREY)
        g[i].fill(9, 2, 10, 5, NAVY)
    for d in range(5):
        g[9].line(10 + d, 15 - d, 11 + d, 15 - d, YELLOW)
    g[9].set(9, 15, BLACK)
    # 10: undo, a curved arrow to the left.
    for a in range(0, 181, 5):
        r = math.radians(a)
        g[10].set(round(8 + 5 * math.cos(r)), round(9 - 5 * math.sin(r)), BLUE)
        g[10].set(round(8 + 4 * math.cos(r)), round(9 - 4 * math.sin(r)), BLUE)
    g[10].line(13, 9, 13, 12, BLUE)
    g[10].line(1, 9, 5, 9, BLUE)
    g[10].line(3, 7, 3, 11, BLUE)
    # 11: delete, a red cross.
    for d in (0, 1):
        g[11].line(3 + d, 3, 12 + d, 12, RED)
        g[11].line(12 + d, 3, 3 + d, 12, RED)
    # 12: debug window and settings, a window with a title bar.
    g[12].fill(1, 2, 14, 13, WHITE)
    g[12].fill(1, 2, 14, 4, BLUE)
    g[12].rect(1, 2, 14, 13, NAVY)
    for y in (7, 9, 11):
        g[12].line(3, y, 3 + (y % 5) + 4, y, GREEN)
    # 13: about, an "i" in a blue disc.
    g[13].disc(7.5, 7.5, 7, BLUE)
    g[13].fill(7, 3, 8, 4, WHITE)
    g[13].fill(7, 6, 8, 12, WHITE)
    # 15, 16: outline leaves for known and unknown first words.
    page(g[15], 3, 1, 12, 14)
    g[15].disc(7.5, 8, 3, GREEN)
    page(g[16], 3, 1, 12, 14)
    g[16].line(6, 5, 9, 5, RED)
    g[16].line(9, 5, 9, 8, RED)
    g[16].line(8, 8, 8, 10, RED)
    g[16].set(8, 12, RED)
    return g


def about_bitmap():
    c = Canvas(150, 150, (255, 255, 255, 255))
    for y in range(150):
        for x in range(150):
            c.set(x, y, (220 - y // 2, 230 - y // 3, 255))
    c.fill(20, 30, 130, 120, PAPER)
    c.rect(20, 30, 130, 120, NAVY)
    for k, y in enumerate(range(45, 115, 10)):
        c.line(30, y, 120 - (k * 13) % 40, y, BLUE if k % 2 else GREEN)
    c.disc(118, 30, 14, YELLOW)
    c.disc(118, 30, 14, BROWN, ring=True)
    return c


def about_picture():
    c = Canvas(100, 100)
    for y in range(100):
        for x in range(100):
            sky = y < 60
            c.set(x, y, (120 + y, 170 + y // 2, 250) if sky else (40, 120 + (x * y) % 40, 50))
    c.disc(75, 22, 10, YELLOW)
    for x in range(0, 100):
        top = 60 - int(12 * math.sin(x / 15.0))
        c.line(x, top, x, 60, (90, 110, 90))
    c.fill(20, 70, 34, 90, BROWN)
    c.fill(16, 64, 38, 70, RED)
    return c


def write_jpeg(canvas, path):
    encoder = shutil.which("cjpeg") or shutil.which("convert")
    if not encoder:
        raise SystemExit("needs libjpeg's cjpeg or ImageMagick convert to write " + path)
    with tempfile.TemporaryDirectory() as tmp:
        ppm = os.path.join(tmp, "picture.ppm")
        canvas.ppm(ppm)
        if encoder.endswith("cjpeg"):
            with open(path, "wb") as out:
                subprocess.run([encoder, "-quality", "90", ppm], stdout=out, check=True)
        else:
            subprocess.run([encoder, ppm, "-quality", "90", "-strip", path], check=True)


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    for i, g in enumerate(glyphs()):
        g.png(os.path.join(OUT, "glyph_%02d.png" % i))
    about_bitmap().bmp(os.path.join(OUT, "about2.bmp"))
    write_jpeg(about_picture(), os.path.join(OUT, "about1.jpg"))
