#include "league/SchoolRotation.h"

#include "ui/Shell.h"

namespace tombra::league {

bool SchoolRotation::moveOut(Place a, long long school) {
    // Seeds stay where they are; a seed beside another entry of its school stays with it.
    if (groups_.seeded(a)) return true;
    // B and C lie in two groups other than A's.
    if (groups_.groupCount() < 3) {
        shell_.tell(kTooFewGroups);
        return false;
    }
    int m = 0;
    idlePicks_ = 0;
    for (;;) {
        Place b, c;
        long long schoolB = 0, schoolC = 0;
        if (pickB(a, school, b, schoolB) == Step::Stop) return false;
        k_ = 0;
        const Step found = pickC(a, b, schoolB, c, schoolC);
        if (found == Step::Stop) return false;
        if (found == Step::Again) continue;
        const bool clash = groups_.tableHoldsValue(a.group, a.place, schoolC, kSchoolColumn);
        if (++m >= kTryLimit) {
            shell_.tell(kNoSwapWithA);
            groups_.state().LeagueCancelled = 1;
            return false;
        }
        if (clash) continue;
        groups_.rotate(a, b, c);
        return true;
    }
}

SchoolRotation::Step SchoolRotation::pickB(Place a, long long school, Place& b,
                                           long long& schoolB) {
    for (;;) {
        if (pickedTooOften()) return Step::Stop;
        b = groups_.pickRandomPlace();
        if (b.group == a.group || groups_.seeded(b)) {
            ++idlePicks_;
            continue;
        }
        schoolB = groups_.attribute(b, kSchoolColumn);
        if (!groups_.tableHoldsValue(b.group, b.place, school, kSchoolColumn)) return Step::Found;
        if (limit_ == PartnerBLimit::EndsAtLimit) {
            if (++k_ >= kTryLimit) {
                shell_.tell(kNoPartnerB1);
                return Step::Stop;
            }
            continue;
        }
        if (k_ == kTryLimit) shell_.tell(kNoPartnerB1);
        if (k_ >= kCounterEnd) {
            shell_.tell(std::string(kNoPartnerB1) + "\n" + kSearchAbandoned);
            return Step::Stop;
        }
        ++k_;
    }
}

SchoolRotation::Step SchoolRotation::pickC(Place a, Place b, long long schoolB, Place& c,
                                           long long& schoolC) {
    for (;;) {
        if (pickedTooOften()) return Step::Stop;
        c = groups_.pickRandomPlace();
        if (c.group == a.group || c.group == b.group) {
            ++idlePicks_;
            continue;
        }
        if (groups_.seeded(c)) {
            ++idlePicks_;
            return Step::Again;
        }
        schoolC = groups_.attribute(c, kSchoolColumn);
        if (!groups_.tableHoldsValue(c.group, c.place, schoolB, kSchoolColumn)) return Step::Found;
        if (++k_ >= kTryLimit) {
            shell_.tell(kNoPartnerC1);
            return Step::Stop;
        }
    }
}

bool SchoolRotation::pickedTooOften() {
    if (idlePicks_ < kIdlePickLimit && ++passPicks_ < kPassPickLimit) return false;
    shell_.tell(kSearchAbandoned);
    return true;
}


}  // namespace tombra::league
