// The individual league of the sample workbook, read through File > Open, placed and
// adjusted: what an official tries first.

#include <gtest/gtest.h>

#include <filesystem>

#include "LeagueFixture.h"
#include "state/Numbers.h"

namespace tombra::league::test {
namespace {

struct SampleLeague : LeagueSession {
    long long number(int entry, int column) const {
        return roundToInteger(readNumber(s.EntryTable(entry, column)));
    }
    int seededHeads() const {
        int heads = 0;
        for (int g = 1; g <= s.TableCount; ++g)
            heads += number(static_cast<int>(s.TableSlot(g, 1)), 7) == 2;
        return heads;
    }
};

TEST_F(SampleLeague, EveryDivisionIsPlacedAndAdjustedWithinTheRules) {
    const auto sample = std::filesystem::path(TOMBRA_TEST_DATA).parent_path().parent_path() /
                        "examples" / "sample.xlsx";
    struct Division {
        const char* option;
        int number, entries, seeds;
    };
    for (const Division d : {Division{"Option9", 1, 26, 3}, Division{"Option10", 2, 47, 6},
                             Division{"Option11", 3, 55, 6}}) {
        const std::string which = "division " + std::to_string(d.number);
        const auto copy = dir / "sample.xlsx";
        std::filesystem::copy_file(sample, copy, std::filesystem::copy_options::overwrite_existing);
        shell.fill["Form1"] = [d](ui::Form& f) {
            f.setValue("Option8", true);
            f.setValue(d.option, true);
        };
        shell.files = {copy.string()};
        ASSERT_TRUE(run("ﾌｧｲﾙ(&F)/開く(&O)..."));
        ASSERT_EQ(s.EntryCount, d.entries) << which;
        ASSERT_EQ(s.SeedCount, d.seeds) << which;
        // The columns the league reads: A school, D sex, E category, F division, G 1 plays
        // and 2 seeded.
        for (int e = 1; e <= d.entries; ++e) {
            const std::string at = which + " entry " + std::to_string(e);
            EXPECT_GE(number(e, 1), 1) << at;
            EXPECT_TRUE(number(e, 4) == 1 || number(e, 4) == 2) << at;
            EXPECT_TRUE(number(e, 5) >= 1 && number(e, 5) <= 4) << at;
            EXPECT_EQ(number(e, 6), d.number) << at;
            EXPECT_TRUE(number(e, 7) == 1 || number(e, 7) == 2) << at;
        }

        shell.messages.clear();
        chooseLeagueSize(4, false);
        ASSERT_TRUE(run("個人リーグ投入(&K)"));
        EXPECT_EQ(shell.messages, Messages{"投入終了"}) << which;
        EXPECT_EQ(groupFaults(s, d.entries, true), Messages{}) << which;
        EXPECT_EQ(seededHeads(), d.seeds) << which;

        shell.messages.clear();
        choosePasses(true, true, true, true);
        ASSERT_TRUE(run("個人リーグ調整(&T)"));
        EXPECT_EQ(shell.messages.back(), "調整完了") << which;
        EXPECT_EQ(groupFaults(s, d.entries, true), Messages{}) << which;
        EXPECT_EQ(seededHeads(), d.seeds) << which;
        // Divisions 2 and 3 leave room to part every school and previous group.
        if (d.number == 1) continue;
        EXPECT_EQ(clashes(s, 1), 0) << which;
        EXPECT_EQ(clashes(s, 8), 0) << which;
    }
}

}  // namespace
}  // namespace tombra::league::test
