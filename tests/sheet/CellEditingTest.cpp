#include <gtest/gtest.h>

#include <random>

#include "sheet/CellInput.h"
#include "sheet/EditHistory.h"
#include "sheet/TabText.h"
#include "sheet/Workbook.h"
#include "support/TestFiles.h"

namespace tombra::sheet {
namespace {

using test::blankWorkbook;

// What a typed text is stored as: the spreadsheet's rule, with match labels and scores kept as
// texts.
TEST(TypedValue, NumbersAsNumbersAndEverythingElseAsTyped) {
    const struct {
        const char* typed;
        CellValue stored;
    } cases[] = {
        {"", CellValue()},
        {"3", CellValue::number(3)},
        {"-1.5", CellValue::number(-1.5)},
        {"+7", CellValue::number(7)},
        {" 12 ", CellValue::number(12)},
        {".5", CellValue::number(0.5)},
        {"1e3", CellValue::number(1000)},
        {"1,234", CellValue::number(1234)},
        {"50%", CellValue::number(0.5)},
        {"１２３", CellValue::number(123)},  // full-width, as the input method types it
        {"－３", CellValue::number(-3)},
        {"'3", CellValue::text("3")},
        {"''", CellValue::text("'")},
        {"3-1", CellValue::text("3-1")},
        {"1/2", CellValue::text("1/2")},
        {"12,34", CellValue::text("12,34")},
        {"1.2.3", CellValue::text("1.2.3")},
        {"1e", CellValue::text("1e")},
        {"-", CellValue::text("-")},
        {"１２３番", CellValue::text("１２３番")},
        {"山田　太郎", CellValue::text("山田　太郎")},
        {"1e999", CellValue::text("1e999")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(typedValue(c.typed), c.stored) << c.typed;
        // What an editor shows for the stored value types it back the same.
        EXPECT_EQ(typedValue(typingText(c.stored)), c.stored) << c.typed;
    }
}

// Tab-separated text of any cells reads back as the same rows, whatever the cells hold.
TEST(TabText, WhatIsCopiedPastesBackCellForCell) {
    std::mt19937 gen(11);
    const std::vector<std::string> pieces = {"a", "選手", "\t", "\n", "\"", " ", "3", "\r\n", ""};
    auto ws = blankWorkbook();
    Worksheet& sheet = ws->sheet("Sheet1");
    for (int round = 0; round < 200; ++round) {
        const int rows = 1 + static_cast<int>(gen() % 4), columns = 1 + static_cast<int>(gen() % 4);
        std::vector<std::vector<std::string>> expected(rows);
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= columns; ++c) {
                std::string text;
                for (unsigned k = gen() % 4; k > 0; --k) text += pieces[gen() % pieces.size()];
                sheet.setText(r, c, text);
                expected[r - 1].push_back(sheet.value(r, c).asText());
            }
        EXPECT_EQ(parseTabText(tabText(sheet, Area{1, 1, rows, columns})), expected);
    }
    EXPECT_EQ(parseTabText("1\t2\r\n3\t4"),
              (std::vector<std::vector<std::string>>{{"1", "2"}, {"3", "4"}}));
    EXPECT_TRUE(parseTabText("").empty());
}

// Undo and redo walk the steps back and forth; a change by other means (a command) ends the
// history, so an undo never overwrites what a command wrote.
TEST(EditHistory, UndoRedoAndTheEndOfTheHistory) {
    auto wb = blankWorkbook();
    Worksheet& ws = wb->sheet("Sheet1");
    ws.setText(1, 1, "元");
    EditHistory history;
    EXPECT_FALSE(history.write(*wb, "Sheet1", {{1, 1, CellValue::text("元")}})) << "no change";
    EXPECT_TRUE(history.write(*wb, "Sheet1", {{1, 1, CellValue::number(1)}}));
    EXPECT_TRUE(
        history.write(*wb, "Sheet1", {{2, 2, CellValue::text("x")}, {2, 2, CellValue::text("y")}}));
    EXPECT_EQ(ws.text(2, 2), "y");

    const EditStep* undone = history.undo(*wb);
    ASSERT_NE(undone, nullptr);
    EXPECT_EQ(undone->area(), Area::cell(2, 2));
    EXPECT_TRUE(ws.value(2, 2).isEmpty())
        << "a cell written twice in one step goes back to its first value";
    ASSERT_NE(history.undo(*wb), nullptr);
    EXPECT_EQ(ws.text(1, 1), "元");
    EXPECT_EQ(history.undo(*wb), nullptr);
    ASSERT_NE(history.redo(*wb), nullptr);
    EXPECT_EQ(ws.value(1, 1), CellValue::number(1));
    EXPECT_TRUE(history.canRedo(*wb));

    // A new step drops what was undone.
    EXPECT_TRUE(history.write(*wb, "Sheet1", {{3, 3, CellValue::text("z")}}));
    EXPECT_FALSE(history.canRedo(*wb));

    // Another hand writes: the history no longer describes the workbook.
    ws.setText(5, 5, "コマンド");
    EXPECT_FALSE(history.canUndo(*wb));
    EXPECT_EQ(history.undo(*wb), nullptr);
    EXPECT_EQ(ws.text(3, 3), "z");

    // Nor another workbook's.
    auto other = blankWorkbook();
    EXPECT_TRUE(history.write(*wb, "Sheet1", {{4, 4, CellValue::number(4)}}));
    EXPECT_FALSE(history.canUndo(*other));
    EXPECT_TRUE(history.canUndo(*wb));
}

}  // namespace
}  // namespace tombra::sheet
