#pragma once

// "CSV名簿作成(&M)": the open event's entries as a CSV file the user names, for other programs
// (a spreadsheet, the office's mailing): UTF-8 with a byte-order mark, so that spreadsheet
// programs on Japanese systems read it as UTF-8, and fields quoted as RFC 4180 says.

#include <string>
#include <string_view>
#include <vector>

#include "state/TournamentState.h"

namespace tombra {
class Session;
}

namespace tombra::lists {

struct RosterEntry {
    int school = 0;
    std::string affiliation, name;
    int number = 0;    // the entry number within its school; a division's entry row
    std::string seed;  // the seed number; "シード" for a division's seeded entry
    int group = 0;     // the draw's table or league group; 0 before a draw
    int position = 0;  // the position in the draw, numbered as the bracket sheet numbers them
                       // (within its league for a league); 0 before a draw
};

// The entries of the event read last, in school and entry order (a division's in the order of
// its rows). A knockout draw (投入) and an individual league's groups give each entry its place;
// the singles and team leagues' groups are not read.
std::vector<RosterEntry> rosterEntries(const TournamentState& state);

// The file's bytes: the byte-order mark, a heading line, then one line per entry, each line
// ending in CR LF.
std::string rosterCsv(const std::vector<RosterEntry>& entries);

// A field as RFC 4180 writes it: in double quotes, inner quotes doubled, when it holds a
// comma, a double quote, CR or LF; otherwise as it is.
std::string csvField(std::string_view text);

void exportRoster(Session& session);

}  // namespace tombra::lists
