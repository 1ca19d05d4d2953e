#pragma once

// "参加一覧作成(&I)": the numbered list of participating schools on "参加一覧", made from the
// tally sheet "集計". Rows that name the same school become one line.

namespace tombra {
class Session;
}

namespace tombra::lists {

// Asks for the workbook itself ("DATAを開く"); it needs no draw, and leaves the entries and any
// draw in memory as they were.
void buildParticipantList(Session& session);

}  // namespace tombra::lists
