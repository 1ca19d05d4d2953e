#include <gtest/gtest.h>

#include <fstream>

#include "app/CommandMap.h"
#include "intake/EntryReader.h"
#include "intake/SettingsDialogs.h"
#include "session/Session.h"
#include "sheet/Constants.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "sheet/ZipPackage.h"
#include "state/EntryCode.h"
#include "support/EntryWorkbook.h"
#include "support/FakeShell.h"
#include "support/TestFiles.h"

namespace tombra::intake {
namespace {

using test::SheetContent;
using test::SheetRows;

// A singles row: school, affiliation, name, entry number, seed (columns A, B, C, I, J).
std::vector<std::string> single(int school, std::string affiliation, std::string name,
                                std::string entry, std::string seed = "") {
    return {std::to_string(school), affiliation, name, "", "", "", "", "", entry, seed};
}

// A doubles row: number in G, seed in H.
std::vector<std::string> doublesRow(int school, std::string affiliation, std::string name, int pair,
                                    std::string seed = "") {
    return {std::to_string(school), affiliation, name, "", "", "", std::to_string(pair), seed};
}

// Turns a cell of the workbook's last sheet into a formula whose result was never stored, as a
// program that does not calculate writes it.
void dropFormulaResult(const std::filesystem::path& path, const std::string& cell) {
    sheet::ZipPackage package(test::readFile(path));
    std::string last;
    for (const std::string& name : package.partNames())
        if (name.starts_with("xl/worksheets/sheet")) last = name;
    std::string xml = package.read(last);
    const size_t at = xml.find("<c r=\"" + cell + "\"");
    const size_t end = xml.find("</c>", at);
    if (at == std::string::npos || end == std::string::npos)
        throw std::runtime_error(cell + " holds no value in " + last);
    xml.replace(at, end + 4 - at, "<c r=\"" + cell + "\"><f>A1+1</f></c>");
    package.write(last, xml);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << package.save();
}

struct OpenEntries : ::testing::Test {
    test::FakeShell shell;
    test::TempDir dir;
    Session session{shell, dir.path()};
    std::filesystem::path path = dir / "申込.xlsx";

    void choose(std::initializer_list<const char*> options) {
        std::vector<std::string> chosen(options.begin(), options.end());
        shell.fill["Form1"] = [chosen](ui::Form& form) {
            for (const std::string& o : chosen) form.setValue(o, true);
        };
    }
    void open(const std::vector<SheetContent>& sheets) {
        test::writeEntryWorkbook(path, sheets);
        shell.files = {path.string()};
        const app::MenuItem* item = app::findMenuItem("ﾌｧｲﾙ(&F)/開く(&O)...");
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(app::runMenuItem(session, *item));
    }
    sheet::Worksheet& inMemory(const std::string& name) {
        return session.attachWorkbook()->sheet(name);
    }
    bool ruleBelow(const std::string& sheet, int row, int column) {
        return inMemory(sheet).format(row, column).edge(sheet::xl::EdgeBottom).present();
    }
    const std::string& log() const { return session.log.text(); }
};

TEST_F(OpenEntries, SinglesFillTheTablesTallyAndSummaryAndListSchoolsAndSeeds) {
    SheetContent men{"男子",
                     {
                         single(1, "県立北高", "山田　太郎", "1", "1"),
                         single(1, "県立北高", "山田　花男", "2"),
                         single(1, "県立北高", "鈴木　一郎", "3", "4"),
                         single(2, "私立桜ヶ丘", "佐藤　健", "1", "2"),
                         single(2, "私立桜ヶ丘", "田中　翼", "2"),
                         single(3, "市立東中央", "高橋　誠", "1"),
                     }};
    open({men, test::tallySheet(3), {"基礎Ｄ", {}}});

    const TournamentState& s = session.state;
    EXPECT_EQ(s.GenderName, "男子");
    EXPECT_EQ(s.EventCode, "Ｓ");
    EXPECT_EQ(s.WorkbookPath, path.string());
    EXPECT_EQ(s.EntryCount, 6);
    EXPECT_EQ(s.SchoolCount, 3);
    EXPECT_EQ(s.SeedCount, 4);  // the highest seed number, not how many there are
    EXPECT_EQ(s.MaxSchoolEntries, 3);
    EXPECT_EQ(s.PageCount, 0);
    EXPECT_EQ(s.EntryName(1, 3), "鈴木　一郎");
    EXPECT_EQ(s.EntryAffiliation(2, 1), "私立桜ヶ丘");
    EXPECT_EQ(s.EntryPresence(3, 1), 1.0f);
    EXPECT_EQ(s.PositionEntry(4), encodeEntry(1, 3));
    EXPECT_EQ(s.PositionEntry(3), 0.0f);
    EXPECT_EQ(s.SchoolSeedCount(1), 2);

    // Men's singles count in column E of "集計" and column B of "基礎Ｄ".
    EXPECT_EQ(inMemory("集計").value(4, 5).asNumber(), 3);
    EXPECT_EQ(inMemory("集計").value(6, 5).asNumber(), 1);
    EXPECT_EQ(inMemory("基礎Ｄ").value(5, 2).asNumber(), 3);
    EXPECT_EQ(inMemory("基礎Ｄ").value(6, 2).asNumber(), 6);
    EXPECT_EQ(inMemory("基礎Ｄ").value(7, 2).asNumber(), 4);

    EXPECT_EQ(log(),
              "エントリー数\r\n県立北高：3\r\n私立桜ヶ丘：2\r\n市立東中央：1\r\n\r\nシード選手\r\n"
              "1：山田　太郎(県立北高)\r\n2：佐藤　健(私立桜ヶ丘)\r\n4：鈴木　一郎(県立北高)\r\n");
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0], "エントリー数\n6名  <3校>\nシード数＝4");

