#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <map>
#include <numeric>
#include <random>
#include <regex>
#include <set>

#include "../draw/DrawFixture.h"
#include "app/CommandMap.h"
#include "bracket/BracketColumns.h"
#include "bracket/MatchNumbering.h"
#include "records/BracketMatches.h"
#include "records/TimeTableResults.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "support/EntryWorkbook.h"

// Generated events of every knockout kind, placed, adjusted and built as an office would,
// then read back from the saved workbook: every entry stands on the bracket sheet once, its
// line reaches the final of its half-page, every match is numbered and the time table lists
// every number.

namespace tombra::bracket {
namespace {

struct Event {
    const char* name;
    const char* code;
    const char* option;  // in Form1
    int mostPerSchool, lastSchool, mostEntries;
};
// A pair takes two of the sheet's 1,024 rows; a team event lists at most 300 teams, eight a
// school from schools 1..150.
constexpr Event kEvents[] = {{"シングルス", "Ｓ", "Option4", 99, 200, 1024},
                             {"ダブルス", "Ｄ", "Option5", 99, 200, 512},
                             {"団体", "Ｔ", "Option6", 8, 150, 300},
                             {"ジュニア", "ＪＳ", "Option7", 99, 200, 1024}};

struct Shape {
    Event event = kEvents[0];
    int tables = 8;
    int superSeeds = 0, superSeedRound = 3;
    int seeds = 0;
    int pageOption = 0;  // 2^pageOption pages
    bool merge = true, adjust = false;
    std::vector<int> schoolSizes;  // index = school number - 1
    int entries() const { return std::accumulate(schoolSizes.begin(), schoolSizes.end(), 0); }
    std::string describe() const {
        return std::string(event.code) + " " + std::to_string(entries()) + " entries, " +
               std::to_string(tables) + " tables, " + std::to_string(seeds) + " seeds, " +
               std::to_string(superSeeds) + " super seeds at round " +
               std::to_string(superSeedRound) + ", " + std::to_string(1 << pageOption) +
               " pages, merge " + (merge ? "yes" : "no") + (adjust ? ", 調整Ⅰ" : "");
    }
};

Shape randomShape(std::mt19937& gen) {
    auto pick = [&gen](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(gen);
    };
    Shape shape;
    shape.event = kEvents[pick(0, 3)];
    shape.tables = 8 << pick(0, 4);
    // Super seeds are offered for singles only.
    if (shape.event.code == std::string("Ｓ") && shape.tables >= 32 && pick(0, 2) == 0) {
        shape.superSeeds = pick(0, 1) == 0 ? 8 : 16;
        shape.superSeedRound = pick(3, 4);
    }
    const int capacity = shape.superSeeds + (shape.tables - shape.superSeeds) * 128;
    const int size = pick(0, 2) == 0 ? pick(1, 24) : pick(1, pick(0, 1) == 0 ? 200 : 1024);
    const int target = std::min({capacity, shape.event.mostEntries, size});
    shape.schoolSizes.assign(200, 0);
    for (int n = 0; n < target;) {
        const int school = pick(1, shape.event.lastSchool);
        const int add = std::min(
            {pick(1, 12), shape.event.mostPerSchool - shape.schoolSizes[school - 1], target - n});
        shape.schoolSizes[school - 1] += add;
        n += add;
    }
    shape.seeds = pick(0, std::min(target, shape.tables));
    shape.pageOption = pick(0, std::min(5, std::countr_zero(unsigned(shape.tables)) - 1));
    shape.merge = pick(0, 1) == 0;
    shape.adjust = pick(0, 1) == 0;
    return shape;
}

// A point where row and column boundaries cross; edges of cells join them.
using Point = std::pair<int, int>;  // (row boundary below row y, column boundary right of x)

class Components {
  public:
    Point find(Point p) {
        auto it = parent_.try_emplace(p, p).first;
        if (it->second == p) return p;
        return it->second = find(it->second);
    }
    void join(Point a, Point b) { parent_[find(a)] = find(b); }

