#pragma once

// The first opponents of the seeds, spread over the schools: no school should face the
// seeds much more often than the others. Counted per school, then opponents of schools at
// or over the quota are exchanged with entries of schools under it.

#include <functional>
#include <string>
#include <vector>

#include "adjust/DrawGrid.h"
#include "state/RandomSource.h"
#include "state/TournamentState.h"

namespace tombra::adjust {

// Random partner draws for one opponent before it is left where it is.
inline constexpr int kOpponentAttemptLimit = 32000;

// The positions a seed at (t, seedSlot) meets first: the one or two positions below a seed
// of an odd table, above it in an even table (two where the table's size is no power of
// two, as the first round of such a table has an extra match). Empty for a table of fewer
// than two positions.
std::vector<int> seedOpponentSlots(const TournamentState& s, int t, int seedSlot);

// Counts the first opponents of table t's seeds into `count` (by school 0..200) and returns
// how many it counted. A seed alone in its table counts for its own school.
int countSeedOpponents(const TournamentState& s, const SeedPositions& seeds, int t,
                       std::vector<int>& count);

struct OpponentSpread {
    std::vector<int> count;  // by school 0..200: entries facing a seed
    int total = 0;           // all opponents counted
    int quota = 0;
    int exchanges = 0;
    std::vector<bool> exempt;  // by school 0..200
};

// Draws the exemptions (a school with a single entry that is not seeded keeps it where it
// is, by the toss of a coin), counts the opponents and exchanges those of schools at or
// over the quota, and those of schools not exempt, with entries of schools under it.
// Exchanges never put two entries of one school into a table, in block mode only entries of
// one block are exchanged, and seeds and the other positions facing a seed are never taken. `table`
// is told each table as it is counted.
OpponentSpread spreadSeedOpponents(TournamentState& s, RandomSource& random,
                                   const std::function<void(int table)>& table = {});

struct SpreadReport {
    std::vector<std::string> lines;  // the lines for the log pane
    int largest = 0;                 // largest count over the schools with entries
    int smallest = 0;                // smallest count, at most 100
};

// The log lines after a pass: an empty line, "分散：" with the pass number, then one line a
// school with entries: its name, "：", its count, "⇒(", the percentage of its entries that
// are not seeded, ")".
SpreadReport spreadReport(const TournamentState& s, int pass, const std::vector<int>& count);

}  // namespace tombra::adjust
