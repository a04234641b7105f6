#!/usr/bin/env python3
"""Draws the meter's bitmaps and the program icon (python3, stdlib only).

    resources/meter/background_small.bmp  600  232 x 82, 8-bit RLE
    resources/meter/background_large.bmp  601  386 x 214, 8-bit RLE, with the dial
    resources/meter/lamp_frames.bmp       602  38 x 156, 4-bit RLE, six 38 x 26 frames
    resources/meter/glyph_strip.bmp       603  466 x 108, 8-bit RLE, four rows of glyphs
    resources/app/tonvale.ico             500  16 to 256 pixels

Usage: tools/draw-meter-art.py [--out ROOT] [--preview DIR]

The read-outs are bright glyphs on near-black panels, the rest dark ink on a
light ground, so that both the meter's black texts and the lit digits read
well from a distance. Sizes, glyph widths, table rows and region places are
those the meter code expects; the geometry of the dial is the one the
anti-aliased back end draws over it. --preview also writes PNG copies.
"""
import argparse
import math
import os
import struct
import zlib

# Colours the meter code or another bitmap depends on exactly.
GROUND = (190, 193, 190)  # top-left pixel: the dial's erase colour
PANEL = (18, 20, 24)  # behind every glyph
INK = (34, 36, 40)
SCALE_WHITE = (255, 255, 255)
SCALE_BLACK = (0, 0, 0)
GLYPH_WHITE = (250, 248, 238)
GLYPH_AMBER = (255, 186, 28)
LABEL_ON_PANEL = (150, 152, 158)
LABEL_ON_GROUND = (44, 46, 50)
TROUGH = (44, 47, 54)
TROUGH_EDGE = (130, 132, 138)

PIVOT = (175.0, 224.5)


# ---------------------------------------------------------------- canvas

class Canvas:
    """RGB(A) pixels as floats; drawing blends by coverage."""

    def __init__(self, width, height, colour, alpha=1.0):
        self.width = width
        self.height = height
        self.rgb = [[list(map(float, colour)) for _ in range(width)] for _ in range(height)]
        self.alpha = [[alpha] * width for _ in range(height)]

    def blend(self, x, y, colour, coverage):
        if coverage <= 0.0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        coverage = min(1.0, coverage)
        pixel = self.rgb[y][x]
        a = self.alpha[y][x]
        out_a = coverage + a * (1.0 - coverage)
        for i in range(3):
            pixel[i] = (colour[i] * coverage + pixel[i] * a * (1.0 - coverage)) / out_a
        self.alpha[y][x] = out_a

    def fill_rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.rgb[y][x] = list(map(float, colour))
                self.alpha[y][x] = 1.0

    def fill_shape(self, inside, box, colour, samples=4):
        """Fills where inside(x, y) holds, box = (x0, y0, x1, y1), supersampled."""
        x0, y0, x1, y1 = box
        step = 1.0 / samples
        for y in range(max(0, int(y0)), min(self.height, int(math.ceil(y1)) + 1)):
            for x in range(max(0, int(x0)), min(self.width, int(math.ceil(x1)) + 1)):
                hits = 0
                for sy in range(samples):
                    for sx in range(samples):
                        if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step):
                            hits += 1
                self.blend(x, y, colour, hits / (samples * samples))

    def stroke(self, points, width, colour):
        """A polyline with round caps and joins, anti-aliased by distance."""
        half = width / 2.0
        segments = list(zip(points, points[1:])) or [(points[0], points[0])]
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        for y in range(max(0, int(min(ys) - half - 1)), min(self.height, int(max(ys) + half + 2))):
            for x in range(max(0, int(min(xs) - half - 1)), min(self.width, int(max(xs) + half + 2))):
                px, py = x + 0.5, y + 0.5
                d = min(distance_to_segment(px, py, a, b) for a, b in segments)
                self.blend(x, y, colour, half + 0.5 - d)


def distance_to_segment(px, py, a, b):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    cx, cy = ax + t * dx, ay + t * dy
    return math.hypot(px - cx, py - cy)


