#pragma once

// Form4 "印刷ページの設定": how many pages the bracket is printed on, and the time-table
// setting the record sheets read later.

#include <string>

#include "ui/Form.h"

namespace tombra::sheet {
class Worksheet;
}

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::bracket {}

namespace tombra::bracket {

const ui::FormSpec& pageSettingsForm();

// Shows Form4 and stores its answers: PageCount and TimeTableSetting, and both into rows 4
// and 3 of the event's column of "基礎Ｄ" (`summary`, nullptr when the event has no column).
void askPageSettings(Session& session, sheet::Worksheet* summary);

}  // namespace tombra::bracket
