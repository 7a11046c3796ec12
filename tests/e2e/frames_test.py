#!/usr/bin/env python3
"""Tests of the frame comparison's command (python3 -m e2e.frames): a comparison that
passed too easily would hide every fault the screenshots are there to find."""

import os
import random
import subprocess
import sys
import tempfile
import unittest

# The folder that holds the e2e package, for the command's module search path.
TestsFolder = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
Tool = [sys.executable, "-m", "e2e.frames"]
Environment = dict(os.environ, PYTHONPATH=TestsFolder)
Width, Height = 320, 200


def Frame(phase):
    return random.Random(phase).randbytes(Width * Height * 3)


def WritePpm(path, width, height, pixels):
    with open(path, "wb") as file:
        file.write(b"P6\n# made by the test\n%d %d\n255\n" % (width, height) + pixels)


def Screen(frame, x, y, width=400, height=300, rows=Height):
    """A grey screen with the first rows of the frame at (x, y)."""
    screen = bytearray(b"\x40" * width * height * 3)
    for row in range(rows):
        start = ((y + row) * width + x) * 3
        screen[start : start + Width * 3] = frame[row * Width * 3 : (row + 1) * Width * 3]
    return screen


class CompareFrameTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temporary = tempfile.TemporaryDirectory()
        cls.frames = os.path.join(cls.temporary.name, "frames")
        os.mkdir(cls.frames)
        for phase in range(90):
            WritePpm(os.path.join(cls.frames, f"frame-{phase:02d}.ppm"), Width, Height,
                     Frame(phase))

    @classmethod
    def tearDownClass(cls):
        cls.temporary.cleanup()

    def Compare(self, screen, *arguments, frames=None):
        shot = os.path.join(self.temporary.name, "shot.ppm")
        WritePpm(shot, 400, 300, bytes(screen))
        result = subprocess.run(
            [*Tool, shot, *map(str, arguments), "--frames", frames or self.frames],
            capture_output=True, text=True, timeout=120, env=Environment)
        return result.returncode, result.stdout

    def testMatches(self):
        screen = Screen(Frame(17), 30, 40)
        for label, region, phase in [
            ("whole frame", (30, 40, 320, 200), 17),
            ("shorter client area: the frame's top rows", (30, 40, 320, 180), 17),
            ("larger client area: the frame's part only", (30, 40, 370, 260), 17),
        ]:
            with self.subTest(label):
                code, output = self.Compare(screen, *region)
                self.assertEqual(code, 0, output)
                self.assertIn(f"phase {phase} matches", output)

    def testMismatches(self):
        frame = Frame(17)
        changed = bytearray(Screen(frame, 30, 40))
        changed[((40 + 199) * 400 + 30 + 319) * 3 + 2] ^= 1  # last pixel, lowest blue bit
        for label, screen, region, message in [
            ("one pixel one bit off", changed, (30, 40, 320, 200),
             "1 of 64000 pixels differing, first at (319,199)"),
            ("region one pixel to the right", Screen(frame, 30, 40), (31, 40, 320, 200),
             "no frame matches"),
            ("no frame on the screen", bytearray(b"\x40" * 400 * 300 * 3), (30, 40, 320, 200),
             "no frame matches"),
        ]:
            with self.subTest(label):
                code, output = self.Compare(screen, *region)
                self.assertEqual(code, 1, output)
                self.assertIn(message, output)

    def testSixteenBitScreensKeepOnlyTheTopBitsOfEachChannel(self):
        frame = Frame(5)
        for label, layout, byte, flip, expected in [
            ("5-6-5: lowest 3 red bits ignored", "--rgb565", 0, 0x07, 0),
            ("5-6-5: lowest 2 green bits ignored", "--rgb565", 1, 0x03, 0),
            ("5-6-5: lowest 3 blue bits ignored", "--rgb565", 2, 0x07, 0),
            ("5-6-5: green bit 2 kept", "--rgb565", 1, 0x04, 1),
            ("5-6-5: red bit 3 kept", "--rgb565", 0, 0x08, 1),
            ("5-5-5: lowest 3 red bits ignored", "--rgb555", 0, 0x07, 0),
            ("5-5-5: lowest 3 green bits ignored", "--rgb555", 1, 0x07, 0),
            ("5-5-5: lowest 3 blue bits ignored", "--rgb555", 2, 0x07, 0),
            ("5-5-5: green bit 3 kept", "--rgb555", 1, 0x08, 1),
            ("5-5-5: blue bit 3 kept", "--rgb555", 2, 0x08, 1),
        ]:
            with self.subTest(label):
                screen = Screen(frame, 30, 40)
                screen[(40 * 400 + 30) * 3 + byte] ^= flip
                code, output = self.Compare(screen, 30, 40, 320, 200, layout)
                self.assertEqual(code, expected, output)

    def testUnusableInput(self):
        screen = Screen(Frame(1), 30, 40)
        for label, region, frames, message in [
            ("region past the screenshot", (100, 40, 320, 200), None, "is not on the"),
            ("no frames and no bumpframe", (30, 40, 320, 200),
             os.path.join(self.temporary.name, "none"), "build the linux preset first"),
        ]:
            with self.subTest(label):
                code, output = self.Compare(screen, *region, frames=frames)
                self.assertEqual(code, 2, output)
                self.assertIn(message, output)

    def testMakesMissingFramesWithBumpframe(self):
        frames = os.path.join(self.temporary.name, "made")
        bumpframe = os.path.join(self.temporary.name, "bumpframe")
        # Stands in for bumpframe TIME FILE: copies this test's frame for the time.
        with open(bumpframe, "w") as file:
            file.write(f'#!/bin/sh\nexec cp "{self.frames}/frame-$(printf %02d "$1").ppm" "$2"\n')
        os.chmod(bumpframe, 0o755)
        shot = os.path.join(self.temporary.name, "shot.ppm")
        WritePpm(shot, 400, 300, bytes(Screen(Frame(89), 0, 0)))
        result = subprocess.run([*Tool, shot, "0", "0", "320", "200", "--frames", frames,
                                 "--bumpframe", bumpframe],
                                capture_output=True, text=True, timeout=300, env=Environment)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn("phase 89 matches", result.stdout)
        self.assertEqual(len(os.listdir(frames)), 90)


if __name__ == "__main__":
    unittest.main()
