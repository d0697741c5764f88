#!/usr/bin/env python3
"""Draws Clavora's pictures and writes them as BMP and ICO files into res/art/.

    python3 res/tools/make_art.py [output-directory]

Standard library only. Every picture is drawn from a few shapes (a ball, tapered cylinders,
rounded boxes) with several samples per pixel:

- the pin bitmaps (24 bits, white is see-through because the pin window uses it as its colour
  key) keep hard edges: a pixel is either pure white or the drawing. Their shapes carry a dark
  rim, so that an edge pixel is dark, never a pale mix with white that would show as a halo
  on a dark window, and no drawn pixel comes near white, so that nothing inside a pin
  becomes a hole, not even on a 16-bit display;
- the icons are 32-bit with a real alpha channel, so their edges are smoothed.
"""

import math
import os
import struct
import sys

SAMPLES = 6  # per pixel and direction

# Drawn pixels of the pin bitmaps stay below this, clear of the white colour key even where
# a 16-bit display rounds colours up.
KEY_SAFE_MAX = 238

LIGHT = (-0.45, -0.62, 0.64)  # from the upper left, towards the viewer


def normalize(v):
    n = math.sqrt(sum(c * c for c in v))
    return tuple(c / n for c in v)


LIGHT = normalize(LIGHT)
HALF = normalize((LIGHT[0], LIGHT[1], LIGHT[2] + 1.0))


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def scale(c, f):
    return tuple(x * f for x in c)


def add(a, b):
    return tuple(x + y for x, y in zip(a, b))


def lit(base, n, ambient, diffuse, specular, shininess, specular_colour=(255, 250, 245)):
    d = max(0.0, sum(a * b for a, b in zip(n, LIGHT)))
    s = max(0.0, sum(a * b for a, b in zip(n, HALF))) ** shininess
    return add(scale(base, ambient + diffuse * d), scale(specular_colour, specular * s))


# --- shapes: each answers (signed distance in pixels, colour) for a point -------------------


class Ball:
    """A glossy plastic ball: the head of the pin."""

    def __init__(self, centre, radius, base, rim):
        self.c, self.r, self.base, self.rim = centre, radius, base, rim

    def distance(self, p):
        return math.hypot(p[0] - self.c[0], p[1] - self.c[1]) - self.r

    def colour(self, p):
        nx = (p[0] - self.c[0]) / self.r
        ny = (p[1] - self.c[1]) / self.r
        nz = math.sqrt(max(0.0, 1.0 - nx * nx - ny * ny))
        n = (nx, ny, nz)
        col = lit(self.base, n, 0.30, 0.80, 0.95, 28)
        # light bounced back from the window below keeps the lower right side round
        bounce = max(0.0, nx * 0.55 + ny * 0.55 + nz * 0.1)
        return add(col, scale(self.base, 0.22 * bounce))


class Cone:
    """A tapered cylinder between two points, shaded across its width."""

    def __init__(self, a, b, ra, rb, base, rim, metal, round_ends=True):
        self.a, self.b, self.ra, self.rb = a, b, ra, rb
        self.base, self.rim, self.metal, self.round_ends = base, rim, metal, round_ends
        dx, dy = b[0] - a[0], b[1] - a[1]
        self.len = math.hypot(dx, dy)
        self.d = (dx / self.len, dy / self.len)
        self.perp = (-self.d[1], self.d[0])

    def _local(self, p):
        rx, ry = p[0] - self.a[0], p[1] - self.a[1]
        u = rx * self.d[0] + ry * self.d[1]
        v = rx * self.perp[0] + ry * self.perp[1]
        t = min(1.0, max(0.0, u / self.len))
        return u, v, t, self.ra + (self.rb - self.ra) * t

    def distance(self, p):
        u, v, t, r = self._local(p)
        if self.round_ends:
            cu = t * self.len
            return math.hypot(u - cu, v) - r
        return max(abs(v) - r, -u, u - self.len)

    def colour(self, p):
        _, v, _, r = self._local(p)
        s = max(-1.0, min(1.0, v / r)) if r > 0 else 0.0
        nz = math.sqrt(max(0.0, 1.0 - s * s))
        n = (s * self.perp[0], s * self.perp[1], nz)
        if self.metal:
            # polished steel: a dark body with a sharp bright line along the light side
            col = lit(self.base, n, 0.50, 0.50, 1.0, 10, specular_colour=(235, 240, 250))
        else:
            col = lit(self.base, n, 0.30, 0.78, 0.55, 16)
        return col


