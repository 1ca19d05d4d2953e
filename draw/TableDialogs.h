#pragma once

// The dialogs of the bracket draw: the table settings (Form3) and the league settings of the
// league-then-bracket form (Form15), with the behaviour that belongs to each.

#include "state/TournamentState.h"
#include "ui/Form.h"

namespace tombra::draw {

const ui::FormSpec& tableSettingsForm();  // Form3 "テーブル設定"
const ui::FormSpec& leagueOptionsForm();  // Form15 "リーグ人数などの設定"

// The table count Form3 proposes for the entries read; 0 when it proposes none (only in
// the league-then-bracket form, when no count fits the leagues).
int proposedTableCount(const TournamentState& s);

// Form3 as it opens: the largest school's entry count in Label6 and the proposed option
// selected. In a plain tournament the proposal also becomes TableCount at once, so that
// キャンセル draws with it.
void prepareTableSettings(ui::Form& form, TournamentState& s);

// The count of the selected option among "8".."128"; 0 when none of them is selected.
int selectedTableCount(const ui::Form& form);
// "フリー⇒": the tables are made by the league-size dialog instead.
bool freeTablesSelected(const ui::Form& form);

// Form15's OK: league size, where leftover entries go, what the bracket shows.
void storeLeagueOptions(const ui::Form& form, TournamentState& s);

}  // namespace tombra::draw
