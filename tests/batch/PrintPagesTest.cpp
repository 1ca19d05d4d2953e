// The bracket sheet prints on as many sheets of paper here as in another spreadsheet program
// given the same file: LibreOffice converts a copy that holds only that sheet.
#include <gtest/gtest.h>

#include <fstream>

#include "BatchTestSupport.h"
#include "render/SheetRenderer.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "support/EntryWorkbook.h"
#include "support/LibreOffice.h"
#include "support/TestFiles.h"

namespace tombra::batch {
namespace {

namespace fs = std::filesystem;
using tombra::test::quoted;

struct Case {
    std::string workbook;
    std::string tablesOption;  // Form3; "" keeps the dialog's default
    int pageOption;            // Form4: 2^pageOption pages
};

// 1,024 singles of 103 schools, ten to a school, in a workbook whose default font is Calibri.
void writeLargeEvent(const fs::path& path) {
    tombra::test::SheetRows rows;
    for (int i = 0; i < 1024; ++i) {
        const std::string school = std::to_string(i / 10 + 1), number = std::to_string(i % 10 + 1);
        rows.push_back({school, "学校" + school, "選手" + school + "-" + number, "", "", "", "", "",
                        number, i < 16 ? std::to_string(i + 1) : ""});
    }
    tombra::test::writeEntryWorkbook(path,
                                     {{"男子", rows}, {"男子Ｓ", {{"x"}}}, {"基礎Ｄ", {{"項目"}}}});
}

// Opens, places, builds and prints the men's singles; the PDF Tombra printed.
fs::path buildAndPrint(const tombra::test::TempDir& dir, const Case& c, const std::string& saved) {
    const std::string tables = c.tablesOption.empty() ? ""
                                                      : R"js(, "forms": {"Form3": {")js" +
                                                            c.tablesOption + R"js(": true}})js";
    const std::string script =
        R"js({"seed": 7, "steps": [
        {"command": "ﾌｧｲﾙ(&F)/開く(&O)...", "forms": {"Form1": {"Option1": true, "Option4": true}},
         "files": [")js" +
        c.workbook + R"js("]},
        {"command": "投入(&T)/ヤグラ・リーグ（個人・団体）投入(&T)")js" +
        tables + R"js(},
        {"command": "印刷(&P)/ヤグラ（個人・団体）作成(&Y)",
         "forms": {"Form4": {"opt()js" +
        std::to_string(c.pageOption) + R"js()": true}, "Form12": {"Option1": true}}},
        {"command": "ﾌｧｲﾙ(&F)/名前を付けて保存(&A)...", "files": [")js" +
        saved + R"js("]},
        {"command": "ﾌｧｲﾙ(&F)/印刷(&P)..."}]})js";
    std::ofstream(dir / "print.json") << script;
    const std::string out = tombra::test::runCommand(quoted(TOMBRA_BATCH_EXE) + " " +
                                                     quoted(dir / "print.json") + " 2>&1");
    const auto pdfs = test::eventsOf(test::jsonLines(out), "pdf");
    if (pdfs.size() != 1) {
        ADD_FAILURE() << "no PDF printed:\n" << out;
        return {};
    }
    return pdfs[0]["path"].get<std::string>();
}

// The pages LibreOffice prints of one sheet of a saved workbook, from a copy holding that sheet
// alone.
int libreOfficePages(const tombra::test::LibreOfficeConverter& libreOffice, const fs::path& saved,
                     const std::string& sheetName) {
    static int copies = 0;
    const fs::path alone = saved.parent_path() / ("alone-" + std::to_string(++copies) + ".xlsx");
    tombra::test::runPython("keep_one_sheet.py",
                            quoted(saved) + " " + quoted(alone) + " " + sheetName);
    std::string failure;
    const fs::path converted = libreOffice.convert(alone, "pdf", failure);
    EXPECT_FALSE(converted.empty()) << failure;
    return converted.empty() ? -1 : tombra::test::pdfPageCount(converted);
}

