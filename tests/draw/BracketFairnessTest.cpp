#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>

#include "draw/BracketFairness.h"
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

// The least excess of each level is what the best arrangement reaches: every arrangement of
// the entries that are not seeds is tried on small brackets of mixed table sizes.
TEST(BracketFairness, TheLeastExcessIsWhatTheBestArrangementReaches) {
    std::mt19937 gen(5);
    auto state = std::make_unique<TournamentState>();
    TournamentState& s = *state;
    for (int event = 0; event < 12; ++event) {
        SCOPED_TRACE(event);
        const std::vector<int> sizes =
            event % 2 ? std::vector<int>{2, 2, 2, 2} : std::vector<int>{2, 1, 2, 2, 1, 2, 1, 1};
        const int positions = std::accumulate(sizes.begin(), sizes.end(), 0);
        std::vector<int> schools;
        for (int i = 0; i < positions; ++i)
            schools.push_back(1 + std::uniform_int_distribution<int>(0, event % 3 + 1)(gen));
        std::shuffle(schools.begin(), schools.end(), gen);
        const std::vector<size_t> seeds = {0, static_cast<size_t>(positions - 1)};
        fill(s, sizes, schools, seeds);
        const BracketFairness first = assessBracket(s);

        // Every distinct order of the others, the seeds where they stand.
        std::vector<int> others;
        for (size_t i = 1; i + 1 < schools.size(); ++i) others.push_back(schools[i]);
        std::sort(others.begin(), others.end());
        std::vector<int> best(first.levels.size(), 1 << 20);
        do {
            std::vector<int> arranged = {schools.front()};
            arranged.insert(arranged.end(), others.begin(), others.end());
            arranged.push_back(schools.back());
            fill(s, sizes, arranged, seeds);
            const std::vector<int> excess = excessByLevel(assessBracket(s));
            for (size_t l = 0; l < best.size(); ++l) best[l] = std::min(best[l], excess[l]);
        } while (std::next_permutation(others.begin(), others.end()));
        for (size_t l = 0; l < best.size(); ++l)
            EXPECT_EQ(first.levels[l].leastExcess, best[l]) << first.levels[l].places;
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
        (std::vector<std::string>{"公平性: 最善に届かず（同校対戦 0、最少 0／区画の差 最大 2）",
                                  "  左右: 持ち分を超える選手 1名、最少 0名",
                                  "  1 北高（2名）: 持ち分を超える選手 左右 1"}));
}

}  // namespace
}  // namespace tombra::draw
