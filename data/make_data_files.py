#!/usr/bin/env python3
"""Makes Paletteer 95's own data files: pictures, the pen pointer, the
birthday tune, the tips and the default ReadMe.

Everything is drawn or composed here, in code, with the Python standard
library only, so that the files can be reviewed and changed like source.
The output is deterministic: the same script always writes the same bytes
(no time stamps, no compressor whose output may change between versions).

    python3 make_data_files.py                # rewrite the files beside this script
    python3 make_data_files.py --out DIR      # write them into DIR instead
    python3 make_data_files.py --preview DIR  # also write enlarged PNGs to look at

The pictures keep to the sixteen colours of a Windows 95 VGA screen.
"""

import argparse
import math
import os
import struct
import sys
import zlib

# --------------------------------------------------------------------------
# Colours: the standard sixteen, in the order of the Windows VGA palette.

BLACK = (0, 0, 0)
MAROON = (128, 0, 0)
GREEN = (0, 128, 0)
OLIVE = (128, 128, 0)
NAVY = (0, 0, 128)
PURPLE = (128, 0, 128)
TEAL = (0, 128, 128)
SILVER = (192, 192, 192)
GRAY = (128, 128, 128)
RED = (255, 0, 0)
LIME = (0, 255, 0)
YELLOW = (255, 255, 0)
BLUE = (0, 0, 255)
FUCHSIA = (255, 0, 255)
AQUA = (0, 255, 255)
WHITE = (255, 255, 255)

VGA16 = [BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER,
         GRAY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE]

# The pen pointer's hotspot: the pixel at the very tip of its nib.
PEN_HOTSPOT = (2, 29)


# --------------------------------------------------------------------------
# A tiny raster canvas. A pixel is a colour tuple or None (transparent).

