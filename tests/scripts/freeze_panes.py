"""Writes a workbook whose first sheet keeps rows and columns in view: freeze_panes.py OUT CELL
("B3" freezes two rows and one column), with fifty rows of numbered text under a header."""
import sys

import openpyxl

wb = openpyxl.Workbook()
ws = wb.active
ws.title = "名簿"
ws["A1"] = "番号"
ws["B1"] = "名前"
for r in range(2, 52):
    ws.cell(row=r, column=1, value=r - 1)
    ws.cell(row=r, column=2, value=f"選手{r - 1}")
ws.freeze_panes = sys.argv[2]
wb.save(sys.argv[1])
