#pragma once

// Moving an entry out of a group that holds another entry of its school, by the three-group
// rotation: the entry at A = (g, b) goes to a place B of another group, the entry of B to a
// place C of a third group, and the entry of C comes to A. B must not hold A's school, C not
// B's, and A not C's. The individual league's school pass and the singles and team league
// adjustments share it.

#include <string>

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

// How the search for B behaves once its failures pass kTryLimit.
enum class PartnerBLimit {
    // The 30000th failure ends the search with "Ｂテーブル未決(1)" (singles league).
    EndsAtLimit,
    // The first failure after the 30000th says "Ｂテーブル未決(1)" and the search goes on,
    // until its 16-bit counter would overflow; then it ends, saying so (individual and team).
    WarnsAndGoesOn,
};

// The counters of one pass: the failure counter k lives for the whole pass.
class SchoolRotation {
  public:
    SchoolRotation(LeagueGroups& groups, ui::Shell& shell, PartnerBLimit limit)
        : groups_(groups), shell_(shell), limit_(limit) {}

    // Moves the entry at `a`, of school `school`, out; a seed is left where it is. False when
    // a limit ended the search; the message has been shown and the caller ends its pass (or
    // command).
    bool moveOut(Place a, long long school);

  private:
    enum class Step { Found, Again, Stop };
    Step pickB(Place a, long long school, Place& b, long long& schoolB);
    Step pickC(Place a, Place b, long long schoolB, Place& c, long long& schoolC);
    bool pickedTooOften();

    LeagueGroups& groups_;
    ui::Shell& shell_;
    PartnerBLimit limit_;
    int k_ = 0;
    long long idlePicks_ = 0;
    long long passPicks_ = 0;
};

}  // namespace tombra::league
