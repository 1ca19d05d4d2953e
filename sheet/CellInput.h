#pragma once

// What a typed text becomes in a cell, as a spreadsheet program decides it: a text that reads
// as a number (also in full-width digits, as a Japanese input method gives them) is stored as
// that number; a leading apostrophe keeps the rest as text; everything else is text. Texts
// such as "3-1" or "1/2" stay texts: a match label or a score must not turn into a date.

#include <optional>
#include <string>
#include <string_view>

#include "sheet/CellValue.h"

namespace tombra::sheet {

CellValue typedValue(std::string_view typed);

// The text with full-width ASCII (as an input method types digits and signs) and the
// ideographic space made half-width; nullopt when it holds anything else outside ASCII.
std::optional<std::string> halfWidth(std::string_view text);

// The text that brings the value back when typed: what an editor shows for the cell. A text
// that would read as a number gets its apostrophe.
std::string typingText(const CellValue& value);

}  // namespace tombra::sheet
