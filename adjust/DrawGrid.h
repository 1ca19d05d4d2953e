#pragma once

// The drawn bracket as the adjustment commands see it: positions that hold entries, the
// school or block standing at each, which of them are seeds, and the exchange of two
// positions. All four adjustments only ever exchange positions, so that no entry is lost or
// doubled and the table sizes stay as the placement made them.

#include <vector>

#include "draw/SeedPlacement.h"
#include "state/TournamentState.h"

namespace tombra::adjust {

// Highest school and block number the tables can count.
inline constexpr int kMaxId = decltype(TournamentState::SchoolEntryCount)::upper();

// Tables 1..TableCount, limited to what TableSlot can hold.
int tableCount(const TournamentState& s);
// TableSize(t), limited to what TableSlot can hold.
int tableSize(const TournamentState& s, int t);

// Whether a slot value names an entry: -1 (open) and 0 (no position) do not.
bool holdsEntry(Single code);

// The school at (t, slot); 0 when the position holds no entry or a school out of range.
int schoolAt(const TournamentState& s, int t, int slot);
// The block at (t, slot); 0 when the position holds no entry or no block.
int blockAt(const TournamentState& s, int t, int slot);

// Exchanges two positions. The block travels with its entry whatever BlockMode says now,
// so that SlotBlock always describes the entry at the same position, also while block
// separation is suspended.
void exchange(TournamentState& s, int t1, int slot1, int t2, int slot2);

// Counts of one kind of identity (school or block) per table, kept up to date across
// exchanges, so that "does table t hold school k" is one look-up.
class TableCounts {
  public:
    enum class Identity { School, Block };

    TableCounts(const TournamentState& s, Identity identity);

    // The identity of the entry at (t, slot); 0 for none.
    int at(const TournamentState& s, int t, int slot) const;
    int count(int t, int id) const;
    bool holds(int t, int id) const { return count(t, id) > 0; }
    // To be called with the state as it was before exchange() moved the two positions.
    void exchanged(const TournamentState& s, int t1, int slot1, int t2, int slot2);

  private:
    int& cell(int t, int id);
    Identity identity_;
    std::vector<int> counts_;
};

// The most entries of a school one table may hold: the ceiling of its entries over the
// tables, so one for every school no larger than the table count. A larger school must
// share tables with itself, and is as fair as it can be when no table holds more of it.
class TableShares {
  public:
    explicit TableShares(const TournamentState& s);
    int most(int school) const;
    // Whether table t, holding `held` entries of the school, can take one more.
    bool room(int school, int held) const { return held < most(school); }

  private:
    std::vector<int> most_;
};

// Whether the entry at a position is one of the seeds PositionEntry(1..SeedCount).
class SeedPositions {
  public:
    explicit SeedPositions(const TournamentState& s) : lookup_(s) {}
    bool isSeed(Single code) const;
    bool isSeedAt(const TournamentState& s, int t, int slot) const {
        return isSeed(s.TableSlot(t, slot));
    }

  private:
    draw::SeedLookup lookup_;
};

}  // namespace tombra::adjust
