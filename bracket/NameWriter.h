#pragma once

// Writes the player lines of one half of a page: seed mark, line number, name and affiliation
// in parentheses, two rows per player, and draws each table's lines after its last player.

#include "bracket/BracketColumns.h"

namespace tombra::sheet {
class Worksheet;
}

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::bracket {}

namespace tombra::bracket {

// Tables first..last from `row` on: each player takes the next two rows after `row`, which is
// left on the last player's first row. Returns the half's last used row (that row + 1).
// BracketLineNumber runs on from where the previous half left it.
int writeHalf(Session& session, sheet::Worksheet& sheet, Side side, int first, int last, int& row);

}  // namespace tombra::bracket
