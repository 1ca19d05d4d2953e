#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "sheet/Workbook.h"

namespace tombra::test {

// A fresh folder under the system's temporary folder, removed when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

std::filesystem::path testData(const std::string& name);
std::filesystem::path testScript(const std::string& name);

// Runs a command through the shell; returns its standard output, fails the test on a
// non-zero exit.
std::string runCommand(const std::string& command);
std::string runPython(const std::string& script, const std::string& arguments);
std::string quoted(const std::filesystem::path& path);

std::string readFile(const std::filesystem::path& path);
// One part of a package, inflated.
std::string packagePart(const std::filesystem::path& workbook, const std::string& part);

// The small workbook of tests/data: "Sheet1" (empty) and "別シート" (A1 "そのまま").
std::unique_ptr<sheet::Workbook> blankWorkbook();

}  // namespace tombra::test
