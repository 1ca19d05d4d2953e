#pragma once

// How long a cell's text may be. Spreadsheet programs hold at most 32,767 characters in a
// cell, counted as UTF-16 units, and repair or refuse a file with a longer one.

#include <cstddef>
#include <string_view>

namespace tombra::sheet {

inline constexpr std::size_t kMaxCellTextLength = 32767;

// The length of a UTF-8 text as spreadsheet programs count it.
std::size_t cellTextLength(std::string_view utf8);

// The longest start of `utf8` that is at most `limit` characters long, never splitting one.
std::string_view cutToCellLength(std::string_view utf8, std::size_t limit = kMaxCellTextLength);

}  // namespace tombra::sheet
