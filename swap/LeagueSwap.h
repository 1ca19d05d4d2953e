#pragma once

// Moving players between the leagues of a league-then-knockout event: the league sheet's
// member names are rewritten by their running numbers, the bracket's starting positions are
// filled again from the leagues, and every entry is looked for among them.

#include <optional>
#include <string>
#include <vector>

#include "swap/ExchangeList.h"

namespace tombra {
class Session;
struct TournamentState;
}  // namespace tombra
namespace tombra::sheet {
class Worksheet;
}

namespace tombra::swap {

// The numbers named an odd number of times: a player moved away without one moved back, or
// the other way round.
std::vector<int> unbalancedNumbers(const std::vector<Exchange>& exchanges);

// Rewrites column B of the league sheet; the problem and nothing written when a row cannot
// be carried out.
std::optional<std::string> swapLeagueMembers(Session& session, sheet::Worksheet& leagueSheet,
                                             const std::vector<Exchange>& exchanges);

// After the conversion: the first entry whose label stands in no league, or nullopt; `found`
// counts the labels found.
std::optional<std::string> findUnplacedEntry(const TournamentState& s, int& found);

}  // namespace tombra::swap
