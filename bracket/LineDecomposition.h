#pragma once

// A table of the draw is drawn as a run of small groups of players. The group codes:
//    1  a lone super seed: a line only
//    2  a pair whose match stands in the inner line column
//   -2  a pair whose match stands in the outer line column
//    3  three players, the first with a bye
//   -3  three players, the last with a bye
//   -4  four players: two outer matches whose winners meet in the inner column

#include <vector>

namespace tombra::bracket {

// The groups of a table of `size` players, top to bottom. Odd and even tables put their byes
// at opposite ends so that neighbouring tables balance. Four-blocks are used for tables of 4,
// 8 and 16 only when no table among the first thirty is larger (`maxTableSize`); otherwise
// such a table is drawn as pairs. `fullBracket`: the entry count is a power of two, and a
// table of two then plays in the outer column. Size 0 gives no groups, nor does a size above
// the 128 a table may hold.
std::vector<int> decomposeTable(int size, bool oddTable, int maxTableSize, bool fullBracket);

// Rows a group takes on the sheet: two per player; the lone super seed adds none because it
// is always a table of its own.
int groupRows(int code);

}  // namespace tombra::bracket
