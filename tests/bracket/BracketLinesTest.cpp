#include <gtest/gtest.h>

#include "bracket/BracketLines.h"
#include "bracket/LineDecomposition.h"
#include "bracket/RoundConnector.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "state/TournamentState.h"
#include "support/TestFiles.h"

namespace tombra::bracket {
namespace {

using sheet::xl::EdgeBottom;
using sheet::xl::EdgeLeft;
using sheet::xl::EdgeRight;
using sheet::xl::EdgeTop;

struct Lines : ::testing::Test {
    std::unique_ptr<sheet::Workbook> wb = tombra::test::blankWorkbook();
    sheet::Worksheet& ws = wb->sheet("Sheet1");

    bool edge(int row, int column, int e) { return ws.format(row, column).edge(e).present(); }
    // A horizontal line on the boundary under `row`, stored on either cell.
    bool lineUnder(int row, int column) {
        return edge(row, column, EdgeBottom) || edge(row + 1, column, EdgeTop);
    }
    int marks(int firstRow, int lastRow, int firstColumn, int lastColumn) {
        int n = 0;
        for (int r = firstRow; r <= lastRow; ++r)
            for (int c = firstColumn; c <= lastColumn; ++c) n += ws.text(r, c) == kMatchMark;
        return n;
    }
};

// Whatever the group, on either half: every player's line leaves the name column, every match
// mark sits on a vertical line joining its row and the next, an outer match hands its winner
// on into the inner column, and a group of n players holds n - 1 matches.
TEST_F(Lines, EveryGroupJoinsItsPlayersOnBothHalves) {
    for (Side side : {Side::Left, Side::Right}) {
        const int outer = lineColumn(side, 7), inner = lineColumn(side, 8);
        const int joinEdge = side == Side::Left ? EdgeRight : EdgeLeft;
        for (int code : {2, -2, 3, -3, -4}) {
            ws.clear(sheet::Area::wholeSheet());
            const int r = 5;
            LinePen pen(ws, side);
            drawGroup(pen, code, r, 0);
            const int players = groupRows(code) / 2;
            SCOPED_TRACE("code " + std::to_string(code));
            for (int i = 0; i < players; ++i)
                EXPECT_TRUE(lineUnder(r + 2 * i, outer)) << "player " << i + 1;
            EXPECT_EQ(marks(r, r + 2 * players, 1, 30), players - 1);
            for (int row = r; row < r + 2 * players; ++row)
                for (int c : {outer, inner}) {
                    if (ws.text(row, c) != kMatchMark) continue;
                    EXPECT_TRUE(edge(row, c, joinEdge) && edge(row + 1, c, joinEdge))
                        << "mark at " << row << "," << c;
                    // A lone pair's winner is carried on by the round connector.
                    if (c == outer && code != -2) {
                        EXPECT_TRUE(lineUnder(row, inner)) << "winner of " << row;
                    }
                }
            // Lines are drawn in the half's own two columns, nothing beyond.
            const int beyond = lineColumn(side, 9);
            for (int row = r; row < r + 2 * players; ++row)
                EXPECT_FALSE(ws.format(row, beyond).edge(EdgeBottom).present());
            const sheet::BorderLine line = ws.format(r, outer).edge(EdgeBottom);
            EXPECT_EQ(line.colorIndex, 25);
            EXPECT_EQ(line.weight, sheet::xl::Thin);
            EXPECT_EQ(line.lineStyle, sheet::xl::Continuous);
        }
    }
}

TEST_F(Lines, ALoneSuperSeedRunsToItsStartingRound) {
    LinePen left(ws, Side::Left);
    drawGroup(left, 1, 3, 4);
    EXPECT_TRUE(lineUnder(3, 7) && lineUnder(3, 8) && lineUnder(3, 9));
    EXPECT_EQ(ws.text(3, 9), kSuperSeedMark);

    LinePen right(ws, Side::Right);
    drawGroup(right, 1, 9, 3);
    EXPECT_TRUE(lineUnder(9, 21) && lineUnder(9, 20));
    EXPECT_FALSE(lineUnder(9, 19));
    EXPECT_EQ(ws.text(9, 20), kSuperSeedMark);

    drawGroup(left, 1, 15, 0);  // no super seeds set: nothing to draw
    EXPECT_FALSE(lineUnder(15, 7));
}

TEST(RoundConnector, MidpointRoundsHalvesToEven) {
    EXPECT_EQ(midpointRow(4, 7), 6);  // 5.5
    EXPECT_EQ(midpointRow(5, 8), 6);  // 6.5
    EXPECT_EQ(midpointRow(4, 8), 6);
    EXPECT_EQ(midpointRow(3, 4), 4);  // 3.5
}

struct Connector : Lines {
    TournamentState s;
    void tables(std::initializer_list<int> sizes, int entries) {
        int t = 0;
        for (int n : sizes) s.TableSize(++t) = static_cast<Integer>(n);
        s.TableCount = static_cast<Integer>(t);
        s.EntryCount = static_cast<Integer>(entries);
    }
};

TEST_F(Connector, PairsMarksAcrossTablesUntilOneLineIsLeft) {
    // Four pairs of a 16-entry bracket on the left half: the matches play in G.
    tables({2, 2, 2, 2}, 16);
    for (int row : {4, 8, 12, 16}) ws.setText(row, 7, kMatchMark);
    connectRounds(s, ws, Side::Left, 1, 4, 1);
    EXPECT_EQ(ws.text(6, 8), kMatchMark);
    EXPECT_EQ(ws.text(14, 8), kMatchMark);
    EXPECT_EQ(ws.text(10, 9), kMatchMark);
    for (int row = 5; row <= 8; ++row) EXPECT_TRUE(edge(row, 8, EdgeRight)) << row;
    EXPECT_TRUE(lineUnder(4, 8) && lineUnder(8, 8));
    EXPECT_TRUE(lineUnder(10, 10));  // the half's final line
    EXPECT_FALSE(lineUnder(10, 11));
    EXPECT_EQ(marks(1, 20, 10, 14), 0);
}

TEST_F(Connector, RightHalfWalksLeftwardsWithLeftEdgesAndTakesUpSuperSeeds) {
    // Not a full bracket: the connector starts in the inner column T. A super seed waits in T.
    tables({3, 1}, 12);
    ws.setText(4, 20, kMatchMark);
    ws.setText(9, 20, kSuperSeedMark);
    connectRounds(s, ws, Side::Right, 1, 2, 1);
    EXPECT_EQ(ws.text(9, 20), "");          // the super seed's mark is used up
    EXPECT_EQ(ws.text(6, 19), kMatchMark);  // 4 + 5/2 = 6.5 -> 6
    for (int row = 5; row <= 9; ++row) EXPECT_TRUE(edge(row, 19, EdgeLeft)) << row;
    EXPECT_FALSE(edge(5, 19, EdgeRight));
    EXPECT_TRUE(lineUnder(6, 18));
}

TEST_F(Connector, AHalfTooLargeForItsColumnsStopsAtTheCentre) {
    // 128 matches in H: six pairings fill I..N and leave two matches in N, which the left
    // half cannot join without drawing into the right half's columns.
    tables({128, 128}, 300);
    for (int row = 3; row < 3 + 512; row += 4) ws.setText(row, 8, kMatchMark);
    connectRounds(s, ws, Side::Left, 1, 2, 1);
    EXPECT_EQ(marks(1, 520, 14, 14), 2);
    for (int row = 1; row <= 520; ++row) EXPECT_FALSE(lineUnder(row, 15)) << row;
}

}  // namespace
}  // namespace tombra::bracket
