#include <gtest/gtest.h>

#include "BracketFixture.h"
#include "bracket/BracketColumns.h"
#include "bracket/MatchNumbering.h"
#include "sheet/Worksheet.h"

namespace tombra::bracket::test {
namespace {

// A column of the time table from row 3 down to the first empty cell.
std::vector<std::string> listed(const sheet::Worksheet& tt, int column) {
    std::vector<std::string> out;
    for (int row = 3; !tt.text(row, column).empty(); ++row) out.push_back(tt.text(row, column));
    return out;
}

std::vector<std::string> labels(int ordinal, int from, int to) {
    std::vector<std::string> out;
    for (int i = from; i <= to; ++i)
        out.push_back(std::to_string(ordinal) + "-" + std::to_string(i));
    return out;
}

using Numbering = BracketFixture;

TEST_F(Numbering, OnePageListsRoundsWithoutPageJoins) {
    draw({2, 2, 2, 2, 2, 2, 2, 2});
    writeWorkbook();
    build(0);

    auto wb = saved();
    const sheet::Worksheet& tt = wb->sheet("男子ＳＴＢ");
    EXPECT_EQ(tt.text(1, 1), "男子Ｓタイムテーブル");
    EXPECT_EQ(tt.format(1, 1).font.size, 16);
    EXPECT_EQ(tt.format(1, 1).font.name, "MS P明朝");
    EXPECT_EQ(tt.text(2, 1), "1頁");
    EXPECT_EQ(listed(tt, 1), labels(1, 1, 8));
    EXPECT_EQ(listed(tt, 3), labels(2, 1, 4));
    EXPECT_EQ(listed(tt, 5), labels(3, 1, 2));
    EXPECT_EQ(tt.text(3, 7), "ＥＮＤ");
    for (int c = 1; c <= 9; ++c) EXPECT_NE(tt.text(2, c), "頁間") << c;
    EXPECT_NEAR(tt.columnWidth(1), 7, 0.1);
}

TEST_F(Numbering, RoundCountsRunOnAcrossPagesAndPagesAreJoinedAfterwards) {
    // 32 entries in tables of four on two pages: 8 first-round matches on page 1.
    draw({4, 4, 4, 4, 4, 4, 4, 4});
    writeWorkbook();
    build(1);

    auto wb = saved();
    const sheet::Worksheet& ws = wb->sheet("男子Ｓ");
    EXPECT_EQ(ws.text(4, 7), "1-1");
    EXPECT_EQ(ws.text(24, 7), "1-9");  // page 2 starts at row 21, its first match under it
    EXPECT_EQ(ws.mergedAreaAt(24, 7), (sheet::Area{24, 7, 25, 7}));

    const sheet::Worksheet& tt = wb->sheet("男子ＳＴＢ");
    EXPECT_EQ(tt.text(2, 1), "1頁");
    EXPECT_EQ(listed(tt, 1), labels(1, 1, 8));
    EXPECT_EQ(listed(tt, 3), labels(2, 1, 4));
    EXPECT_EQ(listed(tt, 5), labels(3, 1, 2));
    EXPECT_EQ(tt.text(2, 7), "2頁");
    EXPECT_EQ(listed(tt, 7), labels(1, 9, 16));
    EXPECT_EQ(listed(tt, 9), labels(2, 5, 8));
    EXPECT_EQ(listed(tt, 11), labels(3, 3, 4));
    EXPECT_EQ(tt.text(2, 13), "頁間");
    EXPECT_EQ(listed(tt, 13), labels(4, 1, 1));
    EXPECT_EQ(tt.text(3, 15), "ＥＮＤ");
}

TEST_F(Numbering, FourPagesJoinInTwoLevels) {
    draw(std::vector<int>(16, 2));
    writeWorkbook();
    build(2);
    auto wb = saved();
    const sheet::Worksheet& tt = wb->sheet("男子ＳＴＢ");
    int joins = 1;
    while (joins < 60 && tt.text(2, joins) != "頁間") ++joins;
    // Each page: two pairs per half in G/U, their winners meet in H/T: two round columns
    // per page, then the four page winners meet in two levels.
    EXPECT_EQ(joins, 17);
    EXPECT_EQ(listed(tt, joins), labels(3, 1, 2));
    EXPECT_EQ(listed(tt, joins + 2), labels(4, 1, 1));
    EXPECT_EQ(tt.text(3, joins + 4), "ＥＮＤ");
}

TEST_F(Numbering, ByesLeaveTheOuterRoundToTheTablesThatPlayIt) {
    // Tables of three: the outer column holds one match per table, the inner the rest.
    draw({3, 3, 3, 3, 3, 3, 3, 3});
    writeWorkbook();
    build(0);
    auto wb = saved();
    const sheet::Worksheet& ws = wb->sheet("男子Ｓ");
    // Odd table 1 (code 3, row 3): the bye on top, the match of players 2 and 3 in G.
    EXPECT_EQ(ws.text(6, 7), "1-1");
    EXPECT_EQ(ws.text(4, 8), "2-1");
    // Even table 2 (code -3, row 9): players 1 and 2 meet in G, the third has the bye.
    EXPECT_EQ(ws.text(10, 7), "1-2");
    EXPECT_EQ(ws.text(11, 8), "2-2");
}

TEST_F(Numbering, ErasingTouchesOnlyBareMarksInTheLineColumns) {
    draw({2, 2, 2, 2, 2, 2, 2, 2});
    writeWorkbook();
    session.state.PageCount = 1;
    sheet::Worksheet& ws = session.attachWorkbook()->sheet("男子Ｓ");
    ws.clear(sheet::Area::wholeSheet());
    ws.setText(4, 7, kMatchMark);
    ws.setText(20, 21, kMatchMark);  // the last row of 4 x 1 + 16
    ws.setText(6, 8, "1-1");
    ws.setText(8, 9, "○印");
    ws.setText(4, 6, kMatchMark);   // F: outside the line columns
    ws.setText(4, 22, kMatchMark);  // V
    ws.setText(9, 14, kSuperSeedMark);
    ws.setBorder(sheet::Area::cell(4, 7), sheet::xl::EdgeRight, bracketLine());

    eraseNumbering(session, ws);
    EXPECT_EQ(ws.text(4, 7), "");
    EXPECT_EQ(ws.text(20, 21), "");
    EXPECT_EQ(ws.text(6, 8), "1-1");
    EXPECT_EQ(ws.text(8, 9), "○印");
    EXPECT_EQ(ws.text(4, 6), kMatchMark);
    EXPECT_EQ(ws.text(4, 22), kMatchMark);
    EXPECT_EQ(ws.text(9, 14), kSuperSeedMark);
    EXPECT_TRUE(ws.format(4, 7).edge(sheet::xl::EdgeRight).present());
    EXPECT_EQ(session.progress.caption(), "ナンバリング消去");
    EXPECT_FALSE(session.progress.visible());
}

TEST_F(Numbering, LabelFontSizeComesFromTheDialog) {
    draw({2, 2, 2, 2, 2, 2, 2, 2});
    writeWorkbook();
    shell.fill["Form12"] = [](ui::Form& f) {
        f.setValue("Option1", true);
        f.setText("Text1", "9");
    };
    shell.fill["Form4"] = [](ui::Form& f) { f.setValue("opt(0)", true); };
    const NumberingChoice choice = askNumbering(session);
    EXPECT_TRUE(choice.number);
    EXPECT_EQ(choice.fontSize, 9);

    shell.fill["Form12"] = [](ui::Form& f) { f.setValue("Option2", true); };
    const NumberingChoice none = askNumbering(session);
    EXPECT_TRUE(none.erase);
    EXPECT_FALSE(none.number);
}

TEST_F(Numbering, SuperSeedJointFollowsTheHalfOfThePageTheLabelIsIn) {
    writeWorkbook();
    TournamentState& s = session.state;
    s.PageCount = 1;
    s.EntryCount = 16;
    s.SuperSeedStartRound = 3;
    sheet::Workbook& wb = *session.attachWorkbook();
    sheet::Worksheet& ws = wb.sheet("男子Ｓ");
    ws.clear(sheet::Area::wholeSheet());
    ws.setText(40, 14, "─ 1 ─");    // rows 1..40, middle row 21
    ws.setText(30, 7, kMatchMark);  // rounds 1 and 2 have matches, so column I is ordinal 3
    ws.setText(30, 8, kMatchMark);
    for (int row : {10, 21, 34}) {
        ws.setText(row, 9, kMatchMark);
        ws.setText(row, 7, "x");  // something two columns to the left
    }
    ws.setText(14, 9, kMatchMark);  // nothing beside it: no joint

    numberMatches(session, wb, ws, 7);
    auto left = [&](int row) { return ws.format(row, 9).edge(sheet::xl::EdgeLeft).present(); };
    EXPECT_EQ(ws.text(10, 9), "3-1");
    EXPECT_TRUE(left(11));  // above the middle: the row below the label
    EXPECT_FALSE(left(10));
    EXPECT_FALSE(left(21) || left(22));  // on the middle: none
    EXPECT_TRUE(left(34));               // below the middle: the label itself
    EXPECT_FALSE(left(15) || left(14));
}

}  // namespace
}  // namespace tombra::bracket::test
