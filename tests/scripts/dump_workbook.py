"""Reads a workbook with openpyxl and prints, as JSON, every property our engine writes:
values, merges, the four edges of each cell, alignment, fonts, column widths, row heights,
row breaks, number formats and data validations."""
import json
import sys

import openpyxl


def colour(c):
    if c is None:
        return None
    if c.type == "indexed":
        return {"indexed": c.indexed}
    if c.type == "rgb":
        return {"rgb": c.rgb}
    if c.type == "theme":
        return {"theme": c.theme}
    return {"auto": True}


def edge(side):
    if side is None or side.style is None:
        return None
    return {"style": side.style, "color": colour(side.color)}


def dump(path):
    wb = openpyxl.load_workbook(path)
    out = {"sheets": wb.sheetnames, "data": {}}
    for ws in wb.worksheets:
        cells = {}
        for row in ws.iter_rows():
            for c in row:
                if c.value is None and not c.has_style:
                    continue
                cells[c.coordinate] = {
                    "value": c.value,
                    "font": {"name": c.font.name, "size": c.font.sz, "bold": bool(c.font.b),
                             "italic": bool(c.font.i), "color": colour(c.font.color)},
                    "left": edge(c.border.left), "right": edge(c.border.right),
                    "top": edge(c.border.top), "bottom": edge(c.border.bottom),
                    "diagonal_down": edge(c.border.diagonal) if c.border.diagonalDown else None,
                    "horizontal": c.alignment.horizontal, "vertical": c.alignment.vertical,
                    "wrap": bool(c.alignment.wrap_text),
                    "number_format": c.number_format,
                    "fill": c.fill.fgColor.rgb if c.fill and c.fill.fill_type else None,
                }
        out["data"][ws.title] = {
            "cells": cells,
            "merges": sorted(str(r) for r in ws.merged_cells.ranges),
            "widths": {k: v.width for k, v in ws.column_dimensions.items() if v.customWidth},
            "heights": {str(k): v.height for k, v in ws.row_dimensions.items() if v.height},
            "row_breaks": [b.id for b in ws.row_breaks.brk],
            "validations": [[str(v.sqref), v.type, v.formula1] for v in ws.data_validations.dataValidation],
        }
    return out


print(json.dumps(dump(sys.argv[1]), ensure_ascii=False, sort_keys=True, default=str))
