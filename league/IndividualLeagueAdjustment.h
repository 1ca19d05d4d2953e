#pragma once

// "個人リーグ調整(&T)": improves a drawn individual league by exchanges between groups, in up
// to four passes chosen in Form13: schools apart ("所属調整"), previous groups apart
// ("前回グループ調整"), the sexes balanced ("男女別調整") and the categories spread
// ("種別調整"). Group sizes never change.

#include "ui/Form.h"

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::league {

const ui::FormSpec& leagueAdjustForm();  // Form13 "個人リーグ調整選択"

// The passes the last OK of Form13 chose. Before the first OK none is chosen; closing the
// dialog without OK keeps the choice it had.
struct LeagueAdjustChoice {
    bool bySchool = false;
    bool byPreviousGroup = false;
    bool bySex = false;
    bool byCategory = false;
};
LeagueAdjustChoice leagueAdjustChoice(Session& session);

void adjustIndividualLeague(Session& session);

}  // namespace tombra::league
