#!/usr/bin/env python3
"""Draw Zekerpad's icons and status bitmap.

    python3 res/make_images.py OUTDIR

writes app.ico, folder_open.ico, dot_red.ico, note.ico, dot_yellow.ico,
picture.ico, figure.ico, dot_green.ico and status.bmp into OUTDIR.

Every picture is described once in a 16 x 16 design grid (units of one
pixel at 16 x 16) and rendered at each size with 4 x 4 supersampling, so
the small and the large icon agree and the edges are smooth. Only the
standard library is used, and the output is the same on every run.
"""

import math
import os
import struct
import sys

GRID = 16.0   # design grid: shapes are given in 16ths of the icon's side
SUPER = 4     # samples per pixel along each axis
ICON_SIZES = (16, 20, 24, 32)


# --- shapes: signed distance functions in grid units, negative inside ---

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def rounded_box(x0, y0, x1, y1, radius=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        inside = min(max(qx, qy), 0.0)
        return outside + inside - radius
    return sdf


def _segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else ((px - ax) * dx + (py - ay) * dy) / length2
    t = min(1.0, max(0.0, t))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def polygon(*points):
    pts = list(points)
    edges = list(zip(pts, pts[1:] + pts[:1]))

    def sdf(x, y):
        inside = False
        dist = float("inf")
        for (ax, ay), (bx, by) in edges:
            dist = min(dist, _segment_distance(x, y, ax, ay, bx, by))
            if (ay > y) != (by > y):
                if x < ax + (y - ay) * (bx - ax) / (by - ay):
                    inside = not inside
        return -dist if inside else dist
    return sdf


def stroke(width, *points):
    """A polyline of the given width with round ends and joints."""
    segments = list(zip(points, points[1:]))
    half = width / 2

    def sdf(x, y):
        return min(_segment_distance(x, y, ax, ay, bx, by)
                   for (ax, ay), (bx, by) in segments) - half
    return sdf


def ellipse(cx, cy, a, b, degrees=0.0):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))

    def sdf(x, y):
        dx, dy = x - cx, y - cy
        u, v = dx * c + dy * s, -dx * s + dy * c
        # Scaled radial distance: exact sign, good enough distance.
        return (math.hypot(u / a, v / b) - 1.0) * min(a, b)
    return sdf


def difference(shape, hole):
    return lambda x, y: max(shape(x, y), -hole(x, y))


class Layer:
    """A shape with a fill (or None for hollow) and an inner outline."""

    def __init__(self, shape, fill, outline=None, width=1.0):
        self.shape, self.fill = shape, fill
        self.outline, self.width = outline, width

    def colour_at(self, x, y):
        d = self.shape(x, y)
        if d > 0:
            return None
        if self.outline is not None and d > -self.width:
            return self.outline
        return self.fill


def render(layers, size):
    """Rows of (r, g, b, a) pixels, top row first; layers[0] is on top."""
    scale = GRID / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = hits = 0
            for sy in range(SUPER):
                y = (py + (sy + 0.5) / SUPER) * scale
                for sx in range(SUPER):
                    x = (px + (sx + 0.5) / SUPER) * scale
                    for layer in layers:
                        c = layer.colour_at(x, y)
                        if c is not None:
                            r, g, b, hits = r + c[0], g + c[1], b + c[2], hits + 1
                            break
            if hits == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / hits), round(g / hits), round(b / hits),
                            round(255 * hits / (SUPER * SUPER))))
        rows.append(row)
    return rows


# --- file formats ---

def ico_image(rows):
    """One icon image: BITMAPINFOHEADER, 32-bit BGRA bottom-up, AND mask."""
    size = len(rows)
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:  # fully transparent: let the screen through
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def ico_file(images):
    """images: list of (size, bytes of ico_image)."""
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32,
                           len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def bmp24_file(rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0,
                       len(pixels), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels),
                              0, 0, 14 + len(info))
    return file_header + info + bytes(pixels)


# --- the pictures ---

def dot(fill, rim, sign):
    """A coloured disc with a sign on it: the sign tells the dots apart
    also to someone who cannot tell red from green."""
    return sign + [Layer(circle(8, 8, 6.2), fill, rim, 1.3)]


WHITE = (255, 255, 255)


def cross():
    return [Layer(stroke(2.1, (5.4, 5.4), (10.6, 10.6)), WHITE),
            Layer(stroke(2.1, (10.6, 5.4), (5.4, 10.6)), WHITE)]


def exclamation():
    ink = (40, 30, 0)
    return [Layer(rounded_box(6.95, 3.3, 9.05, 9.0, 1.0), ink),
            Layer(circle(8, 11.5, 1.2), ink)]


def tick():
    return [Layer(stroke(2.1, (4.7, 8.3), (7.0, 10.6), (11.4, 5.5)), WHITE)]


