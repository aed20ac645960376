#!/usr/bin/env python3
"""Reads screenshots of the program on a 24-bit X screen and checks them
against the colours its textures define.

Usage: screen.py TEXTURE_DIR COMMAND ARGS
  drawn SHOT          succeeds once the ceiling colour shows above the horizon
  look SHOT           checks the start view: ceiling, floor, wall, status text
  wall SHOT [full]    prints the wall's extent in the centre column; with
                      "full", checks that the column is wall from top to bottom
  differ SHOT SHOT MIN  checks that at least MIN of the view's pixels differ

The palette is read from brickd.pcx (the run's palette) and the wall colours
from the pixels of all three textures, so a redrawn texture needs no change.
"""
import os
import subprocess
import sys

W, H = 800, 600
CENTRE = W // 2
CEILING_INDEX, FLOOR_INDEX = 36, 2
STATUS_ROWS = 24  # three 8-pixel lines of text at the top left


def shown(byte):
    # The library keeps 6 bits per channel; the X screen widens them again.
    v = byte >> 2
    return (v << 2) | (v >> 4)


def read_pcx(path):
    """Returns (pixel indices, 256 palette RGB triples as file bytes)."""
    with open(path, "rb") as f:
        data = f.read()
    width = (data[8] | data[9] << 8) - (data[4] | data[5] << 8) + 1
    height = (data[10] | data[11] << 8) - (data[6] | data[7] << 8) + 1
    row_bytes = data[66] | data[67] << 8
    pixels, at = bytearray(), 128
    end = len(data) - 769
    while len(pixels) < row_bytes * height and at < end:
        b = data[at]
        at += 1
        if b & 0xC0 == 0xC0:
            pixels += bytes([data[at]]) * (b & 0x3F)
            at += 1
        else:
            pixels.append(b)
    rows = [pixels[y * row_bytes:y * row_bytes + width] for y in range(height)]
    body = data[-768:]
    palette = [tuple(body[3 * i:3 * i + 3]) for i in range(256)]
    return b"".join(rows), palette


def bestfit(palette6, rgb6):
    # The library's nearest colour: green weighs most, entry 0 is skipped.
    def cost(c):
        return sum(w * w * (a - b) ** 2 for w, a, b in zip((30, 59, 11), c, rgb6))
    return min(range(1, 256), key=lambda i: (cost(palette6[i]), i))


class Colours:
    def __init__(self, texture_dir):
        _, palette = read_pcx(os.path.join(texture_dir, "brickd.pcx"))
        self.rgb = [tuple(shown(c) for c in entry) for entry in palette]
        self.ceiling = self.rgb[CEILING_INDEX]
        self.floor = self.rgb[FLOOR_INDEX]
        palette6 = [tuple(c >> 2 for c in entry) for entry in palette]
        self.text = self.rgb[bestfit(palette6, (63, 63, 63))]
        used = set()
        for name in ("brick.pcx", "brickd.pcx", "weirdo.pcx"):
            used |= set(read_pcx(os.path.join(texture_dir, name))[0])
        self.texels = {self.rgb[i] for i in used}


class Shot:
    def __init__(self, path):
        ppm = subprocess.run(["convert", path, "ppm:-"], check=True,
                             stdout=subprocess.PIPE).stdout
        # Header: P6, width, height, maximum, then one whitespace byte;
        # comments run from "#" to the end of their line.
        fields, at = [], 0
        while len(fields) < 4:
            while ppm[at:at + 1].isspace():
                at += 1
            if ppm[at:at + 1] == b"#":
                at = ppm.index(b"\n", at)
                continue
            start = at
            while not ppm[at:at + 1].isspace():
                at += 1
            fields.append(ppm[start:at])
        if fields[0] != b"P6" or int(fields[1]) < W or int(fields[2]) < H:
            sys.exit(f"{path}: not an {W} x {H} (or larger) RGB screenshot")
        self.width = int(fields[1])
        self.data = ppm[at + 1:]

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def column(self, x):
        return [self.at(x, y) for y in range(H)]


def wall_extent(shot, colours):
    """First row under the ceiling and last row over the floor, centre column."""
    col = shot.column(CENTRE)
    top = next((y for y in range(H) if col[y] != colours.ceiling), H)
    bottom = next((y for y in reversed(range(H)) if col[y] != colours.floor), -1)
    return top, bottom


