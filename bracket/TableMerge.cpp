#include "bracket/TableMerge.h"

#include <algorithm>

#include "state/TournamentState.h"

namespace tombra::bracket {

namespace {

constexpr int kMaxSlots = decltype(TournamentState::TableSlot)::kColumnUpper;
constexpr int kMaxTables = decltype(TournamentState::TableSize)::kUpper;

// Moves slots 1..count of table `from` to slots at+1.. of table `to`; the entry's block
// travels with it and the old slots are left empty.
void moveSlots(TournamentState& s, int from, int to, int at, int count) {
    for (int j = 1; j <= count; ++j) {
        s.TableSlot(to, at + j) = s.TableSlot(from, j);
        s.SlotBlock(to, at + j) = s.SlotBlock(from, j);
        s.TableSlot(from, j) = 0;
        s.SlotBlock(from, j) = 0;
    }
}

}  // namespace

bool hasLoneTables(const TournamentState& s) {
    for (int t = 1; t <= s.TableCount && t <= kMaxTables; ++t)
        if (s.TableSize(t) <= 1) return true;
    return false;
}

bool mergeTablePairs(TournamentState& s) {
    const int count = std::min<int>(s.TableCount, kMaxTables);
    for (int i = 1; i + 1 <= count; i += 2)
        if (s.TableSize(i) + s.TableSize(i + 1) > kMaxSlots) return false;

    // A pair with no player stays as an empty table: the count keeps halving, so every table
    // still falls on a half page.
    for (int i = 1; i <= count; i += 2) {
        const int to = (i + 1) / 2;
        const int size = s.TableSize(i), next = i + 1 <= count ? s.TableSize(i + 1) : 0;
        if (to != i) moveSlots(s, i, to, 0, size);
        if (next > 0) moveSlots(s, i + 1, to, size, next);
        s.TableSize(i) = 0;
        if (i + 1 <= count) s.TableSize(i + 1) = 0;
        s.TableSize(to) = static_cast<Integer>(size + next);
    }
    s.TableCount = static_cast<Integer>((count + 1) / 2);
    return true;
}

bool mergeLoneTables(TournamentState& s) {
    if (!mergeTablePairs(s)) return false;
    // Tiny events leave lone tables after one join; two tables are kept for the two halves.
    while (s.TableCount > 2 && hasLoneTables(s))
        if (!mergeTablePairs(s)) break;
    return true;
}

}  // namespace tombra::bracket
