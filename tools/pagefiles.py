#!/usr/bin/env python3
"""The web page's files made at build time, beside the program in the page's folder.

    pagefiles.py icons FOLDER BUMPFRAME
        icon-192.png and icon-512.png: the middle of the program's first frame, square
    pagefiles.py worker FOLDER TEMPLATE FILE...
        sw.js from TEMPLATE: the service worker that keeps FILE... for offline use, under a
        cache name made from their names and bytes, so that each release has its own
    pagefiles.py compress FOLDER FILE...
        FILE.gz and FILE.br beside each FILE, the same bytes from the same file

Every output depends only on its inputs' bytes (no names of folders, no times)."""

import gzip
import hashlib
import os
import struct
import subprocess
import sys
import tempfile
import zlib

IconSizes = (192, 512)
IconFrame = 1  # the light in the middle of the picture


def ReadPpm(path):
    """Width, height and RGB bytes of a binary PPM as bumpframe writes it."""
    with open(path, "rb") as file:
        data = file.read()
    magic, width, height, maximum = data.split(maxsplit=4)[:4]
    assert magic == b"P6" and maximum == b"255", "not a PPM of 8-bit colours"
    width, height = int(width), int(height)
    return width, height, data[len(data) - width * height * 3:]


def Png(size, rows):
    """A PNG of size x size RGB pixels from its rows of bytes."""
    def Chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body)))
    header = struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0)
    pixels = zlib.compress(b"".join(b"\0" + row for row in rows), 9)
    return (b"\x89PNG\r\n\x1a\n" + Chunk(b"IHDR", header) + Chunk(b"IDAT", pixels) +
            Chunk(b"IEND", b""))


def Icons(folder, bumpframe):
    with tempfile.TemporaryDirectory() as scratch:
        frame = os.path.join(scratch, "frame.ppm")
        subprocess.run([bumpframe, str(IconFrame), frame], check=True)
        width, height, rgb = ReadPpm(frame)
    side = min(width, height)
    left, top = (width - side) // 2, (height - side) // 2
    for size in IconSizes:
        # Each icon pixel the frame pixel under its middle.
        xs = [left + (2 * x + 1) * side // (2 * size) for x in range(size)]
        rows = []
        for y in range(size):
            line = (top + (2 * y + 1) * side // (2 * size)) * width
            rows.append(b"".join(rgb[(line + x) * 3:(line + x) * 3 + 3] for x in xs))
        with open(os.path.join(folder, f"icon-{size}.png"), "wb") as output:
            output.write(Png(size, rows))


def Worker(folder, template, names):
    digest = hashlib.sha256()
    for name in sorted(names):
        with open(os.path.join(folder, name), "rb") as file:
            data = file.read()
        digest.update(b"%s %d\n" % (name.encode(), len(data)) + data)
    with open(template, encoding="utf-8") as file:
        text = file.read()
    text = text.replace("@RELEASE@", digest.hexdigest()[:16])
    text = text.replace("@FILES@", ", ".join('"%s"' % name for name in sorted(names)))
    with open(os.path.join(folder, "sw.js"), "w", encoding="utf-8") as output:
        output.write(text)


def Compress(folder, names):
    for name in names:
        path = os.path.join(folder, name)
        with open(path, "rb") as file:
            data = file.read()
        # No name and no time in the header.
        with open(path + ".gz", "wb") as output:
            output.write(gzip.compress(data, compresslevel=9, mtime=0))
        subprocess.run(["brotli", "--force", "--quality=11", "--no-copy-stat", "--output=" +
                        path + ".br", path], check=True)


def Main(arguments):
    if len(arguments) >= 3 and arguments[0] == "icons":
        Icons(arguments[1], arguments[2])
    elif len(arguments) >= 4 and arguments[0] == "worker":
        Worker(arguments[1], arguments[2], arguments[3:])
    elif len(arguments) >= 3 and arguments[0] == "compress":
        Compress(arguments[1], arguments[2:])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(Main(sys.argv[1:]))
