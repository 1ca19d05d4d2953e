#include <gtest/gtest.h>

#include <limits>

#include "state/EntryCode.h"

namespace tombra {
namespace {

TEST(EntryCode, EveryEntryRoundTrips) {
    for (int school = 0; school <= 200; ++school) {
        for (int entry = 0; entry <= 99; ++entry) {
            const DecodedEntry decoded = decodeEntry(encodeEntry(school, entry));
            ASSERT_EQ(decoded, (DecodedEntry{school, entry})) << school << "/" << entry;
        }
    }
}

TEST(EntryCode, DecodesEdgeCodes) {
    EXPECT_EQ(encodeEntry(12, 3), 12.03f);
    EXPECT_EQ(decodeEntry(200.99f), (DecodedEntry{200, 99}));
    EXPECT_EQ(decodeEntry(12.1f), (DecodedEntry{12, 10}));  // entry numbers, not digits
    EXPECT_EQ(decodeEntry(0.0f), (DecodedEntry{0, 0}));
    EXPECT_EQ(decodeEntry(-1.0f), (DecodedEntry{-1, 0}));  // open bracket position
    // Garbage must not crash; the tables then refuse the numbers.
    EXPECT_EQ(decodeEntry(std::numeric_limits<float>::quiet_NaN()), (DecodedEntry{0, 0}));
    EXPECT_EQ(decodeEntry(1e30f), (DecodedEntry{std::numeric_limits<int>::max(), 0}));
}

}  // namespace
}  // namespace tombra
