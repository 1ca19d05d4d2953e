#pragma once

// "リーグ表をトーナメントへ変換": each starting position of a league-fed bracket, which holds
// a league's number, takes that league's member numbers and names from the league sheet.

namespace tombra {
class Session;
}

namespace tombra::leaguesheets {

// Also leaves LeagueMemberName and LeagueGroupCount for the swap.
void convertLeaguesToBracket(Session& session);

// The same for the swap, which goes on only after a conversion: false when the user was told
// why there was none.
bool convertLeagues(Session& session);

}  // namespace tombra::leaguesheets
