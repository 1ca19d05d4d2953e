#include "bracket/SchoolPositionSheet.h"

#include <algorithm>

#include "bracket/SheetPreparation.h"
#include "session/Session.h"
#include "sheet/CellText.h"
#include "sheet/Worksheet.h"
#include "state/EntryCode.h"
#include "state/Numbers.h"

namespace tombra::bracket {

namespace {

// A pair from two schools lists both; any entry of the school will do, the first with text.
std::string schoolAffiliation(const TournamentState& s, int school) {
    for (int k = 1; k <= s.EntryAffiliation.columnUpper(); ++k)
        if (!s.EntryAffiliation(school, k).empty()) return s.EntryAffiliation(school, k);
    return {};
}

// "12:山田(3)". A name too long for a cell is cut, so the position and the entry number stay.
std::string positionText(int position, std::string_view name, int entry) {
    const std::string head = numberText(position) + ":", tail = "(" + numberText(entry) + ")";
    const std::size_t room =
        sheet::kMaxCellTextLength - sheet::cellTextLength(head) - sheet::cellTextLength(tail);
    return head + std::string(sheet::cutToCellLength(name, room)) + tail;
}

}  // namespace

std::string schoolPositionSheetName(const std::string& genderName) { return genderName + "ＮＴ"; }

void writeSchoolPositionSheet(Session& session, sheet::Workbook& workbook) {
    const TournamentState& s = session.state;
    session.progress.setCaption("学校別ヤグラ位置");
    sheet::Worksheet& ws = clearedSheet(workbook, schoolPositionSheetName(s.GenderName));
    ws.setText(1, 1, "＜" + s.GenderName + "＞" + "　学校別ヤグラ位置");

    const int schools = std::min<int>(s.MaxSchoolNo, s.SchoolEntryCount.upper());
    const int tables = std::min<int>(s.TableCount, s.TableSize.upper());
    int row = 1;
    for (int school = 1; school <= schools; ++school) {
        if (s.SchoolEntryCount(school) == 0) continue;
        ++row;
        ws.setNumber(row, 1, school);
        ws.setText(row, 2, schoolAffiliation(s, school));
        int lastBand = 0;
        int position = 0;
        for (int t = 1; t <= tables; ++t) {
            for (int j = 1; j <= s.TableSize(t); ++j) {
                ++position;
                const float code = s.TableSlot(t, j);
                if (code <= 0) continue;
                const DecodedEntry e = decodeEntry(code);
                if (e.school != school || e.entry < 1 || e.entry > s.EntryName.columnUpper())
                    continue;
                // Ten players to a row: players 11..20 of a school go on the next row.
                const int band = (e.entry - 1) / 10, column = e.entry - 10 * band;
                ws.setText(row + band, 2 + column,
                           positionText(position, s.EntryName(school, e.entry), e.entry));
                lastBand = std::max(lastBand, band);
            }
        }
        row += lastBand;
    }
    ws.autoFitColumns("b:z");
}

}  // namespace tombra::bracket
