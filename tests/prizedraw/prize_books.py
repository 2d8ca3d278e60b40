"""Roll books for the prize window tests, written and read by other programs.

make SPEC.json OUT.xls  -- writes a workbook with xlwt; SPEC is
    [{"name": sheet, "cells": [[row, col, value], ...]}, ...] (1-based);
    a text starting with "=" is written as a formula
dump FILE SHEET         -- prints the sheet's cells as read by xlrd:
    {"R,C": value, ...}, numbers as numbers, texts as texts
insert FILE AT NAME     -- another program saves FILE with a new sheet NAME
    at position AT (0-based), its column F filled with 1 in rows 3-30
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
            if isinstance(value, str) and value.startswith("="):
                value = xlwt.Formula(value[1:])
            ws.write(row - 1, col - 1, value)
    book.save(out_path)


def insert(path, at, name):
    import xlrd
    import xlwt
    old = xlrd.open_workbook(path)
    book = xlwt.Workbook(encoding="utf-8")
    sheets = [(s.name, s) for s in old.sheets()]
    sheets.insert(at, (name, None))
    for sheet_name, source in sheets:
        ws = book.add_sheet(sheet_name)
        if source is None:
            ws.write(0, 0, sheet_name)
            for r in range(2, 30):
                ws.write(r, 5, 1)
            continue
        for r in range(source.nrows):
            for c in range(source.ncols):
                cell = source.cell(r, c)
                if cell.ctype not in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                    ws.write(r, c, cell.value)
    book.save(path)


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
    elif sys.argv[1] == "insert":
        insert(sys.argv[2], int(sys.argv[3]), sys.argv[4])
    else:
        dump(sys.argv[2], sys.argv[3])
