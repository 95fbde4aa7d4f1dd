"""Reads back the screenshots the tests wrote.

Each "SHOT|name|width|height|mode|x|y" line names NAME.png and NAME.rgb (the
capture as 24-bit rows, blue-green-red, top down). pngcheck must accept the
PNG; PIL must read it as a palette image of the capture's size, and every
pixel must be the palette colour nearest to the captured one ("exact":
the same colour). The mode names a mark to check at x, y: "frame" (the red
frame is there) or "noframe" (no pure red anywhere).
"""
import subprocess
import sys

from PIL import Image


def fail(message):
    print("FAILED: " + message)
    sys.exit(1)


def check(folder, name, width, height, mode, x, y):
    png = f"{folder}/{name}.png"
    result = subprocess.run(["pngcheck", "-q", png], capture_output=True, text=True)
    if result.returncode != 0:
        fail(f"pngcheck {name}: {result.stdout}{result.stderr}")
    image = Image.open(png)
    if image.mode != "P" or image.size != (width, height):
        fail(f"{name}: mode {image.mode} size {image.size}")
    flat = image.getpalette()
    palette = sorted({tuple(flat[i:i + 3]) for i in range(0, len(flat), 3)})
    got = image.convert("RGB").tobytes()
    raw = open(f"{folder}/{name}.rgb", "rb").read()
    if len(raw) != width * height * 3:
        fail(f"{name}: capture has {len(raw)} bytes")
    nearest = {}
    for i in range(width * height):
        b, g, r = raw[3 * i], raw[3 * i + 1], raw[3 * i + 2]
        p = (got[3 * i], got[3 * i + 1], got[3 * i + 2])
        if mode == "exact":
            if p != (r, g, b):
                fail(f"{name}: pixel {i % width},{i // width} is {p}, captured {(r, g, b)}")
            continue
        key = (r, g, b)
        if key not in nearest:
            nearest[key] = min((q[0] - r) ** 2 + (q[1] - g) ** 2 + (q[2] - b) ** 2 for q in palette)
        d = (p[0] - r) ** 2 + (p[1] - g) ** 2 + (p[2] - b) ** 2
        if d != nearest[key]:
            fail(f"{name}: pixel {i % width},{i // width} is {p} at {d}, nearest is at {nearest[key]}, captured {key}")
    if mode in ("exact", "frame") and x >= 0:
        if image.convert("RGB").getpixel((x, y)) != (255, 0, 0):
            fail(f"{name}: no red frame at {x},{y}")
    if mode == "noframe":
        i = raw.find(b"\x00\x00\xff")
        while i >= 0 and i % 3 != 0:
            i = raw.find(b"\x00\x00\xff", i + 1)
        if i >= 0:
            fail(f"{name}: red at {i // 3 % width},{i // 3 // width} without a focused window")
    print(f"{name}: {width}x{height}, {len(palette)} palette colours, {mode}: ok")


def main():
    lines = [l.strip() for l in open(sys.argv[1], encoding="utf-8", errors="replace") if l.startswith("SHOT|")]
    if not lines:
        fail("no screenshots announced")
    for line in lines:
        _, name, width, height, mode, x, y = line.split("|")
        check(sys.argv[2], name, int(width), int(height), mode, int(x), int(y))


main()
