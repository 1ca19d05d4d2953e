#pragma once

// Leagues as File > Open and the placements leave them, built directly; a shell that also
// keeps the progress captions; and the checks every league draw and adjustment must pass.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "session/Session.h"
#include "support/FakeShell.h"
#include "support/TestFiles.h"

namespace tombra::league::test {

using Messages = std::vector<std::string>;
using Groups = std::vector<std::vector<int>>;

class LeagueShell : public tombra::test::FakeShell {
  public:
    std::vector<std::string> captions;      // each change of the progress caption, in order
    std::vector<std::string> closeInstead;  // forms closed by their window, not a button

    void progressChanged(const ui::ProgressDialog& progress) override;
    std::string showForm(ui::Form& form) override;
};

// One row of EntryTable: school (1), sex (4), category (5), seed mark "2" (7), previous
// group (8). Singles and team leagues read their seed numbers from columns 5 and 3.
struct Player {
    int school = 1;
    int sex = 1;
    int category = 1;
    bool seeded = false;
    int previous = 0;
};

int addPlayer(TournamentState& s, const Player& p);
void addRandomPlayers(TournamentState& s, std::mt19937& random, int count, int schools, int seeds);

void setGroups(TournamentState& s, const Groups& groups);  // entry numbers, 0 = empty
Groups groupsOf(const TournamentState& s);
std::map<int, std::pair<int, int>> placesOf(const TournamentState& s);  // entry -> place
std::vector<int> sizesOf(const TournamentState& s);                     // TableSize(1..128)

// What is wrong with the groups, one line a fault: an entry twice, a value that is no entry
// 1..entries, something beyond a group's size; with `complete` an entry missing or a place
// empty too.
Messages groupFaults(const TournamentState& s, int entries, bool complete);

// Pairs in one group whose attribute `column` is equal and not 0; for schools (column 1)
// the school a group is reserved for does not count.
int clashes(const TournamentState& s, int column);

struct LeagueSession : ::testing::Test {
    LeagueShell shell;
    tombra::test::TempDir dir;
    Session session{shell, dir.path()};
    TournamentState& s = session.state;

    LeagueSession() {
        session.random.setFixedSeed(20240601);
        reopen();
    }
    // What a new File > Open leaves before the entries are read.
    void reopen();
    void chooseLeagueSize(int size, bool fixed);                             // Form9
    void choosePasses(bool school, bool previous, bool sex, bool category);  // Form13
    bool run(const std::string& caption);
    int add(const Player& p) { return addPlayer(s, p); }
    // Individual league entries of the given schools, group by group, in those groups;
    // the groups from `seededFrom` (1-based) on are seeded.
    Groups bySchools(const Groups& schools, int seededFrom = 0);
};

}  // namespace tombra::league::test