    // A rule under the last row of each school, across A..I, and nowhere else.
    EXPECT_TRUE(ruleBelow("男子", 3, 1));
    EXPECT_TRUE(ruleBelow("男子", 3, 9));
    EXPECT_FALSE(ruleBelow("男子", 3, 10));
    EXPECT_TRUE(ruleBelow("男子", 5, 1));
    EXPECT_FALSE(ruleBelow("男子", 2, 1));
    EXPECT_FALSE(ruleBelow("男子", 6, 1));  // the last school has nothing after it

    EXPECT_TRUE(session.marks.checked("mnuFileOpen"));
    EXPECT_EQ(session.progress.caption(), "男子シングルス の読込中");
    EXPECT_FALSE(session.progress.visible());
    // Reading changes the workbook in memory only; the file waits for a save.
    EXPECT_TRUE(sheet::Workbook::open(path)->sheet("集計").value(4, 5).isEmpty());
}

TEST_F(OpenEntries, OldRulesAndTallyAreReplacedAndOtherEventsKeepTheirCounts) {
    test::writeEntryWorkbook(
        path, {{"男子", {single(1, "北高", "甲　一", "1"), single(2, "南高", "乙　二", "1")}},
               {"集計", {{"1", "", "", "", "9", "", "", "", "7"}, {"2", "", "", "", "9"}}, 4}});
    {
        auto wb = sheet::Workbook::open(path);
        wb->sheet("男子").setBorder(sheet::Area{2, 1, 2, 9}, sheet::xl::EdgeBottom,
                                    {sheet::xl::Continuous, {}, {}});
        wb->save();
    }
    shell.files = {path.string()};
    ASSERT_TRUE(app::runMenuItem(session, *app::findMenuItem("mnuFileOpen")));
    EXPECT_TRUE(ruleBelow("男子", 1, 1));
    EXPECT_FALSE(ruleBelow("男子", 2, 1));
    EXPECT_EQ(inMemory("集計").value(4, 5).asNumber(), 1);
    EXPECT_EQ(inMemory("集計").value(4, 9).asNumber(), 7);  // women's singles untouched
}

// "ヤグラ印刷のみ" counts its stand-ins and leaves the sheet's entries, and its tallies, alone:
// the entries of school 1 used to be read as duplicates of stand-ins "101", "102".
TEST_F(OpenEntries, BracketPrintOnlyKeepsItsStandInsAndReadsNoEntries) {
    choose({"Check1"});
    shell.fill["Form8"] = [](ui::Form& f) { f.setText("Text1", "23"); };
    open({{"男子", {single(1, "北高", "甲　一", "1"), single(2, "南高", "乙　二", "1")}},
          {"基礎Ｄ", {{"項目"}}}});
    EXPECT_EQ(shell.messages, (std::vector<std::string>{"エントリー数\n23名  <3校>\nシード数＝0"}));
    const TournamentState& s = session.state;
    EXPECT_EQ(s.EntryCount, 23);
    EXPECT_EQ(s.SchoolCount, 3);
    EXPECT_EQ(s.EntryName(1, 1), "101");
    EXPECT_EQ(s.EntryName(3, 3), "303");
    EXPECT_FALSE(ruleBelow("男子", 1, 1)) << "the entry sheet is not touched";
    EXPECT_TRUE(inMemory("基礎Ｄ").value(6, 2).isEmpty()) << "no stand-in counts in the summary";
}

