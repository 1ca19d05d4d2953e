#include <gtest/gtest.h>

#include "LeagueFixture.h"
#include "league/LeagueFairness.h"

namespace tombra::league {
namespace {

using test::Messages;

struct LeagueFairnessTest : test::LeagueSession {};

// A school of thirty among sixty entries in leagues of four holds two of each group, as its
// share allows: no group made of it, none with three of it; the log says the draw is fair.
TEST_F(LeagueFairnessTest, ADominantSchoolHoldsItsShareOfEveryGroup) {
    for (std::uint32_t draw = 1; draw <= 5; ++draw) {
        SCOPED_TRACE(draw);
        reopen();
        for (int i = 0; i < 60; ++i) add({i < 30 ? 1 : 2 + i % 15, 1 + i % 2, 1, false, 0});
        chooseLeagueSize(4, true);
        session.random.setFixedSeed(draw);
        ASSERT_TRUE(run("個人リーグ投入(&K)"));
        choosePasses(true, false, false, false);
        ASSERT_TRUE(run("個人リーグ調整(&T)"));
        const LeagueFairness f =
            assessLeague(LeagueGroups(session.state, session.random, seededByMark));
        EXPECT_EQ(f.leastExcess, 0);
        EXPECT_EQ(f.excess, 0);
        EXPECT_NE(session.log.text().find("公平性: 最善（グループの持ち分を超える選手 0名"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace tombra::league