def traffic_light():
    black = (0, 0, 0)
    return [
        Layer(circle(8, 3.4, 2.1), (235, 20, 20), (120, 0, 0), 0.6),
        Layer(circle(8, 8.0, 2.1), (255, 210, 0), (130, 100, 0), 0.6),
        Layer(circle(8, 12.6, 2.1), (20, 200, 20), (0, 100, 0), 0.6),
        Layer(rounded_box(4.0, 0.2, 12.0, 15.8, 2.2), (60, 60, 60), black, 0.9),
    ]


def folder_open():
    edge = (120, 80, 0)
    return [
        # the front flap, tilted open
        Layer(polygon((4.0, 7.0), (15.8, 7.0), (12.6, 14.0), (0.4, 14.0)),
              (255, 222, 96), edge, 1.0),
        # the back of the folder with its tab
        Layer(polygon((0.5, 3.0), (5.5, 3.0), (7.0, 4.6), (13.2, 4.6),
                      (13.2, 14.0), (0.5, 14.0)),
              (222, 168, 40), edge, 1.0),
    ]


def note():
    ink = (20, 20, 90)
    return [
        Layer(ellipse(4.4, 12.4, 2.6, 1.8, -20), ink),
        Layer(ellipse(11.6, 10.9, 2.6, 1.8, -20), ink),
        Layer(rounded_box(5.9, 3.6, 7.2, 12.2), ink),
        Layer(rounded_box(13.1, 2.1, 14.4, 10.7), ink),
        Layer(polygon((5.9, 3.4), (14.4, 1.4), (14.4, 4.2), (5.9, 6.2)), ink),
    ]


def picture():
    return [
        # frame
        Layer(difference(rounded_box(0.5, 2.0, 15.5, 14.0, 0.8),
                         rounded_box(2.0, 3.5, 14.0, 12.5)),
              (150, 100, 50), (90, 55, 20), 0.6),
        # sun
        Layer(circle(10.8, 6.0, 1.6), (255, 215, 0)),
        # hills
        Layer(polygon((2.0, 12.5), (2.0, 10.0), (5.5, 6.8), (8.6, 10.0),
                      (10.4, 8.6), (14.0, 11.4), (14.0, 12.5)), (50, 150, 50)),
        # sky
        Layer(rounded_box(2.0, 3.5, 14.0, 12.5), (150, 200, 255)),
    ]


def leaping_figure():
    blue = (30, 90, 220)
    limb = 1.9
    return [
        Layer(circle(11.2, 2.6, 2.0), blue),
        # arms flung up and forward
        Layer(stroke(limb, (4.2, 3.0), (6.6, 5.4), (9.6, 5.8), (13.4, 4.4),
                     (15.0, 2.2)), blue),
        # body, leaning into the leap
        Layer(stroke(2.4, (9.8, 5.0), (7.4, 9.4)), blue),
        # front leg stretched ahead, back leg kicked out behind
        Layer(stroke(limb, (7.4, 9.4), (11.0, 10.6), (12.8, 14.4)), blue),
        Layer(stroke(limb, (7.4, 9.4), (4.4, 12.2), (1.2, 11.4)), blue),
    ]


ICONS = [
    ("app.ico", traffic_light),
    ("folder_open.ico", folder_open),
    ("dot_red.ico", lambda: dot((225, 25, 25), (130, 0, 0), cross())),
    ("note.ico", note),
    ("dot_yellow.ico", lambda: dot((255, 215, 0), (150, 110, 0), exclamation())),
    ("picture.ico", picture),
    ("figure.ico", leaping_figure),
    ("dot_green.ico", lambda: dot((30, 165, 30), (0, 95, 0), tick())),
]


def status_bitmap():
    """60 x 60, exactly three colours: black corners, a dark yellow disc
    (the unlit middle lamp) and an exclamation mark in bright yellow."""
    size = 60
    black, disc, mark = (0, 0, 0), (50, 50, 0), (255, 255, 0)
    bar = rounded_box(25.0, 9.0, 35.0, 38.0, 3.0)
    point = circle(30.0, 46.5, 5.0)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            x, y = px + 0.5, py + 0.5
            if math.hypot(x - 30.0, y - 30.0) > 30.0:
                row.append(black)
            elif bar(x, y) <= 0 or point(x, y) <= 0:
                row.append(mark)
            else:
                row.append(disc)
        rows.append(row)
    return rows


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_images.py OUTDIR\n")
        return 2
    outdir = argv[1]
    os.makedirs(outdir, exist_ok=True)
    for name, picture_layers in ICONS:
        layers = picture_layers()
        images = [(size, ico_image(render(layers, size))) for size in ICON_SIZES]
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(ico_file(images))
    with open(os.path.join(outdir, "status.bmp"), "wb") as f:
        f.write(bmp24_file(status_bitmap()))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
