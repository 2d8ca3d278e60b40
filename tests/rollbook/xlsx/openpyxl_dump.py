"""Every cell of a workbook as openpyxl reads it (data_only=True): one line
per cell holding a value, `sheet TAB row TAB col TAB type TAB value`, sheets
numbered from 0 in the workbook's order (chart sheets included, with no
cells). Types: n (dates as serial numbers in the workbook's date system),
s, b (1 or 0), e (the error text). Tabs, line breaks and backslashes in a
text are written as \\t, \\n, \\r and \\\\.

  openpyxl_dump.py FILE

openpyxl 3.0 leaves the "_xHHHH_" escapes of a text as they are in the file
(but for "_x005F_" in shared strings); every text is taken as stored and
decoded here once, as Excel shows it.

A package whose relationships name a part in another case than its ZIP entry
(Excel finds it; openpyxl does not) is read with the entry renamed.
"""
import datetime
import io
import re
import sys
import warnings
import zipfile

import openpyxl
import openpyxl.reader.excel
from openpyxl.cell.text import Text
from openpyxl.utils.datetime import to_excel
from openpyxl.xml.constants import SHEET_MAIN_NS
from openpyxl.xml.functions import iterparse

warnings.simplefilter('ignore')


def raw_string_table(xml_source):
    strings = []
    for _, node in iterparse(xml_source):
        if node.tag == '{%s}si' % SHEET_MAIN_NS:
            strings.append(Text.from_tree(node).content)
            node.clear()
    return strings


openpyxl.reader.excel.read_string_table = raw_string_table


def load(path):
    data = open(path, 'rb').read()
    # Large files are read row by row, which openpyxl does in a fraction of
    # the time and memory.
    read_only = len(data) > 100_000
    for _ in range(10):
        try:
            return openpyxl.load_workbook(io.BytesIO(data), data_only=True, read_only=read_only)
        except KeyError as e:
            wanted = re.search(r"named '([^']+)'", str(e)).group(1)
            data = renamed(data, wanted)
    raise SystemExit('cannot load')


def renamed(data, wanted):
    out = io.BytesIO()
    with zipfile.ZipFile(io.BytesIO(data)) as src, zipfile.ZipFile(out, 'w') as dst:
        found = False
        for info in src.infolist():
            name = info.filename
            if name.lower() == wanted.lower() and not found:
                name, found = wanted, True
            dst.writestr(name, src.read(info), zipfile.ZIP_DEFLATED)
        if not found:
            raise SystemExit(f'no entry {wanted}')
    return out.getvalue()


def decoded(text):
    return re.sub(r'_x([0-9A-Fa-f]{4})_', lambda m: chr(int(m.group(1), 16)), text)


def escaped(text):
    text = decoded(text)
    return (text.replace('\\', '\\\\').replace('\t', '\\t')
            .replace('\n', '\\n').replace('\r', '\\r'))


def cell_line(cell, epoch):
    v = cell.value
    if v is None or v == '':
        return None
    if cell.data_type == 'e':
        return 'e', v
    if isinstance(v, bool):
        return 'b', '1' if v else '0'
    if isinstance(v, (datetime.datetime, datetime.date, datetime.time, datetime.timedelta)):
        return 'n', repr(float(to_excel(v, epoch)))
    if isinstance(v, (int, float)):
        return 'n', repr(float(v))
    return 's', escaped(str(v))


def main():
    wb = load(sys.argv[1])
    for index, sheet in enumerate(wb._sheets):
        if not hasattr(sheet, 'iter_rows'):
            continue
        if hasattr(sheet, 'reset_dimensions'):
            sheet.reset_dimensions()
        for row in sheet.iter_rows():
            for cell in row:
                if not hasattr(cell, 'row'):
                    continue
                line = cell_line(cell, wb.epoch)
                if line:
                    print(f'{index}\t{cell.row}\t{cell.column}\t{line[0]}\t{line[1]}')


main()
