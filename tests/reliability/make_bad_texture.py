#!/usr/bin/python3
"""Fills a folder with the three good wall textures, then spoils one of them.

Usage: make_bad_texture.py GOOD_DIR OUT_DIR NAME KIND
Every spoilt file is derived from the good one of the same name, so the
faults are the only difference from a folder the program accepts.
"""
import os
import shutil
import subprocess
import sys

TEXTURES = ("weirdo.pcx", "brick.pcx", "brickd.pcx")
HEADER = 128
PALETTE = 769  # marker byte 12, then 256 RGB triples


def rle_row(row):
    """PCX run-length coding: runs of up to 63, and any byte of 0xC0 or more
    goes out as a run, since a bare one would read as a count."""
    out = bytearray()
    i = 0
    while i < len(row):
        n = 1
        while i + n < len(row) and n < 63 and row[i + n] == row[i]:
            n += 1
        if n > 1 or row[i] >= 0xC0:
            out.append(0xC0 | n)
        out.append(row[i])
        i += n
    return bytes(out)


def pcx(width, height, planes, rows, palette):
    """An 8-bit-per-plane PCX; rows holds height x planes scan lines."""
    h = bytearray(HEADER)
    h[0:4] = bytes((10, 5, 1, 8))
    h[8:12] = (width - 1).to_bytes(2, "little") + (height - 1).to_bytes(2, "little")
    h[12:16] = (72).to_bytes(2, "little") * 2
    h[65] = planes
    h[66:68] = width.to_bytes(2, "little")
    h[68] = 1
    data = b"".join(rle_row(r) for r in rows)
    return bytes(h) + data + (palette or b"")


def planar(body):
    h = bytearray(body[:HEADER])
    h[3], h[65], h[66:68] = 1, 8, (8).to_bytes(2, "little")
    return bytes(h) + rle_row(bytes(8 * 8)) * 64 + body[-PALETTE:]  # 64 rows of 8 planes


def spoil(good, path, kind):
    body = open(good, "rb").read()
    if kind == "missing":
        return
    if kind == "directory":
        os.mkdir(path)
        return
    if kind == "fifo":  # opening one to read would wait for a writer forever
        os.mkfifo(path)
        return
    if kind == "huge":  # sparse, so it costs no disk
        with open(path, "wb") as f:
            f.write(body)
            f.truncate(100 << 30)
        return
    data = {
        "empty": lambda: b"",
        "short-header": lambda: body[:HEADER // 2],
        "short-pixels": lambda: body[:(len(body) - PALETTE + HEADER) // 2],
        # The palette block is intact, so only walking the runs finds the gap.
        "short-pixels-palette": lambda: body[:(len(body) - PALETTE + HEADER) // 2] + body[-PALETTE:],
        "rgb24": lambda: pcx(64, 64, 3, [bytes((y * 4 + x) & 0xFF for x in range(64))
                                         for y in range(64) for _ in range(3)], None),
        "small": lambda: pcx(32, 32, 1, [bytes(x * 8 for x in range(32))] * 32, body[-PALETTE:]),
        # Eight planes of one bit: 8 bits a pixel too, but not as the loader reads them.
        "planar": lambda: planar(body),
        # The left edge right of the right one.
        "inverted": lambda: body[:4] + (100).to_bytes(2, "little") + body[6:],
        "unreadable": lambda: body,
    }
    if kind == "png":
        subprocess.run(["convert", good, "png:" + path], check=True)
        return
    if kind not in data:
        sys.exit("make_bad_texture: unknown kind " + kind)
    with open(path, "wb") as f:
        f.write(data[kind]())
    if kind == "unreadable":
        os.chmod(path, 0)


def main():
    if len(sys.argv) != 5 or sys.argv[3] not in TEXTURES:
        sys.exit(__doc__)
    good_dir, out_dir, name, kind = sys.argv[1:]
    os.makedirs(out_dir, exist_ok=True)
    for t in TEXTURES:
        if t != name:
            shutil.copy(os.path.join(good_dir, t), os.path.join(out_dir, t))
    spoil(os.path.join(good_dir, name), os.path.join(out_dir, name), kind)


if __name__ == "__main__":
    main()
