#include <gtest/gtest.h>

#include "sheet/CellText.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "support/TestFiles.h"

namespace tombra::sheet {
namespace {

// Lengths as spreadsheet programs count them: UTF-16 units, a character never split.
TEST(CellText, LengthsAndCutsCountUtf16UnitsAndNeverSplitACharacter) {
    struct Case {
        std::string text;
        std::size_t limit, length, keptBytes;
    };
    const std::string emoji = "\xF0\x9F\x8E\xBE";  // one character, two units
    const Case cases[] = {
        {"abc", 2, 3, 2},       {"山田太郎", 3, 4, 9}, {"a" + emoji, 2, 3, 1},
        {"a" + emoji, 3, 3, 5}, {"", 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cellTextLength(c.text), c.length) << c.text;
        EXPECT_EQ(cutToCellLength(c.text, c.limit).size(), c.keptBytes) << c.text;
    }
}

// A text longer than a cell holds is cut when written, and said once, naming the cell.
TEST(CellText, ATooLongTextIsCutToTheCellsLimitAndNoted) {
    auto wb = test::blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    ws.setText(5, 2, std::string(40005, 'x'));
    ws.setText(6, 2, std::string(kMaxCellTextLength, 'y'));
    EXPECT_EQ(ws.text(5, 2).size(), kMaxCellTextLength);
    EXPECT_EQ(ws.text(6, 2).size(), kMaxCellTextLength);
    EXPECT_EQ(
        wb->takeNotices(),
        (std::vector<std::string>{"シート「Sheet1」のセル B5 の文字列は 40005 文字あり、セルに入る "
                                  "32767 文字で切りました"}));
    EXPECT_TRUE(wb->takeNotices().empty());
}

}  // namespace
}  // namespace tombra::sheet
