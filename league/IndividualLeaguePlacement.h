#pragma once

// "個人リーグ投入(&K)": the entries of an individual league (the rows of EntryTable) are
// divided into the groups of Form9. Seeds open distinct groups; a school with more entries
// than there are groups has groups reserved for its second entries; everyone else is drawn.
// Only the shared tables change; the league sheets are written later.

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::league {

void placeIndividualLeague(Session& session);

// The placement's last step: one message for each entry number met again in the groups
// ("ダブり＝12"), each empty place ("空白あり：０") and each number beyond the entries
// ("空白あり：オーバ"). Changes nothing.
void checkIndividualLeague(Session& session);

}  // namespace tombra::league
