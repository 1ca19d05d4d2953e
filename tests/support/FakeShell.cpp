#include "support/FakeShell.h"

#include "sheet/Worksheet.h"

namespace tombra::test {

void FakeShell::printSheet(sheet::Workbook&, sheet::Worksheet& ws, const ui::PrintJob& job) {
    printed.push_back(ws.name());
    printJobs.push_back(job);
    if (onPrint) onPrint(ws);
}
void FakeShell::previewSheet(sheet::Workbook&, sheet::Worksheet& ws) {
    previewed.push_back(ws.name());
}

}  // namespace tombra::test
