#!/usr/bin/env python3
"""Writes the seed corpora of the harnesses whose inputs are plain bytes
(the graph_file seeds come from fuzz_make_seeds). Each harness reads a few
option bytes first; the seeds here start with them."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
GOLDEN = os.path.join(HERE, "..", "golden")
CORPUS = os.path.join(HERE, "corpus")


def write(harness, name, data):
    folder = os.path.join(CORPUS, harness)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def frame860(tenths, battery, memory, status):
    return b"\xEF" + struct.pack("<hBBBB", tenths, battery, memory, status, 0) + b"\xFE"


def frame862(tenths, humidity, battery, memory, status):
    return b"\xEF" + struct.pack("<hhBBBB", tenths, humidity, battery, memory, status, 0) + b"\xFE"


def live_frames():
    seed = b"\x12\x34\x56\x78"
    day860 = b"".join(frame860(t, 3, 2, 0x01 | (0x08 if t % 2 else 0)) for t in range(-35, 400, 17))
    write("live_frames", "860-frames", b"\x00" + seed + day860)
    write("live_frames", "860-garbage-between", b"\x00" + b"\x01\x02\x03\x04" +
          b"\xEF\x00\xFE" + frame860(235, 4, 1, 0x02) + b"\x55" * 5 + frame860(-32768, 9, 30, 0x0B))
    day862 = b"".join(frame862(t, 550 - t, 2, 3, s) for t, s in [(215, 1), (-12, 2), (999, 0), (32767, 9)])
    write("live_frames", "862-frames", b"\x01" + seed + day862)
    write("live_frames", "862-cut-frame", b"\x01" + b"\xff\x00\xff\x00" + day862[:-3] + day862)


def collections():
    folder = os.path.join(GOLDEN, "collections")
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".880"):
            continue
        data = open(os.path.join(folder, name), "rb").read()
        stem = name[:-4]
        write("collection_file", name, data)
        # Memory image: the file length as size (0) and the directory's total (2), fill FF; fill 00 (1).
        write("memory_image", stem + "-ff", b"\x00" + data)
        write("memory_image", stem + "-ff-total", b"\x02" + data)
        write("memory_image", stem + "-00", b"\x01" + data)


def text_files():
    folder = os.path.join(GOLDEN, "text")
    for name in sorted(os.listdir(folder)):
        data = open(os.path.join(folder, name), "rb").read()
        german = 1 if ".de_DE." in name else 0
        comma = 2 if name.endswith(".csv") else 0
        write("text_file", name, bytes([german | comma]) + data)
    write("text_file", "header-and-empty-line.en_US.txt",
          b"\x00Date\tTime\tValue\r\n03/29/24\t7:13:15 AM\t23.5\r\n\r\n03/29/24\t7:13:17 AM\tOL\r\n")
    write("text_file", "cr-only.de_DE.csv", b"\x03" + b"29.03.24,07:13:15,23,5\r29.03.24,07:13:17,x\r")


def settings():
    write("settings_file", "two-lines", b"[COM PORT]\n3\n")
    write("settings_file", "crlf", b"[COM PORT]\r\n12\r\n")
    write("settings_file", "section-only", b"[COM PORT]\n")
    write("settings_file", "not-a-number", b"[COM PORT]\nabc\n")


def plain(letter, params=b""):
    return b"\xEF" + letter + params + b"\xFE"


def checksummed(letter, params=b""):
    total = (letter[0] + sum(params)) & 0xFF
    return b"\x02" + letter + params + bytes([total | 0x80]) + b"\x03"


def sim_commands():
    seed = b"\x01\x02\x03\x04"
    write("sim_commands", "search-live-firmware", seed + b"\x00" + plain(b"M") + plain(b"A") + plain(b"V"))
    write("sim_commands", "download", seed + plain(b"D") + plain(b"y") * 3 + plain(b"n") + plain(b"y"))
    write("sim_commands", "setup", seed + checksummed(b"T") + checksummed(b"t", bytes([24, 3, 29, 7, 13, 15])) +
          checksummed(b"I") + checksummed(b"S", b"\x01") + checksummed(b"i", b"\x02\x00") +
          checksummed(b"d") + checksummed(b"e", b"\x55"))
    write("sim_commands", "marks-in-parameters", b"\xff\xff\xff\xff" + plain(b"t", b"\xEF\xFE\x02\x00\x03\xFE") +
          b"\xEF\x41" + plain(b"A"))


if __name__ == "__main__":
    live_frames()
    collections()
    text_files()
    settings()
    sim_commands()
