#pragma once

// The matches of a written bracket sheet, found by their labels ("2-5") and read from its
// lines: each label stands by the vertical line that joins two incoming lines, the upper one
// on the bottom edge of row m1 and the lower one on the bottom edge of row m2, and the winner
// goes on along the bottom edge of the label's row in the next column. The right half mirrors
// the left around the centre column; the geometry is kept in the left half's terms.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sheet/CellFormat.h"

namespace tombra::sheet {
class Worksheet;
}

namespace tombra::records {

// Where a bracket sheet's columns stand: an individual event's, or a team event's, which lost
// the three affiliation columns of each half.
struct BracketLayout {
    int firstLine = 7;  // G: the left half's outer line column
    int centre = 14;    // N
    int leftName = 3, rightName = 22, leftNumber = 2, rightNumber = 26;
    int leftAffiliation = 5, rightAffiliation = 24;  // 0 for teams
    static BracketLayout individual() { return {}; }
    static BracketLayout team() { return {4, 11, 3, 19, 2, 20, 0, 0}; }
};

// One half seen in the left half's terms: columns and left/right edges mirror on the right.
class HalfView {
  public:
    HalfView(sheet::Worksheet& sheet, const BracketLayout& layout, bool right)
        : sheet_(sheet), layout_(layout), right_(right) {}
    int column(int leftColumn) const;
    int edge(int leftEdge) const;
    bool line(int row, int leftColumn, int leftEdge) const;
    void draw(int row, int leftColumn, int leftEdge, const sheet::BorderChange& line);
    bool right() const { return right_; }
    sheet::Worksheet& sheet() const { return sheet_; }

  private:
    sheet::Worksheet& sheet_;
    BracketLayout layout_;
    bool right_;
};

struct BracketMatch {
    std::string label;
    int ordinal = 0;
    bool right = false;
    int row = 0;         // the label's row
    int column = 0;      // the label's column, in the left half's terms
    int m1 = 0, m2 = 0;  // rows of the upper and the lower incoming lines; 0: not found
    int page = 1;
    bool found() const { return m1 > 0; }
};

struct BracketMatches {
    std::vector<BracketMatch> matches;
    // A match by its label's cell on the sheet.
    std::map<std::pair<int, int>, size_t> atCell;
    const BracketMatch* at(int row, int sheetColumn) const;
};

BracketMatches findMatches(sheet::Worksheet& sheet, const BracketLayout& layout);

// The rows of the page footers ("─ 1 ─") in the centre column, top to bottom: page k ends on
// the k-th.
std::vector<int> pageFooterRows(const sheet::Worksheet& sheet, const BracketLayout& layout);

// The match whose winner comes in along row `row` of the match at `column` (left terms):
// the label met going back along that line; nullopt when the line starts at a player.
std::optional<size_t> feederOf(const BracketMatches& matches, sheet::Worksheet& sheet,
                               const BracketLayout& layout, const BracketMatch& match, int row);

}  // namespace tombra::records
