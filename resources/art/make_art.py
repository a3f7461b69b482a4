#!/usr/bin/env python3
"""Draws the setup's pictures and icons: make_art.py OUTPUT_DIR

Everything is drawn from code so that the pictures can be rebuilt on any
machine with a plain Python 3 (standard library only) and come out byte for
byte the same every time: no clock, no randomness, no image library.

Shapes are signed distance functions (negative inside, never steeper than one
per pixel). A pixel whose centre lies well inside or outside a shape is fully
covered or not at all; only pixels on an edge are sampled at 4 by 4 points and
averaged, which is what rendering at four times the size and box-filtering
down gives, at a fraction of the cost.

Outputs: palettized BMP pictures (see palette.py) and ICO files with 32-bit BGRA images (an AND
mask included; the 256-pixel image is stored as PNG, as Windows expects).
"""

import math
import os
import struct
import sys
import zlib

# The build runs this from the source tree: leave no bytecode cache there.
sys.dont_write_bytecode = True
from palette import quantize  # noqa: E402

SUPERSAMPLE = 4
_OFFSETS = [(k + 0.5) / SUPERSAMPLE for k in range(SUPERSAMPLE)]
# Beyond this distance from an edge a pixel is certainly fully in or out.
_HALF_DIAGONAL = 0.7072


# ---------------------------------------------------------------- colours

def rgb(hex_text):
    v = int(hex_text.lstrip("#"), 16)
    return ((v >> 16) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0)


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def smoothstep(e0, e1, x):
    t = min(1.0, max(0.0, (x - e0) / (e1 - e0)))
    return t * t * (3.0 - 2.0 * t)


WHITE = (1.0, 1.0, 1.0)

# One palette for everything: deep navy grounds, the brand's cyan-to-violet
# spectrum, and the step states.
NAVY_DEEP = rgb("#081230")
NAVY = rgb("#0F1F4D")
NAVY_LIGHT = rgb("#1B3275")
BRAND = [rgb("#22D3EE"), rgb("#1FA2F4"), rgb("#2F6BFF"),
         rgb("#4F55F5"), rgb("#7448EE"), rgb("#9B45E6")]
LENS_BODY = rgb("#0B1633")
LENS_RIM = rgb("#C9D6EE")
GREEN_LIGHT, GREEN_DARK = rgb("#43C76E"), rgb("#1F9347")
BLUE_LIGHT, BLUE_DARK = rgb("#4C8DFF"), rgb("#2456DB")
GREY_RING = rgb("#A5ADBB")


# ---------------------------------------------------------------- shapes

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ring(cx, cy, r, width):
    """A circle's outline of the given stroke width centred on radius r."""
    half = width / 2.0
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - half


def rounded_rect(x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return sdf


def half_plane(nx, ny, c):
    """Points with nx*x + ny*y <= c; (nx, ny) need not be unit length."""
    n = math.hypot(nx, ny)
    nx, ny, c = nx / n, ny / n, c / n
    return lambda x, y: nx * x + ny * y - c


def _segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def polygon(points):
    """A closed polygon (even-odd rule), exact distance to its outline."""
    edges = list(zip(points, points[1:] + points[:1]))

    def sdf(x, y):
        d = min(_segment_distance(x, y, ax, ay, bx, by) for (ax, ay), (bx, by) in edges)
        inside = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -d if inside else d
    return sdf


def stroke(points, width):
    """An open polyline drawn with round caps and joins."""
    half = width / 2.0
    segments = list(zip(points, points[1:]))
    return lambda x, y: min(_segment_distance(x, y, ax, ay, bx, by)
                            for (ax, ay), (bx, by) in segments) - half


def intersect(*shapes):
    return lambda x, y: max(s(x, y) for s in shapes)


# ---------------------------------------------------------------- paints
# A paint maps a point to (r, g, b) or (r, g, b, alpha).

def _ramp(stops, t):
    t = min(1.0, max(0.0, t))
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, 0.0 if t1 == t0 else (t - t0) / (t1 - t0))
    return stops[-1][1]


