#pragma once

// Drawn brackets for the adjustment commands: laid out by hand, or drawn by the placement,
// and what the tests look at in them.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "draw/DrawFixture.h"

namespace tombra::adjust::test {

// The adjustments start from a draw: the draw tests' event builders are shared.
using namespace tombra::draw::test;

// A shell that also remembers the captions the progress dialog showed.
class RecordingShell : public tombra::test::FakeShell {
  public:
    std::vector<std::string> captions;
    void progressChanged(const ui::ProgressDialog& progress) override {
        if (progress.visible() && (captions.empty() || captions.back() != progress.caption()))
            captions.push_back(progress.caption());
    }
};

struct AdjustSession : ::testing::Test {
    RecordingShell shell;
    tombra::test::TempDir dir;
    Session session{shell, dir.path()};
    TournamentState& s = session.state;
    Entries entries{s};

    AdjustSession() { session.random.setFixedSeed(777); }

    // The bracket as a placement leaves it: one list of codes a table, in slot order
    // (-1 an open position). TableOrder follows the table count; the blocks of the entries
    // come from SchoolBlock. Every entry is marked placed, and the placement and the
    // affiliation adjustment are marked as run.
    void layOut(const std::vector<std::vector<float>>& tables);
    // The code of an entry, added to the entries when it is new.
    float entry(int school, int number);
};

// Every code in the draw, counted.
std::multiset<float> codesInDraw(const TournamentState& s);
// The schools of each table (index = table number).
std::vector<std::multiset<int>> schoolsByTable(const TournamentState& s);
// "t:k" for every table t holding two or more entries of school k (or, with `blocks`, of
// block k).
std::vector<std::string> clashes(const TournamentState& s, bool blocks = false);
// Largest difference of a school's entries between two sibling sections, over all levels.
int largestImbalance(const TournamentState& s);
// Where the table headed by rank r keeps its seed, for every seed: "(t, slot)" by seed.
std::map<int, std::pair<int, int>> seedPositions(const TournamentState& s);

}  // namespace tombra::adjust::test
