#include "lists/NameMerges.h"

#include <algorithm>
#include <string>
#include <vector>

#include "bracket/BracketColumns.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

namespace tombra::lists {

namespace {

// A half ends at a longer run of rows without a name: below it stands no player line.
constexpr int kMostEmptyRows = 10;

// The columns of a half's player lines, and the one whose name marks a line.
struct NameBlock {
    int first = 0, last = 0, name = 0;
};

// A team sheet has no school columns: "(", the school and ")" of both halves are deleted and
// everything right of them has moved left.
bool schoolColumn(int column) {
    for (bracket::Side side : {bracket::Side::Left, bracket::Side::Right}) {
        const bracket::NameColumns& c = bracket::nameColumns(side);
        if (column == c.open || column == c.affiliation || column == c.close) return true;
    }
    return false;
}

int teamColumn(int column) {
    int moved = 0;
    for (int c = 1; c < column; ++c) moved += schoolColumn(c);
    return column - moved;
}

NameBlock nameBlock(bracket::Side side, bool team) {
    const bracket::NameColumns& c = bracket::nameColumns(side);
    std::vector<int> columns = {c.seed, c.lineNumber, c.name};
    if (!team) columns.insert(columns.end(), {c.open, c.affiliation, c.close});
    const int name = team ? teamColumn(c.name) : c.name;
    if (team) std::transform(columns.begin(), columns.end(), columns.begin(), teamColumn);
    const auto [first, last] = std::minmax_element(columns.begin(), columns.end());
    return {*first, *last, name};
}

// Merges each filled cell of the block's rows 1..rows with the one below. A cell already
// merged with the one below stays; one whose two rows belong to other merges is left alone,
// since merging would swallow those merges and the values they hold, and is returned.
std::vector<std::string> mergeHalf(Session& session, sheet::Worksheet& ws, const NameBlock& block,
                                   int rows) {
    std::vector<std::string> overlapping;
    int emptyRows = 0;
    for (int x = 1; x <= rows; ++x) {
        session.progress.setValue(x);
        if (ws.value(x, block.name).isEmpty()) {
            if (++emptyRows > kMostEmptyRows) break;
            continue;
        }
        emptyRows = 0;
        for (int c = block.first; c <= block.last; ++c) {
            if (ws.value(x, c).isEmpty()) continue;
            const std::optional<sheet::Area> upper = ws.mergedAreaAt(x, c),
                                             lower = ws.mergedAreaAt(x + 1, c);
            if (!upper && !lower)
                ws.merge(sheet::Area{x, c, x + 1, c});
            else if (upper != lower)
                overlapping.push_back(sheet::cellReference(x, c));
        }
    }
    return overlapping;
}

}  // namespace

void restoreNameMerges(Session& session) {
    const TournamentState& s = session.state;
    session.marks.set(ids::kRestoreMerges, true);
    sheet::Workbook* workbook = session.workbookOrTell();
    if (!workbook) return;
    const std::string name = session.bracketSheetName();
    sheet::Worksheet* ws = workbook->findSheet(name);
    if (!ws) {
        session.tell("シート「" + name + "」がありません。セルを結合できません");
        return;
    }
    const int rows = 2 * s.EntryCount;
    const bool team = s.EventCode == "Ｔ";
    std::vector<std::string> overlapping;
    for (const auto& [side, caption] : {std::pair{bracket::Side::Left, "セル結合（左）"},
                                        std::pair{bracket::Side::Right, "セル結合（右）"}}) {
        session.progress.start(caption, 0, rows);
        const std::vector<std::string> half = mergeHalf(session, *ws, nameBlock(side, team), rows);
        overlapping.insert(overlapping.end(), half.begin(), half.end());
    }
    session.progress.hide();
    if (!overlapping.empty()) {
        std::string cells;
        for (const std::string& cell : overlapping) cells += (cells.empty() ? "" : ", ") + cell;
        session.log.append("他の結合と重なるため結合しなかったセル: " + cells);
    }
    session.tell("セル結合終了");
}

}  // namespace tombra::lists
