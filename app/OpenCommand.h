#pragma once

namespace tombra::app {

class Session;

// File > Open, "開く(&O)...": asks for the settings and the workbook, then reads the chosen
// event's entries. Everything else starts from here.
void openEntries(Session& session);

}  // namespace tombra::app