TEST_F(OpenEntries, ADuplicateStopsReadingAndKeepsWhatWasRead) {
    open({{"男子",
           {single(1, "北高", "甲　一", "1", "1"), single(1, "北高", "乙　二", "2"),
            single(1, "北高", "丙　三", "2"), single(2, "南高", "丁　四", "1")}}});
    ASSERT_GE(shell.messages.size(), 2u);
    EXPECT_EQ(shell.messages[0], "北高:DATAにダブりあり_強制終了します");
    EXPECT_EQ(session.state.EntryName(1, 2), "乙　二");
    EXPECT_EQ(session.state.EntryName(2, 1), "");
    EXPECT_EQ(session.state.EntryCount, 2);
    EXPECT_EQ(shell.messages.back(), "エントリー数\n2名  <1校>\nシード数＝1");
}

TEST_F(OpenEntries, AGapInEntryNumbersIsNamedAndTheSeedListSkipped) {
    open({{"男子",
           {single(1, "北高", "甲　一", "1", "1"), single(1, "北高", "乙　二", "2"),
            single(1, "北高", "丙　三", "4")}},
          {"基礎Ｄ", {}}});
    ASSERT_FALSE(shell.messages.empty());
    EXPECT_EQ(shell.messages[0], "北高3　番が空白です\n強制終了します ");
    EXPECT_EQ(log().find("シード選手"), std::string::npos);
    EXPECT_EQ(inMemory("基礎Ｄ").value(6, 2).asNumber(), 3);  // the counts are still written
}

TEST_F(OpenEntries, ValuesThatCannotBeEntriesStopAtTheirRowWithAClearMessage) {
    struct Case {
        std::vector<std::string> bad;
        std::string expected;
        std::string withoutResult = "";  // a cell of the bad row made a formula without result
    };
    const std::vector<Case> cases = {
        {single(201, "遠高", "甲　一", "1"),
         "「男子」シートの 3 行目: 学校番号「201」は使えません（1～200 の整数）"},
        {single(3, "遠高", "甲　一", "100"),
         "「男子」シートの 3 行目: 番号「100」は使えません（1～99 の整数）"},
        {single(3, "遠高", "甲　一", "1", "1025"),
         "「男子」シートの 3 行目: シード番号「1025」は使えません（0～1024 の整数）"},
        {single(3, "遠高", "甲　一", "'一"),
         "「男子」シートの 3 行目: 番号「一」は使えません（1～99 の整数）"},
        {single(3, "遠高", "甲　一", "1", "'第1"),
         "「男子」シートの 3 行目: シード番号「第1」は使えません（0～1024 の整数）"},
        {{"'三", "遠高", "甲　一", "", "", "", "", "", "1"},
         "「男子」シートの 3 行目: 学校番号「三」は使えません（1～200 の整数）"},
        // A fraction would be rounded into another school's number.
        {{"3.5", "遠高", "甲　一", "", "", "", "", "", "1"},
         "「男子」シートの 3 行目: 学校番号「3.5」は使えません（1～200 の整数）"},
        {single(3, "遠高", "甲　一", "'2.5番"),
         "「男子」シートの 3 行目: 番号「2.5番」は使えません（1～99 の整数）"},
        {single(3, "遠高", "甲　一", "1"),
         "「男子」シートの 3 行目: I3 の数式の値がありません。表計算ソフトで一度保存してください",
         "I3"},
        {single(3, "遠高", "甲　一", "1"),
         "「男子」シートの 3 行目: A3 の数式の値がありません。表計算ソフトで一度保存してください",
         "A3"},
    };
    for (const Case& c : cases) {
        test::FakeShell caseShell;
        Session caseSession{caseShell, dir.path()};
        const auto file = dir / "bad.xlsx";
        test::writeEntryWorkbook(
            file, {{"男子",
                    {single(1, "北高", "甲　一", "1"), single(2, "南高", "乙　二", "1"), c.bad,
                     single(4, "西高", "丁　四", "1")}}});
        if (!c.withoutResult.empty()) dropFormulaResult(file, c.withoutResult);
        caseShell.files = {file.string()};
        app::runMenuItem(caseSession, *app::findMenuItem("mnuFileOpen"));
        ASSERT_FALSE(caseShell.messages.empty());
        EXPECT_EQ(caseShell.messages[0].substr(0, c.expected.size()), c.expected)
            << caseShell.messages[0];
        // What came before stays; nothing after the bad row was read.
        EXPECT_EQ(caseSession.state.EntryCount, 2) << c.expected;
        EXPECT_TRUE(caseSession.state.EntryName(4, 1).empty());
        EXPECT_EQ(caseShell.messages.back(), "エントリー数\n2名  <2校>\nシード数＝0");
    }
}

