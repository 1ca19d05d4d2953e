#include <exception>
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
    // Whatever escapes the runner is a fault of the program, said as such, never an abort.
    try {
        std::vector<std::string> arguments(argv + 1, argv + argc);
        return tombra::batch::runCommandLine(arguments, programFolder(argv[0]), std::cout,
                                             std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "プログラムの誤り: " << e.what() << std::endl;
        return tombra::batch::kExitProgramFault;
    }
}
