"""The light spot: 256 x 256 cells, a round spot centred on row 128, column 128.

Profile, with d the distance in cells from the centre cell:
    value(d) = round(174 (1 - d/128) + 81 (1 - d/56)^2)   for d < 128
               (the second term only for d < 56)
    value(d) = 0                                         for d >= 128
Each cell inside the spot gets deterministic noise of -1, 0 or +1 level on top, so
cells at equal distance differ a little; the centre stays the only cell of 255.
Outside the spot about one cell in fifteen is 1, the rest 0.
"""

import math

from noise import NewRandom, NextInt, NextUnit

SIZE = 256
CENTRE = 128
SEED = 0x4C49474854  # "LIGHT"


def Profile(d):
    """The spot's value at distance d, before noise."""
    if d >= 128.0:
        return 0
    value = 174.0 * (1.0 - d / 128.0)
    if d < 56.0:
        near = 1.0 - d / 56.0
        value += 81.0 * near * near
    return math.floor(value + 0.5)


def GenerateLightMap():
    stream = NewRandom(SEED)
    cells = bytearray(SIZE * SIZE)
    for row in range(SIZE):
        for col in range(SIZE):
            dy = row - CENTRE
            dx = col - CENTRE
            d = math.sqrt(dx * dx + dy * dy)
            if row == CENTRE and col == CENTRE:
                value = 255
            elif d >= 128.0:
                value = 1 if NextUnit(stream) < 1.0 / 15.0 else 0
            else:
                value = max(0, min(254, Profile(d) + NextInt(stream, -1, 1)))
            cells[row * SIZE + col] = value
    return cells
