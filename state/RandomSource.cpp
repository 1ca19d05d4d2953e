#include "state/RandomSource.h"

#include <chrono>
#include <stdexcept>
#include <string>
#include <utility>

#include "state/Numbers.h"

namespace tombra {

namespace {

void checkArguments(float u, int n) {
    if (n <= 0) {
        throw std::invalid_argument("random draw from 1.." + std::to_string(n) +
                                    ": the range must hold at least one value");
    }
    if (!(u >= 0.0f && u < 1.0f)) {
        throw std::invalid_argument("random draw: u = " + numberText(u) + " is outside [0, 1)");
    }
}

}  // namespace

RandomSource::RandomSource() { reseedFromClock(); }

void RandomSource::reseedFromClock() {
    if (commandDepth_ > 0) {
        if (!commandSeed_) takeCommandNumber();
        std::seed_seq seq{*commandSeed_, ++commandReseeds_};
        engine_.seed(seq);
        return;
    }
    if (fixedSeed_) {
        std::seed_seq seq{*fixedSeed_, ++fixedReseeds_};
        engine_.seed(seq);
        return;
    }
    const auto wall =
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    const auto steady =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    // The counter keeps two reseeds within one clock tick from giving the same sequence.
    ++clockReseeds_;
    std::seed_seq seq{static_cast<std::uint32_t>(wall), static_cast<std::uint32_t>(wall >> 32),
                      static_cast<std::uint32_t>(steady), static_cast<std::uint32_t>(steady >> 32),
                      clockReseeds_};
    engine_.seed(seq);
}

void RandomSource::beginCommand() {
    if (commandDepth_++ > 0) return;
    commandReseeds_ = 0;
    commandSeed_.reset();
}

void RandomSource::takeCommandNumber() {
    if (nextCommandSeed_) {
        commandSeed_ = std::exchange(nextCommandSeed_, std::nullopt);
        return;
    }
    const int depth = std::exchange(commandDepth_, 0);
    reseedFromClock();  // the fixed sequence's next, or the clock's
    commandDepth_ = depth;
    commandSeed_ = static_cast<std::uint32_t>(engine_());
}

std::optional<std::uint32_t> RandomSource::endCommand() {
    if (commandDepth_ == 0 || --commandDepth_ > 0) return std::nullopt;
    nextCommandSeed_.reset();  // a number given for a command that drew nothing goes with it
    return std::exchange(commandSeed_, std::nullopt);
}

void RandomSource::setFixedSeed(std::uint32_t seed) {
    fixedSeed_ = seed;
    fixedReseeds_ = 0;
    engine_.seed(seed);
}

void RandomSource::clearFixedSeed() { fixedSeed_.reset(); }

float RandomSource::uniform() {
    const std::uint32_t top24 = static_cast<std::uint32_t>(engine_()) >> 8;
    return static_cast<float>(top24) * 0x1.0p-24f;
}

int RandomSource::drawTruncated(int n) {
    checkArguments(0.0f, n);  // before consuming a number
    return mapTruncated(uniform(), n);
}

int RandomSource::drawRounded(int n) {
    checkArguments(0.0f, n);
    return mapRounded(uniform(), n);
}

int RandomSource::mapTruncated(float u, int n) {
    checkArguments(u, n);
    const float scaled = u * 1000.0f;
    return static_cast<int>(truncateToInteger(scaled) % n) + 1;
}

int RandomSource::mapRounded(float u, int n) {
    checkArguments(u, n);
    const float scaled = u * 1000.0f;
    return static_cast<int>(roundToInteger(scaled) % n) + 1;
}

}  // namespace tombra
