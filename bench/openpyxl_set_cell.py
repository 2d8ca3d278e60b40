"""Sets one cell of an .xlsx workbook and saves it with openpyxl, as the
comparison benchmark's peer of `zelvano-xls set`.

    /usr/bin/python3 openpyxl_set_cell.py PATH SHEET_NUMBER ROW COL VALUE
"""
import sys
import warnings

import openpyxl

warnings.simplefilter("ignore")
path, sheet, row, col, value = sys.argv[1:6]
book = openpyxl.load_workbook(path)
book.worksheets[int(sheet) - 1].cell(int(row), int(col)).value = float(value)
book.save(path)
