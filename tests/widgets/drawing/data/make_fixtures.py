#!/usr/bin/python3
"""Makes the image fixtures of the drawing tests and records in sizes.txt the
width and height that PIL reports for each; ImageMagick's identify must agree
where its resource policy lets it read the file (it refuses widths above 16K).
Run from this folder: /usr/bin/python3 make_fixtures.py"""
import struct
import subprocess

from PIL import Image


def solid(w, h, colour):
    return Image.new("RGB", (w, h), colour)


def quadrants():
    # 2 by 2: red, green / blue, white (for stretched drawing)
    im = Image.new("RGB", (2, 2))
    im.putpixel((0, 0), (255, 0, 0))
    im.putpixel((1, 0), (0, 255, 0))
    im.putpixel((0, 1), (0, 0, 255))
    im.putpixel((1, 1), (255, 255, 255))
    return im


def keyed_bmp():
    # 6 by 4, magenta background (the bottom-left pixel) with a 2 by 2 blue
    # square at (2, 1).
    im = solid(6, 4, (255, 0, 255))
    for x in (2, 3):
        for y in (1, 2):
            im.putpixel((x, y), (0, 0, 255))
    return im


def top_down_bmp(path, w, h):
    # PIL writes bottom-up only: a 24-bit BMP with a negative height by hand.
    row = bytearray()
    for x in range(w):
        row += bytes((0, 128, 255))  # BGR
    row += b"\0" * ((4 - len(row) % 4) % 4)
    pixels = bytes(row) * h
    info = struct.pack("<IiiHHIIiiII", 40, w, -h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + pixels)


def animated_gif(path):
    # 4 frames on a 24 by 16 screen, each a solid colour: red over the whole
    # screen, then green and blue patches (PIL crops them to what changed),
    # then yellow over the whole. A loop extension and a comment whose bytes
    # look like a graphic control extension followed by an image descriptor
    # come before the first frame.
    w, h = 24, 16
    red = Image.new("RGB", (w, h), (255, 0, 0))
    green = red.copy()
    green.paste((0, 255, 0), (4, 2, 14, 8))
    blue = green.copy()
    blue.paste((0, 0, 255), (8, 4, 20, 12))
    yellow = Image.new("RGB", (w, h), (255, 255, 0))
    frames = [f.convert("P", palette=Image.ADAPTIVE, colors=4) for f in (red, green, blue, yellow)]
    fake = b"\x21\xf9\x04\x00\x00\x00\x00\x00\x2c\x01\x00\x02\x00\x03\x00\x04\x00\x00"
    frames[0].save(path, save_all=True, append_images=frames[1:], duration=[50, 60, 70, 80], loop=0,
                   comment=b"a" + fake + b"b")
    with Image.open(path) as im, open("gif_frames.txt", "w") as out:
        out.write(f"# {path} as PIL reads it: the logical screen, then each frame's left, top, width, height\n")
        out.write(f"screen {im.size[0]} {im.size[1]}\n")
        for i in range(im.n_frames):
            im.seek(i)
            x0, y0, x1, y1 = im.tile[0][1]
            out.write(f"frame {x0} {y0} {x1 - x0} {y1 - y0}\n")


def main():
    quadrants().save("quadrants.png")
    quadrants().save("quadrants.bmp")
    keyed_bmp().save("keyed.bmp")
    solid(37, 21, (10, 20, 30)).save("plain.bmp")
    top_down_bmp("topdown.bmp", 19, 7)
    subprocess.run(["/usr/bin/convert", "plain.bmp", "BMP2:core.bmp"], check=True)
    solid(70000, 1, (0, 0, 0)).save("wide.png")
    solid(33, 17, (1, 2, 3)).save("baseline.jpg", quality=90)
    solid(45, 29, (200, 100, 50)).save("progressive.jpg", quality=90, progressive=True,
                                       exif=b"Exif\0\0" + b"MM\0*\0\0\0\x08\0\0\0\0\0\0")
    # A GIF with a global colour table, a graphic control extension and a
    # comment full of 0x2C (",") bytes before its image descriptor.
    solid(23, 11, (0, 0, 255)).convert("P").save("comma.gif", comment=b",,,,,,,,,,,,,,,,,,,,,,,,", duration=50)
    solid(26, 15, (0, 200, 0)).save("little.tif")
    subprocess.run(["/usr/bin/convert", "little.tif", "-resize", "41x13!", "-define", "tiff:endian=msb", "big.tif"], check=True)
    animated_gif("anim.gif")

    names = ["quadrants.png", "quadrants.bmp", "keyed.bmp", "plain.bmp", "topdown.bmp", "core.bmp", "wide.png",
             "baseline.jpg", "progressive.jpg", "comma.gif", "little.tif", "big.tif", "anim.gif"]
    with open("sizes.txt", "w") as out:
        out.write("# file width height, as PIL (and ImageMagick's identify) report them\n")
        for name in names:
            with Image.open(name) as im:
                w, h = im.size
            magick = subprocess.run(["/usr/bin/identify", "-format", "%w %h", name + "[0]"],
                                    capture_output=True, text=True)
            if magick.returncode == 0:
                assert magick.stdout.split() == [str(w), str(h)], (name, magick.stdout, w, h)
            out.write(f"{name} {w} {h}\n")


if __name__ == "__main__":
    main()
