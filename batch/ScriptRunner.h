#pragma once

#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "batch/BatchShell.h"
#include "batch/Transcript.h"
#include "session/Session.h"

namespace tombra::batch {

// Exit statuses: the script ran to its end (whatever the program told the user), the script
// is wrong, or the program itself failed.
inline constexpr int kExitDone = 0;
inline constexpr int kExitProgramFault = 1;
inline constexpr int kExitScriptError = 2;

struct RunOptions {
    std::optional<std::uint32_t> seed;  // wins over the script's own
    std::optional<std::filesystem::path> pdfDir;
    std::filesystem::path scriptFolder = ".";
    std::filesystem::path programFolder = ".";
    std::optional<std::size_t> undoSteps;  // the history's step limit, when not the default
};

// One scripted run of the program: a session with the batch shell, the steps run through
// the same command map as the window's menus, the transcript on `out` and script errors on
// `err`.
class ScriptRunner {
  public:
    ScriptRunner(RunOptions options, std::ostream& out, std::ostream& err);
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Checks the whole script before anything runs, then runs it; the exit status.
    int run(const nlohmann::ordered_json& script);
    Session& session() { return session_; }

  private:
    int scriptError(const std::string& message);
    void writeClosingLines();

    RunOptions options_;
    std::ostream& err_;
    Transcript transcript_;
    BatchShell shell_;
    Session session_;
};

// The captions of the checked menu items, in menu order.
std::vector<std::string> checkedCaptions(const ui::CommandMarks& marks);

// `tombra-batch SCRIPT.json [--seed N] [--pdf-dir DIR] [--undo-steps N]` or `tombra-batch --forms`
// (the dialogs and their control names, for script writers), arguments without the program name.
int runCommandLine(const std::vector<std::string>& arguments,
                   const std::filesystem::path& programFolder, std::ostream& out,
                   std::ostream& err);

}  // namespace tombra::batch
