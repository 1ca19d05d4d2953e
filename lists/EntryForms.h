#pragma once

// "参加申込書(&S)": one printed entry form per school. The form sheet "申込書" is filled with a
// school's number, name and players from the open section's entry sheet and printed, then the
// next school's follow; a school with more players than one form holds goes on over as many
// forms as it needs.

#include "state/TournamentState.h"
#include "ui/Form.h"

namespace tombra {
class Session;
}

namespace tombra::lists {

const ui::FormSpec& entryFormsForm();  // Form6 "参加申込書設定"

// What the dialog's OK stores: EntryFormMode 1 for 男子, 2 for 女子, 3 for 学校指定 (before
// either) with EntryFormSchool its school number. 全ての学校 and 今回参加した学校 store
// nothing.
void applyEntryFormChoice(const ui::Form& form, TournamentState& state);

// Every school 1..MaxSchoolNo in turn (mode 1 and 2) or the one chosen (mode 3). Mode 1 takes
// each school's players; modes 2 and 3 take them from the first player who takes part in the
// open event (its number column is filled) to the school's last. Each print-out is named
// "申込書" and the school number, "-2", "-3"... for the forms that continue a school.
void printEntryForms(Session& session);

}  // namespace tombra::lists
