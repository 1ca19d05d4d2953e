#pragma once

#include <vector>

#include "state/TournamentState.h"

namespace tombra::draw {

// The table counts a bracket is drawn with.
bool isBracketTableCount(int tables);

// TableOrder(1..tables) = the seed rank heading each table, in standard knockout order
// (8 tables: 1, 8, 5, 4, 3, 6, 7, 2). `tables` must be a bracket table count.
void buildTableOrder(TournamentState& s, int tables);

// The inverse of TableOrder(1..TableCount): element r is the table headed by seed rank r
// (element 0 unused).
std::vector<int> tablesByRank(const TournamentState& s);

}  // namespace tombra::draw
