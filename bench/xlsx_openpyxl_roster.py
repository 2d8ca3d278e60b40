"""Times openpyxl opening an .xlsx workbook and reading one class roster
(rows 3-62: number, name, group, number in group and the dated score
columns), as the benchmark's reference: prints the milliseconds.

    /usr/bin/python3 xlsx_openpyxl_roster.py PATH SHEET_INDEX
"""
import sys
import time
import warnings

import openpyxl

warnings.simplefilter("ignore")
start = time.perf_counter()
book = openpyxl.load_workbook(sys.argv[1], data_only=True)
sheet = book.worksheets[int(sys.argv[2])]
values = []
last = 7
while sheet.cell(2, last).value not in (None, ""):
    last += 1
for row in range(3, 63):
    for col in [1, 2, 5, 6] + list(range(7, last)):
        values.append(sheet.cell(row, col).value)
print("%.3f" % ((time.perf_counter() - start) * 1000))
