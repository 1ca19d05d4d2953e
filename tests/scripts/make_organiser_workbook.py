"""Builds a workbook as an organiser's office might keep it, with another program than ours:
Japanese sheet names, formulas, number formats, merged cells, data validation, and a styled
sheet that our engine must leave exactly as it is."""
import sys

import openpyxl
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side
from openpyxl.worksheet.datavalidation import DataValidation

out = sys.argv[1]
wb = openpyxl.Workbook()

entries = wb.active
entries.title = "男子"
entries["A1"] = "所属番号"
entries["B1"] = "氏名"
entries["C1"] = "所属"
entries["D1"] = "シード"
for row in range(2, 12):
    entries.cell(row=row, column=1, value=row // 2)
    entries.cell(row=row, column=2, value=f"選手{row:02d}　太郎")
    entries.cell(row=row, column=3, value=f"第{row // 2}高校")
    entries.cell(row=row, column=4, value=(row if row % 3 == 0 else None))
entries["F1"] = "合計"
entries["F2"] = "=SUM(A2:A11)"
entries["G2"] = 0.125
entries["G2"].number_format = "0.0%"
entries["H2"] = 1234.5
entries["H2"].number_format = "#,##0.00"
entries.merge_cells("J1:K2")
entries["J1"] = "結合"
entries["B1"].font = Font(name="ＭＳ Ｐゴシック", size=12, bold=True)
entries["A1"].fill = PatternFill("solid", fgColor="FFCC99")
validation = DataValidation(type="list", formula1='"出場,欠場"', allow_blank=True)
entries.add_data_validation(validation)
validation.add("E2:E11")
entries.column_dimensions["B"].width = 18

tally = wb.create_sheet("集計")
tally["A1"] = "集計表"
tally["A1"].font = Font(name="MS P明朝", size=14, italic=True, color="FF0000")
tally["A2"] = 42
tally["B2"] = "=A2*2"
thin = Side(style="thin", color="FF000000")
tally["A3"].border = Border(left=thin, right=thin, top=thin, bottom=thin)
tally["A3"].alignment = Alignment(horizontal="center", vertical="center")
tally.merge_cells("C3:D4")
tally.row_dimensions[2].height = 30

summary = wb.create_sheet("基礎Ｄ")
summary["A1"] = "基礎データ"
summary["B3"] = 4
summary["B4"] = 2

wb.save(out)
