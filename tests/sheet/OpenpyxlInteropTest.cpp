// Workbooks made by another program are opened, edited and saved by ours, and that program
// reads back everything we wrote and finds everything else as it was.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "sheet/Workbook.h"
#include "sheet/ZipPackage.h"
#include "support/TestFiles.h"

namespace tombra::sheet {
namespace {

using nlohmann::json;
using test::runPython;
using test::TempDir;

json dump(const std::filesystem::path& workbook) {
    return json::parse(runPython("dump_workbook.py", test::quoted(workbook)));
}

class OpenpyxlInterop : public ::testing::Test {
  protected:
    void SetUp() override {
        runPython("make_organiser_workbook.py", test::quoted(source));
        before = dump(source);
        ASSERT_TRUE(before.contains("data"));
    }

    // Writes what the bracket and league writers write, in an edited and a new sheet.
    void edit(Workbook& wb) {
        Worksheet& entries = wb.sheet("男子");
        entries.setText(13, 2, "山田　太郎\r\n(第1高校)");
        entries.setNumber(13, 3, 12.03);
        entries.setBorder("D13", xl::EdgeLeft, {xl::Continuous, xl::Thin, 1});
        entries.setBorder("D13", xl::EdgeTop, {xl::Continuous, xl::Thick, 25});
        entries.setBorder("D13", xl::EdgeBottom, {xl::Continuous, xl::Thin, 3});
        entries.setBorder("D13", xl::EdgeRight, {xl::Continuous, xl::Thick, 5});
        entries.setFont("B13", {.name = "MS P明朝", .size = 14.0, .bold = true, .colorIndex = 3});
        entries.setHorizontalAlignment("B13", xl::HAlignDistributed);
        entries.setVerticalAlignment("B13", xl::VAlignCenter);
        entries.setHorizontalAlignment("C13", xl::HAlignRight);
        entries.merge("E13:F14");
        entries.setColumnWidth("D:D", 3);
        entries.setRowHeight("13:13", 27);
        entries.addPageBreakBefore(40);

        Worksheet& summary = wb.sheet("基礎Ｄ");
        summary.setNumber(3, 2, 5);

        Worksheet& bracket = wb.addSheet("男子Ｓ");
        bracket.setText(1, 1, "男子シングルス");
        bracket.setFont("A1", {.size = 16.0, .bold = true});
        bracket.setBorder("G3:G4", xl::EdgeRight, {xl::Continuous, xl::Thin, 25});
        bracket.setText(3, 7, "○");
        // A league table's own cells: crossed out from top left to bottom right.
        bracket.setBorder("C5:D6", xl::DiagonalDown, {xl::Continuous, {}, {}});
        bracket.setBorder("D6", xl::DiagonalDown, {xl::LineStyleNone, {}, {}});
    }

