#pragma once

#include <optional>
#include <string>

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::draw {

// "ヤグラ・リーグ（個人・団体）投入(&T)": divides the bracket into tables, sizes them, puts the
// seeds at their fixed positions and draws every other entry into the rest. Once per opened
// workbook; a second run only says "投入済みです".
void placeEntries(Session& session);

// The draw itself: tables chosen and sized, seeds placed, the rest drawn. The problem that
// stopped it, with nothing placed, or nullopt.
std::optional<std::string> drawBracket(Session& session);

}  // namespace tombra::draw
