#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tombra::sheet {

// Writes the bytes to a temporary file beside the target and renames it over the target only
// once everything is on disk, so a failed save leaves the old file as it was. Keeps the old
// file's permissions. Throws WorkbookError saying why.
void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// Reads a whole file; throws WorkbookError when it cannot, and without reading a byte when the
// path is no regular file (after links) or the file is larger than any workbook.
std::string readWholeFile(const std::filesystem::path& path);

}  // namespace tombra::sheet
