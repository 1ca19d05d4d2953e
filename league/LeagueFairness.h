#pragma once

// How fair a league draw is: a school's share of a group is the ceiling of its entries over
// the groups, and an entry beyond it is an excess. The least excess the seeds and the
// groups' sizes allow is found exactly, as for a bracket's sections.

#include <string>
#include <utility>
#include <vector>

#include "league/LeagueGroups.h"

namespace tombra {
class Session;
}

namespace tombra::league {

struct LeagueFairness {
    int groups = 0;
    int excess = 0;
    int leastExcess = 0;
    std::vector<std::pair<int, int>> schools;  // (school, excess) of those with any
    std::vector<int> entries;                  // by school, for the lines
};

LeagueFairness assessLeague(const LeagueGroups& groups);
std::vector<std::string> leagueFairnessLines(const LeagueFairness& fairness,
                                             const TournamentState& s);
// Moves only the entries that keep a school beyond its share of a group, as far as the seeds
// and the groups' sizes allow; the number moved.
int repairLeagueShares(LeagueGroups& groups);

// After a league draw or adjustment, when groups hold entries.
void logLeagueFairness(Session& session, const LeagueGroups::SeedRule& seeded);

}  // namespace tombra::league
