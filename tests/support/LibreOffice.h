#pragma once

// Running the programs other tests compare with: LibreOffice's headless conversion and
// poppler's pdfinfo.

#include <filesystem>
#include <string>

namespace tombra::test {

// A program on PATH, or "" when there is none.
std::string findProgram(const std::string& name);

struct Finished {
    int status = -1;  // exit status, -1 when the command did not exit normally
    std::string output;
};
// Runs a shell command; its standard output and error together.
Finished run(const std::string& command);

// The page count pdfinfo reports, -1 when it reports none.
int pdfPageCount(const std::filesystem::path& pdf);

// LibreOffice in a fresh home and profile under `workDir`: it must not depend on, or write
// into, the user's.
class LibreOfficeConverter {
  public:
    explicit LibreOfficeConverter(std::filesystem::path workDir);
    bool available() const { return !soffice_.empty(); }
    // The converted file in workDir/out, or "" with `failure` saying why.
    std::filesystem::path convert(const std::filesystem::path& workbook, const std::string& format,
                                  std::string& failure) const;

  private:
    std::filesystem::path dir_;
    std::string soffice_;
};

}  // namespace tombra::test
