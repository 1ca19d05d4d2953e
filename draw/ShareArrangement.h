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
    int rank = 0;   // of the entry in its school: the higher move first
    int block = 0;  // entries move only among the seats of their own block
};

// The levels are place counts, coarsest first, ending with the table count (a bracket's
// halves, quarters, …, tables; a league's groups alone). The result gives, for each seat, the
// seat whose entry stands there afterwards; seeds keep their seats. Where the shares cannot all
// be kept, it makes the fewest first-round meetings beyond the shares of the tables first, then
// the fewest entries beyond their shares of the sections, counted over every level.
std::vector<size_t> shareArrangement(const std::vector<Seat>& seats, int tables,
                                     const std::vector<int>& levels);

// The entries beyond their school's share at each level in that arrangement, seeds included:
// the fewest the tables allow, then the fewest over the sections together.
std::vector<int> excessAtBest(const std::vector<Seat>& seats, int tables,
                              const std::vector<int>& levels);

}  // namespace tombra::draw
