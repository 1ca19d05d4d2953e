#pragma once

#include <functional>

#include "state/TournamentState.h"

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::adjust {

// "ナンバー振分(&N)": a school's entries 1 and 2 (its leading players) go into different
// halves of the bracket, so that they cannot meet before the final.
void distributeNumbers(Session& session);

// For every school of three or more entries whose entries 1 and 2 share a half, entry 2
// changes places with the school's first entry from 3 on that is no seed and lies in the
// other half. Returns the number of exchanges. `school` is told each school number.
int separateLeadingPair(TournamentState& s, const std::function<void(int school)>& school = {});

}  // namespace tombra::adjust
