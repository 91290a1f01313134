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


def sprite(width, height, bytes_per_pixel, seed):
    """Rows top line first: a transparent (zero) margin round an ellipse of runs and noise."""
    out = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            ex, ey = (x + 0.5) / width * 2 - 1, (y + 0.5) / height * 2 - 1
            inside = ex * ex + ey * ey <= 1.0
            value = 0 if not inside else (7 + y % 3 if x // 5 % 2 else (x * seed + y) % 251 + 1)
            row += value.to_bytes(4, "little")[:bytes_per_pixel]
        out.append(bytes(row))
    return out


def trle(width, top_rows, bits, table, masks=b"", plain_compression=0):
    """A TRLE image: masks and plain compression, the row table, the kept pixels."""
    px = bits // 8
    data = bytearray(masks.ljust(12, b"\0") + struct.pack("<I", plain_compression))
    table_end = 16 + 8 * len(top_rows)
    kept_bytes = bytearray()
    for row in top_rows:
        pixels = [row[i:i + px] for i in range(0, len(row), px)]
        leading = 0
        while leading < width and not any(pixels[leading]):
            leading += 1
        end = width
        while end > leading and not any(pixels[end - 1]):
            end -= 1
        data += struct.pack("<IHH", table_end + len(kept_bytes), leading, end - leading)
        kept_bytes += row[leading * px:end * px]
    data += kept_bytes
    colours = len(table) // 4 if bits <= 8 else 0
    return header(width, len(top_rows), bits, tag("TRLE"), len(data), colours) + table + data


def arle_count(kind, n):
    return bytes([kind | n]) if n < 64 else bytes([kind | 0x80 | n >> 8, n & 0xFF])


def arle_area(width, top_rows):
    """The ARLE data area: row offsets, then each row's fills and literals."""
    codes = bytearray()
    offsets = []
    for row in top_rows:
        offsets.append(4 * len(top_rows) + len(codes))
        p = 0
        four = lambda i: row[i] == row[i + 1] == row[i + 2] == row[i + 3]
        while p + 3 < width:
            if four(p):
                q = p + 4
                while q < width and row[q] == row[p]:
                    q += 1
                codes += arle_count(0x40, q - p) + bytes([row[p]])
            else:
                q = p + 1
                while q + 3 < width and not four(q):
                    q += 1
                if q + 3 >= width:
                    q = width
                codes += arle_count(0, q - p) + row[p:q]
            p = q
        if p < width:
            codes += arle_count(0, width - p) + row[p:width]
    return struct.pack("<%dI" % len(offsets), *offsets) + codes


def arle(width, top_rows, table):
    area = arle_area(width, top_rows)
    return header(width, len(top_rows), 8, tag("ARLE"), len(area), len(table) // 4) + table + area


def prle(width, top_rows, table):
    block = memo(arle_area(width, top_rows))
    return header(width, len(top_rows), 8, tag("PRLE"), len(block), len(table) // 4) + table + block


def container(width, height, fmt, frames=1, gap=0, seed=1):
    """A zbm container: header, gap, palette (red first) for indexed formats, top-down rows."""
    bits = (fmt >> 24) & 0x3F
    table = b""
    if fmt & 0x40000000:
        table = b"".join(bytes((i, 2 * i & 0xFF, 3 * i & 0xFF, 0)) for i in range(1 << bits))
    head = struct.pack("<IIIIIII", 0x5A424D20, 28 + gap, width, height, fmt, 0, frames)
    return head + b"\xEE" * gap + table + rows(width, height, bits, seed)


def png(width, height, colour_type, depth, raw, palette=b"", cut=0):
    """A PNG file with one IDAT chunk of `raw` (rows with their filter bytes) packed by zlib."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(
            ">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0)
    body = chunk(b"IHDR", ihdr) + (chunk(b"PLTE", palette) if palette else b"")
    body += chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
    data = b"\x89PNG\r\n\x1a\n" + body
    return data[:len(data) - cut] if cut else data


def png_rows(width, height, bytes_per_pixel, seed):
    """Rows of `bytes_per_pixel` (a fraction below 1 for packed indices), each with a filter
    byte that cycles through the five filters."""
    stride = max(1, int(width * bytes_per_pixel + 0.999))
    return b"".join(bytes((y % 5,)) + bytes((x * seed + y * 7) & 0xFF for x in range(stride))
                    for y in range(height))


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

    masks555 = struct.pack("<III", 0x7C00, 0x03E0, 0x001F)
    masks888 = struct.pack("<III", 0xFF0000, 0xFF00, 0xFF)
    write("trle_decode", "trle-8bit-16colours", trle(11, sprite(11, 6, 1, 3), 8, grey16))
    write("trle_decode", "trle-8bit-empty-rows", trle(5, [bytes(5)] * 2, 8, grey16))
    write("trle_decode", "trle-16bit-565", trle(7, sprite(7, 5, 2, 5), 16, b"", masks565, 3))
    write("trle_decode", "trle-16bit-555-rgb", trle(6, sprite(6, 4, 2, 7), 16, b"", masks555))
    write("trle_decode", "trle-24bit", trle(5, sprite(5, 5, 3, 9), 24, b""))
    write("trle_decode", "trle-32bit-masks", trle(4, sprite(4, 6, 4, 11), 32, b"", masks888, 3))
    write("arle_decode", "arle-8bit-sprite", arle(13, sprite(13, 7, 1, 3), grey16))
    write("arle_decode", "arle-8bit-long-codes", arle(150, [bytes(100) + bytes(range(50)),
                                                            bytes(range(70)) + bytes(80)], grey16))
    write("arle_decode", "arle-8bit-narrow", arle(3, sprite(3, 4, 1, 5), grey16))
    write("prle_decode", "prle-8bit-sprite", prle(13, sprite(13, 7, 1, 3), grey16))
    write("prle_decode", "prle-8bit-long-codes", prle(150, [bytes(100) + bytes(range(50)),
                                                            bytes(range(70)) + bytes(80)], grey16))
    write("bitmap_load", "trle-16bit-565", trle(7, sprite(7, 5, 2, 5), 16, b"", masks565, 3))
    write("bitmap_load", "arle-8bit", arle(13, sprite(13, 7, 1, 3), grey16))
    write("bitmap_load", "prle-8bit", prle(13, sprite(13, 7, 1, 3), grey16))
    write("container_load", "index8-2x2", container(2, 2, 0x48000000))
    write("container_load", "index1-gap", container(33, 3, 0x41000000, gap=4))
    write("container_load", "index4-frames", container(5, 8, 0x44000000, frames=4))
    write("container_load", "rgb565-3x2", container(3, 2, 0x10E40565, seed=5))
    write("container_load", "bgr555-odd", container(7, 3, 0x10C60555, gap=12, seed=7))
    write("container_load", "rgb24-film", container(4, 4, 0x18E40888, frames=2, gap=4))
    write("container_load", "rgb32-empty", container(0, 0, 0x20E40888))
    palette6 = bytes(range(18))
    write("png_import", "rgb-8bit", png(5, 3, 2, 8, png_rows(5, 3, 3, 3)))
    write("png_import", "rgba-8bit", png(4, 4, 6, 8, png_rows(4, 4, 4, 5)))
    write("png_import", "grey-8bit", png(7, 2, 0, 8, png_rows(7, 2, 1, 7)))
    write("png_import", "grey-alpha-8bit", png(3, 3, 4, 8, png_rows(3, 3, 2, 9)))
    write("png_import", "rgb-16bit", png(3, 2, 2, 16, png_rows(3, 2, 6, 11)))
    write("png_import", "indexed-8bit", png(6, 3, 3, 8, bytes(
        b for y in range(3) for b in (0,) + tuple((x + y) % 6 for x in range(6))), palette6))
    write("png_import", "indexed-2bit", png(9, 2, 3, 2, png_rows(9, 2, 0.25, 1), palette6[:12]))
    write("png_import", "grey-1bit", png(17, 3, 0, 1, png_rows(17, 3, 0.125, 13)))
    write("png_import", "rgb-cut-short", png(5, 3, 2, 8, png_rows(5, 3, 3, 3), cut=20))

    # The writers take whatever either loader accepts: the loaders' own seeds, the containers'
    # under a prefix.
    for source, prefix in (("bitmap_load", ""), ("container_load", "container-")):
        folder = os.path.join(HERE, "corpus", source)
        for name in sorted(os.listdir(folder)):
            with open(os.path.join(folder, name), "rb") as f:
                write("file_writers", prefix + name, f.read())


if __name__ == "__main__":
    main()
