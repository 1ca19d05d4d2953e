#pragma once

namespace tombra {
class Session;
}  // namespace tombra

namespace tombra::intake {

// File > Open, "開く(&O)...": asks for the settings and the workbook, then reads the chosen
// event's entries. Everything else starts from here.
void openEntries(Session& session);

}  // namespace tombra::intake
