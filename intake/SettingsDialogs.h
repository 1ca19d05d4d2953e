#pragma once

#include "ui/Form.h"

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::intake {

// The dialogs File > Open asks its questions with.
const ui::FormSpec& settingsForm();          // Form1 "初期設定"
const ui::FormSpec& participantCountForm();  // Form8 "人数指定"
const ui::FormSpec& superSeedForm();         // Form11 "スーパーシードの設定"
const ui::FormSpec& superSeedCountForm();    // Form14 "スパシード設定"

// Shows the settings dialog and turns its choices into the shared settings, opening the
// follow-up dialogs the choices call for. Cancel leaves GenderName "キャンセル" and nothing
// else changed.
void askSettings(Session& session);

// Dummy entries "101".."110", "201".. for drawing a bracket without names: ten a school.
void makeDummyEntries(Session& session, int participants);

}  // namespace tombra::intake
