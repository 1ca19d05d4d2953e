#pragma once

// The league table sheets: one round-robin cross table per drawn group, ready for the
// results to be written in by hand.

#include <string>

namespace tombra {
class Session;
struct TournamentState;
}  // namespace tombra

namespace tombra::leaguesheets {

// "個人リーグ作成(&K)": the division's groups on the sheet named EventName; each entry's group
// number goes back into the entry sheet and EntryTable.
void buildIndividualLeagueSheet(Session& session);
// "団体リーグ作成(&T)": the team leagues on GenderName & "Ｔ".
void buildTeamLeagueSheet(Session& session);
// "リーグ・ヤグラのリーグ作成(&S)": the leagues of a league-then-bracket event on
// GenderName & "Ｒ".
void buildLeagueBracketLeagues(Session& session);

// The title of group i (1-based) on the individual and team sheets: グループＡ..グループＺ,
// then グループAA..AZ, BA.., as far as the groups go.
std::string groupTitle(int group);

}  // namespace tombra::leaguesheets
