// Workbook engine against python3-openpyxl on one bracket-like workload: 100,000 styled cells
// written into an organiser's workbook and saved, then the saved file read back cell by cell
// with values and formats.
//
//   bench_workbook [ROWS COLS] [--keep] [--reads N]
//
// Each phase runs in a process of its own (this program started again with --phase, or the
// openpyxl script), so each peak-memory figure covers that phase alone. The reads, a fraction
// of a second for the engine, are run N times (5 unless told), the engine's and openpyxl's in
// turn so that both meet the same load of the machine, and their medians compared. The script
// openpyxl_bench.py next to this file does the same calls in the same order; every reader
// prints a checksum of what it saw, and the checksums must agree across both programs and both
// files, or the comparison would not be of equal work.
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/CellAddress.h"
#include "sheet/CellFormat.h"
#include "sheet/Constants.h"
#include "sheet/Workbook.h"
#include "sheet/WorkbookError.h"
#include "sheet/Worksheet.h"

namespace fs = std::filesystem;
namespace sh = tombra::sheet;
namespace xl = tombra::sheet::xl;
using sh::Area;

namespace {

constexpr const char* kSheetName = "男子Ｓ";
constexpr const char* kFontName = "MS P明朝";
constexpr std::array<const char*, 20> kSurnames = {
    "山田", "佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "中村", "小林", "加藤",
    "吉田", "山本", "松本", "井上", "木村", "林",   "清水", "山崎", "森",   "池田"};
constexpr std::array<const char*, 20> kGiven = {
    "太郎", "次郎", "健太", "翔太", "大輔", "花子", "美咲", "陽菜",   "結衣", "優奈",
    "蓮",   "大翔", "悠真", "湊",   "葵",   "凛",   "芽依", "さくら", "颯太", "陸"};
constexpr std::array<double, 4> kWidths = {6.0, 4.5, 14.0, 12.0};  // by column % 4

struct Size {
    int rows = 1000;
    int cols = 100;
};

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t0) {
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

long peakKib() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;  // KiB on Linux
}

// Every 16th column from 3: six of a hundred, each merged in pairs of rows.
std::vector<int> mergeColumns(int cols) {
    std::vector<int> out;
    for (int c = 3; c < cols - 12; c += 16) out.push_back(c);
    return out;
}

// Column % 4: 1 entry number, 2 player name (mostly distinct), 3 school (60 repeating), 0 score.
bool isNumberCell(int c) { return c % 4 == 1 || c % 4 == 0; }

double cellNumber(int r, int c) {
    if (c % 4 == 1) return r * 1000.0 + c;
    return (r * c) % 97 + 0.5;
}

std::string cellText(int r, int c) {
    if (c % 4 == 2)
        return std::string(kSurnames[static_cast<size_t>((r + c) % 20)]) + "　" +
               kGiven[static_cast<size_t>((r * 3 + c) % 20)] + std::to_string((r * 100 + c) % 5000);
    return "第" + std::to_string((r * 7 + c) % 60 + 1) + "中学校";
}

sh::BorderChange line(int weight, int colorIndex) {
    sh::BorderChange b;
    b.lineStyle = xl::Continuous;
    b.weight = weight;
    b.colorIndex = colorIndex;
    return b;
}

