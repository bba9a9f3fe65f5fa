#!/usr/bin/env python3
"""Writes the four command bitmaps from the text pixel art in bitmaps/commands.txt.

128 and 131: 16 x 15 cells, uncompressed. 129: 24 x 23 cells, 4-bit run-length compressed.
130: the same pixels as 129, uncompressed. All 4 bits per pixel with the standard 16 colours.
usage: make_bitmaps.py ART.txt OUTDIR
"""
import struct
import sys

PALETTE = [  # the standard 16 colours, in palette order, with their art characters
    ('k', (0, 0, 0)), ('r', (128, 0, 0)), ('g', (0, 128, 0)), ('y', (128, 128, 0)),
    ('b', (0, 0, 128)), ('m', (128, 0, 128)), ('c', (0, 128, 128)), ('.', (192, 192, 192)),
    ('d', (128, 128, 128)), ('R', (255, 0, 0)), ('G', (0, 255, 0)), ('Y', (255, 255, 0)),
    ('B', (0, 0, 255)), ('M', (255, 0, 255)), ('C', (0, 255, 255)), ('W', (255, 255, 255)),
]
INDEX = {ch: i for i, (ch, _) in enumerate(PALETTE)}
SMALL = (16, 15)
LARGE = (24, 23)
BI_RGB, BI_RLE4 = 0, 2


def read_cells(path):
    cells, rows = [], None
    for line in open(path, encoding='ascii'):
        line = line.rstrip('\n')
        if line.startswith('#'):
            continue
        if line.startswith('cell '):
            rows = []
            cells.append(rows)
        elif line and rows is not None:
            rows.append([INDEX[ch] for ch in line])
    for rows in cells:
        if len(rows) != SMALL[1] or any(len(r) != SMALL[0] for r in rows):
            sys.exit('make_bitmaps: every cell must be %d x %d' % SMALL)
    return cells


def scale(cell, size):
    w, h = size
    return [[cell[y * SMALL[1] // h][x * SMALL[0] // w] for x in range(w)] for y in range(h)]


def strip(cells):
    """Cells side by side, top row first."""
    return [sum((cell[y] for cell in cells), []) for y in range(len(cells[0]))]


def pack_rows(pixels):
    data = b''
    for row in reversed(pixels):  # bottom-up
        if len(row) % 2:
            row = row + [0]
        packed = bytes((row[i] << 4) | row[i + 1] for i in range(0, len(row), 2))
        data += packed + b'\0' * (-len(packed) % 4)
    return data


def rle4_rows(pixels):
    data = b''
    for row in reversed(pixels):
        x = 0
        while x < len(row):
            run = 1
            while x + run < len(row) and row[x + run] == row[x] and run < 255:
                run += 1
            data += bytes((run, (row[x] << 4) | row[x]))
            x += run
        data += b'\0\0'  # end of line
    return data[:-2] + b'\0\1'  # the last end of line becomes the end of the bitmap


def bmp(pixels, compression):
    height, width = len(pixels), len(pixels[0])
    bits = rle4_rows(pixels) if compression == BI_RLE4 else pack_rows(pixels)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for _, (r, g, b) in PALETTE)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, compression, len(bits), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
    return header + info + palette + bits


def main():
    art, out = sys.argv[1], sys.argv[2]
    cells = read_cells(art)
    small = strip(cells)
    large = strip([scale(c, LARGE) for c in cells])
    files = {128: bmp(small, BI_RGB), 131: bmp(small, BI_RGB), 129: bmp(large, BI_RLE4), 130: bmp(large, BI_RGB)}
    for number, data in files.items():
        with open('%s/bitmap%d.bmp' % (out, number), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
