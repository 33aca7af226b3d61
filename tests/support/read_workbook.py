"""Reads an xlsx workbook with openpyxl and prints what the tests look at as one JSON object:
sheet names, then for the first sheet every cell of A1:Y40 (value, type, font, fill, borders),
row heights and column widths as stored in the file."""
import json
import sys
import xml.etree.ElementTree as ElementTree
import zipfile

import openpyxl
from openpyxl.utils import get_column_letter


def colour(c):
    if c is None or c.type != "rgb":
        return None
    return c.rgb


def side(s):
    if s is None or s.style is None:
        return None
    return {"style": s.style, "color": colour(s.color)}


def stored_strings(path):
    """The shared strings exactly as the file holds them, before any unescaping."""
    ns = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
    with zipfile.ZipFile(path) as archive:
        if "xl/sharedStrings.xml" not in archive.namelist():
            return []
        root = ElementTree.fromstring(archive.read("xl/sharedStrings.xml"))
    return ["".join(t.text or "" for t in si.iter(ns + "t")) for si in root.iter(ns + "si")]


def main(path):
    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[0]
    cells = {}
    for row in range(1, 41):
        for column in range(1, 26):
            cell = sheet.cell(row=row, column=column)
            fill = cell.fill
            cells[cell.coordinate] = {
                "value": cell.value,
                "type": cell.data_type,
                "bold": bool(cell.font.b),
                "size": cell.font.sz,
                "fontColor": colour(cell.font.color),
                "fill": colour(fill.fgColor) if fill.fill_type == "solid" else None,
                "left": side(cell.border.left),
                "right": side(cell.border.right),
                "top": side(cell.border.top),
                "bottom": side(cell.border.bottom),
            }
    rows = {str(r): d.height for r, d in sheet.row_dimensions.items() if d.height is not None}
    columns = {}
    for letter, d in sheet.column_dimensions.items():
        if d.width is None or not d.customWidth:
            continue
        for index in range(d.min or 0, (d.max or 0) + 1):
            if index:
                columns[get_column_letter(index)] = d.width
    json.dump({"sheets": book.sheetnames, "maxRow": sheet.max_row, "maxColumn": sheet.max_column,
               "cells": cells, "rows": rows, "columns": columns,
               "storedStrings": stored_strings(path)}, sys.stdout, ensure_ascii=False)


main(sys.argv[1])