// The write phase; the same calls, in the same order, as write() in openpyxl_bench.py.
double runWrite(const fs::path& start, const fs::path& out, Size n) {
    auto t0 = Clock::now();
    auto wb = sh::Workbook::open(start);
    sh::Worksheet& ws = wb->addSheet(kSheetName);

    for (int r = 1; r <= n.rows; ++r)
        for (int c = 1; c <= n.cols; ++c) {
            if (isNumberCell(c))
                ws.setNumber(r, c, cellNumber(r, c));
            else
                ws.setText(r, c, cellText(r, c));
        }

    // Whole-row fonts: one range per row.
    for (int r = 1; r <= n.rows; ++r) {
        sh::FontChange f;
        f.name = kFontName;
        f.size = r % 2 ? 11.0 : 10.5;
        ws.setFont(Area{r, 1, r, n.cols}, f);
    }
    // Player names: cell by cell.
    for (int c = 2; c <= n.cols; c += 4)
        for (int r = 1; r <= n.rows; ++r) {
            sh::FontChange f;
            f.bold = r % 3 == 0;
            f.colorIndex = r % 5 == 0 ? 3 : 1;
            ws.setFont(Area::cell(r, c), f);
        }
    // Bracket lines under every other column: cell by cell.
    for (int r = 1; r <= n.rows; ++r) {
        const bool heavy = r % 8 == 0;
        for (int c = 2; c <= n.cols; c += 2)
            ws.setBorder(Area::cell(r, c), xl::EdgeBottom,
                         line(heavy ? xl::Thick : xl::Thin, heavy ? 25 : 1));
    }
    // Bracket joints: the right edge of four-row ranges.
    for (int r0 = 1; r0 < n.rows - 2; r0 += 4) {
        const int weight = (r0 / 4) % 2 == 0 ? xl::Thick : xl::Thin;
        for (int c = 4; c <= n.cols; c += 4)
            ws.setBorder(Area{r0, c, r0 + 3, c}, xl::EdgeRight, line(weight, 1));
    }
    // Entry numbers: centred cell by cell.
    for (int r = 1; r <= n.rows; ++r)
        for (int c = 1; c <= n.cols; c += 4)
            ws.setAlignment(Area::cell(r, c),
                            sh::AlignmentChange{xl::HAlignCenter, xl::VAlignCenter, {}});
    // Names and schools: left-aligned in ten-row ranges.
    for (int r0 = 1; r0 < n.rows - 8; r0 += 10)
        for (int c = 1; c <= n.cols; ++c)
            if (c % 4 == 2 || c % 4 == 3)
                ws.setHorizontalAlignment(Area{r0, c, r0 + 9, c}, xl::HAlignLeft);

    const std::vector<int> mergeCols = mergeColumns(n.cols);
    for (int r0 = 1; r0 < n.rows; r0 += 2)
        for (int c : mergeCols) ws.merge(Area{r0, c, r0 + 1, c});
    for (int c = 1; c <= n.cols; ++c)
        ws.setColumnWidth(Area::columns(c, c), kWidths[static_cast<size_t>(c % 4)]);
    for (int r = 1; r <= n.rows; ++r) ws.setRowHeight(Area::rows(r, r), r % 2 ? 18.0 : 13.5);
    for (int r = 51; r <= n.rows; r += 50) ws.addPageBreakBefore(r);

    wb->saveAs(out);
    return secondsSince(t0);
}

// What a reader saw. Formats of cells hidden under a merge are left out: openpyxl replaces
// those cells with blank ones, the engine keeps them as they were.
struct Checksum {
    long long texts = 0, textBytes = 0;
    double numberSum = 0;
    long long bold = 0, sizeSum2 = 0, fontName = 0, red = 0;
    long long bottomThin = 0, bottomThick = 0, rightThin = 0, rightThick = 0, hCenter = 0,
              hLeft = 0;
    long long merges = 0, breaks = 0;

    std::string fields() const {
        char buf[512];
        std::snprintf(buf, sizeof buf,
                      "texts=%lld textBytes=%lld numberSum=%.1f bold=%lld sizeSum2=%lld "
                      "fontName=%lld red=%lld "
                      "bottomThin=%lld bottomThick=%lld rightThin=%lld rightThick=%lld "
                      "hCenter=%lld hLeft=%lld "
                      "merges=%lld breaks=%lld",
                      texts, textBytes, numberSum, bold, sizeSum2, fontName, red, bottomThin,
                      bottomThick, rightThin, rightThick, hCenter, hLeft, merges, breaks);
        return buf;
    }
};

double runRead(const fs::path& file, Size n, Checksum& sum) {
    auto t0 = Clock::now();
    auto wb = sh::Workbook::open(file);
    sh::Worksheet& ws = wb->sheet(kSheetName);
    std::vector<char> tail(static_cast<size_t>(n.rows + 1) * static_cast<size_t>(n.cols + 1), 0);
    for (const Area& m : ws.mergedAreas())
        for (int r = m.top; r <= std::min(m.bottom, n.rows); ++r)
            for (int c = m.left; c <= std::min(m.right, n.cols); ++c)
                if (r != m.top || c != m.left)
                    tail[static_cast<size_t>(r) * static_cast<size_t>(n.cols + 1) +
                         static_cast<size_t>(c)] = 1;
    for (int r = 1; r <= n.rows; ++r)
        for (int c = 1; c <= n.cols; ++c) {
            const sh::CellValue v = ws.value(r, c);
            const sh::CellFormat f = ws.format(r, c);
            if (v.isText()) {
                ++sum.texts;
                sum.textBytes += static_cast<long long>(v.asText().size());
            } else if (v.isNumber()) {
                sum.numberSum += v.asNumber();
            }
            if (tail[static_cast<size_t>(r) * static_cast<size_t>(n.cols + 1) +
                     static_cast<size_t>(c)])
                continue;
            sum.bold += f.font.bold;
            sum.sizeSum2 += std::llround(f.font.size * 2);
            sum.fontName += f.font.name == kFontName;
            sum.red += f.font.colorIndex == 3;
            const sh::BorderLine& bottom = f.edge(xl::EdgeBottom);
            const sh::BorderLine& right = f.edge(xl::EdgeRight);
            sum.bottomThin += bottom.lineStyle == xl::Continuous && bottom.weight == xl::Thin;
            sum.bottomThick += bottom.lineStyle == xl::Continuous && bottom.weight == xl::Thick;
            sum.rightThin += right.lineStyle == xl::Continuous && right.weight == xl::Thin;
            sum.rightThick += right.lineStyle == xl::Continuous && right.weight == xl::Thick;
            sum.hCenter += f.horizontal == xl::HAlignCenter;
            sum.hLeft += f.horizontal == xl::HAlignLeft;
        }
    double seconds = secondsSince(t0);
    sum.merges = static_cast<long long>(ws.mergedAreas().size());
    sum.breaks = static_cast<long long>(ws.pageBreakRows().size());
    return seconds;
}

