#!/usr/bin/env python3
"""Draws Jumbla's window icon (res/jumbla.ico) and banners (res/banner*.bmp).

Standard library only, and deterministic: the same script always writes the
same bytes, so the generated files are committed next to it and a change to
the artwork is a change to this script.

The icon holds 16 to 256 pixels, 32-bit with alpha: 16 and 32 are pixel art
kept here as text, the others the same tile and arrows drawn as shapes. The
banner is drawn at 100, 125, 150 and 200 % for the program to pick the
largest that fits its control. Shapes are rendered at SUPERSAMPLE times the
final size and averaged down, which gives smooth edges without an imaging
library.

Usage: tools/make_art.py [output directory]   (default: res/ beside tools/)
       tools/make_art.py --check   (exit 1 if res/ differs from what it draws)
"""

import math
import pathlib
import struct
import sys
import zlib

SUPERSAMPLE = 4

# Pixel fonts: '#' is a lit font pixel. Glyphs may differ in width; all
# glyphs of one font have the same height (the big one keeps x-height letters
# in its lower rows).
TITLE_FONT = {
    "J": ["..###", "....#", "....#", "....#", "....#", "....#", "#...#", "#...#", ".###."],
    "u": [".....", ".....", ".....", "#...#", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    "m": [".....", ".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#", "#.#.#"],
    "b": ["#....", "#....", "#....", "#.##.", "##..#", "#...#", "#...#", "##..#", "#.##."],
    "l": ["##.", ".#.", ".#.", ".#.", ".#.", ".#.", ".#.", ".#.", ".##"],
    "a": [".....", ".....", ".....", ".###.", "....#", ".####", "#...#", "#..##", ".##.#"],
}

SMALL_FONT = {
    "A": [".#.", "#.#", "###", "#.#", "#.#"],
    "E": ["###", "#..", "##.", "#..", "###"],
    "F": ["###", "#..", "##.", "#..", "#.."],
    "H": ["#.#", "#.#", "###", "#.#", "#.#"],
    "I": ["###", ".#.", ".#.", ".#.", "###"],
    "L": ["#..", "#..", "#..", "#..", "###"],
    "P": ["##.", "#.#", "##.", "#..", "#.."],
    "R": ["##.", "#.#", "##.", "#.#", "#.#"],
    "S": [".##", "#..", ".#.", "..#", "##."],
    "T": ["###", ".#.", ".#.", ".#.", ".#."],
    "U": ["#.#", "#.#", "#.#", "#.#", "###"],
    "Y": ["#.#", "#.#", ".#.", ".#.", ".#."],
}


def hex_colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


class Canvas:
    """An RGBA picture at SUPERSAMPLE resolution, transparent at first, with
    colours kept premultiplied by alpha. Coordinates are given in design
    units (floats), `scale` final pixels each, and shapes are sampled at
    sub-pixel centres."""

    def __init__(self, width, height, scale=1.0):
        self.width, self.height = width, height
        self.sw, self.sh = width * SUPERSAMPLE, height * SUPERSAMPLE
        self.unit = SUPERSAMPLE * scale  # sub-pixels per design unit
        n = self.sw * self.sh
        self.r, self.g, self.b, self.a = [0.0] * n, [0.0] * n, [0.0] * n, [0.0] * n

    def fill(self, colour_at):
        """Paints every sub-pixel opaque with colour_at(x, y) (design units)."""
        u = self.unit
        for sy in range(self.sh):
            for sx in range(self.sw):
                i = sy * self.sw + sx
                self.r[i], self.g[i], self.b[i] = colour_at((sx + 0.5) / u, (sy + 0.5) / u)
                self.a[i] = 1.0

    def paint(self, covered, colour, alpha=1.0):
        """Composites colour over the sub-pixels listed in covered."""
        cr, cg, cb = colour
        for i in covered:
            keep = 1.0 - alpha
            self.r[i] = self.r[i] * keep + cr * alpha
            self.g[i] = self.g[i] * keep + cg * alpha
            self.b[i] = self.b[i] * keep + cb * alpha
            self.a[i] = self.a[i] * keep + alpha

    def region(self, x0, y0, x1, y1, inside):
        """Sub-pixels within the box whose centre satisfies inside(x, y)."""
        s = self.unit
        sx0, sy0 = max(0, math.floor(x0 * s)), max(0, math.floor(y0 * s))
        sx1, sy1 = min(self.sw, math.ceil(x1 * s)), min(self.sh, math.ceil(y1 * s))
        found = set()
        for sy in range(sy0, sy1):
            y = (sy + 0.5) / s
            for sx in range(sx0, sx1):
                if inside((sx + 0.5) / s, y):
                    found.add(sy * self.sw + sx)
        return found

    def rounded_rect(self, x0, y0, x1, y1, radius):
        def inside(x, y):
            dx = max(x0 + radius - x, 0.0, x - (x1 - radius))
            dy = max(y0 + radius - y, 0.0, y - (y1 - radius))
            return dx * dx + dy * dy <= radius * radius
        return self.region(x0, y0, x1, y1, inside)

    def polygon(self, points):
        xs, ys = [p[0] for p in points], [p[1] for p in points]

        def inside(x, y):
            hit = False
            j = len(points) - 1
            for i, (xi, yi) in enumerate(points):
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    hit = not hit
                j = i
            return hit
        return self.region(min(xs), min(ys), max(xs), max(ys), inside)

    def stroke(self, points, width):
        """A polyline with round caps and joins: the union of capsules."""
        half = width / 2.0
        covered = set()
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            dx, dy = bx - ax, by - ay
            length2 = dx * dx + dy * dy or 1e-12

            def inside(x, y, ax=ax, ay=ay, dx=dx, dy=dy, length2=length2):
                t = min(1.0, max(0.0, ((x - ax) * dx + (y - ay) * dy) / length2))
                px, py = ax + t * dx - x, ay + t * dy - y
                return px * px + py * py <= half * half
            covered |= self.region(min(ax, bx) - half, min(ay, by) - half,
                                   max(ax, bx) + half, max(ay, by) + half, inside)
        return covered

    def text(self, font, string, x, y, scale, spacing=1, space_width=3):
        """Sub-pixels of the lit font pixels, top-left corner at (x, y)."""
        covered = set()
        for ch in string:
            if ch == " ":
                x += space_width * scale
                continue
            glyph = font[ch]
            for row, line in enumerate(glyph):
                for col, bit in enumerate(line):
                    if bit == "#":
                        px, py = x + col * scale, y + row * scale
                        covered |= self.region(px, py, px + scale, py + scale, lambda _x, _y: True)
            x += (len(glyph[0]) + spacing) * scale
        return covered

    def downsample(self):
        """Final 8-bit (r, g, b, a) pixels, top row first: each the average of
        its sub-pixels, colours no longer premultiplied."""
        s, out = SUPERSAMPLE, []
        for y in range(self.height):
            row = []
            for x in range(self.width):
                total = [0.0, 0.0, 0.0, 0.0]
                for sy in range(y * s, y * s + s):
                    base = sy * self.sw + x * s
                    for i in range(base, base + s):
                        total[0] += self.r[i]
                        total[1] += self.g[i]
                        total[2] += self.b[i]
                        total[3] += self.a[i]
                cover = total[3]
                colour = tuple(min(255, max(0, round(c / cover))) if cover else 0 for c in total[:3])
                row.append(colour + (min(255, max(0, round(255 * cover / (s * s)))),))
            out.append(row)
        return out


def bezier(p0, p1, p2, p3, steps):
    points = []
    for k in range(steps + 1):
        t = k / steps
        u = 1 - t
        points.append((u * u * u * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t * t * t * p3[0],
                       u * u * u * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t * t * t * p3[1]))
    return points


def shuffle_arrow(start, end, head_length, head_half_width, bend_steps=24):
    """The path of one shuffle arrow (a level run, an S-bend to the other
    height, a level run) and its head, pointing right at end."""
    (x0, y0), (x1, y1) = start, end
    run = (x1 - x0) * 0.18
    bend_start, bend_end = (x0 + run, y0), (x1 - head_length - run, y1)
    middle = (bend_start[0] + bend_end[0]) / 2
    path = [start] + bezier(bend_start, (middle, y0), (middle, y1), bend_end, bend_steps)
    path.append((x1 - head_length + 0.5, y1))
    head = [(x1 - head_length, y1 - head_half_width), (x1, y1), (x1 - head_length, y1 + head_half_width)]
    return path, head


def draw_shuffle_arrows(canvas, arrows, width, head_length, head_half_width, outline):
    """Draws the arrows in order; each later arrow gets a dark rim first, so
    at the crossing it visibly passes over the earlier one."""
    for start, end, colour in arrows:
        path, head = shuffle_arrow(start, end, head_length, head_half_width)
        rim_colour, rim_width, rim_alpha = outline
        rim = canvas.stroke(path, width + 2 * rim_width)
        rim |= canvas.polygon(grow_triangle(head, rim_width))
        canvas.paint(rim, rim_colour, rim_alpha)
        canvas.paint(canvas.stroke(path, width) | canvas.polygon(head), colour)


def grow_triangle(points, by):
    """The triangle pushed outwards by roughly `by` pixels on every side."""
    cx = sum(p[0] for p in points) / 3
    cy = sum(p[1] for p in points) / 3
    grown = []
    for x, y in points:
        dx, dy = x - cx, y - cy
        length = math.hypot(dx, dy)
        grown.append((x + dx / length * by * 2, y + dy / length * by * 2))
    return grown


# --- the icon ---------------------------------------------------------------

# At 32 and 16 pixels the icon is pixel art, drawn by hand: there hand
# placement reads far better than reduced smooth shapes. A navy tile with
# two crossing shuffle arrows; the white one passes over the yellow one,
# with a navy rim where they cross. '.' is transparent.

ICON_32 = [
    "....kkkkkkkkkkkkkkkkkkkkkkkk....",
    "..kknnnnnnnnnnnnnnnnnnnnnnnnkk..",
    ".knnnnnnnnnnnnnnnnnnnnnnnnnnnnk.",
    ".knnnnnnnnnnnnnnnnnnnnnnnnnnnnk.",
    "knnnnnnnnnnnnnnnnnnnnnnynnnnnnnk",
    "knnnnnnnnnnnnnnnnnnnnnnyynnnnnnk",
    "knnnnnnnnnnnnnnnnnnnnnnyyynnnnnk",
    "knnnnnnnnnnnnnnnnnnnnnnyyyynnnnk",
    "knnwwwwwwwwnnnnnnnnnnnyyyyyynnnk",
    "knnwwwwwwwwwnnnnnnnnnyyyyyyyynnk",
    "knnwwwwwwwwwwnnnnnnnyyyyyyyynnnk",
    "knnnnnnnnnwwwwnnnnnyyyyyyyynnnnk",
    "knnnnnnnnnnwwwwnnnyyyynyyynnnnnk",
    "knnnnnnnnnnnwwwwnnyyynnyynnnnnnk",
    "knnnnnnnnnnnnwwwwnnynnnynnnnnnnk",
    "knnnnnnnnnnnnnwwwwnnnnnnnnnnnnnk",
    "knnnnnnnnnnnnnnwwwwnnnnnnnnnnnnk",
    "knnnnnnnnnnnnynnwwwwnnnwnnnnnnnk",
    "knnnnnnnnnnnyyynnwwwwnnwwnnnnnnk",
    "knnnnnnnnnnyyyynnnwwwwnwwwnnnnnk",
    "knnnnnnnnnyyyynnnnnwwwwwwwwnnnnk",
    "knnyyyyyyyyyynnnnnnnwwwwwwwwnnnk",
    "knnyyyyyyyyynnnnnnnnnwwwwwwwwnnk",
    "knnyyyyyyyynnnnnnnnnnnwwwwwwnnnk",
    "knnnnnnnnnnnnnnnnnnnnnnwwwwnnnnk",
    "knnnnnnnnnnnnnnnnnnnnnnwwwnnnnnk",
    "knnnnnnnnnnnnnnnnnnnnnnwwnnnnnnk",
    "knnnnnnnnnnnnnnnnnnnnnnwnnnnnnnk",
    ".knnnnnnnnnnnnnnnnnnnnnnnnnnnnk.",
    ".knnnnnnnnnnnnnnnnnnnnnnnnnnnnk.",
    "..kknnnnnnnnnnnnnnnnnnnnnnnnkk..",
    "....kkkkkkkkkkkkkkkkkkkkkkkk....",
]

ICON_16 = [
    "...kkkkkkkkkk...",
    ".kknnnnnnnnnnkk.",
    ".knnnnnnnnynnnk.",
    "knnnnnnnnnyynnnk",
    "knwwwnnnnnyyynnk",
    "knwwwwnnnyyyynnk",
    "knnnnwwnyyyynnnk",
    "knnnnnwwnnynnnnk",
    "knnnnnnwwnwnnnnk",
    "knnnnyynwwwwnnnk",
    "knyyyynnnwwwwnnk",
    "knyyynnnnnwwwnnk",
    "knnnnnnnnnwwnnnk",
    ".knnnnnnnnwnnnk.",
    ".kknnnnnnnnnnkk.",
    "...kkkkkkkkkk...",
]


ICON_COLOURS = {"k": (0x00, 0x00, 0x00), "n": (0x00, 0x00, 0x80), "y": (0xFF, 0xFF, 0x00), "w": (0xFF, 0xFF, 0xFF)}

# Every size Windows asks for from 100 to 200 % (small and large icons) and
# the one Explorer shows largest. The hand-drawn ones are used as they are.
ICON_SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
ICON_ART = {16: ICON_16, 32: ICON_32}


def pixel_art(art):
    """RGBA rows of the hand-drawn art; '.' is transparent."""
    return [[ICON_COLOURS[ch] + (255,) if ch != "." else (0, 0, 0, 0) for ch in line] for line in art]


def draw_icon(size):
    """The tile and arrows of the pixel art as shapes, in a 32-unit design."""
    c = Canvas(size, size, size / 32)
    c.paint(c.rounded_rect(0, 0, 32, 32, 6), ICON_COLOURS["k"])
    c.paint(c.rounded_rect(1, 1, 31, 31, 5), ICON_COLOURS["n"])
    draw_shuffle_arrows(
        c,
        [((3, 22.5), (29, 9), ICON_COLOURS["y"]),
         ((3, 9), (29, 22.5), ICON_COLOURS["w"])],
        3.4, 6.5, 4.8, (ICON_COLOURS["n"], 1.2, 1.0))
    return c.downsample()


def icon_bmp_image(pixels):
    """One icon image: BITMAPINFOHEADER (height doubled for XOR + AND), the
    32-bit BGRA bitmap and the 1-bit AND mask, both bottom-up. The mask is
    set where the picture is wholly transparent, for whatever draws without
    alpha."""
    size = len(pixels)
    and_stride = (size + 31) // 32 * 4
    colour_rows, mask_rows = [], []
    for row in reversed(pixels):
        colour_rows.append(b"".join(struct.pack("<BBBB", b, g, r, a) for r, g, b, a in row))
        mask = bytearray(and_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                mask[x // 8] |= 0x80 >> (x % 8)
        mask_rows.append(bytes(mask))
    bits = b"".join(colour_rows) + b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(bits), 0, 0, 0, 0)
    return header + bits


def png_image(pixels):
    """A PNG (8-bit RGBA), as icons of 256 pixels are stored since Vista:
    a quarter of a megabyte as a bitmap."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in pixels)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico_file(images):
    """ICONDIR, one ICONDIRENTRY per (size, data), then the image data."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def icon_file():
    images = []
    for size in ICON_SIZES:
        pixels = pixel_art(ICON_ART[size]) if size in ICON_ART else draw_icon(size)
        images.append((size, png_image(pixels) if size >= 256 else icon_bmp_image(pixels)))
    return ico_file(images)


# --- the banner -------------------------------------------------------------

# The banner lies wholly inside its control (205 x 41 dialog units, framed)
# at 96 DPI with the dialog's 9-point font: about 298 x 57 pixels of client
# area, so a few pixels to spare on every side. The larger ones are for 120,
# 144 and 192 DPI, where the control grows with the font; the program shows
# the largest that fits.
BANNER_WIDTH, BANNER_HEIGHT = 288, 50
BANNERS = {"banner.bmp": (288, 50), "banner-125.bmp": (360, 62),
           "banner-150.bmp": (432, 75), "banner-200.bmp": (576, 100)}


def draw_banner(width, height):
    """The banner design (BANNER_WIDTH x BANNER_HEIGHT units) at width x height."""
    c = Canvas(width, height, min(width / BANNER_WIDTH, height / BANNER_HEIGHT))
    left, right = hex_colour("#1a2260"), hex_colour("#11707f")
    sheen = (255, 255, 255)

    def background(x, y):
        colour = mix(left, right, x / BANNER_WIDTH)
        # A soft light from the top edge.
        return mix(colour, sheen, max(0.0, 0.16 * (1 - y / 24.0)))
    c.fill(background)

    # The playlist: bars pushed sideways as if just shuffled, each with a
    # coloured marker so the eye can follow an entry.
    chips = ["#ff7a6b", "#ffd166", "#7ee0a1", "#7cc6fe", "#c9a7ff"]
    offsets = [(158, 82), (170, 70), (154, 88), (166, 74), (162, 80)]
    for row, ((x, length), chip) in enumerate(zip(offsets, chips)):
        y = 5.5 + row * 8
        c.paint(c.rounded_rect(x, y, x + length, y + 5.5, 2.75), (255, 255, 255), 0.24)
        c.paint(c.rounded_rect(x + 2, y + 1, x + 7.5, y + 4.5, 1.75), hex_colour(chip), 0.95)

    draw_shuffle_arrows(
        c,
        [((190, 37), (276, 12), hex_colour("#ffc23d")),
         ((190, 12), (276, 37), hex_colour("#fff4dc"))],
        3.8, 10, 6.5, (hex_colour("#0d1640"), 1.6, 0.55))

    title_x, title_y, scale = 12, 5, 3
    c.paint(c.text(TITLE_FONT, "Jumbla", title_x + 2, title_y + 2, scale), (0, 0, 0), 0.35)
    c.paint(c.text(TITLE_FONT, "Jumbla", title_x, title_y, scale), hex_colour("#fff4dc"))
    c.paint(c.text(SMALL_FONT, "PLAYLIST SHUFFLER", title_x + 1, 36, 2), hex_colour("#9fe3f0"))
    return c.downsample()


def bmp_file(pixels):
    """A bottom-up 24-bit BMP; rows are B, G, R and padded to 4 bytes."""
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for row in reversed(pixels):
        line = b"".join(struct.pack("<BBB", b, g, r) for r, g, b, _ in row)
        rows.append(line.ljust(stride, b"\0"))
    bits = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(bits), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(bits), 0, 0, 14 + len(info))
    return header + info + bits


def main():
    res_dir = pathlib.Path(__file__).resolve().parent.parent / "res"
    files = {"jumbla.ico": icon_file()}
    for name, (width, height) in BANNERS.items():
        files[name] = bmp_file(draw_banner(width, height))
    if sys.argv[1:] == ["--check"]:
        stale = [name for name, data in files.items()
                 if not (res_dir / name).exists() or (res_dir / name).read_bytes() != data]
        for name in stale:
            print(f"res/{name} differs from what tools/make_art.py draws; run it and commit both")
        sys.exit(1 if stale else 0)
    out_dir = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else res_dir
    out_dir.mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        (out_dir / name).write_bytes(data)


if __name__ == "__main__":
    main()
