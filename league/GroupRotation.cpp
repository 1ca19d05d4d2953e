#include "league/GroupRotation.h"

#include <utility>

#include "ui/Shell.h"

namespace tombra::league {

RotationRule schoolsApart(PartnerBLimit limit) {
    return {{{kSchoolColumn, kNoPartnerB1, kNoPartnerC1}},
            TryCount::FailedTests,
            limit,
            SeededC::BackToB};
}

GroupRotation::GroupRotation(LeagueGroups& groups, ui::Shell& shell, RotationRule rule)
    : groups_(groups), shell_(shell), rule_(std::move(rule)) {}

bool GroupRotation::moveOut(Place a) {
    std::vector<long long> keptOfA;
    for (const KeptApart& apart : rule_.apart)
        keptOfA.push_back(groups_.attribute(a, apart.column));
    return moveOut(a, keptOfA);
}

bool GroupRotation::moveOut(Place a, const std::vector<long long>& keptOfA) {
    // Seeds stay where they are, beside whatever entry shares their school or other value.
    if (groups_.seeded(a)) return true;
    // B and C lie in two groups other than A's.
    if (groups_.groupCount() < 3) {
        shell_.tell(kTooFewGroups);
        return false;
    }
    int m = 0;
    idlePicks_ = 0;
    for (;;) {
        if (rule_.count == TryCount::EveryTest) k_ = 0;
        Place b, c;
        if (pickB(a, keptOfA, b) == Step::Stop) return false;
        k_ = 0;
        const Step found = pickC(a, b, c);
        if (found == Step::Stop) return false;
        if (found == Step::BackToB) continue;
        // Every attribute is tested at A, and every test counts, whatever the one before found.
        bool clash = false;
        for (const KeptApart& apart : rule_.apart) {
            clash = holds(a, groups_.attribute(c, apart.column), apart.column) || clash;
            if (++m >= kTryLimit) {
                shell_.tell(kNoSwapWithA);
                groups_.state().LeagueCancelled = 1;
                return false;
            }
        }
        if (clash) continue;
        groups_.rotate(a, b, c);
        return true;
    }
}

GroupRotation::Step GroupRotation::pickB(Place a, const std::vector<long long>& keptOfA, Place& b) {
    for (;;) {
        if (pickedTooOften()) return Step::Stop;
        b = groups_.pickRandomPlace();
        if (b.group == a.group || groups_.seeded(b)) {
            ++idlePicks_;
            continue;
        }
        const Step found = testB(b, keptOfA);
        if (found != Step::Blocked) return found;
    }
}

GroupRotation::Step GroupRotation::testB(Place b, const std::vector<long long>& keptOfA) {
    for (std::size_t i = 0; i < rule_.apart.size(); ++i) {
        const KeptApart& apart = rule_.apart[i];
        const bool blocked = holds(b, keptOfA[i], apart.column);
        if (rule_.count == TryCount::FailedTests) {
            if (blocked) return failedB(apart.noPartnerB);
            continue;
        }
        // The first test is counted after the limit is checked, the later ones before.
        if (i == 0 ? k_++ >= kTryLimit : ++k_ >= kTryLimit) return stop(apart.noPartnerB);
        if (blocked) return Step::Blocked;
    }
    return Step::Found;
}

GroupRotation::Step GroupRotation::failedB(const char* noPartner) {
    if (rule_.partnerB == PartnerBLimit::EndsAtLimit)
        return ++k_ >= kTryLimit ? stop(noPartner) : Step::Blocked;
    if (k_ == kTryLimit) shell_.tell(noPartner);
    if (k_ >= kCounterEnd) return stop(std::string(noPartner) + "\n" + kSearchAbandoned);
    ++k_;
    return Step::Blocked;
}

GroupRotation::Step GroupRotation::pickC(Place a, Place b, Place& c) {
    for (;;) {
        if (pickedTooOften()) return Step::Stop;
        c = groups_.pickRandomPlace();
        if (c.group == a.group || c.group == b.group) {
            ++idlePicks_;
            continue;
        }
        if (groups_.seeded(c)) {
            ++idlePicks_;
            if (rule_.seededC == SeededC::BackToB) return Step::BackToB;
            continue;
        }
        const Step found = testC(b, c);
        if (found != Step::Blocked) return found;
    }
}

GroupRotation::Step GroupRotation::testC(Place b, Place c) {
    for (const KeptApart& apart : rule_.apart) {
        const bool blocked = holds(c, groups_.attribute(b, apart.column), apart.column);
        if ((blocked || rule_.count == TryCount::EveryTest) && ++k_ >= kTryLimit)
            return stop(apart.noPartnerC);
        if (blocked) return Step::Blocked;
    }
    return Step::Found;
}

GroupRotation::Step GroupRotation::stop(const std::string& text) {
    shell_.tell(text);
    return Step::Stop;
}

bool GroupRotation::pickedTooOften() {
    if (idlePicks_ < kIdlePickLimit && ++passPicks_ < kPassPickLimit) return false;
    shell_.tell(kSearchAbandoned);
    return true;
}

}  // namespace tombra::league
