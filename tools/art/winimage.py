"""Writers for the Windows icon (.ico) and cursor (.cur) containers and the images inside them,
plus a small anti-aliased rasteriser. Standard library only.

Pixels are lists of (r, g, b, a) tuples of 0..255 ints, straight (not premultiplied) alpha,
rows top-down, as the drawing code produces them; the writers turn them into the bottom-up
device-independent bitmaps the containers hold.
"""

import struct
import zlib


# ---------------------------------------------------------------------------------------------
# Rasteriser


class Canvas:
    """Square RGBA canvas, premultiplied floats, painted with shapes given as point tests."""

    def __init__(self, size):
        self.size = size
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def paint(self, inside, colour, bbox=None, samples=8):
        """Composites `colour` over the canvas where `inside(x, y)` holds.

        inside: point test in pixel units (pixel (i, j) covers [i, i+1) x [j, j+1)).
        colour: (r, g, b, a) or a function of the pixel centre (x, y) giving one.
        bbox: (x0, y0, x1, y1) in pixels bounding the shape; the whole canvas if None.
        samples: coverage is measured on samples x samples points per pixel.
        """
        n = self.size
        if bbox is None:
            bbox = (0, 0, n, n)
        x0 = max(0, int(bbox[0]))
        y0 = max(0, int(bbox[1]))
        x1 = min(n, int(-(-bbox[2] // 1)))
        y1 = min(n, int(-(-bbox[3] // 1)))
        offsets = [(k + 0.5) / samples for k in range(samples)]
        total = samples * samples
        for j in range(y0, y1):
            for i in range(x0, x1):
                hits = 0
                for oy in offsets:
                    y = j + oy
                    for ox in offsets:
                        if inside(i + ox, y):
                            hits += 1
                if not hits:
                    continue
                c = colour(i + 0.5, j + 0.5) if callable(colour) else colour
                a = c[3] / 255.0 * hits / total
                d = self.px[j * n + i]
                keep = 1.0 - a
                d[0] = c[0] / 255.0 * a + d[0] * keep
                d[1] = c[1] / 255.0 * a + d[1] * keep
                d[2] = c[2] / 255.0 * a + d[2] * keep
                d[3] = a + d[3] * keep

    def rgba(self):
        """The canvas as straight-alpha 8-bit pixels."""
        out = []
        for r, g, b, a in self.px:
            if a <= 0.0:
                out.append((0, 0, 0, 0))
                continue
            out.append((_byte(r / a), _byte(g / a), _byte(b / a), _byte(a)))
        return out


def _byte(v):
    return max(0, min(255, int(round(v * 255.0))))


def rounded_rect(x0, y0, x1, y1, r):
    """Point test of a rectangle with corners rounded to radius r (0 gives sharp corners)."""

    def inside(x, y):
        if x < x0 or x >= x1 or y < y0 or y >= y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        dx = x - cx
        dy = y - cy
        return dx * dx + dy * dy <= r * r

    return inside


def union(*tests):
    return lambda x, y: any(t(x, y) for t in tests)


def difference(outer, inner):
    return lambda x, y: outer(x, y) and not inner(x, y)


def vertical_gradient(top, bottom, y0, y1):
    """Colour function that blends `top` at y0 into `bottom` at y1."""

    def colour(_x, y):
        t = min(1.0, max(0.0, (y - y0) / float(y1 - y0)))
        return tuple(int(round(a + (b - a) * t)) for a, b in zip(top, bottom))

    return colour


# ---------------------------------------------------------------------------------------------
# Image encodings


def png(width, height, pixels):
    """A 32-bit RGBA PNG, each row filtered with whichever standard filter packs it best."""
    stride = width * 4
    raw = bytes(v for p in pixels for v in p)
    out = bytearray()
    prev = bytes(stride)
    for y in range(height):
        row = raw[y * stride:(y + 1) * stride]
        out += _best_filtered_row(row, prev)
        prev = row
    body = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", body) +
            _png_chunk(b"IDAT", zlib.compress(bytes(out), 9)) + _png_chunk(b"IEND", b""))


def _png_chunk(tag, data):
    crc = zlib.crc32(tag + data) & 0xFFFFFFFF
    return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", crc)


def _best_filtered_row(row, prev):
    def paeth(a, b, c):
        p = a + b - c
        pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
        if pa <= pb and pa <= pc:
            return a
        return b if pb <= pc else c

    candidates = []
    for kind in range(5):
        f = bytearray([kind])
        for i, v in enumerate(row):
            a = row[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            pred = (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]
            f.append((v - pred) & 0xFF)
        cost = sum(v if v < 128 else 256 - v for v in f[1:])
        candidates.append((cost, kind, bytes(f)))
    return min(candidates)[2]


def _stride(bits):
    return (bits + 31) // 32 * 4


def _and_mask(width, height, transparent):
    """1-bit mask, bottom-up, a set bit where the pixel is transparent."""
    stride = _stride(width)
    out = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            if transparent[y * width + x]:
                row[x >> 3] |= 0x80 >> (x & 7)
        out += row
    return bytes(out)


def _info_header(width, height, bits, image_bytes, colours):
    # Icon and cursor bitmaps give twice the height: colour image plus mask.
    return struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, image_bytes, 0, 0,
                       colours, 0)


def dib32(width, height, pixels):
    """A 32-bit BGRA icon bitmap with its mask."""
    xor = bytearray()
    for y in reversed(range(height)):
        for r, g, b, a in pixels[y * width:(y + 1) * width]:
            xor += bytes((b, g, r, a))
    mask = _and_mask(width, height, [p[3] == 0 for p in pixels])
    return _info_header(width, height, 32, len(xor) + len(mask), 0) + bytes(xor) + mask


def dib8(width, height, pixels):
    """A 256-colour icon bitmap: pixels under half coverage are masked out, the others keep
    their own colour (no background is assumed), quantised to at most 256 colours."""
    opaque = [p[3] >= 128 for p in pixels]
    colours = [p[:3] for p, o in zip(pixels, opaque) if o]
    palette = median_cut(colours, 256)
    lookup = {}
    indices = []
    for p, o in zip(pixels, opaque):
        if not o:
            indices.append(0)
            continue
        c = p[:3]
        if c not in lookup:
            lookup[c] = nearest(palette, c)
        indices.append(lookup[c])
    padded = palette + [(0, 0, 0)] * (256 - len(palette))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in padded)
    stride = _stride(width * 8)
    xor = bytearray()
    for y in reversed(range(height)):
        row = bytearray(indices[y * width:(y + 1) * width])
        xor += row + bytes(stride - width)
    mask = _and_mask(width, height, [not o for o in opaque])
    return (_info_header(width, height, 8, len(xor) + len(mask), 256) + table + bytes(xor) +
            mask)


def dib1(width, height, pixels):
    """A monochrome cursor bitmap. Pixels are 'black', 'white' or None (transparent)."""
    stride = _stride(width)
    xor = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            if pixels[y * width + x] == "white":
                row[x >> 3] |= 0x80 >> (x & 7)
        xor += row
    mask = _and_mask(width, height, [p is None for p in pixels])
    table = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    return _info_header(width, height, 1, len(xor) + len(mask), 2) + table + bytes(xor) + mask


def median_cut(colours, limit):
    """Palette of at most `limit` colours for a list of (r, g, b), weighted by frequency."""
    counts = {}
    for c in colours:
        counts[c] = counts.get(c, 0) + 1
    if len(counts) <= limit:
        return sorted(counts)
    boxes = [list(counts.items())]
    while len(boxes) < limit:
        # Split the box with the widest channel range, weighted by its pixel count.
        best = None
        for k, box in enumerate(boxes):
            if len(box) < 2:
                continue
            spans = [max(c[ch] for c, _ in box) - min(c[ch] for c, _ in box) for ch in range(3)]
            ch = spans.index(max(spans))
            score = spans[ch] * sum(n for _, n in box)
            if best is None or score > best[0]:
                best = (score, k, ch)
        if best is None or best[0] == 0:
            break
        _, k, ch = best
        box = sorted(boxes.pop(k), key=lambda e: e[0][ch])
        half = sum(n for _, n in box) / 2.0
        run = 0
        cut = 1
        for cut in range(1, len(box)):
            run += box[cut - 1][1]
            if run >= half:
                break
        boxes += [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        w = sum(n for _, n in box)
        palette.append(tuple(int(round(sum(c[ch] * n for c, n in box) / w)) for ch in range(3)))
    return sorted(set(palette))


def nearest(palette, c):
    return min(range(len(palette)),
               key=lambda k: sum((palette[k][ch] - c[ch]) ** 2 for ch in range(3)))


# ---------------------------------------------------------------------------------------------
# Containers


def icon_file(images):
    """.ico from a list of (size, bits per pixel, encoded image)."""
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = len(head) + 16 * len(images)
    entries = b""
    blobs = b""
    for size, bits, data in images:
        colours = 0 if bits >= 8 else 1 << bits
        entries += struct.pack("<BBBBHHII", size & 0xFF, size & 0xFF, colours, 0, 1, bits,
                               len(data), offset)
        offset += len(data)
        blobs += data
    return head + entries + blobs


def cursor_file(images):
    """.cur from a list of (size, hot spot x, hot spot y, encoded image)."""
    head = struct.pack("<HHH", 0, 2, len(images))
    offset = len(head) + 16 * len(images)
    entries = b""
    blobs = b""
    for size, hot_x, hot_y, data in images:
        entries += struct.pack("<BBBBHHII", size & 0xFF, size & 0xFF, 0, 0, hot_x, hot_y,
                               len(data), offset)
        offset += len(data)
        blobs += data
    return head + entries + blobs
