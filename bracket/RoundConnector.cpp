#include "bracket/RoundConnector.h"

#include <vector>

#include "bracket/BracketLines.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"
#include "state/TournamentState.h"

namespace tombra::bracket {

int midpointRow(int m1, int m2) { return static_cast<int>(roundToInteger(m1 + (m2 - m1) / 2.0)); }

void connectRounds(const TournamentState& s, sheet::Worksheet& sheet, Side side, int first,
                   int last, int topRow) {
    int rows = 0;
    for (int t = first; t <= last; ++t) rows += 2 * s.TableSize(t);
    const int firstRow = topRow + 1, lastRow = topRow + rows;

    LinePen pen(sheet, side);
    const int start = isFullBracket(s.EntryCount) ? kOuterLineColumn : kInnerLineColumn;
    // Columns are named in the left half's terms; the pen mirrors them. A half draws no
    // further than the centre column: what is still open there stays without a final line.
    for (int c = start; c < kCentreColumn; ++c) {
        const int onSheet = lineColumn(side, c);
        std::vector<int> pending;
        int marks = 0;
        for (int row = firstRow; row <= lastRow; ++row) {
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
            pen.mark(midpointRow(m1, m2), c + 1, kMatchMark);
            pending.clear();
        }
        if (marks == 1) {
            pen.bottom(pending[0], c + 1);
            return;
        }
        // An odd one out waits a round: a bye line, paired in the next column.
        if (pending.size() == 1) {
            pen.bottom(pending[0], c + 1);
            pen.mark(pending[0], c + 1, kSuperSeedMark);
        }
    }
}

}  // namespace tombra::bracket