def linear_gradient(x0, y0, x1, y1, stops):
    """stops: [(t, colour)] with t rising from 0 at (x0, y0) to 1 at (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy
    return lambda x, y: _ramp(stops, ((x - x0) * dx + (y - y0) * dy) / length2)


def radial_gradient(cx, cy, r, stops):
    return lambda x, y: _ramp(stops, math.hypot(x - cx, y - cy) / r)


def solid(colour):
    return lambda x, y: colour


# ---------------------------------------------------------------- canvas

class Canvas:
    """Premultiplied RGBA in floats, rows top to bottom."""

    def __init__(self, width, height, background=None):
        self.width, self.height = width, height
        n = width * height
        if background is None:
            self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(n)]
        else:
            self.px = [[background[0], background[1], background[2], 1.0] for _ in range(n)]

    def _blend(self, i, colour, alpha):
        if len(colour) == 4:
            alpha *= colour[3]
        if alpha <= 0.0:
            return
        p = self.px[i]
        keep = 1.0 - alpha
        p[0] = colour[0] * alpha + p[0] * keep
        p[1] = colour[1] * alpha + p[1] * keep
        p[2] = colour[2] * alpha + p[2] * keep
        p[3] = alpha + p[3] * keep

    def fill(self, shape, paint, bbox=None, opacity=1.0):
        """Composites paint, masked by shape, over the canvas."""
        if isinstance(paint, tuple):
            paint = solid(paint)
        x0, y0, x1, y1 = bbox if bbox else (0, 0, self.width, self.height)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        for py in range(y0, y1):
            row = py * self.width
            for px in range(x0, x1):
                cover = _coverage(shape, px, py)
                if cover > 0.0:
                    self._blend(row + px, paint(px + 0.5, py + 0.5), cover * opacity)

    def paint_all(self, paint, bbox=None, opacity=1.0):
        """Composites a paint over a whole rectangle (no edges to smooth)."""
        self.fill(lambda x, y: -1e9, paint, bbox, opacity)

    def rows_float(self):
        """Opaque rows of unrounded (r, g, b) in 0..255, for the palette fitter."""
        return [[(p[0] * 255.0, p[1] * 255.0, p[2] * 255.0)
                 for p in self.px[py * self.width:(py + 1) * self.width]]
                for py in range(self.height)]

    def rows_rgba(self):
        """Straight-alpha 8-bit rows."""
        rows = []
        for py in range(self.height):
            row = []
            for px in range(self.width):
                r, g, b, a = self.px[py * self.width + px]
                if a <= 0.0:
                    row.append((0, 0, 0, 0))
                    continue
                row.append((_to_byte(r / a * 255.0), _to_byte(g / a * 255.0),
                            _to_byte(b / a * 255.0), _to_byte(a * 255.0)))
            rows.append(row)
        return rows


def _to_byte(v):
    return max(0, min(255, int(math.floor(v + 0.5))))


def _coverage(shape, px, py):
    d = shape(px + 0.5, py + 0.5)
    if d >= _HALF_DIAGONAL:
        return 0.0
    if d <= -_HALF_DIAGONAL:
        return 1.0
    inside = 0
    for oy in _OFFSETS:
        for ox in _OFFSETS:
            if shape(px + ox, py + oy) < 0.0:
                inside += 1
    return inside / float(SUPERSAMPLE * SUPERSAMPLE)


# ---------------------------------------------------------------- file formats

def bmp_palettized_bytes(palette, rows):
    """8-bit bottom-up BMP of palette indices with 96 DPI resolution fields."""
    height, width = len(rows), len(rows[0])
    stride = (width + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        pixels += bytes(row) + b"\0" * (stride - width)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(pixels), 3780, 3780,
                       len(palette), 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + colours + bytes(pixels)


def _png_bytes(rows):
    height, width = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for px in row:
            raw += bytes(px)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def _ico_dib_bytes(rows):
    height, width = len(rows), len(rows[0])
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                line[x >> 3] |= 0x80 >> (x & 7)
        mask += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def ico_bytes(images):
    """images: list of RGBA row lists, one per size."""
    blobs = []
    for rows in images:
        size = len(rows)
        blobs.append((size, _png_bytes(rows) if size >= 256 else _ico_dib_bytes(rows)))
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for size, blob in blobs:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blob for _, blob in blobs)


# ---------------------------------------------------------------- the brand mark

def draw_mark(canvas, cx, cy, radius, on_dark=False):
    """The Lumaglimpse mark: a lens whose six-bladed iris opens on a dark pupil.

    The blades are the pieces of the iris between six lines tangent to the
    hexagonal opening; a blade is where its own line is crossed and the next
    one is not, which gives the familiar pinwheel.
    """
    box = (cx - radius - 2, cy - radius - 2, cx + radius + 2, cy + radius + 2)
    small = radius < 14
    rim = max(1.0, radius * 0.07)
    iris_r = radius - rim * (1.0 if small else 1.6)
    pupil = radius * (0.34 if small else 0.30)
    # Below about a pixel the gaps between blades blur into mud; small sizes
    # keep a hairline so the pinwheel still reads.
    gap = max(0.75 if small else 0.9, radius * 0.035)

    # Lens body and rim.
    canvas.fill(circle(cx, cy, radius),
                linear_gradient(cx, cy - radius, cx, cy + radius,
                                [(0.0, NAVY_LIGHT), (1.0, LENS_BODY)]), box)
    rim_colour = WHITE if on_dark else LENS_RIM
    canvas.fill(ring(cx, cy, radius - rim / 2.0, rim),
                linear_gradient(cx, cy - radius, cx, cy + radius,
                                [(0.0, rim_colour + (0.95,)), (1.0, rim_colour + (0.45,))]), box)
    # The pupil: deep glass, a touch lighter towards the light.
    canvas.fill(circle(cx, cy, pupil * 1.2),
                radial_gradient(cx - pupil * 0.3, cy - pupil * 0.3, pupil * 1.5,
                                [(0.0, rgb("#27408A")), (1.0, rgb("#050B22"))]), box)

    iris = circle(cx, cy, iris_r)
    normals = []
    for i in range(6):
        angle = math.radians(-120 + 60 * i)
        normals.append((math.cos(angle), math.sin(angle)))
    for i in range(6):
        nx, ny = normals[i]
        mx, my = normals[(i + 1) % 6]
        crossed = half_plane(-nx, -ny, -(nx * cx + ny * cy + pupil))
        not_next = half_plane(mx, my, mx * cx + my * cy + pupil - gap)
        blade = intersect(iris, crossed, not_next)
        base = BRAND[i]
        shade = radial_gradient(cx, cy, iris_r, [(0.0, mix(base, NAVY_DEEP, 0.45)),
                                                 (pupil / iris_r, mix(base, NAVY_DEEP, 0.25)),
                                                 (1.0, mix(base, WHITE, 0.18))])
        canvas.fill(blade, shade, box)

    # Light on the pupil's glass from the upper left: a soft sheen and a glint.
    if not small:
        gx, gy = cx - pupil * 0.34, cy - pupil * 0.34
        canvas.fill(circle(gx, gy, pupil * 0.6),
                    radial_gradient(gx, gy, pupil * 0.6, [(0.0, WHITE + (0.30,)), (1.0, WHITE + (0.0,))]), box)
        canvas.fill(circle(gx, gy, pupil * 0.11), WHITE + (0.85,), box)


# ---------------------------------------------------------------- pictures

def wizard_header():
    w, h = 570, 58
    c = Canvas(w, h, NAVY_DEEP)
    c.paint_all(linear_gradient(0, 0, w, h, [(0.0, NAVY_DEEP), (0.65, NAVY), (1.0, NAVY_LIGHT)]))
    mx, my = w - 44, h / 2.0 - 1
    c.fill(circle(mx, my, 120), radial_gradient(mx, my, 120, [(0.0, BRAND[2] + (0.40,)),
                                                               (1.0, BRAND[4] + (0.0,))]))
    # Faint lens rings sweeping in from the right edge.
    for k, r in enumerate((40, 72, 110, 150)):
        c.fill(ring(mx, my, r, 1.2), WHITE + (0.09 - 0.018 * k,))
    draw_mark(c, mx, my, 19, on_dark=True)
    c.fill(rounded_rect(0, h - 2, w, h, 0),
           linear_gradient(0, 0, w, 0, [(0.0, BRAND[0]), (0.5, BRAND[2]), (1.0, BRAND[5])]))
    return c


def finish_picture():
    s = 128
    c = Canvas(s, s, WHITE)
    # Soft contact shadow under the lens.
    c.fill(circle(64, 66, 56), radial_gradient(64, 66, 56, [(0.0, NAVY + (0.18,)), (0.8, NAVY + (0.06,)),
                                                            (1.0, NAVY + (0.0,))]))
    draw_mark(c, 62, 62, 50)
    # Success badge overlapping the lens at the lower right.
    bx, by, br = 95, 95, 21
    c.fill(circle(bx, by, br + 3), WHITE)
    c.fill(circle(bx, by, br), linear_gradient(bx, by - br, bx, by + br,
                                               [(0.0, GREEN_LIGHT), (1.0, GREEN_DARK)]))
    c.fill(stroke([(bx - 9, by + 0.5), (bx - 3, by + 6.5), (bx + 9, by - 6)], 4.6), WHITE)
    return c


def step_separator():
    w, h = 8, 306
    c = Canvas(w, h, WHITE)
    line = rgb("#9FB0CC")

    def fade(x, y):
        a = smoothstep(0, 70, y) * smoothstep(h, h - 70, y)
        return line + (0.85 * a,)
    c.fill(rounded_rect(3, 0, 4.6, h, 0), fade)
    return c


def flash_background():
    w, h = 576, 445
    c = Canvas(w, h, NAVY_DEEP)
    c.paint_all(linear_gradient(0, 0, w * 0.6, h, [(0.0, NAVY), (0.55, NAVY_DEEP), (1.0, rgb("#050B22"))]))
    mx, my, mr = 288, 118, 70
    c.fill(circle(mx, my, 230), radial_gradient(mx, my, 230, [(0.0, BRAND[2] + (0.45,)),
                                                               (0.45, BRAND[4] + (0.12,)),
                                                               (1.0, BRAND[4] + (0.0,))]))
    for k, r in enumerate((110, 165, 240, 330)):
        c.fill(ring(mx, my, r, 1.3), WHITE + (0.07 - 0.012 * k,))
    draw_mark(c, mx, my, mr, on_dark=True)
    # Capture-frame corners around the mark.
    f, arm, t = mr + 23, 18, 2.4
    for sx in (-1, 1):
        for sy in (-1, 1):
            x, y = mx + sx * f, my + sy * f
            bracket = polygon([(x, y), (x - sx * arm, y), (x - sx * arm, y - sy * t),
                               (x - sx * t, y - sy * t), (x - sx * t, y - sy * arm), (x, y - sy * arm)])
            c.fill(bracket, WHITE + (0.75,), (x - arm - 2, y - arm - 2, x + arm + 2, y + arm + 2))
    # A horizon of light along the bottom edge, clear of the version text.
    hx, hy, hr = w / 2.0, h + 300.0, 360.0
    c.fill(circle(hx, hy, hr), radial_gradient(hx, hy, hr, [(0.0, BRAND[4] + (0.0,)),
                                                             (0.93, BRAND[4] + (0.0,)),
                                                             (0.995, BRAND[2] + (0.20,)),
                                                             (1.0, BRAND[2] + (0.0,))]),
           (0, 360, w, h))

    def horizon_line(x, y):
        return BRAND[0] + (0.7 * (1.0 - smoothstep(0.0, hr * 0.8, abs(x - hx))),)
    c.fill(ring(hx, hy, hr - 0.8, 1.6), horizon_line, (0, 360, w, h))
    # Accent bar above the thanks text.
    c.fill(rounded_rect(121, 216, 171, 219, 1.5),
           linear_gradient(121, 0, 171, 0, [(0.0, BRAND[0]), (1.0, BRAND[4])]))
    return c


# ---------------------------------------------------------------- icons

APP_ICON_SIZES = (256, 48, 32, 24, 20, 16)
STEP_ICON_SIZES = (40, 32, 24, 20, 16)


def app_icon(size):
    c = Canvas(size, size)
    draw_mark(c, size / 2.0, size / 2.0, size / 2.0 - max(0.5, size / 64.0))
    return c


def _step_disc(size):
    # A whole-pixel radius about the centre puts the disc's edges on pixel
    # boundaries where they are straightest, so the small sizes stay crisp.
    return size / 2.0, size / 2.0, float(round(size * 0.44))


def step_done(size):
    c = Canvas(size, size)
    cx, cy, r = _step_disc(size)
    c.fill(circle(cx, cy, r), linear_gradient(0, cy - r, 0, cy + r, [(0.0, GREEN_LIGHT), (1.0, GREEN_DARK)]))
    u = size / 20.0
    c.fill(stroke([(cx - 4.2 * u, cy + 0.2 * u), (cx - 1.2 * u, cy + 3.2 * u), (cx + 4.4 * u, cy - 3.0 * u)],
                  max(1.6, 2.2 * u)), WHITE)
    return c


def step_current(size):
    c = Canvas(size, size)
    cx, cy, r = _step_disc(size)
    c.fill(circle(cx, cy, r), linear_gradient(0, cy - r, 0, cy + r, [(0.0, BLUE_LIGHT), (1.0, BLUE_DARK)]))
    u = size / 20.0
    c.fill(stroke([(cx - 1.6 * u, cy - 4.0 * u), (cx + 2.4 * u, cy), (cx - 1.6 * u, cy + 4.0 * u)],
                  max(1.6, 2.2 * u)), WHITE)
    return c


def step_pending(size):
    c = Canvas(size, size)
    cx, cy, r = _step_disc(size)
    width = max(1.5, float(round(size * 0.075)))
    c.fill(ring(cx, cy, r - width / 2.0, width), GREY_RING)
    return c


# ---------------------------------------------------------------- main

PICTURES = {
    "wizard_header.bmp": wizard_header,
    "finish.bmp": finish_picture,
    "step_separator.bmp": step_separator,
    "flash_background.bmp": flash_background,
}

ICONS = {
    "lumaglimpse.ico": (app_icon, APP_ICON_SIZES),
    "step_done.ico": (step_done, STEP_ICON_SIZES),
    "step_current.ico": (step_current, STEP_ICON_SIZES),
    "step_pending.ico": (step_pending, STEP_ICON_SIZES),
}


def _write(path, data):
    # Written beside and renamed, so an interrupted run never leaves a
    # truncated picture that a later build would take as up to date.
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_art.py OUTPUT_DIR\n")
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    for name, draw in PICTURES.items():
        palette, rows = quantize(draw().rows_float())
        _write(os.path.join(out, name), bmp_palettized_bytes(palette, rows))
    for name, (draw, sizes) in ICONS.items():
        _write(os.path.join(out, name), ico_bytes([draw(s).rows_rgba() for s in sizes]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