TEST_F(OpenEntries, NumbersTypedAsTextAreReadByTheirLeadingNumber) {
    open({{"男子", {single(1, "北高", "甲　一", "'１", ""), single(1, "北高", "乙　二", "2")}}});
    // A full-width digit is not a number to the reader; the half-width ones with blanks are.
    ASSERT_FALSE(shell.messages.empty());
    EXPECT_NE(shell.messages[0].find("番号「１」"), std::string::npos);

    test::FakeShell second;
    Session again{second, dir.path()};
    const auto file = dir / "ok.xlsx";
    test::writeEntryWorkbook(
        file, {{"男子",
                {single(1, "北高", "乙　二", "' 1 ", "'3"), single(2, "南高", "丙　三", "'1番"),
                 single(2, "南高", "丁　四", "'2番", "'1位")}}});
    second.files = {file.string()};
    app::runMenuItem(again, *app::findMenuItem("mnuFileOpen"));
    EXPECT_EQ(again.state.EntryName(1, 1), "乙　二");
    EXPECT_EQ(again.state.PositionEntry(3), encodeEntry(1, 1));
    EXPECT_EQ(again.state.EntryName(2, 1), "丙　三");
    EXPECT_EQ(again.state.PositionEntry(1), encodeEntry(2, 2));
}

// The singles league draws from EntryTable: school in column 1, seed number in column 5.
TEST_F(OpenEntries, SinglesEntriesAreListedInRowOrderForTheSinglesLeague) {
    open({{"男子",
           {single(2, "南高", "乙　二", "1", "2"), single(1, "北高", "甲　一", "1"),
            single(1, "北高", "丙　三", "2", "1")}}});
    using Row = std::vector<std::string>;
    std::vector<Row> table;
    for (int j = 1; j <= 4; ++j)
        table.push_back({session.state.EntryTable(j, 1), session.state.EntryTable(j, 2),
                         session.state.EntryTable(j, 3), session.state.EntryTable(j, 4),
                         session.state.EntryTable(j, 5)});
    EXPECT_EQ(table, (std::vector<Row>{{"2", "南高", "乙　二", "1", "2"},
                                       {"1", "北高", "甲　一", "1", ""},
                                       {"1", "北高", "丙　三", "2", "1"},
                                       {"", "", "", "", ""}}));
}

TEST_F(OpenEntries, TheWholeSheetOfRowsIsReadAndNotOneRowMore) {
    SheetRows rows;
    for (int school = 1; school <= 103; ++school)
        for (int e = 1; e <= 10 && rows.size() < 1024; ++e)
            rows.push_back(single(school, "校" + std::to_string(school),
                                  "選手　" + std::to_string(rows.size() + 1), std::to_string(e)));
    ASSERT_EQ(rows.size(), 1024u);
    rows.push_back(single(150, "範囲外", "読まれない　人", "1"));  // row 1025
    open({{"男子", rows}});
    EXPECT_EQ(session.state.EntryCount, 1024);
    EXPECT_EQ(session.state.SchoolCount, 103);
    EXPECT_EQ(session.state.PageCount, 13);  // 1024 / 80 = 12.8
    EXPECT_TRUE(session.state.EntryName(150, 1).empty());
    EXPECT_EQ(shell.messages.back(), "エントリー数\n1024名  <103校>\nシード数＝0");
    EXPECT_TRUE(ruleBelow("男子", 1024, 1));  // row 1025 starts another school
}

