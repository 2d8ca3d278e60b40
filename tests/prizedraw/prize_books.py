"""Roll books for the prize window tests, written and read by other programs.

make SPEC.json OUT.xls  -- writes a workbook with xlwt; SPEC is
    [{"name": sheet, "cells": [[row, col, value], ...]}, ...] (1-based)
dump FILE SHEET         -- prints the sheet's cells as read by xlrd:
    {"R,C": value, ...}, numbers as numbers, texts as texts
"""
import json
import sys


def make(spec_path, out_path):
    import xlwt
    with open(spec_path, encoding="utf-8") as f:
        spec = json.load(f)
    book = xlwt.Workbook(encoding="utf-8")
    for sheet in spec:
        ws = book.add_sheet(sheet["name"])
        for row, col, value in sheet["cells"]:
            ws.write(row - 1, col - 1, value)
    book.save(out_path)


def dump(path, sheet_name):
    import xlrd
    book = xlrd.open_workbook(path)
    sheet = book.sheet_by_name(sheet_name)
    cells = {}
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                continue
            cells["%d,%d" % (r + 1, c + 1)] = cell.value
    print(json.dumps(cells, ensure_ascii=False))


if __name__ == "__main__":
    if sys.argv[1] == "make":
        make(sys.argv[2], sys.argv[3])
    else:
        dump(sys.argv[2], sys.argv[3])
