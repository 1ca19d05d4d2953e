#include <gtest/gtest.h>

#include "app/CommandMap.h"
#include "session/Session.h"
#include "sheet/Worksheet.h"
#include "support/EntryWorkbook.h"
#include "support/FakeShell.h"
#include "support/TestFiles.h"

namespace tombra::lists {
namespace {

using tombra::test::SheetRows;

// One printed form as it stood when printed.
struct Printed {
    std::string document;
    bool followsPrevious = false;
    std::string school, affiliation, section;
    std::vector<std::string> lines;  // B9.. down to the last filled line, "B|C|D|E|F"
};

struct EntryForms : ::testing::Test {
    tombra::test::FakeShell shell;
    tombra::test::TempDir dir;
    Session session{shell, dir.path()};
    std::vector<Printed> printed;

    void SetUp() override {
        session.state.setOpenConstants();
        shell.onPrint = [this](const sheet::Worksheet& form) {
            Printed p{shell.printJobs.back().document, shell.printJobs.back().followsPrevious,
                      form.text(4, 1), form.text(6, 2), form.text(6, 5)};
            for (int r = 9; r <= 40; ++r) {
                std::string line;
                for (int c = 2; c <= 6; ++c) line += (c > 2 ? "|" : "") + form.text(r, c);
                if (line != "||||") p.lines.resize(r - 8, ""), p.lines.back() = line;
            }
            printed.push_back(p);
        };
    }
    // The section's sheet and "申込書", whose player area holds a line left from before.
    void workbook(const std::string& section, const std::string& event, const SheetRows& rows) {
        session.state.GenderName = section;
        session.state.EventName = event;
        const std::filesystem::path path = dir / "大会.xlsx";
        SheetRows form(40);
        form[7] = {"No", "氏名", "学年", "団体", "Ｄ", "Ｓ"};
        form[20] = {"", "前の学校の選手"};
        tombra::test::writeEntryWorkbook(path, {{section, rows}, {"申込書", form}});
        session.state.WorkbookPath = path.string();
    }
    void run(const std::string& option, const std::string& school = "") {
        printed.clear();
        shell.fill["Form6"] = [option, school](ui::Form& f) {
            f.setValue(option, true);
            f.setText("Text1", school);
        };
        ASSERT_TRUE(app::runMenuItem(session, *app::findMenuItem("参加一覧(&S)/参加申込書(&S)")));
        EXPECT_EQ(shell.messages.back(), "印刷終了");
    }
};

// Men's rows: a heading, school 1 with 33 players of whom the 5th and later are in the
// singles, school 2 with exactly 32 and none in the singles, then far below school 7, whose
// first row has no name and whose second is in the singles.
SheetRows mensRows() {
    SheetRows rows = {{"", "所属", "氏名", "学年", "", "", "", "", "Ｓ番号"}};
    for (int i = 1; i <= 33; ++i)
        rows.push_back({"1", "北高", "北" + std::to_string(i), "2", "", "", "", "",
                        i >= 5 ? std::to_string(i) : ""});
    for (int i = 1; i <= 32; ++i) rows.push_back({"2", "南高", "南" + std::to_string(i), "1"});
    rows.resize(300);
    rows.push_back({"7", "西高", "", "3"});
    rows.push_back({"7", "西高", "西2", "3", "", "", "", "", "1"});
    return rows;
}

// Each selection: the forms printed in order, each with its school and lines. No player is
// lost past the 32nd line or far down the sheet, and no blank form follows a full one.
TEST_F(EntryForms, EachSelectionPrintsItsSchoolsOverAsManyFormsAsTheyNeed) {
    workbook("男子", "シングルス", mensRows());
    struct Form {
        std::string document, school;
        size_t lines;
        std::string first, last;
    };
    const struct {
        std::string option, school;
        std::vector<Form> forms;
    } cases[] = {
        {"Option3",
         "",
         {{"申込書1", "1", 32, "北1|2|||", "北32|2|||"},
          {"申込書1-2", "1", 1, "北33|2|||", "北33|2|||"},
          {"申込書2", "2", 32, "南1|1|||", "南32|1|||"},
          {"申込書7", "7", 1, "西2|3|||", "西2|3|||"}}},
        {"Option4",
         "",
         {{"申込書1", "1", 29, "北5|2|||", "北33|2|||"},
          {"申込書7", "7", 1, "西2|3|||", "西2|3|||"}}},
        {"Option5", "７", {{"申込書7", "7", 1, "西2|3|||", "西2|3|||"}}},
        {"Option5", "99", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option + " " + c.school);
        run(c.option, c.school);
        ASSERT_EQ(printed.size(), c.forms.size());
        for (size_t i = 0; i < printed.size(); ++i) {
            const Printed& p = printed[i];
            const Form& want = c.forms[i];
            EXPECT_EQ(p.document, want.document);
            EXPECT_EQ(p.followsPrevious, i > 0);
            EXPECT_EQ(p.school, want.school);
            EXPECT_EQ(p.section, "男子");
            ASSERT_EQ(p.lines.size(), want.lines) << p.document;
            EXPECT_EQ(p.lines.front(), want.first);
            EXPECT_EQ(p.lines.back(), want.last);
            EXPECT_EQ(std::count(p.lines.begin(), p.lines.end(), ""), 0) << p.document;
        }
        // The player area is left empty, the headings by the section.
        const sheet::Worksheet& form = session.attachWorkbook()->sheet("申込書");
        EXPECT_EQ(form.text(21, 2), "");
        EXPECT_EQ(form.text(8, 3) + form.text(8, 6), "学年Ｓ");
    }
    EXPECT_EQ(session.state.EntryFormMode, 3);
    EXPECT_EQ(session.state.EntryFormSchool, 99);
}

// The individual league's form shows sex, category and division beside the name; a player
// takes part when the entry column (G) is filled.
TEST_F(EntryForms, TheIndividualLeaguesFormCarriesItsOwnColumns) {
    workbook("個人リーグ", "１部",
             {{"", "所属", "氏名", "性別", "区分", "部", "ｴﾝﾄﾘｰ"},
              {"3", "東高", "東1", "1", "2", "1", ""},
              {"3", "東高", "東2", "2", "1", "2", "1"}});
    run("Option3");
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].section, "個人リーグ");
    EXPECT_EQ(printed[0].lines, (std::vector<std::string>{"東1|1|2|1|", "東2|2|1|2|1"}));
    run("Option4");
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].lines, (std::vector<std::string>{"東2|2|1|2|1"}));
    const sheet::Worksheet& form = session.attachWorkbook()->sheet("申込書");
    EXPECT_EQ(form.text(8, 3) + form.text(8, 4) + form.text(8, 5) + form.text(8, 6),
              "性別区分部ｴﾝﾄﾘｰ");
}

}  // namespace
}  // namespace tombra::lists
