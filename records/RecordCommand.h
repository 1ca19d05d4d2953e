#pragma once

// "記録作成(&K)": the results typed into the time table go onto the bracket sheet (scores, the
// winners' lines), the later rounds' players onto the next-seeds sheet "次回" & the bracket
// sheet's name, and the match numbers go or stay.

#include <string>

#include "ui/Form.h"

namespace tombra {
class Session;
}

namespace tombra::records {

const ui::FormSpec& recordForm();  // Form7 "形式指定"

void buildRecords(Session& session);

}  // namespace tombra::records
