#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tombra::sheet {

inline constexpr int kMaxRow = 1048576;
inline constexpr int kMaxColumn = 16384;

// A rectangle of cells, 1-based and inclusive. Whole columns run from row 1 to kMaxRow,
// whole rows from column 1 to kMaxColumn.
struct Area {
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;

    static Area cell(int row, int column) { return {row, column, row, column}; }
    static Area columns(int first, int last) { return {1, first, kMaxRow, last}; }
    static Area rows(int first, int last) { return {first, 1, last, kMaxColumn}; }
    static Area wholeSheet() { return {1, 1, kMaxRow, kMaxColumn}; }

    bool spansAllRows() const { return top == 1 && bottom == kMaxRow; }
    bool spansAllColumns() const { return left == 1 && right == kMaxColumn; }
    bool contains(int row, int column) const {
        return row >= top && row <= bottom && column >= left && column <= right;
    }
    bool intersects(const Area& o) const {
        return top <= o.bottom && o.top <= bottom && left <= o.right && o.left <= right;
    }
    bool isSingleCell() const { return top == bottom && left == right; }
    long long cellCount() const {
        return static_cast<long long>(bottom - top + 1) * (right - left + 1);
    }
    bool operator==(const Area&) const = default;
};

// One or more areas, as written "D4:D200", "a:f,v:aa", "N:N" or "3:5" (letters in either
// case, "$" allowed). Implicit from text so that calls read like the spreadsheet's own.
class Range {
  public:
    Range(const Area& area) : areas_{area} {}  // NOLINT: implicit by design
    Range(std::string_view text);              // NOLINT: throws WorkbookError when malformed
    Range(const char* text) : Range(std::string_view(text)) {}         // NOLINT
    Range(const std::string& text) : Range(std::string_view(text)) {}  // NOLINT

    const std::vector<Area>& areas() const { return areas_; }

  private:
    std::vector<Area> areas_;
};

// "A" → 1, "aa" → 27; 0 when the text is not a column name within the sheet.
int columnNumber(std::string_view letters);
// 1 → "A", 27 → "AA".
std::string columnName(int column);
// "B12" → row 12, column 2; throws WorkbookError when malformed or outside the sheet.
Area parseCellReference(std::string_view text);
// Row 12, column 2 → "B12".
std::string cellReference(int row, int column);
std::string areaReference(const Area& area);

}  // namespace tombra::sheet
