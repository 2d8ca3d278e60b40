"""Prints what xlrd sees of a workbook's formatting, to compare before and
after a write: each cell's XF index, the merged ranges, column widths and
row heights.

    python3 -O xlrd_format.py FILE
"""
import sys

import xlrd

from xlrd_dump import open_book, tolerate_wrong_string_count


def main():
    xlrd.book.Book.names_epilogue = lambda self: None
    tolerate_wrong_string_count()
    book = open_book(sys.argv[1], formatting_info=True)
    out = []
    for sheet in book.sheets():
        name = sheet.name
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                if sheet.cell_type(r, c) != xlrd.XL_CELL_EMPTY:
                    out.append("cell\t%s\t%d\t%d\t%d" % (name, r + 1, c + 1, sheet.cell_xf_index(r, c)))
        for rlo, rhi, clo, chi in sorted(sheet.merged_cells):
            out.append("merged\t%s\t%d\t%d\t%d\t%d" % (name, rlo, rhi, clo, chi))
        for c, info in sorted(sheet.colinfo_map.items()):
            out.append("column\t%s\t%d\t%d\t%d\t%d" % (name, c, info.width, info.xf_index, info.hidden))
        for r, info in sorted(sheet.rowinfo_map.items()):
            out.append("row\t%s\t%d\t%d\t%d" % (name, r, info.height, info.has_default_height))
    sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))


if __name__ == "__main__":
    main()
