"""Deterministic random numbers and value noise for the asset generators.

Everything here uses integer arithmetic and the IEEE operations + - * / and sqrt,
which are correctly rounded, so the output is the same bytes on every machine.
"""

import math

MASK64 = (1 << 64) - 1


def Mix64(x):
    """SplitMix64 finaliser: a well-spread 64-bit hash of a 64-bit integer."""
    x = (x + 0x9E3779B97F4A7C15) & MASK64
    x = ((x ^ (x >> 30)) * 0xBF58476D1CE4E5B9) & MASK64
    x = ((x ^ (x >> 27)) * 0x94D049BB133111EB) & MASK64
    return x ^ (x >> 31)


def NewRandom(seed):
    """A random stream: a one-element list holding the SplitMix64 state."""
    return [seed & MASK64]


def NextUnit(stream):
    """Next number of the stream, uniform in [0, 1), 53 bits."""
    stream[0] = (stream[0] + 0x9E3779B97F4A7C15) & MASK64
    return (Mix64(stream[0]) >> 11) / 9007199254740992.0


def NextInt(stream, low, high):
    """Next integer of the stream, uniform in [low, high]."""
    return low + int(NextUnit(stream) * (high - low + 1))


def LatticeValue(seed, ix, iy):
    """Value in [0, 1) of the lattice point (ix, iy): a hash, so the lattice never repeats."""
    key = (seed * 0x100000001B3) ^ ((ix & 0xFFFFFFFF) << 32) ^ (iy & 0xFFFFFFFF)
    return (Mix64(key & MASK64) >> 11) / 9007199254740992.0


def Smooth(t):
    return t * t * (3.0 - 2.0 * t)


def NoiseGrid(seed, wavelength):
    """Value noise at the given wavelength in pixels: its seed, wavelength and a cache of
    the lattice values computed so far."""
    return (seed, wavelength, {})


def GridValue(grid, ix, iy):
    seed, _, cache = grid
    key = (ix, iy)
    value = cache.get(key)
    if value is None:
        value = cache[key] = LatticeValue(seed, ix, iy)
    return value


def SampleGrid(grid, x, y):
    """Smoothly interpolated value noise in [0, 1) at pixel position (x, y)."""
    wavelength = grid[1]
    fx = x / wavelength
    fy = y / wavelength
    ix = math.floor(fx)
    iy = math.floor(fy)
    tx = Smooth(fx - ix)
    ty = Smooth(fy - iy)
    a = GridValue(grid, ix, iy)
    b = GridValue(grid, ix + 1, iy)
    c = GridValue(grid, ix, iy + 1)
    d = GridValue(grid, ix + 1, iy + 1)
    top = a + (b - a) * tx
    bottom = c + (d - c) * tx
    return top + (bottom - top) * ty


def Noise1D(seed, x, wavelength):
    """Smoothly interpolated one-dimensional value noise in [0, 1)."""
    fx = x / wavelength
    ix = math.floor(fx)
    t = Smooth(fx - ix)
    a = LatticeValue(seed, ix, 0)
    b = LatticeValue(seed, ix + 1, 0)
    return a + (b - a) * t


def Fractal1D(seed, x, wavelength, octaves):
    """Sum of octaves of one-dimensional noise, normalised to [0, 1)."""
    total = 0.0
    weight = 0.0
    amplitude = 1.0
    for octave in range(octaves):
        total += amplitude * Noise1D(seed + octave, x, wavelength)
        weight += amplitude
        amplitude *= 0.5
        wavelength *= 0.5
    return total / weight


def Clamp(value, low, high):
    return low if value < low else high if value > high else value


def SmoothStep(edge0, edge1, x):
    return Smooth(Clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0))


def Mix(a, b, t):
    return a + (b - a) * t


def MixColour(a, b, t):
    return (Mix(a[0], b[0], t), Mix(a[1], b[1], t), Mix(a[2], b[2], t))


def ToByte(value):
    """Rounds a channel value to a byte, halves upwards, clamped to 0..255."""
    return int(Clamp(math.floor(value + 0.5), 0, 255))
