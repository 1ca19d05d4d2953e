#pragma once

// "調整Ⅰ(&T)": no table may hold two entries of one school (nor, with block processing, of
// one block). A clash is repaired by exchanging the non-seed of the pair with an entry of
// another table, drawn at random under checks that keep the exchange from making a clash.

#include <functional>
#include <vector>

#include "state/RandomSource.h"
#include "state/TournamentState.h"

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::adjust {

void adjustAffiliations(Session& session);

// Failed partner draws allowed over a whole run; after a failure the count starts again.
inline constexpr int kPartnerAttemptLimit = 30000;

struct SeparationEvents {
    std::function<void(int table)> table;   // before each table is examined
    std::function<void(int table)> failed;  // a clash in the table stays for want of a partner
};

struct SeparationResult {
    int exchanges = 0;
    int failures = 0;
};

// Examines every pair of positions of every table and repairs each clash found. After a
// failure, block separation is suspended (BlockMode 0) until the next exchange of the run.
SeparationResult separateSchools(TournamentState& s, RandomSource& random,
                                 const SeparationEvents& events = {});

}  // namespace tombra::adjust
