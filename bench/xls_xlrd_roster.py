"""Times xlrd opening a workbook and reading one class roster, as the
benchmark's reference: prints the milliseconds.

    /usr/bin/python3 xls_xlrd_roster.py PATH SHEET_INDEX
"""
import sys
import time

import xlrd

start = time.perf_counter()
book = xlrd.open_workbook(sys.argv[1])
sheet = book.sheet_by_index(int(sys.argv[2]))
values = []
last = 6
while last < sheet.ncols and sheet.cell_value(1, last) != "":
    last += 1
for row in range(2, 62):
    for col in [0, 1, 4, 5] + list(range(6, last)):
        values.append(sheet.cell_value(row, col) if col < sheet.ncols else "")
print("%.3f" % ((time.perf_counter() - start) * 1000))
