// A workbook written by the engine must open in another spreadsheet program and print: LibreOffice
// (headless) converts it to PDF, which must hold the Japanese texts and a new page where the
// manual page break is, and to flat OpenDocument, which shows how it understood the formats.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "sheet/CellFormat.h"
#include "sheet/Constants.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "support/LibreOffice.h"
#include "support/TestFiles.h"

namespace tombra::sheet {
namespace {

namespace fs = std::filesystem;

using test::findProgram;
using test::Finished;
using test::run;

// The text with every kind of blank removed: pdftotext spaces out distributed and centred
// cells, and CJK text has no blanks of its own.
std::string withoutBlanks(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f') continue;
        if (text.compare(i, 3, "\xE3\x80\x80") == 0) {  // ideographic space
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

// Every length that follows `attribute` in the document, in points ("0.5in", "1.27cm", "36pt").
std::vector<double> lengthsInPoints(const std::string& doc, const std::string& attribute) {
    std::vector<double> out;
    for (size_t at = doc.find(attribute); at != std::string::npos;
         at = doc.find(attribute, at + 1)) {
        const char* start = doc.c_str() + at + attribute.size();
        char* unit = nullptr;
        double value = std::strtod(start, &unit);
        const std::string u(unit, std::min<size_t>(2, std::strlen(unit)));
        if (u == "in")
            out.push_back(value * 72);
        else if (u == "cm")
            out.push_back(value * 72 / 2.54);
        else if (u == "mm")
            out.push_back(value * 72 / 25.4);
        else if (u == "pt")
            out.push_back(value);
    }
    return out;
}

const std::vector<std::string> kEntrants = {"山田 太郎\n（東高）", "鈴木 一郎\n（西高）",
                                            "高橋 健\n（南高）", "田中 誠\n（北高）"};

// The bracket sheet: a title, a table with borders and line-broken names, then a manual page
// break and a second part that must print on a later page.
void writeBracket(Worksheet& ws) {
    ws.setText(1, 1, "第一回 校内柔道大会");
    ws.merge("A1:D1");
    ws.setFont("A1:D1", FontChange{.name = "MS P明朝", .size = 16, .bold = true, .colorIndex = 3});
    ws.setHorizontalAlignment("A1:D1", xl::HAlignCenter);

    ws.setText(3, 1, "番号");
    ws.setText(3, 2, "氏名");
    ws.setText(3, 3, "所属");
    ws.setText(3, 4, "得点");
    ws.setFont("A3:D3", FontChange{.name = "MS P明朝", .bold = true});
    ws.setBorder("A3:D3", xl::EdgeBottom, BorderChange{xl::Continuous, xl::Thick, 25});
    for (int i = 0; i < static_cast<int>(kEntrants.size()); ++i) {
        const int row = 4 + i;
        ws.setNumber(row, 1, i + 1);
        ws.setText(row, 2, kEntrants[static_cast<size_t>(i)]);
        ws.setText(row, 3, i % 2 == 0 ? "柔道部" : "有志");
        ws.setNumber(row, 4, 10.5 * (i + 1));
    }
    for (int edge : {xl::EdgeLeft, xl::EdgeTop, xl::EdgeBottom, xl::EdgeRight})
        ws.setBorder("A4:D7", edge, BorderChange{xl::Continuous, xl::Thin, 1});
    ws.setBorder("A5:D5", xl::EdgeBottom, BorderChange{xl::Continuous, xl::Thin, 1});
    ws.setHorizontalAlignment("B4:B7", xl::HAlignDistributed);
    ws.setVerticalAlignment("A4:D7", xl::VAlignCenter);
    ws.setColumnWidth("A:A", 6);
    ws.setColumnWidth("B:B", 20);
    ws.setColumnWidth("C:D", 12);
    ws.setRowHeight("4:7", 36);

    ws.addPageBreakBefore(10);
    ws.setText(10, 1, "後半の組合せ");
    ws.setFont("A10", FontChange{.name = "MS P明朝", .size = 14, .bold = true});
    ws.setText(11, 2, "佐藤 花子\n（中央高）");
    ws.setRowHeight("11:11", 36);  // two lines; a row keeps its height unless it is given one
    ws.setBorder("A11:D11", xl::EdgeBottom, BorderChange{xl::Continuous, xl::Thick, 25});
}

class LibreOffice : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!converter_.available())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed; `make deps` installs it";
    }

    // The organiser's workbook as the commands would leave it, saved as taikai.xlsx.
    fs::path writeWorkbook() {
        const fs::path path = dir_ / "taikai.xlsx";
        auto wb = test::blankWorkbook();
        writeBracket(wb->addSheet("ヤグラ表"));
        Worksheet& league = wb->addSheet("リーグ表");
        league.setText(1, 1, "総当たり戦");
        league.setText(2, 1, "一組");
        league.setText(2, 2, "二組");
        league.setBorder("A2:B2", xl::EdgeBottom, BorderChange{xl::Continuous, xl::Thin, 1});
        wb->activate("ヤグラ表");
        wb->saveAs(path);
        // What LibreOffice is given is what the engine itself reads back.
        auto check = Workbook::open(path);
        EXPECT_EQ(check->sheet("ヤグラ表").pageBreakRows(), (std::vector<int>{10}));
        EXPECT_EQ(check->sheet("ヤグラ表").text(4, 2), kEntrants[0]);
        return path;
    }

