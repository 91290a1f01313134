#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/: small valid inputs of each
stored form, in the layouts the library's encoders write (the tests check those layouts against
the encoders). Run again after changing a layout; the seeds are committed."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def memo(raw):
    packed = zlib.compress(raw)
    return struct.pack("<4sII", b"MEMO", 12 + len(packed), len(raw)) + packed


def header(width, height, bits, compression, size_image=0, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, size_image,
                       0, 0, colours, 0)


def rows(width, height, bits, seed):
    stride = (width * bits + 31) // 32 * 4
    return bytes((i * seed + i // 7) & 0xFF for i in range(stride * height))


def tag(text):
    return struct.unpack("<I", text.encode())[0]


def packed(width, height, bits, table, plain_compression, seed):
    block = memo(rows(width, height, bits, seed))
    name = "PKC2" if plain_compression == 3 else "PKC1"
    colours = len(table) // 4 if bits <= 8 else 0
    return header(width, height, bits, tag(name), len(block), colours) + table + block


def bitmap(width, height, bits, table, compression=0, file_header=False, seed=1):
    body = header(width, height, bits, compression, 0, len(table) // 4 if bits <= 8 else 0)
    body += table + rows(width, height, bits, seed)
    if not file_header:
        return body
    return struct.pack("<2sIHHI", b"BM", 14 + len(body), 0, 0, 14 + 40 + len(table)) + body


def foreign_bitmap(width, height, bits, header_bytes, top_down=False, seed=1):
    """A bitmap file with another info-header form (12, 52, 56, 108 or 124 bytes)."""
    colours = 1 << bits if bits <= 8 else 0
    if header_bytes == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
        table = b"".join(bytes((i, 2 * i & 0xFF, 3 * i & 0xFF)) for i in range(colours))
    else:
        info = struct.pack("<IiiHHIIiiII", header_bytes, width, -height if top_down else height,
                           1, bits, 0, 0, 0, 0, 0, 0)
        info = (info + bytes(header_bytes))[:header_bytes]
        table = b"".join(bytes((i, 2 * i & 0xFF, 3 * i & 0xFF, 0)) for i in range(colours))
    body = info + table + rows(width, height, bits, seed)
    return struct.pack("<2sIHHI", b"BM", 14 + len(body), 0, 0, 14 + len(info) + len(table)) + body


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    grey16 = b"".join(bytes((i * 17, i * 17, i * 17, 0)) for i in range(16))
    masks565 = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    write("pkc_decode", "pkc1-8bit-16colours", packed(9, 5, 8, grey16, 0, 3))
    write("pkc_decode", "pkc1-1bit", packed(17, 3, 1, bytes(8), 0, 5))
    write("pkc_decode", "pkc2-16bit-565", packed(7, 4, 16, masks565, 3, 7))
    write("pkc_decode", "pkc1-24bit", packed(5, 5, 24, b"", 0, 11))
    write("pkc_decode", "pkc1-32bit-empty", packed(0, 0, 32, b"", 0, 13))
    write("pkc_decode", "memo-block", memo(b"a MEMO block on its own" * 4))

    grey256 = b"".join(bytes((i, i, i, 0)) for i in range(256))
    write("bitmap_load", "file-8bit", bitmap(6, 4, 8, grey256, file_header=True))
    write("bitmap_load", "packed-4bit-16colours", bitmap(7, 3, 4, grey16))
    write("bitmap_load", "packed-16bit-565", bitmap(5, 2, 16, masks565, compression=3))
    write("bitmap_load", "file-24bit", bitmap(3, 3, 24, b"", file_header=True))
    write("bitmap_load", "packed-32bit", bitmap(2, 2, 32, b""))
    write("bitmap_load", "pkc1-8bit", packed(9, 5, 8, grey16, 0, 3))
    write("bitmap_load", "core-header-8bit", foreign_bitmap(5, 3, 8, 12))
    write("bitmap_load", "v4-header-4bit", foreign_bitmap(7, 2, 4, 108))
    write("bitmap_load", "v5-header-24bit-top-down", foreign_bitmap(3, 4, 24, 124, top_down=True))
    write("bitmap_load", "v3-header-32bit", foreign_bitmap(2, 2, 32, 56))


if __name__ == "__main__":
    main()
