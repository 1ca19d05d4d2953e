#pragma once

// The time-table sheet: match labels listed round by round and page by page, two columns per
// round (the right one is where the office types the result), then the matches that join the
// pages, then "ＥＮＤ".

#include <string>

namespace tombra::sheet {
class Worksheet;
}

namespace tombra::bracket {

class TimeTable {
  public:
    // Clears the sheet and writes its heading.
    TimeTable(sheet::Worksheet& sheet, const std::string& bracketSheetName);

    void beginPage(int page);
    void beginRound() { row_ = kFirstRow; }
    void add(const std::string& label);
    // A round that listed nothing gives its column back.
    void endRound();
    // The matches between 2^levels pages; `ordinal` is the last round ordinal used and is
    // advanced per level.
    void betweenPages(int pageCount, int& ordinal);
    void finish();

    int column() const { return column_; }

  private:
    static constexpr int kFirstRow = 3;
    sheet::Worksheet& sheet_;
    int column_ = 1;
    int row_ = kFirstRow;
};

}  // namespace tombra::bracket
