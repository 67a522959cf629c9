#!/usr/bin/env python3
"""Writes the plugin's image resources (tab icon, splitter cursors, background
bitmap) into the folder given on the command line. Drawn here, pixel by pixel."""
import struct
import sys
from pathlib import Path


def dib(width, height, pixels, mask_rows=None):
    """A 32-bit BITMAPINFOHEADER + BGRA rows (bottom-up) + AND mask, as icons and
    cursors store them (height doubled for the mask)."""
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b''.join(b''.join(struct.pack('<BBBB', *pixels[y][x]) for x in range(width))
                    for y in reversed(range(height)))
    stride = ((width + 31) // 32) * 4
    mask = b''
    for y in reversed(range(height)):
        bits = bytearray(stride)
        for x in range(width):
            if pixels[y][x][3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + rows + mask


def icon_file(kind, width, height, pixels, hotspot=(0, 0)):
    image = dib(width, height, pixels)
    if kind == 1:  # icon: planes, bit count
        a, b = 1, 32
    else:          # cursor: hot spot
        a, b = hotspot
    entry = struct.pack('<BBBBHHII', width % 256, height % 256, 0, 0, a, b, len(image), 6 + 16)
    return struct.pack('<HHH', 0, kind, 1) + entry + image


def tab_icon():
    # A small framed document with a blue title band.
    px = [[(0, 0, 0, 0)] * 16 for _ in range(16)]
    for y in range(1, 15):
        for x in range(2, 14):
            edge = x in (2, 13) or y in (1, 14)
            if edge:
                px[y][x] = (60, 60, 60, 255)
            elif y < 5:
                px[y][x] = (200, 120, 40, 255)
            else:
                px[y][x] = (250, 250, 250, 255)
    for y in (7, 9, 11):
        for x in range(4, 12):
            px[y][x] = (120, 120, 120, 255)
    return icon_file(1, 16, 16, px)


def split_cursor(side_by_side):
    # Two arrows pointing away from a bar, white outlined in black.
    px = [[(0, 0, 0, 0)] * 32 for _ in range(32)]

    def put(x, y, colour):
        if side_by_side:
            x, y = y, x
        px[y][x] = colour

    black, white = (0, 0, 0, 255), (255, 255, 255, 255)
    for x in range(4, 28):
        for y in (14, 17):
            put(x, y, black)
        for y in (15, 16):
            put(x, y, white)
    for i in range(6):
        # arrow heads at both ends (up and down when stacked)
        for x in range(16 - i, 16 + i):
            put(x, 2 + i, white if 16 - i < x < 15 + i else black)
            put(x, 29 - i, white if 16 - i < x < 15 + i else black)
    for y in range(8, 24):
        put(15, y, black)
        put(16, y, black)
    return icon_file(2, 32, 32, px, hotspot=(16, 16))


def background_bitmap():
    # 16 x 16, 24 bits, every pixel red 212, green 208, blue 200.
    width = height = 16
    row = bytes((200, 208, 212)) * width
    row += b'\0' * ((4 - len(row) % 4) % 4)
    pixels = row * height
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    return struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset) + info + pixels


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    (out / 'tab.ico').write_bytes(tab_icon())
    (out / 'split_horizontal.cur').write_bytes(split_cursor(True))
    (out / 'split_vertical.cur').write_bytes(split_cursor(False))
    (out / 'background.bmp').write_bytes(background_bitmap())


if __name__ == '__main__':
    main()
