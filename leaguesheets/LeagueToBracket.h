#pragma once

// "リーグ表をトーナメントへ変換": each starting position of a league-fed bracket, which holds
// a league's number, takes that league's member numbers and names from the league sheet.

#include <string>

namespace tombra {
class Session;
}
namespace tombra::sheet {
class Workbook;
class Worksheet;
}  // namespace tombra::sheet

namespace tombra::leaguesheets {

// Also leaves LeagueMemberName and LeagueGroupCount for the swap.
void convertLeaguesToBracket(Session& session);

// The same for the swap, which goes on only after a conversion: false when the user was told
// why there was none.
bool convertLeagues(Session& session);

// The starting positions of a league-fed bracket, half by half (B from row 3, then Z, down to
// each half's footer), numbered 1, 2, ... in place of what they held: the number of the league
// that feeds each.
void numberStartingPositions(sheet::Worksheet& bracket, int halves);

// What a league sheet's rows say: a title row ("第 3グループ") its group number, 1..128 (0
// for any other row); a member row its number (column A) and its label (column B), the line
// break between name and affiliation left out.
int leagueGroupOfTitle(const std::string& heading);
struct LeagueSheetMember {
    std::string number, label;
};
LeagueSheetMember leagueMemberAt(const sheet::Worksheet& league, int row);

// The bracket's halves, 2 to the power "基礎Ｄ" row 4 gives for the sex (1 for neither sex).
int bracketHalves(sheet::Workbook& workbook, const std::string& genderName);

}  // namespace tombra::leaguesheets
