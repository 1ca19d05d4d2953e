#include <gtest/gtest.h>

#include "sheet/SpreadsheetHost.h"
#include "sheet/Workbook.h"
#include "sheet/WorkbookError.h"
#include "sheet/ZipPackage.h"
#include "support/TestFiles.h"

namespace tombra::sheet {
namespace {

using test::blankWorkbook;
using test::TempDir;

std::filesystem::path copyBlank(const TempDir& dir, const std::string& name = "大会.xlsx") {
    std::filesystem::path path = dir / name;
    std::filesystem::copy_file(test::testData("blank.xlsx"), path);
    return path;
}

TEST(WorkbookSave, SheetsNoCommandTouchedAreWrittenBackByteForByte) {
    TempDir dir;
    std::filesystem::path path = copyBlank(dir);
    std::string before = test::packagePart(path, "xl/worksheets/sheet2.xml");
    {
        auto wb = Workbook::open(path);
        EXPECT_EQ(wb->sheet("別シート").text(1, 1), "そのまま");  // read, not changed
        wb->sheet("Sheet1").setText(1, 1, "変更");
        wb->save();
    }
    EXPECT_EQ(test::packagePart(path, "xl/worksheets/sheet2.xml"), before);
    EXPECT_EQ(Workbook::open(path)->sheet("Sheet1").text(1, 1), "変更");
}

TEST(WorkbookSave, SharedStringsOfUntouchedSheetsKeepTheirNumbers) {
    TempDir dir;
    std::filesystem::path path = copyBlank(dir);
    {
        auto wb = Workbook::open(path);
        for (int r = 1; r <= 20; ++r)
            wb->sheet("別シート").setText(r, 2, "選手" + std::to_string(r));
        for (int r = 1; r <= 20; ++r)
            wb->sheet("Sheet1").setText(r, 1, "第" + std::to_string(r) + "高校");
        wb->save();
    }
    std::string untouched = test::packagePart(path, "xl/worksheets/sheet2.xml");
    {
        auto wb = Workbook::open(path);
        // Rewrite the other sheet with new and reordered texts.
        for (int r = 1; r <= 20; ++r)
            wb->sheet("Sheet1").setText(r, 1, "新" + std::to_string(21 - r));
        wb->sheet("Sheet1").clear("A5:A10");
        wb->save();
    }
    EXPECT_EQ(test::packagePart(path, "xl/worksheets/sheet2.xml"), untouched);
    auto wb = Workbook::open(path);
    for (int r = 1; r <= 20; ++r)
        EXPECT_EQ(wb->sheet("別シート").text(r, 2), "選手" + std::to_string(r));
    EXPECT_EQ(wb->sheet("Sheet1").text(1, 1), "新20");
    EXPECT_EQ(wb->sheet("Sheet1").text(5, 1), "");
}

TEST(WorkbookSave, SavingUnderANewNameLeavesTheOldFileAndMovesThePath) {
    TempDir dir;
    std::filesystem::path path = copyBlank(dir);
    std::string original = test::readFile(path);
    auto wb = Workbook::open(path);
    wb->sheet("Sheet1").setText(1, 1, "x");
    EXPECT_TRUE(wb->hasUnsavedChanges());
    wb->saveAs(dir / "写し.xlsx");
    EXPECT_EQ(wb->path(), dir / "写し.xlsx");
    EXPECT_FALSE(wb->hasUnsavedChanges());
    EXPECT_EQ(test::readFile(path), original);
    EXPECT_EQ(Workbook::open(dir / "写し.xlsx")->sheet("Sheet1").text(1, 1), "x");
    // A second save of the same content after a further change still works from the new file.
    wb->sheet("Sheet1").setText(2, 1, "y");
    wb->save();
    auto again = Workbook::open(dir / "写し.xlsx");
    EXPECT_EQ(again->sheet("Sheet1").text(1, 1), "x");
    EXPECT_EQ(again->sheet("Sheet1").text(2, 1), "y");
}

TEST(WorkbookSheets, NewSheetsGoAfterTheLastWithValidNames) {
    auto wb = blankWorkbook();
    wb->addSheet("男子Ｓ").setText(1, 1, "a");
    wb->addSheet("男子ＳＴＢ");
    for (const char* bad : {"", "a/b", "a[1]", "?", "'x'", "1234567890123456789012345678901X"})
        EXPECT_THROW(wb->addSheet(bad), WorkbookError) << bad;
    EXPECT_THROW(wb->addSheet("sheet1"), WorkbookError) << "names differ in more than case";
    auto again = Workbook::fromBytes(wb->serialize());
    EXPECT_EQ(again->sheetNames(),
              (std::vector<std::string>{"Sheet1", "別シート", "男子Ｓ", "男子ＳＴＢ"}));
    EXPECT_EQ(again->sheet("男子Ｓ").text(1, 1), "a");
    EXPECT_EQ(again->findSheet("SHEET1"), &again->sheet("Sheet1"));
    EXPECT_EQ(again->findSheet("女子Ｓ"), nullptr);
    EXPECT_THROW(again->sheet("女子Ｓ"), WorkbookError);
}

TEST(WorkbookSheets, ActivatingASheetLeavesExactlyOneSelectedTab) {
    auto wb = blankWorkbook();
    wb->addSheet("男子Ｓ");
    wb->activate("男子Ｓ");
    auto again = Workbook::fromBytes(wb->serialize());
    EXPECT_EQ(again->activeSheetName(), "男子Ｓ");
    int selected = 0;
    for (const std::string& n : again->sheetNames()) selected += again->sheet(n).tabSelected();
    EXPECT_EQ(selected, 1);
    EXPECT_TRUE(again->sheet("男子Ｓ").tabSelected());
}

class RecordingObserver : public HostObserver {
  public:
    void printRequested(Workbook&, Worksheet& sheet) override { printed.push_back(sheet.name()); }
    void previewRequested(Workbook&, Worksheet& sheet) override {
        previewed.push_back(sheet.name());
    }
    std::vector<std::string> printed, previewed;
};

TEST(SpreadsheetHost, AttachingAgainReturnsTheSameWorkbookWithItsUnsavedChanges) {
    TempDir dir;
    std::filesystem::path path = copyBlank(dir);
    SpreadsheetHost host;
    EXPECT_FALSE(host.announceRunningHost());
    EXPECT_TRUE(host.start());
    Workbook& first = host.attach(path);
    EXPECT_FALSE(host.visible());
    EXPECT_TRUE(host.workbookWindowVisible());
    first.sheet("Sheet1").setText(1, 1, "未保存");
    Workbook& second = host.attach(dir / "." / "大会.xlsx");
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(second.sheet("Sheet1").text(1, 1), "未保存");

    // Changed on disk while memory holds an unsaved change: memory wins.
    auto other = Workbook::open(path);
    other->sheet("Sheet1").setText(1, 1, "他のプログラム");
    other->save();
    EXPECT_EQ(host.attach(path).sheet("Sheet1").text(1, 1), "未保存");

    host.quit();
    EXPECT_FALSE(host.running());
    EXPECT_EQ(host.attach(path).sheet("Sheet1").text(1, 1), "他のプログラム")
        << "quit drops unsaved changes";
}

// Saved under another name, a workbook is held under that name: the old name opens the old
// file again, and a workbook held under the new name, whose file was replaced, goes.
TEST(SpreadsheetHost, SaveAsMovesTheWorkbookToItsNewName) {
    TempDir dir;
    const std::filesystem::path path = copyBlank(dir), copy = dir / "写し.xlsx";
    std::filesystem::copy_file(path, copy);
    SpreadsheetHost host;
    Workbook& stale = host.attach(copy);
    Workbook& wb = host.attach(path);
    wb.sheet("Sheet1").setText(1, 1, "新");
    host.saveAs(wb, copy);
    EXPECT_EQ(host.held(copy), &wb);
    EXPECT_EQ(host.held(path), nullptr);
    EXPECT_EQ(host.workbooks().size(), 1u) << "the copy's old workbook " << &stale << " went";
    EXPECT_EQ(host.attach(path).sheet("Sheet1").text(1, 1), "");
    host.close(*host.held(path));
    EXPECT_EQ(host.workbooks(), std::vector<Workbook*>{&wb});
}

TEST(SpreadsheetHost, ACleanWorkbookIsReloadedWhenItsFileChanged) {
    TempDir dir;
    std::filesystem::path path = copyBlank(dir);
    SpreadsheetHost host;
    EXPECT_EQ(host.attach(path).sheet("Sheet1").text(1, 1), "");
    auto other = Workbook::open(path);
    other->sheet("Sheet1").setText(1, 1, "外で変更");
    other->save();
    EXPECT_EQ(host.attach(path).sheet("Sheet1").text(1, 1), "外で変更");
}

TEST(SpreadsheetHost, PrintAndPreviewGoToTheShellAndMissingFilesAreReported) {
    TempDir dir;
    std::filesystem::path path = copyBlank(dir);
    SpreadsheetHost host;
    RecordingObserver shell;
    host.printSheet(host.attach(path), host.attach(path).sheet("Sheet1"));  // no shell: nothing
    host.setObserver(&shell);
    Workbook& wb = host.attach(path);
    host.printSheet(wb, wb.sheet("別シート"));
    host.previewSheet(wb, wb.sheet("Sheet1"));
    EXPECT_EQ(shell.printed, std::vector<std::string>{"別シート"});
    EXPECT_EQ(shell.previewed, std::vector<std::string>{"Sheet1"});
    try {
        host.attach(dir / "ない.xlsx");
        ADD_FAILURE() << "a missing file was attached";
    } catch (const WorkbookError& e) {
        EXPECT_NE(std::string(e.what()).find("見つかりません"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace tombra::sheet
