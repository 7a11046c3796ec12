"""The height field: 320 x 200 heights, a fine irregular relief with scattered high ridges.

Two steps:
1. A continuous relief: ridged value noise at wavelengths from 22 down to 2.5 pixels over
   a warped domain (fine ridges and hollows everywhere, hashed lattices, so nothing
   repeats), plus high ridges: the crest lines of a coarser ridged noise, raised only
   inside scattered patches.
2. Ranking: the pixels are sorted by that relief and each rank gets the height of a fixed
   distribution, snapped to 78 fixed levels. The distribution fixes the statistics exactly:
   heights 3 to 255, 78 distinct levels, median 38, three quarters at 63 or less, mean
   about 50. The relief only decides which pixel gets which height.
"""

from noise import Clamp, NoiseGrid, SampleGrid

WIDTH = 320
HEIGHT = 200
SEED = 0x52454C494546  # "RELIEF"

# Every height the field uses: 3..63 one by one, then 17 levels up to 255.
LEVELS = list(range(3, 64)) + [66, 70, 75, 81, 88, 96, 105, 115, 126, 138, 151, 165, 180,
                               196, 214, 234, 255]
assert len(LEVELS) == 78


def Ridged(value):
    """Turns noise in [0, 1) into a ridge line where the noise crosses its middle."""
    ridge = 1.0 - abs(2.0 * value - 1.0)
    return ridge * ridge


def ContinuousRelief():
    warpX = NoiseGrid(SEED + 1, 13.0)
    warpY = NoiseGrid(SEED + 2, 13.0)
    octaves = [(NoiseGrid(SEED + 10 + i, wavelength), weight)
               for i, (wavelength, weight) in
               enumerate([(22.0, 1.0), (11.0, 0.7), (5.0, 0.5), (2.5, 0.3)])]
    relief = [0.0] * (WIDTH * HEIGHT)
    for y in range(HEIGHT):
        for x in range(WIDTH):
            wx = x + 4.0 + 6.0 * SampleGrid(warpX, x, y)
            wy = y + 4.0 + 6.0 * SampleGrid(warpY, x, y)
            total = 0.0
            for grid, weight in octaves:
                total += weight * Ridged(SampleGrid(grid, wx, wy))
            relief[y * WIDTH + x] = total
    AddHighRidges(relief)
    return relief


def AddHighRidges(relief):
    """High ridges: the crest lines of a coarser ridged noise, raised only inside
    scattered patches, so they form short, branching, irregular ridges here and there."""
    crests = NoiseGrid(SEED + 30, 34.0)
    crestDetail = NoiseGrid(SEED + 31, 9.0)
    patches = NoiseGrid(SEED + 32, 40.0)
    for y in range(HEIGHT):
        for x in range(WIDTH):
            crest = Ridged(SampleGrid(crests, x, y) * 0.8 + SampleGrid(crestDetail, x, y) * 0.2)
            crest = crest * crest * crest * crest
            patch = SampleGrid(patches, x, y)
            patch = Clamp((patch - 0.45) * 5.0, 0.0, 1.0)
            index = y * WIDTH + x
            relief[index] = max(relief[index], 2.2 * crest * patch + relief[index] * 0.1 * patch)


def TargetHeight(u):
    """The height at quantile u in (0, 1) of the distribution, before snapping."""
    if u < 0.5:
        return 3.0 + 35.0 * (u / 0.5)
    if u < 0.75:
        return 38.0 + 25.0 * ((u - 0.5) / 0.25)
    v = (u - 0.75) / 0.25
    return 63.0 + 192.0 * v * v * v


def NearestLevel(height):
    best = LEVELS[0]
    for level in LEVELS:
        if abs(level - height) < abs(best - height):
            best = level
    return best


def GenerateHeightMap():
    relief = ContinuousRelief()
    count = WIDTH * HEIGHT
    order = sorted(range(count), key=lambda i: (relief[i], i))
    heights = bytearray(count)
    for rank, index in enumerate(order):
        heights[index] = NearestLevel(TargetHeight((rank + 0.5) / count))
    CheckStatistics(heights)
    return heights


def CheckStatistics(heights):
    ordered = sorted(heights)
    count = len(ordered)
    mean = sum(ordered) / count
    assert ordered[0] == 3 and ordered[-1] == 255, "range"
    assert len(set(ordered)) == 78, "levels"
    assert ordered[count // 2 - 1] == 38 and ordered[count // 2] == 38, "median"
    assert ordered[3 * count // 4 - 1] <= 63, "quartile"
    assert abs(mean - 50.0) <= 3.0, "mean %f" % mean
