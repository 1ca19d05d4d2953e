#include "lists/ParticipantList.h"

#include <array>
#include <vector>

#include "intake/OpenCommand.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

namespace tombra::lists {

namespace {

constexpr const char* kTallySheet = "集計";
constexpr const char* kListSheet = "参加一覧";
// The tally is read from its first row down to the first row without a school, and never past
// this row.
constexpr int kLastTallyRow = 200;
constexpr int kKeyColumn = 2;    // B: the school, which rows are folded by
constexpr int kLastColumn = 11;  // K
constexpr int kNumberColumn = 1;
// The rows above are the list's own headings.
constexpr int kFirstListRow = 4;

// Columns A..K of one line; column 0 is not used.
using Line = std::array<sheet::CellValue, kLastColumn + 1>;

std::vector<Line> readTally(Session& session, const sheet::Worksheet& tally) {
    std::vector<Line> lines;
    for (int r = 1; r <= kLastTallyRow; ++r) {
        session.progress.setValue(r);
        if (tally.value(r, kKeyColumn).isEmpty()) break;
        Line& line = lines.emplace_back();
        for (int c = kKeyColumn; c <= kLastColumn; ++c) line[c] = tally.value(r, c);
    }
    return lines;
}

// A later line naming the same school as an earlier one gives that line its filled cells and
// goes; the earlier line keeps its place.
std::vector<Line> foldSameSchools(std::vector<Line> lines) {
    for (size_t a = 0; a < lines.size(); ++a) {
        if (lines[a][kKeyColumn].isEmpty()) continue;
        const std::string key = lines[a][kKeyColumn].asText();
        for (size_t b = a + 1; b < lines.size(); ++b) {
            if (lines[b][kKeyColumn].isEmpty() || lines[b][kKeyColumn].asText() != key) continue;
            for (int c = kKeyColumn + 1; c <= kLastColumn; ++c)
                if (!lines[b][c].isEmpty()) lines[a][c] = lines[b][c];
            lines[b][kKeyColumn] = {};
        }
    }
    std::erase_if(lines, [](const Line& line) { return line[kKeyColumn].isEmpty(); });
    return lines;
}

}  // namespace

void buildParticipantList(Session& session) {
    session.marks.set(ids::kParticipantList, true);
    sheet::Workbook* workbook = intake::openChosenWorkbook(session);
    if (!workbook) return;
    const sheet::Worksheet* tally = workbook->findSheet(kTallySheet);
    if (!tally) {
        session.tell(std::string("シート「") + kTallySheet +
                     "」がありません。参加一覧を作成できません");
        return;
    }
    session.progress.start(kListSheet, 0, kLastTallyRow + 1);
    const std::vector<Line> lines = foldSameSchools(readTally(session, *tally));

    sheet::Worksheet* found = workbook->findSheet(kListSheet);
    sheet::Worksheet& list = found ? *found : workbook->addSheet(kListSheet);
    // Down to the last row a full tally can fill, so that a shorter list leaves nothing behind.
    list.clear(sheet::Area{kFirstListRow, 1, kFirstListRow + kLastTallyRow - 1, kLastColumn});
    for (size_t n = 1; n <= lines.size(); ++n) {
        session.progress.setValue(static_cast<int>(n));
        const int row = kFirstListRow + static_cast<int>(n) - 1;
        list.setNumber(row, kNumberColumn, static_cast<double>(n));
        for (int c = kKeyColumn; c <= kLastColumn; ++c) list.setValue(row, c, lines[n - 1][c]);
    }
    session.progress.hide();
    session.tell("参加一覧作成終了");
}

}  // namespace tombra::lists
