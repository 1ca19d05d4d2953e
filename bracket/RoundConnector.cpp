#include "bracket/RoundConnector.h"

#include <vector>

#include "bracket/BracketLines.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"
#include "state/TournamentState.h"

namespace tombra::bracket {

int midpointRow(int m1, int m2) { return static_cast<int>(roundToInteger(m1 + (m2 - m1) / 2.0)); }

namespace {

// True when a line of this row runs past column c: a super seed or a bye that waits for a later
// round. Two matches may not be joined across it, or their line would cross it.
bool runsPast(const sheet::Worksheet& sheet, Side side, int row, int c) {
    for (int later = c + 1; later < kCentreColumn; ++later)
        if (sheet.text(row, lineColumn(side, later)) == kSuperSeedMark) return true;
    return false;
}

// The finals of both halves may stand in the centre column, often a row apart. A label takes
// its row and the one below, so the second mark keeps two rows from the first, still on its
// line (rows m1 + 1 .. m2).
int freeCentreRow(const sheet::Worksheet& sheet, int at, int m1, int m2) {
    for (int other = at - 1; other <= at + 1; ++other) {
        if (sheet.text(other, kCentreColumn).empty()) continue;
        if (other + 2 <= m2) return other + 2;
        if (other - 2 > m1) return other - 2;
    }
    return at;
}

}  // namespace

void connectRounds(const TournamentState& s, sheet::Worksheet& sheet, Side side, int first,
                   int last, int topRow) {
    int rows = 0;
    for (int t = first; t <= last; ++t) rows += 2 * s.TableSize(t);
    const int firstRow = topRow + 1, lastRow = topRow + rows;

    LinePen pen(sheet, side);
    const int start = playsFromOuterColumn(s) ? kOuterLineColumn : kInnerLineColumn;
    // Columns are named in the left half's terms; the pen mirrors them. A half draws no
    // further than the centre column: what is still open there stays without a final line.
    for (int c = start; c < kCentreColumn; ++c) {
        const int onSheet = lineColumn(side, c);
        std::vector<int> pending;
        int marks = 0;
        bool later = false;  // some line still waits for a later column
        // An odd one out waits a round: a bye line, paired in the next column.
        auto carry = [&] {
            pen.bottom(pending[0], c + 1);
            pen.mark(pending[0], c + 1, kSuperSeedMark);
            pending.clear();
        };
        for (int row = firstRow; row <= lastRow; ++row) {
            if (runsPast(sheet, side, row, c)) {
                later = true;
                if (pending.size() == 1) carry();
            }
            const std::string text = sheet.text(row, onSheet);
            if (text == kSuperSeedMark)
                sheet.setText(row, onSheet, "");
            else if (text != kMatchMark)
                continue;
            pending.push_back(row);
            ++marks;
            if (pending.size() < 2) continue;
            const int m1 = pending[0], m2 = pending[1];
            pen.bottom(m1, c + 1);
            for (int x = m1 + 1; x <= m2; ++x) pen.right(x, c + 1);
            pen.bottom(m2, c + 1);
            const int at = midpointRow(m1, m2);
            pen.mark(c + 1 == kCentreColumn ? freeCentreRow(sheet, at, m1, m2) : at, c + 1,
                     kMatchMark);
            pending.clear();
        }
        if (marks == 1 && !later && !pending.empty()) {
            pen.bottom(pending[0], c + 1);
            return;
        }
        if (pending.size() == 1) carry();
    }
}

}  // namespace tombra::bracket
