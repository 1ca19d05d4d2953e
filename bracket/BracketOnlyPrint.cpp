#include "bracket/BracketOnlyPrint.h"

#include "bracket/BracketSheetCommand.h"
#include "draw/PlacementCommand.h"
#include "intake/EntryReader.h"
#include "intake/OpenCommand.h"
#include "session/CommandIds.h"
#include "session/Session.h"

namespace tombra::bracket {

void printBracketOnly(Session& session) {
    // A draw of its own: nothing of an earlier workbook's entries may mix into it.
    if (!intake::startOver(session, ids::kPrintBracketOnly)) return;
    TournamentState& s = session.state;
    s.setOpenConstants();
    s.MaxSchoolNo = 150;
    if (s.GenderName == "個人リーグ") {
        session.tell("個人リーグ（" + s.EventName + "）はリーグ戦です。ヤグラは作成できません");
        return;
    }
    sheet::Workbook* workbook = intake::openChosenWorkbook(session);
    if (!workbook) return;
    // With "ヤグラ印刷のみ" ticked the entries are numbered stand-ins; without, the event's
    // own entries, whose schools then show on the blank bracket.
    intake::readEntries(session, *workbook);
    if (auto problem = draw::drawBracket(session)) {
        session.tell(*problem + "\n強制終了します");
        return;
    }
    writeBlankBracketSheet(session, *workbook);
    session.tell("終了");
}

}  // namespace tombra::bracket
