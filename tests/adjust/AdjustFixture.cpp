#include "AdjustFixture.h"

#include <algorithm>
#include <cstdlib>

#include "draw/SeedingOrder.h"
#include "state/EntryCode.h"

namespace tombra::adjust::test {

float AdjustSession::entry(int school, int number) {
    while (s.SchoolEntryCount(school) < number) entries.add(school);
    return encodeEntry(school, number);
}

void AdjustSession::layOut(const std::vector<std::vector<float>>& tables) {
    s.TableSlot.fill(0);
    s.SlotBlock.fill(0);
    s.TableSize.fill(0);
    s.TableCount = static_cast<Integer>(tables.size());
    draw::buildTableOrder(s, s.TableCount);
    for (int t = 1; t <= s.TableCount; ++t) {
        const std::vector<float>& codes = tables[static_cast<std::size_t>(t - 1)];
        s.TableSize(t) = static_cast<Integer>(codes.size());
        for (int k = 1; k <= static_cast<int>(codes.size()); ++k) {
            const float code = codes[static_cast<std::size_t>(k - 1)];
            s.TableSlot(t, k) = code;
            if (code < 1) continue;
            const DecodedEntry e = decodeEntry(code);
            s.EntryPresence(e.school, e.entry) = 0;
            if (s.BlockMode == 1) s.SlotBlock(t, k) = s.SchoolBlock(e.school);
        }
    }
    s.DrawDone = 1;
    session.marks.set("投入", true);
    session.marks.set("調整Ⅰ", true);
}

std::multiset<float> codesInDraw(const TournamentState& s) {
    std::multiset<float> codes;
    for (int t = 1; t <= s.TableCount; ++t)
        for (int k = 1; k <= s.TableSize(t); ++k) codes.insert(s.TableSlot(t, k));
    return codes;
}

std::vector<std::multiset<int>> schoolsByTable(const TournamentState& s) {
    std::vector<std::multiset<int>> schools(static_cast<std::size_t>(s.TableCount + 1));
    for (int t = 1; t <= s.TableCount; ++t)
        for (int k = 1; k <= s.TableSize(t); ++k)
            if (s.TableSlot(t, k) >= 1) schools[t].insert(decodeEntry(s.TableSlot(t, k)).school);
    return schools;
}

std::vector<std::string> clashes(const TournamentState& s, bool blocks) {
    std::vector<std::string> found;
    for (int t = 1; t <= s.TableCount; ++t) {
        std::map<int, int> n;
        for (int k = 1; k <= s.TableSize(t); ++k) {
            if (s.TableSlot(t, k) < 1) continue;
            const int id = blocks ? s.SlotBlock(t, k) : decodeEntry(s.TableSlot(t, k)).school;
            if (id != 0 && ++n[id] == 2)
                found.push_back(std::to_string(t) + ":" + std::to_string(id));
        }
    }
    return found;
}

int largestImbalance(const TournamentState& s) {
    const std::vector<std::multiset<int>> schools = schoolsByTable(s);
    int largest = 0;
    for (int len = s.TableCount / 2; len >= 1; len /= 2) {
        for (int first = 1; first + 2 * len - 1 <= s.TableCount; first += 2 * len) {
            std::map<int, int> diff;
            for (int t = first; t < first + 2 * len; ++t)
                for (int school : schools[t]) diff[school] += t < first + len ? 1 : -1;
            for (const auto& [school, d] : diff) largest = std::max(largest, std::abs(d));
        }
    }
    return largest;
}

std::map<int, std::pair<int, int>> seedPositions(const TournamentState& s) {
    std::map<int, std::pair<int, int>> at;
    for (int j = 1; j <= s.SeedCount; ++j)
        for (int t = 1; t <= s.TableCount; ++t)
            for (int k = 1; k <= s.TableSize(t); ++k)
                if (s.PositionEntry(j) != 0 && s.TableSlot(t, k) == s.PositionEntry(j))
                    at[j] = {t, k};
    return at;
}

}  // namespace tombra::adjust::test
