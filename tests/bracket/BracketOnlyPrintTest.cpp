#include <gtest/gtest.h>

#include <set>

#include "app/CommandMap.h"
#include "session/Session.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "support/EntryWorkbook.h"
#include "support/FakeShell.h"
#include "support/TestFiles.h"

// "個人戦ヤグラのみ印刷" on a workbook that holds none of the sheets it writes.

namespace tombra::bracket {
namespace {

struct BracketOnly : ::testing::Test {
    test::FakeShell shell;
    test::TempDir dir;
    Session session{shell, dir.path()};
    std::filesystem::path path = dir / "白紙.xlsx";

    void run(int participants, const char* eventOption = "Option4") {
        test::writeEntryWorkbook(path, {{"メモ", {{"白紙"}}}});
        shell.files = {path.string()};
        shell.fill["Form1"] = [eventOption](ui::Form& f) {
            f.setValue("Check1", true);
            f.setValue(eventOption, true);
        };
        shell.fill["Form8"] = [participants](ui::Form& f) {
            f.setText("Text1", std::to_string(participants));
        };
        ASSERT_TRUE(
            app::runMenuItem(session, *app::findMenuItem("印刷(&P)/個人戦ヤグラのみ印刷(&I)")));
    }
    std::unique_ptr<sheet::Workbook> saved() {
        session.attachWorkbook()->save();
        return sheet::Workbook::open(path);
    }
};

// Every participant has a numbered line with its parentheses, every name cell is empty, the
// title is the event's in the sheet's own font, and the matches are labelled.
TEST_F(BracketOnly, MakesANumberedBlankBracketForAnyNumberOfParticipants) {
    for (int participants : {7, 23, 30}) {
        SCOPED_TRACE(participants);
        shell.messages.clear();
        run(participants);
        EXPECT_EQ(shell.messages.back(), "終了");
        auto wb = saved();
        const sheet::Worksheet& ws = wb->sheet("男子Ｓ");
        std::multiset<int> numbers;
        int names = 0, opened = 0, labels = 0;
        ws.forEachCell([&](int, int column, const sheet::CellValue& v) {
            if ((column == 2 || column == 26) && v.isNumber())
                numbers.insert(static_cast<int>(v.asNumber()));
            names += (column == 3 || column == 22) && !v.isEmpty();
            opened += (column == 4 || column == 23) && v.asText() == "(";
            labels += column > 6 && column < 22 && v.asText().find('-') != std::string::npos;
        });
        std::multiset<int> expected;
        for (int n = 1; n <= participants; ++n) expected.insert(n);
        EXPECT_EQ(numbers, expected);
        EXPECT_EQ(names, 0);
        EXPECT_EQ(opened, participants);
        // One page: every match but the final between the two halves, which has no line.
        EXPECT_EQ(labels, participants - 2);
        EXPECT_EQ(ws.text(1, 14), "男子シングルス");
        EXPECT_FALSE(ws.format(1, 14).font.bold);
        EXPECT_EQ(ws.format(1, 14).font.size, wb->sheet("メモ").format(1, 1).font.size);
        EXPECT_EQ(ws.format(1, 14).horizontal, sheet::xl::HAlignCenter);
        EXPECT_NE(wb->findSheet("男子ＳＴＢ"), nullptr);
        EXPECT_NE(wb->findSheet("男子ＮＴ"), nullptr) << "singles: the school positions";
        ASSERT_TRUE(app::runMenuItem(session, *app::findMenuItem("ﾌｧｲﾙ(&F)/印刷(&P)...")));
        EXPECT_EQ(shell.printed.back(), "男子Ｓ");
    }
}

TEST_F(BracketOnly, OtherEventsHaveNoSchoolPositionsAndACancelledFileSaysNothing) {
    run(12, "Option5");
    EXPECT_EQ(shell.messages.back(), "終了");
    auto wb = saved();
    EXPECT_NE(wb->findSheet("男子Ｄ"), nullptr);
    EXPECT_EQ(wb->findSheet("男子ＮＴ"), nullptr);

    shell.messages.clear();
    shell.files.clear();
    ASSERT_TRUE(app::runMenuItem(session, *app::findMenuItem("印刷(&P)/個人戦ヤグラのみ印刷(&I)")));
    EXPECT_TRUE(shell.messages.empty());
}

}  // namespace
}  // namespace tombra::bracket
