#include "app/FormCatalog.h"

#include "adjust/PackingAdjustment.h"
#include "bracket/MatchNumbering.h"
#include "bracket/PageSettingsForm.h"
#include "draw/LeagueSizeDialog.h"
#include "draw/TableDialogs.h"
#include "intake/SettingsDialogs.h"
#include "league/IndividualLeagueAdjustment.h"
#include "lists/EntryForms.h"
#include "records/RecordCommand.h"
#include "swap/SwapCommand.h"

namespace tombra::app {

const std::vector<const ui::FormSpec*>& allForms() {
    static const std::vector<const ui::FormSpec*> forms = {
        &intake::settingsForm(),          // Form1
        &draw::tableSettingsForm(),       // Form3
        &bracket::pageSettingsForm(),     // Form4
        &adjust::unpackForm(),            // Form5
        &lists::entryFormsForm(),         // Form6
        &records::recordForm(),           // Form7
        &intake::participantCountForm(),  // Form8
        &draw::leagueSizeForm(),          // Form9
        &swap::swapForm(),                // Form10
        &intake::superSeedForm(),         // Form11
        &bracket::numberingForm(),        // Form12
        &league::leagueAdjustForm(),      // Form13
        &intake::superSeedCountForm(),    // Form14
        &draw::leagueOptionsForm(),       // Form15
    };
    return forms;
}

}  // namespace tombra::app
