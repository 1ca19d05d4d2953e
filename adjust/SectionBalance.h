#pragma once

// Evens a school's (or a block's) entries between sibling sections of the bracket: halves,
// then quarters, and so on down to neighbouring tables. One entry moves at a time, by
// exchange with an entry of a school that leans the other way.

#include <functional>

#include "adjust/DrawGrid.h"
#include "state/RandomSource.h"
#include "state/TournamentState.h"

namespace tombra::adjust {

// Random tries for a source, and for a destination, before the sides are scanned in order.
inline constexpr int kMoveTryLimit = 30000;

struct BalanceEvents {
    std::function<void(int level)> level;  // before each level, 1 = halves
    // A school (block) whose difference stays at two or more: `noSource` when the richer
    // side holds no entry of it that may move, otherwise no partner took it.
    std::function<void(int id, bool noSource)> failed;
};

struct BalanceResult {
    int moves = 0;
    int failures = 0;
};

// Number of levels of a bracket of `tables` tables: the halvings down to one table.
int bracketLevels(int tables);

// Balances every level. With Identity::School the schools with entries are balanced, and in
// block mode only entries of one block are exchanged, so that the blocks stay as they are.
// With Identity::Block the blocks holding entries are balanced. Exchanges never put two
// entries of one school (or block being balanced) into one table. Seeds never move.
BalanceResult balanceSections(TournamentState& s, RandomSource& random,
                              TableCounts::Identity identity, const BalanceEvents& events = {});

}  // namespace tombra::adjust
