#include "state/TournamentState.h"

namespace tombra {

TournamentState::TournamentState() { setOpenConstants(); }

void TournamentState::resetAtOpen() {
    EntryName.fill(String());
    EntryAffiliation.fill(String());
    EntryPresence.fill(0.0f);
    SchoolEntryCount.fill(0);
    PositionEntry.fill(0.0f);
    SchoolSeedCount.fill(0);
    SchoolBlock.fill(0);
    EntryTable.fill(String());
    ColumnLetters.fill(String());
    TableSize.fill(0);
    TableOrder.fill(0);
    TableSlot.fill(0.0f);
    SlotBlock.fill(0);
    TableShape.fill(0);
    TableSecondSchool.fill(0);
    EntryPlaced.fill(0);
    LeagueRankLabel.fill(String());

    GenderName.clear();
    EventName.clear();
    EventCode.clear();
    BracketPrintOnly.clear();
    WorkbookPath.clear();

    SeedCount = 0;
    EntryCount = 0;
    MaxSchoolEntries = 0;
    SchoolCount = 0;
    TableCount = 0;
    DrawDone = 0;
    PageCount = 0;
    BracketLineNumber = 0;
    PageBottomRow = 0;
    CurrentPage = 0;
    MaxTableSize = 0;
    TimeTableSetting = 0;
    LeagueCancelled = 0;
    BlockCount = 0;
}

void TournamentState::setOpenConstants() {
    MaxEntryRows = 1024;
    MaxSchoolNo = 200;
    EntryRuleLastColumn = 9;
    PagePhaseCount = 4;
}

void TournamentState::fillColumnLetters() {
    ColumnLetters(0).clear();
    for (int i = 1; i <= 30; ++i) {
        String letters;
        if (i > 26) letters.push_back('a');
        letters.push_back(static_cast<char>('a' + (i - 1) % 26));
        ColumnLetters(i) = letters;
    }
}

}  // namespace tombra
