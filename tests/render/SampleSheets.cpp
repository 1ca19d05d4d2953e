#include "SampleSheets.h"

#include <string>
#include <vector>

namespace tombra::render::test {

namespace xl = sheet::xl;

void drawBracketAndLeague(sheet::Worksheet& ws) {
    const sheet::BorderChange thin{xl::Continuous, xl::Thin, 1};
    const sheet::BorderChange thickNavy{xl::Continuous, xl::Thick, 25};
    const std::string gothic = "ＭＳ Ｐゴシック";

    ws.setText(1, 2, "第１回 秋季大会　男子シングルス");
    ws.merge("B1:H1");
    ws.setHorizontalAlignment("B1", xl::HAlignCenter);
    ws.setFont("B1", {.name = gothic, .size = 14, .bold = true});
    ws.setColumnWidth("A:A", 3);
    ws.setColumnWidth("B:B", 12);
    ws.setColumnWidth("C:C", 10);
    ws.setColumnWidth("D:H", 4);

    const std::vector<std::string> names{"山田 太郎", "鈴木 一郎", "佐藤 花子", "高橋 健",
                                         "田中 美咲", "伊藤 翔",   "渡辺 拓海", "中村 葵"};
    const std::vector<std::string> schools{"(第一高校)", "(南高校)", "(北高校)", "(東高校)",
                                           "(西高校)",   "(中央高)", "(港高校)", "(桜高校)"};
    std::vector<int> rows;
    for (int i = 0; i < 8; ++i) {
        const int r = 3 + 2 * i;
        rows.push_back(r);
        ws.setNumber(r, 1, i + 1);
        ws.setText(r, 2, names[static_cast<size_t>(i)]);
        ws.setText(r, 3, schools[static_cast<size_t>(i)]);
    }
    ws.setHorizontalAlignment("B3:B17", xl::HAlignDistributed);
    ws.setFont("A3:C17", {.name = gothic});

    // Each round joins pairs of lines with a vertical line and leads out from its middle.
    int column = 4;
    while (rows.size() > 1) {
        std::vector<int> next;
        for (size_t i = 0; i + 1 < rows.size(); i += 2) {
            const int a = rows[i], b = rows[i + 1];
            ws.setBorder(sheet::Area::cell(a, column), xl::EdgeBottom, thin);
            ws.setBorder(sheet::Area::cell(b, column), xl::EdgeBottom, thin);
            ws.setBorder(sheet::Area{a + 1, column, b, column}, xl::EdgeRight, thin);
            next.push_back((a + b) / 2);
        }
        rows = next;
        ++column;
    }
    ws.setBorder(sheet::Area::cell(rows.front(), column), xl::EdgeBottom, thin);
    // Player 1 won the first match.
    ws.setBorder("D3", xl::EdgeBottom, thickNavy);
    ws.setBorder("D4", xl::EdgeRight, thickNavy);
    ws.setBorder("E4", xl::EdgeBottom, thickNavy);

    ws.addPageBreakBefore(20);
    ws.setText(20, 2, "予選リーグ Ａ");
    ws.setFont("B20", {.name = gothic, .size = 12, .bold = true});
    const std::vector<std::string> header{"", "山田", "鈴木", "佐藤", "勝", "順位"};
    for (size_t i = 0; i < header.size(); ++i) ws.setText(21, static_cast<int>(2 + i), header[i]);
    for (int i = 0; i < 3; ++i) {
        ws.setText(22 + i, 2, names[static_cast<size_t>(i)]);
        ws.setNumber(22 + i, 6, 2 - i);
        ws.setNumber(22 + i, 7, i + 1);
    }
    ws.setText(22, 4, "○\n3-1");
    ws.setText(22, 5, "○\n3-0");
    ws.setText(23, 3, "●\n1-3");
    ws.setText(24, 3, "●\n0-3");
    ws.setRowHeight("22:24", 30);
    ws.setAlignment("C21:G24", {xl::HAlignCenter, xl::VAlignCenter, true});
    ws.setFont("B21:G24", {.name = gothic});
    ws.setAllBorders("B21:G24", thin);
    ws.setBorder("B21:G21", xl::EdgeBottom, {xl::Double, xl::Thick, 1});
}

}  // namespace tombra::render::test
