#!/usr/bin/python3
"""Draws the report dialogs' bitmaps (run once; the .bmp files are kept).

The top-left pixel of each picture is its transparent colour."""
import struct
from pathlib import Path

from PIL import Image, ImageDraw

HERE = Path(__file__).resolve().parent
KEY = (255, 0, 255)


def rle8(img):
    """An 8-bit palette BMP with run-length encoded rows."""
    pal = img.getpalette()[: 256 * 3]
    pal += [0] * (768 - len(pal))
    w, h = img.size
    px = img.load()
    data = bytearray()
    for y in range(h - 1, -1, -1):
        x = 0
        while x < w:
            v = px[x, y]
            n = 1
            while x + n < w and n < 255 and px[x + n, y] == v:
                n += 1
            data += bytes([n, v])
            x += n
        data += b"\x00\x00"
    data[-2:] = b"\x00\x01"
    colours = b"".join(bytes([pal[i * 3 + 2], pal[i * 3 + 1], pal[i * 3], 0]) for i in range(256))
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 1, len(data), 2835, 2835, 256, 0)
    offset = 14 + len(header) + len(colours)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + header + colours + bytes(data)


def error_sign():
    img = Image.new("RGB", (32, 32), KEY)
    d = ImageDraw.Draw(img)
    d.ellipse((1, 1, 30, 30), fill=(200, 30, 30), outline=(120, 0, 0))
    d.line((10, 10, 21, 21), fill=(255, 255, 255), width=4)
    d.line((10, 21, 21, 10), fill=(255, 255, 255), width=4)
    return img.quantize(colors=16, method=Image.Quantize.MEDIANCUT)


def send_sign():
    img = Image.new("RGB", (32, 32), KEY)
    d = ImageDraw.Draw(img)
    d.rectangle((3, 8, 28, 25), fill=(250, 250, 235), outline=(80, 80, 80))
    d.line((3, 8, 16, 18, 28, 8), fill=(80, 80, 80), width=1)
    return img


def row_image(colour, letter_lines):
    img = Image.new("RGB", (16, 16), KEY)
    d = ImageDraw.Draw(img)
    d.rectangle((2, 1, 13, 14), fill=colour, outline=(60, 60, 60))
    for line in letter_lines:
        d.line(line, fill=(255, 255, 255))
    return img


def sign(minus):
    img = Image.new("RGB", (13, 13), KEY)
    d = ImageDraw.Draw(img)
    d.rectangle((1, 1, 10, 10), fill=(255, 255, 255), outline=(120, 120, 120))
    d.line((3, 5, 8, 5), fill=(0, 0, 0))
    if not minus:
        d.line((5, 3, 5, 8), fill=(0, 0, 0))
    return img


(HERE / "DV_Error.bmp").write_bytes(rle8(error_sign()))
send_sign().save(HERE / "DV_Send.bmp")
row_image((90, 120, 180), [(5, 5, 10, 5), (5, 8, 10, 8), (5, 11, 10, 11)]).save(HERE / "DV_DLL.bmp")
row_image((170, 110, 40), [(5, 5, 10, 5), (5, 5, 5, 11), (5, 11, 10, 11)]).save(HERE / "DV_BPL.bmp")
row_image((60, 140, 60), [(5, 4, 7, 11), (7, 11, 10, 4)]).save(HERE / "DV_VCL.bmp")
row_image((140, 60, 140), [(5, 4, 5, 11), (5, 4, 9, 4), (9, 4, 9, 7), (5, 7, 9, 7)]).save(HERE / "DV_PAS.bmp")
sign(False).save(HERE / "DV_PLUS.bmp")
sign(True).save(HERE / "DV_MINUS.bmp")
