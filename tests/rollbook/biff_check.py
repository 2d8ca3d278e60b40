"""Record-level checks of a written .xls, independent of the engine.

    biff_check.py structure FILE [SHEET ...]
        BOUNDSHEET positions point at each sheet's BOF, INDEX at the DBCELLs,
        DBCELL offsets at their ROW and first cell records, EXTSST at string
        starts; no record longer than 8224 bytes; every CONTINUE of string
        characters starts with a flag byte.
    biff_check.py compare OLD NEW [CHANGED_SHEET ...]
        Every record outside the cell tables is byte-identical and in place
        (INDEX, DIMENSIONS, BOUNDSHEET positions and a grown string table
        aside); sheets not named keep their cell records byte for byte and
        their INDEX positions move with the sheet; every stream other than
        the workbook is unchanged.
Prints one line per fault and exits 1 when there is any.
"""
import struct
import sys

import olefile

CELL_TABLE = {0x0208, 0x00D7, 0x0203, 0x027E, 0x00BD, 0x00FD, 0x0204, 0x00D6, 0x0201,
              0x00BE, 0x0205, 0x0006, 0x0207, 0x04BC, 0x0221, 0x0236}
CELLS = {0x0203, 0x027E, 0x00BD, 0x00FD, 0x0204, 0x00D6, 0x0201, 0x00BE, 0x0205, 0x0006}
faults = []


def workbook_stream(path):
    ole = olefile.OleFileIO(path)
    for entry in ole.listdir():
        if len(entry) == 1 and entry[0].lower() == "workbook":
            return ole.openstream(entry).read()
    raise SystemExit("no Workbook stream in " + path)


def records(data, start):
    """Records of the substream at `start`, as (type, pos, body), through its EOF."""
    out = []
    pos = start
    depth = 0
    while pos + 4 <= len(data):
        rtype, size = struct.unpack_from("<HH", data, pos)
        out.append((rtype, pos, data[pos + 4:pos + 4 + size], depth + (rtype == 0x0809)))
        pos += 4 + size
        if rtype == 0x0809:
            depth += 1
        elif rtype == 0x000A:
            depth -= 1
            if depth == 0:
                break
    return out


def sheets(data, globals_records):
    out = []
    for rtype, pos, body, _ in globals_records:
        if rtype == 0x0085:
            offset, state, kind, cch, flags = struct.unpack_from("<IBBBB", body)
            raw = body[8:8 + cch * (2 if flags & 1 else 1)]
            name = raw.decode("utf-16-le" if flags & 1 else "latin-1")
            out.append((name, kind, offset, pos))
    return out


def check_structure(path, only):
    data = workbook_stream(path)
    glob = records(data, 0)
    for rtype, pos, body, _ in glob:
        if len(body) > 8224:
            faults.append("record %04x at %d holds %d bytes" % (rtype, pos, len(body)))
    check_sst(data, glob)
    for name, kind, offset, _ in sheets(data, glob):
        if offset + 4 > len(data) or struct.unpack_from("<H", data, offset)[0] != 0x0809:
            if kind == 0:
                faults.append("sheet %r: BOUNDSHEET position %d is not a BOF" % (name, offset))
            continue
        if not only or name in only:
            check_sheet(data, name, records(data, offset))


