#include "adjust/SectionBalance.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace tombra::adjust {

namespace {

using Identity = TableCounts::Identity;

struct Side {
    int first = 0;  // first table
    int tables = 0;
};

enum class Verdict { Accept, Reject, BlockDiffers };

class Balance {
  public:
    Balance(TournamentState& s, RandomSource& random, Identity identity,
            const BalanceEvents& events)
        : s_(s),
          random_(random),
          identity_(identity),
          events_(events),
          seeds_(s),
          shares_(s),
          schools_(s, Identity::School),
          blocks_(identity == Identity::Block
                      ? std::optional<TableCounts>(std::in_place, s, Identity::Block)
                      : std::nullopt),
          ids_(blocks_ ? *blocks_ : schools_),
          tables_(tableCount(s)),
          diff_(kMaxId + 1, 0),
          eligible_(kMaxId + 1, false) {
        if (identity_ == Identity::School) {
            const int last = std::clamp<int>(s_.MaxSchoolNo, 0, kMaxId);
            for (int k = 1; k <= last; ++k) eligible_[k] = s_.SchoolEntryCount(k) != 0;
        } else {
            // Every block that holds an entry, whatever the school numbers are.
            for (int t = 1; t <= tables_; ++t)
                for (int slot = 1; slot <= tableSize(s_, t); ++slot)
                    if (const int b = blockAt(s_, t, slot); b != 0) eligible_[b] = true;
        }
    }

    BalanceResult run() {
        const int levels = bracketLevels(tables_);
        for (int v = 1; v <= levels; ++v) {
            if (events_.level) events_.level(v);
            const int len = tables_ >> v;
            for (int first = 1; first + 2 * len - 1 <= tables_; first += 2 * len)
                balancePair({first, len}, {first + len, len});
        }
        return result_;
    }

  private:
    void balancePair(Side a, Side b) {
        random_.reseedFromClock();
        std::fill(diff_.begin(), diff_.end(), 0);
        for (int k = 1; k <= kMaxId; ++k)
            if (eligible_[k]) diff_[k] = count(a, k) - count(b, k);
        for (int k = 1; k <= kMaxId; ++k) {
            // Each move takes two off this difference, so the loop ends.
            while (std::abs(diff_[k]) >= 2)
                if (!moveOne(k, a, b)) break;
        }
    }

    int count(Side side, int id) const {
        int n = 0;
        for (int t = side.first; t < side.first + side.tables; ++t) n += ids_.count(t, id);
        return n;
    }

    bool moveOne(int k, Side a, Side b) {
        const Side from = diff_[k] > 0 ? a : b, to = diff_[k] > 0 ? b : a;
        // The ordered scan is what the random search falls back on. Made first, it also
        // tells at once when no move exists at all, which the random search could only find
        // out by running to its limit. Nothing changes before the random search moves, so
        // the outcome is the same as scanning afterwards.
        const Scan scanned = scan(k, from, to);
        if (!scanned.found) {
            ++result_.failures;
            if (events_.failed) events_.failed(k, !scanned.anySource);
            return false;
        }
        int sourceTries = 0, destinationTries = 0;
        while (sourceTries < kMoveTryLimit && destinationTries < kMoveTryLimit) {
            ++sourceTries;
            const auto [t1, slot1] = drawPosition(from);
            if (t1 == 0 || !isSource(k, t1, slot1)) continue;
            while (destinationTries < kMoveTryLimit) {
                ++destinationTries;
                const auto [t2, slot2] = drawPosition(to);
                if (t2 == 0) continue;
                const Verdict verdict = judge(k, t1, slot1, t2, slot2);
                if (verdict == Verdict::Accept) return move(k, t1, slot1, t2, slot2);
                // This source can only go to a position of its own block: draw a new one.
                if (verdict == Verdict::BlockDiffers) break;
            }
        }
        return move(k, scanned.t1, scanned.slot1, scanned.t2, scanned.slot2);
    }

