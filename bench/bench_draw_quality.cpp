// Quality of the whole draw over random but realistic events: the placement, then
// "調整Ⅰ", "均等振分", "ナンバー振分" and "パッキン調整" as the office runs them, each event
// with the table count the table dialog proposes.
//
//   bench_draw_quality [EVENTS] [SEED]
//
// BENCH_VERBOSE=1 names the separable events left with a clash; BENCH_DUMP=1 prints the
// grid of every event left with a school three or more apart between sibling sections.
//
// Per size band it prints how many events could have every school kept apart in its
// tables (checked exactly, as a flow of each school's entries into the tables), the share
// of those still holding a clash, the largest difference of a school's entries between
// two sibling sections of the bracket, and the time taken.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <queue>
#include <random>
#include <string>
#include <vector>

#include "adjust/AffiliationAdjustment.h"
#include "adjust/EvenDistribution.h"
#include "adjust/NumberDistribution.h"
#include "adjust/PackingAdjustment.h"
#include "draw/PlacementCommand.h"
#include "draw/TableDialogs.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "state/EntryCode.h"
#include "ui/Form.h"
#include "ui/Shell.h"

namespace {

using namespace tombra;
using Clock = std::chrono::steady_clock;

// Answers every message with OK and every dialog with its OK button, as it opens.
class QuietShell : public ui::Shell {
  public:
    int messages = 0;
    ui::Answer message(const std::string&, ui::Buttons b) override {
        ++messages;
        return b == ui::Buttons::YesNo ? ui::Answer::Yes : ui::Answer::Ok;
    }
    std::string showForm(ui::Form& form) override {
        form.aboutToShow();
        form.press(form.declaration().okButton);
        return form.pressedButton();
    }
    std::string openFileName(const ui::FileDialogRequest&) override { return {}; }
    std::string saveFileName(const ui::FileDialogRequest&) override { return {}; }
    bool pageSetup(const std::string&) override { return false; }
    void printSheet(sheet::Workbook&, sheet::Worksheet&, const ui::PrintJob&) override {}
    void previewSheet(sheet::Workbook&, sheet::Worksheet&) override {}
    void showWorkbook(sheet::Workbook*, bool) override {}
    void openHelp(const std::string&, bool) override {}
    void endProgram() override {}
    void closeMainWindow() override {}
    void progressChanged(const ui::ProgressDialog&) override {}
    void logChanged(const ui::LogPane&) override {}
    void marksChanged(const ui::CommandMarks&) override {}
};

// Schools as entry sheets come: most with a few players, some large clubs of up to 40.
std::vector<int> schoolSizes(std::mt19937& gen, int entries) {
    std::vector<int> sizes;
    int n = 0;
    while (n < entries && sizes.size() < 200) {
        const double u = std::uniform_real_distribution<double>(0, 1)(gen);
        // Roughly: half the schools send 1 to 3, a third 4 to 12, the rest 13 to 40.
        int k = u < 0.5    ? 1 + int(u * 6)
                : u < 0.83 ? 4 + int((u - 0.5) / 0.33 * 9)
                           : 13 + int((u - 0.83) / 0.17 * 28);
        k = std::min({k, 40, entries - n});
        sizes.push_back(k);
        n += k;
    }
    return sizes;
}

// Whether every school's entries that are not seeds can go one to a table, with the seeds
// where they are: a flow from schools to tables, each table taking as many as it has free
// positions and each school at most one a table (none where its seed is).
bool separable(const TournamentState& s) {
    const int tables = s.TableCount;
    std::vector<int> schools;
    std::map<int, int> needs;
    std::vector<std::vector<bool>> seeded(201, std::vector<bool>(tables + 1, false));
    std::vector<int> free(tables + 1, 0);
    for (int t = 1; t <= tables; ++t) free[t] = s.TableSize(t);
    for (int j = 1; j <= s.SeedCount; ++j) {
        if (s.PositionEntry(j) == 0) continue;
        const DecodedEntry e = decodeEntry(s.PositionEntry(j));
        for (int t = 1; t <= tables; ++t)
            for (int k = 1; k <= s.TableSize(t); ++k)
                if (s.TableSlot(t, k) == s.PositionEntry(j)) {
                    if (seeded[e.school][t]) return false;  // two seeds of a school in a table
                    seeded[e.school][t] = true;
                    --free[t];
                }
    }
    int total = 0;
    for (int school = 1; school <= 200; ++school) {
        const int n = s.SchoolEntryCount(school) - s.SchoolSeedCount(school);
        if (n > 0) schools.push_back(school), needs[school] = n, total += n;
    }
    // Nodes: source 0, schools 1..S, tables S+1..S+T, sink S+T+1.
    const int S = static_cast<int>(schools.size()), sink = S + tables + 1;
    struct Edge {
        int to, cap, rev;
    };
    std::vector<std::vector<Edge>> g(sink + 1);
    auto add = [&g](int a, int b, int c) {
        g[a].push_back({b, c, int(g[b].size())});
        g[b].push_back({a, 0, int(g[a].size()) - 1});
    };
    for (int i = 0; i < S; ++i) {
        add(0, i + 1, needs[schools[i]]);
        for (int t = 1; t <= tables; ++t)
            if (!seeded[schools[i]][t] && s.TableSize(t) > 0) add(i + 1, S + t, 1);
    }
    for (int t = 1; t <= tables; ++t) add(S + t, sink, std::max(0, free[t]));
    int flow = 0;
    for (;;) {  // Dinic
        std::vector<int> level(sink + 1, -1);
        std::queue<int> q;
        level[0] = 0;
        q.push(0);
        while (!q.empty()) {
            const int v = q.front();
            q.pop();
            for (const Edge& e : g[v])
                if (e.cap > 0 && level[e.to] < 0) level[e.to] = level[v] + 1, q.push(e.to);
        }
        if (level[sink] < 0) break;
        std::vector<std::size_t> it(sink + 1, 0);
        auto push = [&](auto&& self, int v, int f) -> int {
            if (v == sink) return f;
            for (std::size_t& i = it[v]; i < g[v].size(); ++i) {
                Edge& e = g[v][i];
                if (e.cap <= 0 || level[e.to] != level[v] + 1) continue;
                if (const int d = self(self, e.to, std::min(f, e.cap)); d > 0) {
                    e.cap -= d;
                    g[e.to][e.rev].cap += d;
                    return d;
                }
            }
            return 0;
        };
        while (const int f = push(push, 0, 1 << 30)) flow += f;
    }
    return flow == total;
}

bool anyClash(const TournamentState& s) {
    for (int t = 1; t <= s.TableCount; ++t) {
        std::vector<bool> seen(201, false);
        for (int k = 1; k <= s.TableSize(t); ++k) {
            if (s.TableSlot(t, k) < 1) continue;
            const int school = decodeEntry(s.TableSlot(t, k)).school;
            if (seen[school]) return true;
            seen[school] = true;
        }
    }
    return false;
}

int largestImbalance(const TournamentState& s) {
    int largest = 0;
    for (int len = s.TableCount / 2; len >= 1; len /= 2) {
        for (int first = 1; first + 2 * len - 1 <= s.TableCount; first += 2 * len) {
            std::vector<int> diff(201, 0);
            for (int t = first; t < first + 2 * len; ++t)
                for (int k = 1; k <= s.TableSize(t); ++k)
                    if (s.TableSlot(t, k) >= 1)
                        diff[decodeEntry(s.TableSlot(t, k)).school] += t < first + len ? 1 : -1;
            for (int d : diff) largest = std::max(largest, std::abs(d));
        }
    }
    return largest;
}

struct Band {
    const char* name;
    int low, high;
    int events = 0, separable = 0, clashLeft = 0, impossibleClash = 0, balanced = 0;
    int worstImbalance = 0;
    double commandMs[5] = {0, 0, 0, 0, 0};
    double worstMs = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const int events = argc > 1 ? std::atoi(argv[1]) : 300;
    const unsigned seed = argc > 2 ? unsigned(std::atoi(argv[2])) : 2026u;
    const bool verbose = std::getenv("BENCH_VERBOSE") != nullptr;
    std::mt19937 gen(seed);
    std::vector<Band> bands = {
        {"16-63", 16, 63}, {"64-255", 64, 255}, {"256-511", 256, 511}, {"512-1024", 512, 1024}};
    const char* commands[5] = {"投入", "調整Ⅰ", "均等振分", "ナンバー振分", "パッキン調整"};

