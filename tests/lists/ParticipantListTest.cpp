#include <gtest/gtest.h>

#include "app/CommandMap.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "sheet/Worksheet.h"
#include "support/EntryWorkbook.h"
#include "support/FakeShell.h"
#include "support/TestFiles.h"

namespace tombra::lists {
namespace {

using tombra::test::SheetRows;

struct ParticipantList : ::testing::Test {
    tombra::test::FakeShell shell;
    tombra::test::TempDir dir;
    Session session{shell, dir.path()};

    // Runs the command on a fresh workbook with this "集計" and, when given, a "参加一覧".
    void run(const SheetRows& tally, const SheetRows& list = {}) {
        const std::filesystem::path path = dir / (std::to_string(++runs) + ".xlsx");
        std::vector<tombra::test::SheetContent> sheets = {{"集計", tally}};
        if (!list.empty()) sheets.push_back({"参加一覧", list});
        tombra::test::writeEntryWorkbook(path, sheets);
        shell.files = {path.string()};
        // The workbook of the run before, which the list changed, is let go unsaved.
        if (runs > 1) shell.answers = {ui::Answer::No};
        ASSERT_TRUE(app::runMenuItem(session, *app::findMenuItem("参加一覧作成(&I)")));
    }
    // Rows 1.. of "参加一覧" as texts of A..K, down to the last row with anything in it.
    SheetRows listed() {
        const sheet::Worksheet& ws = session.attachWorkbook()->sheet("参加一覧");
        SheetRows rows;
        for (int r = 1; r <= ws.usedArea().value_or(sheet::Area{0, 0, 0, 0}).bottom; ++r) {
            auto& row = rows.emplace_back();
            for (int c = 1; c <= 11; ++c) row.push_back(ws.text(r, c));
            while (!row.empty() && row.back().empty()) row.pop_back();
        }
        return rows;
    }
    int runs = 0;
};

// Rows of one school fold into the first of them, each column taking the last value any of
// them holds; the list is numbered without gaps and keeps its own headings above row 4. The
// entries and the draw in memory stay as they were.
TEST_F(ParticipantList, FoldsRowsOfOneSchoolAndNumbersTheRestWithoutGaps) {
    TournamentState& s = session.state;
    s.EntryName(3, 1) = "選手";
    s.TableSlot(1, 1) = 3.01f;
    s.DrawDone = 1;
    run({{"", "北高", "1", "", "2"},
         {"", "南高", "", "3"},
         {"", "北高", "", "4"},
         {"", "東高"},
         {"", "北高", "5", "", "", "6"},
         {"", "南高"}},
        {{"参加一覧"}, {}, {"No", "学校名"}, {"9", "古い行"}, {}, {}, {}, {"9", "古い行"}});
    const SheetRows expected = {{"参加一覧"},           {},
                                {"No", "学校名"},       {"1", "北高", "5", "4", "2", "6"},
                                {"2", "南高", "", "3"}, {"3", "東高"}};
    EXPECT_EQ(listed(), expected);
    EXPECT_EQ(shell.messages, std::vector<std::string>{"参加一覧作成終了"});
    EXPECT_EQ(shell.fileTitles, std::vector<std::string>{"DATAを開く"});
    EXPECT_TRUE(session.marks.checked(ids::kParticipantList));
    EXPECT_EQ(s.EntryName(3, 1), "選手");
    EXPECT_EQ(s.EntryName(1, 1), "");
    EXPECT_EQ(s.TableSlot(1, 1), 3.01f);
    EXPECT_EQ(s.DrawDone, 1);
}

// The list ends at the first row without a school and never goes past row 200; a workbook
// without the list sheet gets one.
TEST_F(ParticipantList, ReadsDownToTheFirstEmptySchoolAndNoFurtherThanRow200) {
    run({{"", ""}, {"", "北高"}});
    EXPECT_EQ(listed(), SheetRows{}) << "an empty first row lists nothing";

    SheetRows tally;
    for (int r = 1; r <= 230; ++r) tally.push_back({"", "学校" + std::to_string(r)});
    run(tally, {{"参加一覧"}});
    const SheetRows rows = listed();
    ASSERT_EQ(rows.size(), 203u);
    EXPECT_EQ(rows.back(), (std::vector<std::string>{"200", "学校200"}));
}

}  // namespace
}  // namespace tombra::lists