TEST(PrintPages, ABracketTakesAsManySheetsOfPaperAsInLibreOffice) {
    tombra::test::TempDir dir;
    const tombra::test::LibreOfficeConverter libreOffice(dir / "libreoffice");
    if (!libreOffice.available() || tombra::test::findProgram("pdfinfo").empty())
        GTEST_SKIP() << "LibreOffice and poppler-utils are needed; `make deps` installs them";
    fs::copy_file(tombra::test::testData("../../examples/sample.xlsx"), dir / "sample.xlsx");
    writeLargeEvent(dir / "large.xlsx");

    const Case cases[] = {{"sample.xlsx", "", 0},
                          {"sample.xlsx", "", 1},
                          {"sample.xlsx", "", 2},
                          {"sample.xlsx", "Option4", 5},
                          {"large.xlsx", "Option5", 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.workbook + ", " + std::to_string(1 << c.pageOption) + " pages");
        const std::string saved = "built-" + c.workbook;
        const fs::path printed = buildAndPrint(dir, c, saved);
        ASSERT_FALSE(printed.empty());
        EXPECT_EQ(tombra::test::pdfPageCount(printed), 1 << c.pageOption);
        EXPECT_EQ(libreOfficePages(libreOffice, dir / saved, "男子Ｓ"), 1 << c.pageOption);
    }

    // The lists the build writes beside the bracket print on as many pages too.
    const auto built = sheet::Workbook::open(dir / "built-sample.xlsx");
    for (const char* name : {"男子ＮＴ", "男子ＳＴＢ"}) {
        const sheet::Worksheet& list = built->sheet(name);
        const render::SheetRenderer here(list,
                                         render::PageSettings::fromPageSetup(list.pageSetup()));
        EXPECT_EQ(libreOfficePages(libreOffice, dir / "built-sample.xlsx", name), here.pageCount())
            << name;
    }
}

// The example's blank bracket of 23: printed here on one sheet of paper, as LibreOffice prints
// the saved sheet, and nothing of the sample's entries on it.
TEST(PrintPages, TheBlankBracketExamplePrintsOnePage) {
    tombra::test::TempDir dir;
    const tombra::test::LibreOfficeConverter libreOffice(dir / "libreoffice");
    if (!libreOffice.available() || tombra::test::findProgram("pdfinfo").empty())
        GTEST_SKIP() << "LibreOffice and poppler-utils are needed; `make deps` installs them";
    const fs::path examples = tombra::test::testData("../../examples");
    fs::copy_file(examples / "sample.xlsx", dir / "sample.xlsx");
    fs::copy_file(examples / "blank-bracket.json", dir / "blank.json");
    const std::string out = tombra::test::runCommand(quoted(TOMBRA_BATCH_EXE) + " " +
                                                     quoted(dir / "blank.json") + " 2>&1");
    const auto lines = test::jsonLines(out);
    const auto messages = test::eventsOf(lines, "message");
    ASSERT_FALSE(messages.empty()) << out;
    EXPECT_EQ(messages.front()["text"], "エントリー数\n23名  <3校>\nシード数＝0");
    EXPECT_EQ(messages.back()["text"], "終了");
    const auto pdfs = test::eventsOf(lines, "pdf");
    ASSERT_EQ(pdfs.size(), 1u) << out;
    EXPECT_EQ(tombra::test::pdfPageCount(pdfs[0]["path"].get<std::string>()), 1);
    const fs::path saved = dir / "男子シングルス白紙ヤグラ.xlsx";
    EXPECT_EQ(libreOfficePages(libreOffice, saved, "男子Ｓ"), 1);
    const auto wb = sheet::Workbook::open(saved);
    int numbers = 0, names = 0;
    wb->sheet("男子Ｓ").forEachCell([&](int, int column, const sheet::CellValue& v) {
        numbers += (column == 2 || column == 26) && v.isNumber();
        names += (column == 3 || column == 22) && !v.isEmpty();
    });
    EXPECT_EQ(numbers, 23);
    EXPECT_EQ(names, 0);
}

}  // namespace
}  // namespace tombra::batch