    for (int round = 1; round <= events; ++round) {
        // Sizes spread evenly on a log scale from 16 to 1,024.
        const double x = std::uniform_real_distribution<double>(4.0, 10.0)(gen);
        const int entries = std::clamp(int(std::pow(2.0, x)), 16, 1024);
        QuietShell shell;
        Session session(shell, ".");
        session.random.setFixedSeed(seed * 1000 + unsigned(round));
        TournamentState& s = session.state;
        s.setOpenConstants();
        const std::vector<int> sizes = schoolSizes(gen, entries);
        // Schools numbered at random over 1..200, as associations number them.
        std::vector<int> numbers(200);
        for (int i = 0; i < 200; ++i) numbers[i] = i + 1;
        std::shuffle(numbers.begin(), numbers.end(), gen);
        std::vector<std::pair<int, int>> all;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            const int school = numbers[i];
            for (int k = 1; k <= sizes[i]; ++k) {
                s.EntryName(school, k) = "選手" + std::to_string(school) + "-" + std::to_string(k);
                s.EntryAffiliation(school, k) = "学校" + std::to_string(school);
                s.EntryPresence(school, k) = 1;
                all.emplace_back(school, k);
            }
            s.SchoolEntryCount(school) = Integer(sizes[i]);
            s.MaxSchoolEntries = std::max<Integer>(s.MaxSchoolEntries, Integer(sizes[i]));
            ++s.SchoolCount;
        }
        s.EntryCount = Integer(all.size());
        // Seeds: entry 1 of the largest schools first, as the office picks them, up to 16.
        std::vector<std::size_t> order(sizes.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&](auto a, auto b) { return sizes[a] > sizes[b]; });
        const int seeds =
            std::min<int>({16, int(order.size()), s.EntryCount / 4, draw::proposedTableCount(s)});
        for (int j = 1; j <= seeds; ++j) {
            const int school = numbers[order[std::size_t(j - 1)]];
            s.PositionEntry(j) = encodeEntry(school, 1);
            ++s.SchoolSeedCount(school);
            s.SeedCount = Integer(j);
        }

