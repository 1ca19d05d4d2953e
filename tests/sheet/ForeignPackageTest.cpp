// Packages written by other programs in forms our own writer never uses.
#include <gtest/gtest.h>

#include "sheet/Workbook.h"
#include "sheet/ZipPackage.h"
#include "support/TestFiles.h"

namespace tombra::sheet {
namespace {

std::string blankWith(const std::string& part, const std::string& xml) {
    ZipPackage package(test::readFile(test::testData("blank.xlsx")));
    package.write(part, xml);
    return package.save();
}

TEST(ForeignPackages, PrefixedElementsAreReadAndWrittenWithTheirPrefix) {
    const std::string sheet =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<x:sheetData><x:row r=\"2\"><x:c r=\"B2\" "
        "t=\"inlineStr\"><x:is><x:t>外部</x:t></x:is></x:c>"
        "<x:c r=\"C2\"><x:v>7</x:v></x:c></x:row></x:sheetData></x:worksheet>";
    auto wb = Workbook::fromBytes(blankWith("xl/worksheets/sheet1.xml", sheet));
    Worksheet& ws = wb->sheet("Sheet1");
    EXPECT_EQ(ws.text(2, 2), "外部");
    EXPECT_EQ(ws.value(2, 3), CellValue::number(7));
    ws.setText(3, 1, "追加");
    ws.merge("A4:B4");
    std::string bytes = wb->serialize();
    std::string written = ZipPackage(bytes).read("xl/worksheets/sheet1.xml");
    EXPECT_EQ(written.find("<row"), std::string::npos)
        << "no element may lose the document's prefix";
    EXPECT_EQ(written.find("<mergeCells"), std::string::npos);
    auto again = Workbook::fromBytes(bytes);
    EXPECT_EQ(again->sheet("Sheet1").text(3, 1), "追加");
    EXPECT_EQ(again->sheet("Sheet1").text(2, 2), "外部");
    EXPECT_EQ(again->sheet("Sheet1").mergedAreas().size(), 1u);
}

TEST(ForeignPackages, AFormulaWhoseResultWasNeverStoredReadsEmptyButSaysSo) {
    // As written by programs that do not calculate.
    const std::string sheet =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
        "<row r=\"1\"><c r=\"A1\"><f>C1+1</f></c><c r=\"B1\" t=\"str\"><f>C1</f></c>"
        "<c r=\"C1\"><f>D1+1</f><v>3</v></c><c r=\"D1\" s=\"0\"/><c r=\"E1\"><v>4</v></c>"
        "</row></sheetData></worksheet>";
    auto wb = Workbook::fromBytes(blankWith("xl/worksheets/sheet1.xml", sheet));
    const std::vector<std::pair<CellValue, bool>> expected = {{CellValue(), true},
                                                              {CellValue(), true},
                                                              {CellValue::number(3), false},
                                                              {CellValue(), false},
                                                              {CellValue::number(4), false}};
    auto check = [&](Worksheet& ws, int changed) {
        for (int c = 1; c <= static_cast<int>(expected.size()); ++c) {
            if (c == changed) continue;
            const CellValue v = ws.value(1, c);
            SCOPED_TRACE("column " + std::to_string(c));
            EXPECT_EQ(v.isFormulaWithoutValue(), expected[static_cast<size_t>(c - 1)].second);
            EXPECT_EQ(v.kind(), expected[static_cast<size_t>(c - 1)].first.kind());
            EXPECT_EQ(v.asText(), expected[static_cast<size_t>(c - 1)].first.asText());
        }
    };
    check(wb->sheet("Sheet1"), 0);
    // Kept through a save of the sheet; a cell written over holds what was written.
    wb->sheet("Sheet1").setText(1, 2, "書いた");
    auto again = Workbook::fromBytes(wb->serialize());
    check(again->sheet("Sheet1"), 2);
    EXPECT_EQ(again->sheet("Sheet1").value(1, 2), CellValue::text("書いた"));
}

TEST(ForeignPackages, EscapesLineEndsAndRichTextOfOtherWritersReadAsPlainText) {
    // Shared strings as the spreadsheet writes them: "_x000D_" for CR, runs, phonetic hints.
    const std::string strings =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"3\" "
        "uniqueCount=\"3\">"
        "<si><t>名前_x000D_\n(所属)</t></si>"
        "<si><r><rPr><b/></rPr><t>太</t></r><r><t xml:space=\"preserve\">郎 </t></r></si>"
        "<si><t>山田</t><rPh sb=\"0\" eb=\"2\"><t>ヤマダ</t></rPh></si></sst>";
    const std::string sheet =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
        "<c r=\"C1\" t=\"s\"><v>2</v></c><c r=\"D1\" "
        "t=\"str\"><f>A1&amp;\"x\"</f><v>&#13;y</v></c></row>"
        "</sheetData></worksheet>";
    ZipPackage package(test::readFile(test::testData("blank.xlsx")));
    package.write("xl/worksheets/sheet1.xml", sheet);
    package.write("xl/sharedStrings.xml", strings);
    std::string rels = package.read("xl/_rels/workbook.xml.rels");
    rels.insert(
        rels.rfind("</Relationships>"),
        "<Relationship Id=\"rIdS\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>");
    package.write("xl/_rels/workbook.xml.rels", rels);
    auto wb = Workbook::fromBytes(package.save());
    Worksheet& ws = wb->sheet("Sheet1");
    EXPECT_EQ(ws.text(1, 1), "名前\r\n(所属)");
    EXPECT_EQ(ws.text(1, 2), "太郎 ");
    EXPECT_EQ(ws.text(1, 3), "山田") << "phonetic hints are not part of the text";
    EXPECT_EQ(ws.text(1, 4), "\ry");

    // Editing another cell keeps the formula and the rich entry as they were.
    ws.setText(2, 1, "太郎 ");
    auto again = Workbook::fromBytes(wb->serialize());
    std::string written = ZipPackage(again->serialize()).read("xl/worksheets/sheet1.xml");
    EXPECT_NE(written.find("<f>A1&amp;\"x\"</f>"), std::string::npos) << written;
    EXPECT_EQ(again->sheet("Sheet1").text(1, 2), "太郎 ");
    EXPECT_EQ(again->sheet("Sheet1").text(2, 1), "太郎 ");
    EXPECT_EQ(again->sheet("Sheet1").text(1, 4), "\ry");
}

}  // namespace
}  // namespace tombra::sheet
