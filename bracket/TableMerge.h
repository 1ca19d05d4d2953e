#pragma once

// Joining under-filled tables: a table of one player (or none) cannot be drawn as a match, so
// the builder offers to join the tables pairwise before writing the sheet.

namespace tombra {
struct TournamentState;
}

namespace tombra::bracket {

// Some table 1..TableCount holds at most one position.
bool hasLoneTables(const TournamentState& state);

// Appends table i+1 to table i for i = 1, 3, 5, ..., closes the gaps so that the tables stay
// consecutive and lowers TableCount to the last table left. Returns false, changing nothing,
// when a joined table would hold more positions than a table can.
bool mergeTablePairs(TournamentState& state);

}  // namespace tombra::bracket
