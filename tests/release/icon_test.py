#!/usr/bin/env python3
"""Tests of the icon maker (tools/release/icon.py): the square it takes from the picture,
the shares of each source pixel in an icon pixel, a PNG of no chunk that varies from
run to run, and a picture it cannot read refused."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

Tool = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(
    __file__)))), "tools", "release", "icon.py")


def ReadPng(path):
    """(kinds of the chunks in order, width, height, RGB rows) of a PNG that icon.py wrote."""
    with open(path, "rb") as file:
        data = file.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    kinds, chunks, position = [], {}, 8
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        chunks[kind] = data[position + 8:position + 8 + length]
        crc = struct.unpack(">I", data[position + 8 + length:position + 12 + length])[0]
        assert crc == zlib.crc32(kind + chunks[kind]), f"{kind} chunk's CRC"
        kinds.append(kind)
        position += 12 + length
    width, height, depth, colour = struct.unpack(">IIBB", chunks[b"IHDR"][:10])
    assert (depth, colour) == (8, 2), "8-bit RGB"
    raw = zlib.decompress(chunks[b"IDAT"])
    stride = 1 + width * 3
    assert raw[::stride] == bytes(height), "no filter on any row"
    rows = [raw[row * stride + 1:(row + 1) * stride] for row in range(height)]
    return kinds, width, height, rows


class IconTest(unittest.TestCase):
    def setUp(self):
        self.temporary = tempfile.TemporaryDirectory()
        self.picture = os.path.join(self.temporary.name, "picture.ppm")
        self.icon = os.path.join(self.temporary.name, "icon.png")

    def tearDown(self):
        self.temporary.cleanup()

    def Icon(self, width, height, pixels, size, header=None):
        with open(self.picture, "wb") as file:
            file.write((header or b"P6\n# a comment\n%d %d\n255\n" % (width, height)) + pixels)
        return subprocess.run([sys.executable, Tool, self.picture, str(size), self.icon],
                              capture_output=True, text=True)

    def testResamplesTheMiddleSquare(self):
        # A 4 x 2 picture of one grey per column: the middle square is columns 1 and 2.
        picture = bytes([0, 0, 0, 100, 100, 100, 201, 201, 201, 255, 255, 255]) * 2
        for size, row in ((2, [100, 201]),  # the square as it is
                          (1, [151]),  # the mean of its pixels, rounded
                          (4, [100, 100, 201, 201]),  # each pixel twice
                          (3, [100, 151, 201])):  # the middle pixel half of each
            with self.subTest(size=size):
                self.assertEqual(self.Icon(4, 2, picture, size).returncode, 0)
                kinds, width, height, rows = ReadPng(self.icon)
                self.assertEqual((kinds, width, height),
                                 ([b"IHDR", b"IDAT", b"IEND"], size, size))
                self.assertEqual(rows, [bytes(value for value in row for _ in range(3))] * size)
        # A tall picture gives its middle rows; each channel is resampled apart.
        picture = bytes([1, 2, 3, 10, 20, 30, 40, 50, 60])
        self.assertEqual(self.Icon(1, 3, picture, 1).returncode, 0)
        self.assertEqual(ReadPng(self.icon)[3], [bytes([10, 20, 30])])

    def testRefusesPicturesItCannotRead(self):
        for label, header, pixels in (("not P6", b"P5\n1 1\n255\n", b"\0"),
                                      ("16-bit channels", b"P6\n1 1\n65535\n", b"\0" * 6),
                                      ("too few pixels", b"P6\n2 2\n255\n", b"\0" * 11),
                                      ("header cut short", b"P6\n2", b"")):
            with self.subTest(label):
                result = self.Icon(0, 0, pixels, 48, header=header)
                self.assertEqual(result.returncode, 1)
                self.assertIn("icon.py: " + self.picture, result.stderr)
                self.assertFalse(os.path.exists(self.icon))


if __name__ == "__main__":
    unittest.main()
