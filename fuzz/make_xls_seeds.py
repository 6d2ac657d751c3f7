#!/usr/bin/env python3
"""Writes the compound-file shapes of the .xls seeds that LibreOffice never
writes but Excel files may have, around the Workbook stream of a LibreOffice
.xls: 4096-byte sectors, an allocation table long enough to need the header's
continuation chain, and the stream name "Book" of Excel 5/95.

    fuzz/make_xls_seeds.py <libreoffice.xls> <output folder>
"""
import os
import struct
import sys

SIGNATURE = b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"
FREE, END, FAT_SECTOR, DIFAT_SECTOR, NO_ENTRY = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD, 0xFFFFFFFC, 0xFFFFFFFF
MINI_CUTOFF, MINI_SECTOR = 4096, 64


def read_stream(path, wanted):
    data = open(path, "rb").read()
    size = 1 << struct.unpack_from("<H", data, 0x1E)[0]
    fat_count, directory_start = struct.unpack_from("<II", data, 0x2C)
    minifat_start = struct.unpack_from("<I", data, 0x3C)[0]
    fat = []
    for sector in struct.unpack_from("<109I", data, 0x4C)[:fat_count]:
        fat += struct.unpack_from("<%dI" % (size // 4), data, (sector + 1) * size)

    def chain(start, table, unit, source, offset_of):
        out, sector = b"", start
        while sector != END:
            out += source[offset_of(sector):offset_of(sector) + unit]
            sector = table[sector]
        return out

    regular = lambda start: chain(start, fat, size, data, lambda s: (s + 1) * size)
    directory = regular(directory_start)
    minifat = list(struct.unpack("<%dI" % (len(regular(minifat_start)) // 4), regular(minifat_start)))
    root_start = struct.unpack_from("<I", directory, 0x74)[0]
    mini_stream = regular(root_start)
    for at in range(0, len(directory), 128):
        length = struct.unpack_from("<H", directory, at + 0x40)[0]
        if directory[at:at + length - 2].decode("utf-16-le") == wanted:
            start, stream_size = struct.unpack_from("<II", directory, at + 0x74)
            if stream_size < MINI_CUTOFF:
                return chain(start, minifat, MINI_SECTOR, mini_stream, lambda s: s * MINI_SECTOR)[:stream_size]
            return regular(start)[:stream_size]
    raise SystemExit("%s has no stream %s" % (path, wanted))


def directory_entry(name, kind, start, size, child=NO_ENTRY):
    encoded = (name + "\0").encode("utf-16-le") if name else b""
    entry = bytearray(128)
    entry[:len(encoded)] = encoded
    struct.pack_into("<HBB", entry, 0x40, len(encoded), kind, 1)
    struct.pack_into("<III", entry, 0x44, NO_ENTRY, NO_ENTRY, child)
    struct.pack_into("<II", entry, 0x74, start, size)
    return bytes(entry)


def compound_file(stream_name, stream, sector_shift=9, min_fat_sectors=1):
    size = 1 << sector_shift
    sectors_for = lambda length: (length + size - 1) // size
    mini = len(stream) < MINI_CUTOFF
    mini_sectors = (len(stream) + MINI_SECTOR - 1) // MINI_SECTOR if mini else 0
    body = [("directory", 1)]
    if mini:
        body += [("minifat", sectors_for(4 * mini_sectors)), ("ministream", sectors_for(mini_sectors * MINI_SECTOR))]
    else:
        body += [("stream", sectors_for(len(stream)))]
    used = sum(count for _, count in body)
    fat_count = max(min_fat_sectors, 1)
    while True:
        difat_count = 0 if fat_count <= 109 else -(-(fat_count - 109) // (size // 4 - 1))
        if fat_count * size // 4 >= fat_count + difat_count + used:
            break
        fat_count += 1

    fat, placed, next_sector = [FREE] * (fat_count * size // 4), {}, 0
    for name, count in [("fat", fat_count), ("difat", difat_count)] + body:
        placed[name] = list(range(next_sector, next_sector + count))
        next_sector += count
    for sector in placed["fat"]:
        fat[sector] = FAT_SECTOR
    for sector in placed["difat"]:
        fat[sector] = DIFAT_SECTOR
    for name, _ in body:
        for here, following in zip(placed[name], placed[name][1:] + [END]):
            fat[here] = following

    sectors = {}
    for index, sector in enumerate(placed["fat"]):
        sectors[sector] = struct.pack("<%dI" % (size // 4), *fat[index * size // 4:(index + 1) * size // 4])
    rest = placed["fat"][109:]
    for index, sector in enumerate(placed["difat"]):
        slots = rest[index * (size // 4 - 1):(index + 1) * (size // 4 - 1)]
        slots += [FREE] * (size // 4 - 1 - len(slots))
        following = placed["difat"][index + 1] if index + 1 < difat_count else END
        sectors[sector] = struct.pack("<%dI" % (size // 4), *slots, following)
    if mini:
        root = directory_entry("Root Entry", 5, placed["ministream"][0], mini_sectors * MINI_SECTOR, child=1)
        entry = directory_entry(stream_name, 2, 0, len(stream))
        minifat = list(range(1, mini_sectors)) + [END]
        minifat_bytes = struct.pack("<%dI" % len(minifat), *minifat)
        for index, sector in enumerate(placed["minifat"]):
            sectors[sector] = minifat_bytes[index * size:(index + 1) * size]
        for index, sector in enumerate(placed["ministream"]):
            sectors[sector] = stream[index * size:(index + 1) * size]
    else:
        root = directory_entry("Root Entry", 5, END, 0, child=1)
        entry = directory_entry(stream_name, 2, placed["stream"][0], len(stream))
        for index, sector in enumerate(placed["stream"]):
            sectors[sector] = stream[index * size:(index + 1) * size]
    empty = directory_entry("", 0, 0, 0)
    sectors[placed["directory"][0]] = root + entry + empty * (size // 128 - 2)

    header = bytearray(size)
    header[:8] = SIGNATURE
    struct.pack_into("<HHHHH", header, 0x18, 0x3E, 3 if sector_shift == 9 else 4, 0xFFFE, sector_shift, 6)
    struct.pack_into("<IIII", header, 0x2C, fat_count, placed["directory"][0], 0, MINI_CUTOFF)
    struct.pack_into("<IIII", header, 0x3C, placed["minifat"][0] if mini else END,
                     len(placed.get("minifat", [])), placed["difat"][0] if difat_count else END, difat_count)
    slots = placed["fat"][:109] + [FREE] * (109 - min(fat_count, 109))
    struct.pack_into("<109I", header, 0x4C, *slots)
    return bytes(header) + b"".join(sectors[s].ljust(size, b"\0") for s in range(next_sector))


def main():
    source, folder = sys.argv[1], sys.argv[2]
    workbook = read_stream(source, "Workbook")
    stem = os.path.splitext(os.path.basename(source))[0]
    shapes = {
        "sectors_4096": dict(sector_shift=12),
        "fat_continued": dict(min_fat_sectors=110),
    }
    for shape, arguments in shapes.items():
        with open(os.path.join(folder, "%s_%s.xls" % (stem, shape)), "wb") as out:
            out.write(compound_file("Workbook", workbook, **arguments))
    with open(os.path.join(folder, "%s_book_stream.xls" % stem), "wb") as out:
        out.write(compound_file("Book", workbook))


if __name__ == "__main__":
    main()
