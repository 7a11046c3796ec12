"""The picture: a 320 x 200 evening landscape drawn from noise.

Layers, back to front: a sky running from night blue to sunset orange with a low sun and
its glow, bands of lit clouds, a far mountain range with snow on its peaks, nearer
wooded hills with conifers, a lake that mirrors all of that with ripples and the sun's
glitter, and a meadow with grass and scattered flowers in the foreground.
"""

import math

from noise import (Clamp, Fractal1D, MixColour, NewRandom, NextInt, NextUnit, Noise1D,
                   NoiseGrid, SampleGrid, SmoothStep, ToByte)

WIDTH = 320
HEIGHT = 200
HORIZON = 118  # first row of the lake
SEED = 0x4C414E44  # "LAND"
SUN_X = 232.0
SUN_Y = 60.0
SUN_RADIUS = 11.0

SKY_STOPS = [
    (0.00, (14, 18, 62)),
    (0.40, (70, 48, 128)),
    (0.70, (196, 86, 118)),
    (0.88, (246, 146, 88)),
    (1.00, (255, 204, 120)),
]


def SkyGradient(y):
    t = y / HORIZON
    for (t0, c0), (t1, c1) in zip(SKY_STOPS, SKY_STOPS[1:]):
        if t <= t1:
            return MixColour(c0, c1, (t - t0) / (t1 - t0))
    return SKY_STOPS[-1][1]


def Grids():
    grids = {}
    grids["cloud"] = NoiseGrid(SEED + 1, 40.0)
    grids["cloudFine"] = NoiseGrid(SEED + 2, 12.0)
    grids["cloudDetail"] = NoiseGrid(SEED + 3, 4.0)
    grids["rock"] = NoiseGrid(SEED + 4, 6.0)
    grids["rockFine"] = NoiseGrid(SEED + 5, 2.0)
    grids["forest"] = NoiseGrid(SEED + 6, 3.0)
    grids["ripple"] = NoiseGrid(SEED + 7, 5.0)
    grids["grass"] = NoiseGrid(SEED + 8, 3.0)
    grids["grassPatch"] = NoiseGrid(SEED + 9, 24.0)
    return grids


def Sky(grids, x, y):
    colour = SkyGradient(y)
    # Glow around the sun, then the sun's disc.
    dx = x - SUN_X
    dy = y - SUN_Y
    distance = math.sqrt(dx * dx + dy * dy)
    glow = Clamp(1.0 - distance / 110.0, 0.0, 1.0)
    glow = glow * glow * glow
    colour = MixColour(colour, (255, 214, 150), glow * 0.8)
    # Clouds: horizontal bands, denser towards the horizon, lit by the sun from below.
    band = SampleGrid(grids["cloud"], x, y * 3.0 % (HEIGHT + 4))
    detail = SampleGrid(grids["cloudFine"], x, y * 2.0 % (HEIGHT + 4))
    fine = SampleGrid(grids["cloudDetail"], x, y)
    density = band * 0.6 + detail * 0.3 + fine * 0.1
    cover = SmoothStep(0.52, 0.70, density) * SmoothStep(8.0, 40.0, y)
    if cover > 0.0:
        lit = Clamp(0.35 + glow * 1.5 + (y / HORIZON) * 0.4 - fine * 0.3, 0.0, 1.0)
        cloud = MixColour((92, 54, 104), (255, 170, 128), lit)
        colour = MixColour(colour, cloud, cover * 0.9)
    if distance < SUN_RADIUS + 1.0:
        colour = MixColour(colour, (255, 250, 222), Clamp(SUN_RADIUS + 1.0 - distance, 0.0, 1.0))
    return colour


def FarRidge(x):
    """Top row of the far mountains at column x."""
    # Ridged octaves: sharp peaks and notches at every scale.
    height = 0.0
    amplitude = 1.0
    wavelength = 110.0
    for octave in range(6):
        height += amplitude * (1.0 - abs(2.0 * Noise1D(SEED + 20 + octave, x, wavelength) - 1.0))
        amplitude *= 0.45
        wavelength *= 0.42
    return HORIZON - 8.0 - 40.0 * height


def NearRidge(x):
    """Top row of the wooded hills at column x."""
    return HORIZON - 6.0 - 22.0 * Fractal1D(SEED + 30, x, 70.0, 5)


def Mountain(grids, x, y, top):
    slope = (FarRidge(x + 4.0) - FarRidge(x - 4.0)) * 0.25
    # Faces turned towards the sun (to the right) are lit, the others in shade.
    light = Clamp(0.5 + slope * 0.35, 0.1, 1.0)
    strata = SampleGrid(grids["rock"], x, y * 1.5 + x * 0.3) * 0.6 + SampleGrid(grids["rockFine"], x, y) * 0.4
    depth = Clamp((y - top) / 40.0, 0.0, 1.0)
    shade = MixColour((62, 52, 112), (168, 116, 150), light)
    colour = MixColour(shade, (54, 50, 96), depth * 0.5)
    colour = MixColour(colour, (30, 26, 60), (1.0 - strata) * 0.35)
    # Snow on the high parts, ragged at its lower edge.
    snowLine = top + 6.0 + 10.0 * strata
    if top < HORIZON - 44.0 and y < snowLine:
        snow = MixColour((150, 130, 190), (255, 226, 232), light)
        colour = MixColour(colour, snow, SmoothStep(snowLine, snowLine - 3.0, y))
    # Haze towards the foot of the range.
    return MixColour(colour, (200, 120, 130), SmoothStep(HORIZON - 30.0, HORIZON, y) * 0.45)


