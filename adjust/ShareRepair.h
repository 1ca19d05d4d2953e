#pragma once

// The last step of the school adjustments. Their random exchanges move one entry at a time
// and need a partner leaning the other way, so a large school can be left holding more than
// its share of a section, or of a table, although the seeds and the positions would allow
// better. This step finds, as a flow starting from where every entry stands, the arrangement
// with the fewest entries beyond their school's shares (the tables first), and moves only the
// entries that must move. Seeds never move; in block mode an entry moves only into a position
// its block holds, so the blocks stay as evened.

#include "state/TournamentState.h"

namespace tombra::adjust {

enum class ShareLevels {
    Tables,  // only the tables: what 調整Ⅰ separates
    All,     // the halves, quarters, … down to the tables
};

// The number of entries moved.
int repairShares(TournamentState& s, ShareLevels levels);

}  // namespace tombra::adjust
