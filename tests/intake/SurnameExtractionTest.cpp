#include <gtest/gtest.h>

#include "intake/SurnameExtraction.h"

namespace tombra::intake {
namespace {

using Names = std::vector<std::string>;

Names shortened(Names names) {
    extractSurnames(names);
    return names;
}

Names pairsShortened(Names pairs) {
    extractPairSurnames(pairs);
    return pairs;
}

TEST(SurnameExtraction, SharedSurnamesKeepTheFirstCharacterOfTheGivenName) {
    EXPECT_EQ(shortened({"山田　太郎", "山田　花子", "鈴木　一郎"}),
              (Names{"山田(太)", "山田(花)", "鈴木"}));
    // Blanks of either width separate the surname, also when the two differ.
    EXPECT_EQ(shortened({"山田 太郎", "山田　花子"}), (Names{"山田(太)", "山田(花)"}));
    // A longer surname that merely starts the same is a different surname.
    EXPECT_EQ(shortened({"山田　太郎", "山田川　次郎"}), (Names{"山田", "山田川"}));
    // Three players of one family all keep their initial.
    EXPECT_EQ(shortened({"林　一", "林　二", "林　三"}), (Names{"林(一)", "林(二)", "林(三)"}));
}

TEST(SurnameExtraction, NamesWithoutABlankInTheirFirstFiveCharactersStayAsTheyAre) {
    EXPECT_EQ(shortened({"勅使河原玲子　様", "ジョン", "長谷川　誠"}),
              (Names{"勅使河原玲子　様", "ジョン", "長谷川"}));
    // The blank may be the fifth character, not the sixth.
    EXPECT_EQ(shortened({"長谷川千　美", "長谷川千　子"}), (Names{"長谷川千(美)", "長谷川千(子)"}));
    EXPECT_EQ(shortened({"長谷川千代　美", "長谷川千代　子"}),
              (Names{"長谷川千代　美", "長谷川千代　子"}));
    EXPECT_EQ(shortened({}), Names{});
}

TEST(SurnameExtraction, PairsAreShortenedOverAllHalvesOfTheSchool) {
    EXPECT_EQ(pairsShortened({"佐藤　一郎・田中　健", "佐藤　次郎・高橋　誠"}),
              (Names{"佐藤(一)・田中", "佐藤(次)・高橋"}));
    // Partners of one pair with the same surname are told apart too.
    EXPECT_EQ(pairsShortened({"森　一・森　二"}), (Names{"森(一)・森(二)"}));
    // Pairs written on two lines keep their line break.
    EXPECT_EQ(pairsShortened({"佐藤　一郎\n田中　健", "佐藤　次郎・森　誠"}),
              (Names{"佐藤(一)\n田中", "佐藤(次)・森"}));
}

}  // namespace
}  // namespace tombra::intake
