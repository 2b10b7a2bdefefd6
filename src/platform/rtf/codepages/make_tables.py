#!/usr/bin/env python3
"""Writes the code-page tables the RTF reader decodes \\'hh bytes with.

Each table is little-endian 16-bit code units. The first 128 give the
character of each single byte 0x80..0xFF (0xFFFE marks a lead byte of a
double-byte code page, 0xFFFD a byte with no character). Double-byte code
pages follow with 128 x 256 units: the character of lead byte L and trail
byte T at (L - 0x80) * 256 + T, 0xFFFD where there is none. Bytes below 0x80
are ASCII in every code page the reader uses.

Run it from this folder: python3 make_tables.py
"""
import codecs
import struct

SINGLE_BYTE = {
    437: "cp437", 850: "cp850", 874: "cp874",
    1250: "cp1250", 1251: "cp1251", 1252: "cp1252", 1253: "cp1253",
    1254: "cp1254", 1255: "cp1255", 1256: "cp1256", 1257: "cp1257",
    1258: "cp1258", 10000: "mac_roman", 10007: "mac_cyrillic",
}
DOUBLE_BYTE = {932: "cp932", 936: "gbk", 949: "cp949", 950: "cp950"}

NONE, LEAD = 0xFFFD, 0xFFFE


def decode(codec, data):
    try:
        text = codecs.decode(data, codec)
    except UnicodeDecodeError:
        return None
    return text if len(text) == 1 and ord(text) <= 0xFFFF else None


def write(number, units):
    with open("cp%d.bin" % number, "wb") as out:
        out.write(struct.pack("<%dH" % len(units), *units))


for number, codec in SINGLE_BYTE.items():
    units = []
    for byte in range(0x80, 0x100):
        ch = decode(codec, bytes([byte]))
        units.append(ord(ch) if ch else NONE)
    write(number, units)

for number, codec in DOUBLE_BYTE.items():
    singles, pairs = [], []
    for lead in range(0x80, 0x100):
        ch = decode(codec, bytes([lead]))
        row = [NONE] * 256
        for trail in range(0x40, 0x100):
            pair = decode(codec, bytes([lead, trail]))
            if pair:
                row[trail] = ord(pair)
        is_lead = any(unit != NONE for unit in row)
        singles.append(LEAD if is_lead else (ord(ch) if ch else NONE))
        pairs.extend(row)
    write(number, singles + pairs)
