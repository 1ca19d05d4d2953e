#pragma once

// The record of a league-then-knockout event: before the knockout's results, each league's
// winner (rank "1" on the league sheet) takes the league's starting position; after them,
// every league's members are listed there by rank, the winner circled ①.

namespace tombra {
class Session;
}
namespace tombra::sheet {
class Workbook;
}

namespace tombra::records {

// Leaves EventCode as the event's own ("Ｓ", "Ｄ", "Ｔ") for the record that follows.
void carryLeagueWinners(Session& session, sheet::Workbook& workbook);
void writeLeagueRanks(Session& session, sheet::Workbook& workbook);

}  // namespace tombra::records
