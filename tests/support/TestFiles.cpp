#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <random>

#include "sheet/AtomicFile.h"
#include "sheet/ZipPackage.h"

namespace tombra::test {

TempDir::TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("tombra-test-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::filesystem::path testData(const std::string& name) {
    return std::filesystem::path(TOMBRA_TEST_DATA) / name;
}
std::filesystem::path testScript(const std::string& name) {
    return std::filesystem::path(TOMBRA_TEST_SCRIPTS) / name;
}

std::string quoted(const std::filesystem::path& path) {
    std::string out = "'";
    for (char c : path.string()) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string runCommand(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run: " << command;
        return output;
    }
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), n);
    int status = ::pclose(pipe);
    EXPECT_EQ(status, 0) << "command failed: " << command << "\n" << output;
    return output;
}

std::string runPython(const std::string& script, const std::string& arguments) {
    return runCommand(std::string(TOMBRA_PYTHON) + " " + quoted(testScript(script)) + " " +
                      arguments);
}

std::string readFile(const std::filesystem::path& path) { return sheet::readWholeFile(path); }

std::string packagePart(const std::filesystem::path& workbook, const std::string& part) {
    sheet::ZipPackage package(readFile(workbook));
    return package.read(part);
}

std::unique_ptr<sheet::Workbook> blankWorkbook() {
    return sheet::Workbook::fromBytes(readFile(testData("blank.xlsx")));
}

}  // namespace tombra::test
