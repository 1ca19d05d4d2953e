#include "support/FakeShell.h"

#include "sheet/Worksheet.h"

namespace tombra::test {

void FakeShell::printSheet(sheet::Workbook&, sheet::Worksheet& ws) { printed.push_back(ws.name()); }
void FakeShell::previewSheet(sheet::Workbook&, sheet::Worksheet& ws) {
    previewed.push_back(ws.name());
}

}  // namespace tombra::test
