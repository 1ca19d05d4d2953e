#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "BracketFixture.h"
#include "app/CommandMap.h"
#include "bracket/BracketColumns.h"
#include "bracket/PageSettingsForm.h"
#include "intake/EntryLayout.h"
#include "sheet/CellText.h"
#include "sheet/Worksheet.h"
#include "state/EntryCode.h"

namespace tombra::bracket::test {
namespace {

using sheet::Area;

// Every text of a sheet by its reference ("C3"), to compare whole sheets and search them.
std::map<std::string, std::string> texts(const sheet::Worksheet& ws) {
    std::map<std::string, std::string> out;
    ws.forEachCell([&](int row, int column, const sheet::CellValue& v) {
        if (!v.isEmpty()) out[sheet::cellReference(row, column)] = v.asText();
    });
    return out;
}

bool anyCellHolds(const sheet::Worksheet& ws, const std::string& text) {
    for (const auto& [ref, t] : texts(ws))
        if (t == text) return true;
    return false;
}

bool mergedPair(const sheet::Worksheet& ws, int row, int column) {
    return ws.mergedAreaAt(row, column) == Area{row, column, row + 1, column};
}

using BracketSheet = BracketFixture;

TEST_F(BracketSheet, OnePageWritesBothHalvesWithSeedsLinesAndFooter) {
    draw({2, 2, 2, 2, 2, 2, 2, 2});
    seed(1, 1);
    seed(2, 16);
    writeWorkbook();
    build(0);

    auto wb = saved();
    const sheet::Worksheet& ws = wb->sheet("男子Ｓ");
    EXPECT_EQ(ws.text(1, 14), "男子シングルス");
    EXPECT_TRUE(ws.format(1, 14).font.bold);
    EXPECT_EQ(ws.format(1, 14).font.size, 16);
    EXPECT_EQ(ws.text(1, 1), "");  // the old contents went with the clearing

    // Left half: players 1..8 from row 3, two rows each.
    EXPECT_EQ(ws.text(3, 1), "S1");
    EXPECT_EQ(ws.value(3, 2).asNumber(), 1);
    EXPECT_EQ(ws.text(3, 3), "選手1");
    EXPECT_EQ(ws.text(3, 4), "(");
    EXPECT_EQ(ws.text(3, 5), "高校1");
    EXPECT_EQ(ws.text(3, 6), ")");
    EXPECT_EQ(ws.text(17, 3), "選手8");
    EXPECT_EQ(ws.value(17, 2).asNumber(), 8);
    for (int c = 1; c <= 6; ++c) EXPECT_TRUE(mergedPair(ws, 3, c)) << c;
    // Right half: numbers run on from the left half; seed 2 is the last position.
    EXPECT_EQ(ws.text(3, 22), "選手9");
    EXPECT_EQ(ws.value(3, 26).asNumber(), 9);
    EXPECT_EQ(ws.text(3, 24), "高校1");
    EXPECT_EQ(ws.text(17, 22), "選手16");
    EXPECT_EQ(ws.text(17, 27), "S2");
    EXPECT_TRUE(mergedPair(ws, 17, 27));
    EXPECT_EQ(ws.text(5, 1), "");

    // 16 entries fill the bracket: first-round matches in G and U, numbered; the final lines
    // of both halves reach J and R.
    EXPECT_EQ(ws.text(4, 7), "1-1");
    EXPECT_EQ(ws.text(16, 7), "1-4");
    EXPECT_EQ(ws.text(4, 21), "1-5");
    EXPECT_EQ(ws.text(6, 8), "2-1");
    EXPECT_EQ(ws.text(10, 9), "3-1");
    EXPECT_EQ(ws.text(10, 19), "3-2");
    EXPECT_TRUE(ws.format(10, 10).edge(sheet::xl::EdgeBottom).present());
    EXPECT_TRUE(ws.format(10, 18).edge(sheet::xl::EdgeBottom).present());
    EXPECT_TRUE(ws.format(4, 7).edge(sheet::xl::EdgeRight).present());
    EXPECT_TRUE(ws.format(4, 21).edge(sheet::xl::EdgeLeft).present());
    EXPECT_EQ(ws.format(4, 7).font.size, 7);
    EXPECT_FALSE(anyCellHolds(ws, kMatchMark));

    EXPECT_EQ(ws.text(20, 14), "─ 1 ─");
    EXPECT_FALSE(ws.format(20, 14).font.bold);
    EXPECT_EQ(ws.pageBreakRows(), std::vector<int>{21});

    // Column formatting after the numbering.
    EXPECT_EQ(ws.format(3, 3).horizontal, sheet::xl::HAlignDistributed);
    EXPECT_EQ(ws.format(3, 24).vertical, sheet::xl::VAlignCenter);
    EXPECT_EQ(ws.format(4, 7).horizontal, sheet::xl::HAlignRight);
    EXPECT_EQ(ws.format(4, 21).horizontal, sheet::xl::HAlignLeft);
    EXPECT_NEAR(ws.columnWidth(10), 3, 0.1);

    EXPECT_EQ(wb->sheet("基礎Ｄ").value(3, 2).asNumber(), 50);
    EXPECT_EQ(wb->sheet("基礎Ｄ").value(4, 2).asNumber(), 1);
    ASSERT_FALSE(shell.messages.empty());
    EXPECT_EQ(shell.messages.back(), "組合せ作成終了");
    EXPECT_TRUE(session.marks.checked("ヤグラ作成"));
    EXPECT_FALSE(session.progress.visible());
}

TEST_F(BracketSheet, SchoolPositionSheetListsTenPlayersToARow) {
    draw({2, 2, 2, 2, 2, 2, 2, 2});
    writeWorkbook();
    build(0);

    auto wb = saved();
    const sheet::Worksheet& nt = wb->sheet("男子ＮＴ");
    EXPECT_EQ(nt.text(1, 1), "＜男子＞　学校別ヤグラ位置");
    EXPECT_EQ(nt.value(2, 1).asNumber(), 1);
    EXPECT_EQ(nt.text(2, 2), "高校1");
    EXPECT_EQ(nt.text(2, 3), "1:選手1(1)");
    EXPECT_EQ(nt.text(2, 12), "10:選手10(10)");
    EXPECT_EQ(nt.value(3, 1).asNumber(), 2);
    EXPECT_EQ(nt.text(3, 3), "11:選手11(1)");
    EXPECT_EQ(nt.text(3, 8), "16:選手16(6)");
}

TEST_F(BracketSheet, PlayersElevenOnOfASchoolTakeTheNextRow) {
    draw({2, 2, 2, 2, 2, 2, 2, 2});
    // Entry 12 of school 1 at the last position.
    session.state.TableSlot(8, 2) = encodeEntry(1, 12);
    session.state.EntryName(1, 12) = "末尾";
    writeWorkbook();
    build(0);
    auto wb = saved();
    const sheet::Worksheet& nt = wb->sheet("男子ＮＴ");
    EXPECT_EQ(nt.text(3, 4), "16:末尾(12)");
    EXPECT_EQ(nt.value(4, 1).asNumber(), 2);  // the next school starts below that row
}

// A name longer than a cell holds: the school positions cut the name, not the position or the
// entry number, and the bracket's own name cell is cut by the workbook and named in the log.
TEST_F(BracketSheet, ANameTooLongForACellIsCutAndTheCutIsLogged) {
    draw({2, 2, 2, 2, 2, 2, 2, 2});
    session.state.EntryName(1, 1) = std::string(40000, 'x');
    writeWorkbook();
    build(0);
    auto wb = saved();
    const std::string position = wb->sheet("男子ＮＴ").text(2, 3);
    EXPECT_EQ(position.size(), sheet::kMaxCellTextLength);
    EXPECT_EQ(position.substr(0, 3), "1:x");
    EXPECT_EQ(position.substr(position.size() - 3), "(1)");
    EXPECT_NE(session.log.text().find("」のセル "), std::string::npos) << session.log.text();
    EXPECT_NE(session.log.text().find("40000 文字あり、セルに入る 32767 文字で切りました"),
              std::string::npos);
}

TEST_F(BracketSheet, BuildingTwiceGivesTheSameSheet) {
    draw({3, 2, 2, 3, 3, 2, 2, 3});
    seed(1, 1);
    writeWorkbook();
    build(1);
    const auto first = texts(session.attachWorkbook()->sheet("男子Ｓ"));
    const auto firstBreaks = session.attachWorkbook()->sheet("男子Ｓ").pageBreakRows();
    build(0);  // one page in between: its break must not survive
    build(1);
    auto wb = saved();
    const sheet::Worksheet& ws = wb->sheet("男子Ｓ");
    EXPECT_EQ(texts(ws), first);
    EXPECT_EQ(ws.pageBreakRows(), firstBreaks);
    EXPECT_EQ(firstBreaks.size(), 2u);
}

TEST_F(BracketSheet, SeveralPagesCarryNumberedTitlesAndSurplusTablesAreNotWritten) {
    // Ten tables on two pages: two per half, tables 9 and 10 do not fit.
    draw({2, 2, 2, 2, 2, 2, 2, 2, 2, 2});
    writeWorkbook();
    build(1);

    auto wb = saved();

    const sheet::Worksheet& ws = wb->sheet("男子Ｓ");
    EXPECT_EQ(ws.text(1, 14), "男子シングルス(No1)");
    EXPECT_EQ(ws.text(12, 14), "─ 1 ─");
    EXPECT_EQ(ws.text(13, 14), "男子シングルス(No2)");
    EXPECT_EQ(ws.text(24, 14), "─ 2 ─");
    EXPECT_EQ(ws.pageBreakRows(), (std::vector<int>{13, 25}));
    EXPECT_EQ(ws.text(15, 3), "選手9");  // page 2 starts with table 5
    EXPECT_EQ(ws.value(21, 26).asNumber(), 16);
    EXPECT_FALSE(anyCellHolds(ws, "選手17"));
    EXPECT_FALSE(anyCellHolds(ws, "17"));
    EXPECT_EQ(session.state.PageCount, 2);
}

TEST_F(BracketSheet, PrintTitleReplacesTheEventName) {
    session.state.PrintTitle = "秋季大会";
    draw({2, 2, 2, 2, 2, 2, 2, 2});
    writeWorkbook();
    build(1);
    EXPECT_EQ(saved()->sheet("男子Ｓ").text(1, 14), "秋季大会(No1)");
}

TEST_F(BracketSheet, ARightHalfLongerThanTheLeftKeepsItsPage) {
    // Page 2: left tables 5, 6 hold 4 players, right tables 7, 8 hold 8 (rows 15..29).
    draw({2, 2, 2, 2, 2, 2, 4, 4});
    writeWorkbook();
    build(1);
    auto wb = saved();
    const sheet::Worksheet& ws = wb->sheet("男子Ｓ");
    EXPECT_EQ(ws.text(12, 14), "─ 1 ─");
    EXPECT_EQ(ws.text(29, 22), "選手20");
    // The footer and the break follow the longer half, so page 2 keeps all its players.
    EXPECT_EQ(ws.text(32, 14), "─ 2 ─");
    EXPECT_EQ(ws.pageBreakRows(), (std::vector<int>{13, 33}));
}

TEST_F(BracketSheet, TeamSheetsLoseTheAffiliationColumns) {
    event("男子", "団体", "Ｔ");
    draw({2, 2, 2, 2, 2, 2, 2, 2});
    seed(2, 16);
    writeWorkbook();
    build(0);

    auto wb = saved();
    const sheet::Worksheet& ws = wb->sheet("男子Ｔ");
    EXPECT_EQ(ws.text(3, 3), "選手1");
    EXPECT_EQ(ws.value(3, 2).asNumber(), 1);
    EXPECT_EQ(ws.text(4, 4), "1-1");     // the first round, G before, now D
    EXPECT_EQ(ws.text(3, 19), "選手9");  // right names V -> S
    EXPECT_EQ(ws.value(3, 20).asNumber(), 9);
    EXPECT_EQ(ws.text(17, 21), "S2");
    EXPECT_EQ(ws.text(20, 11), "─ 1 ─");  // the centre N -> K
    EXPECT_FALSE(anyCellHolds(ws, "("));
    EXPECT_FALSE(anyCellHolds(ws, "高校1"));
    for (int c : {1, 4, 11, 18, 21}) EXPECT_NEAR(ws.columnWidth(c), 3, 0.1) << c;
    EXPECT_EQ(wb->sheet("基礎Ｄ").value(4, 4).asNumber(), 1);
    EXPECT_EQ(wb->findSheet("男子ＮＴ"), nullptr);
}

TEST_F(BracketSheet, ALoneTableAsksToMerge) {
    draw({2, 2, 1, 2, 2, 2, 2, 1});
    writeWorkbook();
    shell.answers = {ui::Answer::Yes};
    build(0);
    EXPECT_EQ(shell.messages.front(),
              "テーブル結合を実行します\r\n（スーパシードがあれば「いいえ」とする）");
    EXPECT_EQ(session.state.TableCount, 4);
    EXPECT_EQ(session.state.TableSize(2), 3);
    auto wb = saved();
    const sheet::Worksheet& ws = wb->sheet("男子Ｓ");
    EXPECT_EQ(ws.text(9, 3), "選手4");  // tables 1+2 make the left half's first 4 players
    EXPECT_EQ(ws.text(3, 22), "選手8");
}

TEST_F(BracketSheet, DecliningTheMergeKeepsASuperSeedLine) {
    session.state.SuperSeedStartRound = 3;
    draw({1, 3, 3, 3, 1, 3, 3, 3});
    writeWorkbook();
    shell.answers = {ui::Answer::No};
    build(0, false);
    EXPECT_EQ(session.state.TableCount, 8);
    auto wb = saved();
    const sheet::Worksheet& ws = wb->sheet("男子Ｓ");
    EXPECT_TRUE(ws.format(3, 7).edge(sheet::xl::EdgeBottom).present());
    EXPECT_TRUE(ws.format(3, 8).edge(sheet::xl::EdgeBottom).present());
    EXPECT_EQ(ws.text(3, 8), "");  // its mark was taken up by the connector
    // The super seed meets the winner of table 2 in column I.
    EXPECT_TRUE(ws.format(4, 9).edge(sheet::xl::EdgeRight).present());
}

int cellsHolding(const sheet::Worksheet& ws, const std::string& text) {
    int n = 0;
    for (const auto& [ref, t] : texts(ws)) n += t == text;
    return n;
}

TEST_F(BracketSheet, TinyEventsKeepEveryPlayerAfterTheMerge) {
    struct Case {
        std::vector<int> sizes;
        int players;
    };
    for (const Case& c : {Case{{1, 0, 0, 0, 0, 0, 0, 0}, 1}, Case{{1, 0, 0, 0, 1, 0, 0, 1}, 3}}) {
        SCOPED_TRACE(c.players);
        shell.messages.clear();
        draw(c.sizes);
        writeWorkbook();
        build(0);  // the merge question takes its default answer
        auto wb = saved();
        const sheet::Worksheet& ws = wb->sheet("男子Ｓ");
        for (int i = 1; i <= c.players; ++i)
            EXPECT_EQ(cellsHolding(ws, "選手" + std::to_string(i)), 1) << i;
        const bool told = std::find(shell.messages.begin(), shell.messages.end(),
                                    "選手が１名のため、試合はありません") != shell.messages.end();
        EXPECT_EQ(told, c.players == 1);
    }
}

TEST_F(BracketSheet, PagesAreLoweredUntilEveryHalfPageHasATable) {
    draw({3, 3, 2, 2, 3, 3, 2, 2});
    writeWorkbook();
    build(3);  // eight pages for eight tables
    EXPECT_EQ(session.state.PageCount, 4);
    EXPECT_NE(std::find(shell.messages.begin(), shell.messages.end(),
                        "テーブル数 8 では印刷ページは 4 頁までです。4 頁で作成します"),
              shell.messages.end());
    auto wb = saved();
    const sheet::Worksheet& ws = wb->sheet("男子Ｓ");
    for (int i = 1; i <= 20; ++i) EXPECT_EQ(cellsHolding(ws, "選手" + std::to_string(i)), 1) << i;
    EXPECT_FALSE(anyCellHolds(ws, "─ 5 ─"));
    EXPECT_EQ(wb->sheet("基礎Ｄ").value(4, 2).asNumber(), 4);
}

TEST_F(BracketSheet, ALoneSeedWithoutSuperSeedsJoinsItsHalfsFinal) {
    draw({1, 2, 2, 2, 2, 2, 2, 2});
    seed(1, 1);
    writeWorkbook();
    shell.answers = {ui::Answer::No};
    build(0);
    auto wb = saved();
    const sheet::Worksheet& ws = wb->sheet("男子Ｓ");
    EXPECT_TRUE(ws.format(3, 8).edge(sheet::xl::EdgeBottom).present());
    EXPECT_FALSE(anyCellHolds(ws, kMatchMark));
    EXPECT_FALSE(anyCellHolds(ws, kSuperSeedMark));
    // S1 meets the winner of 1-1; 1-2 and 1-3 meet; both winners play the half's final.
    const sheet::Worksheet& tt = wb->sheet("男子ＳＴＢ");
    std::vector<std::string> finals;
    for (int row = 3; !tt.text(row, 5).empty(); ++row) finals.push_back(tt.text(row, 5));
    EXPECT_EQ(finals, (std::vector<std::string>{"3-1", "3-2"}));
    EXPECT_EQ(ws.text(8, 10), "3-1");
}

TEST_F(BracketSheet, NoNumberingLeavesLinesButNoMarks) {
    draw({3, 2, 2, 3, 3, 2, 2, 3});
    writeWorkbook();
    build(0, false);
    auto wb = saved();
    const sheet::Worksheet& ws = wb->sheet("男子Ｓ");
    EXPECT_FALSE(anyCellHolds(ws, kMatchMark));
    EXPECT_TRUE(ws.format(3, 7).edge(sheet::xl::EdgeBottom).present());
    EXPECT_EQ(ws.text(3, 3), "選手1");
    EXPECT_EQ(wb->findSheet("男子ＳＴＢ"), nullptr);
}

// Leagues of three feed the bracket: a table of four or five is one position, a table of six
// two, and a table holding seed 2 puts it in its second position; every group is labelled
// and written to the preliminary league sheet once.
TEST_F(BracketSheet, LeagueFedBracketsShowALeaguePerPositionAndWriteTheLeagueSheet) {
    session.state.LeagueThenTournament = 1;
    session.state.LeagueSize = 3;
    draw({4, 6, 5, 3, 3, 5, 6, 1});
    seed(1, 1);  // table 1
    seed(2, 5);  // table 2, its first position
    writeWorkbook();
    shell.answers = {ui::Answer::No};  // the lone league of table 8 stays on its own
    build(0);
    EXPECT_EQ(shell.messages.back(), "組合せ作成終了");
    auto wb = saved();
    const sheet::Worksheet& ws = wb->sheet("男子Ｓ");
    EXPECT_EQ(ws.text(3, 3), "選手1(高校1)\r\n選手2(高校1)\r\n選手3(高校1)\r\n選手4(高校1)");
    EXPECT_EQ(ws.text(3, 2), "1\r\n2\r\n3\r\n4");
    EXPECT_EQ(ws.text(3, 1), "[1]") << "the group label takes the seed's place";
    // Table 2 (players 5..10) is two positions, seed 2 moved to the second.
    EXPECT_EQ(ws.text(5, 3), "選手8(高校1)\r\n選手9(高校1)\r\n選手10(高校1)");
    EXPECT_EQ(ws.text(7, 3), "選手5(高校1)\r\n選手6(高校1)\r\n選手7(高校1)");
    EXPECT_TRUE(mergedPair(ws, 7, 2));
    EXPECT_EQ(ws.mergedAreaAt(7, 3), (Area{7, 3, 8, 6}));
    EXPECT_EQ(cellsHolding(ws, "○"), 4) << "two pairs per half, no rounds joined";

    const sheet::Worksheet& league = wb->sheet("男子Ｒ");
    EXPECT_EQ(league.text(1, 2), "男子シングルス予選リーグ");
    std::map<std::string, int> members;
    int groups = 0;
    league.forEachCell([&](int, int column, const sheet::CellValue& v) {
        if (column == 2 && v.asText().rfind("第", 0) == 0) ++groups;
        if (column == 2 && v.asText().find("\r\n(") != std::string::npos) ++members[v.asText()];
    });
    EXPECT_EQ(groups, 10) << "eight tables, two of them two positions";
    EXPECT_EQ(members.size(), 33u) << "every player once";
    EXPECT_EQ(league.text(4, 3), "選手1");
    EXPECT_EQ(league.text(5, 2), "選手1\r\n(高校1)");
    EXPECT_TRUE(league.pageSetup().fitToPage) << "printed fitted to the paper's width";
    for (int row : league.pageBreakRows()) EXPECT_EQ(league.text(row, 2).rfind("第", 0), 0u);

    // The conversion puts each league's members where its number stood, a lone one alone.
    ASSERT_TRUE(
        app::runMenuItem(session, *app::findMenuItem("印刷(&P)/リーグ表をトーナメントへ変換")));
    EXPECT_EQ(shell.messages.back(), "リーグ表→トーナメント終了");
    EXPECT_EQ(session.state.LeagueGroupCount, 10);
    EXPECT_EQ(session.state.LeagueMemberName(1, 15), "選手1(高校1)");
    auto converted = saved();
    const sheet::Worksheet& after = converted->sheet("男子Ｓ");
    EXPECT_EQ(after.text(3, 2), "1\r\n2\r\n3\r\n4");
    EXPECT_EQ(after.text(3, 3), "選手1(高校1)\r\n選手2(高校1)\r\n選手3(高校1)\r\n選手4(高校1)");
    int lone = 0;
    after.forEachCell([&](int, int column, const sheet::CellValue& v) {
        lone += column == 22 && v.asText() == "選手33(高校4)";
    });
    EXPECT_EQ(lone, 1) << "a league of one: its label with no line break";
}

TEST_F(BracketSheet, MissingSheetsStopBeforeAnythingChanges) {
    draw({2, 2, 2, 2, 2, 2, 2, 2});
    writeWorkbook();
    event("女子", "シングルス", "Ｓ");  // the workbook has no 女子Ｓ
    build(0);
    EXPECT_NE(shell.messages.back().find("女子Ｓ"), std::string::npos);
    EXPECT_TRUE(shell.formsShown.empty());
    EXPECT_FALSE(session.progress.visible());

    session.state.TableCount = 0;
    event("男子", "シングルス", "Ｓ");
    build(0);
    EXPECT_EQ(shell.messages.back(), "投入を実行して下さい");
    EXPECT_EQ(saved()->sheet("男子Ｓ").text(1, 1), "古い内容");
}

TEST_F(BracketSheet, PageSettingsFollowTheEntriesAndTheEvent) {
    session.state.EntryCount = 100;
    session.state.PageCount = 0;
    std::vector<std::string> labels;
    shell.fill["Form4"] = [&labels](ui::Form& f) {
        labels.push_back(f.text("Label1"));
        EXPECT_TRUE(f.value("opt(0)"));
        f.userSetValue("opt(2)", true);
        labels.push_back(f.text("Label1"));
        f.setText("Text1", " 35行");
    };
    askPageSettings(session, nullptr);
    EXPECT_EQ(labels, (std::vector<std::string>{"50", "12"}));  // 12.5 rounds to even
    EXPECT_EQ(session.state.PageCount, 4);
    EXPECT_EQ(session.state.TimeTableSetting, 35);

    // A suggested count between the offered ones takes the lower offer.
    session.state.PageCount = 3;
    shell.fill["Form4"] = [](ui::Form& f) { EXPECT_TRUE(f.value("opt(1)")); };
    askPageSettings(session, nullptr);
    EXPECT_EQ(session.state.PageCount, 2);

    EXPECT_EQ(intake::summaryColumn("女子", "ジュニア"), 9);
    EXPECT_EQ(intake::summaryColumn("男子", "ジュニア"), 5);
    EXPECT_EQ(intake::summaryColumn("ミックス", "ダブルス"), 10);
    EXPECT_EQ(intake::summaryColumn("個人リーグ", "１部"), 0);
}

}  // namespace
}  // namespace tombra::bracket::test
