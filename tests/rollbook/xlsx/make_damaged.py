"""Damaged copies of a workbook, made for the .xlsx engine's damage tests.

  make_damaged.py SAMPLE OUT_DIR     writes OUT_DIR/<case>.xlsx for every case

Cases: truncated archives, a garbled or misplaced central directory, a sheet
part cut in the middle, entries whose declared sizes lie, a flipped data
byte, and a ZIP bomb (a sheet part inflating to 1 GiB of blanks).
"""
import os
import struct
import sys
import zipfile

SHEET = 'xl/worksheets/sheet1.xml'


def rebuilt(sample, replace):
    out = []
    with zipfile.ZipFile(sample) as src:
        for info in src.infolist():
            data = src.read(info)
            out.append((info.filename, replace(info.filename, data)))
    return out


def write_zip(path, entries):
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        for name, data in entries:
            z.writestr(name, data)


def eocd(data):
    at = data.rfind(b'PK\x05\x06')
    cd_size, cd_offset = struct.unpack('<II', data[at + 12:at + 20])
    return at, cd_size, cd_offset


def with_sizes(data, name, compressed=None, size=None):
    """The archive with the entry's declared sizes changed in both headers."""
    data = bytearray(data)
    at, cd_size, pos = eocd(data)
    while pos < at:
        n, e, c = struct.unpack('<HHH', data[pos + 28:pos + 34])
        local = struct.unpack('<I', data[pos + 42:pos + 46])[0]
        if data[pos + 46:pos + 46 + n].decode() == name:
            for header, offset in ((pos, 20), (local, 18)):
                if compressed is not None:
                    struct.pack_into('<I', data, header + offset, compressed)
                if size is not None:
                    struct.pack_into('<I', data, header + offset + 4, size)
        pos += 46 + n + e + c
    return bytes(data)


def bomb(path, sample):
    with zipfile.ZipFile(sample) as src, zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED,
                                                         compresslevel=9) as z:
        for info in src.infolist():
            if info.filename != SHEET:
                z.writestr(info.filename, src.read(info))
                continue
            with z.open(SHEET, 'w', force_zip64=True) as f:
                f.write(b'<worksheet xmlns="http://schemas.openxmlformats.org/'
                        b'spreadsheetml/2006/main"><sheetData>')
                blank = b' ' * (1 << 20)
                for _ in range(1024):
                    f.write(blank)
                f.write(b'</sheetData></worksheet>')


def main():
    sample, out = sys.argv[1], sys.argv[2]
    data = open(sample, 'rb').read()
    cases = {}
    for percent in (10, 50, 90):
        cases[f'truncated_{percent}'] = data[:len(data) * percent // 100]
    cases['truncated_last_byte'] = data[:-1]
    at, cd_size, cd_offset = eocd(data)
    garbled = bytearray(data)
    garbled[cd_offset:cd_offset + 64] = b'\xaa' * 64
    cases['central_directory_garbled'] = bytes(garbled)
    misplaced = bytearray(data)
    struct.pack_into('<I', misplaced, at + 16, len(data) + 1000)
    cases['central_directory_misplaced'] = bytes(misplaced)
    cases['size_declared_small'] = with_sizes(data, SHEET, size=10)
    cases['size_declared_huge'] = with_sizes(data, SHEET, size=0x7FFFFFF0)
    cases['compressed_size_past_end'] = with_sizes(data, SHEET, compressed=len(data) * 2)
    with zipfile.ZipFile(sample) as z:
        info = z.getinfo(SHEET)
    flipped = bytearray(data)
    middle = info.header_offset + 30 + len(SHEET) + info.compress_size // 2
    flipped[middle] ^= 0xFF
    cases['data_byte_flipped'] = bytes(flipped)
    for name, content in cases.items():
        open(os.path.join(out, name + '.xlsx'), 'wb').write(content)
    write_zip(os.path.join(out, 'sheet_cut_in_middle.xlsx'),
              rebuilt(sample, lambda n, d: d[:len(d) // 2] if n == SHEET else d))
    write_zip(os.path.join(out, 'workbook_part_cut.xlsx'),
              rebuilt(sample, lambda n, d: d[:len(d) // 2] if n == 'xl/workbook.xml' else d))
    write_zip(os.path.join(out, 'relationships_missing.xlsx'),
              [(n, d) for n, d in rebuilt(sample, lambda n, d: d)
               if n != 'xl/_rels/workbook.xml.rels'])
    write_zip(os.path.join(out, 'sheet_part_missing.xlsx'),
              [(n, d) for n, d in rebuilt(sample, lambda n, d: d) if n != SHEET])
    bomb(os.path.join(out, 'zip_bomb.xlsx'), sample)


main()
