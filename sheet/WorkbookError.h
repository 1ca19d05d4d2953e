#pragma once

#include <stdexcept>
#include <string>

namespace tombra::sheet {

// Every failure of the workbook engine: a file that is not a workbook, a damaged part, a bad
// range, a failed save. The message is Japanese and is meant to be shown to the user as it is.
class WorkbookError : public std::runtime_error {
  public:
    explicit WorkbookError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace tombra::sheet
