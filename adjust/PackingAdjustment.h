#pragma once

// "パッキン調整(&P)": a seed's first opponent should not be one of the leading entries of its
// school. Such an opponent changes places with a teammate of a high entry number, so the
// schools of every table stay as they were.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "state/TournamentState.h"
#include "ui/Form.h"

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::adjust {

void adjustPacking(Session& session);

const ui::FormSpec& unpackForm();  // Form5 "パッキン外し"

struct UnpackSettings {
    int seedNo = 0;  // seeds 1..seedNo are treated; 0 (or less) treats every seed
    int maxNo = 1;   // opponents with entry numbers up to this are moved: 1, 2 or 3
};

// Form5's OK: the number typed, rounded, and the option chosen.
UnpackSettings readUnpackSettings(const ui::Form& form);

// First and last slot a seed of table t meets: one slot in tables of 2, 4 or 8 positions,
// two slots in any other, below the top seed of an odd table and above the bottom seed of
// an even one. Slots beyond the table's size are the caller's to skip.
std::pair<int, int> opponentRange(int t, int size);

// Moves the leading opponents away from the seeds; returns the log lines, one an exchange
// ("所属：名前⇔名前") or an opponent left in place ("所属：名前交換不能").
std::vector<std::string> unpackSeeds(TournamentState& s, const UnpackSettings& settings,
                                     const std::function<void(int table)>& table = {});

}  // namespace tombra::adjust