def text_cells(shot, colours, line):
    """How many 8-pixel character cells a status line fills, up to its last lit one."""
    lit = [x for x in range(W // 2) for y in range(8 * line, 8 * line + 8)
           if shot.at(x, y) == colours.text]
    return max(lit) // 8 + 1 if lit else 0


def check(ok, message, problems):
    print(("ok:   " if ok else "FAIL: ") + message)
    if not ok:
        problems.append(message)


def look(shot, colours):
    problems = []
    print(f"expected ceiling {colours.ceiling}, floor {colours.floor}, text {colours.text}, "
          f"{len(colours.texels)} texture colours")
    for x, y, want, what in ((CENTRE, 50, colours.ceiling, "ceiling"),
                             (700, 100, colours.ceiling, "ceiling"),
                             (CENTRE, 550, colours.floor, "floor"),
                             (100, 500, colours.floor, "floor")):
        check(shot.at(x, y) == want, f"{what} at ({x}, {y}): {shot.at(x, y)}", problems)
    band = [shot.at(CENTRE, y) for y in range(280, 321)]
    strangers = [c for c in band if c not in colours.texels]
    check(not strangers, f"centre column rows 280..320 are texture colours "
          f"({len(band) - len(strangers)} of {len(band)}; others {sorted(set(strangers))[:4]})",
          problems)
    top, bottom = wall_extent(shot, colours)
    # A wall 4 units ahead, 600 / 4 = 150 rows tall, centred on row 300.
    check(abs(top - 225) <= 2 and abs(bottom - 374) <= 2,
          f"wall in the centre column spans rows {top}..{bottom} ({bottom - top + 1} rows), "
          f"expected about 225..374", problems)
    white = any(shot.at(x, y) == colours.text for x in range(200) for y in range(STATUS_ROWS))
    check(white, "status text pixels in the top-left corner", problems)
    cells = [text_cells(shot, colours, line) for line in range(3)]
    modes = {22: "Using double buffering", 19: "Using page flipping"}
    print(f"status lines fill {cells[0]}, {cells[1]}, {cells[2]} character cells")
    check(cells[0] == len("Sectors in display: 1"),
          "first line as long as \"Sectors in display: N\" with one digit", problems)
    check(cells[1] >= len("FPS: 0.00 with refresh rate 0hz"),
          "second line at least as long as \"FPS: 0.00 with refresh rate 0hz\"", problems)
    check(cells[2] in modes, f"third line reads {modes.get(cells[2], 'neither mode')!r}",
          problems)
    return not problems


def wall(shot, colours, full):
    top, bottom = wall_extent(shot, colours)
    print(f"wall in the centre column spans rows {top}..{bottom} ({max(0, bottom - top + 1)} rows)")
    if not full:
        return True
    col = shot.column(CENTRE)
    strangers = [y for y in range(H) if col[y] not in colours.texels]
    print(f"{H - len(strangers)} of {H} rows of the centre column are texture colours"
          + (f"; first other: row {strangers[0]} {col[strangers[0]]}" if strangers else ""))
    return not strangers


def differ(a, b, least):
    # The status lines change by themselves (the frame rate), so skip them.
    rows = range(STATUS_ROWS, H)
    changed = sum(a.at(x, y) != b.at(x, y) for y in rows for x in range(0, W, 2))
    fraction = changed / (len(rows) * W // 2)
    print(f"{fraction:.1%} of the view's pixels changed (at least {least:.0%} expected)")
    return fraction >= least


def main():
    colours = Colours(sys.argv[1])
    command, args = sys.argv[2], sys.argv[3:]
    if command == "drawn":
        ok = Shot(args[0]).at(CENTRE, 50) == colours.ceiling
    elif command == "look":
        ok = look(Shot(args[0]), colours)
    elif command == "wall":
        ok = wall(Shot(args[0]), colours, args[1:] == ["full"])
    elif command == "differ":
        ok = differ(Shot(args[0]), Shot(args[1]), float(args[2]))
    else:
        sys.exit(f"screen.py: unknown command {command}")
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
