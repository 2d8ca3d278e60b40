"""Prints a workbook's cells as `zelvano-xls dump` does, read by xlrd.

The independent reader the engine's reads are compared with:
    python3 -O xlrd_dump.py FILE [SHEET]
(-O: xlrd asserts that the shared-string count is right, which some real
files get wrong; its reading is right without the assertion.)
"""
import decimal
import sys

import xlrd


def number_text(value):
    """Shortest text reading back as exactly this number, fixed or
    scientific notation, whichever is shorter (fixed on a tie)."""
    sign, digits, exponent = decimal.Decimal(repr(value)).as_tuple()
    digits = "".join(map(str, digits))
    stripped = digits.rstrip("0")
    exponent += len(digits) - len(stripped)
    digits = stripped or "0"
    if digits == "0":
        return "-0" if sign else "0"
    point = len(digits) + exponent  # digits before the decimal point
    if exponent >= 0:
        fixed = str(int(abs(value)))  # a whole number is printed exactly
    elif point > 0:
        fixed = digits[:point] + "." + digits[point:]
    else:
        fixed = "0." + "0" * -point + digits
    e = point - 1
    sci = digits[0] + ("." + digits[1:] if len(digits) > 1 else "")
    sci += "e%s%02d" % ("-" if e < 0 else "+", abs(e))
    text = fixed if len(fixed) <= len(sci) else sci
    return ("-" if sign else "") + text


def escape(text):
    return (text.replace("\\", "\\\\").replace("\t", "\\t")
            .replace("\n", "\\n").replace("\r", "\\r"))


def tolerate_wrong_string_count():
    """Some writers store a unique-string count larger than the strings they
    wrote; read as many strings as there are, like LibreOffice does."""
    strict = xlrd.book.unpack_SST_table

    def tolerant(datatab, nstrings):
        try:
            return strict(datatab, nstrings)
        except IndexError:
            low, high = 0, nstrings
            while low < high:
                middle = (low + high + 1) // 2
                try:
                    strict(datatab, middle)
                    low = middle
                except IndexError:
                    high = middle - 1
            return strict(datatab, low)

    xlrd.book.unpack_SST_table = tolerant


def open_book(path, **options):
    """xlrd places sectors as if the header were 512 bytes long, which is
    wrong for files of 4096-byte sectors; it is given their workbook stream
    (read by olefile) instead, which it also reads."""
    import olefile
    ole = olefile.OleFileIO(path)
    if ole.sectorsize != 512:
        name = next(e for e in ole.listdir() if len(e) == 1 and e[0].lower() == "workbook")
        return xlrd.open_workbook(file_contents=ole.openstream(name).read(), **options)
    return xlrd.open_workbook(path, **options)


def main():
    tolerate_wrong_string_count()
    # Names are not cells; xlrd cannot decode some WPS name formulas, so it
    # is not asked to.
    xlrd.book.Book.names_epilogue = lambda self: None
    book = open_book(sys.argv[1], on_demand=True)
    names = book.sheet_names()
    wanted = names if len(sys.argv) < 3 else [sys.argv[2]]
    out = []
    for name in wanted:
        sheet = book.sheet_by_name(name)
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                    continue
                if cell.ctype == xlrd.XL_CELL_TEXT:
                    if cell.value == "":
                        continue
                    kind, value = "s", escape(cell.value)
                elif cell.ctype in (xlrd.XL_CELL_NUMBER, xlrd.XL_CELL_DATE):
                    kind, value = "n", number_text(cell.value)
                elif cell.ctype == xlrd.XL_CELL_BOOLEAN:
                    kind, value = "b", "TRUE" if cell.value else "FALSE"
                else:
                    kind = "e"
                    value = xlrd.error_text_from_code.get(cell.value, "#ERR%d!" % cell.value)
                out.append("%s\t%d\t%d\t%s\t%s\n" % (escape(name), r + 1, c + 1, kind, value))
    sys.stdout.buffer.write("".join(out).encode("utf-8"))


if __name__ == "__main__":
    main()