def rounded_rect_inside(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def panel(canvas, x0, y0, x1, y1, r=5, colour=PANEL):
    canvas.fill_shape(rounded_rect_inside(x0, y0, x1, y1, r), (x0, y0, x1, y1), colour)


# ---------------------------------------------------------------- stroke font

def arc(cx, cy, rx, ry, a0, a1, n=28):
    """Points of an elliptical arc; angles in degrees, 0 = right, 90 = down."""
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
             cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]


def cubic(p0, p1, p2, p3, n=24):
    out = []
    for i in range(n + 1):
        t = i / n
        u = 1 - t
        out.append(tuple(u ** 3 * a + 3 * u * u * t * b + 3 * u * t * t * c + t ** 3 * d
                         for a, b, c, d in zip(p0, p1, p2, p3)))
    return out


def rounded_loop(rx, ry):
    """A rounded rectangle over the unit box, corner radii rx, ry."""
    return ([(rx, 0.0), (1 - rx, 0.0)] + arc(1 - rx, ry, rx, ry, -90, 0) + [(1.0, 1 - ry)]
            + arc(1 - rx, 1 - ry, rx, ry, 0, 90) + [(rx, 1.0)] + arc(rx, 1 - ry, rx, ry, 90, 180)
            + [(0.0, ry)] + arc(rx, ry, rx, ry, 180, 270))


# Strokes of each glyph over the unit box (x right, y down); a stroke is a
# list of points, or (points, width factor).
GLYPHS = {
    '0': [rounded_loop(0.5, 0.32)],
    '1': [[(0.16, 0.22), (0.56, 0.0), (0.56, 1.0)]],
    '2': [arc(0.5, 0.27, 0.5, 0.27, 195, 385) + [(0.0, 1.0), (1.0, 1.0)]],
    '3': [[(0.06, 0.0), (0.94, 0.0), (0.4, 0.4)] + arc(0.5, 0.68, 0.5, 0.31, -105, 150)],
    '4': [[(0.74, 1.0), (0.74, 0.0), (0.0, 0.7), (1.0, 0.7)]],
    '5': [[(0.92, 0.0), (0.14, 0.0), (0.08, 0.45)] + arc(0.5, 0.67, 0.5, 0.33, -145, 150)],
    '6': [arc(0.5, 0.68, 0.5, 0.32, 0, 360), arc(0.95, 0.68, 0.95, 0.68, 252, 180)],
    '7': [[(0.0, 0.0), (1.0, 0.0), (0.36, 1.0)]],
    '8': [arc(0.5, 0.235, 0.43, 0.235, 0, 360), arc(0.5, 0.735, 0.5, 0.265, 0, 360)],
    '9': [arc(0.5, 0.32, 0.5, 0.32, 0, 360), arc(0.05, 0.32, 0.95, 0.68, 72, 0)],
    'A': [[(0.0, 1.0), (0.5, 0.0), (1.0, 1.0)], [(0.2, 0.64), (0.8, 0.64)]],
    'B': [[(0.0, 0.5), (0.0, 0.0), (0.56, 0.0)] + arc(0.56, 0.245, 0.38, 0.245, -90, 90)
          + [(0.0, 0.49)],
          [(0.56, 0.49)] + arc(0.6, 0.745, 0.4, 0.255, -90, 90) + [(0.0, 1.0), (0.0, 0.5)]],
    'C': [arc(0.52, 0.5, 0.52, 0.5, -42, -318)],
    'D': [[(0.4, 0.0), (0.0, 0.0), (0.0, 1.0), (0.4, 1.0)] + arc(0.4, 0.5, 0.6, 0.5, 90, -90)],
    'E': [[(0.94, 0.0), (0.0, 0.0), (0.0, 1.0), (0.94, 1.0)], [(0.0, 0.5), (0.78, 0.5)]],
    'F': [[(0.96, 0.0), (0.0, 0.0), (0.0, 1.0)], [(0.0, 0.5), (0.8, 0.5)]],
    'G': [arc(0.52, 0.5, 0.52, 0.5, -42, -360) + [(1.04, 0.58), (1.04, 0.9)],
          [(0.58, 0.58), (1.04, 0.58)]],
    'b': [[(0.14, 0.0), (0.14, 1.0)],
          [(0.14, 0.62)] + cubic((0.14, 0.62), (0.62, 0.36), (1.12, 0.62), (0.14, 1.0))],
    '#': [[(0.34, 0.04), (0.34, 1.0)], [(0.68, 0.0), (0.68, 0.96)],
          ([(0.04, 0.42), (0.98, 0.3)], 1.45), ([(0.02, 0.76), (0.96, 0.64)], 1.45)],
    '+': [[(0.5, 0.12), (0.5, 0.88)], [(0.0, 0.5), (1.0, 0.5)]],
    '-': [[(0.0, 0.5), (1.0, 0.5)]],
    '.': [[(0.5, 1.0), (0.5, 1.0)]],
    'H': [[(0.0, 0.0), (0.0, 1.0)], [(1.0, 0.0), (1.0, 1.0)], [(0.0, 0.5), (1.0, 0.5)]],
    'z': [[(0.04, 0.36), (0.92, 0.36), (0.02, 1.0), (0.96, 1.0)]],
}


