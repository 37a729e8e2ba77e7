#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into corpus/<target>/seed-*.

The seeds are small, valid examples of each format (the fuzzer mutates from there); run again
after a format changes. Inputs kept because they once found a fault are named crash-* and are
never rewritten here."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data):
    folder = os.path.join(here, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "seed-" + name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())


def text(image, offset, width, value):
    b = value.encode()[: width - 1]
    image[offset:offset + len(b)] = b


def record(n=256, year=2026, month=12, day=8, hour=12, minute=30, second=5, memo="roof", valid=1, type_code="100"):
    image = bytearray(2560)
    text(image, 0, 4, type_code)
    for off, value in ((4, "ZQ118"), (36, "ST-1"), (68, "SN0001"), (100, "FV"), (132, "FT")):
        text(image, off, 32, value)
    struct.pack_into("<if", image, 164, 0, 0.0)
    struct.pack_into("<f", image, 172, 21.5)
    struct.pack_into("<5f", image, 176, 300.0, 3.1372549, 0.0, 0.0, 0.0)
    text(image, 196, 5, "%04d" % year)
    for off, v in ((201, month), (204, day), (207, hour), (210, minute), (213, second)):
        text(image, off, 3, "%02d" % v)
    text(image, 216, 64, memo)
    struct.pack_into("<iiffffiii", image, 280, valid, 50, 139.7, 35.6, 40.0, 0, 0, n, 0)
    struct.pack_into("<f", image, 312, 0.0)
    cal = 2560 - 8 * n
    sig = 2560 - 4 * n
    for i in range(n):
        struct.pack_into("<f", image, cal + 4 * i, 0.5 + i / 1024.0)
        struct.pack_into("<f", image, sig + 4 * i, 100.0 + 20.0 * (i % 50))
    return bytes(image)


put("data_file", "two-records", record() + record(hour=13, memo="cloudy a"))
put("data_file", "deleted-and-truncated", record(valid=0) + record(n=280, memo="max pixels")[:1500])
put("data_file", "h-type", record(type_code="1H0", n=128))

# Files of the maker's format: "label,value" header lines, one skipped line, tables, records.
def line(label, value):
    return (label + "," + value + "\n").encode()


def table(base):
    return b"".join(struct.pack("<f", base + i / 1024.0) for i in range(256))


def header_v3(version="03.00"):
    h = line("Version", version) + line("ID", "ZQ118-A") + line("Serial", "SN42") + line("ST", "ST-1")
    h += line("FV", "FV-2") + line("FT", "FT-3")
    for k, v in enumerate(("300.5", "3.25", "-0.001", "1e-7", "0")):
        h += line("c%d" % k, v)
    h += b"Pixel data follow\r\n"
    return h + b"".join(table(k + 1) for k in range(4))


def record_v3(t, memo, tab=0):
    r = memo.encode()[:12].ljust(12, b"\0")
    r += struct.pack("<qifddfii", t, 40, 25.5, 139.123456789, -35.5, 123.0, 1, tab)
    r += b"".join(struct.pack("<f", 100.0 + i) for i in range(256))
    return r + struct.pack("<i", 0x7FFFFFFF)


def header_old(version, tables):
    h = line("Version", version) + line("Memo", "old memo") + line("ID", "ZQ100") + line("Serial", "S7")
    h += line("ST", "st") + line("FV", "fv") + line("FT", "ft") + line("Real", "2.5") + line("Int", "-17")
    for k, v in enumerate(("350", "3", "0", "0", "0")):
        h += line("c%d" % k, v)
    return h + b"skip\n" + b"".join(table(k + 1) for k in range(tables))


def record_old(t):
    return struct.pack("<qif", t, 80, 10.0) + b"".join(struct.pack("<f", 50.0 + i) for i in range(256))


day = 1796731200  # 2026-12-08 12:00 UTC
put("import", "v3-two-days", header_v3() + record_v3(day, "a", 0) + record_v3(day + 60, "b", 3)
    + record_v3(day + 86400, "c", 1))
