#pragma once

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::draw {

// "ヤグラ・リーグ（個人・団体）投入(&T)": divides the bracket into tables, sizes them, puts the
// seeds at their fixed positions and draws every other entry into the rest. Once per opened
// workbook; a second run only says "投入済みです".
void placeEntries(Session& session);

}  // namespace tombra::draw
