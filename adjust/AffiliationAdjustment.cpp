#include "adjust/AffiliationAdjustment.h"

#include <map>
#include <set>

#include "adjust/DrawGrid.h"
#include "adjust/ShareRepair.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "state/Numbers.h"

namespace tombra::adjust {

namespace {

// Slot draws that miss the table are redrawn without counting an attempt; a table of one
// position is hit once in a thousand draws, so this bound is never met by chance.
constexpr int kSlotRedrawLimit = 100000;

// u x 1000 made whole: 0..999. Table and slot numbers are taken from it as they come, and
// a number outside the range is simply a miss.
int rawDraw(RandomSource& random) {
    return static_cast<int>(truncateToInteger(random.uniform() * 1000.0f));
}

class Separation {
  public:
    Separation(TournamentState& s, RandomSource& random, const SeparationEvents& events)
        : s_(s), random_(random), events_(events), seeds_(s), shares_(s), tables_(tableCount(s)) {}

    SeparationResult run() {
        for (int t = 1; t <= tables_; ++t) {
            if (events_.table) events_.table(t);
            const int size = tableSize(s_, t);
            for (int i = 1; i < size; ++i)
                for (int j = i + 1; j <= size; ++j)
                    if (clash(t, i, t, j) && crowded(t, i, j)) repair(t, i, j);
        }
        return result_;
    }

  private:
    // Open positions have no school; block 0 is no block, so entries without one never
    // clash by block.
    bool clash(int t1, int slot1, int t2, int slot2) const {
        const int a = schoolAt(s_, t1, slot1), b = schoolAt(s_, t2, slot2);
        if (a == 0 || b == 0) return false;
        if (a == b) return true;
        if (s_.BlockMode != 1) return false;
        const int blockA = blockAt(s_, t1, slot1);
        return blockA != 0 && blockA == blockAt(s_, t2, slot2);
    }

    int held(int table, int school) const {
        int n = 0;
        for (int k = 1; k <= tableSize(s_, table); ++k) n += schoolAt(s_, table, k) == school;
        return n;
    }

    // Two of one school in a table clash only when it holds more of the school than its
    // share; two of one block always.
    bool crowded(int t, int i, int j) const {
        const int school = schoolAt(s_, t, i);
        return school != schoolAt(s_, t, j) || !shares_.room(school, held(t, school) - 1);
    }

    // Whether the entry at (t, slot) would clash in `table`: the table holds its school's
    // share already, or an entry of its block.
    bool clashesWithTable(int t, int slot, int table) const {
        const int school = schoolAt(s_, t, slot);
        if (school != 0 && !shares_.room(school, held(table, school))) return true;
        for (int k = 1; k <= tableSize(s_, table); ++k)
            if (schoolAt(s_, table, k) != school && clash(t, slot, table, k)) return true;
        return false;
    }

    void repair(int t, int i, int j) {
        // Seeds never move. The mover is chosen before the search, so that the checks look
        // at the entry that really moves, and a pair of seeds costs no attempts at all.
        const bool seedI = seeds_.isSeedAt(s_, t, i), seedJ = seeds_.isSeedAt(s_, t, j);
        if (seedI && seedJ) return;
        const int mover = seedJ ? i : j;
        // Without any partner the search could only run to its limit; giving up at once
        // ends the same way, as the count starts again after a failure anyway.
        if (!anyPartner(t, mover)) {
            giveUp(t);
            return;
        }
        for (;;) {
            if (++attempts_ > kPartnerAttemptLimit) {
                giveUp(t);
                return;
            }
            const int u = rawDraw(random_);
            if (u == 0 || u > tables_ || u == t) continue;
            // A table without positions can never give a partner.
            if (tableSize(s_, u) == 0) continue;
            if (clashesWithTable(t, mover, u)) continue;
            const int v = drawSlot(u);
            if (v == 0) continue;
            if (clashesWithTable(u, v, t)) continue;
            if (seeds_.isSeedAt(s_, u, v)) continue;
            exchange(s_, t, mover, u, v);
            ++result_.exchanges;
            if (s_.BlockMode == 0 && savedBlockMode_ == 1) s_.BlockMode = 1;
            return;
        }
    }

    bool anyPartner(int t, int mover) const {
        for (int u = 1; u <= tables_; ++u) {
            if (u == t || clashesWithTable(t, mover, u)) continue;
            for (int v = 1; v <= tableSize(s_, u); ++v)
                if (!clashesWithTable(u, v, t) && !seeds_.isSeedAt(s_, u, v)) return true;
        }
        return false;
    }

    int drawSlot(int u) {
        const int size = tableSize(s_, u);
        for (int n = 0; n < kSlotRedrawLimit; ++n)
            if (const int v = rawDraw(random_); v >= 1 && v <= size) return v;
        return 0;
    }

    void giveUp(int t) {
        attempts_ = 0;
        ++result_.failures;
        // Only a run that had block separation on remembers it, so that a second failure
        // while it is suspended does not forget that it was on.
        if (s_.BlockMode == 1) savedBlockMode_ = 1;
        s_.BlockMode = 0;
        if (events_.failed) events_.failed(t);
    }

    TournamentState& s_;
    RandomSource& random_;
    const SeparationEvents& events_;
    const SeedPositions seeds_;
    const TableShares shares_;
    const int tables_;
    int attempts_ = 0;
    Integer savedBlockMode_ = 0;
    SeparationResult result_;
};

// Whether table t holds a school beyond its share.
bool crowded(const TournamentState& s, const TableShares& shares, int t) {
    std::map<int, int> held;
    for (int k = 1; k <= tableSize(s, t); ++k)
        if (const int school = schoolAt(s, t, k);
            school != 0 && ++held[school] > shares.most(school))
            return true;
    return false;
}

}  // namespace

SeparationResult separateSchools(TournamentState& s, RandomSource& random,
                                 const SeparationEvents& events) {
    return Separation(s, random, events).run();
}

void adjustAffiliations(Session& session) {
    if (!session.marks.checked(ids::kPlace)) {
        session.tell("投入を実行して下さい");
        return;
    }
    session.random.reseedFromClock();
    session.marks.set(ids::kAdjustAffiliations, true);

    ui::ProgressDialog& progress = session.progress;
    progress.start("振分Ⅰ", 1, session.state.TableCount);

    // A table that keeps clashes is told once, not once for every pair left in it, and only
    // when the last step could not mend it either.
    std::set<int> failed;
    const adjust::SeparationEvents events{[&progress](int t) { progress.setValue(t); },
                                          [&](int t) { failed.insert(t); }};
    const bool blocksOn = session.state.BlockMode == 1;
    adjust::separateSchools(session.state, session.random, events);
    repairShares(session.state, ShareLevels::Tables);
    const TableShares shares(session.state);
    for (int t : failed)
        if (crowded(session.state, shares, t))
            session.tell("テーブル内振分ができません" + numberText(t));
    // A failure suspends block separation for the rest of the session: the later adjustments
    // then ignore blocks, which the office must know.
    if (blocksOn && session.state.BlockMode == 0)
        session.log.append(
            "調整Ⅰで振り分けられないテーブルがあったため、ブロック処理を外しました"
            "（この後の調整はブロックを見ません）");

    progress.hide();
    session.tell("調整Ⅰ・終了");
}

}  // namespace tombra::adjust
