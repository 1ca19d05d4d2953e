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

    for (int i = 1; i <= count; i += 2) {
        if (i + 1 > kMaxTables) break;
        const int size = s.TableSize(i), next = s.TableSize(i + 1);
        moveSlots(s, i + 1, i, size, next);
        s.TableSize(i) = static_cast<Integer>(size + next);
        s.TableSize(i + 1) = 0;
    }

    for (int i = 1; i <= count; ++i) {
        if (s.TableSize(i) != 0) continue;
        int j = i + 1;
        while (j <= kMaxTables && s.TableSize(j) == 0) ++j;
        if (j > kMaxTables) break;
        moveSlots(s, j, i, 0, s.TableSize(j));
        s.TableSize(i) = s.TableSize(j);
        s.TableSize(j) = 0;
    }

    int last = 0;
    for (int t = 1; t <= kMaxTables; ++t)
        if (s.TableSize(t) != 0) last = t;
    s.TableCount = static_cast<Integer>(last);
    return true;
}

}  // namespace tombra::bracket
