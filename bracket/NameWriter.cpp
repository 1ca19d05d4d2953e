#include "bracket/NameWriter.h"

#include "bracket/BracketLines.h"
#include "session/Session.h"
#include "sheet/Worksheet.h"
#include "state/EntryCode.h"
#include "state/Numbers.h"

namespace tombra::bracket {

namespace {

struct EntryTexts {
    std::string name, affiliation;
};

// An open or empty position, or a code outside the entry tables, shows a blank line rather
// than ending the build.
EntryTexts entryTexts(const TournamentState& s, float code) {
    if (code <= 0) return {};
    const DecodedEntry e = decodeEntry(code);
    if (e.school < 0 || e.school > s.EntryName.rowUpper() || e.entry < 0 ||
        e.entry > s.EntryName.columnUpper())
        return {};
    return {s.EntryName(e.school, e.entry), s.EntryAffiliation(e.school, e.entry)};
}

void writeMerged(sheet::Worksheet& sheet, int row, int column, const std::string& text) {
    sheet.setText(row, column, text);
    sheet.merge(sheet::Area{row, column, row + 1, column});
}

}  // namespace

int writeHalf(Session& session, sheet::Worksheet& sheet, Side side, int first, int last, int& r) {
    TournamentState& s = session.state;
    const NameColumns& col = nameColumns(side);
    const std::string page = numberText(s.CurrentPage) + "頁";
    const bool left = side == Side::Left;

    for (int t = first; t <= last; ++t) {
        session.progress.setValue(t);
        const int size = s.TableSize(t);
        int tableRow = 0;
        for (int j = 1; j <= size; ++j) {
            r += 2;
            if (j == 1) tableRow = r;
            const float code = s.TableSlot(t, j);
            // An empty position (0) would otherwise match every unused seed number.
            if (code > 0)
                for (int k = 1; k <= s.SeedCount; ++k)
                    if (s.PositionEntry(k) == code)
                        writeMerged(sheet, r, col.seed, "S" + numberText(k));

            ++s.BracketLineNumber;
            sheet.setNumber(r, col.lineNumber, s.BracketLineNumber);
            sheet.merge(sheet::Area{r, col.lineNumber, r + 1, col.lineNumber});

            const EntryTexts texts = entryTexts(s, code);
            writeMerged(sheet, r, col.name, texts.name);
            writeMerged(sheet, r, col.open, "(");
            writeMerged(sheet, r, col.affiliation, texts.affiliation);
            writeMerged(sheet, r, col.close, ")");
        }
        if (size < 1) continue;
        session.progress.setCaption(page + (left ? "-ヤグラ左" : "-ヤグラ右"));
        session.progress.setCaption(page + (left ? "-左ヤグラ作成" : "-右ヤグラ作成"));
        drawTable(s, sheet, side, t, tableRow);
    }
    return r + 1;
}

}  // namespace tombra::bracket
