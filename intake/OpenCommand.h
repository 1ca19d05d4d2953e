#pragma once

namespace tombra {
class Session;
}  // namespace tombra
namespace tombra::sheet {
class Workbook;
}

namespace tombra::intake {

// File > Open, "開く(&O)...": asks for the settings and the workbook, then reads the chosen
// event's entries. Everything else starts from here.
void openEntries(Session& session);

// The common start of the commands that read entries: the state of the last workbook emptied,
// the log cleared, the order of work begun again with `command` checked, the settings asked.
// False when the settings were cancelled.
bool startOver(Session& session, const char* command);

// Starts the host, asks for the workbook ("DATAを開く") and attaches it as WorkbookPath.
// nullptr when the dialog was cancelled or the file cannot be opened (the user is told why).
sheet::Workbook* openChosenWorkbook(Session& session);

}  // namespace tombra::intake
