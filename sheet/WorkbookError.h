#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tombra::sheet {

// Every failure of the workbook engine: a file that is not a workbook, a damaged part, a bad
// range, a failed save. The message is Japanese and is meant to be shown to the user as it is.
class WorkbookError : public std::runtime_error {
  public:
    explicit WorkbookError(const std::string& message) : std::runtime_error(message) {}
};

// A save that would overwrite a file someone else changed since the program read it.
class FileChangedOnDisk : public WorkbookError {
  public:
    explicit FileChangedOnDisk(const std::filesystem::path& path)
        : WorkbookError(
              "「" + path.string() +
              "」は読み込んだ後に別のプログラムで変更されているため、上書きしませんでした"),
          path_(path) {}
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

}  // namespace tombra::sheet
