"""Converts an uncompressed 24-bit BMP (as capture.c writes) to an RGB PNG.

Usage: python3 bmp_to_png.py in.bmp out.png
"""

import struct
import sys
import zlib


def read_bmp(path):
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        raise ValueError(f"{path}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    size, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    if size < 40 or planes != 1 or bits != 24 or compression != 0 or width <= 0 or height == 0:
        raise ValueError(f"{path}: only uncompressed 24-bit BMP files are handled")
    stride = (width * 3 + 3) & ~3
    if offset + stride * abs(height) > len(data):
        raise ValueError(f"{path}: pixel rows run past the end of the file")
    rows = []
    for y in range(abs(height)):
        # A positive height stores the bottom row first.
        source = abs(height) - 1 - y if height > 0 else y
        start = offset + source * stride
        bgr = data[start : start + width * 3]
        rgb = bytearray(len(bgr))
        rgb[0::3], rgb[1::3], rgb[2::3] = bgr[2::3], bgr[1::3], bgr[0::3]
        rows.append(bytes(rgb))
    return width, abs(height), rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return (
            struct.pack(">I", len(body))
            + kind
            + body
            + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
        )

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    raw = b"".join(b"\0" + row for row in rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    write_png(sys.argv[2], *read_bmp(sys.argv[1]))


if __name__ == "__main__":
    main()
