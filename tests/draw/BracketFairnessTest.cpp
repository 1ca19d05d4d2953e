#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>

#include "draw/BracketFairness.h"
#include "draw/ShareArrangement.h"
#include "state/EntryCode.h"
#include "state/TournamentState.h"

namespace tombra::draw {
namespace {

// A bracket of `sizes.size()` tables, filled position by position with `schools` (entry
// numbers counted per school); the first `seeds` positions named are seeds.
void fill(TournamentState& s, const std::vector<int>& sizes, const std::vector<int>& schools,
          const std::vector<size_t>& seedPositions) {
    s.TableCount = static_cast<Integer>(sizes.size());
    std::vector<int> counts(201, 0);
    size_t at = 0;
    s.SeedCount = 0;
    for (int t = 1; t <= s.TableCount; ++t) {
        s.TableSize(t) = static_cast<Integer>(sizes[static_cast<size_t>(t - 1)]);
        for (int k = 1; k <= s.TableSize(t); ++k, ++at) {
            const int school = schools[at];
            s.TableSlot(t, k) = encodeEntry(school, ++counts[static_cast<size_t>(school)]);
            if (std::find(seedPositions.begin(), seedPositions.end(), at) != seedPositions.end())
                s.PositionEntry(++s.SeedCount) = s.TableSlot(t, k);
        }
    }
    s.DrawDone = 1;
}

std::vector<int> excessByLevel(const BracketFairness& f) {
    std::vector<int> out;
    for (const LevelFairness& l : f.levels) out.push_back(l.excess);
    return out;
}

// The least excess of each level is what the best arrangement reaches, and so are the fewest
// meetings with, beside them, the fewest excess entries over the sections together; the share
// arrangement reaches both. Every arrangement of the entries that are not seeds is tried on
// small brackets of mixed table sizes.
TEST(BracketFairness, TheLeastExcessIsWhatTheBestArrangementReaches) {
    std::mt19937 gen(5);
    auto state = std::make_unique<TournamentState>();
    TournamentState& s = *state;
    struct Event {
        std::vector<int> sizes, schools;
    };
    // First a school of seven among twelve that must meet in the first round once or hold
    // one more than its share of two sections: meeting costs more.
    std::vector<Event> events = {{{2, 2, 1, 1, 2, 1, 2, 1}, {2, 4, 4, 1, 1, 1, 4, 1, 1, 1, 1, 4}}};
    for (int event = 0; event < 16; ++event) {
        Event e;
        e.sizes =
            event % 2 ? std::vector<int>{2, 2, 2, 2} : std::vector<int>{2, 1, 2, 2, 1, 2, 1, 1};
        const int positions = std::accumulate(e.sizes.begin(), e.sizes.end(), 0);
        // Every fourth event has a school of half the entries, more than the tables.
        for (int i = 0; i < positions; ++i)
            e.schools.push_back(event % 4 == 3 && i % 2 ? 1
                                                        : 1 + std::uniform_int_distribution<int>(
                                                                  0, event % 3 + 1)(gen));
        std::shuffle(e.schools.begin(), e.schools.end(), gen);
        events.push_back(e);
    }
    for (const auto& [sizes, schools] : events) {
        SCOPED_TRACE(::testing::PrintToString(schools));
        const int positions = std::accumulate(sizes.begin(), sizes.end(), 0);
        const std::vector<size_t> seeds = {0, static_cast<size_t>(positions - 1)};
        fill(s, sizes, schools, seeds);
        const BracketFairness first = assessBracket(s);

        std::vector<Seat> seats;
        std::vector<int> levels;
        for (int t = 1, at = 0; t <= s.TableCount; ++t)
            for (int k = 1; k <= s.TableSize(t); ++k, ++at)
                seats.push_back(
                    {t, schools[static_cast<size_t>(at)], at == 0 || at == positions - 1, k});
        for (const LevelFairness& l : first.levels) levels.push_back(l.places);
        std::vector<int> arranged(schools.size());
        const std::vector<size_t> from = shareArrangement(seats, s.TableCount, levels);
        for (size_t at = 0; at < from.size(); ++at) arranged[at] = schools[from[at]];
        fill(s, sizes, arranged, seeds);
        const BracketFairness repaired = assessBracket(s);
        EXPECT_TRUE(repaired.best());

        // Every distinct order of the others, the seeds where they stand.
        std::vector<int> others;
        for (size_t i = 1; i + 1 < schools.size(); ++i) others.push_back(schools[i]);
        std::sort(others.begin(), others.end());
        std::vector<int> best(first.levels.size(), 1 << 20);
        std::pair<int, int> bestTogether{1 << 20, 0};  // meetings, then the sections' excess
        do {
            arranged = {schools.front()};
            arranged.insert(arranged.end(), others.begin(), others.end());
            arranged.push_back(schools.back());
            fill(s, sizes, arranged, seeds);
            const BracketFairness f = assessBracket(s);
            const std::vector<int> excess = excessByLevel(f);
            for (size_t l = 0; l < best.size(); ++l) best[l] = std::min(best[l], excess[l]);
            bestTogether = std::min(bestTogether, {excess.back(), f.sectionExcess()});
        } while (std::next_permutation(others.begin(), others.end()));
        for (size_t l = 0; l < best.size(); ++l)
            EXPECT_EQ(first.levels[l].leastExcess, best[l]) << first.levels[l].places;
        EXPECT_EQ(bestTogether, std::make_pair(best.back(), first.leastSectionExcess));
    }
}

// What the log says: the best when every level is at its least, else each level short of
// it and each school with an excess.
TEST(BracketFairness, TheReportNamesTheLevelsAndSchoolsShortOfTheBest) {
    auto state = std::make_unique<TournamentState>();
    TournamentState& s = *state;
    s.EntryAffiliation(1, 1) = "北高";
    // Four tables of two, every school of two split over the halves; then school 1 has both
    // its players in the left half.
    fill(s, {2, 2, 2, 2}, {1, 2, 3, 4, 1, 3, 2, 4}, {});
    BracketFairness f = assessBracket(s);
    EXPECT_TRUE(f.best());
    EXPECT_EQ(fairnessLines(f, s).size(), 1u);
    fill(s, {2, 2, 2, 2}, {1, 2, 1, 3, 2, 4, 3, 5}, {});
    f = assessBracket(s);
    EXPECT_EQ(f.shortfall(), 1);
    EXPECT_EQ(
        fairnessLines(f, s),
        (std::vector<std::string>{"公平性: 最善に届かず（同校対戦 0、最少 "
                                  "0／区画を超える選手 1、最少 0／区画の差 最大 2）",
                                  "  左右: 持ち分を超える選手 1名、最少 0名",
                                  "  1 北高（2名）: 持ち分を超える選手 左右 1／区画の差 最大 2"}));

    // In block mode, when school 1's block holds no position on the right, that is its best.
    s.BlockMode = 1;
    for (int t = 1; t <= 4; ++t)
        for (int k = 1; k <= 2; ++k)
            s.SlotBlock(t, k) = decodeEntry(s.TableSlot(t, k)).school == 1 ? 1 : 2;
    f = assessBracket(s);
    EXPECT_EQ(f.shortfall(), 0);
    EXPECT_EQ(fairnessLines(f, s).front(),
              "公平性（ブロックの配置のまま）: 最善（同校対戦 0、最少 0／区画を超える選手 1、最少 "
              "1／区画の差 最大 2）");
}

}  // namespace
}  // namespace tombra::draw
