#include <gtest/gtest.h>

#include <set>

#include "app/CommandMap.h"
#include "bracket/BracketFixture.h"
#include "sheet/CellAddress.h"
#include "sheet/Worksheet.h"

namespace tombra::lists {
namespace {

using Areas = std::set<std::string>;

using Blocks = std::vector<std::pair<int, int>>;  // first and last column of each

struct NameMerges : bracket::test::BracketFixture {
    sheet::Worksheet& bracketSheet() {
        return session.attachWorkbook()->sheet(session.bracketSheetName());
    }
    // The merges within the blocks, as A1 references; only those over a filled cell when asked.
    Areas merges(const Blocks& blocks, bool filledOnly = false) {
        sheet::Worksheet& ws = bracketSheet();
        Areas out;
        for (const sheet::Area& a : ws.mergedAreas())
            for (auto [first, last] : blocks)
                if (a.left >= first && a.right <= last &&
                    !(filledOnly && ws.value(a.top, a.left).isEmpty()))
                    out.insert(sheet::areaReference(a));
        return out;
    }
    void restore() {
        ASSERT_TRUE(app::runMenuItem(session, *app::findMenuItem("セル結合(&R)")));
        EXPECT_EQ(shell.messages.back(), "セル結合終了");
    }
};

// Over a two-page bracket, an individual and a team one: with every merge of the name
// blocks gone, the command brings back each that the builder made over a filled cell, and
// nothing else; a second run changes nothing, and no value moves.
TEST_F(NameMerges, BringsBackTheBuildersMergesOfFilledCellsOnly) {
    for (bool team : {false, true}) {
        SCOPED_TRACE(team ? "団体" : "シングルス");
        if (team) {
            event("男子", "団体", "Ｔ");
            path = dir / "団体.xlsx";
        }
        draw({5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5});
        seed(1, 1);
        writeWorkbook();
        build(1);
        // Left A..F and right V..AA; a team sheet has lost the school columns.
        const Blocks blocks = team ? Blocks{{1, 3}, {19, 21}} : Blocks{{1, 6}, {22, 27}};
        const Areas built = merges(blocks, true);
        ASSERT_GT(built.size(), 80u * (team ? 2 : 5));
        sheet::Worksheet& ws = bracketSheet();
        for (auto [first, last] : blocks)
            ws.setMergeCells(sheet::Area{1, first, sheet::kMaxRow, last}, false);
        ws.setText(3, 7, "線の欄");  // a filled cell outside the blocks stays unmerged

        restore();
        EXPECT_EQ(merges(blocks), built);
        const std::vector<sheet::Area> once = ws.mergedAreas();
        restore();
        EXPECT_EQ(ws.mergedAreas(), once);
        EXPECT_EQ(ws.text(3, 7), "線の欄");
        EXPECT_FALSE(ws.mergedAreaAt(3, 7));
    }
}

// Rows of names written by hand: ten empty name rows in a row are passed over, eleven end the
// half; a filled name merges only the filled cells of its row; a cell whose rows belong to
// another merge is left as it is and named in the log.
TEST_F(NameMerges, ARunOfElevenEmptyRowsEndsTheHalfAndOtherMergesStay) {
    draw({5, 5, 5, 5});
    writeWorkbook();
    sheet::Worksheet& ws = bracketSheet();
    ws.clear(sheet::Area::wholeSheet());
    for (int r : {1, 12, 24}) {  // 10 empty rows above 12, 11 above 24
        ws.setText(r, 3, "名" + std::to_string(r));
        ws.setText(r, 5, "校");
        ws.setText(r, 22, "右" + std::to_string(r));
    }
    ws.setText(12, 5, "");
    ws.setText(1, 2, "1");
    ws.setText(12, 26, "位置");
    ws.merge("Z13:Z14");
    ws.setText(13, 26, "下の結合");
    restore();
    EXPECT_EQ(merges({{1, 6}}), (Areas{"B1:B2", "C1:C2", "E1:E2", "C12:C13"}));
    EXPECT_EQ(merges({{22, 27}}), (Areas{"V1:V2", "V12:V13", "Z13:Z14"}));
    EXPECT_EQ(ws.text(13, 26), "下の結合");
    EXPECT_NE(session.log.text().find("Z12"), std::string::npos) << session.log.text();
}

}  // namespace
}  // namespace tombra::lists