    // Converts with LibreOffice; the converted file, or "" after a failure was recorded.
    fs::path convert(const fs::path& workbook, const std::string& format) {
        const auto started = std::chrono::steady_clock::now();
        std::string failure;
        const fs::path result = converter_.convert(workbook, format, failure);
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::steady_clock::now() - started)
                                 .count();
        EXPECT_TRUE(failure.empty()) << failure;
        EXPECT_LT(seconds, 60);
        return result;
    }

    test::TempDir dir_;
    test::LibreOfficeConverter converter_{dir_.path()};
};

TEST_F(LibreOffice, TheWorkbookPrintsToAPdfWithItsTextsAndANewPageAtTheManualBreak) {
    const std::string pdftotext = findProgram("pdftotext"), pdfinfo = findProgram("pdfinfo");
    if (pdftotext.empty() || pdfinfo.empty())
        GTEST_SKIP()
            << "poppler-utils (pdftotext, pdfinfo) are not installed; `make deps` installs them";
    const fs::path pdf = convert(writeWorkbook(), "pdf");
    ASSERT_FALSE(pdf.empty());
    const std::string pdfBytes = test::readFile(pdf);
    EXPECT_EQ(pdfBytes.substr(0, 5), "%PDF-");
    EXPECT_GT(pdfBytes.size(), 2000u);

    const int pages = test::pdfPageCount(pdf);
    EXPECT_GE(pages, 2);

    // Page by page, in the order the content was drawn (a distributed two-line cell would
    // otherwise come out with its lines interleaved).
    std::vector<std::string> pageTexts;
    for (int p = 1; p <= pages; ++p) {
        Finished text = run(test::quoted(pdftotext) + " -raw -enc UTF-8 -f " + std::to_string(p) +
                            " -l " + std::to_string(p) + " " + test::quoted(pdf) + " -");
        ASSERT_EQ(text.status, 0) << text.output;
        pageTexts.push_back(withoutBlanks(text.output));
    }
    auto pageOf = [&](const std::string& needle) {
        for (size_t i = 0; i < pageTexts.size(); ++i)
            if (pageTexts[i].find(withoutBlanks(needle)) != std::string::npos)
                return static_cast<int>(i) + 1;
        return 0;
    };
    std::string all;
    for (const std::string& t : pageTexts) all += "\n--- page ---\n" + t;

    const int title = pageOf("第一回 校内柔道大会"), second = pageOf("後半の組合せ");
    EXPECT_GT(title, 0) << all;
    EXPECT_GT(second, 0) << all;
    // Both parts would fit on one page; only the manual break puts the second on a later one.
    EXPECT_GT(second, title) << all;
    EXPECT_EQ(pageOf("佐藤 花子"), second) << all;
    EXPECT_EQ(pageOf("（中央高）"), second) << all;
    for (const char* text : {"山田 太郎", "（東高）", "鈴木 一郎", "（西高）", "田中 誠",
                             "（北高）", "柔道部", "得点", "31.5"})
        EXPECT_EQ(pageOf(text), title) << text << all;
    EXPECT_GT(pageOf("総当たり戦"), 0) << all;
    EXPECT_GT(pageOf("そのまま"), 0) << all;  // the sheet the engine copied without reading it
}

TEST_F(LibreOffice, ReadsTheFontsBordersAlignmentMergeAndBreakTheEngineWrote) {
    // The flat OpenDocument form shows how LibreOffice understood each format.
    const fs::path fods = convert(writeWorkbook(), "fods");
    ASSERT_FALSE(fods.empty());
    const std::string doc = test::readFile(fods);
    const size_t table = doc.find("table:name=\"ヤグラ表\"");
    ASSERT_NE(table, std::string::npos) << "the sheet is missing";
    for (const char* expected : {
             "style:font-name=\"MS P明朝\"",        // the font name, intact
             "fo:font-weight=\"bold\"",             //
             "fo:font-size=\"16pt\"",               //
             "fo:color=\"#ff0000\"",                // colour index 3
             "solid #000080\"",                     // colour index 25 on the thick lines
             "0.74pt solid #000000\"",              // thin lines in colour index 1
             "2.49pt solid #000080\"",              // thick lines
             "css3t:text-justify=\"distribute\"",   // distributed alignment
             "fo:wrap-option=\"wrap\"",             // line-broken texts wrap
             "table:number-columns-spanned=\"4\"",  // the title merged over A1:D1
             "fo:break-before=\"page\"",            // the manual page break
         })
        EXPECT_NE(doc.find(expected), std::string::npos) << expected;
    EXPECT_NE(doc.find("<text:p>山田 太郎</text:p><text:p>（東高）</text:p>", table),
              std::string::npos)
        << "the line break of a name is lost";
    // The rows of two-line names are 36 points high, in whatever unit LibreOffice writes.
    std::vector<double> heights = lengthsInPoints(doc, "style:row-height=\"");
    EXPECT_TRUE(std::any_of(heights.begin(), heights.end(), [](double pt) {
        return std::abs(pt - 36) < 0.2;
    })) << testing::PrintToString(heights);
}

}  // namespace
}  // namespace tombra::sheet
