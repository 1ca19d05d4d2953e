#!/usr/bin/python3
"""openpyxl side of the workbook benchmark, and the maker of its starting workbook.

    openpyxl_bench.py start OUT.xlsx
    openpyxl_bench.py write START.xlsx OUT.xlsx [ROWS COLS]
    openpyxl_bench.py read FILE.xlsx [ROWS COLS]

write and read print one line of key=value pairs: seconds, peak RSS (KiB, from getrusage)
and, for read, the same checksum fields bench_workbook prints. The workload below mirrors
runWrite() in bench_workbook.cpp call for call; keep the two in step.
"""

import resource
import sys
import time

from openpyxl import Workbook, load_workbook
from openpyxl.styles import Alignment, Border, Color, Font, Side
from openpyxl.utils import get_column_letter
from openpyxl.worksheet.pagebreak import Break

SHEET = "男子Ｓ"
FONT_NAME = "MS P明朝"
SURNAMES = ["山田", "佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "中村", "小林", "加藤",
            "吉田", "山本", "松本", "井上", "木村", "林", "清水", "山崎", "森", "池田"]
GIVEN = ["太郎", "次郎", "健太", "翔太", "大輔", "花子", "美咲", "陽菜", "結衣", "優奈",
         "蓮", "大翔", "悠真", "湊", "葵", "凛", "芽依", "さくら", "颯太", "陸"]
WIDTHS = [6.0, 4.5, 14.0, 12.0]  # by column % 4


def indexed(color_index):
    return color_index + 7  # ColorIndex n is stored as indexed n + 7


def merge_columns(cols):
    return range(3, cols - 12, 16)  # every 16th column from 3: six of a hundred


def cell_value(r, c):
    m = c % 4
    if m == 1:
        return float(r * 1000 + c)
    if m == 2:
        return SURNAMES[(r + c) % 20] + "　" + GIVEN[(r * 3 + c) % 20] + str((r * 100 + c) % 5000)
    if m == 3:
        return "第" + str((r * 7 + c) % 60 + 1) + "中学校"
    return (r * c) % 97 + 0.5


def peak_kib():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss


def cells_of(ws, r1, c1, r2, c2):
    for r in range(r1, r2 + 1):
        for c in range(c1, c2 + 1):
            yield ws.cell(row=r, column=c)


# Each helper changes only the given fields and keeps the rest, as the engine's commands do.
# New style objects are built from the old one's fields: copy() goes through an XML tree and
# takes about twice as long, which would not be a fair picture of openpyxl.
def set_font(cells, **fields):
    for cell in cells:
        f = cell.font
        kw = dict(name=f.name, sz=f.sz, b=f.b, i=f.i, u=f.u, strike=f.strike, color=f.color,
                  vertAlign=f.vertAlign, charset=f.charset, outline=f.outline, shadow=f.shadow,
                  condense=f.condense, extend=f.extend, family=f.family, scheme=f.scheme)
        kw.update(fields)
        cell.font = Font(**kw)


def with_edge(old, **edge):
    kw = dict(left=old.left, right=old.right, top=old.top, bottom=old.bottom, diagonal=old.diagonal,
              diagonalUp=old.diagonalUp, diagonalDown=old.diagonalDown, outline=old.outline)
    kw.update(edge)
    return Border(**kw)


def set_bottom(cells, style, color_index):
    for cell in cells:
        cell.border = with_edge(cell.border, bottom=Side(style=style, color=Color(indexed=indexed(color_index))))


def set_right(cells, style, color_index):
    for cell in cells:
        cell.border = with_edge(cell.border, right=Side(style=style, color=Color(indexed=indexed(color_index))))


def set_alignment(cells, **fields):
    for cell in cells:
        a = cell.alignment
        kw = dict(horizontal=a.horizontal, vertical=a.vertical, textRotation=a.textRotation,
                  wrapText=a.wrapText, shrinkToFit=a.shrinkToFit, indent=a.indent,
                  relativeIndent=a.relativeIndent, justifyLastLine=a.justifyLastLine,
                  readingOrder=a.readingOrder)
        kw.update(fields)
        cell.alignment = Alignment(**kw)


