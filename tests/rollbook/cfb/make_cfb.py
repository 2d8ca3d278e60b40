#!/usr/bin/env python3
"""Writes a compound file without our engine, to test our reader on a layout
it did not make itself.

  make_cfb.py OUT [--sector 512|4096] [--big MEGABYTES]

The layout differs on purpose from what our writer does: the sectors of the
two large streams alternate, the directory and the MiniFAT come after the
data, DIFAT and FAT sectors last. The file is read back with olefile before
this script reports success.
"""
import argparse
import struct
import sys

import olefile

ENDOFCHAIN, FREESECT, FATSECT, DIFSECT, NOSTREAM = 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFD, 0xFFFFFFFC, 0xFFFFFFFF


def pattern(name, size):
    seed = sum(name.encode("utf-16-le")) & 0xFF
    return bytes(((i * 31) + seed + (i >> 9)) & 0xFF for i in range(size))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("out")
    ap.add_argument("--sector", type=int, default=512)
    ap.add_argument("--big", type=int, default=0)
    a = ap.parse_args()
    ssz = a.sector
    per = ssz // 4
    big_extra = a.big * 1024 * 1024

    # name, type (1 storage, 2 stream), parent index, size
    items = [
        ("Root Entry", 5, None, 0),
        ("Workbook", 2, 0, 10000 + big_extra),
        ("\x05SummaryInformation", 2, 0, 400),
        ("Empty", 2, 0, 0),
        ("Exactly4096", 2, 0, 4096),
        ("Mini4095", 2, 0, 4095),
        ("Store", 1, 0, 0),
        ("Inner", 2, 6, 300),
        ("Big inner", 2, 6, 5000),
    ]
    data = {i: pattern(n, s) for i, (n, t, p, s) in enumerate(items) if t == 2}

    sectors = []  # contents of each regular sector
    fat = {}

    def chain(contents_list):
        ids = []
        for c in contents_list:
            ids.append(len(sectors))
            sectors.append(c.ljust(ssz, b"\0"))
        for x, y in zip(ids, ids[1:]):
            fat[x] = y
        if ids:
            fat[ids[-1]] = ENDOFCHAIN
        return ids[0] if ids else ENDOFCHAIN

    def split(b, n):
        return [b[i:i + n] for i in range(0, len(b), n)]

    # Mini stream: small streams, in reverse order.
    mini = b""
    minifat = []
    starts = {}
    for i in sorted(data, reverse=True):
        d = data[i]
        if 0 < len(d) < 4096:
            first = len(minifat)
            n = (len(d) + 63) // 64
            minifat += [first + k + 1 for k in range(n - 1)] + [ENDOFCHAIN]
            mini += d.ljust(n * 64, b"\0")
            starts[i] = first
    root_start = chain(split(mini, ssz))

    # The two largest streams with alternating sectors.
    large = [i for i in data if len(data[i]) >= 4096]
    large.sort(key=lambda i: -len(data[i]))
    a_parts, b_parts = split(data[large[0]], ssz), split(data[large[1]], ssz)
    a_ids, b_ids = [], []
    for k in range(max(len(a_parts), len(b_parts))):
        for parts, ids in ((a_parts, a_ids), (b_parts, b_ids)):
            if k < len(parts):
                ids.append(len(sectors))
                sectors.append(parts[k].ljust(ssz, b"\0"))
    for ids, i in ((a_ids, large[0]), (b_ids, large[1])):
        for x, y in zip(ids, ids[1:]):
            fat[x] = y
        fat[ids[-1]] = ENDOFCHAIN
        starts[i] = ids[0]
    for i in large[2:]:
        starts[i] = chain(split(data[i], ssz))

    # Directory: every storage's children as a chain of right links, all
    # black but sorted; readers do not balance-check, and olefile walks it.
    def key(n):
        return (len(n), n.upper())

    left = {i: NOSTREAM for i in range(len(items))}
    right = dict(left)
    child = dict(left)
    for parent in range(len(items)):
        kids = [i for i, it in enumerate(items) if it[2] == parent]
        kids.sort(key=lambda i: key(items[i][0]))
        if kids:
            # a balanced tree, colours all black are fine for a reader
            def build(lo, hi):
                if lo >= hi:
                    return NOSTREAM
                m = (lo + hi) // 2
                left[kids[m]] = build(lo, m)
                right[kids[m]] = build(m + 1, hi)
                return kids[m]
            child[parent] = build(0, len(kids))
    dirbytes = b""
    for i, (name, t, p, size) in enumerate(items):
        nb = name.encode("utf-16-le") + b"\0\0"
        if t == 5:
            start, sz = root_start, len(mini)
        elif t == 1:
            start, sz = 0, 0
        else:
            sz = len(data[i])
            start = starts.get(i, ENDOFCHAIN)
        clsid = bytes(range(16)) if t == 1 else b"\0" * 16
        e = nb.ljust(64, b"\0") + struct.pack("<HBBIII", len(nb), t, 1, left[i], right[i], child[i])
        e += clsid + struct.pack("<I", 0x5A5A0000 + i) + struct.pack("<QQ", 0x01D0000000000000 + i, 0x01D1000000000000 + i)
        e += struct.pack("<IQ", start, sz)
        assert len(e) == 128
        dirbytes += e
    per_dir = ssz // 128
    while len(dirbytes) % ssz:
        dirbytes += (b"\0" * 64 + struct.pack("<HBBIII", 0, 0, 0, NOSTREAM, NOSTREAM, NOSTREAM)).ljust(128, b"\0")
    dir_start = chain(split(dirbytes, ssz))
    minifat_bytes = b"".join(struct.pack("<I", x) for x in minifat)
    minifat_start = chain(split(minifat_bytes, ssz))
    minifat_count = (len(minifat_bytes) + ssz - 1) // ssz

    # FAT and DIFAT sectors come last and must cover themselves.
    nfat = ndifat = 0
    while True:
        total = len(sectors) + nfat + ndifat
        f = (total + per - 1) // per
        d = 0 if f <= 109 else (f - 109 + per - 2) // (per - 1)
        if (f, d) == (nfat, ndifat):
            break
        nfat, ndifat = f, d
    difat_ids = list(range(len(sectors), len(sectors) + ndifat))
    fat_ids = list(range(len(sectors) + ndifat, len(sectors) + ndifat + nfat))
    for s in difat_ids:
        fat[s] = DIFSECT
    for s in fat_ids:
        fat[s] = FATSECT
    fat_table = [fat.get(s, FREESECT) for s in range(nfat * per)]
    for k, s in enumerate(difat_ids):
        entries = fat_ids[109 + k * (per - 1):109 + (k + 1) * (per - 1)]
        entries += [FREESECT] * (per - 1 - len(entries))
        nxt = difat_ids[k + 1] if k + 1 < len(difat_ids) else ENDOFCHAIN
        sectors.append(b"".join(struct.pack("<I", x) for x in entries + [nxt]))
    for k in range(nfat):
        sectors.append(b"".join(struct.pack("<I", x) for x in fat_table[k * per:(k + 1) * per]))

    header = b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + b"\0" * 16
    header += struct.pack("<HHHHH", 0x3E, 4 if ssz == 4096 else 3, 0xFFFE, 12 if ssz == 4096 else 9, 6)
    header += b"\0" * 6
    header += struct.pack("<IIIIIIIII", len(dirbytes) // ssz if ssz == 4096 else 0, nfat, dir_start, 0, 4096,
                          minifat_start if minifat_count else ENDOFCHAIN, minifat_count,
                          difat_ids[0] if difat_ids else ENDOFCHAIN, ndifat)
    head_difat = fat_ids[:109] + [FREESECT] * (109 - min(109, nfat))
    header += b"".join(struct.pack("<I", x) for x in head_difat)
    assert len(header) == 512, len(header)
    with open(a.out, "wb") as f:
        f.write(header.ljust(ssz, b"\0"))
        for s in sectors:
            f.write(s)

    ole = olefile.OleFileIO(a.out)
    assert ole.sectorsize == ssz
    for i, (name, t, p, size) in enumerate(items):
        if t != 2:
            continue
        path = [name] if p == 0 else [items[p][0], name]
        assert ole.openstream(path).read() == data[i], name
    print("fat sectors", nfat, "difat sectors", ndifat)
    return 0


if __name__ == "__main__":
    sys.exit(main())
