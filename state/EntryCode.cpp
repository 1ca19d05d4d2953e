#include "state/EntryCode.h"

#include <cmath>
#include <limits>

#include "state/Numbers.h"

namespace tombra {

namespace {

int clampToInt(long long v) {
    if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

}  // namespace

float encodeEntry(int school, int entry) {
    return static_cast<float>(static_cast<double>(school) + static_cast<double>(entry) / 100.0);
}

DecodedEntry decodeEntry(float code) {
    if (std::isnan(code)) return {0, 0};
    const int school = clampToInt(truncateToInteger(code));
    // Beyond 2^24 a float has no fraction left; this also keeps the subtraction meaningful.
    if (std::fabs(code) >= 16777216.0f) return {school, 0};
    // Single-precision arithmetic, as the codes themselves are single precision. The
    // subtraction is exact; the product is off by far less than half an entry number.
    const float fraction = code - static_cast<float>(school);
    const float hundredths = fraction * 100.0f;
    return {school, clampToInt(roundToInteger(hundredths))};
}

}  // namespace tombra