def draw_glyph(canvas, char, box, width, colour):
    x0, y0, x1, y1 = box
    for stroke in GLYPHS[char]:
        factor = 1.0
        if isinstance(stroke, tuple):
            stroke, factor = stroke
        points = [(x0 + u * (x1 - x0), y0 + v * (y1 - y0)) for u, v in stroke]
        canvas.stroke(points, width * factor, colour)


def draw_label(canvas, text, centre_x, top, height, width, colour, advance=0.62, stroke=1.3):
    """A short label in the stroke font, centred on centre_x."""
    pitch = height * advance
    total = pitch * len(text) - (pitch - height * 0.48)
    x = centre_x - total / 2.0
    for char in text:
        if char != ' ':
            draw_glyph(canvas, char, (x, top, x + height * 0.48, top + height), stroke, colour)
        x += pitch


# ---------------------------------------------------------------- glyph strip

# Rows: (table, top, height); entries (char, width) as the meter's tables.
NOTE_ROW = (0, 42, [(c, 40) for c in "ABCDEFG"] + [(c, 15) for c in "0123456789"]
            + [('#', 18), ('b', 18)])
FREQ_ROW = (42, 22, [(' ', 0)] + [(c, 16) for c in "0123456789"] + [('.', 8)])
CENTS_ROW = (64, 28, [('*', 0)] + [(c, 22) for c in "0123456789"] + [('+', 24), ('-', 24)])
SMALL_ROW = (92, 16, [(c, 12) for c in "0123456789"] + [('#', 12), ('b', 12)])


def glyph_box(row, char, x, width, height):
    """Ink box (stroke centre lines) of a glyph in its cell, and its stroke."""
    if row is NOTE_ROW:
        if char in "ABCDEFG":
            return (x + 6.5, 6.5, x + width - 6.5, height - 6.0), 5.2
        if char in "#b":
            return (x + 2.5, 5.0, x + width - 3.5, 23.0), 3.0
        return (x + 2.5, 21.0, x + width - 2.5, height - 6.0), 2.6  # octave digit
    if row is CENTS_ROW:
        if char in "+-":
            return (x + 4.0, 5.0, x + width - 4.0, height - 5.0), 3.6
        return (x + 4.0, 3.5, x + width - 4.0, height - 3.5), 3.6
    if row is FREQ_ROW:
        if char == '.':
            return (x + 1.5, 3.0, x + width - 1.5, height - 4.0), 3.4
        return (x + 3.2, 3.0, x + width - 3.2, height - 3.0), 2.6
    if char in "#b":
        return (x + 2.0, 2.0, x + width - 2.0, height - 2.0), 1.8
    return (x + 2.4, 2.2, x + width - 2.4, height - 2.2), 1.8


def draw_glyph_strip():
    canvas = Canvas(466, 108, PANEL)
    for row in (NOTE_ROW, FREQ_ROW, CENTS_ROW, SMALL_ROW):
        top, height, entries = row
        colour = GLYPH_AMBER if row is CENTS_ROW else GLYPH_WHITE
        x = 0
        for char, width in entries:
            if width:
                box, stroke = glyph_box(row, char, x, width, height)
                draw_glyph(canvas, char, (box[0], box[1] + top, box[2], box[3] + top), stroke,
                           colour)
            x += width
    return canvas


