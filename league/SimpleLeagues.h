#pragma once

// The leagues of singles and team events: "シングルスリーグ投入(&S)" and "団体リーグ投入(&G)"
// put seeds at place 1 of the group with their seed number and draw everyone else;
// "シングルスリーグ調整(&S)" and "団体リーグ調整(&G)" part the entries of one school that
// share a group. Singles entries are the rows 1..EntryCount of EntryTable (school in column 1,
// seed number in column 5), teams the rows 1..SchoolCount (seed number in column 3).

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::league {

void placeSinglesLeague(Session& session);
void placeTeamLeague(Session& session);
void adjustSinglesLeague(Session& session);
void adjustTeamLeague(Session& session);

}  // namespace tombra::league
