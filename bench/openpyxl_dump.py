"""Reads every cell of every sheet of an .xlsx workbook with openpyxl in
read-only mode, streaming, as the comparison benchmark's peer of
`zelvano-xls dump`: writes them to stdout.

    /usr/bin/python3 openpyxl_dump.py PATH
"""
import sys
import warnings

import openpyxl

warnings.simplefilter("ignore")
book = openpyxl.load_workbook(sys.argv[1], read_only=True, data_only=True)
write = sys.stdout.write
for sheet in book.worksheets:
    sheet.reset_dimensions()
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is not None:
                write("%s\t%d\t%d\t%s\n" % (sheet.title, cell.row, cell.column, cell.value))
book.close()
