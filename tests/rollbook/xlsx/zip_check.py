"""ZIP archives seen by Python's zipfile, the independent reader of the
.xlsx engine's tests.

  raw ORIG NEW          one line per entry: name TAB same|differs|removed|added,
                        comparing the raw (compressed) bytes and the method
  read FILE NAME        the entry's inflated bytes on stdout
  make OUT NAME=TEXT..  a deflated archive holding these entries (names as given)
  formulas FILE PART    how many cells of a sheet part hold a formula
  chain FILE            "ok", or each calculation-chain entry whose cell holds
                        no formula ("bad SHEETID CELL"), as Excel checks it
  calcpr FILE           the workbook part's calcPr start tag, or "none"
"""
import re
import sys
import xml.etree.ElementTree as ET
import zipfile

MAIN = '{http://schemas.openxmlformats.org/spreadsheetml/2006/main}'
REL = '{http://schemas.openxmlformats.org/package/2006/relationships}'
RID = '{http://schemas.openxmlformats.org/officeDocument/2006/relationships}id'


def formula_cells(xml):
    root = ET.fromstring(xml)
    return {c.get('r') for c in root.iter(MAIN + 'c') if c.find(MAIN + 'f') is not None}


def check_chain(z):
    names = {n.lower(): n for n in z.namelist()}
    if 'xl/calcchain.xml' not in names:
        return ['ok']
    wb = ET.fromstring(z.read(names['xl/workbook.xml']))
    rels = ET.fromstring(z.read(names['xl/_rels/workbook.xml.rels']))
    targets = {r.get('Id'): r.get('Target') for r in rels.iter(REL + 'Relationship')}
    parts = {}
    for sheet in wb.iter(MAIN + 'sheet'):
        target = targets[sheet.get(RID)].lstrip('/')
        part = target if target.startswith('xl/') else 'xl/' + target
        parts[sheet.get('sheetId')] = part
    bad, current = [], None
    for c in ET.fromstring(z.read(names['xl/calcchain.xml'])).iter(MAIN + 'c'):
        current = c.get('i') or current
        cells = formula_cells(z.read(names[parts[current].lower()]))
        if c.get('r') not in cells:
            bad.append(f'bad {current} {c.get("r")}')
    return bad or ['ok']


def raw_entries(path):
    out = {}
    with open(path, 'rb') as f:
        data = f.read()
    with zipfile.ZipFile(path) as z:
        for info in z.infolist():
            h = info.header_offset
            assert data[h:h + 4] == b'PK\x03\x04', info.filename
            n = int.from_bytes(data[h + 26:h + 28], 'little')
            e = int.from_bytes(data[h + 28:h + 30], 'little')
            start = h + 30 + n + e
            out[info.filename] = (info.compress_type, info.CRC,
                                  data[start:start + info.compress_size])
    return out


def main():
    cmd = sys.argv[1]
    if cmd == 'raw':
        old, new = raw_entries(sys.argv[2]), raw_entries(sys.argv[3])
        for name in old:
            state = 'removed' if name not in new else (
                'same' if old[name] == new[name] else 'differs')
            print(f'{name}\t{state}')
        for name in new:
            if name not in old:
                print(f'{name}\tadded')
    elif cmd == 'read':
        with zipfile.ZipFile(sys.argv[2]) as z:
            sys.stdout.buffer.write(z.read(sys.argv[3]))
    elif cmd == 'level':
        # The deflate level the entry's flags name (bits 1 and 2).
        with zipfile.ZipFile(sys.argv[2]) as z:
            bits = z.getinfo(sys.argv[3]).flag_bits >> 1 & 3
            print(['normal', 'maximum', 'fast', 'superfast'][bits])
    elif cmd == 'formulas':
        with zipfile.ZipFile(sys.argv[2]) as z:
            print(len(formula_cells(z.read(sys.argv[3]))))
    elif cmd == 'chain':
        with zipfile.ZipFile(sys.argv[2]) as z:
            print('\n'.join(check_chain(z)))
    elif cmd == 'calcpr':
        with zipfile.ZipFile(sys.argv[2]) as z:
            found = re.search(rb'<(\w+:)?calcPr\b[^>]*>', z.read('xl/workbook.xml'))
            print(found.group(0).decode() if found else 'none')
    elif cmd == 'make':
        import warnings
        warnings.simplefilter('ignore')
        with zipfile.ZipFile(sys.argv[2], 'w', zipfile.ZIP_DEFLATED) as z:
            for arg in sys.argv[3:]:
                name, _, text = arg.partition('=')
                z.writestr(zipfile.ZipInfo(name), text.encode(), zipfile.ZIP_DEFLATED)


main()
