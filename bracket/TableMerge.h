#pragma once

// Joining under-filled tables: a table of one player (or none) cannot be drawn as a match, so
// the builder offers to join the tables pairwise before writing the sheet.

namespace tombra {
struct TournamentState;
}

namespace tombra::bracket {

// Some table 1..TableCount holds at most one position.
bool hasLoneTables(const TournamentState& state);

// Joins tables i and i+1 (i = 1, 3, 5, ...) into table (i+1)/2, in order, and halves
// TableCount (rounding up). Returns false, changing nothing, when a joined table would hold
// more positions than a table can.
bool mergeTablePairs(TournamentState& state);

// Joins pairs as above, again while some table is lone and more than two are left. False,
// changing nothing, when even the first join would overflow a table.
bool mergeLoneTables(TournamentState& state);

}  // namespace tombra::bracket
