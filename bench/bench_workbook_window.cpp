// The workbook window on the largest bracket: the time from showing the window to its first
// page on screen, and the peak memory of the process, over fresh processes (the first run of
// `bench_whole_road` leaves the workbook in its folder).
//
//   bench_workbook_window [workbook] [runs]
//   bench_workbook_window --once workbook   (one measurement, for the runs above)
//
// For comparison each run also measures, in a process of its own, what showing the window
// cost when it painted every page up front and kept them all.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "gui/SheetPagesView.h"
#include "gui/WorkbookWindow.h"
#include "render/SheetRenderer.h"
#include "sheet/Workbook.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

int measureOnce(int argc, char** argv, const fs::path& path, bool everyPage) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto workbook = tombra::sheet::Workbook::open(path);
    tombra::gui::WorkbookWindow window;
    window.setWorkbook(workbook.get());
    const auto start = std::chrono::steady_clock::now();
    window.show();
    tombra::gui::SheetPagesView* view = window.currentSheetView();
    if (!view) return 1;
    view->viewport()->repaint();  // the first page as the screen shows it
    std::vector<QImage> kept;
    if (everyPage) {
        const tombra::render::SheetRenderer renderer(workbook->sheet(view->sheetName()));
        for (int page = 0; page < view->pageCount(); ++page)
            kept.push_back(renderer.renderPage(page, tombra::gui::SheetPagesView::kDpi));
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.4f %ld %d\n", seconds, usage.ru_maxrss, view->pageCount());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]).rfind("--once", 0) == 0)
        return measureOnce(argc, argv, argv[2], std::string(argv[1]) == "--once-every-page");
    const fs::path path =
        argc > 1 ? fs::path(argv[1])
                 : fs::temp_directory_path() / "tombra-bench-whole-road" / "entries.xlsx";
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    if (!fs::exists(path)) {
        std::fprintf(stderr, "%s is missing: run bench_whole_road first\n", path.c_str());
        return 1;
    }
    struct Series {
        std::vector<double> times;
        long peak = 0;
    } inSight, every;
    int pages = 0;
    auto measure = [&](const char* mode, Series& series) {
        std::string self = fs::canonical("/proc/self/exe").string(), option = mode,
                    target = path.string();
        char* args[] = {self.data(), option.data(), target.data(), nullptr};
        int fds[2];
        if (pipe(fds) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        pid_t pid = 0;
        const bool spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, args, environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        char buffer[256] = {};
        const ssize_t n = spawned ? read(fds[0], buffer, sizeof buffer - 1) : 0;
        close(fds[0]);
        int status = 0;
        if (spawned) waitpid(pid, &status, 0);
        double seconds = 0;
        long kib = 0;
        if (n <= 0 || std::sscanf(buffer, "%lf %ld %d", &seconds, &kib, &pages) != 3) return false;
        series.times.push_back(seconds);
        series.peak = std::max(series.peak, kib);
        return true;
    };
    for (int i = 0; i < runs; ++i)
        if (!measure("--once", inSight) || !measure("--once-every-page", every)) return 1;
    auto median = [](std::vector<double> t) {
        std::sort(t.begin(), t.end());
        return t[t.size() / 2];
    };
    std::printf("workbook window, %d-page bracket, %d runs each, alternating:\n", pages, runs);
    std::printf("  pages in sight:    first page on screen median %.3f s, peak RSS %.1f MiB\n",
                median(inSight.times), inSight.peak / 1024.0);
    std::printf("  every page at once: all pages painted median %.3f s, peak RSS %.1f MiB\n",
                median(every.times), every.peak / 1024.0);
    return 0;
}
