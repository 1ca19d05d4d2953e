// Quality of the whole draw over random but realistic events: the placement, then
// "調整Ⅰ", "均等振分", "ナンバー振分" and "パッキン調整" as the office runs them, each event
// with the table count the table dialog proposes. One event in four has a dominant school
// with more entries than there are tables, one in eight several large schools, one in eight
// blocks (there the best is sought among each block's positions, as the log's report does).
//
//   bench_draw_quality [EVENTS] [SEED]
//
// BENCH_VERBOSE=1 prints the fairness lines of every event short of its best.
//
// Per size band it prints how many events reach the best the event allows, as the log's
// fairness report finds it exactly: the fewest first-round meetings, and beside them the
// fewest entries beyond their shares of the sections, which is every level's least excess
// unless the levels' leasts cannot be met at once (counted apart). Then how many come within
// one, the worst shortfall, the same-school first-round meetings found against
// the fewest possible, the widest gap of a school between sibling sections, and the time.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "adjust/AffiliationAdjustment.h"
#include "adjust/DrawGrid.h"
#include "adjust/EvenDistribution.h"
#include "adjust/NumberDistribution.h"
#include "adjust/PackingAdjustment.h"
#include "adjust/SeedOpponents.h"
#include "draw/BracketFairness.h"
#include "draw/PlacementCommand.h"
#include "draw/TableDialogs.h"
#include "league/IndividualLeagueAdjustment.h"
#include "league/IndividualLeaguePlacement.h"
#include "league/LeagueFairness.h"
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
    std::map<std::string, std::function<void(ui::Form&)>> fill;
    std::string showForm(ui::Form& form) override {
        form.aboutToShow();
        if (auto f = fill.find(form.declaration().name); f != fill.end()) f->second(form);
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

// How unevenly the seeds' first opponents fall on the schools, as 均等振分 reports it: the
// most opponents a school gives less the fewest.
int opponentSpread(const TournamentState& s) {
    const adjust::SeedPositions seeds(s);
    std::vector<int> count(adjust::kMaxId + 1, 0);
    std::set<int> schools;
    for (int t = 1; t <= s.TableCount; ++t) {
        adjust::countSeedOpponents(s, seeds, t, count);
        for (int k = 1; k <= adjust::tableSize(s, t); ++k)
            if (adjust::schoolAt(s, t, k) != 0) schools.insert(adjust::schoolAt(s, t, k));
    }
    int most = 0, fewest = 1 << 20;
    for (int school : schools)
        most = std::max(most, count[size_t(school)]),
        fewest = std::min(fewest, count[size_t(school)]);
    return schools.empty() ? 0 : most - fewest;
}

struct Band {
    const char* name;
    int low, high;
    int events = 0, best = 0, unreachable = 0, withinOne = 0, worstShortfall = 0;
    int meetings = 0, fewestMeetings = 0, widestGap = 0;
    int opponentSpreadSum = 0, worstOpponentSpread = 0;  // after 均等振分
    double commandMs[5] = {0, 0, 0, 0, 0};
    double worstMs = 0;
    void add(const Band& b) {
        events += b.events, best += b.best, withinOne += b.withinOne;
        unreachable += b.unreachable;
        worstShortfall = std::max(worstShortfall, b.worstShortfall);
        meetings += b.meetings, fewestMeetings += b.fewestMeetings;
        widestGap = std::max(widestGap, b.widestGap);
        opponentSpreadSum += b.opponentSpreadSum;
        worstOpponentSpread = std::max(worstOpponentSpread, b.worstOpponentSpread);
        worstMs = std::max(worstMs, b.worstMs);
        for (int i = 0; i < 5; ++i) commandMs[i] += b.commandMs[i];
    }
    void print(const char* label) const {
        double total = 0;
        for (double m : commandMs) total += m;
        auto share = [this](int n) { return events ? 100.0 * n / events : 0.0; };
        std::printf("%-9s %6d %7d %5.1f%% %9d %7d %5.1f%% %9d %8d %8d %8d %9.1f %8.1f\n", label,
                    events, best, share(best), unreachable, withinOne, share(withinOne),
                    worstShortfall, meetings, fewestMeetings, widestGap,
                    events ? total / events : 0.0, worstMs);
    }
};

}  // namespace

