#!/usr/bin/env python3
"""Independent check of compound files written by our engine, with olefile.

  olefile_check.py same ORIGINAL WRITTEN [--except NAME] [--expect NAME=FILE]
      every stream and storage of ORIGINAL is in WRITTEN with the same bytes,
      CLSID, state bits and timestamps (NAME, a root stream, excepted; with
      --expect its new contents must equal FILE), and WRITTEN holds nothing
      else. The directory tree of WRITTEN must be sorted and a valid
      red-black tree. With --xlrd both files must also read the same as
      workbooks in xlrd (its own compound file reader): sheets and cells.
  olefile_check.py streams FILE DIR
      the root streams of FILE are exactly the files of DIR, byte for byte.
  olefile_check.py dump FILE
      prints sector size and "path size sha256" for every stream.
"""
import hashlib
import sys

import olefile


def entries(ole):
    out = {}
    for path in ole.listdir(streams=True, storages=True):
        key = "/".join(path)
        sid = ole._find(path)
        e = ole.direntries[sid]
        data = ole.openstream(path).read() if e.entry_type == olefile.STGTY_STREAM else None
        out[key] = (e.entry_type, e.clsid, e.dwUserFlags, e.createTime, e.modifyTime, data)
    root = ole.root
    out["<root>"] = (root.entry_type, root.clsid, root.dwUserFlags, root.createTime,
                     root.modifyTime, None)
    return out


def upper_key(name):
    # Simple (one-to-one) upper-casing, as the format compares names: "ß"
    # stays itself rather than becoming "SS".
    return (len(name), "".join(c.upper() if len(c.upper()) == 1 else c for c in name))


def check_tree(ole):
    problems = []
    dirs = ole.direntries

    def walk(sid, lo, hi):
        if sid == olefile.NOSTREAM:
            return 1
        e = dirs[sid]
        k = upper_key(e.name)
        if (lo is not None and not lo < k) or (hi is not None and not k < hi):
            problems.append("tree out of order at %r" % e.name)
        bl = walk(e.sid_left, lo, k)
        br = walk(e.sid_right, k, hi)
        if bl != br:
            problems.append("black heights differ under %r" % e.name)
        if e.color == 0:
            for c in (e.sid_left, e.sid_right):
                if c != olefile.NOSTREAM and dirs[c].color == 0:
                    problems.append("red node %r has a red child" % e.name)
        return bl + (1 if e.color == 1 else 0)

    def storages(e):
        walk(e.sid_child, None, None)
        if e.sid_child != olefile.NOSTREAM and dirs[e.sid_child].color == 0:
            problems.append("red tree root under %r" % e.name)
        for k in e.kids:
            if k.entry_type == olefile.STGTY_STORAGE:
                storages(k)

    storages(ole.root)
    return problems


def main():
    if sys.argv[1] == "dump":
        ole = olefile.OleFileIO(sys.argv[2])
        print("sector", ole.sectorsize)
        for path in ole.listdir():
            data = ole.openstream(path).read()
            print("/".join(path), len(data), hashlib.sha256(data).hexdigest())
        return 0
    if sys.argv[1] == "streams":
        import os
        ole = olefile.OleFileIO(sys.argv[2])
        problems = check_tree(ole)
        have = {"/".join(p): ole.openstream(p).read() for p in ole.listdir()}
        want = {n: open(os.path.join(sys.argv[3], n), "rb").read() for n in os.listdir(sys.argv[3])}
        if sorted(have) != sorted(want):
            problems.append("streams %r, expected %r" % (sorted(have), sorted(want)))
        problems += ["stream %r differs" % n for n in want if n in have and have[n] != want[n]]
        for p in problems:
            print(p)
        return 1 if problems else 0
    original, written = sys.argv[2], sys.argv[3]
    skip, expect, use_xlrd = None, None, False
    args = sys.argv[4:]
    while args:
        if args[0] == "--xlrd":
            use_xlrd = True
            args = args[1:]
            continue
        if args[0] == "--except":
            skip = args[1]
        elif args[0] == "--expect":
            name, _, path = args[1].partition("=")
            expect = (name, open(path, "rb").read())
        args = args[2:]
    a = entries(olefile.OleFileIO(original))
    ole_b = olefile.OleFileIO(written)
    b = entries(ole_b)
    problems = check_tree(ole_b)
    for key in sorted(set(a) | set(b)):
        if skip is not None and key.lower() == skip.lower():
            continue
        if key not in a:
            problems.append("extra entry %r" % key)
        elif key not in b:
            problems.append("missing entry %r" % key)
        elif a[key] != b[key]:
            problems.append("entry %r differs" % key)
    if expect is not None:
        match = [k for k in b if k.lower() == expect[0].lower()]
        if len(match) != 1 or b[match[0]][5] != expect[1]:
            problems.append("stream %r does not hold the expected bytes" % expect[0])
    if use_xlrd:
        a_book, b_book = xlrd_cells(original), xlrd_cells(written)
        if a_book != b_book:
            problems.append("xlrd reads the workbooks differently: %s / %s" % (
                str(a_book)[:200], str(b_book)[:200]))
    for p in problems:
        print(p)
    return 1 if problems else 0


def xlrd_cells(path):
    import xlrd
    try:
        book = xlrd.open_workbook(path, on_demand=False)
    except Exception as e:  # the same refusal for both is fine
        return ("refused", type(e).__name__, str(e))
    return [(s.name, [s.row_values(r) for r in range(s.nrows)]) for s in book.sheets()]


if __name__ == "__main__":
    sys.exit(main())
