#include "bracket/LeagueFedBracket.h"

#include <algorithm>
#include <string>
#include <vector>

#include "bracket/BracketLines.h"
#include "bracket/SheetPreparation.h"
#include "session/Session.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "state/EntryCode.h"
#include "state/Numbers.h"

namespace tombra::bracket {

namespace {

namespace xl = sheet::xl;
using sheet::Area;

constexpr const char* kLineBreak = "\r\n";

std::string memberText(const TournamentState& s, float code) {
    if (code <= 0) return {};
    const DecodedEntry e = decodeEntry(code);
    if (e.school < 0 || e.school > s.EntryName.rowUpper() || e.entry < 0 ||
        e.entry > s.EntryName.columnUpper())
        return {};
    return leagueMemberLabel(s, e.school, e.entry);
}

void writeMergedCell(sheet::Worksheet& ws, const Area& area, const std::string& text) {
    ws.setText(area.top, area.left, text);
    ws.merge(area);
    ws.setAlignment(area, {xl::HAlignDistributed, xl::VAlignCenter});
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(kLineBreak, start);
        out.push_back(
            text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return out;
}

// A group as the bracket sheet shows it: where its position stands and its member texts.
struct Group {
    int row = 0;
    Side side = Side::Left;
    std::vector<std::string> members;
};

}  // namespace

std::string leagueMemberLabel(const TournamentState& s, int school, int entry) {
    if (s.EventCode == "Ｔ") return s.EntryName(school, entry);
    return s.EntryName(school, entry) + "(" + s.EntryAffiliation(school, entry) + ")";
}

int writeLeagueHalf(Session& session, sheet::Worksheet& ws, Side side, int first, int last,
                    int& r) {
    TournamentState& s = session.state;
    const NameColumns& col = nameColumns(side);
    const int nameLeft = std::min(col.name, col.close), nameRight = std::max(col.name, col.close);
    const int leagueSize = std::max<int>(1, s.LeagueSize);
    const std::string page = numberText(s.CurrentPage) + "頁";
    for (int t = first; t <= last; ++t) {
        session.progress.setValue(t);
        r += 2;
        const int size = std::clamp<int>(s.TableSize(t), 0, s.TableSlot.columnUpper());
        // A table of two to three leagues' worth of players shows as two positions.
        const bool twoPositions = size >= 2 * leagueSize && size <= 3 * leagueSize;
        const int tableRow = r;
        std::string numbers, names;
        bool evenSeed = false;
        auto writePosition = [&] {
            writeMergedCell(ws, Area{r, col.lineNumber, r + 1, col.lineNumber}, numbers);
            writeMergedCell(ws, Area{r, nameLeft, r + 1, nameRight}, names);
            numbers.clear();
            names.clear();
        };
        for (int j = 1; j <= size; ++j) {
            if (twoPositions && j == leagueSize + 1) {
                writePosition();
                r += 2;
            }
            const float code = s.TableSlot(t, j);
            if (code > 0)
                for (int k = 1; k <= s.SeedCount; ++k)
                    if (s.PositionEntry(k) == code) {
                        writeMergedCell(ws, Area{r, col.seed, r + 1, col.seed},
                                        "S" + numberText(k));
                        evenSeed |= k % 2 == 0;
                    }
            ++s.BracketLineNumber;
            const std::string separator = numbers.empty() ? "" : kLineBreak;
            numbers += separator + numberText(s.BracketLineNumber);
            names += separator + memberText(s, code);
        }
        if (size > 0) writePosition();
        // An even seed goes to the other position of its table, with its mark.
        if (twoPositions && evenSeed) {
            const std::string upper = ws.text(r - 2, col.name), lower = ws.text(r, col.name);
            ws.setText(r - 2, col.name, lower);
            ws.setText(r, col.name, upper);
            writeMergedCell(ws, Area{r, col.seed, r + 1, col.seed}, ws.text(r - 2, col.seed));
            ws.setText(r - 2, col.seed, "");
        }
        session.progress.setCaption(page + (side == Side::Left ? "-ヤグラ左" : "-ヤグラ右"));
        if (size > 0) drawTable(s, ws, side, t, tableRow);
    }
    return r + 1;
}

void writePreliminaryLeagueSheet(Session& session, sheet::Workbook& workbook,
                                 sheet::Worksheet& bracketSheet) {
    const TournamentState& s = session.state;
    const int pages = std::max<int>(s.PageCount, 1);
    session.progress.start("ヤグラからリーグ表を作成中", 0, pages);

    // The groups page by page, left before right, each in the order it stands.
    const std::optional<Area> used = bracketSheet.usedArea();
    const int bottom = used ? used->bottom : 0;
    const std::vector<int> starts = bracketSheet.pageStarts(1, std::max(bottom, 1));
    std::vector<Group> groups;
    for (size_t p = 0; p + 1 < starts.size() && p < static_cast<size_t>(pages); ++p) {
        session.progress.setValue(static_cast<int>(p) + 1);
        const int first = starts[p], last = std::min(starts[p] + 60, bottom);
        for (Side side : {Side::Left, Side::Right}) {
            const int column = nameColumns(side).name;
            for (int row = first; row <= last; ++row) {
                if (bracketSheet.text(row, kCentreColumn).rfind("─", 0) == 0) break;
                const std::string text = bracketSheet.text(row, column);
                if (text.empty()) continue;
                std::vector<std::string> members = lines(text);
                if (members.size() > 5) members.resize(5);
                groups.push_back({row, side, std::move(members)});
            }
        }
    }

    // "[n]" beside each position, numbered as the league sheet numbers its groups.
    for (size_t g = 0; g < groups.size(); ++g) {
        const int column = nameColumns(groups[g].side).seed;
        const Area label{groups[g].row, column, groups[g].row + 1, column};
        bracketSheet.setText(label.top, label.left, "[" + numberText(g + 1) + "]");
        bracketSheet.merge(label);
        bracketSheet.setAlignment(label, {xl::HAlignCenter, xl::VAlignCenter});
    }

    sheet::Worksheet& ws = clearedSheet(workbook, s.GenderName + "Ｒ");
    ws.setText(1, 2, s.GenderName + s.EventName + "予選リーグ");
    ws.setFont(Area::cell(1, 2), {.size = 16, .bold = true});
    const std::string separator = s.EventCode == "Ｔ" ? "：" : "(";
    int row = 3, running = 0;
    std::vector<Area> blocks;  // each group from its title to its last member
    for (size_t g = 0; g < groups.size(); ++g) {
        const std::vector<std::string>& members = groups[g].members;
        const int n = static_cast<int>(members.size());
        ws.setText(row, 2, "第" + strText(static_cast<double>(g + 1)) + "グループ");
        ws.setFont(Area::cell(row, 2), {.size = 14, .bold = true});
        const int header = row + 1;
        for (int k = 1; k <= n; ++k) {
            const std::string& text = members[static_cast<size_t>(k - 1)];
            const size_t at = text.find(separator);
            const std::string name = text.substr(0, at);
            ws.setText(header, 2 + k, name);
            ws.setNumber(header + k, 1, ++running);
            ws.setText(header + k, 2,
                       at == std::string::npos || s.EventCode == "Ｔ"
                           ? text
                           : name + kLineBreak + text.substr(at));
        }
        ws.setText(header, 3 + n, "得点");
        ws.setText(header, 4 + n, "順位");
        const Area block{header, 2, header + n, 4 + n};
        ws.setAlignment(block, {xl::HAlignCenter, xl::VAlignCenter});
        ws.setAllBorders(block, {xl::Continuous, {}, {}});
        blocks.push_back({row, 1, header + n, 4 + n});
        row = header + n + 3;
    }
    fitBlockColumns(ws, blocks);
    laySheetOnPages(ws, blocks);
    session.progress.hide();
}

}  // namespace tombra::bracket