TEST_F(OpenEntries, PairsJoinNamesAndSchoolsAndIncompletePairsAreReported) {
    shell.fill["Form1"] = [](ui::Form& f) { f.setValue("Option5", true); };
    open({{"男子",
           {doublesRow(1, "北高", "甲　一", 1, "1"), doublesRow(1, "南高", "乙　二", 1, "1"),
            doublesRow(1, "北高", "丙　三", 2), doublesRow(1, "北高", "丁　四", 2)}},
          test::tallySheet(1)});
    const TournamentState& s = session.state;
    EXPECT_EQ(s.EntryName(1, 1), "甲　一・乙　二");
    EXPECT_EQ(s.EntryAffiliation(1, 1), "北高・南高");
    EXPECT_EQ(s.EntryAffiliation(1, 2), "北高");
    EXPECT_EQ(s.SchoolEntryCount(1), 2);
    EXPECT_EQ(s.EntryCount, 2);
    EXPECT_EQ(inMemory("集計").value(4, 4).asNumber(), 2);  // men's doubles: column D

    test::FakeShell second;
    Session again{second, dir.path()};
    second.fill["Form1"] = [](ui::Form& f) { f.setValue("Option5", true); };
    const auto file = dir / "pairs.xlsx";
    test::writeEntryWorkbook(
        file, {{"女子",
                {doublesRow(1, "北高", "甲　一", 1), doublesRow(1, "北高", "乙　二", 1),
                 doublesRow(1, "北高", "丙　三", 41)}}});
    second.fill["Form1"] = [](ui::Form& f) {
        f.setValue("Option2", true);
        f.setValue("Option5", true);
    };
    second.files = {file.string()};
    app::runMenuItem(again, *app::findMenuItem("mnuFileOpen"));
    ASSERT_FALSE(second.messages.empty());
    EXPECT_EQ(second.messages.back(), "北高 41　番のペアに不備");
}

TEST_F(OpenEntries, AThirdRowOfAPairIsADuplicate) {
    choose({"Option5"});
    open({{"男子",
           {doublesRow(1, "北高", "甲　一", 1), doublesRow(1, "北高", "乙　二", 1),
            doublesRow(1, "北高", "丙　三", 1)}}});
    ASSERT_FALSE(shell.messages.empty());
    EXPECT_EQ(shell.messages[0], "北高:DATAにダブりあり_強制終了します");
    EXPECT_EQ(session.state.EntryName(1, 1), "甲　一・乙　二");
}

TEST_F(OpenEntries, SurnamesAreShortenedWithinEachSchool) {
    choose({"Check5"});
    open({{"男子",
           {single(1, "北高", "佐藤　一郎", "1"), single(1, "北高", "佐藤　次郎", "2"),
            single(1, "北高", "鈴木 三郎", "3"), single(2, "南高", "佐藤　三郎", "1")}}});
    const TournamentState& s = session.state;
    EXPECT_EQ(s.EntryName(1, 1), "佐藤(一)");
    EXPECT_EQ(s.EntryName(1, 2), "佐藤(次)");
    EXPECT_EQ(s.EntryName(1, 3), "鈴木");
    EXPECT_EQ(s.EntryName(2, 1), "佐藤");
    // The log lists the names as entered: shortening comes after it.
    EXPECT_EQ(log().find("佐藤("), std::string::npos);
}

// A team row: school, affiliation, name, -, team code (E), seed (F).
std::vector<std::string> teamRow(int school, std::string affiliation, int code,
                                 std::string seed = "") {
    return {std::to_string(school), affiliation, "", "", std::to_string(code), seed};
}

TEST_F(OpenEntries, TeamsAreCountedByTheirFirstRowsAndLetteredWhenASchoolHasSeveral) {
    choose({"Option6", "Check4"});
    open({{"男子",
           {teamRow(1, "北高", 1, "1"), teamRow(1, "北高", 2), teamRow(1, "北高", 11),
            teamRow(1, "北高", 12), teamRow(2, "南高", 1, "2"), teamRow(2, "南高", 2)}},
          test::tallySheet(2)});
    const TournamentState& s = session.state;
    EXPECT_EQ(s.EntryCount, 3);
    EXPECT_EQ(s.SchoolCount, 3);  // the number of teams
    EXPECT_EQ(s.SeedCount, 2);
    EXPECT_EQ(s.EntryTable(1, 2), "北高A");
    EXPECT_EQ(s.EntryTable(2, 2), "北高B");
    EXPECT_EQ(s.EntryTable(3, 2), "南高");
    EXPECT_EQ(s.EntryTable(2, 4), "11");
    EXPECT_EQ(s.EntryName(1, 1), "北高A");
    EXPECT_EQ(s.EntryName(1, 2), "北高B");
    EXPECT_EQ(s.EntryName(2, 1), "南高");
    EXPECT_EQ(decodeEntry(s.PositionEntry(2)), (DecodedEntry{2, 1}));
    EXPECT_EQ(inMemory("集計").value(4, 3).asNumber(), 2);
    EXPECT_EQ(shell.messages.back(), "エントリー数\n3チーム  <2校>\nシード数＝2");
}

