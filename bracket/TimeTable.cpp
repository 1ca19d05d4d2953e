#include "bracket/TimeTable.h"

#include "sheet/Worksheet.h"
#include "state/Numbers.h"

namespace tombra::bracket {

namespace {

const char* const kFont = "MS P明朝";

void writeWithFont(sheet::Worksheet& sheet, int row, int column, const std::string& text,
                   double size) {
    sheet.setFont(sheet::Area::cell(row, column), {.name = kFont, .size = size});
    sheet.setText(row, column, text);
}

}  // namespace

TimeTable::TimeTable(sheet::Worksheet& sheet, const std::string& bracketSheetName) : sheet_(sheet) {
    sheet_.clear(sheet::Area::wholeSheet());
    writeWithFont(sheet_, 1, 1, bracketSheetName + "タイムテーブル", 16);
}

void TimeTable::beginPage(int page) {
    writeWithFont(sheet_, 2, column_, numberText(page) + "頁", 11);
}

void TimeTable::add(const std::string& label) {
    writeWithFont(sheet_, row_, column_, label, 11);
    ++row_;
}

void TimeTable::endRound() {
    if (row_ > kFirstRow) column_ += 2;
    row_ = kFirstRow;
}

void TimeTable::betweenPages(int pageCount, int& ordinal) {
    int levels = 0;
    while ((1 << (levels + 1)) <= pageCount) ++levels;
    if ((1 << levels) != pageCount || levels == 0) return;
    sheet_.setText(2, column_, "頁間");
    for (int j = 1; j <= levels; ++j) {
        ++ordinal;
        for (int i = 1; i <= pageCount >> j; ++i)
            sheet_.setText(kFirstRow + i - 1, column_, numberText(ordinal) + "-" + numberText(i));
        column_ += 2;
    }
}

void TimeTable::finish() {
    sheet_.setFont(sheet::Area::cell(2, column_), {.name = kFont, .size = 11});
    sheet_.setText(kFirstRow, column_, "ＥＮＤ");
    sheet_.setColumnWidth("a:dz", 4);
}

}  // namespace tombra::bracket
