#!/usr/bin/env python3
"""Draws the plug-in's bitmap strips (24-bit BMP, magenta = transparent).

    tabs.bmp    3 x 16x16  goods, supplier, movements
    goods.bmp   5 x 16x16  goods row icons: plain box, then boxes marked green,
                           yellow, red, blue
    marks.bmp   7 x 13x13  coloured marks
    arrows.bmp  2 x 13x13  ascending (up), descending (down)

Usage: make_bitmaps.py OUTPUT_DIR
"""
import os
import struct
import sys

MAGENTA = (255, 0, 255)


class Strip:
    def __init__(self, width, height, count):
        self.w, self.h, self.n = width, height, count
        self.px = [[MAGENTA] * (width * count) for _ in range(height)]

    def put(self, image, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][image * self.w + x] = colour

    def rect(self, image, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(image, x, y, colour)

    def frame(self, image, x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            self.put(image, x, y0, colour)
            self.put(image, x, y1, colour)
        for y in range(y0, y1 + 1):
            self.put(image, x0, y, colour)
            self.put(image, x1, y, colour)

    def save(self, path):
        width = self.w * self.n
        row = ((width * 3 + 3) // 4) * 4
        data = bytearray()
        for y in range(self.h - 1, -1, -1):   # bottom-up
            line = bytearray()
            for r, g, b in self.px[y]:
                line += bytes((b, g, r))
            line += b"\0" * (row - len(line))
            data += line
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, width, self.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        with open(path, "wb") as f:
            f.write(header + info + data)


BROWN, DARK, TAPE = (196, 140, 72), (96, 60, 24), (236, 208, 150)
BLACK, WHITE, GREY = (0, 0, 0), (255, 255, 255), (128, 128, 128)
BLUE, RED, GREEN, YELLOW = (40, 90, 200), (210, 40, 40), (30, 160, 60), (240, 200, 0)


def box(s, i):
    """A cardboard box: the goods."""
    s.rect(i, 2, 5, 13, 14, BROWN)
    s.frame(i, 2, 5, 13, 14, DARK)
    s.rect(i, 3, 2, 12, 4, TAPE)
    s.frame(i, 3, 2, 12, 4, DARK)
    s.rect(i, 7, 5, 8, 9, TAPE)


def truck(s, i):
    """A delivery truck: the supplier."""
    s.rect(i, 1, 4, 9, 11, BLUE)
    s.frame(i, 1, 4, 9, 11, BLACK)
    s.rect(i, 10, 7, 14, 11, RED)
    s.frame(i, 10, 7, 14, 11, BLACK)
    s.rect(i, 11, 8, 12, 9, WHITE)
    for cx in (4, 12):
        s.rect(i, cx - 1, 12, cx + 1, 14, BLACK)
        s.put(i, cx, 13, GREY)


def arrows_in_out(s, i):
    """Goods coming in and going out: the movements."""
    s.rect(i, 2, 5, 11, 6, GREEN)      # in: shaft and head to the right
    s.rect(i, 12, 3, 12, 8, GREEN)
    s.rect(i, 13, 4, 13, 7, GREEN)
    s.rect(i, 14, 5, 14, 6, GREEN)
    s.rect(i, 4, 10, 13, 11, RED)      # out: shaft and head to the left
    s.rect(i, 3, 8, 3, 13, RED)
    s.rect(i, 2, 9, 2, 12, RED)
    s.rect(i, 1, 10, 1, 11, RED)


def triangle(s, i, up, colour):
    for k in range(5):
        y = 3 + k if up else 9 - k
        s.rect(i, 6 - k, y, 6 + k, y, colour)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)

    tabs = Strip(16, 16, 3)
    box(tabs, 0)
    truck(tabs, 1)
    arrows_in_out(tabs, 2)
    tabs.save(os.path.join(out, "tabs.bmp"))

    goods = Strip(16, 16, 5)
    for i, mark in enumerate((None, GREEN, YELLOW, RED, BLUE)):
        box(goods, i)
        if mark:
            goods.rect(i, 10, 10, 15, 15, mark)
            goods.frame(i, 10, 10, 15, 15, BLACK)
    goods.save(os.path.join(out, "goods.bmp"))

    marks = Strip(13, 13, 7)
    for i, colour in enumerate((GREEN, YELLOW, RED, BLUE, GREY, BROWN, BLACK)):
        marks.rect(i, 3, 3, 9, 9, colour)
        marks.frame(i, 3, 3, 9, 9, BLACK)
    marks.save(os.path.join(out, "marks.bmp"))

    arrows = Strip(13, 13, 2)
    triangle(arrows, 0, True, DARK)
    triangle(arrows, 1, False, DARK)
    arrows.save(os.path.join(out, "arrows.bmp"))


if __name__ == "__main__":
    main()
