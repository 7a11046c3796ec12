#!/usr/bin/env python3
"""Writes the effect's three stored tables.

    python3 tools/assetgen/generate.py [OUTPUT_DIR]     (default: effect/assets)

picture.ppm   P6 320 x 200, maxval 255: the colour picture (picture.py)
heightmap.pgm P5 320 x 200, maxval 255: the relief (heightmap.py)
lightmap.pgm  P5 256 x 256, maxval 255: the light spot (lightmap.py)

Every generator has a fixed seed and uses only exactly rounded arithmetic, so each run
writes the same bytes.
"""

import os
import sys

sys.dont_write_bytecode = True  # leave no cache files in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from heightmap import GenerateHeightMap  # noqa: E402
from lightmap import GenerateLightMap  # noqa: E402
from picture import GeneratePicture  # noqa: E402


def WriteNetpbm(path, magic, width, height, data):
    with open(path, "wb") as out:
        out.write(b"%s\n%d %d\n255\n" % (magic, width, height))
        out.write(data)


def Main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "effect", "assets")
    os.makedirs(output, exist_ok=True)
    WriteNetpbm(os.path.join(output, "picture.ppm"), b"P6", 320, 200, GeneratePicture())
    WriteNetpbm(os.path.join(output, "heightmap.pgm"), b"P5", 320, 200, GenerateHeightMap())
    WriteNetpbm(os.path.join(output, "lightmap.pgm"), b"P5", 256, 256, GenerateLightMap())


if __name__ == "__main__":
    Main()
