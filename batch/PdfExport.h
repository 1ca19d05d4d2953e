#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tombra::sheet {
class Workbook;
class Worksheet;
}  // namespace tombra::sheet

namespace tombra::batch {

// Where a printed or previewed sheet goes: "<document>.pdf", or "<sheet name>.pdf" when the
// print-out has no name of its own, in the folder given on the command line, else in the
// workbook's own folder.
std::filesystem::path pdfPath(const std::optional<std::filesystem::path>& pdfDir,
                              const sheet::Workbook& workbook, const sheet::Worksheet& sheet,
                              const std::string& document = {});

// Writes the sheet's pages to `target` as PDF. Returns what to tell the user when it cannot.
std::optional<std::string> writeSheetPdf(sheet::Workbook& workbook, sheet::Worksheet& sheet,
                                         const std::filesystem::path& target);

}  // namespace tombra::batch
