#pragma once

// Moving an entry out of a group by the three-group rotation: the entry at A = (g, b) goes to
// a place B of another group, the entry of B to a place C of a third group, and the entry of
// C comes to A. B's group must not already hold A's values of the attributes kept apart, C's
// not B's, and A's not C's. The school passes of the three leagues keep schools apart; the
// individual league's previous-group pass keeps schools and previous groups apart, and counts
// its tries its own way (RotationRule).

#include <string>
#include <vector>

#include "league/LeagueGroups.h"

namespace tombra::ui {
class Shell;
}

namespace tombra::league {

inline constexpr const char* kNoPartnerB1 = "Ｂテーブル未決(1)";
inline constexpr const char* kNoPartnerB8 = "Ｂテーブル未決(8)";
inline constexpr const char* kNoPartnerC1 = "Ｃテーブル未決(1)";
inline constexpr const char* kNoPartnerC8 = "Ｃテーブル未決(8)";
inline constexpr const char* kNoSwapWithA = "Ａテーブルと交換できない";
// Said when a search stops at a bound of this program's own (see kIdlePickLimit).
inline constexpr const char* kSearchAbandoned =
    "交換できる相手が見つからないため、調整を打ち切ります";
inline constexpr const char* kTooFewGroups = "グループが３つ未満のため、入れ替えできません";

// Picks that the searches do not count (a place in the same group, a seeded entry) go on for
// ever when no place qualifies, and the searches that go back to their start can repeat
// their counted tries many times over. These bounds end a search that has run that long; a
// search that can succeed does so long before (a pick costs well under a microsecond).
inline constexpr long long kIdlePickLimit = 1'000'000;   // uncounted picks, one entry moved
inline constexpr long long kPassPickLimit = 20'000'000;  // all picks of one pass

// How the search for B behaves once its failures pass kTryLimit (TryCount::FailedTests).
enum class PartnerBLimit {
    // The 30000th failure ends the search with "Ｂテーブル未決(1)" (singles league).
    EndsAtLimit,
    // The first failure after the 30000th says "Ｂテーブル未決(1)" and the search goes on,
    // until its 16-bit counter would overflow; then it ends, saying so (individual and team).
    WarnsAndGoesOn,
};

// How the searches for B and C count their tries.
enum class TryCount {
    // Only a failed test counts, on one counter for the whole pass that starts again when a
    // B is found. B ends as PartnerBLimit says, C at its kTryLimit-th count (school passes).
    FailedTests,
    // Every test counts, passed or failed, and each search for B or C counts from 0. B ends
    // when a pick finds the count at kTryLimit or a later test brings it there, C when any
    // test brings it there (previous-group pass).
    EveryTest,
};

// What a seeded entry picked as C does to the search.
enum class SeededC {
    BackToB,    // the search starts again with a new B (school passes)
    PickAgain,  // another C is picked for the same B (previous-group pass)
};

// An attribute kept apart, and what the search says when it finds no B or no C for it.
struct KeptApart {
    int column = 0;
    const char* noPartnerB = "";
    const char* noPartnerC = "";
};

struct RotationRule {
    std::vector<KeptApart> apart;  // tested in this order, at B, at C and at A
    TryCount count = TryCount::FailedTests;
    PartnerBLimit partnerB = PartnerBLimit::EndsAtLimit;  // read with FailedTests only
    SeededC seededC = SeededC::BackToB;
};

// The school passes' rule: schools apart, failures counted, a seeded C restarts the search.
RotationRule schoolsApart(PartnerBLimit limit);

// One object serves one pass: the picks of the pass, and with FailedTests the failure
// counter k, are counted across its entries.
class GroupRotation {
  public:
    GroupRotation(LeagueGroups& groups, ui::Shell& shell, RotationRule rule);

    // Moves the entry at `a` out, keeping apart its own values of the rule's attributes; a
    // seed is left where it is. False when a limit ended the search; the message has been
    // shown and the caller ends its pass (or command).
    bool moveOut(Place a);

  protected:
    // As moveOut(a), with A's values (which B's group must not hold) given, one per KeptApart.
    bool moveOut(Place a, const std::vector<long long>& keptOfA);

  private:
    enum class Step { Found, Blocked, BackToB, Stop };
    Step pickB(Place a, const std::vector<long long>& keptOfA, Place& b);
    Step testB(Place b, const std::vector<long long>& keptOfA);
    Step failedB(const char* noPartner);
    Step pickC(Place a, Place b, Place& c);
    Step testC(Place b, Place c);
    bool holds(Place at, long long value, int column) const {
        return groups_.tableHoldsValue(at.group, at.place, value, column);
    }
    Step stop(const std::string& text);
    bool pickedTooOften();

    LeagueGroups& groups_;
    ui::Shell& shell_;
    RotationRule rule_;
    int k_ = 0;
    long long idlePicks_ = 0;
    long long passPicks_ = 0;
};

// The school passes, whose callers have already read the school of the entry at `a`.
class SchoolRotation : public GroupRotation {
  public:
    SchoolRotation(LeagueGroups& groups, ui::Shell& shell, PartnerBLimit limit)
        : GroupRotation(groups, shell, schoolsApart(limit)) {}

    bool moveOut(Place a, long long school) { return GroupRotation::moveOut(a, {school}); }
};

}  // namespace tombra::league
