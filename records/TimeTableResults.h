#pragma once

// The results the office typed into the time table (the bracket sheet's name & "ＴＢ"): each
// match label with the cell to its right, column by column, down to the first empty cell,
// until "ＥＮＤ". The labels of the "頁間" block are the matches between pages.

#include <map>
#include <string>
#include <vector>

namespace tombra::sheet {
class Worksheet;
}

namespace tombra::records {

struct TimeTableEntry {
    std::string label;   // "2-5"
    std::string result;  // as typed, trimmed
    int row = 0, resultColumn = 0;
    bool betweenPages = false;
};

struct TimeTableResults {
    std::map<std::string, TimeTableEntry> byLabel;
    std::vector<std::string> order;  // labels as listed
    // "男子ＳＴＢ!B5": where a label's result is typed, for messages.
    std::string cellOf(const std::string& label) const;
    std::string sheetName;
};

// Whether a text is a match label as the numbering writes it: round, "-", number.
bool isMatchLabel(const std::string& text);

TimeTableResults readTimeTable(const sheet::Worksheet& timeTable);

}  // namespace tombra::records
