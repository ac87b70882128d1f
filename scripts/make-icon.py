#!/usr/bin/env python3
"""Draws the programs' icons: 32 x 32 pixels, 16 colours.

A compass rose (navy ring and ticks) with a red pointer turned to the north-east, the way the
rotator panel shows the antenna's heading. Vantro32's face is light cyan; the companions' faces
tell them apart: yellow for the rotator bridge, light green for the cluster bridge. Run it again
after changing the drawing:
    python3 scripts/make-icon.py app/vantro32.ico
    python3 scripts/make-icon.py bridges/rotator/win32/rotbridge.ico rotbridge
    python3 scripts/make-icon.py bridges/cluster/win32/clusterbridge.ico clusterbridge
"""
import math
import struct
import sys

SIZE = 32
# The standard 16-colour Windows palette (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
NAVY, GREY, RED, GREEN, YELLOW, CYAN = 4, 8, 9, 10, 11, 14
FACES = {"vantro32": CYAN, "rotbridge": YELLOW, "clusterbridge": GREEN}
TRANSPARENT = None


def inside_triangle(p, a, b, c):
    def side(u, v, w):
        return (u[0] - w[0]) * (v[1] - w[1]) - (v[0] - w[0]) * (u[1] - w[1])
    d1, d2, d3 = side(p, a, b), side(p, b, c), side(p, c, a)
    negative = d1 < 0 or d2 < 0 or d3 < 0
    positive = d1 > 0 or d2 > 0 or d3 > 0
    return not (negative and positive)


def draw(face):
    centre = (SIZE - 1) / 2
    pixels = [[TRANSPARENT] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            d = math.hypot(x - centre, y - centre)
            if d <= 13.0:
                pixels[y][x] = face
            elif d <= 15.2:
                pixels[y][x] = NAVY
    # Ticks at north, east, south and west, from the ring inwards.
    for step in range(10, 14):
        for a, b in ((0, -1), (1, 0), (0, 1), (-1, 0)):
            for w in (-0.5, 0.5):
                x = round(centre + a * step + (w if a == 0 else 0))
                y = round(centre + b * step + (w if b == 0 else 0))
                pixels[y][x] = NAVY
    # The pointer: a needle through the centre, red towards 45 degrees, grey behind.
    heading = math.radians(45)
    def point(distance, offset_degrees):
        angle = heading + math.radians(offset_degrees)
        return (centre + distance * math.sin(angle), centre - distance * math.cos(angle))
    tip, tail, left, right = point(12, 0), point(9, 180), point(3.2, -90), point(3.2, 90)
    for y in range(SIZE):
        for x in range(SIZE):
            if inside_triangle((x, y), tip, left, right):
                pixels[y][x] = RED
            elif inside_triangle((x, y), tail, left, right):
                pixels[y][x] = GREY
    for y in (15, 16):
        for x in (15, 16):
            pixels[y][x] = NAVY
    return pixels


def ico(pixels):
    xor_rows, and_rows = [], []
    for row in reversed(pixels):  # bottom-up
        nibbles = [0 if c is TRANSPARENT else c for c in row]
        xor_rows.append(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, SIZE, 2)))
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c is TRANSPARENT else 0)
        and_rows.append(bits.to_bytes(SIZE // 8, "big"))
    image = (
        struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
        + b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
        + b"".join(xor_rows)
        + b"".join(and_rows)
    )
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return header + entry + image


if __name__ == "__main__":
    program = sys.argv[2] if len(sys.argv) > 2 else "vantro32"
    with open(sys.argv[1] if len(sys.argv) > 1 else "app/vantro32.ico", "wb") as out:
        out.write(ico(draw(FACES[program])))
