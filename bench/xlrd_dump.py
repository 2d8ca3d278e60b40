"""Reads every cell of every sheet of an .xls workbook with xlrd, as the
comparison benchmark's peer of `zelvano-xls dump`: writes them to stdout.

    /usr/bin/python3 xlrd_dump.py PATH
"""
import sys

import xlrd

out = []
book = xlrd.open_workbook(sys.argv[1])
for sheet in book.sheets():
    for row in range(sheet.nrows):
        for col, value in enumerate(sheet.row_values(row)):
            if value != "":
                out.append("%s\t%d\t%d\t%s\n" % (sheet.name, row + 1, col + 1, value))
sys.stdout.write("".join(out))
