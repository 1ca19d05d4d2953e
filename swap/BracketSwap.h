#pragma once

// Moving players between positions of a written bracket sheet: the name (and the affiliation
// of an individual event) of each source position is written into the destination position.
// Only the workbook changes; the draw in memory stays as it was.

#include <optional>
#include <string>
#include <vector>

#include "swap/ExchangeList.h"

namespace tombra {
class Session;
}
namespace tombra::sheet {
class Worksheet;
}

namespace tombra::swap {

// The columns of one half: its position numbers, names and affiliations (0 = none).
struct HalfColumns {
    int number = 0, name = 0, affiliation = 0;
};

struct BracketSwapLayout {
    HalfColumns left, right;
};

// An individual event's sheet moves names and affiliations (B/C/E, right Z/V/X); a team
// sheet, whose affiliation columns are gone, moves names (B/C, right T/S).
BracketSwapLayout bracketSwapLayout(int rightNumberColumn, bool twoFields);

// All values are collected before any is written, so a chain of rows ends as the list says.
// The problem and nothing written when a row cannot be carried out.
std::optional<std::string> swapBracketPositions(Session& session, sheet::Worksheet& sheet,
                                                const std::vector<Exchange>& exchanges,
                                                const BracketSwapLayout& layout);

}  // namespace tombra::swap
