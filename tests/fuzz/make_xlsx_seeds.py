#!/usr/bin/env python3
"""Makes the seed workbooks of the .xlsx fuzz corpus (corpus_xlsx): small
files written by xlsxwriter and openpyxl, and hand-made packages with what
those libraries never write (shared and array formulas, a calculation
chain, prefixed and strict namespaces, inline strings).

    make_xlsx_seeds.py OUTDIR
"""
import datetime
import os
import sys
import zipfile

import openpyxl
import xlsxwriter

MAIN = 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'
STRICT = 'http://purl.oclc.org/ooxml/spreadsheetml/main'
REL = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'
PKG = 'http://schemas.openxmlformats.org/package/2006/relationships'
CT = 'http://schemas.openxmlformats.org/package/2006/content-types'
XML = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'


def by_xlsxwriter(path):
    wb = xlsxwriter.Workbook(path)
    ws = wb.add_worksheet('一班')
    ws.write_row(0, 0, ['学号', '姓名', '成绩'])
    ws.write_row(1, 0, [1, '张三', 90.5])
    ws.write_row(2, 0, [2, '李四', True])
    ws.write_formula(3, 2, '=SUM(C2:C3)', None, 90.5)
    ws.write_datetime(4, 0, datetime.datetime(2021, 1, 1, 6), wb.add_format({'num_format': 'yyyy-mm-dd'}))
    ws.set_column(3, 3, 12, wb.add_format({'bold': True}))
    hidden = wb.add_worksheet('hidden')
    hidden.write(0, 0, 'x')
    hidden.hide()
    chart = wb.add_chart({'type': 'column'})
    chart.add_series({'values': "='一班'!$A$2:$A$3"})
    wb.add_chartsheet('chart').set_chart(chart)
    wb.close()


def by_openpyxl(path):
    wb = openpyxl.Workbook()
    wb.epoch = openpyxl.utils.datetime.MAC_EPOCH
    ws = wb.active
    ws.title = '奖品'
    ws.append(['奖品', '数量', None, 'a\r\nb'])
    ws.append(['书', 3, '=B2*2'])
    ws['A5'] = datetime.date(2020, 2, 29)
    wb.save(path)


def package(path, sheet, strings=None, ns=MAIN, calc_chain=None):
    wb = (XML + '<workbook xmlns="%s" xmlns:r="%s"><sheets><sheet name="S" sheetId="1" r:id="rId1"/>'
          '</sheets><calcPr calcId="1"/></workbook>' % (ns, REL))
    rels = ['<Relationship Id="rId1" Type="%s/worksheet" Target="worksheets/sheet1.xml"/>' % REL]
    types = ['<Override PartName="/xl/workbook.xml" ContentType="application/'
             'vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>',
             '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/'
             'vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>']
    if strings is not None:
        rels.append('<Relationship Id="rId2" Type="%s/sharedStrings" Target="sharedStrings.xml"/>' % REL)
    if calc_chain is not None:
        rels.append('<Relationship Id="rId3" Type="%s/calcChain" Target="calcChain.xml"/>' % REL)
        types.append('<Override PartName="/xl/calcChain.xml" ContentType="application/'
                     'vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/>')
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('[Content_Types].xml', XML + '<Types xmlns="%s"><Default Extension="rels" '
                   'ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
                   '<Default Extension="xml" ContentType="application/xml"/>%s</Types>'
                   % (CT, ''.join(types)))
        z.writestr('_rels/.rels', XML + '<Relationships xmlns="%s"><Relationship Id="rId1" '
                   'Type="%s/officeDocument" Target="xl/workbook.xml"/></Relationships>' % (PKG, REL))
        z.writestr('xl/workbook.xml', wb)
        z.writestr('xl/_rels/workbook.xml.rels', XML + '<Relationships xmlns="%s">%s</Relationships>'
                   % (PKG, ''.join(rels)))
        z.writestr('xl/worksheets/sheet1.xml', XML + sheet)
        if strings is not None:
            z.writestr('xl/sharedStrings.xml', XML + strings)
        if calc_chain is not None:
            z.writestr('xl/calcChain.xml', XML + calc_chain)


def hand_made(out):
    formulas = ('<worksheet xmlns="%s"><dimension ref="A1:C3"/><sheetData>'
                '<row r="1"><c r="A1"><v>1</v></c><c r="B1"><f t="shared" ref="B1:C3" si="0">'
                '$A1*2+A$1</f><v>2</v></c><c r="C1"><f t="shared" si="0"/><v>3</v></c></row>'
                '<row r="2"><c r="A2" t="s"><v>0</v></c><c r="B2"><f t="shared" si="0"/><v>2</v></c>'
                '<c r="C2"><f t="array" ref="C2:C3">A1:A2*2</f><v>2</v></c></row>'
                '<row r="3" s="1" customFormat="1"><c r="B3"><f t="shared" si="0"/></c></row>'
                '</sheetData></worksheet>' % MAIN)
    package(os.path.join(out, 'formulas_chain.xlsx'), formulas,
            '<sst xmlns="%s" count="1" uniqueCount="1"><si><r><t>rich</t></r><rPh><t>x</t></rPh>'
            '</si></sst>' % MAIN,
            calc_chain='<calcChain xmlns="%s"><c r="B1" i="1"/><c r="C1"/></calcChain>' % MAIN)
    prefixed = ('<x:worksheet xmlns:x="%s"><x:sheetData><x:row><x:c t="inlineStr"><x:is><x:t>'
                'a_x000D_b</x:t></x:is></x:c><x:c t="e"><x:v>#N/A</x:v></x:c></x:row><x:row r="3"/>'
                '</x:sheetData></x:worksheet>' % MAIN)
    package(os.path.join(out, 'prefixed_inline.xlsx'), prefixed)
    strict = ('<worksheet xmlns="%s"><sheetData/></worksheet>' % STRICT)
    package(os.path.join(out, 'strict_empty.xlsx'), strict, ns=STRICT)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    by_xlsxwriter(os.path.join(out, 'xlsxwriter.xlsx'))
    by_openpyxl(os.path.join(out, 'openpyxl_1904.xlsx'))
    hand_made(out)


if __name__ == '__main__':
    main()
