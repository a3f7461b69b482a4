#!/usr/bin/env python3
"""Checks the setup's generated pictures and icons: check_art.py WORK_DIR

Runs make_art.py twice into WORK_DIR and demands identical bytes (the build
must be reproducible), then reads every file back with a parser of its own,
not the generator's writer, and checks what Windows and the setup's pages rely
on: well-formed headers, the intended sizes, icon masks that match the alpha,
white borders where a picture sits on a white page, and a splash that is dark
enough where the setup draws white text on it. The pictures are palettized,
so each is also compared with its drawing over small windows: dithering may
move single pixels, never the colour of an area.
"""

import os
import shutil
import struct
import subprocess
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
# The drawings themselves are the reference the written pictures are held
# against; no bytecode cache is left in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, HERE)
import make_art  # noqa: E402

# Name: (width, height, bits a pixel). Every language module carries each
# picture, so they are palettized; a picture falling back to 24 bits would
# cost the setup about half a megabyte a module.
PICTURES = {
    "wizard_header.bmp": (570, 58, 8),
    "finish.bmp": (128, 128, 8),
    "step_separator.bmp": (8, 306, 8),
    "flash_background.bmp": (576, 445, 8),
}
ICONS = {
    "lumaglimpse.ico": [256, 48, 32, 24, 20, 16],
    "step_done.ico": [40, 32, 24, 20, 16],
    "step_current.ico": [40, 32, 24, 20, 16],
    "step_pending.ico": [40, 32, 24, 20, 16],
}
# The flash page's white labels, in dialog units of its 384 by 236 template
# (x0, y0, x1, y1); Tahoma 8 makes a unit 1.5 by 1.625 pixels at 96 DPI, and
# the background is stretched over about that many pixels.
FLASH_LABELS_DLU = [(81, 143, 291, 200), (239, 211, 361, 224)]
# White text wants at least this contrast ratio against the lightest pixel
# behind it (the strict level of the usual accessibility guidance).
MIN_CONTRAST = 7.0

# Windows of 7 by 7 pixels, about what the eye averages at arm's length.
# Error diffusion keeps each window within a level or two of the drawing
# (about 0.2 on average); mapping each pixel to its nearest colour without
# diffusing the error more than doubles the average on the dark grounds.
FIDELITY_RADIUS = 3
FIDELITY_WORST = 6.0
FIDELITY_MEAN = 0.3

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def read_bmp(path):
    """Returns (width, height, bits, palette, rows of (r, g, b) top to bottom) or None.

    Reads uncompressed bottom-up BMPs of 8 bits with a palette, or of 24.
    """
    data = open(path, "rb").read()
    name = os.path.basename(path)
    if not check(len(data) >= 54 and data[:2] == b"BM", name + ": not a BMP"):
        return None
    file_size, _, _, offset = struct.unpack_from("<IHHI", data, 2)
    size, width, height, planes, bits, compression, image_size, _, _, used, important = \
        struct.unpack_from("<IiiHHIIiiII", data, 14)
    if not all([
        check(file_size == len(data), name + ": file size field %d, file %d" % (file_size, len(data))),
        check(size == 40 and planes == 1 and bits in (8, 24) and compression == 0,
              name + ": expected an uncompressed 8 or 24-bit BITMAPINFOHEADER"),
        check(width > 0 and height > 0, name + ": expected a bottom-up bitmap"),
    ]):
        return None
    palette = []
    if bits == 8:
        colours = used or (1 << bits)
        if not all([
            check(colours <= 1 << bits, name + ": %d colours do not fit %d bits" % (colours, bits)),
            check(important <= colours, name + ": more important colours than colours"),
            check(offset == 54 + 4 * colours, name + ": pixels do not follow the palette"),
        ]):
            return None
        for i in range(colours):
            b, g, r, reserved = data[54 + 4 * i:58 + 4 * i]
            check(reserved == 0, name + ": palette entry %d has a nonzero fourth byte" % i)
            palette.append((r, g, b))
    stride = ((width * bits + 31) // 32) * 4
    if not check(offset == 54 + 4 * len(palette) and len(data) - offset == stride * height == image_size,
                 name + ": pixel data size does not match the header"):
        return None
    rows = []
    for y in range(height):
        line = data[offset + (height - 1 - y) * stride:]
        if bits == 24:
            rows.append([(line[3 * x + 2], line[3 * x + 1], line[3 * x]) for x in range(width)])
            continue
        indices = line[:width]
        if not check(max(indices) < len(palette), "%s: row %d uses a colour beyond the palette" % (name, y)):
            return None
        rows.append([palette[i] for i in indices])
    return width, height, bits, palette, rows


def read_png_rgba(blob, name):
    """Decodes the PNGs this project writes (8-bit RGBA, filter 0 lines)."""
    if not check(blob[:8] == b"\x89PNG\r\n\x1a\n", name + ": PNG signature"):
        return None
    pos, chunks = 8, {}
    while pos < len(blob):
        length, kind = struct.unpack_from(">I4s", blob, pos)
        body = blob[pos + 8:pos + 8 + length]
        crc, = struct.unpack_from(">I", blob, pos + 8 + length)
        check(zlib.crc32(kind + body) & 0xFFFFFFFF == crc, name + ": bad CRC in " + kind.decode())
        chunks[kind] = chunks.get(kind, b"") + body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunks[b"IHDR"])
    if not check(depth == 8 and colour == 6 and interlace == 0, name + ": expected 8-bit RGBA PNG"):
        return None
    raw = zlib.decompress(chunks[b"IDAT"])
    if not check(len(raw) == height * (1 + 4 * width), name + ": PNG pixel data size"):
        return None
    rows = []
    for y in range(height):
        line = raw[y * (1 + 4 * width):(y + 1) * (1 + 4 * width)]
        check(line[0] == 0, name + ": unexpected PNG filter")
        rows.append([tuple(line[1 + 4 * x:5 + 4 * x]) for x in range(width)])
    return width, height, rows


