#!/usr/bin/env python3
"""Writes the message box's font table of the Linux screen layer.

    python3 tools/boxfont.py [OUTPUT]   (default: platform/linux/screen/ScreenBoxFont.cpp)

The glyphs of ASCII 32..126 come from the misc-fixed 6x13 font that Debian's xfonts-base
ships (/usr/share/fonts/X11/misc/6x13.pcf.gz, public domain: "Public domain font. Share
and enjoy."), read from its PCF file. Each glyph is 13 rows of 6 columns, the leftmost
column in the top bit of a row's byte. The same font file gives the same bytes on every
run; exit code 1 with a line on standard error when the font is missing or not of that
shape.
"""

import gzip
import os
import struct
import sys

FontPath = "/usr/share/fonts/X11/misc/6x13.pcf.gz"
Width, Height = 6, 13
First, Last = 32, 126

# PCF table types and format bits (the X server's pcf reader names them so).
Accelerators, Metrics, Bitmaps, Encodings, BdfAccelerators = 1 << 1, 1 << 2, 1 << 3, 1 << 5, 1 << 8
CompressedMetrics = 0x100
ByteOrderMsb, BitOrderMsb = 1 << 2, 1 << 3


class FontError(Exception):
    pass


class Table:
    """One table of the PCF file: its format word and values read in its byte order."""

    def __init__(self, data, offset):
        self.data = data
        self.format = struct.unpack_from("<I", data, offset)[0]
        self.order = ">" if self.format & ByteOrderMsb else "<"
        self.at = offset + 4

    def Read(self, kind):
        value = struct.unpack_from(self.order + kind, self.data, self.at)
        self.at += struct.calcsize(kind)
        return value if len(value) > 1 else value[0]


def Tables(data):
    if data[:4] != b"\x01fcp":
        raise FontError("not a PCF font")
    count = struct.unpack_from("<I", data, 4)[0]
    tables = {}
    for index in range(count):
        kind, _, _, offset = struct.unpack_from("<4I", data, 8 + 16 * index)
        tables[kind] = offset
    return tables


def FontAscent(data, tables):
    table = Table(data, tables.get(BdfAccelerators, tables.get(Accelerators)))
    table.Read("8B")  # the flags
    return table.Read("i")


def GlyphMetrics(data, offset):
    """(left bearing, right bearing, ascent, descent) of every glyph."""
    table = Table(data, offset)
    metrics = []
    if table.format & CompressedMetrics:
        for _ in range(table.Read("h")):
            left, right, _, ascent, descent = (value - 0x80 for value in table.Read("5B"))
            metrics.append((left, right, ascent, descent))
    else:
        for _ in range(table.Read("i")):
            left, right, _, ascent, descent, _ = table.Read("5hH")
            metrics.append((left, right, ascent, descent))
    return metrics


def GlyphBitmaps(data, offset, metrics):
    """The rows of every glyph, each a list of its bits from left to right."""
    table = Table(data, offset)
    count = table.Read("i")
    offsets = [table.Read("i") for _ in range(count)]
    sizes = table.Read("4i")
    start = table.at
    pad = 1 << (table.format & 3)
    unit = 1 << ((table.format >> 4) & 3)
    glyphs = []
    for index in range(count):
        left, right, ascent, descent = metrics[index]
        rowBytes = ((right - left + 8 * pad - 1) // (8 * pad)) * pad
        rows = []
        for row in range(ascent + descent):
            at = start + offsets[index] + row * rowBytes
            line = bytearray(data[at:at + rowBytes])
            if bool(table.format & ByteOrderMsb) != bool(table.format & BitOrderMsb):
                for base in range(0, rowBytes, unit):
                    line[base:base + unit] = line[base:base + unit][::-1]
            bits = []
            for byte in line:
                order = range(7, -1, -1) if table.format & BitOrderMsb else range(8)
                bits.extend((byte >> bit) & 1 for bit in order)
            rows.append(bits[:right - left])
        glyphs.append(rows)
    if sizes[table.format & 3] <= 0:
        raise FontError("no bitmap data")
    return glyphs


def GlyphIndices(data, offset):
    """The glyph index of each character code that has one."""
    table = Table(data, offset)
    firstColumn, lastColumn, firstRow, lastRow, _ = table.Read("5h")
    indices = {}
    for row in range(firstRow, lastRow + 1):
        for column in range(firstColumn, lastColumn + 1):
            index = table.Read("H")
            if index != 0xFFFF:
                indices[(row << 8) | column] = index
    return indices


def Cells(path):
    """The 13 row bytes of each character from First to Last."""
    data = gzip.open(path).read()
    tables = Tables(data)
    if not all(kind in tables for kind in (Metrics, Bitmaps, Encodings)) or \
            not (Accelerators in tables or BdfAccelerators in tables):
        raise FontError("tables missing")
    ascent = FontAscent(data, tables)
    metrics = GlyphMetrics(data, tables[Metrics])
    glyphs = GlyphBitmaps(data, tables[Bitmaps], metrics)
    indices = GlyphIndices(data, tables[Encodings])
    cells = []
    for code in range(First, Last + 1):
        if code not in indices:
            raise FontError(f"no glyph for {chr(code)!r}")
        left, right, glyphAscent, _ = metrics[indices[code]]
        cell = [0] * Height
        for row, bits in enumerate(glyphs[indices[code]]):
            y = ascent - glyphAscent + row
            for column, bit in enumerate(bits):
                x = left + column
                if not bit:
                    continue
                if not (0 <= x < Width and 0 <= y < Height):
                    raise FontError(f"{chr(code)!r} reaches outside its {Width}x{Height} cell")
                cell[y] |= 0x80 >> x
        cells.append(cell)
    return cells


def Source(cells):
    lines = [
        "// The message box's font: ASCII 32..126 of the misc-fixed 6x13 font of Debian's",
        "// xfonts-base (6x13.pcf.gz; public domain: \"Public domain font. Share and enjoy.\").",
        "// Written by tools/boxfont.py, which writes it again byte for byte: not to be edited.",
        "#include \"ScreenBox.h\"",
        "",
        "// clang-format off",
        f"static_assert(BoxFontWidth == {Width} && BoxFontHeight == {Height} &&",
        f"              BoxFontFirst == {First} && BoxFontLast == {Last});",
        "",
        "const uint8_t BoxFontGlyphs[BoxFontLast - BoxFontFirst + 1][BoxFontHeight] = {",
    ]
    for code, cell in zip(range(First, Last + 1), cells):
        rows = ", ".join(f"0x{row:02X}" for row in cell)
        name = "'\\''" if code == ord("'") else "'\\\\'" if code == ord("\\") else f"'{chr(code)}'"
        lines.append(f"    {{{rows}}}, // {name}")
    lines += ["};", "// clang-format on", ""]
    return "\n".join(lines)


def Main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        root, "platform", "linux", "screen", "ScreenBoxFont.cpp")
    try:
        text = Source(Cells(FontPath))
    except (OSError, FontError, struct.error) as error:
        print(f"boxfont: {FontPath}: {error}", file=sys.stderr)
        return 1
    with open(output, "w", newline="\n") as out:
        out.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(Main())
