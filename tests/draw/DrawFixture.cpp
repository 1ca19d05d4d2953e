#include "DrawFixture.h"

#include <algorithm>
#include <map>

#include "state/EntryCode.h"
#include "state/Numbers.h"

namespace tombra::draw::test {

float Entries::add(int school, int seed) {
    const int entry = s_.SchoolEntryCount(school) + 1;
    const float code = encodeEntry(school, entry);
    s_.EntryName(school, entry) = "選手" + std::to_string(school) + "-" + std::to_string(entry);
    s_.EntryAffiliation(school, entry) = "学校" + std::to_string(school);
    s_.EntryPresence(school, entry) = 1;
    if (entry == 1) ++s_.SchoolCount;
    s_.SchoolEntryCount(school) = static_cast<Integer>(entry);
    s_.MaxSchoolEntries = std::max<Integer>(s_.MaxSchoolEntries, static_cast<Integer>(entry));
    ++s_.EntryCount;
    if (seed > 0) {
        s_.PositionEntry(seed) = code;
        s_.SchoolSeedCount(school) += 1;
        s_.SeedCount = std::max<Integer>(s_.SeedCount, static_cast<Integer>(seed));
    }
    return code;
}

void Entries::add(int school, int count, std::initializer_list<int> seedsOfFirst) {
    auto seed = seedsOfFirst.begin();
    for (int i = 0; i < count; ++i) add(school, seed != seedsOfFirst.end() ? *seed++ : 0);
}

std::vector<std::string> drawFaults(const TournamentState& s) {
    std::vector<std::string> faults;
    auto fault = [&faults](std::string text) { faults.push_back(std::move(text)); };
    const int tables = s.TableCount;

    std::map<std::pair<int, int>, int> seen;
    for (int t = 1; t <= tables; ++t) {
        for (int k = 1; k <= 128; ++k) {
            const float v = s.TableSlot(t, k);
            const std::string at = "(" + std::to_string(t) + ", " + std::to_string(k) + ")";
            if (k > s.TableSize(t)) {
                if (v != 0) fault("beyond the table's size at " + at + ": " + numberText(v));
                continue;
            }
            if (v == -1) {
                fault("open position left at " + at);
                continue;
            }
            const DecodedEntry e = decodeEntry(v);
            if (e.school < 1 || e.school > 200 || e.entry < 1 || e.entry > 99 ||
                s.EntryName(e.school, e.entry).empty()) {
                fault("no entry read is " + numberText(v) + " at " + at);
                continue;
            }
            if (++seen[{e.school, e.entry}] == 2) fault("doubled: " + numberText(v));
        }
    }
    for (int school = 1; school <= 200; ++school) {
        for (int k = 1; k <= 99; ++k) {
            if (s.EntryName(school, k).empty()) continue;
            const std::string who = std::to_string(school) + "/" + std::to_string(k);
            if (!seen.count({school, k})) fault("lost: " + who);
            if (s.EntryPresence(school, k) != 0) fault("still waiting: " + who);
        }
    }
    for (int j = 1; j <= s.SeedCount; ++j) {
        if (s.PositionEntry(j) == 0) continue;
        const int t = tableOfRank(s, j);
        const int slot = j % 2 == 1 ? 1 : s.TableSize(t);
        if (t == 0 || s.TableSlot(t, slot) != s.PositionEntry(j))
            fault("seed " + std::to_string(j) + " is not at table " + std::to_string(t) + " slot " +
                  std::to_string(slot));
    }
    return faults;
}

int totalPositions(const TournamentState& s) {
    int n = 0;
    for (int t = 1; t <= s.TableCount; ++t) n += s.TableSize(t);
    return n;
}

int tableOfRank(const TournamentState& s, int rank) {
    for (int t = 1; t <= s.TableCount; ++t)
        if (s.TableOrder(t) == rank) return t;
    return 0;
}

std::map<std::pair<int, int>, int> randomSeeds(const std::function<int(int school)>& entriesOf,
                                               int seeds, std::mt19937& gen) {
    std::vector<std::pair<int, int>> all;
    for (int school = 1; school <= 200; ++school)
        for (int k = 1; k <= entriesOf(school); ++k) all.emplace_back(school, k);
    std::shuffle(all.begin(), all.end(), gen);
    std::map<std::pair<int, int>, int> seedOf;
    for (int j = 1; j <= std::min<int>(seeds, static_cast<int>(all.size())); ++j)
        seedOf[all[static_cast<size_t>(j - 1)]] = j;
    return seedOf;
}

void chooseTables(tombra::test::FakeShell& shell, int tables) {
    const std::string option = tables == 8    ? "Option1"
                               : tables == 16 ? "Option2"
                               : tables == 32 ? "Option3"
                               : tables == 64 ? "Option4"
                                              : "Option5";
    shell.fill["Form3"] = [option](ui::Form& f) { f.setValue(option, true); };
}

void DrawSession::chooseTables(int tables) { test::chooseTables(shell, tables); }

}  // namespace tombra::draw::test
