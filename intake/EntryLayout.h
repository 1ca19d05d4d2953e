#pragma once

#include <string>

namespace tombra::intake {

// How an event is read from its entry sheet.
enum class EntryKind { Singles, Doubles, Team, Division };

struct EntryLayout {
    EntryKind kind = EntryKind::Singles;
    int numberColumn = 0;  // the entry number of the row within its school
    int seedColumn = 0;    // 0: the event has no seed column
    int tallyColumn = 0;   // the column of "集計" that counts the school's entries
    int division = 0;      // 1..3 for "１部".."３部"
};

// The layout of an event (GenderName, EventName); an unknown event name reads as singles.
EntryLayout entryLayout(const std::string& gender, const std::string& event);

// The column of "基礎Ｄ" that takes the event's counts; 0 when the event has none.
int summaryColumn(const std::string& gender, const std::string& event);

// Columns of the entry sheet that are the same for every event.
inline constexpr int kSchoolColumn = 1;       // A
inline constexpr int kAffiliationColumn = 2;  // B
inline constexpr int kNameColumn = 3;         // C
inline constexpr int kTeamSeedColumn = 6;     // F, also the division of a graded event
inline constexpr int kBlockColumn = 11;       // K

}  // namespace tombra::intake
