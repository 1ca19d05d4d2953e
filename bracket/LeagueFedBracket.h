#pragma once

// The bracket of a league-then-knockout event: each position holds a whole league group, its
// members listed together, and the preliminary league sheet is then written from the bracket.

#include <string>

#include "bracket/BracketColumns.h"
#include "state/TournamentState.h"

namespace tombra {
class Session;
}
namespace tombra::sheet {
class Workbook;
class Worksheet;
}  // namespace tombra::sheet

namespace tombra::bracket {

// How a league member stands on the league sheet, its line break left out: name(affiliation),
// a team by its name alone.
std::string leagueMemberLabel(const TournamentState& s, int school, int entry);

// Tables first..last of one half from `row` on, one position per table (two for a table of
// 2 × LeagueSize to 3 × LeagueSize players); returns the half's last used row.
int writeLeagueHalf(Session& session, sheet::Worksheet& sheet, Side side, int first, int last,
                    int& row);

// Labels every group of the finished bracket "[n]" and writes the league sheet
// GenderName & "Ｒ": a block per group, title, names across, members down, "得点", "順位".
void writePreliminaryLeagueSheet(Session& session, sheet::Workbook& workbook,
                                 sheet::Worksheet& bracketSheet);

}  // namespace tombra::bracket
