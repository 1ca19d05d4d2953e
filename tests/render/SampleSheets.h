#pragma once

#include "sheet/Worksheet.h"

namespace tombra::render::test {

// A small bracket of eight players the way the program draws one (names distributed in
// their cells, lines from cell borders, the winner's path thick navy, a merged title), and
// after a manual page break a league table with all borders. Two pages.
void drawBracketAndLeague(sheet::Worksheet& ws);

}  // namespace tombra::render::test
