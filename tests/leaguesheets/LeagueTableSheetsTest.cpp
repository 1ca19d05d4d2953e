#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>

#include "app/CommandMap.h"
#include "leaguesheets/LeagueTableSheets.h"
#include "session/Session.h"
#include "sheet/Constants.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "state/EntryCode.h"
#include "support/EntryWorkbook.h"
#include "support/FakeShell.h"
#include "support/TestFiles.h"

namespace tombra::leaguesheets {
namespace {

namespace xl = sheet::xl;
using Groups = std::vector<std::vector<float>>;

struct LeagueSheets : ::testing::Test {
    test::FakeShell shell;
    test::TempDir dir;
    Session session{shell, dir.path()};
    TournamentState& s = session.state;

    void SetUp() override {
        s.setOpenConstants();
        s.GenderName = "男子";
    }
    void groups(const Groups& g) {
        s.TableCount = static_cast<Integer>(g.size());
        for (size_t i = 0; i < g.size(); ++i) {
            s.TableSize(static_cast<long long>(i + 1)) = static_cast<Integer>(g[i].size());
            for (size_t j = 0; j < g[i].size(); ++j)
                s.TableSlot(static_cast<long long>(i + 1), static_cast<long long>(j + 1)) = g[i][j];
        }
    }
    void workbook(const std::vector<test::SheetContent>& sheets = {}) {
        test::writeEntryWorkbook(dir / "大会.xlsx", sheets);
        s.WorkbookPath = (dir / "大会.xlsx").string();
    }
    void run(const char* caption) {
        ASSERT_TRUE(app::runMenuItem(session, *app::findMenuItem(caption)));
    }
    std::unique_ptr<sheet::Workbook> saved() {
        session.attachWorkbook()->save();
        return sheet::Workbook::open(dir / "大会.xlsx");
    }
};

bool crossed(const sheet::Worksheet& ws, int row, int column) {
    return ws.format(row, column).edge(xl::DiagonalDown).present();
}

// A group of three: a 4 × 6 bordered block with the members' own cells crossed out; the next
// group a row step further down; a second run leaves only its own result.
TEST_F(LeagueSheets, TeamGroupsAreCrossTablesOneRowStepApart) {
    for (int m = 1; m <= 5; ++m) s.EntryTable(m, 2) = "チーム" + std::to_string(m);
    groups({{1, 2, 3}, {4, 5, 1}});
    workbook();
    run("印刷(&P)/団体リーグ作成(&T)");
    groups({{3, 2, 1}, {5, 4}});
    run("印刷(&P)/団体リーグ作成(&T)");
    EXPECT_EQ(shell.messages, (std::vector<std::string>{"作成終了", "作成終了"}));

    auto wb = saved();
    const sheet::Worksheet& ws = wb->sheet("男子Ｔ");
    EXPECT_EQ(ws.text(1, 2), "男子団体戦 予選リーグ");
    EXPECT_EQ(ws.text(3, 2), "グループＡ");
    const std::vector<std::string> header{"", "チーム3", "チーム2", "チーム1", "得　点", "順　位"};
    for (int c = 2; c <= 7; ++c) EXPECT_EQ(ws.text(4, c), header[static_cast<size_t>(c - 2)]);
    for (int j = 1; j <= 3; ++j) {
        EXPECT_EQ(ws.value(4 + j, 1).asNumber(), j);
        EXPECT_EQ(ws.text(4 + j, 2), header[static_cast<size_t>(j)]);
    }
    for (int r = 4; r <= 7; ++r)
        for (int c = 2; c <= 7; ++c) {
            for (int edge : {xl::EdgeLeft, xl::EdgeTop, xl::EdgeBottom, xl::EdgeRight})
                EXPECT_TRUE(ws.format(r, c).edge(edge).present()) << r << "," << c;
            EXPECT_EQ(crossed(ws, r, c), r > 4 && c == r - 2) << r << "," << c;
        }
    EXPECT_FALSE(ws.format(8, 2).edge(xl::EdgeBottom).present()) << "the block ends";
    EXPECT_EQ(ws.format(5, 2).horizontal, xl::HAlignDistributed);
    EXPECT_EQ(ws.rowHeight(4), 20);
    EXPECT_EQ(ws.text(11, 2), "グループＢ");
    EXPECT_EQ(ws.text(12, 3), "チーム5");
    EXPECT_EQ(ws.text(12, 5), "得　点");
    EXPECT_EQ(ws.text(12, 6), "順　位");
    EXPECT_TRUE(ws.text(12, 7).empty()) << "nothing left of the first run's wider block";
    EXPECT_FALSE(ws.format(12, 7).edge(xl::EdgeTop).present());
}

// Groups too large for the row step push the next group down; labels go on past the table.
TEST_F(LeagueSheets, LargeGroupsAndManyGroupsNeverOverwriteEachOther) {
    Groups g;
    int m = 0;
    for (int i = 0; i < 75; ++i) {
        g.emplace_back();
        for (int j = 0; j < (i == 0 ? 9 : 2); ++j) g.back().push_back(static_cast<float>(++m));
    }
    for (int k = 1; k <= m; ++k) s.EntryTable(k, 2) = "T" + std::to_string(k);
    groups(g);
    workbook();
    run("印刷(&P)/団体リーグ作成(&T)");
    auto wb = saved();
    const sheet::Worksheet& ws = wb->sheet("男子Ｔ");
    EXPECT_EQ(ws.text(13, 2), "T9") << "the ninth member's row";
    EXPECT_EQ(ws.text(14, 2), "グループＢ") << "the next title below it";
    EXPECT_EQ(groupTitle(27), "グループAA");
    EXPECT_EQ(groupTitle(70), "グループBR");
    EXPECT_EQ(groupTitle(71), "グループBS");
    int titles = 0;
    ws.forEachCell([&](int, int c, const sheet::CellValue& v) {
        titles += c == 2 && v.asText().rfind("グループ", 0) == 0;
    });
    EXPECT_EQ(titles, 75);

    // Printed fitted to the width, a new page only ever starts at a group's title.
    const sheet::PageSetup setup = ws.pageSetup();
    EXPECT_TRUE(setup.fitToPage);
    EXPECT_EQ(setup.fitToWidth, 1);
    EXPECT_EQ(setup.fitToHeight, 0);
    const std::vector<int> breaks = ws.pageBreakRows();
    EXPECT_GT(breaks.size(), 3u) << "75 groups take several pages";
    for (int row : breaks) EXPECT_EQ(ws.text(row, 2).rfind("グループ", 0), 0u) << row;
}

// The individual league writes each entry's group back into the division's entry rows, up to
// the first empty row; the singles sheet numbers its members over the whole sheet.
TEST_F(LeagueSheets, IndividualGroupsGoBackToTheEntrySheetAndSinglesAreNumberedThrough) {
    s.GenderName = "個人リーグ";
    s.EventName = "１部";
    s.EventCode = "Ｋ１";
    // Under a heading, division 1 rows (column F = 1, G not empty) are entries 1..3; division 2
    // is skipped.
    const test::SheetRows rows{{"", "所属", "氏名", "", "", "部", "ｴﾝﾄﾘｰ"},  // the heading
                               {"1", "北高", "甲", "", "", "1", "1"},
                               {"2", "南高", "乙", "", "", "2", "1"},
                               {"2", "南高", "丙", "", "", "1", "2"},
                               {"3", "東高", "丁", "", "", "1", "1"},
                               {},
                               {"4", "西高", "戊", "", "", "1", "1"}};
    for (int k = 1; k <= 3; ++k) s.EntryTable(k, 3) = "選手" + std::to_string(k);
    groups({{3, 1}, {2}});
    workbook({{"個人リーグ", rows}});
    run("印刷(&P)/個人リーグ作成(&K)");
    EXPECT_EQ(shell.messages.back(), "書き込み終了");
    auto wb = saved();
    const sheet::Worksheet& entries = wb->sheet("個人リーグ");
    EXPECT_EQ(entries.value(2, 9).asNumber(), 1);
    EXPECT_TRUE(entries.value(3, 9).isEmpty()) << "another division";
    EXPECT_EQ(entries.value(4, 9).asNumber(), 2);
    EXPECT_EQ(entries.value(5, 9).asNumber(), 1);
    EXPECT_TRUE(entries.value(7, 9).isEmpty()) << "after the first empty row";
    EXPECT_EQ(s.EntryTable(2, 9), "2");
    const sheet::Worksheet& league = wb->sheet("１部");
    EXPECT_EQ(league.text(1, 2), "個人リーグ戦（ １部 ）");
    EXPECT_EQ(league.text(5, 2), "選手3\r\n()");

    s.GenderName = "男子";
    s.EntryName(5, 1) = "山田";
    s.EntryAffiliation(5, 1) = "北高";
    s.EntryName(6, 2) = "川口";
    s.EntryAffiliation(6, 2) = "南高";
    groups({{encodeEntry(5, 1)}, {encodeEntry(6, 2)}});
    run("印刷(&P)/リーグ・ヤグラのリーグ作成(&S)");
    auto again = saved();
    const sheet::Worksheet& singles = again->sheet("男子Ｒ");
    EXPECT_EQ(singles.text(3, 2), "第 1グループ");
    EXPECT_EQ(singles.text(5, 2), "山田\r\n(北高)");
    EXPECT_EQ(singles.text(10, 2), "第 2グループ") << "a row step of seven";
    EXPECT_EQ(singles.value(12, 1).asNumber(), 2) << "numbered through the sheet";
}

// Over generated draws: every entry stands once down the name column, under its own group's
// title, whatever the group sizes and counts.
TEST_F(LeagueSheets, EveryEntryStandsOnceUnderItsGroupOverGeneratedDraws) {
    std::mt19937 gen(515);
    workbook();
    for (int round = 0; round < 30; ++round) {
        auto pick = [&gen](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(gen);
        };
        Groups g(static_cast<size_t>(pick(1, 90)));
        std::map<std::string, int> groupOf;
        int m = 0;
        for (size_t i = 0; i < g.size(); ++i)
            for (int j = pick(1, 9); j > 0 && m < 300; --j) {
                g[i].push_back(static_cast<float>(++m));
                s.EntryTable(m, 2) = "T" + std::to_string(round) + "-" + std::to_string(m);
                groupOf[s.EntryTable(m, 2)] = static_cast<int>(i) + 1;
            }
        groups(g);
        run("印刷(&P)/団体リーグ作成(&T)");
        const sheet::Worksheet& ws = session.attachWorkbook()->sheet("男子Ｔ");
        std::map<std::string, int> seen;
        int group = 0;
        const std::optional<sheet::Area> used = ws.usedArea();
        for (int row = 2; used && row <= used->bottom; ++row) {
            const std::string text = ws.text(row, 2);
            if (text.rfind("グループ", 0) == 0) ++group;
            if (!groupOf.count(text)) continue;
            ++seen[text];
            EXPECT_EQ(groupOf[text], group) << text << " in round " << round;
        }
        EXPECT_EQ(seen.size(), groupOf.size()) << "round " << round;
        for (const auto& [name, times] : seen) EXPECT_EQ(times, 1) << name;
        if (HasFailure()) return;
    }
}

}  // namespace
}  // namespace tombra::leaguesheets