# ---------------------------------------------------------------- lamps

def draw_lamp_frames():
    canvas = Canvas(38, 156, GROUND)
    bodies = [(62, 64, 70), (236, 44, 32), (24, 196, 84)]
    symbols = [(112, 114, 120), (255, 240, 232), (240, 255, 244)]
    for frame in range(6):
        top = 26 * frame
        state = frame % 3
        panel(canvas, 1, top + 1, 37, top + 25, 6, INK)
        panel(canvas, 3, top + 3, 35, top + 23, 4.5, bodies[state])
        # An arrow toward the note: flat points right (play higher), sharp
        # left; with the sign it names.
        flat = frame < 3
        sign = 'b' if flat else '#'
        if flat:
            arrow = [(21.0, top + 8.0), (29.0, top + 13.0), (21.0, top + 18.0)]
            sign_box = (8.0, top + 6.0, 15.0, top + 20.0)
        else:
            arrow = [(17.0, top + 8.0), (9.0, top + 13.0), (17.0, top + 18.0)]
            sign_box = (22.0, top + 6.5, 30.0, top + 19.5)
        canvas.stroke(arrow, 2.6, symbols[state])
        draw_glyph(canvas, sign, sign_box, 1.9, symbols[state])
    return canvas


# ---------------------------------------------------------------- backgrounds

def polar(radius, degrees):
    theta = math.radians(degrees)
    return (PIVOT[0] + radius * math.sin(theta), PIVOT[1] - radius * math.cos(theta))


def sector_inside(inner, outer, half_span):
    def inside(x, y):
        dx, dy = x - PIVOT[0], PIVOT[1] - y
        r = math.hypot(dx, dy)
        return inner <= r <= outer and abs(math.degrees(math.atan2(dx, dy))) <= half_span
    return inside


def draw_dial(canvas):
    """The dial the anti-aliased back end also draws: a white band cut every
    10 cents, long black marks at 20 and 50 cents and a centre mark."""
    box = (PIVOT[0] - 160, PIVOT[1] - 160, PIVOT[0] + 160, PIVOT[1] - 60)
    canvas.fill_shape(sector_inside(118.5, 142.5, 56.0), box, SCALE_WHITE)
    for k in range(1, 6):
        for side in (-1, 1):
            degrees = side * 11.2 * k
            canvas.stroke([polar(143, degrees), polar(118, degrees)], 2.0, GROUND)
    for k in (2, 5):
        for side in (-1, 1):
            degrees = side * 11.2 * k
            canvas.stroke([polar(156, degrees), polar(142.5, degrees)], 2.0, SCALE_BLACK)
    canvas.stroke([polar(156, 0), polar(103, 0)], 2.0, SCALE_BLACK)
    # Figures outside the band, clear of the area the dial redraw erases.
    for cents, text in ((-50, "-50"), (-20, "-20"), (0, "0"), (20, "+20"), (50, "+50")):
        x, y = polar(177.0 if abs(cents) == 50 else 168.0, cents * 1.12)
        draw_label(canvas, text, x, y - 5.0, 10.0, 1.4, LABEL_ON_GROUND)


def draw_large_background():
    canvas = Canvas(386, 214, GROUND)
    panel(canvas, 5, 3, 88, 55)  # note (10, 8, 83, 50)
    panel(canvas, 105, 3, 183, 41)  # cents (110, 8, 178, 36)
    panel(canvas, 253, 3, 383, 35)  # frequency (258, 8, 346, 30) and "Hz"
    draw_label(canvas, "Hz", 365.0, 13.0, 12.0, 1.5, LABEL_ON_PANEL, advance=0.72)
    panel(canvas, 335, 38, 381, 62, 4)  # reference (340, 42, 376, 58)
    # Level bar trough (354, 74, 370, 202) with quarter marks.
    canvas.fill_rect(352, 72, 372, 204, TROUGH_EDGE)
    canvas.fill_rect(354, 74, 370, 202, TROUGH)
    for k in range(5):
        y = 74 + 32 * k
        canvas.fill_rect(346, y - (1 if k else 0), 350, y + (1 if k < 4 else 0), LABEL_ON_GROUND)
    draw_dial(canvas)
    return canvas


