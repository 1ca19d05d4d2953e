#pragma once

// Where entries should stand so that each school holds no more than its share of every place
// at every level (the ceiling of its entries over the places), as far as the seeds and the
// places' sizes allow: found as a maximum flow that starts from where every entry stands, so
// that only the entries that must move do. The brackets' tables and sections and the
// leagues' groups both use it.

#include <cstddef>
#include <vector>

namespace tombra::draw {

// A school's share of one of `places` places: its entries over the places, rounded up, and
// never less than one.
inline int fairShare(int entries, int places) {
    return places > 0 && entries > places ? (entries + places - 1) / places : 1;
}

struct Seat {
    int table = 0;   // 1-based: a bracket's table, a league's group
    int school = 0;  // 1.. ; the seat holds an entry
    bool seed = false;
    int rank = 0;  // of the entry in its school: the higher move first
};

// The levels are place counts, coarsest first, ending with the table count (a bracket's
// halves, quarters, …, tables; a league's groups alone). The result gives, for each seat, the
// seat whose entry stands there afterwards; seeds keep their seats.
std::vector<size_t> shareArrangement(const std::vector<Seat>& seats, int tables,
                                     const std::vector<int>& levels);

// The fewest entries that cannot stand within their school's shares at every level at once:
// any arrangement has at least this many excess entries, summed over the levels.
int entriesBeyondShares(const std::vector<Seat>& seats, int tables, const std::vector<int>& levels);

}  // namespace tombra::draw