    struct Scan {
        bool anySource = false;
        bool found = false;
        int t1 = 0, slot1 = 0, t2 = 0, slot2 = 0;
    };

    // Every source of the richer side against every position of the poorer side, in table
    // and slot order, under the conditions of the random search: the first move that
    // passes, whenever one exists.
    Scan scan(int k, Side from, Side to) const {
        Scan result;
        for (int t1 = from.first; t1 < from.first + from.tables; ++t1) {
            for (int slot1 = 1; slot1 <= tableSize(s_, t1); ++slot1) {
                if (!isSource(k, t1, slot1)) continue;
                result.anySource = true;
                for (int t2 = to.first; t2 < to.first + to.tables; ++t2)
                    for (int slot2 = 1; slot2 <= tableSize(s_, t2); ++slot2)
                        if (judge(k, t1, slot1, t2, slot2) == Verdict::Accept)
                            return {true, true, t1, slot1, t2, slot2};
            }
        }
        return result;
    }

    std::pair<int, int> drawPosition(Side side) {
        const int t = side.first + random_.drawTruncated(side.tables) - 1;
        const int size = tableSize(s_, t);
        if (size == 0) return {0, 0};
        return {t, random_.drawTruncated(size)};
    }

    bool isSource(int k, int t, int slot) const {
        return ids_.at(s_, t, slot) == k && !seeds_.isSeedAt(s_, t, slot);
    }

    Verdict judge(int k, int t1, int slot1, int t2, int slot2) const {
        const int r = ids_.at(s_, t2, slot2);
        // Open positions have no school and are never a partner.
        if (r == 0 || seeds_.isSeedAt(s_, t2, slot2)) return Verdict::Reject;
        if (diff_[k] * diff_[r] >= 0) return Verdict::Reject;
        if (identity_ == Identity::Block) {
            if (ids_.holds(t2, k) || ids_.holds(t1, r)) return Verdict::Reject;
            // Blocks hold whole schools, so this only matters for a workbook whose blocks
            // disagree with its schools; no exchange may put a school into a table beyond
            // its share.
            if (!schoolFits(schoolAt(s_, t1, slot1), t2) ||
                !schoolFits(schoolAt(s_, t2, slot2), t1))
                return Verdict::Reject;
        } else if (!schoolFits(k, t2) || !schoolFits(r, t1)) {
            return Verdict::Reject;
        }
        if (identity_ == Identity::School && s_.BlockMode == 1 &&
            s_.SlotBlock(t1, slot1) != s_.SlotBlock(t2, slot2))
            return Verdict::BlockDiffers;
        return Verdict::Accept;
    }

    // A table takes one more of a school while it holds less than the school's share.
    bool schoolFits(int school, int t) const {
        return shares_.room(school, schools_.count(t, school));
    }

    bool move(int k, int t1, int slot1, int t2, int slot2) {
        const int r = ids_.at(s_, t2, slot2);
        schools_.exchanged(s_, t1, slot1, t2, slot2);
        if (blocks_) blocks_->exchanged(s_, t1, slot1, t2, slot2);
        exchange(s_, t1, slot1, t2, slot2);
        const int step = diff_[k] > 0 ? 2 : -2;
        diff_[k] -= step;
        diff_[r] += step;
        ++result_.moves;
        return true;
    }

    TournamentState& s_;
    RandomSource& random_;
    const Identity identity_;
    const BalanceEvents& events_;
    const SeedPositions seeds_;
    const TableShares shares_;
    TableCounts schools_;
    std::optional<TableCounts> blocks_;
    TableCounts& ids_;
    const int tables_;
    std::vector<int> diff_;
    std::vector<bool> eligible_;
    BalanceResult result_;
};

}  // namespace

int bracketLevels(int tables) {
    int levels = 0;
    for (int n = tables; n > 1; n /= 2) ++levels;
    return levels;
}

BalanceResult balanceSections(TournamentState& s, RandomSource& random, Identity identity,
                              const BalanceEvents& events) {
    return Balance(s, random, identity, events).run();
}

}  // namespace tombra::adjust
