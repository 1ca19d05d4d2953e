#include "records/LeagueRecord.h"

#include <map>
#include <string>

#include "leaguesheets/LeagueToBracket.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"

namespace tombra::records {

namespace {

constexpr int kMostGroups = 128;
constexpr int kMembersRead = 5;  // rows under a group's heading
const char* const kLineBreak = "\r\n";
const char* const kCircled[] = {"", "①", "②", "③", "④", "⑤"};

const char* codeOf(const std::string& eventName) {
    return eventName == "ダブルス" ? "Ｄ" : eventName == "団体" ? "Ｔ" : "Ｓ";
}

using Member = leaguesheets::LeagueSheetMember;

// Reads the league sheet: each group's winner, and (into LeagueRankLabel) every member's label
// by its rank.
std::map<int, Member> readWinners(Session& session, sheet::Worksheet& league) {
    TournamentState& s = session.state;
    std::map<int, Member> winners;
    auto filled = [&league](int row) { return row >= 1 && !league.value(row, 1).isEmpty(); };
    auto member = [&league](int row) { return leaguesheets::leagueMemberAt(league, row); };
    int group = 0;
    for (int r = 2; r <= 3 * s.EntryCount; ++r) {
        session.progress.setCaption(s.GenderName + "_リーグ順位をヤグラへ反映中");
        session.progress.setValue(std::min(r, 800));
        const std::string heading = league.text(r, 2);
        if (heading.rfind("第 ", 0) == 0) {
            group = leaguesheets::leagueGroupOfTitle(heading);
            continue;
        }
        if (group == 0) continue;
        if (!filled(r - 1) && filled(r) && !filled(r + 1)) {  // a league of one
            winners[group] = member(r);
            s.LeagueRankLabel(group, 1) = member(r).label;
            continue;
        }
        for (int rankColumn = 7; rankColumn <= 9; ++rankColumn) {
            const std::string head = league.text(r, rankColumn);
            if (head != "順位" && head != "順　位") continue;
            for (int i = r + 1; i <= r + kMembersRead; ++i) {
                if (!filled(i)) continue;
                const long long rank = roundToInteger(readNumber(league.text(i, rankColumn)));
                if (rank < 0 || rank > s.LeagueRankLabel.columnUpper()) continue;
                s.LeagueRankLabel(group, static_cast<int>(rank)) = member(i).label;
                if (rank == 1) winners[group] = member(i);
            }
            break;
        }
    }
    return winners;
}

// The league number each starting position holds, by row, for one half's number column.
template <class Write>
void eachPosition(Session& session, sheet::Worksheet& bracket, int numberColumn,
                  const std::string& caption, int most, Write write) {
    for (int r = 1; r <= 200; ++r) {
        session.progress.setCaption(session.state.GenderName + caption);
        session.progress.setValue(r);
        if (bracket.value(r, numberColumn).isEmpty()) continue;
        const long long g = roundToInteger(readNumber(bracket.text(r, numberColumn)));
        if (g >= 1 && g <= most) write(r, static_cast<int>(g));
    }
}

}  // namespace

void carryLeagueWinners(Session& session, sheet::Workbook& workbook) {
    TournamentState& s = session.state;
    session.marks.set(ids::kMatchRecords, true);
    s.EventCode = "Ｒ";
    s.BracketPrintOnly = codeOf(s.EventName);
    sheet::Worksheet* league = workbook.findSheet(s.GenderName + "Ｒ");
    sheet::Worksheet* bracket = workbook.findSheet(s.GenderName + s.BracketPrintOnly);
    s.EventCode = codeOf(s.EventName);
    if (!league || !bracket) return;
    s.LeagueRankLabel.fill(String());
    session.progress.start(s.GenderName + "_リーグ順位をヤグラへ反映中", 1, 800);
    const std::map<int, Member> winners = readWinners(session, *league);
    leaguesheets::numberStartingPositions(*bracket,
                                          leaguesheets::bracketHalves(workbook, s.GenderName));
    for (auto [numberColumn, nameColumn, caption] :
         {std::tuple{2, 3, "_左トーナメント戦書込み中"}, {26, 22, "_右トーナメント戦書込み中"}})
        eachPosition(session, *bracket, numberColumn, caption, 256, [&](int r, int g) {
            auto winner = winners.find(g);
            if (winner == winners.end()) return;
            bracket->setText(r, numberColumn, winner->second.number);
            bracket->setText(r, nameColumn, winner->second.label);
        });
    session.progress.hide();
}

void writeLeagueRanks(Session& session, sheet::Workbook& workbook) {
    TournamentState& s = session.state;
    s.BracketPrintOnly = codeOf(s.EventName);
    sheet::Worksheet* bracket = workbook.findSheet(s.GenderName + s.BracketPrintOnly);
    if (!bracket) return;
    session.progress.start(s.GenderName + "_左トーナメントへ敗者書込み中", 1, 800);
    leaguesheets::numberStartingPositions(*bracket,
                                          leaguesheets::bracketHalves(workbook, s.GenderName));
    for (auto [numberColumn, nameColumn, caption] :
         {std::tuple{2, 3, "_左トーナメントへ敗者書込み中"},
          {26, 22, "_右トーナメントへ敗者書込み中"}})
        eachPosition(session, *bracket, numberColumn, caption, kMostGroups, [&](int r, int g) {
            std::string text = std::string(kCircled[1]) + bracket->text(r, nameColumn);
            for (int u = 2; u <= 5; ++u)
                if (!s.LeagueRankLabel(g, u).empty())
                    text += kLineBreak + std::string(kCircled[u]) + s.LeagueRankLabel(g, u);
            bracket->setText(r, nameColumn, text);
        });
    bracket->setText(1, 3, "①：トーナメント戦出場");
    bracket->clearContents("a:a,aa:aa");
    session.progress.hide();
}

}  // namespace tombra::records
