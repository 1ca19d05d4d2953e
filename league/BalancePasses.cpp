#include "league/BalancePasses.h"

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "state/Numbers.h"
#include "ui/Shell.h"

namespace tombra::league {

namespace {

constexpr int kPairTries = 1000;
// Sex and category codes 0..6 are counted; others count nowhere and have no room anywhere.
constexpr int kCodes = 7;

using Counts = std::vector<std::array<int, kCodes>>;

bool counted(long long code) { return code >= 0 && code < kCodes; }

int countOf(const Counts& counts, int group, long long code) {
    return counted(code) ? counts[group][static_cast<std::size_t>(code)] : 0;
}

void add(Counts& counts, int group, long long code, int delta) {
    if (counted(code)) counts[group][static_cast<std::size_t>(code)] += delta;
}

// Per-group limits of the codes 1..last: the total spread over the groups, rounded up.
std::array<int, kCodes> limits(const Counts& counts, int groups, int last) {
    std::array<int, kCodes> total{}, limit{};
    for (int g = 1; g <= groups; ++g)
        for (int c = 0; c < kCodes; ++c) total[c] += counts[g][c];
    for (int c = 1; c <= last; ++c) limit[c] = total[c] / groups + (total[c] % groups != 0);
    return limit;
}

int limitOf(const std::array<int, kCodes>& limit, long long code) {
    return counted(code) ? limit[static_cast<std::size_t>(code)] : 0;
}

Counts countBy(const LeagueGroups& groups, int column) {
    Counts counts(static_cast<std::size_t>(groups.groupCount()) + 1);
    for (int g = 1; g <= groups.groupCount(); ++g)
        for (int p = 1; p <= groups.size(g); ++p)
            add(counts, g, groups.attribute({g, p}, column), 1);
    return counts;
}

}  // namespace

bool exchangeConflicts(const LeagueGroups& groups, Place p, Place q) {
    const TournamentState& s = groups.state();
    const long long schoolP = groups.attribute(p, kSchoolColumn);
    const long long schoolQ = groups.attribute(q, kSchoolColumn);
    bool school = groups.tableHoldsValue(q.group, q.place, schoolP, kSchoolColumn);
    if (s.TableSecondSchool(q.group) == schoolP && schoolP == schoolQ) school = false;
    school = school || groups.tableHoldsValue(p.group, p.place, schoolQ, kSchoolColumn);
    if (s.TableSecondSchool(p.group) == schoolQ && schoolP == schoolQ) school = false;
    const bool previous =
        groups.tableHoldsValue(q.group, q.place, groups.attribute(p, kPreviousGroupColumn),
                               kPreviousGroupColumn) ||
        groups.tableHoldsValue(p.group, p.place, groups.attribute(q, kPreviousGroupColumn),
                               kPreviousGroupColumn);
    return school || previous;
}

void balanceSexes(LeagueGroups& groups) {
    RandomSource& random = groups.random();
    random.reseedFromClock();
    const int count = groups.groupCount();
    std::vector<int> men(static_cast<std::size_t>(count) + 1);
    for (int g = 1; g <= count; ++g)
        for (int p = 1; p <= groups.size(g); ++p)
            men[g] += groups.attribute({g, p}, kSexColumn) == 1;
    groups.state().LeagueCancelled = 0;

    for (int i = 1; i < count; ++i) {
        for (int j = i + 1; j <= count; ++j) {
            if (std::abs(men[i] - men[j]) <= 1) continue;
            const bool fewerInJ = men[j] < men[i];
            const long long fromI = fewerInJ ? 1 : 2, fromJ = 3 - fromI;
            int k = 0;
            // One entry of the wanted sex, not seeded, from `group`; false at the pair's limit.
            auto pick = [&](int group, long long sex, Place& at) {
                for (;;) {
                    at = {group, drawR(random, groups.size(group))};
                    if (++k >= kPairTries) return false;
                    if (groups.attribute(at, kSexColumn) == sex && !groups.seeded(at)) return true;
                }
            };
            for (;;) {
                Place p, q;
                if (!pick(i, fromI, p) || !pick(j, fromJ, q) || ++k >= kPairTries) break;
                if (exchangeConflicts(groups, p, q)) continue;
                groups.exchange(p, q);
                men[i] += fewerInJ ? -1 : 1;
                men[j] += fewerInJ ? 1 : -1;
                break;
            }
        }
    }
}

void spreadCategories(LeagueGroups& groups, ui::Shell& shell) {
    RandomSource& random = groups.random();
    random.reseedFromClock();
    const int count = groups.groupCount();

    Counts categories = countBy(groups, kCategoryColumn);
    groups.state().LeagueCancelled = 0;
    const std::array<int, kCodes> categoryLimit = limits(categories, count, 4);
    Counts sexes = countBy(groups, kSexColumn);
    const std::array<int, kCodes> sexLimit = limits(sexes, count, 2);
    // Whether `group` has room for one more of `code`.
    auto room = [](const Counts& counts, const std::array<int, kCodes>& limit, int group,
                   long long code) {
        return countOf(counts, group, code) + 1 <= limitOf(limit, code);
    };

    for (int g = 1; g <= count; ++g) {
        for (int c = 1; c <= 4; ++c) {
            if (categories[g][c] <= categoryLimit[c]) continue;
            int k1 = 0, k2 = 0;
            for (;;) {
                Place p{g, 0};
                bool found = false;
                while (!found) {
                    p.place = drawR(random, groups.size(g));
                    if (++k1 >= kTryLimit) break;
                    found = groups.attribute(p, kCategoryColumn) == c;
                }
                if (!found) {
                    shell.tell("種別移動元が未決定");
                    break;
                }
                Place q;
                long long other = 0;
                found = false;
                while (!found) {
                    q.group = drawR(random, count);
                    q.place = drawR(random, groups.size(q.group));
                    other = groups.attribute(q, kCategoryColumn);
                    if (++k2 >= kTryLimit) break;
                    found = other != c && room(categories, categoryLimit, q.group, c) &&
                            room(categories, categoryLimit, g, other);
                }
                if (!found) {
                    shell.tell("種別移動先が未決定");
                    break;
                }
                const long long sexP = groups.attribute(p, kSexColumn);
                const long long sexQ = groups.attribute(q, kSexColumn);
                const bool conflict =
                    exchangeConflicts(groups, p, q) || !room(sexes, sexLimit, q.group, sexP) ||
                    !room(sexes, sexLimit, g, sexQ) || groups.seeded(p) != groups.seeded(q);
                if (++k1 >= kTryLimit) {
                    shell.tell("種別交換できない" + strText(g) + ":" + strText(q.group));
                    break;
                }
                if (conflict) continue;
                groups.exchange(p, q);
                add(categories, g, c, -1);
                add(categories, g, other, 1);
                add(categories, q.group, other, -1);
                add(categories, q.group, c, 1);
                add(sexes, g, sexP, -1);
                add(sexes, g, sexQ, 1);
                add(sexes, q.group, sexQ, -1);
                add(sexes, q.group, sexP, 1);
                break;
            }
        }
    }
}

}  // namespace tombra::league
