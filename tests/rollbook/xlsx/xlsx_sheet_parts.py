#!/usr/bin/env python3
"""Lays out the parts of an .xlsx workbook that the sheet reader takes, and
what openpyxl reads from them, for a test to compare cell by cell.

    xlsx_sheet_parts.py WORKBOOK OUTDIR

Writes OUTDIR/sheetN.xml (each worksheet's XML as stored), OUTDIR/sst.xml
(the shared strings, if any) and prints a manifest on stdout:
    date1904<TAB>0|1
    sst<TAB>FILE
    sheet<TAB>N<TAB>FILE<TAB>NAME
    cell<TAB>N<TAB>ROW<TAB>COL<TAB>KIND<TAB>VALUE   (KIND n, s, b or e)
Texts are written with backslash escapes (\\n \\r \\t \\\\). Dates come out
as serial numbers from the workbook's epoch, as Excel stores them.
openpyxl 3.0 leaves _xHHHH_ escapes in shared strings as they are stored;
they are decoded here as Excel shows them.
"""
import datetime
import posixpath
import re
import sys
import xml.etree.ElementTree as ET
import zipfile

import openpyxl
from openpyxl.utils.datetime import to_excel

REL = '{http://schemas.openxmlformats.org/officeDocument/2006/relationships}'
PKG = '{http://schemas.openxmlformats.org/package/2006/relationships}'
ESCAPE = re.compile(r'_x([0-9A-Fa-f]{4})_')


def text(value):
    value = ESCAPE.sub(lambda m: chr(int(m.group(1), 16)), value)
    return value.replace('\\', '\\\\').replace('\n', '\\n').replace('\r', '\\r').replace('\t', '\\t')


def entries(z):
    return {i.filename.replace('\\', '/').lower(): i for i in z.infolist()}


def resolve(base, target):
    if target.startswith('/'):
        return target[1:]
    return posixpath.normpath(posixpath.join(posixpath.dirname(base), target))


def parts(z, out):
    names = entries(z)
    root = ET.fromstring(z.read(names['xl/workbook.xml']))
    ns = root.tag[:root.tag.index('}') + 1]
    pr = root.find(ns + 'workbookPr')
    date1904 = pr is not None and pr.get('date1904') in ('1', 'true')
    print('date1904\t%d' % date1904)
    rels = ET.fromstring(z.read(names['xl/_rels/workbook.xml.rels']))
    targets = {}
    for rel in rels.iter(PKG + 'Relationship'):
        targets[rel.get('Id')] = (rel.get('Type').rsplit('/', 1)[-1],
                                  resolve('xl/workbook.xml', rel.get('Target').replace('\\', '/')))
        if targets[rel.get('Id')][0] == 'sharedStrings':
            open(out + '/sst.xml', 'wb').write(z.read(names[targets[rel.get('Id')][1].lower()]))
            print('sst\tsst.xml')
    sheets = []
    for n, sheet in enumerate(root.find(ns + 'sheets').iter(ns + 'sheet')):
        kind, part = targets[sheet.get(REL + 'id') or sheet.get('id')]
        if kind == 'worksheet':
            open('%s/sheet%d.xml' % (out, n), 'wb').write(z.read(names[part.lower()]))
            print('sheet\t%d\tsheet%d.xml\t%s' % (n, n, sheet.get('name')))
            sheets.append((n, sheet.get('name')))
    return sheets


def cells(path, sheets):
    # Read-only: some sheets declare every cell of the sheet as their range.
    wb = openpyxl.load_workbook(path, data_only=True, read_only=True)
    for n, name in sheets:
        ws = wb[name]
        ws.reset_dimensions()
        for row in ws.iter_rows():
            for c in row:
                v = c.value
                if v is None:
                    continue
                if isinstance(v, bool):
                    kind, v = 'b', '1' if v else '0'
                elif isinstance(v, (datetime.datetime, datetime.date, datetime.time,
                                    datetime.timedelta)):
                    kind, v = 'n', repr(float(to_excel(v, wb.epoch)))
                elif isinstance(v, (int, float)):
                    kind, v = 'n', repr(float(v))
                elif c.data_type == 'e':
                    kind, v = 'e', v
                else:
                    kind, v = 's', text(str(v))
                print('cell\t%d\t%d\t%d\t%s\t%s' % (n, c.row, c.column, kind, v))


def main():
    path, out = sys.argv[1], sys.argv[2]
    with zipfile.ZipFile(path) as z:
        sheets = parts(z, out)
    cells(path, sheets)


if __name__ == '__main__':
    main()