def draw_small_background():
    canvas = Canvas(232, 82, GROUND)
    panel(canvas, 3, 3, 86, 55)  # note (8, 8, 81, 50)
    panel(canvas, 92, 3, 170, 41)  # cents (97, 8, 165, 36)
    # Frequency (105, 52, 193, 74): square on the left, where the subtitle
    # region (0, 60, 105, 76) ends.
    canvas.fill_shape(rounded_rect_inside(95, 48, 198, 78, 5), (105, 48, 198, 78), PANEL)
    canvas.fill_rect(105, 48, 110, 78, PANEL)
    panel(canvas, 197, 27, 228, 52, 4)  # lamps (200, 32, 224, 48)
    draw_label(canvas, "Hz", 214.0, 60.0, 11.0, 1.4, LABEL_ON_GROUND, advance=0.72)
    return canvas


# ---------------------------------------------------------------- icon

def draw_icon(size):
    canvas = Canvas(size, size, (0, 0, 0), alpha=0.0)
    s = size / 32.0
    r = 6.0 * s
    canvas.fill_shape(rounded_rect_inside(0.5 * s, 0.5 * s, 31.5 * s, 31.5 * s, r),
                      (0, 0, size, size), PANEL)
    cx, cy = 16.0 * s, 26.0 * s

    def at(radius, degrees):
        t = math.radians(degrees)
        return (cx + radius * s * math.sin(t), cy - radius * s * math.cos(t))

    def band(x, y):
        dx, dy = x - cx, cy - y
        rr = math.hypot(dx, dy) / s
        return 13.0 <= rr <= 19.0 and abs(math.degrees(math.atan2(dx, dy))) <= 56
    canvas.fill_shape(band, (0, 0, size, size), SCALE_WHITE)
    if size >= 24:
        for degrees in (-40, -20, 20, 40):
            canvas.stroke([at(12.0, degrees), at(20.0, degrees)], max(1.0, 1.2 * s), PANEL)
    canvas.fill_shape(lambda x, y: math.hypot(x - cx, y - cy) <= 3.2 * s,
                      (0, 0, size, size), (24, 196, 84))
    canvas.stroke([at(0, 0), at(20.5, 12)], max(1.3, 2.2 * s), (240, 16, 16))
    return canvas


# ---------------------------------------------------------------- files

def quantise(canvas, count, exact):
    """A palette of at most count colours holding every colour of exact, the
    rest by median cut; returns (palette, rows of indices)."""
    pixels = [tuple(int(round(c)) for c in p) for row in canvas.rgb for p in row]
    histogram = {}
    for p in pixels:
        histogram[p] = histogram.get(p, 0) + 1
    palette = [c for c in exact if c in histogram]
    others = [(c, n) for c, n in histogram.items() if c not in palette]
    boxes = [others] if others else []
    while boxes and len(palette) + len(boxes) < count:
        boxes.sort(key=lambda b: -spread(b)[0])
        widest = boxes[0]
        axis_spread, axis = spread(widest)
        if axis_spread == 0:
            break
        widest.sort(key=lambda cn: cn[0][axis])
        half = sum(n for _, n in widest) / 2.0
        running = 0
        cut = 1
        for i, (_, n) in enumerate(widest):
            running += n
            if running >= half:
                cut = max(1, min(len(widest) - 1, i + 1))
                break
        boxes[0:1] = [widest[:cut], widest[cut:]]
    for b in boxes:
        total = sum(n for _, n in b)
        palette.append(tuple(int(round(sum(c[i] * n for c, n in b) / total)) for i in range(3)))
    lookup = {}
    for colour in histogram:
        if colour in palette:
            lookup[colour] = palette.index(colour)
        else:
            lookup[colour] = min(range(len(palette)),
                                 key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))
    rows = [[lookup[p] for p in pixels[y * canvas.width:(y + 1) * canvas.width]]
            for y in range(canvas.height)]
    return palette, rows


def spread(box):
    best = (-1, 0)
    for axis in range(3):
        values = [c[axis] for c, _ in box]
        best = max(best, (max(values) - min(values), axis))
    return best


