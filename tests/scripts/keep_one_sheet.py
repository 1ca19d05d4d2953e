"""Copies a workbook keeping only one sheet, so that another program prints that sheet alone.

usage: keep_one_sheet.py IN.xlsx OUT.xlsx SHEET
"""
import sys

import openpyxl

source, target, keep = sys.argv[1:4]
book = openpyxl.load_workbook(source)
for name in book.sheetnames:
    if name != keep:
        del book[name]
book.active = 0
book.save(target)
