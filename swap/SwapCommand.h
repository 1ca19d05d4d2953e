#pragma once

// "交換[max100行](&K)": the office's list of exchanges on "入替" applied to a written sheet,
// the bracket of a knockout or the league sheet of a league-then-knockout event.

#include "ui/Form.h"

namespace tombra {
class Session;
}

namespace tombra::swap {

const ui::FormSpec& swapForm();  // Form10 "選手入替"

void swapPositions(Session& session);

}  // namespace tombra::swap
