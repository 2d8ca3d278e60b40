"""Makes the .xlsx roll book of the benchmark with xlsxwriter when
LibreOffice is not there: the cells of an .xls roll book (xls_make_book.py)
written again as .xlsx.

    /usr/bin/python3 xlsx_make_book.py SOURCE_XLS TARGET_XLSX
"""
import sys

import xlrd
import xlsxwriter


def main():
    source = xlrd.open_workbook(sys.argv[1])
    target = xlsxwriter.Workbook(sys.argv[2])
    for sheet in source.sheets():
        ws = target.add_worksheet(sheet.name)
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype in (xlrd.XL_CELL_TEXT, xlrd.XL_CELL_NUMBER):
                    ws.write(r, c, cell.value)
    target.close()


if __name__ == "__main__":
    main()
