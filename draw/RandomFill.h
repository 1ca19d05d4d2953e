#pragma once

// The random draw: every entry that is not a seed goes into an open position (-1) of the
// sized tables.

#include <functional>

#include "state/RandomSource.h"
#include "state/TournamentState.h"

namespace tombra::draw {

// Failed position draws allowed over a whole draw before the rest is placed in order.
inline constexpr int kFailedDrawLimit = 30000;

struct FillEvents {
    std::function<void(int placed)> placed;  // after each entry placed
    std::function<void()> forcing;           // before the systematic placement
};

struct FillResult {
    int placed = 0;
    int failedDraws = 0;
    bool forced = false;  // the draw gave up and placed the rest in table and slot order
    int unplaced = 0;     // entries left over for want of open positions
};

// The entries the random draw can reach: present (EntryPresence 1), not seeds, in schools
// 1..MaxSchoolNo with entries, numbered without a gap from 1.
int waitingEntries(const TournamentState& s);

// Draws a school, walks its entries from a cursor that runs on across schools, and tries each
// at a random table and slot; a failed try counts against kFailedDrawLimit. Past the limit
// the entries still waiting go to the first open positions in table and slot order, as do
// entries the draw cannot reach. The caller reseeds `random`.
FillResult drawEntries(TournamentState& s, RandomSource& random, const FillEvents& events);

}  // namespace tombra::draw