// Individual leagues of 20 to 300 entries in groups of 3 to 6, one in three with a school of
// half the entries: placed, then adjusted by every pass, against the least excess the seeds
// and the groups allow.
void leagueQuality(int events, unsigned seed) {
    std::mt19937 gen(seed);
    struct Kind {
        int events = 0, best = 0, excess = 0, least = 0, worstShortfall = 0;
    } kinds[2];
    for (int round = 1; round <= events; ++round) {
        QuietShell shell;
        Session session(shell, ".");
        session.random.setFixedSeed(seed * 1000 + unsigned(round));
        TournamentState& s = session.state;
        s.setOpenConstants();
        const int n = std::uniform_int_distribution<int>(20, 300)(gen);
        const bool dominant = round % 3 == 0;
        const int schools = std::max(2, n / 6);
        for (int row = 1; row <= n; ++row) {
            const int school =
                dominant && row <= n / 2 ? 1 : std::uniform_int_distribution<int>(2, schools)(gen);
            const std::vector<std::string> columns{
                std::to_string(school),       "学校" + std::to_string(school),
                "選手" + std::to_string(row), std::to_string(1 + row % 2),
                std::to_string(1 + row % 4),  "1",
                row % 11 == 0 ? "2" : "1",    std::to_string(row % 9)};
            for (std::size_t c = 0; c < columns.size(); ++c)
                s.EntryTable(row, int(c) + 1) = columns[c];
            ++s.SchoolEntryCount(school);
            s.EntryCount = Integer(row);
        }
        const int size = std::uniform_int_distribution<int>(3, 6)(gen);
        shell.fill["Form9"] = [size](ui::Form& f) {
            f.setValue("Option" + std::to_string(size - 2), true);
            f.setValue("Option6", true);
        };
        league::placeIndividualLeague(session);
        if (s.TableCount < 2) continue;
        league::adjustIndividualLeague(session);
        const league::LeagueFairness f =
            league::assessLeague(league::LeagueGroups(s, session.random, league::seededByMark));
        Kind& k = kinds[dominant];
        ++k.events;
        k.best += f.excess <= f.leastExcess;
        k.excess += f.excess, k.least += f.leastExcess;
        k.worstShortfall = std::max(k.worstShortfall, f.excess - f.leastExcess);
    }
    std::printf("\nindividual leagues, %d events\n%-18s %6s %14s %9s %8s %8s\n", events, "schools",
                "events", "at best", "worst", "excess", "least");
    const char* names[2] = {"mixed", "one of half"};
    for (int d = 0; d < 2; ++d) {
        const Kind& k = kinds[d];
        std::printf("%-18s %6d %7d %5.1f%% %9d %8d %8d\n", names[d], k.events, k.best,
                    k.events ? 100.0 * k.best / k.events : 0.0, k.worstShortfall, k.excess,
                    k.least);
    }
}

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
        std::vector<int> sizes = schoolSizes(gen, entries);
        // One event in four: a school with as many entries as a third of the event, more than
        // the tables. One in eight more: two to ten schools of up to 99 each, filling two
        // thirds of the event between them.
        if (round % 4 == 0) {
            sizes.insert(sizes.begin(), std::min(99, entries / 3));
        } else if (round % 8 == 1) {
            const int large = std::uniform_int_distribution<int>(2, 10)(gen);
            sizes.insert(sizes.begin(), large, std::max(2, std::min(99, 2 * entries / 3 / large)));
        }
        {
            for (int over = std::accumulate(sizes.begin(), sizes.end(), 0) - entries; over > 0;) {
                const int cut = std::min(over, sizes.back() - 1);
                if (cut <= 0) {
                    over -= sizes.back();
                    sizes.pop_back();
                } else {
                    sizes.back() -= cut;
                    over -= cut;
                }
            }
        }
        // One event in eight keeps six blocks of schools apart.
        const bool blocks = round % 8 == 3;
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
            if (blocks) s.SchoolBlock(school) = Integer(school % 6 + 1);
            s.MaxSchoolEntries = std::max<Integer>(s.MaxSchoolEntries, Integer(sizes[i]));
            ++s.SchoolCount;
        }
        s.EntryCount = Integer(all.size());
        if (blocks) s.BlockMode = 1, s.BlockCount = 6;
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
        t = Clock::now();
        adjust::adjustAffiliations(session);
        ms[1] = lap(t);
        adjust::distributeEvenly(session);
        ms[2] = lap(t);
        const int spread = opponentSpread(s);
        t = Clock::now();
        adjust::distributeNumbers(session);
        ms[3] = lap(t);
        adjust::adjustPacking(session);
        ms[4] = lap(t);

        const draw::BracketFairness fairness = draw::assessBracket(s);
        const int shortfall = fairness.shortfall();
        if (verbose && shortfall > 0) {
            std::fprintf(stderr, "event %d: %d entries, %d tables, largest school %d, %d seeds\n",
                         round, entries, s.TableCount, s.MaxSchoolEntries, s.SeedCount);
            for (const std::string& line : draw::fairnessLines(fairness, s))
                std::fprintf(stderr, "  %s\n", line.c_str());
        }
        int widest = 0;
        for (const draw::SchoolFairness& f : fairness.schools)
            widest = std::max(widest, f.widestGap);
        for (Band& b : bands) {
            if (entries < b.low || entries > b.high) continue;
            ++b.events;
            b.best += shortfall == 0;
            b.unreachable += !fairness.bestReachable();
            b.withinOne += shortfall <= 1;
            b.worstShortfall = std::max(b.worstShortfall, shortfall);
            b.meetings += fairness.levels.back().excess;
            b.fewestMeetings += fairness.levels.back().leastExcess;
            b.widestGap = std::max(b.widestGap, widest);
            b.opponentSpreadSum += spread;
            b.worstOpponentSpread = std::max(b.worstOpponentSpread, spread);
            double total = 0;
            for (int i = 0; i < 5; ++i) b.commandMs[i] += ms[i], total += ms[i];
            b.worstMs = std::max(b.worstMs, total);
        }
    }

    std::printf("%d events, seed %u\n\n", events, seed);
    std::printf("%-9s %6s %14s %9s %14s %9s %8s %8s %8s %9s %8s\n", "entries", "events", "at best",
                "levels in", "within one", "worst", "meetings", "fewest", "widest", "mean ms",
                "max ms");
    std::printf("%-9s %6s %14s %9s %14s %9s %8s %8s %8s %9s %8s\n", "", "", "", "conflict", "",
                "shortfall", "found", "possible", "gap", "", "");
    Band all{"all", 0, 0};
    for (const Band& b : bands) {
        b.print(b.name);
        all.add(b);
    }
    all.print("all");

    std::printf("\nmean ms per command\n%-9s", "entries");
    for (const char* c : commands) std::printf(" %12s", c);
    std::printf("\n");
    for (const Band& b : bands) {
        std::printf("%-9s", b.name);
        for (double m : b.commandMs) std::printf(" %12.2f", b.events ? m / b.events : 0.0);
        std::printf("\n");
    }
    std::printf(
        "\nseeds' first opponents after 均等振分: most a school gives less the fewest\n"
        "%-9s %8s %8s\n",
        "entries", "mean", "worst");
    for (const Band& b : bands)
        std::printf("%-9s %8.2f %8d\n", b.name,
                    b.events ? double(b.opponentSpreadSum) / b.events : 0.0, b.worstOpponentSpread);
    leagueQuality(events / 2, seed);
    return 0;
}
