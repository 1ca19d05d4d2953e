#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <utility>

#include "state/Numbers.h"

namespace tombra {
namespace {

void expectReads(std::initializer_list<std::pair<const char*, double>> cases) {
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(readNumber(text), expected) << '"' << text << '"';
    }
}

TEST(NumberReading, TakesTheNumberAtTheStartOfTheText) {
    expectReads({{"12abc", 12},
                 {"abc", 0},
                 {"", 0},
                 {".5", 0.5},
                 {"+8", 8},
                 {"1 2", 1},
                 {".", 0},
                 {"- 5", 0},
                 {"\uFF11", 0}});
    // Blanks, the ideographic space among them; a truncated copy of it is no blank.
    expectReads({{" \t\r\n -3.5x", -3.5}, {"\u3000 \u3000-1.5", -1.5}, {"\343\2005", 0}});
    // The same blanks trimmed from both ends, and nothing else.
    for (auto [text, kept] : {std::pair{" \t1-1\u3000\r\n", "1-1"},
                              {"\u3000", ""},
                              {"", ""},
                              {"a \u3000b", "a \u3000b"},
                              {"x\343\200", "x\343\200"}})
        EXPECT_EQ(trimBlanks(text), kept) << text;
    // Exponents count only when digits follow the letter.
    expectReads({{"2.5D2", 250}, {"1e-2", 0.01}, {"3E+", 3}, {"3Dx", 3}});
    constexpr double kMax = std::numeric_limits<double>::max();
    expectReads({{"1e400", kMax}, {"-0.001e999999999999", -kMax}, {"1e-400", 0}});
    EXPECT_FALSE(std::signbit(readNumber("-0")));
}

TEST(NumberRounding, TiesToEvenTruncationAndSaturation) {
    // The last case is just below a half: adding 0.5 and flooring would give 1.
    for (const auto& [value, expected] : {std::pair{2.5, 2LL},
                                          {3.5, 4LL},
                                          {-2.5, -2LL},
                                          {-3.5, -4LL},
                                          {-2.6, -3LL},
                                          {0.49999999999999994, 0LL}}) {
        EXPECT_EQ(roundHalfEven(value), static_cast<double>(expected)) << value;
        EXPECT_EQ(roundToInteger(value), expected) << value;
    }
    EXPECT_EQ(truncateToInteger(-2.9), -2);
    EXPECT_EQ(roundToInteger(1e300), std::numeric_limits<long long>::max());
    EXPECT_EQ(truncateToInteger(-INFINITY), std::numeric_limits<long long>::min());
    EXPECT_EQ(roundToInteger(NAN), 0);
}

TEST(NumberText, PlainAndStrForms) {
    EXPECT_EQ(numberText(-3.0), "-3");
    EXPECT_EQ(numberText(-0.0), "0");
    EXPECT_EQ(numberText(0.5), "0.5");
    EXPECT_EQ(numberText(0.1 + 0.2), "0.3");  // 15 digits hide the binary noise
    EXPECT_EQ(numberText(123456789012345.0), "123456789012345");
    EXPECT_EQ(numberText(1e20), "1E+20");
    EXPECT_EQ(numberText(1.5e-7), "1.5E-07");
    EXPECT_EQ(numberText(12.03f), "12.03");  // the double of 12.03f is 12.0299997...
    EXPECT_EQ(numberText(1.0f / 3.0f), "0.3333333");
    EXPECT_EQ(numberText(std::int16_t{-7}), "-7");
    EXPECT_EQ(strText(3), " 3");
    EXPECT_EQ(strText(-3), "-3");
    EXPECT_EQ(strText(-0.0), " 0");
    EXPECT_EQ(strText(12.03f), " 12.03");
}

}  // namespace
}  // namespace tombra
