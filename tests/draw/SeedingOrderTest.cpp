#include <gtest/gtest.h>

#include <set>

#include "draw/SeedingOrder.h"

namespace tombra::draw {
namespace {

std::vector<int> orderOf(int tables) {
    TournamentState s;
    s.TableCount = static_cast<Integer>(tables);
    buildTableOrder(s, tables);
    std::vector<int> order;
    for (int t = 1; t <= tables; ++t) order.push_back(s.TableOrder(t));
    return order;
}

TEST(SeedingOrder, EightAndSixteenTablesFollowTheKnockoutOrder) {
    EXPECT_EQ(orderOf(8), (std::vector<int>{1, 8, 5, 4, 3, 6, 7, 2}));
    EXPECT_EQ(orderOf(16),
              (std::vector<int>{1, 16, 9, 8, 5, 12, 13, 4, 3, 14, 11, 6, 7, 10, 15, 2}));
}

TEST(SeedingOrder, EveryCountIsAnInvolutionWhoseNeighboursMeetAsSeedsShould) {
    for (int tables : {8, 16, 32, 64, 128}) {
        const std::vector<int> order = orderOf(tables);
        EXPECT_EQ(std::set<int>(order.begin(), order.end()).size(),
                  static_cast<std::size_t>(tables));
        for (int t = 1; t <= tables; ++t) {
            const int rank = order[t - 1];
            ASSERT_GE(rank, 1);
            ASSERT_LE(rank, tables);
            // The order is its own inverse: the table headed by rank r is TableOrder(r).
            EXPECT_EQ(order[rank - 1], t) << tables << " tables, table " << t;
        }
        // Tables meeting in the first round of the winners: ranks add up to T + 1.
        for (int t = 1; t < tables; t += 2)
            EXPECT_EQ(order[t - 1] + order[t], tables + 1) << tables << " tables, table " << t;
        // The top two seeds at the two ends, 4 and 3 where the halves meet.
        EXPECT_EQ(order.front(), 1);
        EXPECT_EQ(order.back(), 2);
        const int half = tables / 2;
        EXPECT_EQ(order[half - 1], 4) << tables;
        EXPECT_EQ(order[half], 3) << tables;
    }
}

}  // namespace
}  // namespace tombra::draw