TEST_F(OpenEntries, ARepeatedTeamRowEndsTheOpenWithoutSummary) {
    choose({"Option6"});
    open({{"男子", {teamRow(1, "北高", 1), teamRow(1, "北高", 2), teamRow(1, "北高", 2)}}});
    EXPECT_EQ(shell.messages, std::vector<std::string>{"北高:DATA重複あり_強制終了します"});
    EXPECT_FALSE(session.progress.visible());
    EXPECT_EQ(log(), "");
}

TEST_F(OpenEntries, DivisionsFillTheEntryTableAndTheirTallyColumn) {
    choose({"Option8", "Option10"});
    // Columns: A school, B affiliation, C name, D sex, E category, F division, G 1 entered / 2
    // seeded.
    open({{"個人リーグ",
           {{"1", "北高", "甲　一", "1", "A", "2", "1"},
            {"1", "北高", "乙　二", "1", "A", "1", "1"},
            {"2", "南高", "丙　三", "2", "B", "2", "2"},
            {"3", "西高", "丁　四", "2", "B", "2", "0"}}},
          {"集計R", {{"", "", "", "", "9"}, {"", "", "", "", "9"}, {"", "", "", "", "9"}}, 4}});
    const TournamentState& s = session.state;
    EXPECT_EQ(s.EventCode, "Ｋ２");
    EXPECT_EQ(s.EntryCount, 2);
    EXPECT_EQ(s.SeedCount, 1);
    EXPECT_EQ(s.SchoolCount, 0);
    EXPECT_EQ(s.EntryTable(1, 3), "甲　一");
    EXPECT_EQ(s.EntryTable(2, 5), "B");
    EXPECT_EQ(s.EntryTable(2, 7), "2");
    EXPECT_EQ(inMemory("集計R").value(4, 5).asNumber(), 1);
    EXPECT_EQ(inMemory("集計R").value(5, 5).asNumber(), 1);
    EXPECT_TRUE(inMemory("集計R").value(6, 5).isEmpty());  // emptied before reading
    EXPECT_EQ(log(), "北高:1\r\n南高:1\r\n");
    EXPECT_EQ(shell.messages.back(), "エントリー数\n2名\nシード数＝1名");
}

TEST_F(OpenEntries, MissingSheetsAndUnreadableFilesAreToldNotIgnored) {
    choose({"Option2"});
    open({{"男子", {single(1, "北高", "甲　一", "1")}}});
    EXPECT_EQ(shell.messages, std::vector<std::string>{"「女子」シートがありません"});
    EXPECT_EQ(session.state.EntryCount, 0);

    const auto junk = dir / "壊れた.xlsx";
    std::ofstream(junk) << "not a workbook";
    shell.messages.clear();
    shell.files = {junk.string()};
    app::runMenuItem(session, *app::findMenuItem("mnuFileOpen"));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].rfind(junk.string() + " を開けません\n", 0), 0u)
        << shell.messages[0];
    EXPECT_TRUE(session.state.WorkbookPath.empty());
    EXPECT_EQ(test::readFile(junk), "not a workbook");
}

TEST_F(OpenEntries, CancellingTheSettingsOrTheFileReadsNothing) {
    session.marks.set("調整Ⅰ", true);
    shell.press["Form1"] = "Command2";
    open({{"男子", {single(1, "北高", "甲　一", "1")}}});
    EXPECT_EQ(session.state.GenderName, "キャンセル");
    EXPECT_TRUE(shell.fileTitles.empty());
    EXPECT_FALSE(session.marks.checked("調整Ⅰ"));
    EXPECT_TRUE(session.marks.checked("mnuFileOpen"));

    shell.press.clear();
    shell.files = {""};
    app::runMenuItem(session, *app::findMenuItem("mnuFileOpen"));
    EXPECT_EQ(shell.fileTitles.back(), "DATAを開く");
    EXPECT_TRUE(session.state.WorkbookPath.empty());
    EXPECT_EQ(session.state.EntryCount, 0);
}

}  // namespace
}  // namespace tombra::intake
