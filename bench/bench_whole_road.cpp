// The whole road of the largest event, as an official walks it: open 1,024 entries, draw them
// into 128 tables, build the 32-page bracket sheet with lines and match numbers, save. Each
// run is a fresh tombra-batch process on a fresh copy of the workbook; the report gives the
// median wall time and the peak memory of the runs.
//
// Each road runs with the undo history and without it (--undo-steps 0), turn about: the
// short road above, and a long one that adjusts the draw four times before building, saves,
// then takes every command back to File > Open. Last, what one step costs, in this process:
// copying the state and serialising the built workbook.
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
#include "state/TournamentState.h"

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

constexpr const char* kOpenAndPlace = R"js(
  {"command": "mnuFileOpen", "forms": {"Form1": {"Option1": true, "Option4": true, "Option12": true}},
   "files": ["entries.xlsx"]},
  {"command": "投入", "forms": {"Form3": {"Option5": true}}},)js";
constexpr const char* kBuildAndSave = R"js(
  {"command": "ヤグラ作成", "forms": {"Form4": {"opt(5)": true}, "Form12": {"Option1": true}}},
  {"command": "mnuFileSave"})js";

void writeScripts(const fs::path& dir) {
    std::ofstream(dir / "road.json")
        << R"js({"seed": 1, "steps": [)js" << kOpenAndPlace << kBuildAndSave << "]}";
    std::ofstream(dir / "long.json") << R"js({"seed": 1, "steps": [)js" << kOpenAndPlace << R"js(
  {"command": "調整Ⅰ"}, {"command": "均等振分(&R)"}, {"command": "ナンバー振分(&N)"},
  {"command": "パッキン"},)js" << kBuildAndSave
                                     << R"js(,
  {"command": "mnuEditUndo"}, {"command": "mnuEditUndo"}, {"command": "mnuEditUndo"},
  {"command": "mnuEditUndo"}, {"command": "mnuEditUndo"}, {"command": "mnuEditUndo"}]})js";
}

struct Run {
    double seconds = 0;
    long peakKiB = 0;
    int status = -1;
};

Run runBatch(const fs::path& script, const fs::path& transcript, bool history) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, transcript.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string exe = TOMBRA_BATCH_EXE, arg = script.string(), option = "--undo-steps=0";
    char* argv[] = {exe.data(), arg.data(), history ? nullptr : option.data(), nullptr};
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

template <class T>
T median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The median milliseconds of `work` over a few rounds.
template <class Work>
double millisecondsOf(Work&& work) {
    std::vector<double> ms;
    for (int i = 0; i < 9; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    return median(ms);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const fs::path dir = fs::temp_directory_path() / "tombra-bench-whole-road";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path original = dir / "original.xlsx", workbook = dir / "entries.xlsx";
    writeEntries(original);
    writeScripts(dir);

    struct Variant {
        const char* road;
        const char* script;
        bool history;
        std::vector<Run> runs;
    };
    std::vector<Variant> variants = {{"short", "road.json", false, {}},
                                     {"short", "road.json", true, {}},
                                     {"long", "long.json", false, {}},
                                     {"long", "long.json", true, {}}};
    int names = 0;
    for (int i = 0; i < runs; ++i) {
        for (Variant& v : variants) {
            fs::copy_file(original, workbook, fs::copy_options::overwrite_existing);
            Run run = runBatch(dir / v.script, dir / "transcript.jsonl", v.history);
            if (run.status != 0) {
                std::fprintf(stderr, "tombra-batch failed (status %d); see %s\n", run.status,
                             (dir / "transcript.jsonl").c_str());
                return 1;
            }
            v.runs.push_back(run);
        }
        if (i == 0) {
            // The runs must really have drawn and built: the sheet holds the 1,024 names.
            auto built = Workbook::open(workbook);
            built->sheet("男子Ｓ").forEachCell([&](int, int, const tombra::sheet::CellValue& v) {
                if (v.isText() && v.asText().rfind("選手", 0) == 0) ++names;
            });
        }
    }
    std::printf(
        "whole road, %d entries, 128 tables, 32 pages (open, draw, build with lines and numbers, "
        "save); names on the sheet %d\n"
        "long road: the same with four adjustments before building, then every command taken "
        "back\n"
        "runs %d each, turn about        median time   median peak RSS   max peak RSS\n",
        kEntries, names, runs);
    for (const Variant& v : variants) {
        std::vector<double> times;
        std::vector<long> peaks;
        for (const Run& r : v.runs) times.push_back(r.seconds), peaks.push_back(r.peakKiB);
        std::printf("  %-5s road, %-16s %8.3f s %13.1f MiB %12.1f MiB\n", v.road,
                    v.history ? "undo history" : "no history", median(times),
                    median(peaks) / 1024.0, *std::max_element(peaks.begin(), peaks.end()) / 1024.0);
    }

    // One step: the state copied, the workbook serialised as it is after a command wrote.
    auto built = Workbook::open(workbook);
    tombra::TournamentState state;
    for (int i = 0; i < kEntries; ++i) {
        state.EntryName(i / kPerSchool + 1, i % kPerSchool + 1) = "選手" + std::to_string(i);
        state.EntryAffiliation(i / kPerSchool + 1, i % kPerSchool + 1) =
            "第" + std::to_string(i) + "高校";
    }
    size_t imageBytes = 0;
    const double stateMs = millisecondsOf([&] { tombra::TournamentState copy = state; });
    const double imageMs = millisecondsOf([&] {
        built->sheet("男子Ｓ").setText(1, 1, "x");
        imageBytes = built->image().bytes->size();
    });
    std::printf(
        "one step: state copied in %.1f ms, built workbook serialised in %.1f ms (%zu kB)\n",
        stateMs, imageMs, imageBytes / 1024);
    return names == kEntries ? 0 : 1;
}
