#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/CommandMap.h"
#include "bracket/BracketFixture.h"
#include "records/BracketMatches.h"
#include "records/PageGapRecord.h"
#include "records/RecordWriter.h"
#include "records/Scores.h"
#include "records/TimeTableResults.h"
#include "sheet/CellAddress.h"
#include "sheet/Constants.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

namespace tombra::records {
namespace {

namespace xl = sheet::xl;

// Every result the Part lists, by the format it belongs to; each is refused by the others.
TEST(Scores, EachFormatTakesItsOwnResultsAndTheWinnerFollowsTheGames) {
    const std::map<MatchFormat, std::vector<std::string>> valid = {
        {MatchFormat::Three, {"2", "12", "20", "21"}},
        {MatchFormat::Five, {"3", "13", "23", "30", "31", "32"}},
        {MatchFormat::Seven, {"4", "14", "24", "34", "40", "41", "42", "43"}},
    };
    for (const auto& [format, results] : valid)
        for (const auto& [other, otherResults] : valid)
            for (const std::string& typed : otherResults) {
                const ScoreReading r = readScore(typed, format);
                EXPECT_EQ(r.score.has_value(), format == other)
                    << typed << " " << formatName(format);
                if (!r.score) continue;
                const int upper = typed.size() == 1 ? 0 : typed[0] - '0';
                EXPECT_EQ(r.score->upper, upper) << typed;
                EXPECT_EQ(r.score->upperWins(), upper > typed.back() - '0') << typed;
            }
    // Typed as the office types: with a dash, in full width, as a number cell reads.
    for (const char* typed : {"2-1", "２－１", "２１", " 21 "})
        EXPECT_EQ(readScore(typed, MatchFormat::Three).score->upper, 2) << typed;
    // 自動処理 takes any two games but a tie; nothing or 0 is no result yet.
    EXPECT_TRUE(readScore("31", MatchFormat::Auto).score->upperWins());
    EXPECT_FALSE(readScore("5", MatchFormat::Auto).score->upperWins());
    for (const char* tie : {"11", "22", "3-3"}) {
        EXPECT_FALSE(readScore(tie, MatchFormat::Auto).score) << tie;
        EXPECT_FALSE(readScore(tie, MatchFormat::Auto).problem.empty()) << tie;
    }
    for (const char* none : {"", "0", "00"}) EXPECT_TRUE(readScore(none, MatchFormat::Auto).empty);
    for (const char* bad : {"abc", "123", "2-1-0"})
        EXPECT_FALSE(readScore(bad, MatchFormat::Auto).problem.empty()) << bad;
}

struct Records : bracket::test::BracketFixture {
    sheet::Worksheet& sheetNow(const std::string& name) {
        return session.attachWorkbook()->sheet(name);
    }
    // Every label of the time table with its result cell.
    std::map<std::string, std::pair<int, int>> resultCells() {
        std::map<std::string, std::pair<int, int>> out;
        sheet::Worksheet& tt = sheetNow("男子ＳＴＢ");
        tt.forEachCell([&](int r, int c, const sheet::CellValue& v) {
            if (r >= 3 && isMatchLabel(v.asText())) out[v.asText()] = {r, c + 1};
        });
        return out;
    }
    void type(const std::string& label, const std::string& result) {
        const auto cell = resultCells().at(label);
        sheetNow("男子ＳＴＢ").setText(cell.first, cell.second, result);
    }
    void record(const char* numbers = "Option10", const char* format = "Option12") {
        shell.fill["Form7"] = [numbers, format](ui::Form& f) {
            f.setValue(numbers, true);
            f.setValue(format, true);
        };
        ASSERT_TRUE(app::runMenuItem(session, *app::findMenuItem("印刷(&P)/記録作成(&K)")));
    }
    // The scores on the bracket's line columns, and the match numbers left on it.
    int scoresOnBracket() {
        int n = 0;
        sheetNow("男子Ｓ").forEachCell(
            [&](int, int c, const sheet::CellValue& v) { n += c >= 7 && c <= 21 && v.isNumber(); });
        return n;
    }
    int labelsOnBracket() {
        int n = 0;
        sheetNow("男子Ｓ").forEachCell(
            [&](int, int, const sheet::CellValue& v) { n += isMatchLabel(v.asText()); });
        return n;
    }
};

// Twenty players on one page, every match played, the upper line winning but in the first
// round's last match of each half: every score stands, every winner's way is thick from the
// first round to the half's last match, the next-seeds sheet names the winners, and a second
// record gives the same sheet.
TEST_F(Records, AWholeBracketPlayedToTheEndShowsEveryWinnersWay) {
    draw({3, 3, 2, 3, 3, 2, 2, 2});
    writeWorkbook({"男子ＳＴＢ"});
    build(0, true);
    const auto cells = resultCells();
    ASSERT_EQ(cells.size(), 18u) << "twenty players, the final between the halves aside";
    std::string lastFirstRound;
    for (const auto& [label, cell] : cells)
        if (label.starts_with("1-")) lastFirstRound = std::max(lastFirstRound, label);
    for (const auto& [label, cell] : cells) type(label, label == lastFirstRound ? "12" : "21");
    shell.messages.clear();
    record("Option11");
    EXPECT_EQ(shell.messages, (std::vector<std::string>{"記録作成終了"}));

    sheet::Worksheet& ws = sheetNow("男子Ｓ");
    EXPECT_EQ(scoresOnBracket(), 2 * 18) << "two scores a match";
    EXPECT_EQ(labelsOnBracket(), 18) << "残す keeps the numbers";

    // The first player's way: player 1 (S1, top of the left half) wins every match on it.
    sheet::Worksheet& next = sheetNow("次回男子Ｓ");
    std::set<std::string> winners;
    next.forEachCell([&](int, int c, const sheet::CellValue& v) {
        if (c == 3) winners.insert(v.asText());
    });
    EXPECT_TRUE(winners.count("選手1")) << "the top player wins the upper lines all the way";
    EXPECT_FALSE(winners.count("エラーあり"));
    EXPECT_EQ(next.text(3, 1), "準決勝勝者");

    // Every match's winner's way, read from the lines as the bracket was built: thick from
    // the incoming line through the vertical to the next round, on the winning side only.
    sheet::Worksheet& base = sheetNow("男子Ｓ記録前");
    EXPECT_TRUE(session.attachWorkbook()->sheetHidden("男子Ｓ記録前"));
    const BracketMatches matches = findMatches(base, BracketLayout::individual());
    ASSERT_EQ(matches.matches.size(), 18u);
    for (const BracketMatch& m : matches.matches) {
        SCOPED_TRACE(m.label);
        ASSERT_TRUE(m.found());
        const bool upper = m.label != lastFirstRound;
        const HalfView half(ws, BracketLayout::individual(), m.right);
        auto thickAt = [&](int row, int column, int edge) {
            return ws.format(row, half.column(column)).edge(half.edge(edge)).weight == xl::Thick;
        };
        for (int r = m.m1 + 1; r <= m.m2; ++r)
            EXPECT_EQ(thickAt(r, m.column, xl::EdgeRight), upper == (r <= m.row)) << r;
        EXPECT_TRUE(upper ? thickAt(m.row, m.column + 1, xl::EdgeBottom)
                          : thickAt(m.row + 1, m.column + 1, xl::EdgeTop));
        EXPECT_TRUE(ws.value(m.m1, half.column(m.column)).isNumber()) << "the upper score";
    }

    const std::string once = ws.serialize();
    record("Option11");
    EXPECT_EQ(sheetNow("男子Ｓ").serialize(), once) << "a second record gives the same sheet";
    // 消去 removes the numbers; 残す brings them back with the next record.
    record("Option10");
    EXPECT_EQ(labelsOnBracket(), 0);
    record("Option11");
    EXPECT_EQ(sheetNow("男子Ｓ").serialize(), once);
}

// A result no match can take is refused naming its time-table cell, and nothing is drawn for
// it or for the match it leads to; correcting it and recording again draws both.
TEST_F(Records, BadResultsAreRefusedWithTheirCellAndCorrectingThemDrawsThem) {
    draw({2, 2, 2, 2, 2, 2, 2, 2});
    writeWorkbook({"男子ＳＴＢ"});
    build(0, true);
    const auto cells = resultCells();
    type("1-1", "11");
    type("1-2", "21");
    type("2-1", "21");
    shell.answers = {ui::Answer::Ok};  // go on without the matches not played
    record("Option11");
    ASSERT_GE(shell.messages.size(), 2u);
    const std::string said = shell.messages[shell.messages.size() - 2];
    const std::string cell1 =
        "男子ＳＴＢ!" + sheet::cellReference(cells.at("1-1").first, cells.at("1-1").second);
    EXPECT_NE(said.find(cell1 + "（1-1）「11」"), std::string::npos) << said;
    EXPECT_NE(said.find("（2-1）: 対戦する選手がまだ決まっていません（1-1 の結果がありません）"),
              std::string::npos)
        << said;
    EXPECT_EQ(scoresOnBracket(), 2) << "only 1-2";

    type("1-1", "12");
    shell.answers = {ui::Answer::Ok};
    record("Option11");
    EXPECT_EQ(scoresOnBracket(), 6);

    // Cancelled at the question about matches without results, nothing changes.
    const std::string before = sheetNow("男子Ｓ").serialize();
    shell.answers = {ui::Answer::Cancel};
    record("Option10");
    EXPECT_EQ(sheetNow("男子Ｓ").serialize(), before);
}

// A league-fed bracket's first round: the winner's way starts one column further in, at the
// league's position, on the winner's side only; a second record puts the losers' back thin.
TEST_F(Records, LeagueFedFirstRoundWinnersStartAtThePositions) {
    draw({2, 2, 2, 2, 2, 2, 2, 2});
    writeWorkbook({"男子ＳＴＢ"});
    build(0, true);
    type("1-1", "21");
    type("1-2", "12");
    sheet::Worksheet& ws = sheetNow("男子Ｓ");
    sheet::Worksheet& base = session.attachWorkbook()->addSheet("線");
    base.copyCellsFrom(ws);
    auto recordAs = [&](bool leagueFed) {
        RecordWriter writer(ws, base, BracketLayout::individual(), {9, 1, 1, leagueFed});
        writer.record(readTimeTable(sheetNow("男子ＳＴＢ")), MatchFormat::Auto);
        return writer.matches();
    };
    const BracketMatches matches = recordAs(true);
    auto thickBefore = [&](const std::string& label, bool upper) {
        for (const BracketMatch& m : matches.matches)
            if (m.label == label)
                return ws.format(upper ? m.m1 : m.m2, m.column - 1).edge(xl::EdgeBottom).weight ==
                       xl::Thick;
        ADD_FAILURE() << label;
        return false;
    };
    EXPECT_TRUE(thickBefore("1-1", true));
    EXPECT_FALSE(thickBefore("1-1", false));
    EXPECT_TRUE(thickBefore("1-2", false));
    EXPECT_FALSE(thickBefore("1-2", true));
    recordAs(false);
    EXPECT_FALSE(thickBefore("1-1", true)) << "the positions' lines come back from the base";
}

// Leagues feeding the knockout: each league's rank 1 takes the league's starting position,
// then every member stands there by rank, the winner circled; the legend says what ① means.
TEST_F(Records, LeagueRanksGoIntoTheStartingPositions) {
    session.state.LeagueThenTournament = 1;
    session.state.LeagueSize = 3;
    draw({4, 6, 5, 3, 3, 5, 6, 1});
    writeWorkbook();
    shell.answers = {ui::Answer::No};  // no table merge
    build(0);
    // The office ranks each league: its members in reverse order of their rows.
    sheet::Worksheet& league = sheetNow("男子Ｒ");
    std::vector<std::tuple<int, int, std::string>> ranks;
    league.forEachCell([&](int r, int c, const sheet::CellValue& v) {
        if (c < 7 || c > 9 || v.asText() != "順位") return;
        int members = 0;
        while (!league.value(r + members + 1, 1).isEmpty()) ++members;
        for (int k = 1; k <= members; ++k)
            ranks.emplace_back(r + k, c, std::to_string(members + 1 - k));
    });
    for (const auto& [r, c, rank] : ranks) league.setText(r, c, rank);
    record();
    EXPECT_EQ(shell.messages.back(), "記録作成終了");
    sheet::Worksheet& ws = sheetNow("男子Ｓ");
    EXPECT_EQ(ws.text(3, 3), "①選手4(高校1)\r\n②選手3(高校1)\r\n③選手2(高校1)\r\n④選手1(高校1)");
    EXPECT_EQ(ws.text(1, 3), "①：トーナメント戦出場");
    EXPECT_TRUE(ws.value(3, 1).isEmpty()) << "the group labels go";
    EXPECT_EQ(session.state.EventCode, "Ｓ");
}

// "ＥＮＤ" ends the reading, whatever stands after it.
TEST(TimeTable, ReadingStopsAtEnd) {
    auto wb = test::blankWorkbook();
    sheet::Worksheet& tt = wb->sheet("Sheet1");
    tt.setText(3, 1, "1-1");
    tt.setText(3, 2, "21");
    tt.setText(4, 1, "1-2");
    tt.setText(2, 3, "頁間");
    tt.setText(3, 3, "2-1");
    tt.setText(3, 5, "ＥＮＤ");
    tt.setText(3, 7, "3-1");
    const TimeTableResults r = readTimeTable(tt);
    EXPECT_EQ(r.order, (std::vector<std::string>{"1-1", "1-2", "2-1"}));
    EXPECT_EQ(r.byLabel.at("1-1").result, "21");
    EXPECT_TRUE(r.byLabel.at("1-2").result.empty());
    EXPECT_TRUE(r.byLabel.at("2-1").betweenPages);
    EXPECT_EQ(r.cellOf("1-1"), "Sheet1!B3");
}

// Four pages: level 1 joins pages 1-2 and 3-4 at the footers of pages 1 and 3, level 2 the
// two pairs at the footer of page 2; a result no format takes is refused, and correcting it
// replaces the text rather than adding one.
TEST(PageGaps, EachResultStandsWhereItsGroupsOfPagesMeet) {
    auto wb = test::blankWorkbook();
    sheet::Worksheet& base = wb->addSheet("base");
    sheet::Worksheet& bracket = wb->addSheet("bracket");
    sheet::Worksheet& tt = wb->addSheet("TB");
    for (int p = 1; p <= 4; ++p) {
        base.setText(10 * p, 14, "─ " + std::to_string(p) + " ─");
        bracket.setText(10 * p, 14, "─ " + std::to_string(p) + " ─");
    }
    tt.setText(2, 1, "頁間");
    for (auto [row, column, label, result] :
         {std::tuple{3, 1, "9-1", "21"}, {4, 1, "9-2", "12"}, {3, 3, "10-1", "11"}}) {
        tt.setText(row, column, label);
        tt.setText(row, column + 1, result);
    }
    const BracketLayout layout = BracketLayout::individual();
    auto record = [&] {
        return recordPageGaps(bracket, base, layout, readTimeTable(tt), MatchFormat::Auto, {});
    };
    EXPECT_EQ(record(), std::vector<std::string>{"TB!D3（10-1）「11」: " +
                                                 readScore("11", MatchFormat::Auto).problem});
    EXPECT_EQ(bracket.text(10, 2), "頁間 9-1　1頁 対 2頁　2－1　1頁の勝ち");
    EXPECT_EQ(bracket.text(30, 2), "頁間 9-2　3頁 対 4頁　1－2　4頁の勝ち");
    EXPECT_EQ(bracket.text(20, 2), "");
    tt.setText(3, 4, "02");
    EXPECT_EQ(record(), std::vector<std::string>{});
    EXPECT_EQ(bracket.text(20, 2), "頁間 10-1　1～2頁 対 3～4頁　0－2　3～4頁の勝ち");
    tt.setText(3, 4, "");
    record();
    EXPECT_EQ(bracket.text(20, 2), "") << "a result taken back is taken off the sheet";
    EXPECT_EQ(bracket.text(40, 2), "");
}

}  // namespace
}  // namespace tombra::records
