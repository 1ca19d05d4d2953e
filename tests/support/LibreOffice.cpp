#include "support/LibreOffice.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>

#include "support/TestFiles.h"

namespace tombra::test {

namespace fs = std::filesystem;

std::string findProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t colon = dirs.find(':', start);
        fs::path candidate =
            fs::path(dirs.substr(start,
                                 colon == std::string::npos ? std::string::npos : colon - start)) /
            name;
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    return {};
}

Finished run(const std::string& command) {
    Finished r;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        r.output.append(buffer.data(), n);
    int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

int pdfPageCount(const fs::path& pdf) {
    const std::string pdfinfo = findProgram("pdfinfo");
    if (pdfinfo.empty()) return -1;
    const Finished info = run(test::quoted(pdfinfo) + " " + test::quoted(pdf));
    const size_t at = info.output.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.output.c_str() + at + 6);
}

LibreOfficeConverter::LibreOfficeConverter(fs::path workDir)
    : dir_(std::move(workDir)), soffice_(findProgram("soffice")) {
    fs::create_directories(dir_ / "home");
    fs::create_directories(dir_ / "out");
}

fs::path LibreOfficeConverter::convert(const fs::path& workbook, const std::string& format,
                                       std::string& failure) const {
    const std::string command =
        "cd " + test::quoted(dir_) + " && HOME=" + test::quoted(dir_ / "home") + " timeout 110 " +
        test::quoted(soffice_) + " " +
        test::quoted("-env:UserInstallation=file://" + (dir_ / "lo").string()) +
        " --headless --norestore --convert-to " + format + " --outdir " +
        test::quoted(dir_ / "out") + " " + test::quoted(workbook);
    const Finished converted = run(command);
    const fs::path result = dir_ / "out" / (workbook.stem().string() + "." + format);
    if (converted.status == 0 && fs::is_regular_file(result)) return result;
    failure = command + "\n" + converted.output;
    return {};
}

}  // namespace tombra::test