        double ms[5];
        const auto t0 = Clock::now();
        auto lap = [](Clock::time_point& t) {
            const auto now = Clock::now();
            const double d = std::chrono::duration<double, std::milli>(now - t).count();
            t = now;
            return d;
        };
        auto t = t0;
        draw::placeEntries(session);
        ms[0] = lap(t);
        if (!session.marks.checked(ids::kPlace)) {
            std::fprintf(stderr, "event %d (%d entries) was not drawn\n", round, entries);
            continue;
        }
        const bool canSeparate = separable(s);
        t = Clock::now();
        adjust::adjustAffiliations(session);
        ms[1] = lap(t);
        adjust::distributeEvenly(session);
        ms[2] = lap(t);
        adjust::distributeNumbers(session);
        ms[3] = lap(t);
        adjust::adjustPacking(session);
        ms[4] = lap(t);

        for (Band& b : bands) {
            if (entries < b.low || entries > b.high) continue;
            ++b.events;
            const bool clash = anyClash(s);
            if (canSeparate) {
                ++b.separable;
                b.clashLeft += clash;
                if (clash && verbose)
                    std::fprintf(stderr,
                                 "event %d: %d entries, %d tables, largest school %d, %d seeds: "
                                 "clash left\n",
                                 round, entries, s.TableCount, s.MaxSchoolEntries, s.SeedCount);
            } else {
                b.impossibleClash += clash;
            }
            const int imbalance = largestImbalance(s);
            if (imbalance >= 3 && std::getenv("BENCH_DUMP")) {
                std::fprintf(stderr, "event %d: imbalance %d, %d messages\n", round, imbalance,
                             shell.messages);
                for (int tt = 1; tt <= s.TableCount; ++tt) {
                    std::fprintf(stderr, "  %2d:", tt);
                    for (int k = 1; k <= s.TableSize(tt); ++k)
                        std::fprintf(stderr, " %6.2f", s.TableSlot(tt, k));
                    std::fprintf(stderr, "\n");
                }
            }
            b.worstImbalance = std::max(b.worstImbalance, imbalance);
            b.balanced += imbalance <= 1;
            double total = 0;
            for (int i = 0; i < 5; ++i) b.commandMs[i] += ms[i], total += ms[i];
            b.worstMs = std::max(b.worstMs, total);
        }
    }

    std::printf("%d events, seed %u\n\n", events, seed);
    std::printf("%-9s %6s %9s %12s %10s %14s %10s %9s\n", "entries", "events", "separable",
                "clash left", "largest", "all levels", "mean ms", "max ms");
    std::printf("%-9s %6s %9s %12s %10s %14s %10s %9s\n", "", "", "", "(separable)", "imbalance",
                "within one", "", "");
    Band all{"all", 0, 0};
    for (const Band& b : bands) {
        double total = 0;
        for (double m : b.commandMs) total += m;
        std::printf("%-9s %6d %9d %7d %4.1f%% %10d %8d %4.0f%% %10.1f %9.1f\n", b.name, b.events,
                    b.separable, b.clashLeft, b.separable ? 100.0 * b.clashLeft / b.separable : 0.0,
                    b.worstImbalance, b.balanced, b.events ? 100.0 * b.balanced / b.events : 0.0,
                    b.events ? total / b.events : 0.0, b.worstMs);
        all.events += b.events, all.separable += b.separable, all.clashLeft += b.clashLeft;
        all.balanced += b.balanced,
            all.worstImbalance = std::max(all.worstImbalance, b.worstImbalance);
        all.worstMs = std::max(all.worstMs, b.worstMs);
        for (int i = 0; i < 5; ++i) all.commandMs[i] += b.commandMs[i];
    }
    double total = 0;
    for (double m : all.commandMs) total += m;
    std::printf("%-9s %6d %9d %7d %4.1f%% %10d %8d %4.0f%% %10.1f %9.1f\n", "all", all.events,
                all.separable, all.clashLeft,
                all.separable ? 100.0 * all.clashLeft / all.separable : 0.0, all.worstImbalance,
                all.balanced, all.events ? 100.0 * all.balanced / all.events : 0.0,
                all.events ? total / all.events : 0.0, all.worstMs);

    std::printf("\nmean ms per command\n%-9s", "entries");
    for (const char* c : commands) std::printf(" %12s", c);
    std::printf("\n");
    for (const Band& b : bands) {
        std::printf("%-9s", b.name);
        for (double m : b.commandMs) std::printf(" %12.2f", b.events ? m / b.events : 0.0);
        std::printf("\n");
    }
    return 0;
}
