#!/usr/bin/env python3
"""Writes the sample collection files and, computed here independently of
the program, what decoding them must give. Run it from this folder after
changing a case; the files it writes are committed.

For each NAME.880: NAME.expected holds either one line "NoData" or
"DataError intact=N", or the data set list (set, start, rate, count, unit)
followed by the samples (set, index, time, value). A record whose start is
impossible starts at NOW (the tests decode with that fixed time)."""
import datetime as dt
import struct

NOW = dt.datetime(2020, 1, 1, 12, 0, 0)
TOP = 16219136  # weight of an end address's fourth byte


class Memory:
    def __init__(self, fill=0xFF):
        self.fill = fill
        self.b = bytearray([fill]) * 256

    def record(self, k, end, interval=2, date=(24, 3, 29, 7, 13, 15), flags=0):
        r = 16 * (k + 1)
        self.b[r + 1] = flags
        self.b[r + 2:r + 4] = struct.pack('<H', interval)
        self.b[r + 4:r + 10] = bytes(date)
        self.b[r + 12:r + 16] = struct.pack('<I', end)

    def samples(self, raws):
        for v in raws:
            self.b += struct.pack('<h', v)

    def pad(self, to, byte=None):
        self.b += bytes([self.fill if byte is None else byte]) * (to - len(self.b))


def start_of(rec):
    yy, mo, dd, hh, mi, ss = rec[4:10]
    try:
        return dt.datetime(2000 + yy, mo, dd, hh, mi, ss)
    except ValueError:
        return NOW


def expected(data):
    b = bytes(data)
    if len(b) < 256:
        return ['NoData']
    count = 0
    for k in range(15):
        r = 16 * (k + 1)
        if b[r + 12:r + 16] == b'\xff\xff\xff\xff':
            break
        count += 1
    if count == 0:
        return ['NoData']
    total = len(b)
    first = 256
    sets = []
    for k in range(count):
        rec = b[16 * (k + 1):16 * (k + 2)]
        end = rec[12] + 256 * rec[13] + 65536 * rec[14] + TOP * rec[15]
        if end - 1 > total:
            return ['DataError intact=%d' % k]
        n = (end - first) // 2 if end > first else 0
        sets.append((first, n, start_of(rec), struct.unpack('<H', rec[2:4])[0], 'F' if rec[1] & 1 else 'C'))
        first = end
    lines = []
    for k, (first, n, start, interval, unit) in enumerate(sets):
        lines.append('%d\t%s\t%02d:%02d\t%d\t%s' % (k + 1, start.strftime('%Y-%m-%dT%H:%M:%S'),
                                                    interval // 60, interval % 60, n, unit))
    for k, (first, n, start, interval, unit) in enumerate(sets):
        for j in range(n):
            at = first + 2 * j
            lo = b[at] if at < total else 0
            hi = b[at + 1] if at + 1 < total else 0
            raw = struct.unpack('<h', bytes([lo, hi]))[0]
            if raw < -2000:
                text = '-9999.0'
            elif raw > 13700:
                text = '9999.0'
            else:
                text = '%s%d.%d' % ('-' if raw < 0 else '', abs(raw) // 10, abs(raw) % 10)
            t = start + dt.timedelta(seconds=j * interval)
            lines.append('%d\t%d\t%s\t%s' % (k + 1, j, t.strftime('%Y-%m-%dT%H:%M:%S'), text))
    return lines


cases = {}

m = Memory()  # a model 860 memory: three runs, the range marks, a last block filled up
m.record(0, 256 + 2 * 6, interval=2)
m.samples([235, -5, -2000, -2001, 13700, 13701])
m.record(1, 256 + 2 * 10, interval=90, date=(25, 12, 31, 23, 59, 50), flags=1)
m.samples([720, 721, 722, 723])
m.record(2, 256 + 2 * 13, interval=3600, date=(8, 5, 21, 14, 3, 0))
m.samples([0, 1, -1])
m.pad(320)
cases['fill-ff-three-sets'] = m

m = Memory(fill=0x00)  # written by a model 862: its unused records are 00
m.record(0, 256 + 2 * 4, interval=10)
m.samples([100, 200, 300, 400])
m.record(1, 256 + 2 * 6, interval=10, date=(24, 7, 1, 0, 0, 0))
m.samples([500, 600])
m.pad(320)
cases['fill-00-two-sets'] = m

m = Memory()
m.pad(320)
cases['empty-directory'] = m

m = Memory()
m.record(0, 1256)
m.samples([200 + (j % 50) for j in range(500)])
m.pad(1280)
cases['one-set-500-samples'] = m

m = Memory()
end = 256
for k in range(15):
    end += 2 * (k + 1)
    m.record(k, end, interval=k + 1, date=(24, 1, k + 1, k, 2 * k, 3 * k), flags=k & 1)
m.samples([10 * j - 50 for j in range(sum(range(1, 16)))])
cases['fifteen-sets'] = m

m = Memory()
m.record(0, 260, date=(24, 13, 1, 0, 0, 0))   # month 13
m.record(1, 264, date=(23, 2, 29, 0, 0, 0))   # no 29 February in 2023
m.record(2, 268, date=(24, 2, 29, 24, 0, 0))  # hour 24
m.record(3, 272, date=(24, 2, 29, 23, 59, 59))
m.samples(list(range(1, 9)))
cases['impossible-dates'] = m

m = Memory()
m.record(0, 261)   # two samples, one byte left unread
m.record(1, 266)   # from the odd address 261
m.samples([11, 22, 33, 44, 55])
cases['odd-end-addresses'] = m

m = Memory()
m.record(0, 264)
m.record(1, 200)   # ends below its first offset: no samples; the next starts at 200
m.record(2, 204)
m.samples([1, 2, 3, 4])
cases['end-below-first'] = m

m = Memory()
m.record(0, 262)
m.samples([11, 22])
m.b += bytes([33])  # 261 bytes: the last sample's high byte lies one past the file
cases['end-one-past-the-file'] = m

m = Memory()
m.record(0, 258 + (1 << 24))  # byte 15 set
m.samples([1])
cases['end-address-byte-15'] = m

m = Memory()
m.record(0, 256)
cases['exactly-a-directory'] = m

m = Memory()
m.record(0, 260)
m.record(1, 264)
m.record(2, 5000)  # beyond the file
m.samples([1, 2, 3, 4])
cases['third-set-beyond-the-file'] = m

for name, mem in cases.items():
    with open('collections/%s.880' % name, 'wb') as f:
        f.write(mem.b)
    with open('collections/%s.expected' % name, 'w', newline='\n') as f:
        f.write('\n'.join(expected(mem.b)) + '\n')
