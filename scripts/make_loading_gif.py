#!/usr/bin/env python3
"""Writes resources/startup/loading.gif, the loading animation.

A 16 x 16 GIF89a on a transparent background that loops for ever: a ring of eight dots in
shades of blue whose darkest dot moves on by one place per frame. Eight frames, delay 0.
Pure Python, with its own LZW encoder."""
import math
import pathlib
import struct
import sys

SIZE = 16
DOTS = 8
RING_RADIUS = 5.0
CENTRE = 8  # dots of 3 x 3 pixels need a whole-pixel centre

# Index 0 is the transparent background; 1..8 run from the darkest blue to the palest; 9..16
# are the same shades half-way to white, for the corners that round each dot off.
SHADES = [
    (0x0B, 0x3D, 0x91), (0x1A, 0x56, 0xB8), (0x2E, 0x6F, 0xD4), (0x4A, 0x87, 0xE0),
    (0x6C, 0x9F, 0xE8), (0x8F, 0xB7, 0xEF), (0xB1, 0xCD, 0xF5), (0xD2, 0xE2, 0xFA),
]
TRANSPARENT = 0
FULL = 1
CORNER = FULL + len(SHADES)
PALETTE_BITS = 5  # the table size must be a power of two: 1 + 8 + 8 colours need 32 entries


def palette():
    corners = [tuple((c + 0xFF) // 2 for c in rgb) for rgb in SHADES]
    colours = [(0xFF, 0xFF, 0xFF)] + SHADES + corners
    return colours + [(0, 0, 0)] * ((1 << PALETTE_BITS) - len(colours))


def dot_centres():
    # Clockwise from the top.
    for i in range(DOTS):
        angle = -math.pi / 2 + i * 2 * math.pi / DOTS
        yield (round(CENTRE + RING_RADIUS * math.cos(angle)),
               round(CENTRE + RING_RADIUS * math.sin(angle)))


def frame_pixels(frame):
    pixels = [TRANSPARENT] * (SIZE * SIZE)
    for i, (cx, cy) in enumerate(dot_centres()):
        shade = (frame - i) % DOTS
        for dy in (-1, 0, 1):
            for dx in (-1, 0, 1):
                corner = dx != 0 and dy != 0
                pixels[(cy + dy) * SIZE + cx + dx] = (CORNER if corner else FULL) + shade
    return pixels


class BitWriter:
    def __init__(self):
        self.data = bytearray()
        self.acc = 0
        self.count = 0

    def write(self, code, width):
        self.acc |= code << self.count
        self.count += width
        while self.count >= 8:
            self.data.append(self.acc & 0xFF)
            self.acc >>= 8
            self.count -= 8

    def flush(self):
        if self.count:
            self.data.append(self.acc & 0xFF)
        self.acc = self.count = 0
        return bytes(self.data)


def lzw_encode(indices, min_code_size):
    clear = 1 << min_code_size
    end = clear + 1
    out = BitWriter()

    def reset():
        return {}, min_code_size + 1, end + 1

    table, width, next_code = reset()
    out.write(clear, width)

    def emit(code):
        nonlocal width
        out.write(code, width)
        # The decoder widens its codes as soon as its next free code no longer fits.
        if next_code >= (1 << width) and width < 12:
            width += 1

    prefix = indices[0]
    for k in indices[1:]:
        key = (prefix, k)
        if key in table:
            prefix = table[key]
            continue
        emit(prefix)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
        else:
            out.write(clear, width)
            table, width, next_code = reset()
        prefix = k
    emit(prefix)
    out.write(end, width)
    return out.flush()


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def build():
    out = bytearray(b"GIF89a")
    packed = 0x80 | (0x07 << 4) | (PALETTE_BITS - 1)
    out += struct.pack("<HHBBB", SIZE, SIZE, packed, TRANSPARENT, 0)
    for r, g, b in palette():
        out += bytes((r, g, b))
    # Loop for ever.
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01" + struct.pack("<H", 0) + b"\x00"
    for frame in range(DOTS):
        # Restore to background after each frame; transparent index; no delay value.
        out += b"\x21\xF9\x04" + bytes((0x08 | 0x01,)) + struct.pack("<H", 0)
        out += bytes((TRANSPARENT, 0))
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
        out.append(PALETTE_BITS)
        out += sub_blocks(lzw_encode(frame_pixels(frame), PALETTE_BITS))
    out.append(0x3B)
    return bytes(out)


def main():
    data = build()
    target = pathlib.Path(__file__).resolve().parent.parent / "resources" / "startup" / "loading.gif"
    if "--check" in sys.argv:
        print(len(data), "bytes")
        return
    target.parent.mkdir(parents=True, exist_ok=True)
    target.write_bytes(data)
    print(target, len(data), "bytes")


if __name__ == "__main__":
    main()
