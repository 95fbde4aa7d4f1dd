#!/usr/bin/python3
"""Reference values for the codec tests, computed independently of the C++ code.

    /usr/bin/python3 codec_vectors.py

MD5: a from-scratch compression function, first checked against hashlib with
standard padding, then run with the library's own padding (one work block that
is never cleared). The cipher: the four-term round function on big-endian
words, keyed from that digest, and the chained mode used by the library, with
an encrypting counterpart to make cipher texts from known plain texts.
CRC-16: binascii.crc_hqx.
"""
import binascii
import hashlib
import math
import struct

MASK = 0xFFFFFFFF

K = [int(abs(math.sin(i + 1)) * 2**32) & MASK for i in range(64)]
S = [7, 12, 17, 22] * 4 + [5, 9, 14, 20] * 4 + [4, 11, 16, 23] * 4 + [6, 10, 15, 21] * 4


def rotl(x, n):
    return ((x << n) | (x >> (32 - n))) & MASK


def compress(state, block):
    m = struct.unpack("<16I", bytes(block))
    a, b, c, d = state
    for i in range(64):
        if i < 16:
            f, g = (b & c) | (~b & d), i
        elif i < 32:
            f, g = (d & b) | (~d & c), (5 * i + 1) % 16
        elif i < 48:
            f, g = b ^ c ^ d, (3 * i + 5) % 16
        else:
            f, g = c ^ (b | (~d & MASK)), (7 * i) % 16
        a, d, c, b = d, c, b, (b + rotl((a + f + K[i] + m[g]) & MASK, S[i])) & MASK
    return [(x + y) & MASK for x, y in zip(state, (a, b, c, d))]


INIT = [0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476]


def md5_standard(msg):
    padded = msg + b"\x80" + b"\0" * ((55 - len(msg)) % 64) + struct.pack("<Q", 8 * len(msg))
    state = INIT
    for i in range(0, len(padded), 64):
        state = compress(state, padded[i:i + 64])
    return struct.pack("<4I", *state)


def md5_library(msg):
    state = INIT
    work = bytearray(64)
    full = len(msg) // 64 * 64
    for i in range(0, full, 64):
        work[:] = msg[i:i + 64]
        state = compress(state, work)
    rest = len(msg) - full
    work[:rest] = msg[full:]
    work[rest] = 0x80
    if rest >= 56:
        state = compress(state, work)
    work[56:64] = struct.pack("<Q", 8 * len(msg))
    state = compress(state, work)
    return struct.pack("<4I", *state)


for n in range(0, 300):
    sample = bytes((i * 37 + n) & 0xFF for i in range(n))
    assert md5_standard(sample) == hashlib.md5(sample).digest(), n
    if n < 56:
        assert md5_library(sample) == hashlib.md5(sample).digest(), n

DELTA = 0x9E3779B9


def key_from_password(password):
    return struct.unpack(">4I", md5_library(password))


def encrypt_block(key, block):
    k0, k1, k2, k3 = key
    y, z = struct.unpack(">2I", block)
    s = 0
    for _ in range(32):
        s = (s + DELTA) & MASK
        y = (y + (((z << 4) & MASK) + (z ^ k0) + ((z >> 5) ^ s) + k1)) & MASK
        z = (z + (((y << 4) & MASK) + (y ^ k2) + ((y >> 5) ^ s) + k3)) & MASK
    return struct.pack(">2I", y, z)


def xor(a, b):
    return bytes(x ^ y for x, y in zip(a, b))


def decrypt_block(key, block):
    k0, k1, k2, k3 = key
    y, z = struct.unpack(">2I", block)
    s = (DELTA * 32) & MASK
    for _ in range(32):
        z = (z - (((y << 4) & MASK) + (y ^ k2) + ((y >> 5) ^ s) + k3)) & MASK
        y = (y - (((z << 4) & MASK) + (z ^ k0) + ((z >> 5) ^ s) + k1)) & MASK
        s = (s - DELTA) & MASK
    return struct.pack(">2I", y, z)


def encrypt_chained(key, plain):
    """The counterpart of the library's chained deciphering."""
    chain = b"\xff" * 8
    out = b""
    full = len(plain) // 8 * 8
    for i in range(0, full, 8):
        chain = encrypt_block(key, xor(plain[i:i + 8], chain))
        out += chain
    return out + xor(plain[full:], encrypt_block(key, chain))


def decrypt_chained(key, cipher):
    chain = b"\xff" * 8
    out = b""
    full = len(cipher) // 8 * 8
    for i in range(0, full, 8):
        block = cipher[i:i + 8]
        out += xor(decrypt_block(key, block), chain)
        chain = block
    return out + xor(cipher[full:], encrypt_block(key, chain))


def c_bytes(data):
    return '"' + "".join("\\x%02X" % b for b in data) + '"'


def pattern(n):
    return bytes((i * 7 + 1) & 0xFF for i in range(n))


print("// MD5 (library padding), input pattern(n) = bytes (7 * i + 1) & 0xFF")
for n in (55, 56, 57, 63, 64, 65, 100, 119, 120, 127, 128, 200):
    lib, std = md5_library(pattern(n)), hashlib.md5(pattern(n)).digest()
    print('    {%d, "%s"},%s' % (n, lib.hex(), "  // standard" if lib == std else ""))

print("// MD5 (library padding), RFC 1321 suite")
for text in (b"", b"a", b"abc", b"message digest", b"abcdefghijklmnopqrstuvwxyz",
             b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
             b"1234567890" * 8):
    lib = md5_library(text)
    print('    "%s" %d %s %s' % (text.decode(), len(text), lib.hex(),
                                 "standard" if lib == hashlib.md5(text).digest() else "differs"))

print("// Keys and single blocks")
long_password = b"correct horse battery staple, and a few more words to pass 56"
for password in (b"", b"secret", long_password):
    key = key_from_password(password)
    block = bytes(range(8))
    enc = encrypt_block(key, block)
    assert decrypt_block(key, enc) == block
    print('    %r len %d key %s enc(00..07) %s' % (password, len(password),
          " ".join("%08X" % k for k in key), c_bytes(enc)))
    print('        E(FF*8) %s' % c_bytes(encrypt_block(key, b"\xff" * 8)))

print("// Chained cipher texts")
for password, plain in ((b"secret", b"KynMainForm"), (b"secret", b"TkynMainForm.FormCreate"),
                        (b"secret", b"Unit1"), (b"secret", b"ExactlySixteen!!"),
                        (long_password, b"Drevnik.ReportException")):
    key = key_from_password(password)
    cipher = encrypt_chained(key, plain)
    assert decrypt_chained(key, cipher) == plain
    print('    %r %r -> %s' % (password, plain, c_bytes(cipher)))

print("// CRC-16/XMODEM")
for data in (b"", b"123456789", b"abc", bytes(range(256)), b"Quorvex.exeEAccessViolation"):
    print('    %s -> 0x%04X' % (c_bytes(data) if len(data) < 40 else "bytes 0..255",
                                binascii.crc_hqx(data, 0)))
