#pragma once

// Entry tables as File > Open leaves them, built directly, and a check of a finished draw.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "session/Session.h"
#include "support/FakeShell.h"
#include "support/TestFiles.h"

namespace tombra::draw::test {

// Adds entries the way the entry reader records them.
class Entries {
  public:
    explicit Entries(TournamentState& s) : s_(s) { s_.setOpenConstants(); }

    // The school's next entry; a seed number > 0 makes it that seed. Returns its code.
    float add(int school, int seed = 0);
    // `count` more entries of the school, none seeded.
    void add(int school, int count, std::initializer_list<int> seedsOfFirst);
    void addMany(int school, int count) { add(school, count, {}); }

  private:
    TournamentState& s_;
};

// What is wrong with a finished draw, one line a fault: every entry read sits in exactly one
// position of tables 1..TableCount within their sizes, nothing else sits there, nobody
// waits, no position lies beyond a table's size, seeds sit at the top (odd) or bottom (even)
// of the table their rank heads.
std::vector<std::string> drawFaults(const TournamentState& s);

// Seed numbers 1..seeds given to random entries, one at most to each: (school, entry number)
// to seed number. `entriesOf(school)` counts the entries of schools 1..200.
std::map<std::pair<int, int>, int> randomSeeds(const std::function<int(int school)>& entriesOf,
                                               int seeds, std::mt19937& gen);
// Form3's answer: the option for `tables` (8, 16, 32, 64 or 128).
void chooseTables(tombra::test::FakeShell& shell, int tables);

// Sum of TableSize(1..TableCount).
int totalPositions(const TournamentState& s);
// The table headed by seed rank r.
int tableOfRank(const TournamentState& s, int rank);

struct DrawSession : ::testing::Test {
    tombra::test::FakeShell shell;
    tombra::test::TempDir dir;
    Session session{shell, dir.path()};
    TournamentState& s = session.state;
    Entries entries{s};

    DrawSession() { session.random.setFixedSeed(20240601); }
    // Form3's answer: the option for `tables` ("8".."128").
    void chooseTables(int tables);
};

}  // namespace tombra::draw::test
