#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "batch/ScriptRunner.h"

namespace {

// The session's program folder is where the executable lies (the help file is named after
// it), wherever it was started from.
std::filesystem::path programFolder(const char* argv0) {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv0, ec);
    return self.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return tombra::batch::runCommandLine(arguments, programFolder(argv[0]), std::cout, std::cerr);
}
