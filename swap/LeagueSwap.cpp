#include "swap/LeagueSwap.h"

#include <algorithm>
#include <map>
#include <set>

#include "bracket/LeagueFedBracket.h"
#include "session/Session.h"
#include "sheet/CellValue.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"

namespace tombra::swap {

namespace {

constexpr int kLeagueSheetRows = 1000;
constexpr int kFirstLabelColumn = 15, kLastLabelColumn = 20;  // of LeagueMemberName

}  // namespace

std::vector<int> unbalancedNumbers(const std::vector<Exchange>& exchanges) {
    std::map<int, int> count;
    for (const Exchange& e : exchanges) {
        ++count[e.from];
        ++count[e.to];
    }
    std::vector<int> odd;
    for (const auto& [n, c] : count)
        if (c % 2 == 1) odd.push_back(n);
    return odd;
}

std::optional<std::string> swapLeagueMembers(Session& session, sheet::Worksheet& ws,
                                             const std::vector<Exchange>& exchanges) {
    const TournamentState& s = session.state;
    // Each member's row and name by running number, down to the last entry's row.
    std::map<int, int> rowOf;
    std::map<int, sheet::CellValue> nameOf;
    session.progress.start("リーグDATA取得中", 0, kLeagueSheetRows);
    int last = kLeagueSheetRows;
    for (int r = 1; r <= kLeagueSheetRows; ++r) {
        session.progress.setValue(r);
        const std::optional<int> n = positionNumberIn(ws.value(r, 1));
        if (!n) continue;
        rowOf.emplace(*n, r);
        nameOf.emplace(*n, ws.value(r, 2));
        if (*n == s.EntryCount) {
            last = r;
            break;
        }
    }
    session.progress.hide();

    auto exists = [&rowOf](int n) { return rowOf.count(n) > 0; };
    if (auto problem = findUnworkableExchange(exchanges, exists, ws.name())) return problem;

    session.progress.start("リーグDATA書き換え中", 0, last);
    for (size_t i = 0; i < exchanges.size(); ++i) {
        session.progress.setValue(std::min(last, rowOf.at(exchanges[i].to)));
        ws.setValue(rowOf.at(exchanges[i].to), 2, nameOf.at(exchanges[i].from));
        session.log.append(numberText(exchanges[i].from) + " → " + numberText(exchanges[i].to) +
                           "：" + nameOf.at(exchanges[i].from).asText());
    }
    session.progress.hide();
    return std::nullopt;
}

std::optional<std::string> findUnplacedEntry(const TournamentState& s, int& found) {
    std::set<std::string> labels;
    for (int g = 1; g <= std::min<int>(s.LeagueGroupCount, s.LeagueMemberName.rowUpper()); ++g)
        for (int c = kFirstLabelColumn; c <= kLastLabelColumn; ++c)
            if (!s.LeagueMemberName(g, c).empty()) labels.insert(s.LeagueMemberName(g, c));
    found = 0;
    for (int school = 1; school <= s.EntryName.rowUpper(); ++school)
        for (int entry = 1; entry <= s.EntryName.columnUpper(); ++entry) {
            if (s.EntryName(school, entry).empty()) break;
            const std::string label = bracket::leagueMemberLabel(s, school, entry);
            if (!labels.count(label)) return label;
            ++found;
        }
    return std::nullopt;
}

}  // namespace tombra::swap