// One phase in this process: prints "seconds=... peak_kib=... baseline_kib=..." (and the
// checksum for a read) for the parent to collect.
int runPhase(const std::vector<std::string>& args) {
    const long baseline = peakKib();
    try {
        const std::string& phase = args.at(0);
        if (phase == "write") {
            Size n{std::stoi(args.at(3)), std::stoi(args.at(4))};
            double s = runWrite(args.at(1), args.at(2), n);
            std::printf("seconds=%.6f peak_kib=%ld baseline_kib=%ld\n", s, peakKib(), baseline);
            return 0;
        }
        if (phase == "read") {
            Size n{std::stoi(args.at(2)), std::stoi(args.at(3))};
            Checksum sum;
            double s = runRead(args.at(1), n, sum);
            std::printf("seconds=%.6f peak_kib=%ld baseline_kib=%ld %s\n", s, peakKib(), baseline,
                        sum.fields().c_str());
            return 0;
        }
        std::fprintf(stderr, "unknown phase %s\n", phase.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench phase failed: %s\n", e.what());
    }
    return 1;
}

std::string quoted(const std::string& s) {
    std::string out = "'";
    for (char ch : s) out += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return out + "'";
}

using Fields = std::map<std::string, std::string>;

// Runs one phase as its own process and collects the key=value line it prints.
Fields runChild(const std::vector<std::string>& argv) {
    std::string command;
    for (const std::string& a : argv) command += quoted(a) + " ";
    std::fflush(stdout);
    FILE* p = popen(command.c_str(), "r");
    if (!p) throw std::runtime_error("cannot start: " + command);
    std::string output;
    char buf[4096];
    while (size_t got = std::fread(buf, 1, sizeof buf, p)) output.append(buf, got);
    int status = pclose(p);
    if (status != 0)
        throw std::runtime_error("failed (status " + std::to_string(status) + "): " + command);
    Fields fields;
    std::istringstream words(output);
    std::string word;
    while (words >> word)
        if (size_t eq = word.find('='); eq != std::string::npos)
            fields[word.substr(0, eq)] = word.substr(eq + 1);
    if (!fields.count("seconds"))
        throw std::runtime_error("no figures from: " + command + "\n" + output);
    return fields;
}

double number(const Fields& f, const char* key) { return std::stod(f.at(key)); }

// The run of median time; the peak is the largest of all runs.
Fields median(std::vector<Fields> runs) {
    long peak = 0;
    for (const Fields& f : runs) peak = std::max(peak, std::stol(f.at("peak_kib")));
    std::sort(runs.begin(), runs.end(), [](const Fields& a, const Fields& b) {
        return number(a, "seconds") < number(b, "seconds");
    });
    Fields m = runs[runs.size() / 2];
    m["peak_kib"] = std::to_string(peak);
    return m;
}

std::string secondsOf(const std::vector<Fields>& runs) {
    std::string out;
    for (const Fields& f : runs) {
        char buf[32];
        std::snprintf(buf, sizeof buf, " %.3f", number(f, "seconds"));
        out += buf;
    }
    return out;
}

double mib(const Fields& f, const char* key) { return number(f, key) / 1024.0; }

std::string checksumOf(const Fields& f) {
    std::string out;
    for (const auto& [k, v] : f)
        if (k != "seconds" && k != "peak_kib" && k != "baseline_kib") out += k + "=" + v + " ";
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "--phase") return runPhase({args.begin() + 1, args.end()});

    Size n;
    bool keep = false;
    int reads = 5;
    std::vector<std::string> numbers;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--keep")
            keep = true;
        else if (args[i] == "--reads" && i + 1 < args.size())
            reads = std::atoi(args[++i].c_str());
        else
            numbers.push_back(args[i]);
    }
    if (numbers.size() == 2) n = Size{std::atoi(numbers[0].c_str()), std::atoi(numbers[1].c_str())};
    if ((numbers.size() != 0 && numbers.size() != 2) || n.rows < 10 || n.cols < 16 || reads < 1) {
        std::fprintf(stderr,
                     "usage: bench_workbook [ROWS COLS] [--keep] [--reads N]   (at least 10 rows, "
                     "16 columns)\n");
        return 2;
    }

    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string python = TOMBRA_PYTHON;
    const std::string script = (fs::path(TOMBRA_BENCH_DIR) / "openpyxl_bench.py").string();
    std::string dirTemplate = (fs::temp_directory_path() / "tombra-bench-XXXXXX").string();
    if (!mkdtemp(dirTemplate.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path dir = dirTemplate;
    const std::string start = (dir / "start.xlsx").string();
    const std::string engineFile = (dir / "engine.xlsx").string();
    const std::string pyFile = (dir / "openpyxl.xlsx").string();
    const std::string rows = std::to_string(n.rows), cols = std::to_string(n.cols);

    int rc = 0;
    try {
        std::printf("workload: sheet %s, %d rows x %d columns = %lld cells, files in %s\n",
                    kSheetName, n.rows, n.cols, static_cast<long long>(n.rows) * n.cols,
                    dir.c_str());
        if (std::system(
                (quoted(python) + " " + quoted(script) + " start " + quoted(start)).c_str()) != 0)
            throw std::runtime_error(
                "the starting workbook could not be made (python3-openpyxl installed?)");

        std::printf("engine  write...\n");
        Fields ew = runChild({self, "--phase", "write", start, engineFile, rows, cols});
        std::printf("openpyxl write...\n");
        Fields pw = runChild({python, script, "write", start, pyFile, rows, cols});
        std::vector<Fields> engineReads, openpyxlReads;
        for (int i = 1; i <= reads; ++i) {
            std::printf("reads %d of %d...\n", i, reads);
            engineReads.push_back(runChild({self, "--phase", "read", engineFile, rows, cols}));
            openpyxlReads.push_back(runChild({python, script, "read", pyFile, rows, cols}));
        }
        Fields er = median(engineReads), pr = median(openpyxlReads);
        // Not timed for the table: each program reads the other's file, so that equal
        // checksums show both files hold the same workbook.
        std::printf("cross-checking files...\n");
        Fields erPy = runChild({self, "--phase", "read", pyFile, rows, cols});
        Fields prEngine = runChild({python, script, "read", engineFile, rows, cols});

        std::printf("\n%-7s %12s %13s %16s %17s %19s\n", "phase", "engine [s]", "openpyxl [s]",
                    "openpyxl/engine", "engine peak [MiB]", "openpyxl peak [MiB]");
        auto row = [](const char* phase, const Fields& e, const Fields& p) {
            double es = number(e, "seconds"), ps = number(p, "seconds");
            std::printf("%-7s %12.3f %13.3f %15.1fx %17.1f %19.1f\n", phase, es, ps, ps / es,
                        mib(e, "peak_kib"), mib(p, "peak_kib"));
        };
        row("write", ew, pw);
        row("read", er, pr);
        std::printf("\nread = median of %d runs each [s]: engine%s; openpyxl%s\n", reads,
                    secondsOf(engineReads).c_str(), secondsOf(openpyxlReads).c_str());
        std::printf(
            "\npeak = ru_maxrss of the process that ran only that phase, at its end; it includes "
            "the\n"
            "start-up image (engine %.1f MiB, python3 with openpyxl imported %.1f MiB).\n",
            mib(ew, "baseline_kib"), mib(pw, "baseline_kib"));
        std::printf(
            "write = open the starting workbook, add the sheet, values, formats, merges, widths, "
            "heights,\n"
            "        page breaks, save. read = open the saved file, value and format of every "
            "cell.\n");
        std::printf("file sizes: engine %.1f KiB, openpyxl %.1f KiB\n",
                    fs::file_size(engineFile) / 1024.0, fs::file_size(pyFile) / 1024.0);

        const std::string reference = checksumOf(er);
        const std::vector<std::pair<const char*, const Fields*>> others = {
            {"openpyxl reading its own file", &pr},
            {"engine reading openpyxl's file", &erPy},
            {"openpyxl reading the engine's file", &prEngine}};
        bool same = true;
        for (const auto& [who, f] : others)
            if (checksumOf(*f) != reference) {
                same = false;
                std::printf("CHECKSUM MISMATCH, %s:\n  %s\n", who, checksumOf(*f).c_str());
            }
        std::printf("checksum (engine reading its own file): %s\n%s\n", reference.c_str(),
                    same ? "all four readings agree"
                         : "readings differ: the comparison is not of equal work");
        if (!same) rc = 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_workbook: %s\n", e.what());
        rc = 1;
    }
    if (keep)
        std::printf("files kept in %s\n", dir.c_str());
    else
        fs::remove_all(dir);
    return rc;
}
