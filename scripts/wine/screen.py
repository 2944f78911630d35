"""Screenshots of an X display as plain RGB pixels, and a few ways to read them."""

import struct
import zlib
from collections import Counter


class Image:
    """Packed 8-bit RGB rows, top row first."""

    def __init__(self, width, height, rgb):
        assert len(rgb) == width * height * 3, "pixel data does not match the size"
        self.width = width
        self.height = height
        self.rgb = bytes(rgb)

    def __repr__(self):
        common = ", ".join(f"{c}×{n}" for c, n in self.colours().most_common(3))
        return f"<Image {self.width}x{self.height}, commonest {common}>"

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def row(self, y, x=0, width=None):
        width = self.width - x if width is None else width
        i = (y * self.width + x) * 3
        return self.rgb[i:i + width * 3]

    def crop(self, x, y, width, height):
        x0, y0 = max(x, 0), max(y, 0)
        x1, y1 = min(x + width, self.width), min(y + height, self.height)
        if x1 <= x0 or y1 <= y0:
            return Image(0, 0, b"")
        return Image(x1 - x0, y1 - y0, b"".join(self.row(yy, x0, x1 - x0) for yy in range(y0, y1)))

    def colours(self):
        """How often each colour occurs."""
        rgb = self.rgb
        return Counter(rgb[i:i + 3] for i in range(0, len(rgb), 3))

    def positionsOf(self, colour):
        """(x, y) of every pixel of exactly this (r, g, b) colour."""
        needle = bytes(colour)
        found = []
        for y in range(self.height):
            row = self.row(y)
            at = row.find(needle)
            while at >= 0:
                if at % 3 == 0:
                    found.append((at // 3, y))
                    at = row.find(needle, at + 3)
                else:
                    at = row.find(needle, at + 1)
        return found

    def count(self, colour):
        return len(self.positionsOf(colour))

    def differingPixels(self, colour, limit=None):
        """(x, y) of the pixels not of this colour, at most `limit` of them.

        Rows of only that colour are skipped at C speed, so a mostly plain
        screen is read quickly.
        """
        plain = bytes(colour) * self.width
        pixel = bytes(colour)
        found = []
        for y in range(self.height):
            row = self.row(y)
            if row == plain:
                continue
            for x in range(self.width):
                if row[3 * x:3 * x + 3] != pixel:
                    found.append((x, y))
                    if limit is not None and len(found) >= limit:
                        return found
        return found

    def savePng(self, path):
        raw = b"".join(b"\0" + self.row(y) for y in range(self.height))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n")
            out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)))
            out.write(chunk(b"IDAT", zlib.compress(raw, 6)))
            out.write(chunk(b"IEND", b""))


def parsePpm(data):
    """A binary PPM (P6, maxval 255) as an Image."""
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    magic, width, height, maxval = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
    if magic != b"P6" or maxval != 255:
        raise ValueError(f"not an 8-bit P6 picture: {magic!r} maxval {maxval}")
    pixels = data[pos + 1:pos + 1 + width * height * 3]
    return Image(width, height, pixels)


def capture(display):
    """The whole screen as the user sees it."""
    done = display.run("import", "-window", "root", "-depth", "8", "ppm:-", timeout=60)
    return parsePpm(done.stdout)


def components(points):
    """Groups of 8-connected points; each group as its bounding box (x, y, width, height) and size."""
    remaining = set(points)
    groups = []
    while remaining:
        seed = remaining.pop()
        stack = [seed]
        x0 = x1 = seed[0]
        y0 = y1 = seed[1]
        size = 0
        while stack:
            x, y = stack.pop()
            size += 1
            x0, x1, y0, y1 = min(x0, x), max(x1, x), min(y0, y), max(y1, y)
            for dx in (-1, 0, 1):
                for dy in (-1, 0, 1):
                    near = (x + dx, y + dy)
                    if near in remaining:
                        remaining.remove(near)
                        stack.append(near)
        groups.append(((x0, y0, x1 - x0 + 1, y1 - y0 + 1), size))
    return groups
