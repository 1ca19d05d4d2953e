#pragma once

// The tables and settings through which all commands communicate. Plain data: commands read
// and write the members directly. It lives for the whole program run; File > Open empties it
// with resetAtOpen(). Member names are those the commands use for the shared items.

#include <cstdint>
#include <string>

#include "state/Table.h"

namespace tombra {

using Integer = std::int16_t;
using Single = float;
using String = std::string;

struct TournamentState {
    TournamentState();
    // Every member alike (the tables by their elements).
    bool operator==(const TournamentState&) const = default;

    // --- Settings of the initial settings dialog -------------------------------------------
    String GenderName;  // "男子", "女子", "ミックス", "個人リーグ"; "キャンセル" = cancelled
    String EventName;  // "シングルス", "ダブルス", "団体", "ジュニア", "１部", "２部", "３部"
    String EventCode;  // "Ｓ", "Ｄ", "Ｔ", "ＪＳ", "Ｋ１".."Ｋ３"; "Ｒ" during the record pre-step
    Integer LeagueThenTournament = 0;  // 1 = leagues feeding a knockout
    String PrintTitle;
    String BracketPrintOnly;  // "Y", or a second sheet code ("Ｒ", "Ｓ", "Ｄ", "Ｔ")
    Integer ExtractSurname = 0;
    Integer DoublesLineBreak = 0;
    Integer AutoTeamLetters = 0;
    Integer BlockMode = 0;
    Table1<String, 30> ColumnLetters{"ColumnLetters"};  // 1..30: "a".."z", "aa".."ad"
    Integer SuperSeedCount = 0;                         // 0, 8 or 16
    Integer SuperSeedStartRound = 0;                    // 3 or 4
    Integer LeagueSuperSeedCount = 0;                   // 0 when that dialog was cancelled

    // --- Workbook link -----------------------------------------------------------------------
    String WorkbookPath;
    Integer ExcelStartFailed = 0;  // -1 = true

    // --- Entry tables (school 0..200, entry 0..99, seed number 0..1024) ----------------------
    Table2<String, 200, 99> EntryName{"EntryName"};  // empty = no entry
    Table2<String, 200, 99> EntryAffiliation{"EntryAffiliation"};
    Table2<Single, 200, 99> EntryPresence{"EntryPresence"};  // 1 = present, not yet placed
    Table1<Integer, 200> SchoolEntryCount{"SchoolEntryCount"};
    Integer MaxSchoolEntries = 0;
    Integer EntryCount = 0;
    Integer SchoolCount = 0;
    Table1<Single, 1024> PositionEntry{"PositionEntry"};  // seed number -> entry code
    Integer SeedCount = 0;                                // highest seed number in use
    Table1<Integer, 200> SchoolSeedCount{"SchoolSeedCount"};
    Table1<Integer, 200> SchoolBlock{"SchoolBlock"};
    Integer BlockCount = 0;
    Table2<String, 300, 10> EntryTable{"EntryTable"};  // row 1..300, column 1..10
    Integer PageCount = 0;

    // --- Limits set by File > Open before reading --------------------------------------------
    Integer MaxEntryRows = 1024;
    Integer MaxSchoolNo = 200;
    Integer EntryRuleLastColumn = 9;
    Integer PagePhaseCount = 4;

    // --- Bracket draw ------------------------------------------------------------------------
    Integer TableCount = 0;                            // 8, 16, 32, 64 or 128
    Table1<Integer, 128> TableSize{"TableSize"};       // positions in table t
    Table1<Integer, 1024> TableOrder{"TableOrder"};    // table t -> seed rank (involution)
    Table2<Single, 128, 128> TableSlot{"TableSlot"};   // entry code; -1 open, 0 none
    Table2<Integer, 128, 128> SlotBlock{"SlotBlock"};  // block of the entry at a slot
    Integer DrawDone = 0;                              // 1 once the placement has run
    Integer LeagueSize = 0;                            // 3, 4 or 5 entries per league
    Integer LeagueRemainderOrder = 0;                  // 0 seed order, 1 reverse
    Integer BracketLabelMode = 0;                      // 0 seed numbers, 1 league numbers

    // --- League draw -------------------------------------------------------------------------
    Integer LeagueCancelled = 0;
    Table1<Integer, 200> TableSecondSchool{"TableSecondSchool"};  // by group; 0 = none
    Table1<Integer, 1024> EntryPlaced{"EntryPlaced"};             // by entry; 1 = placed

    // --- Bracket sheet building --------------------------------------------------------------
    Integer BracketLineNumber = 0;
    Integer PageBottomRow = 0;
    Integer CurrentPage = 0;
    Integer TimeTableSetting = 0;
    Table1<Integer, 200> TableShape{"TableShape"};  // group codes; first 0 ends the list
    Integer MaxTableSize = 0;

    // --- Record sheets -----------------------------------------------------------------------
    Integer MatchFormat = 0;        // 3, 5, 7 games, or 2 = automatic
    Integer WinLineColour = 0;      // colour index: 1 black, 3 red, 5 blue
    Integer ScoreColour = 0;        // colour index: 1 black, 3 red, 5 blue
    Integer EraseMatchNumbers = 0;  // 1 = erase
    Integer ScoreFontSize = 0;
    Integer PageGapFontSize = 0;
    Table2<String, 128, 6> LeagueRankLabel{"LeagueRankLabel"};  // group 0..128, rank 0..6

    // --- Entry forms ---------------------------------------------------------------------------
    // 1 every player; 2 each school from its first row entered in the event; 3 one school
    Integer EntryFormMode = 0;
    Integer EntryFormSchool = 0;  // the school of mode 3

    // --- League-to-bracket conversion (kept for the swap until the next conversion) ----------
    // Row g = league group g; columns 15..19 = its members' labels, name(affiliation).
    Table2<String, 128, 20> LeagueMemberName{"LeagueMemberName"};
    Integer LeagueGroupCount = 0;

    // --- Swap on a written sheet (kept for the next swap) -------------------------------------
    String SwapSheetName;           // the sex and event code of the sheet, e.g. "男子Ｓ"
    Integer SwapRightNoColumn = 0;  // the right half's number column: 26 (Z), 20 (T) for teams
    Integer SwapTwoFields = 0;      // 1 = a name and an affiliation move; 0 = a name only

    // Empties what belongs to one workbook: every table back to empty text or 0, the event
    // and workbook texts emptied, the counters and draw/sheet progress set to 0. The settings
    // the dialogs feed (LeagueThenTournament, PrintTitle, the check-box flags, super seeds,
    // LeagueSize, LeagueRemainderOrder, BracketLabelMode, the record-sheet formats, the
    // entry-form choice), the limits and ExcelStartFailed are kept. ColumnLetters is emptied
    // too; the settings dialog refills it.
    void resetAtOpen();

    // The limits File > Open sets before reading an entry sheet.
    void setOpenConstants();

    // ColumnLetters(1..30) = "a".."z", "aa", "ab", "ac", "ad"; element 0 stays empty.
    void fillColumnLetters();
};

}  // namespace tombra
