#pragma once

// Seeds go to fixed positions: seed j heads the table of rank j, odd seeds at its top slot,
// even seeds at its bottom slot.

#include <optional>
#include <string>
#include <vector>

#include "state/TournamentState.h"

namespace tombra::draw {

// Whether PositionEntry(1..SeedCount) can be placed into the sized tables: every seed number
// within the tables, naming an entry that was read, no entry under two seed numbers, and a
// position in the seed's table. Returns the first fault found.
std::optional<std::string> checkSeeds(const TournamentState& s);

// Puts every seed at its slot (with its school's block in block mode) and marks it placed.
// Needs checkSeeds to have passed.
void placeSeeds(TournamentState& s);

// Whether (school, entry) is one of the seeds PositionEntry(1..SeedCount).
class SeedLookup {
  public:
    explicit SeedLookup(const TournamentState& s);
    bool contains(int school, int entry) const;

  private:
    std::vector<bool> seeded_;
};

}  // namespace tombra::draw