class Canvas:
    def __init__(self, width, height, fill=None):
        self.width = width
        self.height = height
        self.px = [[fill] * width for _ in range(height)]

    def inside(self, x, y):
        return 0 <= x < self.width and 0 <= y < self.height

    def put(self, x, y, colour):
        if self.inside(x, y):
            self.px[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the rectangle with corners (x0, y0) and (x1, y1), inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            self.put(x, y0, colour)
            self.put(x, y1, colour)
        for y in range(y0, y1 + 1):
            self.put(x0, y, colour)
            self.put(x1, y, colour)

    def line(self, x0, y0, x1, y1, colour):
        """Bresenham: the crisp one-pixel lines of the period."""
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.put(x0, y0, colour)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def shape(self, test, colour, scale=1.0):
        """Paints every pixel whose centre, in design units (pixel / scale),
        passes test(x, y). Designs are made on a 32-unit grid and drawn at
        any size this way."""
        for y in range(self.height):
            for x in range(self.width):
                if test((x + 0.5) / scale, (y + 0.5) / scale):
                    self.px[y][x] = colour

    def mask(self, test, scale=1.0):
        return [[test((x + 0.5) / scale, (y + 0.5) / scale)
                 for x in range(self.width)] for y in range(self.height)]

    def paint_mask(self, m, colour):
        for y in range(self.height):
            for x in range(self.width):
                if m[y][x]:
                    self.px[y][x] = colour

    def outline(self, m, colour):
        """Draws the edge of a mask: its pixels next to a pixel outside it."""
        for y in range(self.height):
            for x in range(self.width):
                if not m[y][x]:
                    continue
                for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                    if not (0 <= nx < self.width and 0 <= ny < self.height) or not m[ny][nx]:
                        self.px[y][x] = colour
                        break

    def pattern(self, x0, y0, rows, colours):
        """Stamps a picture written as text; '.' leaves the pixel alone."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch != '.':
                    self.put(x0 + dx, y0 + dy, colours[ch])


def in_ellipse(x, y, cx, cy, rx, ry, angle_deg=0.0):
    a = math.radians(angle_deg)
    dx, dy = x - cx, y - cy
    u = dx * math.cos(a) + dy * math.sin(a)
    v = -dx * math.sin(a) + dy * math.cos(a)
    return (u / rx) ** 2 + (v / ry) ** 2 <= 1.0


def in_circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_polygon(x, y, points):
    inside = False
    n = len(points)
    for i in range(n):
        (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
        if (ya > y) != (yb > y):
            if x < xa + (y - ya) * (xb - xa) / (yb - ya):
                inside = not inside
    return inside


def union(*masks):
    return [[any(m[y][x] for m in masks) for x in range(len(masks[0][0]))]
            for y in range(len(masks[0]))]


# --------------------------------------------------------------------------
# Pictures

def draw_theme_icon(size):
    """An artist's palette with dabs of paint and a brush: the program's mark."""
    c = Canvas(size, size)
    k = size / 32.0

    def body(x, y):
        return (in_ellipse(x, y, 15.5, 17.0, 14.6, 11.6, -18)
                and not in_circle(x, y, 27.5, 25.0, 4.6)
                and not in_circle(x, y, 20.0, 22.5, 2.3))

    m = c.mask(body, k)
    c.paint_mask(m, YELLOW)
    # Wood grain shade on the lower half gives the board some depth.
    shade = c.mask(lambda x, y: body(x, y) and not in_ellipse(x, y, 14.5, 16.0, 14.6, 11.6, -18), k)
    c.paint_mask(shade, OLIVE)
    c.outline(m, BLACK)

    dabs = [(7.0, 19.0, RED), (7.5, 12.5, LIME), (12.5, 8.8, BLUE),
            (19.0, 8.0, FUCHSIA), (12.0, 24.0, AQUA), (24.5, 11.5, WHITE)]
    r = 2.9
    if size < 32:
        # At 16 pixels six dabs run together: fewer, a little apart.
        dabs = [(7.5, 19.0, RED), (8.0, 11.5, LIME), (15.0, 8.5, BLUE), (13.0, 24.5, AQUA)]
        r = 2.6
    for (cx, cy, colour) in dabs:
        dab = c.mask(lambda x, y, cx=cx, cy=cy: in_circle(x, y, cx, cy, r), k)
        c.paint_mask(dab, colour)
        if size >= 32:
            c.outline(dab, BLACK)

    # The brush lies across the board, handle to the upper right.
    def along(x, y, x0, y0, x1, y1, half):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy)
        t = ((x - x0) * dx + (y - y0) * dy) / length
        d = abs((x - x0) * dy - (y - y0) * dx) / length
        return 0 <= t <= length and d <= half

    handle = c.mask(lambda x, y: along(x, y, 31.0, 1.0, 22.0, 10.0, 1.6), k)
    ferrule = c.mask(lambda x, y: along(x, y, 22.5, 9.5, 19.5, 12.5, 1.9), k)
    bristles = c.mask(lambda x, y: along(x, y, 20.0, 12.0, 15.5, 16.5, 1.7)
                      and along(x, y, 20.0, 12.0, 13.0, 19.0, 2.1 - 0.25 * math.hypot(x - 20.0, y - 12.0)), k)
    brush = union(handle, ferrule, bristles)
    c.paint_mask(handle, RED)
    c.paint_mask(ferrule, SILVER)
    c.paint_mask(bristles, MAROON)
    c.outline(brush, BLACK)
    return c


def draw_bulb_icon(size):
    """A light bulb, for the Tip of the Day."""
    c = Canvas(size, size)
    k = size / 32.0

    def glass(x, y):
        return (in_circle(x, y, 16.0, 11.5, 9.6)
                or in_polygon(x, y, [(10.0, 15.0), (22.0, 15.0), (19.6, 23.0), (12.4, 23.0)]))

    m = c.mask(glass, k)
    c.paint_mask(m, YELLOW)
    c.paint_mask(c.mask(lambda x, y: glass(x, y) and not in_circle(x, y, 14.8, 10.5, 9.6)
                        and y > 9.0, k), OLIVE)
    c.paint_mask(c.mask(lambda x, y: in_ellipse(x, y, 11.8, 8.0, 2.2, 3.4, 35), k), WHITE)
    if size >= 32:
        # The filament: two wires and a glowing coil.
        c.line(14, 22, 14, 16, GRAY)
        c.line(18, 22, 18, 16, GRAY)
        c.line(14, 16, 15, 15, MAROON)
        c.line(15, 15, 16, 16, MAROON)
        c.line(16, 16, 17, 15, MAROON)
        c.line(17, 15, 18, 16, MAROON)
    c.outline(m, BLACK)

    base = c.mask(lambda x, y: in_polygon(x, y, [(11.8, 23.0), (20.2, 23.0), (20.2, 28.6), (11.8, 28.6)]), k)
    c.paint_mask(base, SILVER)
    # Screw threads.
    for yy in range(size):
        for xx in range(size):
            if base[yy][xx] and int((yy + 0.5) / k) % 2 == 1:
                c.px[yy][xx] = GRAY
    contact = c.mask(lambda x, y: in_polygon(x, y, [(13.5, 28.0), (18.5, 28.0), (17.5, 31.0), (14.5, 31.0)]), k)
    c.paint_mask(contact, GRAY)
    c.outline(union(base, contact), BLACK)
    return c


def draw_info_icon():
    """A speech balloon with an "i": the help panels' picture."""
    c = Canvas(32, 32)

    def balloon(x, y, ox=0.0, oy=0.0):
        x, y = x - ox, y - oy
        return (in_ellipse(x, y, 15.0, 12.5, 14.0, 11.2)
                or in_polygon(x, y, [(8.0, 19.0), (14.0, 21.5), (4.5, 29.5)]))

    shadow = c.mask(lambda x, y: balloon(x, y, 1.5, 1.5), 1.0)
    c.paint_mask(shadow, GRAY)
    m = c.mask(balloon)
    c.paint_mask(m, WHITE)
    c.outline(m, BLACK)
    c.pattern(12, 3, [
        "..BBBB.",
        "..BBBB.",
        "..BBBB.",
        ".......",
        ".......",
        "BBBBBB.",
        "BBBBBB.",
        "..BBBB.",
        "..BBBB.",
        "..BBBB.",
        "..BBBB.",
        "..BBBB.",
        "..BBBB.",
        "BBBBBBBB",
        "BBBBBBBB",
    ], {'B': BLUE})
    return c


def draw_play_button(pressed):
    """The play picture beside a sound: a push button with a play sign.
    Raised and pressed use the two Windows 95 bevels; pressing also moves
    the sign one pixel down and right, as a pushed button's face does."""
    w, h = 24, 22
    c = Canvas(w, h, SILVER)
    if not pressed:
        outer_tl, inner_tl, outer_br, inner_br = WHITE, SILVER, BLACK, GRAY
    else:
        outer_tl, inner_tl, outer_br, inner_br = GRAY, BLACK, WHITE, SILVER
    for i, (tl, br) in enumerate(((outer_tl, outer_br), (inner_tl, inner_br))):
        c.line(i, i, w - 2 - i, i, tl)
        c.line(i, i, i, h - 2 - i, tl)
        c.line(w - 1 - i, i, w - 1 - i, h - 1 - i, br)
        c.line(i, h - 1 - i, w - 1 - i, h - 1 - i, br)
    shift = 1 if pressed else 0
    for i in range(6):
        c.line(9 + i + shift, 5 + i + shift, 9 + i + shift, 15 - i + shift, BLACK)
    return c


ARROW = [
    "X...........",
    "XX..........",
    "XwX.........",
    "XwwX........",
    "XwwwX.......",
    "XwwwwX......",
    "XwwwwwX.....",
    "XwwwwwwX....",
    "XwwwwwwwX...",
    "XwwwwwwwwX..",
    "XwwwwwXXXXX.",
    "XwwXwwX.....",
    "XwX.XwwX....",
    "XX..XwwX....",
    "X....XwwX...",
    ".....XwwX...",
    "......XX....",
]


def draw_ani_placeholder():
    """A film strip with a pointer over it: stands for an animated pointer."""
    c = Canvas(32, 32, SILVER)
    c.rect(0, 4, 31, 21, BLACK)
    for x in range(1, 32, 4):
        c.rect(x, 5, x + 1, 6, WHITE)
        c.rect(x, 19, x + 1, 20, WHITE)
    # Three frames, a small pointer moving across them.
    small = ["X...", "XX..", "XwX.", "XwwX", "XXXX"]
    for i, fx in enumerate((1, 12, 23)):
        c.rect(fx, 8, fx + 7, 17, TEAL)
        c.pattern(fx + 1 + i, 9 + i * 2, small, {'X': BLACK, 'w': WHITE})
    # Motion marks trail the big pointer.
    for y in (24, 27):
        c.line(5, y, 12, y, GRAY)
    c.pattern(15, 13, ARROW, {'X': BLACK, 'w': WHITE})
    return c


FONT = {
    'A': [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    'B': ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    'E': ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    'G': [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"],
    'I': [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    'J': ["..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."],
    'L': ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    'N': ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    'P': ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    'R': ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    'U': ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    'V': ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    'W': ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."],
    ' ': ["....."] * 7,
}


def draw_text(c, text, x0, y0, scale, colour, shadow=None):
    """Pixel letters from the 5x7 font above, each pixel scale x scale,
    with an optional drop shadow half a font pixel down and right."""
    layers = ([(scale // 2, shadow)] if shadow is not None else []) + [(0, colour)]
    for offset, col in layers:
        x, y = x0 + offset, y0 + offset
        for ch in text:
            for gy, row in enumerate(FONT[ch]):
                for gx, bit in enumerate(row):
                    if bit == '#':
                        c.rect(x + gx * scale, y + gy * scale,
                               x + gx * scale + scale - 1, y + gy * scale + scale - 1, col)
            x += 6 * scale


def text_width(text, scale):
    return (6 * len(text) - 1) * scale


def draw_unavailable_placeholder():
    """A framed landscape struck through, over the words JPG PREVIEW
    UNAVAILABLE, on the teal of the Windows 95 desktop: stands for a JPEG
    wallpaper, which is not previewed."""
    w, h = 160, 120
    c = Canvas(w, h, TEAL)
    x0, y0, x1, y1 = 50, 6, 109, 59
    # Gilded frame with a bevel.
    c.rect(x0, y0, x1, y1, OLIVE)
    c.line(x0, y0, x1, y0, YELLOW)
    c.line(x0, y0, x0, y1, YELLOW)
    c.frame(x0 + 4, y0 + 4, x1 - 4, y1 - 4, YELLOW)
    c.frame(x0 - 1, y0 - 1, x1 + 1, y1 + 1, BLACK)
    ix0, iy0, ix1, iy1 = x0 + 5, y0 + 5, x1 - 5, y1 - 5
    c.rect(ix0, iy0, ix1, iy1, AQUA)
    c.shape(lambda x, y: ix0 <= x <= ix1 + 1 and iy0 <= y <= iy1 + 1
            and in_circle(x, y, ix0 + 36, iy0 + 10, 5.5), YELLOW)
    c.shape(lambda x, y: ix0 <= x <= ix1 + 1 and iy0 <= y <= iy1 + 1
            and in_ellipse(x, y, ix0 + 12, iy1 + 12, 24, 20), GREEN)
    c.shape(lambda x, y: ix0 <= x <= ix1 + 1 and iy0 <= y <= iy1 + 1
            and in_ellipse(x, y, ix0 + 42, iy1 + 14, 22, 19), LIME)
    c.frame(ix0 - 1, iy0 - 1, ix1 + 1, iy1 + 1, BLACK)
    # A red cross over the picture: no preview.
    for d in range(-2, 3):
        c.line(x0 + 6 + d, y0 + 6, x1 - 6 + d, y1 - 6, RED)
        c.line(x1 - 6 + d, y0 + 6, x0 + 6 + d, y1 - 6, RED)
    for text, y in (("JPG PREVIEW", 70), ("UNAVAILABLE", 90)):
        draw_text(c, text, (w - text_width(text, 2)) // 2, y, 2, WHITE, BLACK)
    return c


def draw_pen_cursor():
    """A pen held at a slant, its nib at the lower left on the hotspot."""
    c = Canvas(32, 32)
    tx, ty = PEN_HOTSPOT[0] + 0.5, PEN_HOTSPOT[1] + 0.5
    ux, uy = math.sqrt(0.5), -math.sqrt(0.5)   # along the pen, tip to end
    length = 35.0

    def half_width(t):
        if t < 6.0:
            return 0.35 + t * 0.5           # the nib widens from its point
        if t < 31.0:
            return 3.3
        return 3.3 - (t - 31.0) * 0.7       # rounded end

    def pen(x, y, pad=0.0):
        t = (x - tx) * ux + (y - ty) * uy
        d = (x - tx) * uy - (y - ty) * ux    # > 0 on the upper-left side
        return -0.6 <= t <= length and abs(d) <= half_width(max(t, 0.0)) + pad, t, d

    m = [[False] * 32 for _ in range(32)]
    for y in range(32):
        for x in range(32):
            inside, t, d = pen(x + 0.5, y + 0.5)
            if not inside:
                continue
            m[y][x] = True
            if t < 6.0:
                colour = SILVER if d > 0 else GRAY
            elif t < 8.5:
                colour = BLACK
            elif t < 28.0:
                colour = AQUA if d > 1.2 else (BLUE if d > -1.4 else NAVY)
            else:
                colour = NAVY
            c.px[y][x] = colour
    c.outline(m, BLACK)
    # The slit of the nib, and its point.
    c.line(PEN_HOTSPOT[0] + 1, PEN_HOTSPOT[1] - 1, PEN_HOTSPOT[0] + 3, PEN_HOTSPOT[1] - 3, BLACK)
    c.put(PEN_HOTSPOT[0], PEN_HOTSPOT[1], BLACK)
    return c


# --------------------------------------------------------------------------
# The standard desktop icons and pointers the preview shows in empty slots:
# drawn here in the manner of Windows 95 (16 colours, black outlines, light
# from the upper left), not copied from it.

def draw_monitor(c, x0, y0, w, h):
    """A monitor with its screen, at (x0, y0), w by h, with a foot below."""
    c.rect(x0, y0, x0 + w - 1, y0 + h - 1, SILVER)
    c.frame(x0, y0, x0 + w - 1, y0 + h - 1, BLACK)
    c.line(x0 + 1, y0 + 1, x0 + w - 2, y0 + 1, WHITE)
    c.line(x0 + 1, y0 + 1, x0 + 1, y0 + h - 2, WHITE)
    c.line(x0 + 1, y0 + h - 2, x0 + w - 2, y0 + h - 2, GRAY)
    c.line(x0 + w - 2, y0 + 2, x0 + w - 2, y0 + h - 2, GRAY)
    c.rect(x0 + 3, y0 + 3, x0 + w - 4, y0 + h - 4, TEAL)
    c.line(x0 + 3, y0 + 3, x0 + w - 4, y0 + 3, GRAY)
    c.line(x0 + 3, y0 + 3, x0 + 3, y0 + h - 4, GRAY)
    mid = x0 + w // 2
    c.rect(mid - 2, y0 + h, mid + 1, y0 + h + 1, GRAY)
    c.frame(mid - 4, y0 + h + 2, mid + 3, y0 + h + 3, BLACK)
    c.line(mid - 3, y0 + h + 2, mid + 2, y0 + h + 2, SILVER)


def draw_my_computer():
    c = Canvas(32, 32)
    draw_monitor(c, 5, 1, 22, 17)
    # The system unit below, with a drive slot and a light.
    c.rect(2, 22, 29, 29, SILVER)
    c.frame(2, 22, 29, 29, BLACK)
    c.line(3, 23, 28, 23, WHITE)
    c.line(3, 23, 3, 28, WHITE)
    c.line(3, 28, 28, 28, GRAY)
    c.line(18, 25, 26, 25, BLACK)
    c.line(18, 26, 26, 26, GRAY)
    c.put(6, 26, LIME)
    c.line(2, 30, 29, 30, BLACK)
    return c


def draw_network():
    c = Canvas(32, 32)
    # A cable joining three computers, the globe of the wide network behind.
    c.shape(lambda x, y: in_circle(x, y, 16, 9, 8), BLUE)
    c.shape(lambda x, y: in_ellipse(x, y, 13, 7, 3, 2.5) or in_ellipse(x, y, 19, 12, 2.5, 2), LIME)
    c.outline(c.mask(lambda x, y: in_circle(x, y, 16, 9, 8)), NAVY)
    c.line(6, 27, 26, 27, BLACK)
    c.line(16, 17, 16, 27, BLACK)
    for x0 in (1, 19):
        draw_monitor(c, x0, 16, 12, 9)
    c.rect(11, 21, 20, 27, None)
    c.line(6, 27, 26, 27, BLACK)
    c.line(16, 17, 16, 27, BLACK)
    return c


def draw_bin(full):
    c = Canvas(32, 32)
    left = lambda y: 7 + (y - 6) * 3 // 24
    right = lambda y: 24 - (y - 6) * 3 // 24
    # The wire basket: a rim, upright wires and a band at the foot.
    for y in range(8, 30):
        for x in range(left(y), right(y) + 1):
            c.put(x, y, SILVER if (x - left(y)) % 3 else GRAY)
    for y in range(8, 30):
        c.put(left(y), y, BLACK)
        c.put(right(y), y, BLACK)
    for y in (12, 18, 24):
        c.line(left(y), y, right(y), y, GRAY)
    c.rect(left(29), 29, right(29), 30, BLACK)
    c.shape(lambda x, y: in_ellipse(x, y, 16, 7.5, 9.5, 2.6), BLACK)
    c.shape(lambda x, y: in_ellipse(x, y, 16, 7.5, 8.5, 1.6), GRAY)
    c.shape(lambda x, y: in_ellipse(x, y, 16, 8.2, 7.5, 1.0), SILVER)
    if full:
        # Crumpled paper above the rim.
        c.shape(lambda x, y: in_ellipse(x, y, 12, 5, 4, 3.2) or in_ellipse(x, y, 20, 4, 4.5, 3),
                WHITE)
        c.outline(c.mask(lambda x, y: in_ellipse(x, y, 12, 5, 4, 3.2)
                         or in_ellipse(x, y, 20, 4, 4.5, 3)), BLACK)
        c.line(10, 4, 13, 6, GRAY)
        c.line(18, 3, 22, 5, GRAY)
        c.rect(10, 7, 22, 8, WHITE)
    return c


def arrow_cursor(c, x0=0, y0=0):
    c.pattern(x0, y0, ARROW, {'X': BLACK, 'w': WHITE})


def outlined(c, test):
    """A white shape with a black edge, as Windows' pointers are drawn."""
    m = c.mask(test)
    c.paint_mask(m, WHITE)
    c.outline(m, BLACK)


def double_arrow(c, horizontal):
    """The resize pointer: a shaft with a head at each end, centred."""
    def shape(x, y):
        u, v = (x, y) if horizontal else (y, x)
        u -= 16
        v -= 16
        head = 11 - abs(u)          # distance into the head from its point
        if 0 <= head and abs(u) >= 6:
            return abs(v) <= 11 - abs(u) + 0.5 and abs(u) <= 11.5
        return abs(u) < 6 and abs(v) <= 1.5
    outlined(c, shape)


def draw_pointer(key):
    c = Canvas(32, 32)
    if key == "arrow":
        arrow_cursor(c)
    elif key == "help":
        arrow_cursor(c)
        c.pattern(12, 2, [".XXXXX.", "XXwwwXX", "XwwXwwX", "XXXXwwX", "..XwwXX", "..XwwX.",
                          "..XXXX.", "..XwwX.", "..XwwX.", "..XXXX."], {'X': BLACK, 'w': WHITE})
    elif key in ("wait", "appstarting"):
        glass = [
            "XXXXXXXXXXX",
            "XwwwwwwwwwX",
            ".XwwwwwwwX.",
            ".XwXXXXXwX.",
            "..XwXXXwX..",
            "...XwXwX...",
            "....XwX....",
            "...XwwwX...",
            "..XwwXwwX..",
            ".XwwXXXwwX.",
            ".XwXXXXXwX.",
            "XwwwwwwwwwX",
            "XXXXXXXXXXX",
        ]
        if key == "wait":
            c.pattern(10, 9, glass, {'X': BLACK, 'w': WHITE})
        else:
            arrow_cursor(c)
            c.pattern(14, 14, glass, {'X': BLACK, 'w': WHITE})
    elif key == "crosshair":
        c.line(15, 4, 15, 26, BLACK)
        c.line(4, 15, 26, 15, BLACK)
        c.rect(14, 14, 16, 16, None)
        c.put(15, 15, BLACK)
    elif key == "ibeam":
        c.pattern(12, 6, ["XXX.XXX", "...X...", "...X...", "...X...", "...X...", "...X...",
                          "...X...", "...X...", "...X...", "...X...", "...X...", "...X...",
                          "...X...", "...X...", "...X...", "...X...", "XXX.XXX"], {'X': BLACK})
    elif key == "nwpen":
        return draw_pen_cursor()
    elif key == "no":
        ring = lambda x, y: 7 <= math.hypot(x - 16, y - 16) <= 10.5
        bar = lambda x, y: abs((x - 16) - (y - 16)) <= 2.2 * math.sqrt(0.5) * 2 and math.hypot(x - 16, y - 16) <= 9
        outlined(c, lambda x, y: ring(x, y) or bar(x, y))
    elif key == "sizens":
        double_arrow(c, False)
    elif key == "sizewe":
        double_arrow(c, True)
    elif key in ("sizenwse", "sizenesw"):
        flip = key == "sizenesw"
        def diagonal(x, y):
            u = (x - 16) + ((16 - y) if flip else (y - 16))  # along the arrow
            v = (x - 16) - ((16 - y) if flip else (y - 16))  # across it
            u, v = u * math.sqrt(0.5), v * math.sqrt(0.5)
            if abs(u) >= 5:
                return abs(v) <= 10 - abs(u) + 0.5 and abs(u) <= 10.5
            return abs(v) <= 1.4
        outlined(c, diagonal)
    elif key == "sizeall":
        def four(x, y):
            for u, v in ((x - 16, y - 16), (y - 16, x - 16)):
                if abs(u) >= 8 and abs(v) <= 11 - abs(u) + 0.5 and abs(u) <= 11.5:
                    return True
                if abs(u) < 8 and abs(v) <= 1.5:
                    return True
            return False
        outlined(c, four)
    elif key == "uparrow":
        def up(x, y):
            if 4 <= y <= 11:
                return abs(x - 16) <= (y - 4) + 0.5
            return 11 < y <= 26 and abs(x - 16) <= 2.5
        outlined(c, up)
    return c


# The pointers' hotspots, by .theme key.
POINTER_HOTSPOTS = {
    "arrow": (0, 0), "help": (0, 0), "appstarting": (0, 0), "wait": (15, 15),
    "crosshair": (15, 15), "ibeam": (15, 15), "nwpen": PEN_HOTSPOT, "no": (16, 16),
    "sizens": (16, 16), "sizewe": (16, 16), "sizenwse": (16, 16), "sizenesw": (16, 16),
    "sizeall": (16, 16), "uparrow": (16, 4),
}


def draw_app_icon():
    return draw_theme_icon(64)


# --------------------------------------------------------------------------
# File formats

def vga_index(colour):
    try:
        return VGA16.index(colour)
    except ValueError:
        raise SystemExit("colour %r is not one of the sixteen" % (colour,))


def bmp_file(c):
    """A Windows bitmap: BITMAPFILEHEADER, BITMAPINFOHEADER, a 16-entry
    palette and 8-bit pixels, bottom row first, rows padded to 4 bytes."""
    row_size = (c.width + 3) & ~3
    pixels = bytearray()
    for y in range(c.height - 1, -1, -1):
        row = bytes(vga_index(c.px[y][x]) for x in range(c.width))
        pixels += row + b"\0" * (row_size - c.width)
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in VGA16)
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, c.width, c.height, 1, 8, 0,
                       len(pixels), 0, 0, len(VGA16), 0)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette + bytes(pixels)


def icon_image(c):
    """The image of one icon or cursor entry: a BITMAPINFOHEADER of twice the
    height, the palette, the 4-bit colour (XOR) bits and the 1-bit AND mask
    (set where the screen shows through), both bottom row first."""
    xor_row = ((c.width * 4 + 31) // 32) * 4
    and_row = ((c.width + 31) // 32) * 4
    xor_bits = bytearray()
    and_bits = bytearray()
    for y in range(c.height - 1, -1, -1):
        row = bytearray(xor_row)
        mask = bytearray(and_row)
        for x in range(c.width):
            colour = c.px[y][x]
            index = 0 if colour is None else vga_index(colour)
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if colour is None:
                mask[x // 8] |= 0x80 >> (x % 8)
        xor_bits += row
        and_bits += mask
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in VGA16)
    info = struct.pack("<IiiHHIIiiII", 40, c.width, c.height * 2, 1, 4, 0,
                       len(xor_bits) + len(and_bits), 0, 0, 0, 0)
    return info + palette + bytes(xor_bits) + bytes(and_bits)


def icon_file(canvases, hotspot=None):
    """An ICO file (type 1), or with a hotspot a CUR file (type 2), whose
    directory entry carries the hotspot where an icon has planes and bit count."""
    kind = 1 if hotspot is None else 2
    images = [icon_image(c) for c in canvases]
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for c, image in zip(canvases, images):
        a, b = (1, 4) if hotspot is None else hotspot
        out += struct.pack("<BBBBHHII", c.width % 256, c.height % 256, 16, 0, a, b, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def stored_zlib(data):
    """A zlib stream of uncompressed deflate blocks. Compressed output may
    change between zlib versions; stored blocks never do, so the file stays
    byte for byte reproducible on any machine."""
    out = bytearray(b"\x78\x01")
    pos = 0
    while True:
        chunk = data[pos:pos + 65535]
        pos += len(chunk)
        final = pos >= len(data)
        out += bytes((1 if final else 0,)) + struct.pack("<HH", len(chunk), len(chunk) ^ 0xFFFF) + chunk
        if final:
            break
    out += struct.pack(">I", zlib.adler32(data))
    return bytes(out)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_file(c, compress=False):
    """An 8-bit RGBA PNG (transparent where the canvas has no colour)."""
    raw = bytearray()
    for y in range(c.height):
        raw.append(0)
        for x in range(c.width):
            colour = c.px[y][x]
            raw += bytes(colour + (255,)) if colour is not None else b"\0\0\0\0"
    data = zlib.compress(bytes(raw), 9) if compress else stored_zlib(bytes(raw))
    return (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", c.width, c.height, 8, 6, 0, 0, 0))
            + png_chunk(b"IDAT", data)
            + png_chunk(b"IEND", b""))


# --------------------------------------------------------------------------
# The birthday tune: the traditional melody (public domain) in C major,
# 3/4 time, with a waltz accompaniment, on the General MIDI piano.

TICKS = 480              # per quarter note
TEMPO_BPM = 150          # 25 beats: about ten seconds

NOTE = {n: 60 + o for n, o in (("C", 0), ("D", 2), ("E", 4), ("F", 5), ("G", 7), ("A", 9), ("B", 11))}


def pitch(name):
    """"G4" -> 67 (middle C is C4 = 60)."""
    return NOTE[name[0]] + 12 * (int(name[1:]) - 4)


MELODY = [  # (note, beats)
    ("G4", 0.75), ("G4", 0.25),
    ("A4", 1), ("G4", 1), ("C5", 1),
    ("B4", 2), ("G4", 0.75), ("G4", 0.25),
    ("A4", 1), ("G4", 1), ("D5", 1),
    ("C5", 2), ("G4", 0.75), ("G4", 0.25),
    ("G5", 1), ("E5", 1), ("C5", 1),
    ("B4", 1), ("A4", 1), ("F5", 0.75), ("F5", 0.25),
    ("E5", 1), ("C5", 1), ("D5", 1),
    ("C5", 3),
]

# One chord per bar after the one-beat pickup: bass on the first beat,
# chord on the second and third ("oom-pah-pah").
CHORDS = [
    ("C3", ["E4", "G4"]), ("G2", ["F4", "B4"]), ("G2", ["F4", "B4"]), ("C3", ["E4", "G4"]),
    ("C3", ["E4", "G4"]), ("F2", ["F4", "A4"]), ("G2", ["F4", "B4"]), ("C3", ["E4", "G4", "C5"]),
]


def varlen(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def midi_file():
    notes = []  # (start tick, length, channel, key, velocity)
    t = 0
    for name, beats in MELODY:
        length = int(beats * TICKS)
        notes.append((t, int(length * 0.9), 0, pitch(name), 110))
        t += length
    end_of_melody = t
    for bar, (bass, chord) in enumerate(CHORDS):
        start = TICKS + bar * 3 * TICKS
        last = bar == len(CHORDS) - 1
        notes.append((start, (3 if last else 1) * TICKS - 40, 1, pitch(bass), 70))
        if last:
            for name in chord:
                notes.append((start, 3 * TICKS - 40, 1, pitch(name), 60))
        else:
            for beat in (1, 2):
                for name in chord:
                    notes.append((start + beat * TICKS, TICKS // 2, 1, pitch(name), 56))

    events = []  # (tick, order, bytes): note-offs sort before note-ons at a tick
    for start, length, channel, key, velocity in notes:
        events.append((start, 1, channel, key, bytes((0x90 | channel, key, velocity))))
        events.append((start + length, 0, channel, key, bytes((0x80 | channel, key, 64))))
    events.sort()

    track = bytearray()
    track += b"\x00\xff\x03" + varlen(len(b"Paletteer 95 birthday tune")) + b"Paletteer 95 birthday tune"
    track += b"\x00\xff\x58\x04\x03\x02\x18\x08"          # 3/4
    track += b"\x00\xff\x59\x02\x00\x00"                  # C major
    track += b"\x00\xff\x51\x03" + struct.pack(">I", 60000000 // TEMPO_BPM)[1:]
    for channel in (0, 1):
        track += bytes((0x00, 0xC0 | channel, 0))         # acoustic grand piano
        track += bytes((0x00, 0xB0 | channel, 7, 127))    # full channel volume
    now = 0
    for tick, _, _, _, data in events:
        track += varlen(tick - now) + data
        now = tick
    # Let the last chord ring a moment before the track ends.
    track += varlen(max(end_of_melody + TICKS // 2 - now, 0)) + b"\xff\x2f\x00"
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, TICKS)
    return header + b"MTrk" + struct.pack(">I", len(track)) + bytes(track)


# --------------------------------------------------------------------------
# Texts: Windows-1252, CR LF after every line.

TIPS = [
    "Start a new theme by typing its name on the start window, or press \"Open a Theme\" "
    "to change a theme you already have.",
    "Move the mouse over a button on the Mouse Pointers tab to see which pointer it stands for. "
    "Once you choose a .cur file for it, the button shows your new pointer.",
    "Animated pointers (.ani files) cannot be previewed, so a film strip stands in for them. "
    "They still move when the theme is applied.",
    "After you choose a sound, a small play button appears beside it. Click it to hear the sound.",
    "Changed your mind about a sound? Right-click its play button and choose \"Remove from Theme\".",
    "Keep sounds short: a long wave file for Menu Command or Default Beep soon wears thin.",
    "Choose icons (.ico files) for My Computer, Network Neighbourhood and both Recycle Bins on "
    "the Visuals tab to give the whole desktop a matching look.",
    "A wallpaper can be a bitmap (.bmp) or a JPG picture. JPG wallpapers are not previewed here, "
    "but they appear when the theme is applied.",
    "Choose \"Center\" or \"Tiled\" on the Visuals tab to decide how the wallpaper covers the "
    "desktop. Small patterns look best tiled.",
    "A screen saver (.scr file) completes a theme. Choose one on the Visuals tab.",
    "On the Colors tab, pick one of eleven ready-made color schemes, or select \"Choose Your Own "
    "Colors\" and click the name of a color to set it yourself.",
    "Made a color scheme you love? Save it with \"Save Color Scheme\" and use it again in any "
    "theme with \"Load Color Scheme\". To load or save a scheme, first select \"Choose Your Own Colors\".",
    "Every file your theme uses is copied into its own folder under C:\\Program Files\\Plus!\\Themes\\, "
    "so the theme keeps working even when the original files are gone.",
    "To give a theme to a friend, copy its whole folder \u2013 the .theme file together with its "
    "pictures, pointers and sounds.",
    "Write a few words for the people you give your theme to on the ReadMe File tab, and press "
    "\"Save as Default ReadMe File\": every save uses the default ReadMe text.",
    "Tick \"Include ReadMe file in the Theme directory\" to put a ReadMe.txt with your theme's "
    "installation notes beside the .theme file.",
    "Use Save As (Ctrl+A) to keep a copy of your theme under a new name while you try out ideas.",
    "Shortcuts: Ctrl+O opens a theme, Ctrl+S saves it and Ctrl+Q quits Paletteer 95.",
    "A theme name becomes a folder and a file name, so it cannot hold \\ / : * ? \" < > |, "
    "a comma or an equals sign.",
    "To apply a theme on Windows 95, open Desktop Themes in the Control Panel (it comes with "
    "Microsoft Plus!), pick the theme from the list and click OK.",
    "Desktop Themes can apply just part of a theme: clear the Sound events or Mouse pointers "
    "check box under Settings to keep your own.",
    "Changed your mind about a pointer, an icon, the wallpaper or the screen saver? Right-click "
    "its button (or press the Menu key on it) and choose \"Remove from Theme\".",
]

README = """\
Welcome to a new desktop theme for Windows 95!

This theme was put together with Paletteer 95. It brings its own wallpaper,
colors, mouse pointers, sounds, icons and screen saver, and Windows 95 puts
them all in place for you with Desktop Themes.

How to install the theme
------------------------
1. You need Desktop Themes, which comes with Microsoft Plus! for Windows 95.
   It lives in the folder C:\\Program Files\\Plus!\\Themes.

2. Copy this whole theme folder, with the .theme file and every file beside
   it, into C:\\Program Files\\Plus!\\Themes. Keep the files together and do
   not rename them: the .theme file finds them by their names.

3. Open the Control Panel (Start, Settings, Control Panel) and double-click
   Desktop Themes.

4. Choose this theme in the Theme list. The preview shows its wallpaper,
   colors and icons; the "Screen Saver" and "Pointers, Sounds, etc." buttons
   show the rest.

5. Click OK, and enjoy your new desktop.

Tips
----
- The check boxes under Settings let you leave parts of the theme out, for
  example the sound events or the mouse pointers.
- To go back to your old look, choose "Windows Default" in the Theme list.

This ReadMe came with a theme made with Paletteer 95:
https://paletteer95.example.org/  -  paletteer95@example.org
"""


def crlf_text(lines):
    return "".join(line + "\r\n" for line in lines).encode("cp1252")


def tip_file():
    # Line 1 is the number of the last line that holds a tip.
    return crlf_text([str(len(TIPS) + 1)] + TIPS)


def readme_file():
    return crlf_text(README.split("\n")[:-1])


def desktop_file():
    return (
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Paletteer 95\n"
        "GenericName=Theme Builder\n"
        "Comment=Build desktop themes for Windows 95\n"
        "Exec=paletteer95 %f\n"
        "Icon=paletteer95\n"
        "Terminal=false\n"
        "Categories=Graphics;Qt;\n"
        # The type of paletteer95-mime.xml; %f above hands the file over.
        "MimeType=application/x-windows-theme;\n"
        "Keywords=Windows 95;Plus!;theme;desktop theme;wallpaper;cursor;\n"
    ).encode("ascii")


# --------------------------------------------------------------------------

def pictures():
    """Every picture, by file name, with the canvases it is made of."""
    return {
        "theme.icp": [draw_theme_icon(32), draw_theme_icon(16)],
        "tipofday.icp": [draw_bulb_icon(32), draw_bulb_icon(16)],
        "info.icp": [draw_info_icon()],
        "play.bmz": [draw_play_button(False)],
        "play2.bmz": [draw_play_button(True)],
        "ani.bmz": [draw_ani_placeholder()],
        "unavailable.bmz": [draw_unavailable_placeholder()],
        "pen.cuz": [draw_pen_cursor()],
        "paletteer95.png": [draw_app_icon()],
        "std-computer.ico": [draw_my_computer()],
        "std-network.ico": [draw_network()],
        "std-bin-empty.ico": [draw_bin(False)],
        "std-bin-full.ico": [draw_bin(True)],
    } | {"std-%s.cur" % key: [draw_pointer(key)] for key in POINTER_HOTSPOTS}


def build():
    pics = pictures()
    files = {}
    for name, canvases in pics.items():
        if name.endswith(".cur"):
            files[name] = icon_file(canvases, POINTER_HOTSPOTS[name[4:-4]])
        elif name.endswith(".icp") or name.endswith(".ico"):
            files[name] = icon_file(canvases)
        elif name.endswith(".bmz"):
            files[name] = bmp_file(canvases[0])
        elif name.endswith(".cuz"):
            files[name] = icon_file(canvases, PEN_HOTSPOT)
        elif name.endswith(".png"):
            files[name] = png_file(canvases[0])
    files["theme.cat"] = midi_file()
    files["tipofday.txz"] = tip_file()
    files["PersonalReadMe.txz"] = readme_file()
    files["paletteer95.desktop"] = desktop_file()
    return files, pics


def enlarged(c, scale):
    """The canvas scaled up, transparency shown as a checkerboard."""
    big = Canvas(c.width * scale, c.height * scale)
    for y in range(big.height):
        for x in range(big.width):
            colour = c.px[y // scale][x // scale]
            if colour is None:
                colour = (230, 230, 230) if ((x // 4) + (y // 4)) % 2 else (250, 250, 250)
            big.px[y][x] = colour
    return big


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Make Paletteer 95's data files.")
    parser.add_argument("--out", default=here, help="folder to write the files into")
    parser.add_argument("--preview", help="also write enlarged PNGs of the pictures here")
    args = parser.parse_args(argv)

    files, pics = build()
    os.makedirs(args.out, exist_ok=True)
    for name in sorted(files):
        with open(os.path.join(args.out, name), "wb") as f:
            f.write(files[name])
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        for name, canvases in pics.items():
            for c in canvases:
                scale = max(1, 256 // max(c.width, c.height))
                path = os.path.join(args.preview, "%s-%dx%d.png" % (name, c.width, c.height))
                with open(path, "wb") as f:
                    f.write(png_file(enlarged(c, scale), compress=True))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