def Hills(grids, x, y, top):
    texture = SampleGrid(grids["forest"], x, y) * 0.7 + SampleGrid(grids["rockFine"], x, y) * 0.3
    colour = MixColour((22, 58, 48), (58, 100, 62), texture)
    # The evening light grazes the crest.
    rim = SmoothStep(top + 4.0, top, y)
    return MixColour(colour, (190, 130, 80), rim * 0.6)


def PlaceTrees(stream):
    trees = []
    for _ in range(46):
        x = NextUnit(stream) * WIDTH
        base = NearRidge(x) + 3.0 + NextUnit(stream) * (HORIZON - NearRidge(x) - 2.0)
        height = 9.0 + NextUnit(stream) * 14.0
        trees.append((x, base, height, 0.22 + NextUnit(stream) * 0.1))
    trees.sort(key=lambda tree: tree[1])
    return trees


def Tree(grids, trees, x, y):
    """Colour of the nearest conifer covering (x, y), or None."""
    found = None
    for tx, base, height, spread in trees:
        if base - height <= y <= base:
            fromTop = y - (base - height)
            # Jagged branches: the half-width grows down the tree with a saw-tooth.
            tier = (fromTop % 4.0) / 4.0
            halfWidth = fromTop * spread * (0.75 + 0.35 * tier) + 0.5
            if abs(x - tx) <= halfWidth:
                lit = Clamp(0.5 + (x - tx) / (halfWidth + 1.0) * 0.5, 0.0, 1.0)
                needles = SampleGrid(grids["forest"], x, y * 1.5)
                found = MixColour((8, 30, 22), (52, 86, 40), lit * 0.7 + needles * 0.3)
            elif abs(x - tx) < 0.8 and y > base - 2.0:
                found = (48, 30, 20)
    return found


def Scene(grids, trees, x, y):
    """What lies above the lake at (x, y): sky, mountains, hills or trees."""
    colour = Sky(grids, x, y)
    top = FarRidge(x)
    if y >= top:
        colour = Mountain(grids, x, y, top)
    near = NearRidge(x)
    if y >= near:
        colour = Hills(grids, x, y, near)
    tree = Tree(grids, trees, x, y)
    return tree if tree is not None else colour


def ShoreRow(x):
    """First row of the meadow at column x."""
    return 160.0 + 12.0 * Fractal1D(SEED + 40, x, 60.0, 4) - x * 0.02


def Lake(grids, above, x, y):
    # Mirror image of the scene above the horizon, shifted sideways by the ripples.
    ripple = SampleGrid(grids["ripple"], x * 0.5, y * 2.0) - 0.5
    sx = int(Clamp(math.floor(x + ripple * (y - HORIZON + 4) * 0.35 + 0.5), 0, WIDTH - 1))
    sy = int(Clamp(2 * HORIZON - 1 - y, 0, HORIZON - 1))
    colour = MixColour(above[sy][sx], (20, 36, 70), 0.25 + (y - HORIZON) / 180.0)
    # Glitter of the sun on the water, narrower near the horizon.
    spread = 6.0 + (y - HORIZON) * 0.9
    if abs(x - SUN_X) < spread and ripple > 0.18:
        colour = MixColour(colour, (255, 236, 180), (1.0 - abs(x - SUN_X) / spread) * 0.9)
    # A thin bright line where the ripples catch the sky.
    if ripple < -0.34:
        colour = MixColour(colour, (230, 150, 130), 0.3)
    return colour


def Meadow(grids, x, y, shore):
    depth = Clamp((y - shore) / (HEIGHT - shore + 1.0), 0.0, 1.0)
    blades = SampleGrid(grids["grass"], x * 1.4 + y * 0.2, y * 0.3)
    patch = SampleGrid(grids["grassPatch"], x, y)
    base = MixColour((120, 140, 48), (56, 112, 30), depth)
    base = MixColour(base, (150, 130, 50), patch * 0.4)
    colour = MixColour((base[0] * 0.45, base[1] * 0.5, base[2] * 0.45), base, blades)
    # The low sun warms the meadow's far edge.
    return MixColour(colour, (230, 150, 80), (1.0 - depth) * 0.3)


def AddFlowers(stream, pixels):
    palette = [(226, 40, 52), (252, 214, 48), (244, 242, 230), (156, 72, 210), (250, 120, 170)]
    for _ in range(520):
        x = NextInt(stream, 0, WIDTH - 1)
        y = NextInt(stream, 0, HEIGHT - 1)
        if y < ShoreRow(x) + 3.0:
            continue
        colour = palette[NextInt(stream, 0, len(palette) - 1)]
        size = 1 if y < 178 else 2
        for py in range(y, min(y + size, HEIGHT)):
            for px in range(x, min(x + size, WIDTH)):
                pixels[py][px] = colour
        if y + size < HEIGHT:
            pixels[y + size][x] = (30, 70, 20)  # stem


def GeneratePicture():
    grids = Grids()
    trees = PlaceTrees(NewRandom(SEED + 50))
    above = [[Scene(grids, trees, x, y) for x in range(WIDTH)] for y in range(HORIZON)]
    pixels = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            shore = ShoreRow(x)
            if y < HORIZON:
                row.append(above[y][x])
            elif y < shore:
                row.append(Lake(grids, above, x, y))
            else:
                row.append(Meadow(grids, x, y, shore))
        pixels.append(row)
    AddFlowers(NewRandom(SEED + 60), pixels)
    data = bytearray()
    for row in pixels:
        for colour in row:
            data += bytes(ToByte(channel) for channel in colour)
    return data
