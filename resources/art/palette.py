"""Fits a palette of at most 256 colours to a picture and maps it onto that.

Every language module and the setup program carry the same pictures, so a
palettized picture saves its size many times over. Two things must survive:

- Wide dark gradients. The palette is cut from the picture's own colours,
  splitting first where a box of colours hides the most squared error (the
  dark grounds hold most pixels, so they get most entries), then refined by
  a few nearest-mean rounds; the picture is mapped onto it with serpentine
  Floyd-Steinberg error diffusion from the unrounded drawing, so gradients
  come out as fine noise instead of bands.
- Pure colours the pages rely on, white above all: they are kept in the
  palette exactly, and a pixel drawn exactly in one of them is written as it
  is, neither taking nor passing on any neighbour's error, so white borders
  stay white.

A picture of no more colours than fit is stored exactly, without dithering.
Everything is deterministic: same drawing, same bytes.
"""

MAX_COLOURS = 256
# Median cut alone leaves entries off centre in long thin boxes; six rounds
# of moving each to the mean of its nearest colours take the worst error of
# the splash over 7x7 windows from about 5 levels to 2.
REFINE_ROUNDS = 6

# Distances weigh green most and blue least, roughly as the eye does.
_WEIGHTS = (3, 4, 2)


def _to_byte(v):
    return 0 if v <= 0.0 else 255 if v >= 255.0 else int(v + 0.5)


def _box_stats(box):
    """box: [(colour, count)]. Returns (squared error, widest channel, mean)."""
    total = sum(n for _, n in box)
    means, spreads = [], []
    for k in range(3):
        s = sum(c[k] * n for c, n in box)
        s2 = sum(c[k] * c[k] * n for c, n in box)
        mean = s / total
        means.append(mean)
        spreads.append(s2 - s * mean)
    widest = max(range(3), key=lambda k: (spreads[k] * _WEIGHTS[k], -k))
    return sum(sp * w for sp, w in zip(spreads, _WEIGHTS)), widest, tuple(_to_byte(m) for m in means)


def _split(box, channel):
    box = sorted(box, key=lambda e: (e[0][channel], e[0]))
    half = sum(n for _, n in box) / 2.0
    run = 0
    for i, (_, n) in enumerate(box[:-1]):
        run += n
        if run >= half:
            return box[:i + 1], box[i + 1:]
    return box[:-1], box[-1:]


def median_cut(histogram, count):
    """histogram: {(r, g, b): pixels}. Returns at most count colours."""
    boxes = [sorted(histogram.items())]
    stats = [_box_stats(boxes[0])]
    while len(boxes) < count:
        worst = max(range(len(boxes)), key=lambda i: (stats[i][0], -i))
        if stats[worst][0] <= 0.0 or len(boxes[worst]) < 2:
            break
        a, b = _split(boxes[worst], stats[worst][1])
        boxes[worst:worst + 1] = [a, b]
        stats[worst:worst + 1] = [_box_stats(a), _box_stats(b)]
    return [s[2] for s in stats]


class _Nearest:
    """Nearest palette entry, remembered per rounded colour."""

    def __init__(self, palette):
        self.palette = palette
        self.cache = {}

    def __call__(self, colour):
        index = self.cache.get(colour)
        if index is None:
            r, g, b = colour
            wr, wg, wb = _WEIGHTS
            best, index = None, 0
            for i, (pr, pg, pb) in enumerate(self.palette):
                d = wr * (pr - r) ** 2 + wg * (pg - g) ** 2 + wb * (pb - b) ** 2
                if best is None or d < best:
                    best, index = d, i
            self.cache[colour] = index
        return index


def refine(palette, histogram, rounds):
    """Lloyd rounds: every entry moves to the mean of the colours nearest it."""
    palette = list(palette)
    wr, wg, wb = _WEIGHTS
    items = sorted(histogram.items())
    for _ in range(rounds):
        sums = [[0.0, 0.0, 0.0, 0.0] for _ in palette]
        for (r, g, b), n in items:
            best, index = None, 0
            for i, (pr, pg, pb) in enumerate(palette):
                d = wr * (pr - r) ** 2 + wg * (pg - g) ** 2 + wb * (pb - b) ** 2
                if best is None or d < best:
                    best, index = d, i
            s = sums[index]
            s[0] += r * n
            s[1] += g * n
            s[2] += b * n
            s[3] += n
        palette = [tuple(_to_byte(s[k] / s[3]) for k in range(3)) if s[3] else p
                   for p, s in zip(palette, sums)]
    return palette


def quantize(rows, keep=((255, 255, 255),)):
    """rows: [[(r, g, b) floats in 0..255]] top to bottom.

    Returns (palette, index rows): the palette lists colours in a fixed order,
    keep's colours among them wherever the picture uses them.
    """
    height, width = len(rows), len(rows[0])
    exact = [[tuple(_to_byte(v) for v in px) for px in row] for row in rows]
    histogram = {}
    for row in exact:
        for c in row:
            histogram[c] = histogram.get(c, 0) + 1

    if len(histogram) <= MAX_COLOURS:
        palette = sorted(histogram)
        lookup = {c: i for i, c in enumerate(palette)}
        return palette, [[lookup[c] for c in row] for row in exact]

    pinned = sorted(c for c in set(keep) if c in histogram)
    rest = {c: n for c, n in histogram.items() if c not in pinned}
    fitted = refine(median_cut(rest, MAX_COLOURS - len(pinned)), rest, REFINE_ROUNDS)
    palette = sorted(set(fitted) | set(pinned))
    pinned_index = {c: palette.index(c) for c in pinned}
    nearest = _Nearest(palette)

    out = []
    below = [[0.0, 0.0, 0.0] for _ in range(width + 2)]
    for y in range(height):
        here, below = below, [[0.0, 0.0, 0.0] for _ in range(width + 2)]
        # Serpentine: every other row runs right to left so the error does
        # not drift one way into diagonal streaks.
        step = 1 if y % 2 == 0 else -1
        xs = range(width) if step == 1 else range(width - 1, -1, -1)
        line = [0] * width
        for x in xs:
            fixed = pinned_index.get(exact[y][x])
            if fixed is not None:
                line[x] = fixed
                continue
            e = here[x + 1]
            want = [min(255.0, max(0.0, rows[y][x][k] + e[k])) for k in range(3)]
            index = nearest((_to_byte(want[0]), _to_byte(want[1]), _to_byte(want[2])))
            line[x] = index
            got = palette[index]
            for k in range(3):
                err = want[k] - got[k]
                here[x + 1 + step][k] += err * 7 / 16.0
                below[x + 1 - step][k] += err * 3 / 16.0
                below[x + 1][k] += err * 5 / 16.0
                below[x + 1 + step][k] += err * 1 / 16.0
        out.append(line)
    return palette, out
