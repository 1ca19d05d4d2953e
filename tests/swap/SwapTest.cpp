#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "app/CommandMap.h"
#include "bracket/BracketFixture.h"
#include "bracket/BracketSheetCommand.h"
#include "sheet/CellAddress.h"
#include "sheet/Worksheet.h"
#include "support/FakeShell.h"
#include "support/TestFiles.h"

namespace tombra::swap::test {
namespace {

using Texts = std::map<std::pair<int, int>, std::string>;
using Rows = std::vector<std::pair<std::string, std::string>>;  // "入替" columns A and B

Texts textsOf(const sheet::Worksheet& ws) {
    Texts out;
    ws.forEachCell([&](int row, int column, const sheet::CellValue& v) {
        if (!v.isEmpty()) out[{row, column}] = v.asText();
    });
    return out;
}

// The name and affiliation cells of position n on a bracket sheet; {0, 0, 0} when absent.
struct Place {
    int row = 0, name = 0, affiliation = 0;
};
Place placeOf(const Texts& texts, int n, int rightNumber = 26, int rightName = 22,
              int leftAffiliation = 5, int rightAffiliation = 24) {
    for (const auto& [at, text] : texts) {
        if (text != std::to_string(n)) continue;
        if (at.second == 2) return {at.first, 3, leftAffiliation};
        if (at.second == rightNumber) return {at.first, rightName, rightAffiliation};
    }
    return {};
}

struct Swap : bracket::test::BracketFixture {
    // Forty players over eight tables, and a workbook with "入替".
    void fortyPlayers() {
        draw({5, 5, 5, 5, 5, 5, 5, 5});
        writeWorkbook({"入替"});
    }
    void exchangeList(const Rows& rows) {
        sheet::Worksheet& list = session.attachWorkbook()->sheet("入替");
        list.clearContents(sheet::Area::wholeSheet());
        for (size_t i = 0; i < rows.size(); ++i) {
            const int r = static_cast<int>(i) + 1;
            auto put = [&](int column, const std::string& v) {
                if (!v.empty() && v.find_first_not_of("0123456789") == std::string::npos)
                    list.setNumber(r, column, std::stod(v));
                else
                    list.setText(r, column, v);
            };
            put(1, rows[i].first);
            put(2, rows[i].second);
        }
    }
    void runSwap(const std::string& eventOption = "Option1") {
        shell.fill["Form10"] = [eventOption](ui::Form& f) { f.setValue(eventOption, true); };
        ASSERT_TRUE(app::runMenuItem(session, *app::findMenuItem("編集(&E)/交換[max100行](&K)")));
    }
    const sheet::Worksheet& sheetNow(const std::string& name = "男子Ｓ") {
        return session.attachWorkbook()->sheet(name);
    }
};

// Each list applied to a two-page bracket: every destination takes what its source held
// before, and no other cell of the sheet changes.
TEST_F(Swap, MovesExactlyTheNamedPlayersWhereverTheyStand) {
    fortyPlayers();
    build(1);
    const Texts before = textsOf(sheetNow());
    ASSERT_NE(placeOf(before, 40).row, 0) << "two pages, both halves";
    const std::vector<Rows> lists = {
        {{"1", "2"}, {"2", "1"}},                  // one table
        {{"3", "35"}, {"35", "3"}},                // left of page 1, right of page 2
        {{"1", "20"}, {"20", "30"}, {"30", "1"}},  // a chain of three
        {{"3", "7"}},                              // a copy: 3 stays as it was
    };
    for (const Rows& rows : lists) {
        SCOPED_TRACE(rows.front().first + "->" + rows.front().second);
        const Texts start = textsOf(sheetNow());
        exchangeList(rows);
        runSwap();
        EXPECT_EQ(shell.messages.back(), "交換終了");
        Texts expected = start;
        for (const auto& [from, to] : rows) {
            const Place a = placeOf(start, std::stoi(from)), b = placeOf(start, std::stoi(to));
            expected[{b.row, b.name}] = start.at({a.row, a.name});
            expected[{b.row, b.affiliation}] = start.at({a.row, a.affiliation});
        }
        EXPECT_EQ(textsOf(sheetNow()), expected);
    }
    EXPECT_EQ(session.state.SwapSheetName, "男子Ｓ");
    // The saved workbook reads back as it stood.
    const Texts last = textsOf(sheetNow());
    EXPECT_EQ(textsOf(saved()->sheet("男子Ｓ")), last);
}

// A row that cannot be carried out stops the command before anything is written, naming the
// row; the list's earlier, sound rows are not written either.
TEST_F(Swap, RefusedListsNameTheRowAndLeaveTheSheetAlone) {
    fortyPlayers();
    build(1);
    const Texts before = textsOf(sheetNow());
    const struct {
        Rows rows;
        std::string said;
    } cases[] = {
        {{{"1", "2"}, {"2", "999"}}, "2 行目: 位置番号 999 はシート「男子Ｓ」にありません"},
        {{{"1", "2"}, {"3", "2"}}, "2 行目: 移し先 2 へは 1 行目でも移しています"},
        {{{"1", "2"}, {"x", "1"}}, "2 行目: A列「x」は位置番号ではありません"},
        {{{"1", ""}}, "1 行目: B列「」は位置番号ではありません"},
        {{{"1.5", "2"}}, "1 行目: A列「1.5」は位置番号ではありません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said);
        exchangeList(c.rows);
        runSwap();
        EXPECT_NE(shell.messages.back().find(c.said), std::string::npos) << shell.messages.back();
        EXPECT_NE(shell.messages.back().find("何も入れ替えていません"), std::string::npos);
        EXPECT_EQ(textsOf(sheetNow()), before);
    }
}

// A team sheet has lost its affiliation columns: the names move between C and S, numbered in
// B and T.
TEST_F(Swap, TeamSheetsMoveTheTeamNames) {
    event("男子", "団体", "Ｔ");
    fortyPlayers();
    build(0);
    const Texts before = textsOf(sheetNow("男子Ｔ"));
    const Place a = placeOf(before, 1, 20, 19, 0, 0), b = placeOf(before, 40, 20, 19, 0, 0);
    ASSERT_TRUE(a.row && b.row);
    exchangeList({{"1", "40"}, {"40", "1"}});
    runSwap("Option2");
    Texts expected = before;
    std::swap(expected[{a.row, a.name}], expected[{b.row, b.name}]);
    EXPECT_EQ(textsOf(sheetNow("男子Ｔ")), expected);
}

// The league swap moves members between leagues on the league sheet and fills the bracket
// again: every league keeps its size, and the placement check finds every entry.
TEST_F(Swap, LeagueSwapKeepsLeaguesTogetherAndChecksEveryEntry) {
    session.state.LeagueThenTournament = 1;
    session.state.LeagueSize = 3;
    draw({4, 6, 5, 3, 3, 5, 6, 1});
    writeWorkbook({"入替"});
    shell.answers = {ui::Answer::No};  // no table merge
    build(0);
    ASSERT_TRUE(
        app::runMenuItem(session, *app::findMenuItem("印刷(&P)/リーグ表をトーナメントへ変換")));
    auto groupsOf = [this] {
        std::map<int, std::set<std::string>> groups;
        for (int g = 1; g <= session.state.LeagueGroupCount; ++g)
            for (int c = 15; c <= 20; ++c)
                if (!session.state.LeagueMemberName(g, c).empty())
                    groups[g].insert(session.state.LeagueMemberName(g, c));
        return groups;
    };
    const auto before = groupsOf();

    // Unbalanced: a question for 3 and for 7; the first No ends it with nothing written.
    const Texts league = textsOf(sheetNow("男子Ｒ"));
    exchangeList({{"3", "7"}});
    shell.messages.clear();
    shell.answers = {ui::Answer::No};
    runSwap("Option6");
    EXPECT_EQ(shell.messages, (std::vector<std::string>{"交換不一致No＝3　継続処理しますか"}));
    EXPECT_EQ(textsOf(sheetNow("男子Ｒ")), league);

    exchangeList({{"1", "33"}, {"33", "1"}});
    shell.messages.clear();
    runSwap("Option6");
    ASSERT_GE(shell.messages.size(), 2u);
    EXPECT_EQ(shell.messages[shell.messages.size() - 2], "配置チェック完了＝33");
    EXPECT_EQ(shell.messages.back(), "交換終了");
    auto after = before;
    after[1].erase("選手1(高校1)");
    after[1].insert("選手33(高校4)");
    after[10] = {"選手1(高校1)"};
    EXPECT_EQ(groupsOf(), after);
    EXPECT_EQ(sheetNow().text(3, 3),
              "選手33(高校4)\r\n選手2(高校1)\r\n選手3(高校1)\r\n選手4(高校1)");

    // A copy without its way back, continued past the questions, loses a player: the check
    // says which.
    exchangeList({{"2", "5"}});
    shell.messages.clear();
    shell.answers = {ui::Answer::Yes, ui::Answer::Yes};
    runSwap("Option6");
    EXPECT_EQ(shell.messages.back(), "未配置選手＝選手5(高校1)　強制終了します");
}

// The sample's men's singles, opened, drawn and built as an office would; a list with an
// exchange across the halves and a chain of three applied. Read back with openpyxl, every
// cell of the workbook is as it was, values and formats, but the named players' name and
// affiliation cells, which hold their sources' values.
TEST(SwapOnTheSample, OnlyTheNamedPlayersCellsChangeInTheSavedWorkbook) {
    tombra::test::FakeShell shell;
    tombra::test::TempDir dir;
    Session session{shell, dir.path()};
    const std::filesystem::path path = dir / "sample.xlsx";
    std::filesystem::copy_file(tombra::test::testData("../../examples/sample.xlsx"), path);
    shell.files = {path.string()};
    for (const char* command :
         {"ﾌｧｲﾙ(&F)/開く(&O)...", "投入(&T)/ヤグラ・リーグ（個人・団体）投入(&T)",
          "印刷(&P)/ヤグラ（個人・団体）作成(&Y)"})
        ASSERT_TRUE(app::runMenuItem(session, *app::findMenuItem(command))) << command;
    sheet::Workbook& wb = *session.attachWorkbook();
    auto dump = [&] {
        wb.save();
        return nlohmann::json::parse(
            tombra::test::runPython("dump_workbook.py", tombra::test::quoted(path)))["data"];
    };
    const nlohmann::json before = dump();
    const Texts texts = textsOf(wb.sheet("男子Ｓ"));
    const int last = session.state.EntryCount;
    ASSERT_GT(last, 40);
    const Rows rows = {{"1", std::to_string(last)},
                       {std::to_string(last), "1"},
                       {"5", "6"},
                       {"6", "30"},
                       {"30", "5"}};
    sheet::Worksheet& list = wb.sheet("入替");
    for (size_t i = 0; i < rows.size(); ++i) {
        list.setNumber(static_cast<int>(i) + 1, 1, std::stod(rows[i].first));
        list.setNumber(static_cast<int>(i) + 1, 2, std::stod(rows[i].second));
    }
    ASSERT_TRUE(app::runMenuItem(session, *app::findMenuItem("編集(&E)/交換[max100行](&K)")));
    EXPECT_EQ(shell.messages.back(), "交換終了");
    const nlohmann::json after = dump();

    nlohmann::json expected = before;
    expected["入替"] = after["入替"];
    nlohmann::json& cells = expected["男子Ｓ"]["cells"];
    for (const auto& [from, to] : rows) {
        const Place a = placeOf(texts, std::stoi(from)), b = placeOf(texts, std::stoi(to));
        ASSERT_TRUE(a.row && b.row) << from << " " << to;
        for (auto [source, target] : {std::pair{a.name, b.name}, {a.affiliation, b.affiliation}})
            cells[sheet::cellReference(b.row, target)]["value"] =
                before["男子Ｓ"]["cells"][sheet::cellReference(a.row, source)]["value"];
    }
    EXPECT_EQ(after, expected);
    EXPECT_NE(after["男子Ｓ"], before["男子Ｓ"]);
}

}  // namespace
}  // namespace tombra::swap::test
