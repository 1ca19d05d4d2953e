#pragma once

// The random source of the draws: uniform single-precision values in [0, 1) and the two
// mappings of such a value onto 1..n that the draws use.

#include <cstdint>
#include <optional>
#include <random>

namespace tombra {

class RandomSource {
  public:
    // Starts seeded from the clock.
    RandomSource();

    // Called at the start of every drawing command or pass. Normally seeds from the clock.
    // With a fixed seed set, it seeds from the fixed seed and the number of reseeds since it
    // was set: a scripted run with a fixed seed reproduces exactly, whatever the timing of its
    // steps, and successive passes still draw different numbers.
    void reseedFromClock();

    // Switches to the fixed sequence for `seed` and restarts it now.
    void setFixedSeed(std::uint32_t seed);
    // Back to clock seeding (takes effect at the next reseedFromClock()).
    void clearFixedSeed();
    std::optional<std::uint32_t> fixedSeed() const { return fixedSeed_; }

    // A command's draws all come from one number, its lottery number ("抽選番号"): the one
    // asked for with `useForNextCommand`, else the next of the fixed sequence, else one from
    // the clock. Within the command every reseed follows from that number alone, so the same
    // number on the same state draws the same again, whatever ran before.
    // The number is taken when the command first draws, so that commands that draw nothing
    // leave the fixed sequence as it was.
    void beginCommand();
    // The command's number, when it drew.
    std::optional<std::uint32_t> endCommand();
    void useForNextCommand(std::uint32_t seed) { nextCommandSeed_ = seed; }

    // Uniform in [0, 1): the top 24 bits of the generator scaled by 2^-24, so every value is
    // an exact float and 1.0 never occurs.
    float uniform();

    // (trunc(u x 1000) mod n) + 1 with a fresh u. Throws std::invalid_argument when n <= 0.
    int drawTruncated(int n);
    // (round-ties-to-even(u x 1000) mod n) + 1 with a fresh u. u x 1000 may round to 1000.
    // Throws std::invalid_argument when n <= 0.
    int drawRounded(int n);

    // The two mappings for a given u in [0, 1). u x 1000 is computed in single precision, so
    // a product that rounds onto a whole number or a half counts as that value. Throw
    // std::invalid_argument when n <= 0 or u is outside [0, 1).
    static int mapTruncated(float u, int n);
    static int mapRounded(float u, int n);

  private:
    std::mt19937 engine_;
    std::optional<std::uint32_t> fixedSeed_;
    std::uint32_t clockReseeds_ = 0;
    std::uint32_t fixedReseeds_ = 0;
    std::optional<std::uint32_t> nextCommandSeed_, commandSeed_;
    std::uint32_t commandReseeds_ = 0;
    int commandDepth_ = 0;  // a command run from within another draws on the outer one's number
    void takeCommandNumber();
};

}  // namespace tombra
