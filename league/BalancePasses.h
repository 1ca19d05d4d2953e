#pragma once

// The passes of the individual league adjustment that even out the groups: the sexes
// ("男女チェック") and the categories ("種別チェック"). Each exchanges two entries of two
// groups and never breaks the school and previous-group rules to do so.

#include "league/LeagueGroups.h"

namespace tombra::ui {
class Shell;
}

namespace tombra::league {

void balanceSexes(LeagueGroups& groups);
void spreadCategories(LeagueGroups& groups, ui::Shell& shell);

// Whether exchanging the entries at p (group i) and q (group j) would bring together two
// entries of one school or of one previous group. A school that a group is reserved for
// may stay doubled there when both entries belong to it.
bool exchangeConflicts(const LeagueGroups& groups, Place p, Place q);

}  // namespace tombra::league
