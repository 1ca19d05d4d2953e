#include "league/LeagueGroups.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "state/Numbers.h"

namespace tombra::league {

EntryAttributes::EntryAttributes(const TournamentState& s) : rows_(kMaxEntries + 1) {
    for (int entry = 1; entry <= kMaxEntries; ++entry)
        for (int column = 1; column <= 10; ++column)
            rows_[entry][column] = roundToInteger(readNumber(s.EntryTable(entry, column)));
}

long long EntryAttributes::of(int entry, int column) const {
    if (entry < 1 || entry > kMaxEntries || column < 1 || column > 10) return 0;
    return rows_[entry][column];
}

int entryOf(Single value) {
    if (!(value >= 1 && value <= kMaxEntries) || std::floor(value) != value) return 0;
    return static_cast<int>(value);
}

LeagueGroups::LeagueGroups(TournamentState& s, RandomSource& random, SeedRule seeded)
    : s_(s),
      random_(random),
      attributes_(s),
      seeded_(std::move(seeded)),
      groups_(std::clamp<int>(s.TableCount, 0, kMaxGroups)) {}

int LeagueGroups::size(int group) const {
    if (group < 1 || group > groups_) return 0;
    return std::clamp<int>(s_.TableSize(group), 0, kMaxPlaces);
}

bool LeagueGroups::seeded(Place at) const { return seededEntry(entryAt(at)); }

Place LeagueGroups::pickRandomPlace() {
    const int h = drawR(random_, groups_);
    return {h, drawR(random_, size(h))};
}

bool LeagueGroups::tableHoldsValue(int group, int place, long long value, int column) const {
    if (value <= 0) return false;
    for (int q = 1; q <= size(group); ++q)
        if (q != place && attribute({group, q}, column) == value) return true;
    return false;
}

void LeagueGroups::rotate(Place a, Place b, Place c) {
    const Single fromA = s_.TableSlot(a.group, a.place);
    const Single fromB = s_.TableSlot(b.group, b.place);
    const Single fromC = s_.TableSlot(c.group, c.place);
    s_.TableSlot(b.group, b.place) = fromA;
    s_.TableSlot(c.group, c.place) = fromB;
    s_.TableSlot(a.group, a.place) = fromC;
}

void LeagueGroups::exchange(Place a, Place b) {
    std::swap(s_.TableSlot(a.group, a.place), s_.TableSlot(b.group, b.place));
}

bool groupsArePlaced(const TournamentState& s) {
    if (s.TableCount < 1 || s.TableCount > kMaxGroups) return false;
    for (int g = 1; g <= s.TableCount; ++g)
        if (s.TableSize(g) < 1 || s.TableSize(g) > kMaxPlaces) return false;
    return true;
}

bool seededByMark(const EntryAttributes& a, int entry) { return a.of(entry, kSeedMarkColumn) == 2; }
bool seededBySinglesNumber(const EntryAttributes& a, int entry) {
    return a.of(entry, kSinglesSeedColumn) > 0;
}
bool seededByTeamNumber(const EntryAttributes& a, int entry) {
    return a.of(entry, kTeamSeedColumn) > 0;
}

}  // namespace tombra::league
