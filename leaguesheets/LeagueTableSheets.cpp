#include "leaguesheets/LeagueTableSheets.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "bracket/SheetPreparation.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "sheet/Constants.h"
#include "sheet/PageSetup.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "state/EntryCode.h"
#include "state/Numbers.h"

namespace tombra::leaguesheets {

namespace {

namespace xl = sheet::xl;
using sheet::Area;

enum class Kind { Individual, Team, Singles };

struct Member {
    std::string name;   // across the header row
    std::string label;  // down the name column
};

// What differs between the three sheets.
struct Variant {
    Kind kind;
    int rowStep;
    double headerHeight, memberHeight;
    int labelAlignment;
    const char* caption;
};

constexpr Variant kIndividual{Kind::Individual, 8, 16, 27, xl::HAlignCenter, "書き込み"};
constexpr Variant kTeam{Kind::Team, 8, 20, 20, xl::HAlignDistributed, "団体書き込み"};
constexpr Variant kSingles{Kind::Singles, 7, 20, 27, xl::HAlignCenter, "シングルスリーグ書き込み"};

Member memberAt(const TournamentState& s, const Variant& v, int group, int place) {
    const float slot = s.TableSlot(group, place);
    if (slot <= 0) return {};  // an empty place writes an empty member
    if (v.kind == Kind::Singles) {
        const DecodedEntry e = decodeEntry(slot);
        if (e.school < 1 || e.school > s.EntryName.rowUpper() || e.entry < 1 ||
            e.entry > s.EntryName.columnUpper())
            return {};
        const std::string& name = s.EntryName(e.school, e.entry);
        return {name, name + "\r\n(" + s.EntryAffiliation(e.school, e.entry) + ")"};
    }
    const int m = static_cast<int>(slot);
    if (m < 1 || m > s.EntryTable.rowUpper()) return {};
    if (v.kind == Kind::Team) return {s.EntryTable(m, 2), s.EntryTable(m, 2)};
    return {s.EntryTable(m, 3), s.EntryTable(m, 3) + "\r\n(" + s.EntryTable(m, 2) + ")"};
}

std::string sheetTitle(const TournamentState& s, const Variant& v) {
    switch (v.kind) {
        case Kind::Individual:
            return "個人リーグ戦（ " + s.EventName + " ）";
        case Kind::Team:
            return s.GenderName + "団体戦 予選リーグ";
        case Kind::Singles:
            return s.GenderName + "シングルス 予選リーグ";
    }
    return {};
}

// One cross table per group. A group is placed a row step below the one before; a group
// too large for the step pushes the next one down, so that no group overwrites another.
void writeGroups(Session& session, sheet::Worksheet& ws, const Variant& v) {
    const TournamentState& s = session.state;
    const int groups = std::clamp<int>(s.TableCount, 0, s.TableSize.upper());
    ui::ProgressDialog& progress = session.progress;
    progress.start(v.caption, 0, groups);
    ws.setText(1, 2, sheetTitle(s, v));
    const sheet::BorderChange line{xl::Continuous, {}, {}};
    int header = 4, running = 0;
    std::vector<Area> blocks;  // each group from its title to its last member
    for (int i = 1; i <= groups; ++i) {
        progress.setValue(i);
        progress.setCaption(v.caption + strText(i) + "/" + strText(groups));
        const int n = std::clamp<int>(s.TableSize(i), 0, s.TableSlot.columnUpper());
        ws.setText(header - 1, 2,
                   v.kind == Kind::Singles ? "第" + strText(i) + "グループ" : groupTitle(i));
        for (int j = 1; j <= n; ++j) {
            const Member member = memberAt(s, v, i, j);
            const int row = header + j;
            ws.setNumber(row, 1, v.kind == Kind::Singles ? ++running : j);
            ws.setVerticalAlignment(Area::cell(row, 1), xl::VAlignCenter);
            ws.setText(row, 2, member.label);
            ws.setText(header, 2 + j, member.name);
            ws.setRowHeight(Area{row, 1, row, 1}, v.memberHeight);
        }
        ws.setText(header, 3 + n, "得　点");
        ws.setText(header, 4 + n, "順　位");
        ws.setRowHeight(Area{header, 1, header, 1}, v.headerHeight);
        const Area block{header, 2, header + n, 4 + n};
        ws.setAllBorders(block, line);
        ws.setAlignment(Area{header, 3, header + n, 4 + n}, {xl::HAlignCenter, xl::VAlignCenter});
        if (n > 0) {
            ws.setAlignment(Area{header + 1, 2, header + n, 2},
                            {v.labelAlignment, xl::VAlignCenter});
            for (int j = 1; j <= n; ++j)
                ws.setBorder(Area::cell(header + j, 2 + j), xl::DiagonalDown, line);
        }
        blocks.push_back({header - 1, 1, header + n, 4 + n});
        header += std::max(v.rowStep, n + 2);
    }
    bracket::fitBlockColumns(ws, blocks);
    bracket::laySheetOnPages(ws, blocks);
}

// Each entry of the division gets its group number in column 9 of its entry row and of
// EntryTable. Entries are the division's rows in order, up to the first empty row after
// them; the heading rows above the first entry (column 1 empty, as the entry reader also
// passes them over) do not end the list before it begins.
void writeGroupNumbersBack(Session& session, sheet::Workbook& workbook) {
    TournamentState& s = session.state;
    const int division = s.EventCode == "Ｋ１"   ? 1
                         : s.EventCode == "Ｋ２" ? 2
                         : s.EventCode == "Ｋ３" ? 3
                                                 : 0;
    sheet::Worksheet* entries = workbook.findSheet(s.GenderName);
    if (!entries) return;
    const int groups = std::clamp<int>(s.TableCount, 0, s.TableSize.upper());
    auto groupOf = [&](int m) {
        for (int i = 1; i <= groups; ++i)
            for (int j = 1; j <= std::min<int>(s.TableSize(i), s.TableSlot.columnUpper()); ++j)
                if (s.TableSlot(i, j) == static_cast<float>(m)) return i;
        return 0;
    };
    int m = 0;
    bool begun = false;
    for (int r = 1; r <= s.MaxEntryRows; ++r) {
        if (entries->value(r, 1).isEmpty()) {
            if (begun) break;
            continue;
        }
        begun = true;
        if (roundToInteger(readNumber(entries->value(r, 6).asText())) != division ||
            entries->value(r, 7).isEmpty())
            continue;
        const int group = groupOf(++m);
        if (group == 0) continue;
        entries->setNumber(r, 9, group);
        if (m <= s.EntryTable.rowUpper()) s.EntryTable(m, 9) = numberText(group);
    }
}

}  // namespace

std::string groupTitle(int group) {
    static const char* const kFullWidth[] = {"Ａ", "Ｂ", "Ｃ", "Ｄ", "Ｅ", "Ｆ", "Ｇ", "Ｈ", "Ｉ",
                                             "Ｊ", "Ｋ", "Ｌ", "Ｍ", "Ｎ", "Ｏ", "Ｐ", "Ｑ", "Ｒ",
                                             "Ｓ", "Ｔ", "Ｕ", "Ｖ", "Ｗ", "Ｘ", "Ｙ", "Ｚ"};
    if (group < 1) return "グループ";
    if (group <= 26) return std::string("グループ") + kFullWidth[group - 1];
    // Two half-width letters from AA on; past BR the same scheme goes on (BS, BT, ...).
    const int k = group - 27;
    return "グループ" + std::string(1, static_cast<char>('A' + k / 26)) +
           std::string(1, static_cast<char>('A' + k % 26));
}

void buildIndividualLeagueSheet(Session& session) {
    session.marks.set(ids::kBuildIndividualLeagueSheet, true);
    sheet::Workbook* workbook = session.workbookOrTell();
    if (!workbook) return;
    session.progress.start("", 0, 3);
    session.progress.setValue(1);
    sheet::Worksheet& ws = bracket::clearedSheet(*workbook, session.state.EventName);
    session.progress.setValue(2);
    writeGroups(session, ws, kIndividual);
    session.progress.start("グループ書き込み", 0, 3);
    session.progress.setValue(3);
    writeGroupNumbersBack(session, *workbook);
    session.progress.hide();
    session.tell("書き込み終了");
}

void buildTeamLeagueSheet(Session& session) {
    session.marks.set(ids::kBuildTeamLeagueSheet, true);
    sheet::Workbook* workbook = session.workbookOrTell();
    if (!workbook) return;
    writeGroups(session, bracket::clearedSheet(*workbook, session.state.GenderName + "Ｔ"), kTeam);
    session.progress.hide();
    session.tell("作成終了");
}

void buildLeagueBracketLeagues(Session& session) {
    sheet::Workbook* workbook = session.workbookOrTell();
    if (!workbook) return;
    writeGroups(session, bracket::clearedSheet(*workbook, session.state.GenderName + "Ｒ"),
                kSingles);
    session.progress.hide();
    session.tell("作成終了");
}

}  // namespace tombra::leaguesheets
