#pragma once

// Joins the rounds of one half: walks the line columns from the outside towards the centre,
// pairs the match marks it finds in each column and draws the next round, until one line is
// left.

#include "bracket/BracketColumns.h"

namespace tombra {
struct TournamentState;
}
namespace tombra::sheet {
class Worksheet;
}

namespace tombra::bracket {

// The row of the mark between two matches in rows m1 < m2: their middle, halves to even.
int midpointRow(int m1, int m2);

// Tables first..last of a half whose page starts at `topRow`.
void connectRounds(const TournamentState& state, sheet::Worksheet& sheet, Side side, int first,
                   int last, int topRow);

}  // namespace tombra::bracket
