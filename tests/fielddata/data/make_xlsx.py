#!/usr/bin/python3
"""Writes the .xlsx fixtures of test_import (run by hand; the files are kept).

survey-openpyxl.xlsx: as a spreadsheet program writes it (openpyxl: shared
strings, numbers), two sheets, the data on the second.
survey-parts.xlsx: written part by part to cover what the reader must know:
inline strings, rich-text runs with a phonetic run, a formula's text result,
cells without references, a gap column, an absolute relationship target,
booleans, and a sheet whose part is named unlike its sheet.
"""
import os
import zipfile

import openpyxl

here = os.path.dirname(os.path.abspath(__file__))

book = openpyxl.Workbook()
first = book.active
first.title = "说明"
first["A1"] = "节理测量记录"
sheet = book.create_sheet("测量")
sheet.append(["倾向", "倾角", "类型", "测点", "备注"])
sheet.append([135, 65, "节理", "ZK1", "张开"])
sheet.append([140.5, 70, "层面", "ZK1", None])
sheet.append([250, 95, "断层", "ZK2", "倾角错"])
sheet.append([None, None, None, None, None])
sheet.append(["abc", 30, "节理", "ZK3", ""])
sheet.append([359.9, 0, 2, "ZK3", "水平"])
book.save(os.path.join(here, "survey-openpyxl.xlsx"))

content_types = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
<Override PartName="/xl/worksheets/data.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>
<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>
</Types>"""
root_rels = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>"""
workbook = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets><sheet name="产状" sheetId="7" r:id="rId9"/></sheets>
</workbook>"""
workbook_rels = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/data.xml"/>
<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>
</Relationships>"""
shared = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="4" uniqueCount="4">
<si><t>产状</t></si>
<si><r><rPr><b/></rPr><t>测</t></r><r><t xml:space="preserve">点</t></r><rPh sb="0" eb="2"><t>ce dian</t></rPh></si>
<si><t>135°∠65°</t></si>
<si><t>130/60</t></si>
</sst>"""
sheet_xml = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<sheetData>
<row r="2"><c r="B2" t="s"><v>0</v></c><c r="D2" t="s"><v>1</v></c><c r="E2" t="inlineStr"><is><t>flag</t></is></c></row>
<row r="3"><c r="B3" t="s"><v>2</v></c><c r="D3" t="inlineStr"><is><r><t>T</t></r><r><t>1</t></r></is></c><c r="E3" t="b"><v>1</v></c></row>
<row><c t="inlineStr"><is><t>x</t></is></c><c t="s"><v>3</v></c><c/><c t="str"><f>CONCAT("T","2")</f><v>T2</v></c></row>
<row r="9"><c r="B9" t="inlineStr"><is><t>125∠95</t></is></c><c r="D9" t="inlineStr"><is><t>T3</t></is></c></row>
<row r="10"><c r="B10"><v>1.35E2</v></c></row>
</sheetData>
</worksheet>"""
with zipfile.ZipFile(os.path.join(here, "survey-parts.xlsx"), "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("[Content_Types].xml", content_types)
    z.writestr("_rels/.rels", root_rels)
    z.writestr("xl/workbook.xml", workbook)
    z.writestr("xl/_rels/workbook.xml.rels", workbook_rels)
    z.writestr("xl/sharedStrings.xml", shared)
    z.writestr("xl/worksheets/data.xml", sheet_xml)
