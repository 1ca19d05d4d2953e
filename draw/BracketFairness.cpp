#include "draw/BracketFairness.h"

#include <algorithm>
#include <map>
#include <set>

#include "draw/ShareArrangement.h"
#include "session/Session.h"
#include "state/EntryCode.h"
#include "state/Numbers.h"
#include "state/TournamentState.h"

namespace tombra::draw {

namespace {

std::vector<Seat> placedEntries(const TournamentState& s) {
    std::set<float> seeds;
    for (int j = 1; j <= s.SeedCount; ++j)
        if (s.PositionEntry(j) >= 1) seeds.insert(s.PositionEntry(j));
    std::vector<Seat> out;
    for (int t = 1; t <= s.TableCount; ++t)
        for (int k = 1; k <= s.TableSize(t); ++k) {
            const float code = s.TableSlot(t, k);
            if (code < 1) continue;
            out.push_back({t, decodeEntry(code).school, seeds.count(code) > 0, 0,
                           s.BlockMode == 1 ? static_cast<int>(s.SlotBlock(t, k)) : 0});
        }
    return out;
}

}  // namespace

int leastExcess(const std::vector<Seat>& seats, int places) {
    return excessAtBest(seats, places, {places}).front();
}

std::map<int, std::vector<int>> countsByPlace(const std::vector<Seat>& seats, int places) {
    std::map<int, std::vector<int>> counts;
    for (const Seat& seat : seats) {
        auto& c = counts[seat.school];
        c.resize(static_cast<size_t>(places), 0);
        ++c[static_cast<size_t>(seat.table - 1)];
    }
    return counts;
}

int excessOver(const std::vector<int>& counts, int entries) {
    const int fair = fairShare(entries, static_cast<int>(counts.size()));
    int excess = 0;
    for (int n : counts) excess += std::max(0, n - fair);
    return excess;
}

namespace {

std::string levelName(int places, int tables) {
    if (places == tables) return "テーブル";
    if (places == 2) return "左右";
    return numberText(places) + "分割";
}

}  // namespace

bool BracketFairness::best() const { return shortfall() == 0; }

int BracketFairness::sectionExcess() const {
    int sum = 0;
    for (size_t l = 0; l + 1 < levels.size(); ++l) sum += levels[l].excess;
    return sum;
}

bool BracketFairness::bestReachable() const {
    int sum = 0;
    for (size_t l = 0; l + 1 < levels.size(); ++l) sum += levels[l].leastExcess;
    return sum >= leastSectionExcess;
}

int BracketFairness::shortfall() const {
    if (levels.empty()) return 0;
    return std::max(levels.back().excess - levels.back().leastExcess,
                    sectionExcess() - leastSectionExcess);
}

BracketFairness assessBracket(const TournamentState& s) {
    BracketFairness out;
    const int tables = s.TableCount;
    if (tables < 2) return out;
    const std::vector<Seat> placed = placedEntries(s);
    std::map<int, int> entries;
    for (const Seat& p : placed) ++entries[p.school];
    std::map<int, SchoolFairness> schools;
    for (const auto& [school, count] : entries) schools[school] = {school, count, {}, 0};

    for (int places = 2; places <= tables; places *= 2) {
        const int tablesEach = tables / places;
        std::vector<Seat> inSections = placed;
        for (Seat& p : inSections) p.table = (p.table - 1) / tablesEach + 1;
        LevelFairness level{places, 0, leastExcess(inSections, places)};
        for (auto& [school, c] : countsByPlace(inSections, places)) {
            SchoolFairness& f = schools[school];
            const int excess = excessOver(c, f.entries);
            for (size_t j = 0; j + 1 < c.size(); j += 2)
                f.widestGap = std::max(f.widestGap, std::abs(c[j] - c[j + 1]));
            f.excess.push_back(excess);
            level.excess += excess;
        }
        out.levels.push_back(level);
    }
    for (auto& [school, f] : schools) out.schools.push_back(std::move(f));
    std::vector<int> places;
    for (const LevelFairness& l : out.levels) places.push_back(l.places);
    const std::vector<int> atBest = excessAtBest(placed, tables, places);
    for (size_t l = 0; l + 1 < atBest.size(); ++l) out.leastSectionExcess += atBest[l];
    return out;
}

std::vector<std::string> fairnessLines(const BracketFairness& fairness, const TournamentState& s) {
    std::vector<std::string> lines;
    if (fairness.levels.empty()) return lines;
    const int tables = fairness.levels.back().places;
    const LevelFairness& atTables = fairness.levels.back();
    int widest = 0;
    for (const SchoolFairness& f : fairness.schools) widest = std::max(widest, f.widestGap);
    // In block mode the blocks stay where their own pass evened them, and so the best is
    // sought among each block's positions.
    const std::string within = s.BlockMode == 1 ? "（ブロックの配置のまま）" : "";
    lines.push_back(
        "公平性" + within + ": " + std::string(fairness.best() ? "最善" : "最善に届かず") +
        "（同校対戦 " + numberText(atTables.excess) + "、最少 " + numberText(atTables.leastExcess) +
        "／区画を超える選手 " + numberText(fairness.sectionExcess()) + "、最少 " +
        numberText(fairness.leastSectionExcess) + "／区画の差 最大 " + numberText(widest) + "）");
    if (!fairness.bestReachable())
        lines.push_back("  各段の最少は同時には満たせない組合せ（区画を超える選手は計 " +
                        numberText(fairness.leastSectionExcess) + "名が最少）");
    for (const LevelFairness& l : fairness.levels)
        if (l.excess > l.leastExcess)
            lines.push_back("  " + levelName(l.places, tables) + ": 持ち分を超える選手 " +
                            numberText(l.excess) + "名、最少 " + numberText(l.leastExcess) + "名");
    for (const SchoolFairness& f : fairness.schools) {
        std::string where;
        for (size_t i = 0; i < f.excess.size(); ++i)
            if (f.excess[i] > 0)
                where += (where.empty() ? "" : "、") +
                         levelName(fairness.levels[i].places, tables) + " " +
                         numberText(f.excess[i]);
        if (where.empty()) continue;
        const std::string& name = s.EntryAffiliation(f.school, 1);
        lines.push_back("  " + numberText(f.school) + " " + name + "（" + numberText(f.entries) +
                        "名）: 持ち分を超える選手 " + where + "／区画の差 最大 " +
                        numberText(f.widestGap));
    }
    return lines;
}

void logBracketFairness(Session& session) {
    const TournamentState& s = session.state;
    // A league-fed bracket holds leagues, not entries: their fairness is the leagues'.
    if (s.DrawDone != 1 || s.LeagueThenTournament == 1) return;
    for (const std::string& line : fairnessLines(assessBracket(s), s)) session.log.append(line);
}

}  // namespace tombra::draw