def check_sheet(data, name, recs):
    by_pos = {pos: (rtype, body) for rtype, pos, body, _ in recs}
    for rtype, pos, body, depth in recs:
        if len(body) > 8224:
            faults.append("%s: record %04x at %d holds %d bytes" % (name, rtype, pos, len(body)))
        if rtype == 0x020B and depth == 1:
            rw_mic, rw_mac, ib_xf = struct.unpack_from("<III", body, 4)
            dbcells = struct.unpack_from("<%dI" % ((len(body) - 16) // 4), body, 16)
            if ib_xf and by_pos.get(ib_xf, (None,))[0] != 0x0055:
                faults.append("%s: INDEX does not point at DEFCOLWIDTH" % name)
            for p in dbcells:
                if by_pos.get(p, (None,))[0] != 0x00D7:
                    faults.append("%s: INDEX entry %d is not a DBCELL" % (name, p))
            actual = [pos for rtype, pos, _, d in recs if rtype == 0x00D7 and d == 1]
            if list(dbcells) != actual:
                faults.append("%s: INDEX lists %d DBCELLs, the sheet has %d" % (name, len(dbcells), len(actual)))
            if rw_mac and len(dbcells) != (rw_mac - rw_mic + 31) // 32:
                faults.append("%s: INDEX rows %d..%d need %d blocks, not %d" % (name, rw_mic, rw_mac, (rw_mac - rw_mic + 31) // 32, len(dbcells)))
        if rtype == 0x00D7 and depth == 1:
            check_dbcell(name, by_pos, pos, body)


def check_dbcell(name, by_pos, pos, body):
    first_row_off = struct.unpack_from("<I", body)[0]
    if first_row_off == 0:
        return
    row_pos = pos - first_row_off
    if by_pos.get(row_pos, (None,))[0] != 0x0208:
        faults.append("%s: DBCELL at %d does not point at a ROW" % (name, pos))
        return
    # ROW records of the block, in order.
    rows = []
    p = row_pos
    while by_pos.get(p, (None,))[0] == 0x0208:
        rows.append(struct.unpack_from("<H", by_pos[p][1])[0])
        p += 4 + len(by_pos[p][1])
    offsets = struct.unpack_from("<%dH" % ((len(body) - 4) // 2), body, 4)
    if len(offsets) != len(rows):
        faults.append("%s: DBCELL at %d has %d offsets for %d rows" % (name, pos, len(offsets), len(rows)))
        return
    cell = row_pos + 4 + len(by_pos[row_pos][1])
    for row, off in zip(rows, offsets):
        cell += off
        rtype, rbody = by_pos.get(cell, (None, b""))
        if rtype is None:
            faults.append("%s: DBCELL offset for row %d points between records" % (name, row + 1))
            return
        # A row without cells points where the next row's cells start.
        if rtype in CELLS and struct.unpack_from("<H", rbody)[0] < row:
            faults.append("%s: DBCELL offset for row %d lands on row %d" % (name, row + 1, struct.unpack_from("<H", rbody)[0] + 1))


def check_sst(data, glob):
    """Walks the string table independently and checks EXTSST against it."""
    starts = []  # (stream position, record header position)
    for i, (rtype, pos, body, _) in enumerate(glob):
        if rtype != 0x00FC:
            continue
        segs = [(pos, body)]
        for rtype2, pos2, body2, _ in glob[i + 1:]:
            if rtype2 != 0x003C:
                break
            segs.append((pos2, body2))
        seg, off = 0, 8

        def take(n):
            nonlocal seg, off
            out = b""
            while n:
                if off == len(segs[seg][1]):
                    seg, off = seg + 1, 0
                chunk = segs[seg][1][off:off + n]
                out += chunk
                off += len(chunk)
                n -= len(chunk)
            return out

        while True:
            if off == len(segs[seg][1]):
                if seg + 1 == len(segs):
                    break
                seg, off = seg + 1, 0
            starts.append((segs[seg][0] + 4 + off, segs[seg][0]))
            flags = segs[seg][1][off + 2] if off + 2 < len(segs[seg][1]) else 0
            header = 3 + (2 if flags & 8 else 0) + (4 if flags & 4 else 0)
            if off + header > len(segs[seg][1]):
                faults.append("a string header is split between records")
            cch, flags = struct.unpack("<HB", take(3))
            runs = struct.unpack("<H", take(2))[0] if flags & 8 else 0
            ext = struct.unpack("<I", take(4))[0] if flags & 4 else 0
            left = cch
            wide = flags & 1
            while left:
                if off == len(segs[seg][1]):
                    seg, off = seg + 1, 0
                    wide = segs[seg][1][0] & 1
                    off = 1
                    if segs[seg][1][0] & 0xFE:
                        faults.append("string characters go on without a flag byte")
                n = min(left, (len(segs[seg][1]) - off) // (2 if wide else 1))
                if n == 0:
                    faults.append("a character is split between records")
                    return
                off += n * (2 if wide else 1)
                left -= n
            take(4 * runs + ext)
        break
    for rtype, pos, body, _ in glob:
        if rtype == 0x00FF:
            per = struct.unpack_from("<H", body)[0]
            for k in range((len(body) - 2) // 8):
                ib, cb = struct.unpack_from("<IH", body, 2 + 8 * k)
                if k * per >= len(starts):
                    faults.append("EXTSST bucket %d beyond the strings" % k)
                    break
                want_ib, header = starts[k * per]
                if ib != want_ib or cb != want_ib - header:
                    faults.append("EXTSST bucket %d: (%d, %d), string starts at (%d, %d)" % (k, ib, cb, want_ib, want_ib - header))


def comparable(recs, keep_cells, sheet_pos):
    out = []
    for rtype, pos, body, depth in recs:
        if depth == 1 and rtype == 0x020B and keep_cells and len(body) >= 16:
            # A sheet that only moved: its INDEX positions moved with it.
            words = struct.unpack_from("<%dI" % ((len(body) - 12) // 4), body, 12)
            out.append((rtype, body[:12] + b"".join(
                struct.pack("<I", (w - sheet_pos) & 0xFFFFFFFF if w else 0) for w in words)))
            continue
        if depth == 1 and rtype in (0x020B, 0x0200):
            continue
        if depth == 1 and rtype in CELL_TABLE and not keep_cells:
            continue
        if depth == 1 and rtype == 0x00D7:
            continue
        out.append((rtype, body))
    return out


def compare(old_path, new_path, changed):
    old, new = workbook_stream(old_path), workbook_stream(new_path)
    old_glob, new_glob = records(old, 0), records(new, 0)

    def globals_view(recs):
        out = []
        in_sst = False
        for rtype, pos, body, _ in recs:
            if rtype == 0x00FC:
                in_sst = True
                continue
            if in_sst and rtype == 0x003C:
                continue
            in_sst = False
            if rtype == 0x00FF:
                continue
            if rtype == 0x0085:
                body = body[4:]
            out.append((rtype, body))
        return out

    if globals_view(old_glob) != globals_view(new_glob):
        faults.append("workbook globals differ beyond the string table and sheet positions")
    old_sheets, new_sheets = sheets(old, old_glob), sheets(new, new_glob)
    for (name, kind, o_off, _), (name2, kind2, n_off, _) in zip(old_sheets, new_sheets):
        if o_off + 4 > len(old) or struct.unpack_from("<H", old, o_off)[0] != 0x0809:
            continue
        keep = name not in changed
        a = comparable(records(old, o_off), keep, o_off)
        b = comparable(records(new, n_off), keep, n_off)
        if a != b:
            faults.append("sheet %r: records differ%s" % (name, "" if keep else " outside the cell table"))
    ole_old, ole_new = olefile.OleFileIO(old_path), olefile.OleFileIO(new_path)
    streams_old = [e for e in ole_old.listdir(streams=True, storages=False) if e[-1].lower() not in ("workbook",) or len(e) > 1]
    streams_new = [e for e in ole_new.listdir(streams=True, storages=False) if e[-1].lower() not in ("workbook",) or len(e) > 1]
    if sorted(streams_old) != sorted(streams_new):
        faults.append("the compound file's streams differ: %r / %r" % (streams_old, streams_new))
    for e in streams_old:
        if e in streams_new and ole_old.openstream(e).read() != ole_new.openstream(e).read():
            faults.append("stream %s changed" % "/".join(e))


def main():
    if sys.argv[1] == "structure":
        check_structure(sys.argv[2], set(sys.argv[3:]))
    elif sys.argv[1] == "compare":
        compare(sys.argv[2], sys.argv[3], set(sys.argv[4:]))
    else:
        raise SystemExit(__doc__)
    for f in faults[:20]:
        print(f)
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()
