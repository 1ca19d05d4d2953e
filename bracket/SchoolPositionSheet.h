#pragma once

// The school position sheet (GenderName & "ＮＴ"): for every school, where each of its players
// stands in the bracket, so that the office can answer "where is our player?" at a glance.

#include <string>

namespace tombra::sheet {
class Workbook;
}

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::bracket {}

namespace tombra::bracket {

std::string schoolPositionSheetName(const std::string& genderName);

void writeSchoolPositionSheet(Session& session, sheet::Workbook& workbook);

}  // namespace tombra::bracket