    TempDir dir;
    std::filesystem::path source = dir / "大会.xlsx";
    std::filesystem::path saved = dir / "保存.xlsx";
    json before;
};

TEST_F(OpenpyxlInterop, EverythingWeWriteReadsBackInTheOtherProgram) {
    {
        auto wb = Workbook::open(source);
        edit(*wb);
        wb->saveAs(saved);
    }
    json after = dump(saved);
    EXPECT_EQ(after["sheets"], json({"男子", "集計", "基礎Ｄ", "男子Ｓ"}));
    const json& cells = after["data"]["男子"]["cells"];

    const json& name = cells["B13"];
    EXPECT_EQ(name["value"], "山田　太郎\r\n(第1高校)");
    EXPECT_EQ(name["wrap"], true);
    EXPECT_EQ(name["font"]["name"], "MS P明朝");
    EXPECT_EQ(name["font"]["size"], 14.0);
    EXPECT_EQ(name["font"]["bold"], true);
    EXPECT_EQ(name["font"]["color"], json({{"indexed", 10}})) << "colour index 3 is indexed 10";
    EXPECT_EQ(name["horizontal"], "distributed");
    EXPECT_EQ(name["vertical"], "center");

    EXPECT_EQ(cells["C13"]["value"], 12.03);
    EXPECT_EQ(cells["C13"]["horizontal"], "right");

    const json& ruled = cells["D13"];
    EXPECT_EQ(ruled["left"], json({{"style", "thin"}, {"color", {{"indexed", 8}}}}));
    EXPECT_EQ(ruled["top"], json({{"style", "thick"}, {"color", {{"indexed", 32}}}}));
    EXPECT_EQ(ruled["bottom"], json({{"style", "thin"}, {"color", {{"indexed", 10}}}}));
    EXPECT_EQ(ruled["right"], json({{"style", "thick"}, {"color", {{"indexed", 12}}}}));

    const json& sheet = after["data"]["男子"];
    json merges = before["data"]["男子"]["merges"];
    merges.push_back("E13:F14");
    std::sort(merges.begin(), merges.end());
    EXPECT_EQ(sheet["merges"], merges);
    // Three characters of an 11-point Calibri (7-pixel digits): (3 × 7 + 5) / 7, in 1/256.
    EXPECT_EQ(sheet["widths"]["D"], std::trunc((3 * 7 + 5) / 7.0 * 256) / 256);
    EXPECT_EQ(sheet["widths"]["B"], 18) << "an untouched width stays";
    EXPECT_EQ(sheet["heights"]["13"], 27);
    EXPECT_EQ(sheet["row_breaks"], json({39}));

    const json& bracket = after["data"]["男子Ｓ"]["cells"];
    EXPECT_EQ(bracket["A1"]["value"], "男子シングルス");
    EXPECT_EQ(bracket["A1"]["font"]["size"], 16.0);
    EXPECT_EQ(bracket["G3"]["right"], json({{"style", "thin"}, {"color", {{"indexed", 32}}}}));
    EXPECT_EQ(bracket["G4"]["right"], bracket["G3"]["right"]);
    EXPECT_EQ(bracket["G3"]["value"], "○");
    for (const char* crossed : {"C5", "D5", "C6"}) {
        ASSERT_TRUE(bracket.contains(crossed)) << crossed;
        EXPECT_EQ(bracket[crossed]["diagonal_down"].value("style", ""), "thin") << crossed;
    }
    EXPECT_TRUE(!bracket.contains("D6") || bracket["D6"]["diagonal_down"].is_null())
        << "taken off again";
    EXPECT_EQ(after["data"]["基礎Ｄ"]["cells"]["B3"]["value"], 5);
}

TEST_F(OpenpyxlInterop, WhatWeDidNotTouchIsUnchanged) {
    {
        auto wb = Workbook::open(source);
        edit(*wb);
        wb->saveAs(saved);
    }
    json after = dump(saved);

    // An untouched sheet: the same in the other program's eyes and the same bytes.
    EXPECT_EQ(after["data"]["集計"], before["data"]["集計"]);
    ZipPackage original(test::readFile(source)), written(test::readFile(saved));
    for (const char* part :
         {"xl/worksheets/sheet2.xml", "xl/theme/theme1.xml", "docProps/core.xml"})
        EXPECT_EQ(written.read(part), original.read(part)) << part;

    // The edited sheet keeps formulas, number formats, fills, fonts, validation and widths.
    json edited = after["data"]["男子"];
    json old = before["data"]["男子"];
    for (auto& [ref, cell] : old["cells"].items()) EXPECT_EQ(edited["cells"][ref], cell) << ref;
    EXPECT_EQ(edited["cells"]["F2"]["value"], "=SUM(A2:A11)");
    EXPECT_EQ(edited["cells"]["G2"]["number_format"], "0.0%");
    EXPECT_EQ(edited["validations"], old["validations"]);
    for (auto& [ref, cell] : before["data"]["基礎Ｄ"]["cells"].items()) {
        if (ref != "B3") {
            EXPECT_EQ(after["data"]["基礎Ｄ"]["cells"][ref], cell) << ref;
        }
    }
}

TEST_F(OpenpyxlInterop, OurOwnSaveReadsBackInOurEngine) {
    {
        auto wb = Workbook::open(source);
        edit(*wb);
        wb->saveAs(saved);
    }
    auto wb = Workbook::open(saved);
    Worksheet& entries = wb->sheet("男子");
    EXPECT_EQ(entries.text(2, 2), "選手02　太郎");  // an inline string of the other program
    EXPECT_EQ(entries.text(13, 2), "山田　太郎\r\n(第1高校)");
    EXPECT_EQ(entries.value(2, 1), CellValue::number(1));
    EXPECT_EQ(entries.format(13, 4).edge(xl::EdgeTop).colorIndex, 25);
    EXPECT_EQ(wb->sheet("男子Ｓ").text(3, 7), "○");
    EXPECT_FALSE(wb->hasUnsavedChanges());
}

}  // namespace
}  // namespace tombra::sheet
