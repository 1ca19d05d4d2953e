// The whole road of the largest event, as an official walks it: open 1,024 entries, draw them
// into 128 tables, build the 32-page bracket sheet with lines and match numbers, save. Each
// run is a fresh tombra-batch process on a fresh copy of the workbook; the report gives the
// median wall time and the peak memory of the runs.
//
//   bench_whole_road [runs]

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using tombra::sheet::Workbook;
using tombra::sheet::Worksheet;

constexpr int kEntries = 1024;
constexpr int kPerSchool = 10;
constexpr int kSeeds = 32;

void writeEntries(const fs::path& path) {
    auto wb = Workbook::open(fs::path(TOMBRA_SOURCE_DIR) / "tools" / "sample-template.xlsx");
    Worksheet& men = *wb->findSheet("男子");
    Worksheet& tally = wb->addSheet("集計");
    wb->addSheet("基礎Ｄ");
    wb->addSheet("男子Ｓ");
    for (int i = 0; i < kEntries; ++i) {
        const int row = i + 1, school = i / kPerSchool + 1, entry = i % kPerSchool + 1;
        men.setNumber(row, 1, school);
        men.setText(row, 2, "第" + std::to_string(school) + "高校");
        men.setText(row, 3, "選手" + std::to_string(school) + "　" + std::to_string(entry) + "郎");
        men.setNumber(row, 9, entry);
        // Seeds spread over schools: the first player of every third school.
        if (entry == 1 && school % 3 == 1 && school / 3 < kSeeds)
            men.setNumber(row, 10, school / 3 + 1);
        if (entry == 1) tally.setNumber(school + 3, 1, school);
    }
    wb->saveAs(path);
}

void writeScript(const fs::path& path) {
    std::ofstream(path) << R"js({"seed": 1, "steps": [
  {"command": "mnuFileOpen", "forms": {"Form1": {"Option1": true, "Option4": true, "Option12": true}},
   "files": ["entries.xlsx"]},
  {"command": "投入", "forms": {"Form3": {"Option5": true}}},
  {"command": "ヤグラ作成", "forms": {"Form4": {"opt(5)": true}, "Form12": {"Option1": true}}},
  {"command": "mnuFileSave"}]})js";
}

struct Run {
    double seconds = 0;
    long peakKiB = 0;
    int status = -1;
};

Run runBatch(const fs::path& script, const fs::path& transcript) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, transcript.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string exe = TOMBRA_BATCH_EXE, arg = script.string();
    char* argv[] = {exe.data(), arg.data(), nullptr};
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, environ) != 0) return run;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKiB = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const fs::path dir = fs::temp_directory_path() / "tombra-bench-whole-road";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path original = dir / "original.xlsx", workbook = dir / "entries.xlsx";
    writeEntries(original);
    writeScript(dir / "road.json");

    std::vector<Run> results;
    for (int i = 0; i < runs; ++i) {
        fs::copy_file(original, workbook, fs::copy_options::overwrite_existing);
        Run run = runBatch(dir / "road.json", dir / "transcript.jsonl");
        if (run.status != 0) {
            std::fprintf(stderr, "tombra-batch failed (status %d); see %s\n", run.status,
                         (dir / "transcript.jsonl").c_str());
            return 1;
        }
        results.push_back(run);
    }
    // The run must really have drawn and built: the sheet holds the 1,024 names.
    auto built = Workbook::open(workbook);
    int names = 0;
    built->sheet("男子Ｓ").forEachCell([&](int, int, const tombra::sheet::CellValue& v) {
        if (v.isText() && v.asText().rfind("選手", 0) == 0) ++names;
    });
    std::vector<double> times;
    long peak = 0;
    for (const Run& r : results) times.push_back(r.seconds), peak = std::max(peak, r.peakKiB);
    std::sort(times.begin(), times.end());
    std::printf(
        "whole road, %d entries, 128 tables, 32 pages (open, draw, build with lines and numbers, "
        "save)\n",
        kEntries);
    std::printf(
        "runs %d: median %.3f s, min %.3f s, max %.3f s; peak RSS %.1f MiB; names on the sheet "
        "%d\n",
        runs, times[times.size() / 2], times.front(), times.back(), peak / 1024.0, names);
    return names == kEntries ? 0 : 1;
}