def rle8(rows):
    out = bytearray()
    for row in reversed(rows):  # bottom-up
        i = 0
        while i < len(row):
            run = 1
            while i + run < len(row) and run < 255 and row[i + run] == row[i]:
                run += 1
            if run >= 3 or len(row) - i < 3:
                out += bytes((run, row[i]))
                i += run
                continue
            # Literal stretch until the next run of three.
            j = i
            while j < len(row) and j - i < 255:
                if j + 2 < len(row) and row[j] == row[j + 1] == row[j + 2]:
                    break
                j += 1
            if j - i < 3:
                for k in range(i, j):
                    out += bytes((1, row[k]))
            else:
                out += bytes((0, j - i)) + bytes(row[i:j])
                if (j - i) % 2:
                    out += b'\0'
            i = j
        out += b'\0\0'
    out[-2:] = b'\0\1'
    return bytes(out)


def rle4(rows):
    out = bytearray()
    for row in reversed(rows):
        i = 0
        while i < len(row):
            run = 1
            while i + run < len(row) and run < 255 and row[i + run] == row[i]:
                run += 1
            out += bytes((run, (row[i] << 4) | row[i]))
            i += run
        out += b'\0\0'
    out[-2:] = b'\0\1'
    return bytes(out)


def write_bmp(path, canvas, bits, exact):
    count = 1 << bits
    palette, rows = quantise(canvas, count, exact)
    data = rle8(rows) if bits == 8 else rle4(rows)
    palette_bytes = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    palette_bytes += b'\0' * (4 * count - len(palette_bytes))
    offset = 14 + 40 + len(palette_bytes)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.width, canvas.height, 1, bits,
                       1 if bits == 8 else 2, len(data), 2835, 2835, count, 0)
    with open(path, 'wb') as f:
        f.write(header + info + palette_bytes + data)


def rgba_rows(canvas):
    return [[(int(round(p[0])), int(round(p[1])), int(round(p[2])),
              int(round(255 * a))) for p, a in zip(row, alphas)]
            for row, alphas in zip(canvas.rgb, canvas.alpha)]


def png_bytes(rows, alpha=True):
    height, width = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for p in row:
            raw += bytes(p if alpha else p[:3])
    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body
                + struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF))
    header = struct.pack('>IIBBBBB', width, height, 8, 6 if alpha else 2, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header)
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def icon_image(size):
    rows = rgba_rows(draw_icon(size))
    if size >= 256:
        return png_bytes(rows)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    info = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(xor) + len(mask),
                       0, 0, 0, 0)
    return info + xor + bytes(mask)


def write_icon(path, sizes):
    images = [icon_image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, image in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


def write_preview(path, canvas):
    with open(path, 'wb') as f:
        f.write(png_bytes(rgba_rows(canvas)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument('--out', default=root, help='tree to write into (default: this one)')
    parser.add_argument('--preview', help='folder for PNG copies to look at')
    args = parser.parse_args()
    meter = os.path.join(args.out, 'resources', 'meter')
    app = os.path.join(args.out, 'resources', 'app')
    os.makedirs(meter, exist_ok=True)
    os.makedirs(app, exist_ok=True)
    exact = [GROUND, PANEL, SCALE_WHITE, SCALE_BLACK, GLYPH_WHITE, GLYPH_AMBER, TROUGH]
    art = [
        ('background_small', draw_small_background(), 8),
        ('background_large', draw_large_background(), 8),
        ('lamp_frames', draw_lamp_frames(), 4),
        ('glyph_strip', draw_glyph_strip(), 8),
    ]
    for name, canvas, bits in art:
        write_bmp(os.path.join(meter, name + '.bmp'), canvas, bits, exact)
        if args.preview:
            os.makedirs(args.preview, exist_ok=True)
            write_preview(os.path.join(args.preview, name + '.png'), canvas)
    sizes = [16, 20, 24, 32, 40, 48, 64, 256]
    write_icon(os.path.join(app, 'tonvale.ico'), sizes)
    if args.preview:
        for size in (32, 256):
            write_preview(os.path.join(args.preview, 'icon_%d.png' % size), draw_icon(size))


if __name__ == '__main__':
    main()
