#include "draw/RandomFill.h"

#include <algorithm>

#include "draw/SeedPlacement.h"
#include "state/EntryCode.h"

namespace tombra::draw {

namespace {

constexpr Single kOpen = -1;
constexpr int kMaxEntry = decltype(TournamentState::EntryName)::columnUpper();
// Steps that count no failed draw (school redraws, a school's list ending, seeds skipped)
// cannot go on for ever while an entry waits; this bound only guards against state that no
// File > Open leaves behind.
constexpr long long kIdleStepLimit = 20'000'000;

int schoolLimit(const TournamentState& s) {
    return std::clamp<int>(s.MaxSchoolNo, 1, decltype(TournamentState::SchoolEntryCount)::upper());
}

class Draw {
  public:
    Draw(TournamentState& s, RandomSource& random, const FillEvents& events)
        : s_(s),
          random_(random),
          events_(events),
          seeds_(s),
          schools_(schoolLimit(s)),
          tables_(s.TableCount) {}

    FillResult run() {
        int waiting = waitingEntries(s_);
        while (waiting > 0 && tables_ > 0 && !gaveUp()) {
            const int school = drawSchool();
            if (school != 0 && tryEntriesOf(school)) --waiting;
        }
        if (gaveUp()) {
            result_.forced = true;
            if (events_.forcing) events_.forcing();
        }
        placeRestInOrder();
        result_.unplaced = countUnplaced();
        return result_;
    }

  private:
    bool gaveUp() const {
        return result_.failedDraws > kFailedDrawLimit || idleSteps_ > kIdleStepLimit;
    }

    // A school with entries; 0 when the idle bound ran out first.
    int drawSchool() {
        for (;;) {
            const int school = random_.drawTruncated(schools_);
            if (s_.SchoolEntryCount(school) > 0) return school;
            if (++idleSteps_ > kIdleStepLimit) return 0;
        }
    }

    // Walks the school's entries from the cursor; true when one was placed (the cursor then
    // stays where it is for the next school). At the end of the list the cursor starts over.
    bool tryEntriesOf(int school) {
        while (!gaveUp()) {
            const int k = ++cursor_;
            // Entry numbers end at 99 even when a school has that many.
            if (k > kMaxEntry || s_.EntryName(school, k).empty()) {
                cursor_ = 0;
                ++idleSteps_;
                return false;
            }
            if (seeds_.contains(school, k)) {
                ++idleSteps_;
                continue;
            }
            const int t = random_.drawTruncated(tables_);
            // A table without positions (fewer entries than tables) only costs the try.
            if (s_.TableSize(t) > 0) {
                const int slot = random_.drawTruncated(s_.TableSize(t));
                if (s_.TableSlot(t, slot) == kOpen && s_.EntryPresence(school, k) == 1) {
                    put(t, slot, school, k);
                    return true;
                }
            }
            ++result_.failedDraws;
        }
        return false;
    }

    void put(int t, int slot, int school, int entry) {
        s_.TableSlot(t, slot) = encodeEntry(school, entry);
        if (s_.BlockMode == 1) s_.SlotBlock(t, slot) = s_.SchoolBlock(school);
        s_.EntryPresence(school, entry) = 0;
        ++result_.placed;
        if (events_.placed) events_.placed(result_.placed);
    }

    void placeRestInOrder() {
        int t = 1, slot = 1;
        auto nextOpen = [&]() {
            for (; t <= tables_; ++t, slot = 1)
                for (; slot <= s_.TableSize(t); ++slot)
                    if (s_.TableSlot(t, slot) == kOpen) return true;
            return false;
        };
        for (int school = 1; school <= schools_; ++school) {
            for (int k = 1; k <= kMaxEntry; ++k) {
                if (!waitsForPlace(school, k)) continue;
                if (!nextOpen()) return;
                put(t, slot, school, k);
            }
        }
    }

    bool waitsForPlace(int school, int entry) const {
        return s_.EntryPresence(school, entry) == 1 && !s_.EntryName(school, entry).empty() &&
               !seeds_.contains(school, entry);
    }

    int countUnplaced() const {
        int n = 0;
        for (int school = 1; school <= decltype(TournamentState::EntryName)::rowUpper(); ++school)
            for (int k = 1; k <= kMaxEntry; ++k)
                if (waitsForPlace(school, k)) ++n;
        return n;
    }

    TournamentState& s_;
    RandomSource& random_;
    const FillEvents& events_;
    const SeedLookup seeds_;
    const int schools_;
    const int tables_;
    int cursor_ = 0;
    long long idleSteps_ = 0;
    FillResult result_;
};

}  // namespace

int waitingEntries(const TournamentState& s) {
    const SeedLookup seeds(s);
    int n = 0;
    for (int school = 1; school <= schoolLimit(s); ++school) {
        if (s.SchoolEntryCount(school) <= 0) continue;
        for (int k = 1; k <= kMaxEntry && !s.EntryName(school, k).empty(); ++k)
            if (s.EntryPresence(school, k) == 1 && !seeds.contains(school, k)) ++n;
    }
    return n;
}

FillResult drawEntries(TournamentState& s, RandomSource& random, const FillEvents& events) {
    return Draw(s, random, events).run();
}

}  // namespace tombra::draw
