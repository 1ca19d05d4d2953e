#pragma once

// The league groups as the league draws and adjustments see them: TableSlot(group, place)
// holds an entry number, the row of EntryTable whose columns give the entry's attributes.
// Everything here reads the grid through bounds that hold whatever the grid contains, so a
// strange value (a bracket's entry code, an entry number beyond the table) reads as "no
// entry" instead of reaching outside a table.

#include <array>
#include <functional>
#include <vector>

#include "state/RandomSource.h"
#include "state/TournamentState.h"

namespace tombra::league {

// Columns of EntryTable the league code reads.
inline constexpr int kSchoolColumn = 1;
inline constexpr int kTeamSeedColumn = 3;
inline constexpr int kSexColumn = 4;
inline constexpr int kCategoryColumn = 5;
inline constexpr int kSinglesSeedColumn = 5;
inline constexpr int kSeedMarkColumn = 7;
inline constexpr int kPreviousGroupColumn = 8;

inline constexpr int kMaxEntries = decltype(TournamentState::EntryTable)::rowUpper();    // 300
inline constexpr int kMaxGroups = decltype(TournamentState::TableSize)::upper();         // 128
inline constexpr int kMaxPlaces = decltype(TournamentState::TableSlot)::columnUpper();   // 128
inline constexpr int kMaxSchool = decltype(TournamentState::SchoolEntryCount)::upper();  // 200

// The limit most searches count their failures to.
inline constexpr int kTryLimit = 30000;
// Where a 16-bit counter ends: the searches that have no limit of their own stop here.
inline constexpr int kCounterEnd = 32767;

struct Place {
    int group = 0;
    int place = 0;
    friend bool operator==(const Place&, const Place&) = default;
};

// R(n): (round-half-even(u x 1000) mod n) + 1.
inline int drawR(RandomSource& random, int n) { return random.drawRounded(n); }

// The attributes of EntryTable read as whole numbers (empty text 0), taken once per command:
// no draw or adjustment changes EntryTable.
class EntryAttributes {
  public:
    explicit EntryAttributes(const TournamentState& s);
    // Attribute `column` of entry row `entry`; 0 outside 1..300 or 1..10.
    long long of(int entry, int column) const;

  private:
    std::vector<std::array<long long, 11>> rows_;
};

// The entry number a grid value stands for; 0 when it stands for none of the EntryTable rows.
int entryOf(Single value);

class LeagueGroups {
  public:
    using SeedRule = std::function<bool(const EntryAttributes&, int entry)>;

    LeagueGroups(TournamentState& s, RandomSource& random, SeedRule seeded);

    int groupCount() const { return groups_; }
    int size(int group) const;
    int entryAt(Place at) const { return entryOf(s_.TableSlot(at.group, at.place)); }
    long long attribute(Place at, int column) const { return attributes_.of(entryAt(at), column); }
    bool seeded(Place at) const;
    bool seededEntry(int entry) const { return entry != 0 && seeded_(attributes_, entry); }
    TournamentState& state() { return s_; }
    const TournamentState& state() const { return s_; }
    RandomSource& random() { return random_; }

    // PickRandomPlace: h = R(G), p = R(TableSize(h)).
    Place pickRandomPlace();
    // TableHoldsValue: some place of group h other than p holds an entry whose attribute
    // `column` is v, and v > 0.
    bool tableHoldsValue(int group, int place, long long value, int column) const;
    // The entry of A moves to B, that of B to C, that of C to A.
    void rotate(Place a, Place b, Place c);
    void exchange(Place a, Place b);

  private:
    TournamentState& s_;
    RandomSource& random_;
    EntryAttributes attributes_;
    SeedRule seeded_;
    int groups_;
};

// Groups 1..TableCount each of 1..128 places: what a league placement leaves. False for an
// empty or damaged grid, which no adjustment may search.
bool groupsArePlaced(const TournamentState& s);

// The seed rules of the three kinds of league.
bool seededByMark(const EntryAttributes& a, int entry);           // column 7 = 2
bool seededBySinglesNumber(const EntryAttributes& a, int entry);  // column 5 > 0
bool seededByTeamNumber(const EntryAttributes& a, int entry);     // column 3 > 0

}  // namespace tombra::league