class RoundBox:
    """An axis-aligned box with rounded corners and a flat colour from a vertical gradient."""

    def __init__(self, x0, y0, x1, y1, radius, top, bottom, rim):
        self.x0, self.y0, self.x1, self.y1, self.r = x0, y0, x1, y1, radius
        self.top, self.bottom, self.rim = top, bottom, rim

    def distance(self, p):
        cx, cy = (self.x0 + self.x1) / 2, (self.y0 + self.y1) / 2
        hx, hy = (self.x1 - self.x0) / 2 - self.r, (self.y1 - self.y0) / 2 - self.r
        qx, qy = abs(p[0] - cx) - hx, abs(p[1] - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - self.r

    def colour(self, p):
        t = (p[1] - self.y0) / max(1e-6, self.y1 - self.y0)
        return mix(self.top, self.bottom, max(0.0, min(1.0, t)))


class Scene:
    """Shapes from back to front; each gets a dark rim inside its edge, of the scene's width
    unless the shape brings its own (the thin needle would be all rim otherwise)."""

    def __init__(self, shapes, rim_width):
        self.shapes, self.rim_width = shapes, rim_width

    def sample(self, p):
        for shape in reversed(self.shapes):
            d = shape.distance(p)
            if d < 0.0:
                rim_width = getattr(shape, "rim_width", self.rim_width)
                if -d < rim_width and shape.rim is not None:
                    return shape.rim
                return shape.colour(p)
        return None


def render(scene, width, height):
    """Per pixel: the share of samples that hit a shape and their mean colour."""
    pixels = []
    step = 1.0 / SAMPLES
    for y in range(height):
        row = []
        for x in range(width):
            hits, acc = 0, (0.0, 0.0, 0.0)
            for j in range(SAMPLES):
                for i in range(SAMPLES):
                    c = scene.sample((x + (i + 0.5) * step, y + (j + 0.5) * step))
                    if c is not None:
                        hits += 1
                        acc = add(acc, c)
            cover = hits / (SAMPLES * SAMPLES)
            row.append((cover, scale(acc, 1.0 / hits) if hits else None))
        pixels.append(row)
    return pixels


def clamp8(v, top=255):
    return int(max(0, min(top, round(v))))


# --- the pin ---------------------------------------------------------------------------------

PIN_RED = (222, 36, 44)
PIN_RIM = (96, 10, 18)
STEEL = (178, 184, 198)
STEEL_RIM = (62, 66, 78)


def pin_scene(width, height, head_radius, needle_share, rim_width, min_needle_radius):
    """A push pin lying from the bottom-left corner (needle tip) to the top-right (head)."""
    tip = (0.45, height - 0.45)
    # the last column stays white: a pin window a pixel narrower than the picture loses nothing
    centre = (width - 1.5 - head_radius, 0.7 + head_radius)
    ax, ay = centre[0] - tip[0], centre[1] - tip[1]
    length = math.hypot(ax, ay)
    d = (ax / length, ay / length)

    def along(u):
        return (tip[0] + d[0] * u, tip[1] + d[1] * u)

    k = head_radius / 14.0  # 1.0 for the normal pin
    needle_end = length * needle_share
    needle = Cone(tip, along(needle_end + 1.0), 0.45, max(min_needle_radius, 1.75 * k), STEEL, STEEL_RIM,
                  metal=True)
    needle.rim_width = min(rim_width, 0.6)
    # the plastic collar: a flange where the needle leaves it, then a neck under the head
    flange = Cone(along(needle_end - 1.2 * k), along(needle_end + 1.8 * k), 5.4 * k, 5.4 * k, PIN_RED,
                  PIN_RIM, metal=False, round_ends=False)
    neck = Cone(along(needle_end + 1.0 * k), along(length - head_radius * 0.5), 3.0 * k, 4.4 * k, PIN_RED,
                PIN_RIM, metal=False, round_ends=False)
    head = Ball(centre, head_radius, PIN_RED, PIN_RIM)
    return Scene([needle, flange, neck, head], rim_width)


# The two pins at 96 DPI: size, head radius, rim width and least needle radius.
PIN_PICTURES = {"PinNormal": (52, 50, 14.0, 0.95, 1.0), "PinSmall": (30, 29, 8.2, 0.8, 0.75)}
# The display scales in percent that get pictures of their own; res/resource.h and
# src/pinwindow/PinLayout.cpp list the same ones.
PIN_SCALES = (100, 125, 150, 200)


def scaled(length, percent):
    """A length at 96 DPI at the scale, rounded half up as the program rounds it."""
    return (length * percent + 50) // 100


def keyed_rows(pixels):
    """24-bit rows for a colour-keyed picture: white where a pixel is mostly empty."""
    rows = []
    for row in pixels:
        out = []
        for cover, colour in row:
            if cover < 0.45 or colour is None:
                out.append((255, 255, 255))
            else:
                out.append(tuple(clamp8(c, KEY_SAFE_MAX) for c in colour))
        rows.append(out)
    return rows


def alpha_rows(pixels):
    rows = []
    for row in pixels:
        out = []
        for cover, colour in row:
            if colour is None:
                out.append((0, 0, 0, 0))
            else:
                out.append(tuple(clamp8(c) for c in colour) + (clamp8(cover * 255),))
        rows.append(out)
    return rows


# --- the desktop (a monitor) ------------------------------------------------------------------


def desktop_scene(size):
    s = size / 32.0
    bezel = RoundBox(1.0 * s, 3.0 * s, 31.0 * s, 24.0 * s, 2.2 * s, (92, 98, 110), (50, 54, 64), (30, 32, 38))
    screen = RoundBox(3.2 * s, 5.2 * s, 28.8 * s, 21.6 * s, 0.6 * s, (96, 170, 236), (28, 92, 188), None)
    taskbar = RoundBox(3.2 * s, 19.4 * s, 28.8 * s, 21.6 * s, 0.3 * s, (30, 44, 80), (24, 34, 64), None)
    neck = RoundBox(13.0 * s, 23.5 * s, 19.0 * s, 27.5 * s, 0.4 * s, (120, 126, 138), (84, 90, 102), (40, 42, 50))
    foot = RoundBox(8.0 * s, 27.0 * s, 24.0 * s, 30.0 * s, 1.4 * s, (132, 138, 150), (76, 82, 94), (40, 42, 50))
    # a small window on the screen, so that the monitor reads as a desktop
    window = RoundBox(6.0 * s, 8.0 * s, 17.0 * s, 15.5 * s, 0.4 * s, (236, 240, 246), (206, 214, 226),
                      (40, 70, 130))
    title = RoundBox(6.0 * s, 8.0 * s, 17.0 * s, 10.0 * s, 0.3 * s, (40, 70, 130), (40, 70, 130), None)
    shapes = [neck, foot, bezel, screen, taskbar]
    if size >= 24:
        shapes += [window, title]
    return Scene(shapes, rim_width=max(0.7, 0.9 * s))


# --- file formats -----------------------------------------------------------------------------


def bmp24(rows):
    """A bottom-up 24-bit Windows bitmap file."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + bytes(data)


def ico(images):
    """An icon file of 32-bit images with alpha (and an AND mask for old readers)."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for rows in images:
        size = len(rows)
        xor = bytearray()
        for row in reversed(rows):
            for r, g, b, a in row:
                xor += bytes((b, g, r, a))
        mask_stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(rows):
            bits = bytearray(mask_stride)
            for x, px in enumerate(row):
                if px[3] < 128:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blob = info + bytes(xor) + bytes(mask)
        entries.append(struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "art")
    os.makedirs(out_dir, exist_ok=True)

    def write(name, data):
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)

    # Bitmap 135, the normal pin, and bitmap 141, the small one, drawn again for the larger
    # display scales: each is the same scene at the scale, so that a pin on a high-DPI monitor
    # is as sharp as one at 96 DPI instead of a stretched copy.
    for percent in PIN_SCALES:
        suffix = "" if percent == 100 else str(percent)
        for name, (width, height, radius, rim, needle) in PIN_PICTURES.items():
            w, h = scaled(width, percent), scaled(height, percent)
            f = percent / 100
            scene = pin_scene(w, h, radius * f, 0.47, rim * f, needle * f)
            write(f"{name}{suffix}.bmp", bmp24(keyed_rows(render(scene, w, h))))

    # Icon 128, the program: the pin, its head a little larger so that it reads at 16 pixels.
    program = []
    for size in (16, 32, 48):
        radius = size * 0.31
        program.append(alpha_rows(render(pin_scene(size, size, radius, 0.44, max(0.7, size / 40), 0.7),
                                         size, size)))
    write("Clavora.ico", ico(program))

    # Icon 137, the desktop in the control panel's list, also at the list's size on a 150 %
    # display.
    write("Desktop.ico", ico([alpha_rows(render(desktop_scene(size), size, size)) for size in (16, 24, 32)]))


if __name__ == "__main__":
    main()
