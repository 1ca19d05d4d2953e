#include "adjust/NumberDistribution.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "adjust/DrawGrid.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "state/EntryCode.h"

namespace tombra::adjust {

namespace {

constexpr int kMaxEntry = decltype(TournamentState::EntryName)::columnUpper();

struct Place {
    int table = 0;  // 0: not in the draw
    int slot = 0;
    bool seed = false;
};

// Where each entry of the school sits, by entry number.
std::vector<Place> locate(const TournamentState& s, const SeedPositions& seeds, int school) {
    std::vector<Place> places(kMaxEntry + 1);
    for (int t = 1; t <= tableCount(s); ++t) {
        for (int slot = 1; slot <= tableSize(s, t); ++slot) {
            if (schoolAt(s, t, slot) != school) continue;
            const int n = decodeEntry(s.TableSlot(t, slot)).entry;
            if (n < 1 || n > kMaxEntry) continue;
            places[n] = {t, slot, seeds.isSeedAt(s, t, slot)};
        }
    }
    return places;
}

}  // namespace

int separateLeadingPair(TournamentState& s, const std::function<void(int)>& school) {
    const SeedPositions seeds(s);
    const int half = tableCount(s) / 2;
    const int last = std::clamp<int>(s.MaxSchoolNo, 0, kMaxId);
    int exchanges = 0;
    for (int i = 1; i <= last; ++i) {
        if (school) school(i);
        if (s.SchoolEntryCount(i) <= 2) continue;
        const std::vector<Place> at = locate(s, seeds, i);
        const Place first = at[1], second = at[2];
        // An entry missing from the draw is in neither half.
        if (first.table == 0 || second.table == 0 || second.seed) continue;
        const bool top = first.table <= half;
        if (top != (second.table <= half)) continue;
        const int entries = std::min<int>(s.SchoolEntryCount(i), kMaxEntry);
        for (int j = 3; j <= entries; ++j) {
            const Place other = at[j];
            if (other.table == 0 || other.seed || (other.table <= half) == top) continue;
            exchange(s, second.table, second.slot, other.table, other.slot);
            ++exchanges;
            break;
        }
    }
    return exchanges;
}

void distributeNumbers(Session& session) {
    session.marks.set(ids::kDistributeNumbers, true);
    ui::ProgressDialog& progress = session.progress;
    progress.start("ＮＯ振分", 1, session.state.MaxSchoolNo);
    adjust::separateLeadingPair(session.state, [&progress](int i) { progress.setValue(i); });
    progress.hide();
    session.tell("ＮＯ振分終了");
}

}  // namespace tombra::adjust
