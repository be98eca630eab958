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


def blocks(memory):
    """The memory as the logger sends it: 67-byte blocks with their sums."""
    out = []
    for at in range(0, len(memory), 64):
        payload = memory[at:at + 64].ljust(64, b"\xFF")
        out.append(b"\xAA" + payload + bytes([sum(payload) & 0xFF]) + b"\x55")
    return out


def steps(pieces):
    """Block transfer steps: 16 ms apart, each at most 255 bytes."""
    out = b""
    for piece in pieces:
        for at in range(0, len(piece), 255):
            part = piece[at:at + 255]
            out += b"\x01" + bytes([len(part)]) + part
    return out


def block_transfer():
    folder = os.path.join(GOLDEN, "collections")
    names = ["fill-ff-three-sets.880", "fill-00-two-sets.880", "fifteen-sets.880"]
    for name in names:
        memory = open(os.path.join(folder, name), "rb").read()[:4096]
        sent = blocks(memory)
        stem = name[:-4]
        fill = b"\x02" if "fill-00" in name else b"\x00"
        write("block_transfer", stem + "-memory", fill + steps(sent))
        write("block_transfer", stem + "-directory", b"\x01" + steps(sent[:4]))
    memory = open(os.path.join(folder, names[0]), "rb").read()[:1024]
    sent = blocks(memory)
    bad = bytearray(sent[1])
    bad[65] ^= 0xFF
    # A refused block sent again, a partial block given up after 1.6 s, a long silence.
    write("block_transfer", "refused-and-partial",
          b"\x00" + steps([sent[0], bytes(bad), sent[1], sent[2][:30]]) + b"\x64\x00" + steps(sent[2:]) +
          b"\xff\x00")


def clock_replies():
    reply = b"\xEF" + bytes([26, 12, 8, 5, 13, 59]) + b"\xFE"
    write("clock_replies", "one", b"\x01\x02\x03\x04" + reply)
    write("clock_replies", "garbage-and-impossible-date", b"\x00\x00\x00\x07" + b"\x12\xEF\x00" + reply +
          b"\xEF" + bytes([26, 2, 30, 0, 0, 0]) + b"\xFE" + reply[:5])
    write("clock_replies", "polled", b"\xff\xff\xff\xff" + b"".join(
        b"\xEF" + bytes([26, 12, 8, 5, 14, s]) + b"\xFE" for s in range(0, 60, 7)))


def logger_replies():
    write("logger_replies", "search-860", b"860\r\n")
    write("logger_replies", "search-862", b"\x00862\x00")
    write("logger_replies", "firmware", b"\xEFV1.23    \xFE")
    write("logger_replies", "interval-60", b"\xEF\x3c\x00\xFE")
    write("logger_replies", "interval-unknown", b"\xEF\x07\x00\xFE")
    write("logger_replies", "erase", b"\xEFY\xFE")


if __name__ == "__main__":
    live_frames()
    collections()
    text_files()
    settings()
    sim_commands()
    block_transfer()
    clock_replies()
    logger_replies()
