#include "leaguesheets/LeagueToBracket.h"

#include <algorithm>
#include <string>
#include <vector>

#include "session/Session.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"

namespace tombra::leaguesheets {

namespace {

constexpr int kMaxGroups = 128;
constexpr int kMaxMembers = 5;
constexpr int kFirstLabelColumn = 15;  // of LeagueMemberName
constexpr const char* kLineBreak = "\r\n";

using LeagueMember = LeagueSheetMember;
using Leagues = std::vector<std::vector<LeagueMember>>;  // by group number, 0 unused

// The label up to the mark, at most ten characters: what the league table's heading shows.
std::string shortName(const std::string& label, const std::string& mark) {
    const std::string name = mark.empty() ? label : label.substr(0, label.find(mark));
    size_t end = 0;
    for (int characters = 0; end < name.size() && characters < 10; ++characters) {
        const unsigned char c = static_cast<unsigned char>(name[end]);
        end += c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
    }
    return name.substr(0, std::min(end, name.size()));
}

// Reads the league sheet: every group's members in order, as they stand under its title.
Leagues readLeagues(Session& session, sheet::Worksheet& league, const std::string& mark) {
    TournamentState& s = session.state;
    Leagues leagues(kMaxGroups + 1);
    auto filled = [&league](int row, int column) {
        return row >= 1 && !league.value(row, column).isEmpty();
    };
    int title = 0, group = 0;
    for (int r = 2; r <= 3 * s.EntryCount; ++r) {
        session.progress.setCaption(s.GenderName + "_リーグ戦読込中");
        session.progress.setValue(std::min(r, 1000));
        const std::string heading = league.text(r, 2);
        if (heading.rfind("第 ", 0) == 0) {
            title = r;
            group = leagueGroupOfTitle(heading);
            s.LeagueGroupCount = std::max<Integer>(s.LeagueGroupCount, static_cast<Integer>(group));
            continue;
        }
        if (group == 0) continue;
        auto member = [&league](int row) { return leagueMemberAt(league, row); };
        if (!filled(r - 1, 1) && filled(r, 1) && !filled(r + 1, 1)) {  // a league of one
            leagues[static_cast<size_t>(group)] = {member(r)};
            s.LeagueMemberName(group, kFirstLabelColumn) = member(r).label;
            continue;
        }
        if (!filled(r, 1) || !filled(title + 1, 3)) continue;
        std::vector<LeagueMember>& members = leagues[static_cast<size_t>(group)];
        members.clear();
        const int first = r;
        for (int i = first; i <= first + kMaxMembers - 1; ++i) {
            if (!filled(i, 1)) continue;
            members.push_back(member(i));
            const int n = static_cast<int>(members.size());
            s.LeagueMemberName(group, kFirstLabelColumn - 1 + n) = members.back().label;
            if (filled(title + 1, n + 2))
                league.setText(title + 1, n + 2, shortName(members.back().label, mark));
            r = i;
        }
    }
    return leagues;
}

void writeMembers(Session& session, sheet::Worksheet& bracket, const Leagues& leagues,
                  int numberColumn, int nameColumn, const std::string& caption) {
    for (int r = 1; r <= 200; ++r) {
        session.progress.setCaption(session.state.GenderName + caption);
        session.progress.setValue(r);
        if (bracket.value(r, numberColumn).isEmpty()) continue;
        const long long g = roundToInteger(readNumber(bracket.text(r, numberColumn)));
        // A position that holds no league number is left as it is.
        if (g < 1 || g > kMaxGroups) continue;
        const std::vector<LeagueMember>& members = leagues[static_cast<size_t>(g)];
        std::string numbers, names;
        for (size_t k = 0; k < members.size(); ++k) {
            const std::string separator = k + 1 < members.size() ? kLineBreak : "";
            numbers += members[k].number + separator;
            names += members[k].label + separator;
        }
        bracket.setText(r, numberColumn, numbers);
        bracket.setText(r, nameColumn, names);
    }
}

}  // namespace

int leagueGroupOfTitle(const std::string& heading) {
    const std::string opening = "第 ";
    if (heading.rfind(opening, 0) != 0) return 0;
    // The number runs from after "第" up to "グ"; Str's blank before it reads away.
    const size_t from = std::string("第").size(), end = heading.find("グ");
    const long long g = roundToInteger(readNumber(
        heading.substr(from, end == std::string::npos ? std::string::npos : end - from)));
    return g >= 1 && g <= kMaxGroups ? static_cast<int>(g) : 0;
}

LeagueSheetMember leagueMemberAt(const sheet::Worksheet& league, int row) {
    std::string label = league.text(row, 2);
    for (size_t at; (at = label.find(kLineBreak)) != std::string::npos;) label.erase(at, 2);
    return {league.text(row, 1), label};
}

void numberStartingPositions(sheet::Worksheet& bracket, int halves) {
    int count = 0, start = 3;
    for (int h = 1; h <= halves; ++h) {
        const int column = h % 2 == 1 ? 2 : 26;
        for (int r = start; r <= start + 50; ++r) {
            if (!bracket.value(r, column).isEmpty()) bracket.setNumber(r, column, ++count);
            if (bracket.text(r, 14).rfind("─", 0) == 0) {
                if (column == 26) start = r + 2;
                break;
            }
        }
    }
}

int bracketHalves(sheet::Workbook& workbook, const std::string& genderName) {
    int exponent = 0;
    if (sheet::Worksheet* summary = workbook.findSheet("基礎Ｄ")) {
        const int column = genderName == "男子" ? 2 : genderName == "女子" ? 5 : 0;
        if (column > 0)
            exponent = static_cast<int>(
                std::clamp<long long>(roundToInteger(readNumber(summary->text(4, column))), 0, 6));
    }
    return 1 << exponent;
}

bool convertLeagues(Session& session) {
    TournamentState& s = session.state;
    session.marks.set("リーグ_トーナメント", true);
    const std::string mark = s.EventName == "シングルス" ? "(" : s.EventName == "団体" ? "：" : "";
    sheet::Workbook* workbook = session.workbookOrTell();
    if (!workbook) return false;
    s.BracketPrintOnly = "Ｒ";
    sheet::Worksheet* league = workbook->findSheet(s.GenderName + "Ｒ");
    sheet::Worksheet* bracket = workbook->findSheet(session.bracketSheetName());
    if (!league || !bracket) {
        session.tell("シート「" + (league ? session.bracketSheetName() : s.GenderName + "Ｒ") +
                     "」がありません。リーグ表をトーナメントへ変換できません");
        return false;
    }

    session.progress.start(s.GenderName + "_リーグ戦読込中", 1, 1000);
    s.LeagueGroupCount = 0;
    const Leagues leagues = readLeagues(session, *league, mark);
    session.progress.hide();

    session.progress.start(s.GenderName + "_左トーナメント戦書込み中", 1, 200);
    numberStartingPositions(*bracket, bracketHalves(*workbook, s.GenderName));
    writeMembers(session, *bracket, leagues, 2, 3, "_左トーナメント戦書込み中");
    writeMembers(session, *bracket, leagues, 26, 22, "_右トーナメント戦書込み中");
    session.progress.hide();
    session.tell("リーグ表→トーナメント終了");
    return true;
}

void convertLeaguesToBracket(Session& session) { convertLeagues(session); }

}  // namespace tombra::leaguesheets
