#pragma once

// The last step of the school adjustments. Their random exchanges move one entry at a time
// and need a partner leaning the other way, so a large school can be left holding more than
// its share of a section, or of a table, although the seeds and the positions would allow
// better. This step finds, as a maximum flow, the most entries that can stand within their
// school's share at every level at once, starting from where every entry stands, and moves
// only the entries that must move. Seeds never move.

#include "state/TournamentState.h"

namespace tombra::adjust {

enum class ShareLevels {
    Tables,  // only the tables: what 調整Ⅰ separates
    All,     // the halves, quarters, … down to the tables
};

// The number of entries moved. Nothing moves in block mode: blocks are evened by their own
// pass and may not be mixed.
int repairShares(TournamentState& s, ShareLevels levels);

}  // namespace tombra::adjust
