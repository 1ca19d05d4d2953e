#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <map>
#include <numeric>
#include <random>

#include "DrawFixture.h"
#include "draw/PlacementCommand.h"

namespace tombra::draw {
namespace {

using test::drawFaults;
using test::tableOfRank;
using test::totalPositions;

// One event of random shape: schools of random sizes, some seeds, sometimes super seeds and
// blocks, drawn into a random table count that can hold it.
struct Shape {
    int tables = 8;
    int superSeeds = 0;
    int seeds = 0;
    bool blocks = false;
    std::vector<int> schoolSizes;  // index = school number - 1; 0 = no entries
    int entries() const { return std::accumulate(schoolSizes.begin(), schoolSizes.end(), 0); }
};

Shape randomShape(std::mt19937& gen) {
    auto pick = [&gen](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(gen);
    };
    Shape shape;
    shape.tables = 8 << pick(0, 4);
    if (shape.tables >= 32 && pick(0, 3) == 0) shape.superSeeds = pick(0, 1) == 0 ? 8 : 16;
    const int capacity = shape.superSeeds + (shape.tables - shape.superSeeds) * 128;
    const int target = std::min({capacity, 1024, pick(1, pick(0, 1) == 0 ? 60 : 1024)});
    // Schools spread over 1..200 with gaps, one sometimes holding 99.
    shape.schoolSizes.assign(200, 0);
    int n = 0;
    while (n < target) {
        const int school = pick(1, 200);
        const int wanted = pick(0, 9) == 0 ? 99 : pick(1, 12);
        const int room = std::min(99 - shape.schoolSizes[school - 1], target - n);
        const int add = std::min(wanted, room);
        shape.schoolSizes[school - 1] += add;
        n += add;
    }
    shape.seeds = pick(0, std::min(n, shape.tables));
    shape.blocks = pick(0, 2) == 0;
    return shape;
}

TEST(DrawInvariants, EveryEntryReadIsPlacedOnceWithSeedsFixedOverManyShapesAndGenerators) {
    std::mt19937 gen(31337);
    int forced = 0;
    for (int round = 1; round <= 150; ++round) {
        const Shape shape = randomShape(gen);
        SCOPED_TRACE("round " + std::to_string(round) + ": " + std::to_string(shape.entries()) +
                     " entries, " + std::to_string(shape.tables) + " tables, " +
                     std::to_string(shape.seeds) + " seeds, super seeds " +
                     std::to_string(shape.superSeeds));

        tombra::test::FakeShell shell;
        tombra::test::TempDir dir;
        Session session{shell, dir.path()};
        session.random.setFixedSeed(static_cast<std::uint32_t>(round));
        TournamentState& s = session.state;
        test::Entries entries(s);
        s.SuperSeedCount = static_cast<Integer>(shape.superSeeds);
        s.BlockMode = shape.blocks ? 1 : 0;

        const auto seedOf = test::randomSeeds(
            [&shape](int school) { return shape.schoolSizes[school - 1]; }, shape.seeds, gen);
        for (int school = 1; school <= 200; ++school) {
            if (shape.blocks) s.SchoolBlock(school) = static_cast<Integer>(school % 7 + 1);
            for (int k = 1; k <= shape.schoolSizes[school - 1]; ++k) {
                auto seed = seedOf.find({school, k});
                entries.add(school, seed == seedOf.end() ? 0 : seed->second);
            }
        }

        test::chooseTables(shell, shape.tables);
        placeEntries(session);

        ASSERT_FALSE(shell.messages.empty());
        ASSERT_EQ(shell.messages.back(), "投入終了");
        if (shell.messages.front() == "強制投入します") ++forced;
        ASSERT_EQ(s.TableCount, shape.tables);
        ASSERT_EQ(totalPositions(s), shape.entries());
        ASSERT_EQ(drawFaults(s), std::vector<std::string>{});
        for (int r = 1; r <= std::min(shape.superSeeds, shape.tables); ++r)
            ASSERT_EQ(s.TableSize(tableOfRank(s, r)), r <= shape.entries() ? 1 : 0)
                << "super seed " << r;
        if (shape.blocks) {
            for (int t = 1; t <= s.TableCount; ++t)
                for (int k = 1; k <= s.TableSize(t); ++k)
                    ASSERT_EQ(s.SlotBlock(t, k), static_cast<int>(s.TableSlot(t, k)) % 7 + 1);
        }
    }
    // The systematic fallback is for brackets packed tight, not the usual way.
    EXPECT_LT(forced, 75);
}

}  // namespace
}  // namespace tombra::draw
