#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/CommandMap.h"
#include "bracket/BracketFixture.h"
#include "sheet/Worksheet.h"

namespace tombra::lists {
namespace {

using Rows = std::vector<std::vector<std::string>>;

struct Roster : bracket::test::BracketFixture {
    // Runs the command into `file` and reads the file back with Python's csv module.
    Rows exportAndRead(const std::string& file) {
        shell.files = {(dir / file).string()};
        EXPECT_TRUE(app::runMenuItem(session, *app::findMenuItem("参加一覧(&S)/CSV名簿作成(&M)")));
        std::filesystem::path written = dir / file;
        if (!written.has_extension()) written += ".csv";
        EXPECT_EQ(tombra::test::readFile(written).substr(0, 3), "\xEF\xBB\xBF");
        return nlohmann::json::parse(
            tombra::test::runPython("read_csv.py", tombra::test::quoted(written)));
    }
};

// After a draw and a built bracket, every entry is one line: its school, name, number and
// seed as the entry tables hold them, and its group and position as the bracket sheet shows
// them (the line number beside its name). Names with commas, quotes and line breaks read back
// whole.
TEST_F(Roster, EveryEntryReadsBackWithItsSeedAndItsPlaceOnTheBracket) {
    draw({5, 5, 5, 5, 5, 5, 5, 5});
    TournamentState& s = session.state;
    s.EntryName(1, 2) = "山田,太郎";
    s.EntryName(1, 3) = "\"愛称\"";
    s.EntryName(2, 4) = "佐藤\n鈴木";
    seed(1, 3);
    seed(4, 25);
    writeWorkbook();
    build(1);

    const Rows rows = exportAndRead("名簿.csv");
    ASSERT_EQ(rows.size(), 41u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"学校No", "学校名", "氏名", "エントリーNo",
                                                 "シード", "組", "位置"}));
    const sheet::Worksheet& bracket = session.attachWorkbook()->sheet("男子Ｓ");
    for (size_t i = 1; i < rows.size(); ++i) {
        const std::vector<std::string>& r = rows[i];
        ASSERT_EQ(r.size(), 7u);
        const int school = std::stoi(r[0]), entry = std::stoi(r[3]);
        EXPECT_EQ(r[1], s.EntryAffiliation(school, entry));
        EXPECT_EQ(r[2], s.EntryName(school, entry));
        const int position = (school - 1) * 10 + entry;  // the fixture draws in this order
        EXPECT_EQ(r[4], position == 3 ? "1" : position == 25 ? "4" : "") << r[2];
        EXPECT_EQ(r[5], std::to_string((position - 1) / 5 + 1)) << r[2];
        int shown = 0;
        bracket.forEachCell([&](int row, int column, const sheet::CellValue& v) {
            if ((column == 3 || column == 22) && v.asText() == r[2])
                shown = static_cast<int>(bracket.value(row, column == 3 ? 2 : 26).asNumber());
        });
        EXPECT_EQ(r[6], std::to_string(shown)) << r[2];
    }
    EXPECT_EQ(shell.messages.back(), "CSV名簿作成終了");
}

// A division's entries are its rows, with their league group and place once drawn; with
// nothing read nothing is asked.
TEST_F(Roster, ADivisionListsItsRowsAndNothingReadAsksNothing) {
    TournamentState& s = session.state;
    event("個人リーグ", "１部", "Ｋ１");
    const Rows division = {{"4", "東高", "東一", "", "", "", "1"},
                           {"2", "西高", "西一", "", "", "", "2"}};
    for (size_t j = 0; j < division.size(); ++j)
        for (size_t c = 0; c < division[j].size(); ++c)
            s.EntryTable(static_cast<long long>(j + 1), static_cast<long long>(c + 1)) =
                division[j][c];
    s.EntryCount = 2;
    s.TableCount = 3;
    s.TableSize(3) = 4;
    s.TableSlot(3, 2) = 2;
    const Rows rows = exportAndRead("部");
    EXPECT_EQ(rows[1], (std::vector<std::string>{"4", "東高", "東一", "1", "", "", ""}));
    EXPECT_EQ(rows[2], (std::vector<std::string>{"2", "西高", "西一", "2", "シード", "3", "2"}));

    s.resetAtOpen();
    const size_t asked = shell.fileTitles.size();
    EXPECT_TRUE(app::runMenuItem(session, *app::findMenuItem("参加一覧(&S)/CSV名簿作成(&M)")));
    EXPECT_EQ(shell.fileTitles.size(), asked);
    EXPECT_EQ(shell.messages.back(),
              "名簿にするエントリーがありません。ファイルを開いてから実行して下さい");
}

}  // namespace
}  // namespace tombra::lists