  private:
    std::map<Point, Point> parent_;
};

// Where a column of the full layout stands once a team bracket has dropped its affiliation
// columns (D:F and W:Y).
int onSheet(int column, bool team) {
    if (!team) return column;
    return column >= 26 ? column - 6 : column >= 7 ? column - 3 : column;
}

// The lines of one side, in the left half's terms (the right half mirrored onto it).
Components linesOf(const sheet::Worksheet& ws, Side side, bool team, int lastRow) {
    Components lines;
    for (int row = 1; row <= lastRow; ++row) {
        for (int c = kOuterLineColumn; c <= kCentreColumn; ++c) {
            const sheet::CellFormat f = ws.format(row, onSheet(lineColumn(side, c), team));
            auto has = [&](int leftEdge) { return f.edge(lineEdge(side, leftEdge)).present(); };
            if (has(sheet::xl::EdgeBottom)) lines.join({row, c - 1}, {row, c});
            if (has(sheet::xl::EdgeTop)) lines.join({row - 1, c - 1}, {row - 1, c});
            if (has(sheet::xl::EdgeRight)) lines.join({row - 1, c}, {row, c});
            if (has(sheet::xl::EdgeLeft)) lines.join({row - 1, c - 1}, {row, c - 1});
        }
    }
    return lines;
}

bool isMatchLabel(const std::string& text) {
    static const std::regex kLabel(R"(\d+-\d+)");
    return std::regex_match(text, kLabel);
}

// What is wrong with the built sheet, one line a fault.
std::vector<std::string> bracketFaults(sheet::Workbook& wb, const std::string& sheetName,
                                       const TournamentState& s) {
    std::vector<std::string> faults;
    const bool team = s.EventCode == "Ｔ";
    const int leftName = onSheet(kLeftNames.name, team),
              rightName = onSheet(kRightNames.name, team);
    const sheet::Worksheet& ws = wb.sheet(sheetName);
    const sheet::Worksheet* tt = wb.findSheet(sheetName + "ＴＢ");

    std::map<std::string, std::vector<std::pair<Side, int>>> rowsOfName;
    std::map<std::string, int> labelCount;
    int lastRow = 0;
    ws.forEachCell([&](int row, int column, const sheet::CellValue& v) {
        if (v.isEmpty()) return;
        lastRow = std::max(lastRow, row);
        const std::string text = v.asText();
        if (column == leftName) rowsOfName[text].push_back({Side::Left, row});
        if (column == rightName) rowsOfName[text].push_back({Side::Right, row});
        if (isMatchLabel(text)) ++labelCount[text];
    });
    for (int school = 1; school <= 200; ++school)
        for (int e = 1; e <= s.SchoolEntryCount(school); ++e) {
            const std::string name = s.EntryName(school, e);
            const size_t times = rowsOfName.count(name) ? rowsOfName[name].size() : 0;
            if (times != 1) faults.push_back(name + " stands " + std::to_string(times) + " times");
        }
    for (const auto& [label, n] : labelCount)
        if (n != 1)
            faults.push_back("match " + label + " numbered " + std::to_string(n) + " times");

    // Half-pages: the page of a row from the sheet's page breaks.
    const std::vector<int> breaks = ws.pageBreakRows();
    auto pageOf = [&](int row) {
        return static_cast<int>(std::upper_bound(breaks.begin(), breaks.end(), row) -
                                breaks.begin());
    };
    // Each half-page's players are joined by one tree of lines; the halves' finals may share
    // the centre column, so matches are counted per page.
    std::map<int, int> matchesDue, matchesNumbered;
    for (Side side : {Side::Left, Side::Right}) {
        Components lines = linesOf(ws, side, team, lastRow + 2);
        std::map<int, std::set<Point>> treesOfPage;
        std::map<int, int> players;
        for (const auto& [name, places] : rowsOfName)
            for (const auto& [onSide, row] : places) {
                if (onSide != side || name.empty()) continue;
                ++players[pageOf(row)];
                treesOfPage[pageOf(row)].insert(lines.find({row, kOuterLineColumn - 1}));
            }
        for (const auto& [page, trees] : treesOfPage) {
            matchesDue[page] += players[page] - 1;
            if (trees.size() != 1)
                faults.push_back("page " + std::to_string(page + 1) +
                                 (side == Side::Left ? " left: " : " right: ") +
                                 std::to_string(trees.size()) + " unjoined line groups");
        }
        for (int row = 1; row <= lastRow; ++row)
            for (int c = kOuterLineColumn; c < kCentreColumn + (side == Side::Left); ++c) {
                const int column = onSheet(lineColumn(side, c), team);
                const std::string label = ws.text(row, column);
                if (!isMatchLabel(label)) continue;
                ++matchesNumbered[pageOf(row)];
                const bool onItsLine =
                    ws.format(row, column).edge(lineEdge(side, sheet::xl::EdgeRight)).present() ||
                    (c == kCentreColumn &&
                     ws.format(row, column).edge(sheet::xl::EdgeLeft).present());
                if (!onItsLine) faults.push_back("match " + label + " stands off its line");
            }
    }
    for (const auto& [page, due] : matchesDue)
        if (matchesNumbered[page] != due)
            faults.push_back("page " + std::to_string(page + 1) + ": " + std::to_string(due) +
                             " matches, " + std::to_string(matchesNumbered[page]) + " numbered");

    std::set<std::string> listed;
    if (tt)
        tt->forEachCell([&](int, int, const sheet::CellValue& v) { listed.insert(v.asText()); });
    for (const auto& [label, n] : labelCount)
        if (!listed.count(label)) faults.push_back("match " + label + " not in the time table");
    return faults;
}

bool run(Session& session, const std::string& path) {
    const app::MenuItem* item = app::findMenuItem(path);
    return item && app::runMenuItem(session, *item);
}

// The entry sheet of the event, school by school, seeds given to random entries.
tombra::test::SheetRows entryRows(const Shape& shape, std::mt19937& gen) {
    const auto seedOf = draw::test::randomSeeds(
        [&shape](int school) { return shape.schoolSizes[school - 1]; }, shape.seeds, gen);
    const std::string code = shape.event.code;
    tombra::test::SheetRows rows;
    for (int school = 1; school <= 200; ++school)
        for (int k = 1; k <= shape.schoolSizes[school - 1]; ++k) {
            const auto seed = seedOf.find({school, k});
            const std::string n = std::to_string(k), s = std::to_string(school),
                              seedText = seed == seedOf.end() ? "" : std::to_string(seed->second);
            const std::string name = "選手" + s + "-" + n, affiliation = "学校" + s;
            if (code == "Ｄ") {  // a pair: two rows, number in G, seed in H
                rows.push_back({s, affiliation, name + "甲", "", "", "", n, seedText});
                rows.push_back({s, affiliation, name + "乙", "", "", "", n, seedText});
            } else if (code == "Ｔ") {  // a team's first row: code in E, seed in F
                rows.push_back(
                    {s, "チーム" + s + "-" + n, "", "", std::to_string(10 * k - 9), seedText});
            } else {  // number in I, seed in J
                rows.push_back({s, affiliation, name, "", "", "", "", "", n, seedText});
            }
        }
    return rows;
}

// Every match of the time table played, the upper line winning the odd-numbered ones, and
// recorded: no result is refused, every match on the sheet has its two scores, and its
// winner's half of the vertical line is thick, the loser's not.
void playToTheEnd(Session& session, tombra::test::FakeShell& shell, sheet::Workbook& wb) {
    const std::string name = session.bracketSheetName();
    sheet::Worksheet& table = wb.sheet(name + "ＴＢ");
    std::vector<std::tuple<int, int, std::string>> results;
    table.forEachCell([&](int r, int c, const sheet::CellValue& v) {
        if (r >= 3 && isMatchLabel(v.asText()))
            results.emplace_back(
                r, c + 1, std::stoi(v.asText().substr(v.asText().find('-') + 1)) % 2 ? "21" : "12");
    });
    for (const auto& [r, c, result] : results) table.setText(r, c, result);
    shell.messages.clear();
    shell.fill["Form7"] = [](ui::Form& f) { f.setValue("Option1", true); };
    ASSERT_TRUE(run(session, "印刷(&P)/記録作成(&K)"));
    ASSERT_EQ(shell.messages, std::vector<std::string>{"記録作成終了"});

    const bool team = session.state.EventCode == "Ｔ";
    const records::BracketLayout layout =
        team ? records::BracketLayout::team() : records::BracketLayout::individual();
    sheet::Worksheet& ws = wb.sheet(name);
    const records::BracketMatches matches =
        records::findMatches(wb.sheet(bracket::recordBaseSheetName(name)), layout);
    for (const records::BracketMatch& m : matches.matches) {
        SCOPED_TRACE(m.label);
        ASSERT_TRUE(m.found());
        const records::HalfView half(ws, layout, m.right);
        const bool upper = std::stoi(m.label.substr(m.label.find('-') + 1)) % 2 == 1;
        auto thick = [&](int row) {
            return ws.format(row, half.column(m.column))
                       .edge(half.edge(sheet::xl::EdgeRight))
                       .weight == sheet::xl::Thick;
        };
        EXPECT_TRUE(thick(upper ? m.row : m.row + 1));
        // The loser's half stays thin.
        EXPECT_FALSE(thick(upper ? m.m2 : m.m1 + 1) && m.m2 > m.row && m.m1 + 1 <= m.row);
        EXPECT_TRUE(ws.value(m.m1, half.column(m.column)).isNumber());
    }
    // Each match between pages is written once, on a page's footer row, never the last page's.
    const records::TimeTableResults typed = records::readTimeTable(table);
    EXPECT_EQ(typed.order.size(), results.size()) << "no label stands twice in the time table";
    std::vector<int> footers;
    std::multiset<std::string> gapsWritten;
    ws.forEachCell([&](int r, int c, const sheet::CellValue& v) {
        if (c == layout.centre && v.asText().starts_with("─")) footers.push_back(r);
        if (v.asText().starts_with("頁間 "))
            gapsWritten.insert(v.asText().substr(7, v.asText().find("　") - 7));
    });
    std::multiset<std::string> gaps;
    for (const std::string& label : typed.order)
        if (typed.byLabel.at(label).betweenPages) gaps.insert(label);
    EXPECT_EQ(gapsWritten, gaps);
    ws.forEachCell([&](int r, int, const sheet::CellValue& v) {
        if (!v.asText().starts_with("頁間 ")) return;
        EXPECT_NE(std::find(footers.begin(), footers.end() - 1, r), footers.end() - 1) << r;
    });
}

// Opens the event's entry sheet, places, adjusts and builds it, then checks the saved sheet.
void drawAndBuild(const Shape& shape, std::uint32_t seed, std::mt19937& gen) {
    SCOPED_TRACE(shape.describe());
    tombra::test::FakeShell shell;
    tombra::test::TempDir dir;
    Session session{shell, dir.path()};
    session.random.setFixedSeed(seed);
    TournamentState& s = session.state;

    const auto path = dir / "大会.xlsx";
    tombra::test::writeEntryWorkbook(path,
                                     {{"男子", entryRows(shape, gen)},
                                      {std::string("男子") + shape.event.code, {{"古い内容"}}},
                                      {"基礎Ｄ", {{"項目"}}}});
    shell.fill["Form1"] = [&shape](ui::Form& f) {
        f.setValue(shape.event.option, true);
        f.setValue("Check7", shape.superSeeds > 0);
    };
    shell.fill["Form11"] = [&shape](ui::Form& f) {
        f.setValue(shape.superSeedRound == 4 ? "Option2" : "Option1", true);
        f.setValue(shape.superSeeds == 16 ? "Option4" : "Option3", true);
    };
    shell.files = {path.string()};
    ASSERT_TRUE(run(session, "ﾌｧｲﾙ(&F)/開く(&O)..."));
    ASSERT_FALSE(shell.messages.empty());
    ASSERT_EQ(shell.messages.back().rfind("エントリー数", 0), 0u) << shell.messages.back();
    ASSERT_EQ(s.EntryCount, shape.entries());
    ASSERT_EQ(s.SuperSeedCount, shape.superSeeds);

    const std::string tables =
        "Option" + std::to_string(1 + std::countr_zero(unsigned(shape.tables / 8)));
    shell.fill["Form3"] = [tables](ui::Form& f) { f.setValue(tables, true); };
    ASSERT_TRUE(run(session, "投入(&T)/ヤグラ・リーグ（個人・団体）投入(&T)"));
    ASSERT_FALSE(shell.messages.empty());
    ASSERT_EQ(shell.messages.back(), "投入終了");
    ASSERT_EQ(draw::test::drawFaults(s), std::vector<std::string>{}) << "after 投入";
    if (shape.adjust) {
        ASSERT_TRUE(run(session, "調整(&C)/調整Ⅰ(&T)"));
        ASSERT_EQ(draw::test::drawFaults(s), std::vector<std::string>{}) << "after 調整Ⅰ";
    }

    shell.fill["Form4"] = [&shape](ui::Form& f) {
        f.userSetValue("opt(" + std::to_string(shape.pageOption) + ")", true);
    };
    shell.fill["Form12"] = [](ui::Form& f) { f.setValue("Option1", true); };
    shell.answers = {shape.merge ? ui::Answer::Yes : ui::Answer::No};
    ASSERT_TRUE(run(session, "印刷(&P)/ヤグラ（個人・団体）作成(&Y)"));
    ASSERT_EQ(shell.messages.back(), "組合せ作成終了");

    sheet::Workbook* wb = session.attachWorkbook();
    ASSERT_NE(wb, nullptr);
    wb->save();
    const auto back = sheet::Workbook::open(path);
    const std::vector<std::string> faults = bracketFaults(*back, session.bracketSheetName(), s);
    ASSERT_EQ(faults, std::vector<std::string>{});
    playToTheEnd(session, shell, *wb);
}

// Shapes that went wrong before: a lone player among round-4 super seeds, a lone seed without
// super seeds, both halves' finals in the centre column, tables of more than 32, a page whose
// first round is empty, and a full bracket whose super seeds were merged into odd tables.
TEST(WholeBracket, KnownHardShapesAreDrawnWhole) {
    auto shape = [](int entries, int tables, int seeds, int superSeeds, int round, int pageOption,
                    bool merge) {
        Shape s;
        s.tables = tables, s.seeds = seeds, s.superSeeds = superSeeds, s.superSeedRound = round;
        s.pageOption = pageOption, s.merge = merge;
        s.schoolSizes.assign(200, 0);
        for (int i = 0; i < entries; ++i) ++s.schoolSizes[static_cast<size_t>(i / 8)];
        return s;
    };
    std::mt19937 gen(1);
    for (const Shape& s : {shape(100, 64, 8, 8, 4, 0, false), shape(15, 8, 1, 0, 3, 0, false),
                           shape(881, 128, 20, 0, 3, 1, true), shape(672, 8, 2, 0, 3, 0, true),
                           shape(76, 32, 19, 8, 3, 4, false), shape(23, 128, 20, 16, 4, 0, false),
                           shape(64, 32, 0, 8, 4, 3, true)})
        drawAndBuild(s, 7, gen);
}

TEST(WholeBracket, EveryEntryStandsOnceOnALineToItsHalfsFinalWithEveryMatchNumbered) {
    std::mt19937 gen(8128);
    for (std::uint32_t event = 1; event <= 240; ++event) {
        SCOPED_TRACE("event " + std::to_string(event));
        drawAndBuild(randomShape(gen), event, gen);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace tombra::bracket