def write(start, out, rows, cols):
    t0 = time.perf_counter()
    wb = load_workbook(start)
    ws = wb.create_sheet(SHEET)

    for r in range(1, rows + 1):
        for c in range(1, cols + 1):
            ws.cell(row=r, column=c, value=cell_value(r, c))

    # Whole-row fonts: one range per row.
    for r in range(1, rows + 1):
        set_font(cells_of(ws, r, 1, r, cols), name=FONT_NAME, sz=11.0 if r % 2 else 10.5)
    # Player names: cell by cell.
    for c in range(2, cols + 1, 4):
        for r in range(1, rows + 1):
            set_font([ws.cell(row=r, column=c)], b=(r % 3 == 0),
                     color=Color(indexed=indexed(3 if r % 5 == 0 else 1)))
    # Bracket lines under every other column: cell by cell.
    for r in range(1, rows + 1):
        heavy = r % 8 == 0
        for c in range(2, cols + 1, 2):
            set_bottom([ws.cell(row=r, column=c)], "thick" if heavy else "thin", 25 if heavy else 1)
    # Bracket joints: the right edge of four-row ranges.
    for r0 in range(1, rows - 2, 4):
        style = "thick" if (r0 // 4) % 2 == 0 else "thin"
        for c in range(4, cols + 1, 4):
            set_right(cells_of(ws, r0, c, r0 + 3, c), style, 1)
    # Entry numbers: centred cell by cell.
    for r in range(1, rows + 1):
        for c in range(1, cols + 1, 4):
            set_alignment([ws.cell(row=r, column=c)], horizontal="center", vertical="center")
    # Names and schools: left-aligned in ten-row ranges.
    for r0 in range(1, rows - 8, 10):
        for c in range(1, cols + 1):
            if c % 4 in (2, 3):
                set_alignment(cells_of(ws, r0, c, r0 + 9, c), horizontal="left")

    for r0 in range(1, rows, 2):
        for c in merge_columns(cols):
            ws.merge_cells(start_row=r0, start_column=c, end_row=r0 + 1, end_column=c)
    for c in range(1, cols + 1):
        ws.column_dimensions[get_column_letter(c)].width = WIDTHS[c % 4]
    for r in range(1, rows + 1):
        ws.row_dimensions[r].height = 18.0 if r % 2 else 13.5
    for r in range(51, rows + 1, 50):
        ws.row_breaks.append(Break(id=r - 1))

    wb.save(out)
    return time.perf_counter() - t0


def read(path, rows, cols):
    t0 = time.perf_counter()
    wb = load_workbook(path)
    ws = wb[SHEET]
    tail = set()  # cells a merge hides; their formats are not compared
    for m in ws.merged_cells.ranges:
        for r in range(m.min_row, m.max_row + 1):
            for c in range(m.min_col, m.max_col + 1):
                if (r, c) != (m.min_row, m.min_col):
                    tail.add((r, c))
    s = dict(texts=0, textBytes=0, numberSum=0.0, bold=0, sizeSum2=0, fontName=0, red=0,
             bottomThin=0, bottomThick=0, rightThin=0, rightThick=0, hCenter=0, hLeft=0)
    for row in ws.iter_rows(min_row=1, max_row=rows, min_col=1, max_col=cols):
        for cell in row:
            v = cell.value
            font = cell.font
            border = cell.border
            horizontal = cell.alignment.horizontal
            if isinstance(v, str):
                s["texts"] += 1
                s["textBytes"] += len(v.encode("utf-8"))
            elif isinstance(v, (int, float)):
                s["numberSum"] += v
            if (cell.row, cell.column) in tail:
                continue
            s["bold"] += bool(font.b)
            s["sizeSum2"] += int(round((font.sz or 0) * 2))
            s["fontName"] += font.name == FONT_NAME
            s["red"] += font.color is not None and font.color.type == "indexed" and font.color.indexed == indexed(3)
            s["bottomThin"] += border.bottom.style == "thin"
            s["bottomThick"] += border.bottom.style == "thick"
            s["rightThin"] += border.right.style == "thin"
            s["rightThick"] += border.right.style == "thick"
            s["hCenter"] += horizontal == "center"
            s["hLeft"] += horizontal == "left"
    seconds = time.perf_counter() - t0
    s["merges"] = len(ws.merged_cells.ranges)
    s["breaks"] = len(ws.row_breaks.brk)
    return seconds, s


def main(argv):
    mode = argv[1]
    if mode == "start":
        # The organiser's workbook as it arrives: one sheet of notes, nothing more.
        wb = Workbook()
        wb.active.title = "要項"
        wb.active["A1"] = "大会要項"
        wb.save(argv[2])
        return
    files = 2 if mode == "write" else 1
    size = argv[2 + files:]
    rows, cols = (int(size[0]), int(size[1])) if size else (1000, 100)
    baseline = peak_kib()
    if mode == "write":
        seconds = write(argv[2], argv[3], rows, cols)
        print(f"seconds={seconds:.6f} peak_kib={peak_kib()} baseline_kib={baseline}")
    elif mode == "read":
        seconds, s = read(argv[2], rows, cols)
        fields = " ".join(f"{k}={v:.1f}" if isinstance(v, float) else f"{k}={int(v)}" for k, v in s.items())
        print(f"seconds={seconds:.6f} peak_kib={peak_kib()} baseline_kib={baseline} {fields}")
    else:
        sys.exit(f"unknown mode {mode}")


if __name__ == "__main__":
    main(sys.argv)
