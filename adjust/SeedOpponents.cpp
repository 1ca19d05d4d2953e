#include "adjust/SeedOpponents.h"

#include <algorithm>
#include <bit>

#include "adjust/DrawGrid.h"
#include "state/Numbers.h"

namespace tombra::adjust {

namespace {

int lastSchool(const TournamentState& s) { return std::clamp<int>(s.MaxSchoolNo, 0, kMaxId); }

// u x 1000 rounded, ties to even: the exemption toss looks at its parity.
bool toss(RandomSource& random) { return roundToInteger(random.uniform() * 1000.0f) % 2 == 1; }

class Spread {
  public:
    Spread(TournamentState& s, RandomSource& random)
        : s_(s),
          random_(random),
          seeds_(s),
          schools_(s, TableCounts::Identity::School),
          tables_(tableCount(s)),
          exempt_(kMaxId + 1, false),
          facing_(static_cast<std::size_t>(tables_ + 1)) {
        result_.count.assign(kMaxId + 1, 0);
        for (int t = 1; t <= tables_; ++t) {
            facing_[t].assign(static_cast<std::size_t>(tableSize(s_, t) + 1), false);
            for (int l : seedSlots(t))
                for (int n : seedOpponentSlots(s_, t, l)) facing_[t][n] = true;
        }
    }

    OpponentSpread run(const std::function<void(int)>& table) {
        drawExemptions();
        for (int t = 1; t <= tables_; ++t) {
            if (table) table(t);
            countTable(t);
        }
        result_.quota = result_.total / std::max<int>(1, s_.SchoolCount) + 1;
        for (int t = 1; t <= tables_; ++t) {
            if (tableSize(s_, t) < 2) continue;
            for (int l : seedSlots(t))
                for (int n : seedOpponentSlots(s_, t, l)) reconsider(t, n);
        }
        result_.exempt = exempt_;
        return result_;
    }

  private:
    std::vector<int> seedSlots(int t) const {
        std::vector<int> slots;
        for (int l = 1; l <= tableSize(s_, t); ++l)
            if (seeds_.isSeedAt(s_, t, l)) slots.push_back(l);
        return slots;
    }

    void drawExemptions() {
        for (int k = 1; k <= lastSchool(s_); ++k)
            if (s_.SchoolEntryCount(k) - s_.SchoolSeedCount(k) == 1) exempt_[k] = toss(random_);
    }

    bool countable(int t, int slot) const {
        return schoolAt(s_, t, slot) != 0 && !seeds_.isSeedAt(s_, t, slot);
    }

    void countTable(int t) { result_.total += countSeedOpponents(s_, seeds_, t, result_.count); }

    void reconsider(int t, int n) {
        if (!countable(t, n)) return;
        const int d = schoolAt(s_, t, n);
        // The stay test reads the opponent's own school: an exempt school's single entry
        // under the quota keeps its place.
        if (result_.count[d] < result_.quota && exempt_[d]) return;
        // Where no position at all would be accepted, the draws would only run out; seen
        // from outside that is the same as giving up at once, and far cheaper.
        if (!anyPartner(t, n, d)) return;
        for (int attempts = 0; attempts < kOpponentAttemptLimit; ++attempts) {
            const int u = random_.drawRounded(tables_);
            const int size = tableSize(s_, u);
            if (size == 0) continue;
            const int w = random_.drawRounded(size);
            if (!acceptable(t, n, d, u, w)) continue;
            const int x = schoolAt(s_, u, w);
            schools_.exchanged(s_, t, n, u, w);
            exchange(s_, t, n, u, w);
            --result_.count[d];
            ++result_.count[x];
            ++result_.exchanges;
            return;
        }
    }

    bool anyPartner(int t, int n, int d) const {
        for (int u = 1; u <= tables_; ++u)
            for (int w = 1; w <= tableSize(s_, u); ++w)
                if (acceptable(t, n, d, u, w)) return true;
        return false;
    }

    bool acceptable(int t, int n, int d, int u, int w) const {
        const int x = schoolAt(s_, u, w);
        if (x == 0 || x == d || exempt_[x]) return false;
        if (schools_.holds(u, d) || schools_.holds(t, x)) return false;
        if (seeds_.isSeedAt(s_, u, w) || facing_[u][w]) return false;
        if (result_.count[x] >= result_.quota) return false;
        // Blocks stay where they are: the separation and spread of blocks are done before.
        if (s_.BlockMode == 1 && s_.SlotBlock(t, n) != s_.SlotBlock(u, w)) return false;
        return true;
    }

    TournamentState& s_;
    RandomSource& random_;
    const SeedPositions seeds_;
    TableCounts schools_;
    const int tables_;
    std::vector<bool> exempt_;
    std::vector<std::vector<bool>> facing_;
    OpponentSpread result_;
};

}  // namespace

int countSeedOpponents(const TournamentState& s, const SeedPositions& seeds, int t,
                       std::vector<int>& count) {
    int counted = 0;
    for (int l = 1; l <= tableSize(s, t); ++l) {
        if (!seeds.isSeedAt(s, t, l)) continue;
        // A seed alone in its table has no first opponent; it counts for its own school.
        if (tableSize(s, t) < 2) {
            ++count[static_cast<size_t>(schoolAt(s, t, l))];
            ++counted;
            continue;
        }
        for (int n : seedOpponentSlots(s, t, l)) {
            if (schoolAt(s, t, n) == 0 || seeds.isSeedAt(s, t, n)) continue;
            ++count[static_cast<size_t>(schoolAt(s, t, n))];
            ++counted;
        }
    }
    return counted;
}

std::vector<int> seedOpponentSlots(const TournamentState& s, int t, int seedSlot) {
    const int size = tableSize(s, t);
    if (size < 2) return {};
    const int width = std::has_single_bit(static_cast<unsigned>(size)) ? 1 : 2;
    std::vector<int> slots;
    for (int k = 1; k <= width; ++k) {
        const int n = t % 2 == 1 ? seedSlot + k : seedSlot - k;
        if (n >= 1 && n <= size) slots.push_back(n);
    }
    return slots;
}

OpponentSpread spreadSeedOpponents(TournamentState& s, RandomSource& random,
                                   const std::function<void(int)>& table) {
    return Spread(s, random).run(table);
}

SpreadReport spreadReport(const TournamentState& s, int pass, const std::vector<int>& count) {
    SpreadReport report;
    report.lines.push_back("");
    report.lines.push_back("分散：" + numberText(pass));
    report.smallest = 100;
    for (int e = 1; e <= lastSchool(s); ++e) {
        if (s.SchoolEntryCount(e) == 0) continue;
        const int c = e < static_cast<int>(count.size()) ? count[e] : 0;
        const int open = s.SchoolEntryCount(e) - s.SchoolSeedCount(e);
        const int percent = c * 100 / (open > 0 ? open : 1);
        report.lines.push_back(s.EntryAffiliation(e, 1) + "：" + numberText(c) + "⇒(" +
                               numberText(percent) + ")");
        report.largest = std::max(report.largest, c);
        report.smallest = std::min(report.smallest, c);
    }
    return report;
}

}  // namespace tombra::adjust
