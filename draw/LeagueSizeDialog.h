#pragma once

// The league-size dialog (Form9): how many entries a league holds, and whether that size is
// fixed or may grow by one. It makes the groups: TableCount and TableSize(1..TableCount).
// The league placements use it, and so does "フリー⇒" of the bracket's table dialog.

#include <vector>

#include "ui/Form.h"

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::draw {

const ui::FormSpec& leagueSizeForm();  // Form9 "リーグ人数の設定"

struct LeagueSizeChoice {
    int size = 5;  // 3..7
    bool fixed = false;
};
LeagueSizeChoice leagueSizeChoice(const ui::Form& form);

// Sizes of the groups 1..G for `entries` entries.
// Fixed size: as few groups as hold the entries with at most `size` each, the sizes as even
// as possible, larger groups first (23 entries of 5: 5, 5, 5, 4, 4).
// Variable size: each of the first `superSeeds` groups holds one super seed; the rest hold
// `size`, the first of them one more each for the entries left over (10 entries of 3:
// 4, 3, 3).
// Empty when no such groups exist (fewer entries than the groups need).
std::vector<int> leagueGroupSizes(int entries, int size, bool fixed, int superSeeds);

// Shows Form9 modally. OK sets TableCount and TableSize(1..TableCount) for EntryCount and
// LeagueSuperSeedCount and returns true. キャンセル sets LeagueCancelled; so do sizes that
// cannot be made, after saying why; both return false and change no group. Each call clears
// LeagueCancelled first: it tells of this call only.
bool askLeagueSize(Session& session);

}  // namespace tombra::draw
