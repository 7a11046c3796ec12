"""The effect's frames on a screenshot: which of the 90 frames a region shows, if any.

As a command, it checks that a region of a screenshot shows exactly one of them:

    python3 -m e2e.frames SHOT.ppm X Y WIDTH HEIGHT --frames DIR [--bumpframe PATH]
                          [--rgb565 | --rgb555]

The frames are the binary PPMs that `bumpframe TIME FILE` writes, one per light phase
(times 0 to 89; the effect repeats every 90 frames). They are kept in DIR as
frame-NN.ppm and made with bumpframe when missing. The region (screen pixels) is
compared with the top-left WIDTH x HEIGHT part of each frame, pixel for pixel; a region
larger than the 320 x 200 frame is compared on the frame's part only. With --rgb565 both
sides are first reduced to the 5-6-5 bits a 16-bit screen keeps, with --rgb555 to the 5-5-5
bits a 15-bit screen keeps.

Exit code 0 and the matching phase when a frame matches; 1 and the closest frame with
its first differing pixel otherwise; 2 for unusable input.
"""

import argparse
import os
import subprocess
import sys

FrameWidth = 320
FrameHeight = 200
Phases = 90


def ReadPpm(path, maxValue=255):
    """Returns (width, height, rgb bytes) of a binary PPM with 8-bit channels (maxValue 255),
    or with 16-bit ones, two bytes a channel, most significant first (maxValue 65535)."""
    with open(path, "rb") as file:
        data = file.read()
    fields = []
    position = 0
    while len(fields) < 4:
        while data[position : position + 1].isspace():
            position += 1
        if data[position : position + 1] == b"#":
            position = data.index(b"\n", position)
            continue
        end = position
        while not data[end : end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    magic, width, height = fields[0], int(fields[1]), int(fields[2])
    if magic != b"P6" or int(fields[3]) != maxValue:
        raise ValueError(f"{path}: not a binary PPM with channels up to {maxValue}")
    size = width * height * 3 * (2 if maxValue > 255 else 1)
    pixels = data[position + 1 : position + 1 + size]
    if len(pixels) != size:
        raise ValueError(f"{path}: truncated")
    return width, height, pixels


def FramePath(directory, phase):
    return os.path.join(directory, f"frame-{phase:02d}.ppm")


def MakeFrames(directory, bumpframe):
    """The reference frames, made where missing. Tests running side by side may make the
    same frame: each writes its own file and renames it into place."""
    os.makedirs(directory, exist_ok=True)
    for phase in range(Phases):
        path = FramePath(directory, phase)
        if os.path.exists(path):
            continue
        if not bumpframe or not os.access(bumpframe, os.X_OK):
            raise FileNotFoundError(
                f"{path} is missing and bumpframe ({bumpframe}) cannot make it: "
                "build the linux preset first"
            )
        partial = f"{path}.{os.getpid()}.part"
        subprocess.run([bumpframe, str(phase), partial], check=True, timeout=60)
        os.replace(partial, path)


def Rows(pixels, stride, x, y, width, height):
    return [pixels[(y + row) * stride + x * 3 : (y + row) * stride + (x + width) * 3]
            for row in range(height)]


def Reduced(row, mask):
    return (int.from_bytes(row, "big") & mask).to_bytes(len(row), "big")


def Rgb565Mask(width):
    """The bits of a row of WIDTH 8-bit RGB pixels that a 16-bit (5-6-5) screen keeps."""
    return int.from_bytes(bytes([0xF8, 0xFC, 0xF8] * width), "big")


def ScreenMask(width, rgb565, rgb555):
    """The bits of a row a screen keeps: 5-6-5, 5-5-5 (a 15-bit screen), or None for all."""
    if rgb565:
        return Rgb565Mask(width)
    if rgb555:
        return int.from_bytes(bytes([0xF8, 0xF8, 0xF8] * width), "big")
    return None


def SampledRows(pixels, stride, x, y, factor):
    """The 320 x 200 picture at (x, y) of a screen whose frame pixels are factor x factor
    blocks of equal pixels, as rows of frame pixels; None where a block is not uniform."""
    rows = []
    for row in range(FrameHeight):
        line = None
        for copy in range(factor):
            start = (y + row * factor + copy) * stride + x * 3
            screenRow = pixels[start:start + FrameWidth * factor * 3]
            if factor == 1:
                line = bytes(screenRow)
                break
            sampled = bytearray()
            for column in range(FrameWidth):
                block = screenRow[column * factor * 3:(column + 1) * factor * 3]
                if block != block[:3] * factor:
                    return None
                sampled += block[:3]
            if line is not None and sampled != line:
                return None
            line = bytes(sampled)
        rows.append(line)
    return rows


def MatchingPhase(rows, directory, rgb565=False, rgb555=False):
    """The phase of the frame in DIRECTORY whose top-left part equals the rows; None when
    none does. With rgb565 (rgb555) both are compared in the bits a 16-bit (15-bit) screen
    keeps."""
    width = len(rows[0]) // 3
    mask = ScreenMask(width, rgb565, rgb555)
    if mask is not None:
        rows = [Reduced(row, mask) for row in rows]
    for phase in range(Phases):
        _, _, frame = ReadPpm(FramePath(directory, phase))
        expected = Rows(frame, FrameWidth * 3, 0, 0, width, len(rows))
        if mask is not None:
            expected = [Reduced(row, mask) for row in expected]
        if expected == rows:
            return phase
    return None


def CompareRegion(shot, shotWidth, shotHeight, x, y, requestedWidth, requestedHeight,
                  directory, rgb565=False, rgb555=False):
    """Compares a region of a screenshot's pixels with the frames in DIRECTORY: (0, the
    matching phase) or (1, the closest frame and its first differing pixel) or (2, why
    the region cannot be compared), the second item as a line of text."""
    width = min(requestedWidth, FrameWidth)
    height = min(requestedHeight, FrameHeight)
    if x < 0 or y < 0 or width <= 0 or height <= 0 or x + width > shotWidth or \
            y + height > shotHeight:
        return 2, (f"region {width}x{height} at ({x},{y}) is not on the "
                   f"{shotWidth}x{shotHeight} screenshot")

    region = Rows(shot, shotWidth * 3, x, y, width, height)
    phase = MatchingPhase(region, directory, rgb565, rgb555)
    if phase is not None:
        return 0, f"frame phase {phase} matches the {width}x{height} region at ({x},{y})"

    # The closest frame: the one with the fewest differing rows.
    mask = ScreenMask(width, rgb565, rgb555)
    if mask is not None:
        region = [Reduced(row, mask) for row in region]
    closest = None  # (differing rows, phase, the frame's rows)
    for phase in range(Phases):
        _, _, frame = ReadPpm(FramePath(directory, phase))
        expected = Rows(frame, FrameWidth * 3, 0, 0, width, height)
        if mask is not None:
            expected = [Reduced(row, mask) for row in expected]
        differingRows = sum(1 for row in range(height) if expected[row] != region[row])
        if closest is None or differingRows < closest[0]:
            closest = (differingRows, phase, expected)
    _, phase, expected = closest
    differing = []
    for row in range(height):
        if expected[row] != region[row]:
            differing += [(column, row) for column in range(width)
                          if expected[row][column * 3 : column * 3 + 3] !=
                          region[row][column * 3 : column * 3 + 3]]
    column, row = differing[0]
    return 1, (f"no frame matches the {width}x{height} region at ({x},{y}); closest is phase "
               f"{phase} with {len(differing)} of {width * height} pixels differing, first at "
               f"({column},{row}): screen {region[row][column * 3 : column * 3 + 3].hex()} "
               f"frame {expected[row][column * 3 : column * 3 + 3].hex()}")


def Main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("shot")
    parser.add_argument("x", type=int)
    parser.add_argument("y", type=int)
    parser.add_argument("width", type=int)
    parser.add_argument("height", type=int)
    parser.add_argument("--frames", required=True)
    parser.add_argument("--bumpframe")
    bits = parser.add_mutually_exclusive_group()
    bits.add_argument("--rgb565", action="store_true")
    bits.add_argument("--rgb555", action="store_true")
    arguments = parser.parse_args()

    try:
        MakeFrames(arguments.frames, arguments.bumpframe)
        shotWidth, shotHeight, shot = ReadPpm(arguments.shot)
    except (OSError, ValueError, subprocess.SubprocessError) as error:
        print(f"e2e.frames: {error}")
        return 2
    code, text = CompareRegion(shot, shotWidth, shotHeight, arguments.x, arguments.y,
                               arguments.width, arguments.height, arguments.frames,
                               arguments.rgb565, arguments.rgb555)
    print(text)
    return code


if __name__ == "__main__":
    sys.exit(Main())