def read_dib_rgba(blob, name):
    size, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", blob, 0)
    if not check(size == 40 and planes == 1 and bits == 32 and compression == 0 and height == 2 * width,
                 name + ": expected a 32-bit icon DIB of twice its width in height"):
        return None
    mask_stride = ((width + 31) // 32) * 4
    if not check(len(blob) == 40 + width * width * 4 + mask_stride * width,
                 name + ": DIB length does not match colour plus mask"):
        return None
    rows = []
    mask_base = 40 + width * width * 4
    for y in range(width):
        src = 40 + (width - 1 - y) * width * 4
        row = []
        for x in range(width):
            b, g, r, a = blob[src + 4 * x:src + 4 * x + 4]
            masked = blob[mask_base + (width - 1 - y) * mask_stride + (x >> 3)] & (0x80 >> (x & 7))
            # The mask must hide exactly the fully transparent pixels, or
            # systems that draw with the mask show a fringe or holes.
            check(bool(masked) == (a == 0), "%s: AND mask disagrees with alpha at %d,%d" % (name, x, y))
            row.append((r, g, b, a))
        rows.append(row)
    return width, width, rows


def check_ico(path, sizes):
    data = open(path, "rb").read()
    name = os.path.basename(path)
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if not check(reserved == 0 and kind == 1 and count == len(sizes), name + ": icon directory header"):
        return
    end_of_directory = 6 + 16 * count
    spans = []
    for i, want in enumerate(sizes):
        w, h, colours, _, planes, bits, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        label = "%s[%d]" % (name, i)
        check((w or 256) == want and (h or 256) == want, "%s: directory says %dx%d, want %d" % (label, w, h, want))
        check(colours == 0 and planes == 1 and bits == 32, label + ": expected 32-bit entry")
        if not check(offset >= end_of_directory and offset + length <= len(data), label + ": data outside file"):
            continue
        spans.append((offset, offset + length))
        blob = data[offset:offset + length]
        image = read_png_rgba(blob, label) if blob[:4] == b"\x89PNG" else read_dib_rgba(blob, label)
        if image is None:
            continue
        width, height, rows = image
        if not check((width, height) == (want, want), "%s: image is %dx%d, want %d" % (label, width, height, want)):
            continue
        # Round marks on a transparent square: corners clear, the mark solid.
        check(rows[0][0][3] == 0 and rows[-1][-1][3] == 0, label + ": corners should be transparent")
        check(any(px[3] == 255 for row in rows for px in row), label + ": nothing in it is opaque")
    spans.sort()
    check(all(a[1] <= b[0] for a, b in zip(spans, spans[1:])), name + ": image data overlap")


def luminance(rgb):
    def linear(c):
        c /= 255.0
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def check_picture_content(name, rows):
    width, height = len(rows[0]), len(rows)
    if name in ("finish.bmp", "step_separator.bmp"):
        border = rows[0] + rows[-1] + [row[0] for row in rows] + [row[-1] for row in rows]
        check(all(px == (255, 255, 255) for px in border), name + ": must blend into the white page at its border")
    if name == "flash_background.bmp":
        for x0, y0, x1, y1 in FLASH_LABELS_DLU:
            lightest = max(luminance(rows[y][x])
                           for y in range(int(y0 * 1.625), min(height, int(y1 * 1.625) + 1))
                           for x in range(int(x0 * 1.5), min(width, int(x1 * 1.5) + 1)))
            contrast = 1.05 / (lightest + 0.05)
            check(contrast >= MIN_CONTRAST,
                  "%s: white text in %s has contrast %.1f only" % (name, (x0, y0, x1, y1), contrast))


def _window_sums(rows):
    """Summed-area table: sums[y][x] is the per-channel sum above and left of (x, y)."""
    width = len(rows[0])
    sums = [[(0.0, 0.0, 0.0)] * (width + 1)]
    for row in rows:
        above, line, run = sums[-1], [(0.0, 0.0, 0.0)], [0.0, 0.0, 0.0]
        for x, px in enumerate(row):
            for k in range(3):
                run[k] += px[k]
            line.append(tuple(above[x + 1][k] + run[k] for k in range(3)))
        sums.append(line)
    return sums


def check_fidelity(name, rows):
    """Compares the written picture with the drawing it came from, seen from afar.

    Dithering trades exact pixels for noise, so single pixels may differ a
    lot; what must hold is the colour over every small window. A shifted
    palette entry shows as a large local error, a lost dither (bands) as a
    high average one.
    """
    drawn = make_art.PICTURES[name]().rows_float()
    height, width = len(rows), len(rows[0])
    a, b = _window_sums(drawn), _window_sums(rows)
    total, worst, worst_at = 0.0, 0.0, None
    r = FIDELITY_RADIUS
    for y in range(height):
        y0, y1 = max(0, y - r), min(height, y + r + 1)
        for x in range(width):
            x0, x1 = max(0, x - r), min(width, x + r + 1)
            area = (y1 - y0) * (x1 - x0)
            error = max(abs((a[y1][x1][k] - a[y0][x1][k] - a[y1][x0][k] + a[y0][x0][k])
                            - (b[y1][x1][k] - b[y0][x1][k] - b[y1][x0][k] + b[y0][x0][k])) / area
                        for k in range(3))
            total += error
            if error > worst:
                worst, worst_at = error, (x, y)
    mean = total / (width * height)
    check(worst <= FIDELITY_WORST, "%s: colour off by %.1f levels around %s" % (name, worst, worst_at))
    check(mean <= FIDELITY_MEAN, "%s: colour off by %.2f levels on average (bands?)" % (name, mean))


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: check_art.py WORK_DIR\n")
        return 2
    work = argv[1]
    shutil.rmtree(work, ignore_errors=True)
    runs = [os.path.join(work, "first"), os.path.join(work, "second")]
    for out in runs:
        subprocess.run([sys.executable, os.path.join(HERE, "make_art.py"), out], check=True)

    expected = sorted(list(PICTURES) + list(ICONS))
    for out in runs:
        check(sorted(os.listdir(out)) == expected, "%s holds %s" % (out, sorted(os.listdir(out))))
    for name in expected:
        a, b = (os.path.join(out, name) for out in runs)
        if os.path.exists(a) and os.path.exists(b):
            check(open(a, "rb").read() == open(b, "rb").read(), name + ": differs between two runs")

    for name, (width, height, bits) in PICTURES.items():
        path = os.path.join(runs[0], name)
        picture = read_bmp(path) if os.path.exists(path) else None
        if not picture:
            continue
        check(picture[2] == bits, "%s: %d bits a pixel, want %d" % (name, picture[2], bits))
        if check(picture[:2] == (width, height), "%s: %dx%d, want %dx%d" % (name, picture[0], picture[1],
                                                                             width, height)):
            check_picture_content(name, picture[4])
            check_fidelity(name, picture[4])
    for name, sizes in ICONS.items():
        path = os.path.join(runs[0], name)
        if os.path.exists(path):
            check_ico(path, sizes)

    for message in failures[:50]:
        print("FAIL " + message)
    if failures:
        return 1
    print("art: %d files reproducible and well formed" % len(expected))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
