#!/usr/bin/env python3
"""Tests of the icon maker (tools/release/icon.py): the square it takes, each source
pixel's share, a PNG of no chunk that varies between runs, unreadable pictures refused."""

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
        position += 12 + length
        assert data[position - 4:position] == struct.pack(">I", zlib.crc32(kind + chunks[kind]))
        kinds.append(kind)
    width, height = struct.unpack(">II", chunks[b"IHDR"][:8])
    raw, stride = zlib.decompress(chunks[b"IDAT"]), 1 + width * 3
    assert raw[::stride] == bytes(height), "no filter on any row"
    return kinds, width, height, [raw[row + 1:row + stride] for row in range(0, len(raw), stride)]


class IconTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.picture, self.icon = folder.name + "/picture.ppm", folder.name + "/icon.png"

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
