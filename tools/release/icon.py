#!/usr/bin/env python3
"""Writes the desktop icon: the middle square of a binary PPM picture (P6, maxval 255),
resampled to SIZE x SIZE by the share of each source pixel's area that falls into each
icon pixel, as an RGB PNG of no other chunk than its header, data and end, so that one
picture gives the same bytes on every run.

    icon.py PICTURE.ppm SIZE ICON.png"""

import struct
import sys
import zlib


class PictureError(Exception):
    pass


def ReadPpm(path):
    """(width, height, bytes of RGB rows) of a P6 picture whose maxval is 255."""
    with open(path, "rb") as source:
        data = source.read()
    fields, position = [], 0
    while len(fields) < 4:
        while position < len(data) and data[position:position + 1].isspace():
            position += 1
        if data[position:position + 1] == b"#":
            position = data.find(b"\n", position) + 1 or len(data)
            continue
        start = position
        while position < len(data) and not data[position:position + 1].isspace():
            position += 1
        if start == position:
            raise PictureError(f"{path}: the PPM header ends early")
        fields.append(data[start:position])
    if fields[0] != b"P6" or not all(field.isdigit() for field in fields[1:]):
        raise PictureError(f"{path}: not a binary PPM picture")
    width, height, maxValue = (int(field) for field in fields[1:])
    pixels = data[position + 1:]
    if maxValue != 255 or width < 1 or height < 1 or len(pixels) < width * height * 3:
        raise PictureError(f"{path}: not a {width} x {height} picture of 8-bit channels")
    return width, height, pixels[:width * height * 3]


def Weights(source, size):
    """For each of size icon pixels, the (source pixel, share) pairs that cover it, the
    shares adding up to 1."""
    scale = source / size
    weights = []
    for index in range(size):
        start, end = index * scale, (index + 1) * scale
        pairs = []
        pixel = int(start)
        while pixel < end and pixel < source:
            covered = min(end, pixel + 1) - max(start, pixel)
            if covered > 0:
                pairs.append((pixel, covered / scale))
            pixel += 1
        weights.append(pairs)
    return weights


def Resample(width, height, pixels, size):
    """The middle square of the picture at size x size, as RGB rows."""
    side = min(width, height)
    left, top = (width - side) // 2, (height - side) // 2
    weights = Weights(side, size)
    # Across each source row of the square first, then down the columns.
    across = []
    for y in range(top, top + side):
        row = pixels[(y * width + left) * 3:(y * width + left + side) * 3]
        across.append([[sum(row[x * 3 + c] * share for x, share in pairs) for c in range(3)]
                       for pairs in weights])
    rows = []
    for pairs in weights:
        row = bytearray()
        for x in range(size):
            for c in range(3):
                value = sum(across[y][x][c] * share for y, share in pairs)
                row.append(min(255, max(0, int(value + 0.5))))
        rows.append(bytes(row))
    return rows


def Chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def WritePng(path, size, rows):
    header = struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0)  # 8-bit RGB, no interlace
    data = zlib.compress(b"".join(b"\0" + row for row in rows), 9)  # filter 0 on each row
    with open(path, "wb") as output:
        output.write(b"\x89PNG\r\n\x1a\n" + Chunk(b"IHDR", header) + Chunk(b"IDAT", data) +
                     Chunk(b"IEND", b""))


def Main(arguments):
    if len(arguments) != 3 or not arguments[1].isdigit() or int(arguments[1]) < 1:
        print(__doc__, file=sys.stderr)
        return 2
    picture, size, icon = arguments[0], int(arguments[1]), arguments[2]
    try:
        width, height, pixels = ReadPpm(picture)
    except (OSError, PictureError) as error:
        print(f"icon.py: {error}", file=sys.stderr)
        return 1
    WritePng(icon, size, Resample(width, height, pixels, size))
    return 0


if __name__ == "__main__":
    sys.exit(Main(sys.argv[1:]))
