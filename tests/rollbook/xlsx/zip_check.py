"""ZIP archives seen by Python's zipfile, the independent reader of the
.xlsx engine's tests.

  raw ORIG NEW          one line per entry: name TAB same|differs|removed|added,
                        comparing the raw (compressed) bytes and the method
  read FILE NAME        the entry's inflated bytes on stdout
  make OUT NAME=TEXT..  a deflated archive holding these entries (names as given)
"""
import sys
import zipfile


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
    elif cmd == 'make':
        import warnings
        warnings.simplefilter('ignore')
        with zipfile.ZipFile(sys.argv[2], 'w', zipfile.ZIP_DEFLATED) as z:
            for arg in sys.argv[3:]:
                name, _, text = arg.partition('=')
                z.writestr(zipfile.ZipInfo(name), text.encode(), zipfile.ZIP_DEFLATED)


main()
