#pragma once

// The lines of one table, drawn as cell borders in the two outer line columns of a half.

#include <string_view>

#include "bracket/BracketColumns.h"

namespace tombra {
struct TournamentState;
}
namespace tombra::sheet {
class Worksheet;
}

namespace tombra::bracket {

// Draws on one half of a bracket sheet in the left half's terms: columns and edges given for
// the left half land mirrored on the right.
class LinePen {
  public:
    LinePen(sheet::Worksheet& sheet, Side side) : sheet_(sheet), side_(side) {}

    void bottom(int row, int leftColumn) { edge(row, leftColumn, sheet::xl::EdgeBottom); }
    void top(int row, int leftColumn) { edge(row, leftColumn, sheet::xl::EdgeTop); }
    void right(int row, int leftColumn) { edge(row, leftColumn, sheet::xl::EdgeRight); }
    void mark(int row, int leftColumn, std::string_view text);

    sheet::Worksheet& sheet() { return sheet_; }
    Side side() const { return side_; }

  private:
    void edge(int row, int leftColumn, int leftEdge);
    sheet::Worksheet& sheet_;
    Side side_;
};

// A power of two entries drawn into tables of even sizes (lone tables apart) is a full
// bracket: its pairs play in the outer line column and its rounds are joined from there. An
// odd table, as a merge leaves, holds a three whose outer match is its own, so such a draw is
// joined from the inner column like any other.
bool playsFromOuterColumn(const TournamentState& state);

// One group of players whose first player's line lies under `row`.
void drawGroup(LinePen& pen, int code, int row, int superSeedStartRound);

// Decomposes table t and draws its groups from `firstRow`, the first row of its first player.
// Keeps TableShape and MaxTableSize as the draw's shared state describes them.
void drawTable(TournamentState& state, sheet::Worksheet& sheet, Side side, int table, int firstRow);

}  // namespace tombra::bracket