put("import", "v2", header_old("02.00", 1) + record_old(day) + record_old(day - 3600))
put("import", "v1-truncated", header_old("01.00", 0) + record_old(day) + record_old(day + 1)[:100])

put("ini", "program", "[GENERAL]\r\nDATA_STORED_FOLDER=C:\\data\\\r\nFILE_NAME_ID=ZQ\r\n\r\n"
    "[MEASUREMENT]\r\nPORT_TYPE=1\r\nRS232C_PORT=3\r\nINTERVAL_START=06:00:00\r\nINTERVAL_END=18:30:00\r\n"
    "INTERVAL_SPAN=300\r\n; comment\r\n[SEARCH]\r\nSTART= 2026/12/08 \r\nCOMMENT=roof\r\n")
put("ini", "history", "[BASE_DATA_HISTORY]\nPOS00_VALID=1\nPOS00_DATE=2026/12/08 12:00:00\nPOS00_OFFSET=2560\n"
    "POS01_VALID=1\nPOS01_DATE=bad\n[DATA_GRAPH]\nRANGE_MIN_X=300\nRANGE_MAX_X=1100\ncolor=255\n")
put("ini", "odd-lines", "  [ general ]  \nkey\n=value\nDATA_STORED_FOLDER = spaced value   \n[unterminated\nx=" + "y" * 600 + "\n")

for name, t in (("full", "2026/12/08 12:30:45"), ("year", "2026"), ("seps", " 2026 : 3 / 29 2:30"),
                ("clamped", "1999/13/40 25:61:61"), ("negative", "-5/-1/x"), ("blank", " \t/:"),
                ("iso", " 2026-12-08\t7 "), ("dst-gap", "2026/3/29 2:30"), ("dst-twice", "2026/10/25 02:30:00"),
                ("april-31", "2026/04/31")):
    put("search_time", name, t)

put("csv_text", "plain", "roof 1" + "\0\0\x80\x3f" + "\xff\xff\x7f\x7f")
put("csv_text", "quotes", 'say "hi", then\r\nleave' + "\x01\x00\x00\x00")
put("csv_text", "numbers", struct.pack("<8f", 0.0, -0.0, 1e-38, 3.4e38, 123456.5, 0.1, float("inf"), float("nan")).decode("latin-1") + ",")


def replies(shape, *items):
    out = bytes([shape])
    for r in items:
        r = r if isinstance(r, bytes) else r.encode()
        out += struct.pack("<H", len(r)) + r
    return out


calt = ",".join("%.4f" % (1.0 + i / 512.0) for i in range(256)) + ",\rOK\r"
info = ["ZQ118 \rOK\r", "SN0001 \rOK\r", "ST1 \rOK\r", "FV \rOK\r", "FT \rOK\r",
        "300.0\rOK\r", "3.137\rOK\r", "0\rOK\r", "0\rOK\r", "0\rOK\r", calt, calt, calt, calt]
header = ["memo\rOK\r", "1796731200\rOK\r", "50\rOK\r", "21.5\rOK\r", "139.7\rOK\r", "35.6\rOK\r", "40\rOK\r",
          "1\rOK\r", "2\rOK\r"]
pixels = b"".join(struct.pack("<h", (i * 97) % 32768) for i in range(256)) + b"OK\r"
put("instrument_reply", "transfer-serial", replies(0, *info, "2\rOK\r", *header, pixels, *header, pixels))
put("instrument_reply", "transfer-usb-split", replies(1 | 2 | 8, *info, "1\rOK\r", *header, pixels))
put("instrument_reply", "transfer-usb-pipes", replies(0x80, *info, "1\rOK\r", *header, pixels))
put("instrument_reply", "err-and-junk", replies(0, "ERR\r", "xERR\r"))
put("instrument_reply", "zero-exposure", replies(1, *info, "1\rOK\r", *header[:2], "0\rOK\r", *header[3:], pixels))
