#include "lists/RosterCsv.h"

#include <filesystem>
#include <map>

#include "intake/EntryLayout.h"
#include "session/Session.h"
#include "sheet/AtomicFile.h"
#include "state/EntryCode.h"
#include "state/Numbers.h"

namespace tombra::lists {

namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kHeadings[] = {"学校No", "学校名", "氏名", "エントリーNo",
                                     "シード", "組",     "位置"};
// The EntryTable columns of a division's row: school, its name, the player, the entry mark.
constexpr int kSchoolColumn = 1, kAffiliationColumn = 2, kNameColumn = 3, kEntryMarkColumn = 7;
constexpr int kSeededMark = 2;

struct Place {
    int group = 0, position = 0;
};

// Where each value of the draw grid stands: by table and running position for a knockout,
// by group and place in it for a league.
std::map<float, Place> placesInGrid(const TournamentState& s, bool knockout) {
    std::map<float, Place> places;
    int running = 0;
    for (int t = 1; t <= std::min<int>(s.TableCount, s.TableSize.upper()); ++t)
        for (int j = 1; j <= std::min<int>(s.TableSize(t), s.TableSlot.columnUpper()); ++j) {
            ++running;
            if (s.TableSlot(t, j) > 0)
                places.try_emplace(s.TableSlot(t, j), Place{t, knockout ? running : j});
        }
    return places;
}

int wholeNumber(const std::string& text) {
    return static_cast<int>(roundToInteger(readNumber(text)));
}

std::vector<RosterEntry> divisionEntries(const TournamentState& s) {
    const std::map<float, Place> places =
        s.TableCount > 0 && s.DrawDone == 0 ? placesInGrid(s, false) : std::map<float, Place>{};
    std::vector<RosterEntry> out;
    for (int j = 1; j <= std::min<int>(s.EntryCount, s.EntryTable.rowUpper()); ++j) {
        RosterEntry e{
            wholeNumber(s.EntryTable(j, kSchoolColumn)), s.EntryTable(j, kAffiliationColumn),
            s.EntryTable(j, kNameColumn), j,
            wholeNumber(s.EntryTable(j, kEntryMarkColumn)) == kSeededMark ? "シード" : ""};
        if (auto p = places.find(static_cast<float>(j)); p != places.end()) {
            e.group = p->second.group;
            e.position = p->second.position;
        }
        out.push_back(std::move(e));
    }
    return out;
}

std::vector<RosterEntry> codedEntries(const TournamentState& s) {
    const std::map<float, Place> places =
        s.DrawDone == 1 ? placesInGrid(s, true) : std::map<float, Place>{};
    std::map<float, int> seeds;
    for (int q = 1; q <= s.PositionEntry.upper(); ++q)
        if (s.PositionEntry(q) != 0) seeds.try_emplace(s.PositionEntry(q), q);
    std::vector<RosterEntry> out;
    for (int school = 1; school <= s.EntryName.rowUpper(); ++school)
        for (int entry = 1; entry <= s.EntryName.columnUpper(); ++entry) {
            if (s.EntryName(school, entry).empty()) continue;
            // A team's school stands with its first team only.
            const std::string& own = s.EntryAffiliation(school, entry);
            RosterEntry e{school, own.empty() ? s.EntryAffiliation(school, 1) : own,
                          s.EntryName(school, entry), entry};
            const float code = encodeEntry(school, entry);
            if (auto q = seeds.find(code); q != seeds.end()) e.seed = numberText(q->second);
            if (auto p = places.find(code); p != places.end()) {
                e.group = p->second.group;
                e.position = p->second.position;
            }
            out.push_back(std::move(e));
        }
    return out;
}

std::string numberField(int n) { return n > 0 ? numberText(n) : std::string(); }

}  // namespace

std::vector<RosterEntry> rosterEntries(const TournamentState& s) {
    if (intake::entryLayout(s.GenderName, s.EventName).kind == intake::EntryKind::Division)
        return divisionEntries(s);
    return codedEntries(s);
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

std::string rosterCsv(const std::vector<RosterEntry>& entries) {
    std::string out = kByteOrderMark;
    auto line = [&out](const std::vector<std::string>& fields) {
        for (size_t i = 0; i < fields.size(); ++i) out += (i ? "," : "") + csvField(fields[i]);
        out += "\r\n";
    };
    line({std::begin(kHeadings), std::end(kHeadings)});
    for (const RosterEntry& e : entries)
        line({numberField(e.school), e.affiliation, e.name, numberField(e.number), e.seed,
              numberField(e.group), numberField(e.position)});
    return out;
}

void exportRoster(Session& session) {
    const TournamentState& s = session.state;
    const std::vector<RosterEntry> entries = rosterEntries(s);
    if (entries.empty()) {
        session.tell("名簿にするエントリーがありません。ファイルを開いてから実行して下さい");
        return;
    }
    const std::filesystem::path suggested = std::filesystem::path(s.WorkbookPath).parent_path() /
                                            (s.GenderName + s.EventName + "名簿.csv");
    std::filesystem::path path =
        session.shell.saveFileName({"CSV名簿作成", "CSVﾌｧｲﾙ (*.csv)|*.csv", suggested.string()});
    if (path.empty()) return;
    if (!path.has_extension()) path += ".csv";
    sheet::writeFileAtomically(path, rosterCsv(entries));
    session.log.append("CSV名簿: " + path.string() + "（" +
                       numberText(static_cast<long long>(entries.size())) + " 件）");
    session.tell("CSV名簿作成終了");
}

}  // namespace tombra::lists
