#include "bracket/BracketLines.h"

#include "bracket/LineDecomposition.h"
#include "sheet/Worksheet.h"
#include "state/TournamentState.h"

namespace tombra::bracket {

void LinePen::edge(int row, int leftColumn, int leftEdge) {
    sheet_.setBorder(sheet::Area::cell(row, lineColumn(side_, leftColumn)),
                     lineEdge(side_, leftEdge), bracketLine());
}

void LinePen::mark(int row, int leftColumn, std::string_view text) {
    sheet_.setText(row, lineColumn(side_, leftColumn), text);
}

namespace {

constexpr int O = kOuterLineColumn;
constexpr int I = kInnerLineColumn;

// A super seed enters at round 3 or 4: its line runs through the earlier rounds' columns and
// ends in a mark the round connector pairs like a match.
void drawSuperSeed(LinePen& pen, int r, int startRound) {
    if (startRound != 3 && startRound != 4) return;
    const int end = startRound == 4 ? I + 1 : I;
    for (int c = O; c <= end; ++c) pen.bottom(r, c);
    pen.mark(r, end, kSuperSeedMark);
}

// A one-place table the draw kept for a super seed; any other lone player enters beside the
// table winners of the first rounds, as a round-3 super seed would.
int loneStartRound(const TournamentState& s, int t) {
    const int rank = s.TableOrder(t);
    if (s.SuperSeedCount > 0 && rank >= 1 && rank <= s.SuperSeedCount) return s.SuperSeedStartRound;
    return 3;
}

}  // namespace

bool playsFromOuterColumn(const TournamentState& s) {
    if (!isFullBracket(s.EntryCount)) return false;
    for (int t = 1; t <= s.TableCount && t <= s.TableSize.upper(); ++t)
        if (s.TableSize(t) > 1 && s.TableSize(t) % 2 == 1) return false;
    return true;
}

void drawGroup(LinePen& p, int code, int r, int superSeedStartRound) {
    switch (code) {
        case 2:
            p.bottom(r, O), p.bottom(r, I);
            p.right(r + 1, I), p.mark(r + 1, I, kMatchMark);
            p.right(r + 2, I);
            p.top(r + 3, O), p.top(r + 3, I);
            break;
        case -2:
            p.bottom(r, O);
            p.right(r + 1, O), p.mark(r + 1, O, kMatchMark);
            p.right(r + 2, O), p.bottom(r + 2, O);
            break;
        case 3:
            p.bottom(r, O), p.bottom(r, I);
            p.right(r + 1, I), p.mark(r + 1, I, kMatchMark);
            p.right(r + 2, I), p.bottom(r + 2, O);
            p.right(r + 3, O), p.right(r + 3, I), p.bottom(r + 3, I), p.mark(r + 3, O, kMatchMark);
            p.right(r + 4, O);
            p.top(r + 5, O);
            break;
        case -3:
            p.bottom(r, O);
            p.right(r + 1, O), p.mark(r + 1, O, kMatchMark), p.bottom(r + 1, I);
            p.right(r + 2, O), p.right(r + 2, I), p.mark(r + 2, I, kMatchMark), p.bottom(r + 2, O);
            p.right(r + 3, I);
            p.right(r + 4, I);
            p.top(r + 5, O), p.top(r + 5, I);
            break;
        case -4:
            p.bottom(r, O);
            p.right(r + 1, O), p.mark(r + 1, O, kMatchMark), p.bottom(r + 1, I);
            p.right(r + 2, I), p.right(r + 2, O);
            p.top(r + 3, O), p.right(r + 3, I), p.mark(r + 3, I, kMatchMark);
            p.bottom(r + 4, O), p.right(r + 4, I);
            p.right(r + 5, O), p.mark(r + 5, O, kMatchMark), p.right(r + 5, I);
            p.top(r + 6, I), p.right(r + 6, O);
            p.top(r + 7, O);
            break;
        case 1:
            drawSuperSeed(p, r, superSeedStartRound);
            break;
        default:
            break;
    }
}

void drawTable(TournamentState& s, sheet::Worksheet& sheet, Side side, int t, int firstRow) {
    if (s.LeagueThenTournament == 1) {
        // League-fed brackets show one position per league; only the odd tables open a pair.
        if (t % 2 == 0) return;
        s.TableSize(t) = 2;
    }

    // Only the first thirty tables decide whether four-blocks fit.
    s.MaxTableSize = 0;
    for (int k = 1; k <= 30; ++k)
        if (s.TableSize(k) > s.MaxTableSize) s.MaxTableSize = s.TableSize(k);

    const std::vector<int> groups =
        decomposeTable(s.TableSize(t), t % 2 == 1, s.MaxTableSize, playsFromOuterColumn(s));
    for (size_t i = 0; i < groups.size(); ++i)
        s.TableShape(static_cast<long long>(i + 1)) = static_cast<Integer>(groups[i]);

    LinePen pen(sheet, side);
    const int startRound = s.TableSize(t) == 1 ? loneStartRound(s, t) : s.SuperSeedStartRound;
    int row = firstRow;
    for (int code : groups) {
        drawGroup(pen, code, row, startRound);
        row += groupRows(code);
    }
    for (size_t k = 1; k <= groups.size(); ++k) s.TableShape(static_cast<long long>(k)) = 0;
}

}  // namespace tombra::bracket
