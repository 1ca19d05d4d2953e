#pragma once

// "個人戦ヤグラのみ印刷(&I)": settings, workbook, draw and a blank bracket sheet in one run,
// for printing the bracket before the names are filled in by hand.

namespace tombra {
class Session;
}

namespace tombra::bracket {

void printBracketOnly(Session& session);

}  // namespace tombra::bracket
