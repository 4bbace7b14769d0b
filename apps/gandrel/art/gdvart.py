#!/usr/bin/env python3
"""Gandrel's pictures, drawn from the character maps below.

    gdvart.py records   the drag pictures BMP_DROPMP and BMP_NODROP as
                        kwtmake text (KwDib records), for gandrel.kwt.txt
    gdvart.py icon F    the program's icon (16x16 and 32x32, 32 bits with
                        an AND mask) into the file F (gandrel.ico)

The drag object draws its picture 16 pixels right of and below the
pointer, so both drag pictures put their small sign at the top left and
keep the rest transparent (magenta, the selector's transparent colour):
the sign sits beside the pointer and the node under it stays readable.
"""
import struct
import sys

# Palette of the drag pictures: index 0 is the transparent colour.
PALETTE = [0xFF00FF, 0x000000, 0xFFFFFF, 0x008000, 0xC00000, 0x808080]
CODES = {'.': 0, '#': 1, 'w': 2, 'g': 3, 'r': 4, 's': 5}

# 14 x 14 signs, put at (1, 1) of the 32 x 32 picture.
DROP_SIGN = [
    "#.............",
    "##............",
    "#w#...........",
    "#ww#..........",
    "#www#.........",
    "#wwww#........",
    "#wwwww#.......",
    "#ww###.#######",
    "#w#....#wwgww#",
    "##.....#wwgww#",
    "#......#ggggg#",
    ".......#wwgww#",
    ".......#wwgww#",
    ".......#######",
]
NODROP_SIGN = [
    "....######....",
    "..##rrrrrr##..",
    ".#rrrwwwwrrr#.",
    ".#rrwwwwwwrr#.",
    "#rrrrwwwwwwrr#",
    "#rwrrrwwwwwwr#",
    "#rwwrrrwwwwwr#",
    "#rwwwrrrwwwwr#",
    "#rwwwwrrrwwwr#",
    "#rrwwwwrrrrrr#",
    ".#rrwwwwwrrr#.",
    ".#rrrwwwwrrr#.",
    "..##rrrrrr##..",
    "....######....",
]


def drag_picture(sign):
    rows = [[0] * 32 for _ in range(32)]
    for y, line in enumerate(sign):
        for x, ch in enumerate(line):
            rows[1 + y][1 + x] = CODES[ch]
    return rows


def dib_record(name, rows):
    """A 32 x 32, 4-bit KwDib record; rows are stored bottom-up."""
    bits = []
    for row in reversed(rows):
        for x in range(0, 32, 2):
            bits.append(row[x] << 4 | row[x + 1])
    out = [f'  record "{name}" at auto',
           '    resource 31 class "KwDib" cpp absent wparam 0 lparam 0',
           f'      string 21 "{name}"',
           '      string 6001 absent',
           '      long 6005 40', '      long 6006 32', '      long 6007 32',
           '      short 6008 1', '      short 6009 4', '      long 6010 0',
           '      long 6011 512', '      long 6012 3780', '      long 6013 3780',
           '      long 6014 16', '      long 6015 0']
    for i in range(16):
        out.append(f'      long 6016 {PALETTE[i] if i < len(PALETTE) else 0}')
    out.append('      char 6017 [512] ' + ' '.join(str(b) for b in bits[:8]))
    for i in range(8, 512, 8):
        out.append('        ' + ' '.join(str(b) for b in bits[i:i + 8]))
    out.append('    end')
    return '\n'.join(out)


# The icon: two panes side by side, an arrow from the left one to the
# right one. Colours as (r, g, b); None is transparent.
ICON_COLOURS = {'.': None, '#': (0, 0, 0), 'b': (40, 90, 200), 'y': (240, 200, 60),
                'w': (255, 255, 255), 'g': (20, 150, 40)}
ICON_32 = [
    "................................",
    "................................",
    "................................",
    "..##########........##########..",
    "..#bbbbbbbb#........#yyyyyyyy#..",
    "..##########........##########..",
    "..#wwwwwwww#........#wwwwwwww#..",
    "..#w######w#........#w######w#..",
    "..#wwwwwwww#........#wwwwwwww#..",
    "..#w####www#........#w####www#..",
    "..#wwwwwwww#..##....#wwwwwwww#..",
    "..#w######w#..#g#...#w######w#..",
    "..#wwwwwwww#..#gg#..#wwwwwwww#..",
    "..#w###wwww####ggg#.#w###wwww#..",
    "..#wwwwwwww#ggggggg##wwwwwwww#..",
    "..#w#####ww#gggggggg#w#####ww#..",
    "..#wwwwwwww#ggggggg##wwwwwwww#..",
    "..#w######w####ggg#.#w######w#..",
    "..#wwwwwwww#..#gg#..#wwwwwwww#..",
    "..#w####www#..#g#...#w####www#..",
    "..#wwwwwwww#..##....#wwwwwwww#..",
    "..#w######w#........#w######w#..",
    "..#wwwwwwww#........#wwwwwwww#..",
    "..#w###wwww#........#w###wwww#..",
    "..#wwwwwwww#........#wwwwwwww#..",
    "..#w#####ww#........#w#####ww#..",
    "..#wwwwwwww#........#wwwwwwww#..",
    "..##########........##########..",
    "................................",
    "................................",
    "................................",
    "................................",
]
ICON_16 = [
    "................",
    ".#####....#####.",
    ".#bbb#....#yyy#.",
    ".#####....#####.",
    ".#www#....#www#.",
    ".#w#w#....#w#w#.",
    ".#www#..g.#www#.",
    ".#w#w#gggg#w#w#.",
    ".#www#..g.#www#.",
    ".#w#w#....#w#w#.",
    ".#www#....#www#.",
    ".#w#w#....#w#w#.",
    ".#www#....#www#.",
    ".#####....#####.",
    "................",
    "................",
]


def icon_image(rows):
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''
    mask = b''
    mask_row_bytes = (size + 31) // 32 * 4
    for line in reversed(rows):
        bits = 0
        for x, ch in enumerate(line):
            colour = ICON_COLOURS[ch]
            if colour is None:
                pixels += bytes((0, 0, 0, 0))
                bits |= 1 << (size - 1 - x)
            else:
                r, g, b = colour
                pixels += bytes((b, g, r, 255))
        mask += bits.to_bytes(size // 8, 'big').ljust(mask_row_bytes, b'\0')
    return header + pixels + mask


def write_icon(path):
    images = [(16, icon_image(ICON_16)), (32, icon_image(ICON_32))]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        data += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for _, image in images:
        data += image
    with open(path, 'wb') as f:
        f.write(data)


def main(argv):
    for rows in (ICON_32, ICON_16, DROP_SIGN, NODROP_SIGN):
        assert len(set(len(line) for line in rows)) == 1
    if len(argv) == 2 and argv[1] == 'records':
        print(dib_record('BMP_DROPMP', drag_picture(DROP_SIGN)))
        print(dib_record('BMP_NODROP', drag_picture(NODROP_SIGN)))
        return 0
    if len(argv) == 3 and argv[1] == 'icon':
        write_icon(argv[2])
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == '__main__':
    sys.exit(main(sys.argv))
