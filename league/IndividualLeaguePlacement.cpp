#include "league/IndividualLeaguePlacement.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "draw/LeagueSizeDialog.h"
#include "draw/ShareArrangement.h"
#include "league/LeagueGroups.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "state/Numbers.h"

namespace tombra::league {

namespace {

using namespace league;

// A seed draws its group this many times before it takes the first group still free.
constexpr int kSeedTries = 30001;
constexpr int kRestDrawLimit = 32000;
// A group reserved for a large school's second entries takes at most this many of them.
constexpr int kReservedShare = 3;

class Placement {
  public:
    explicit Placement(Session& session)
        : session_(session),
          s_(session.state),
          random_(session.random),
          attributes_(session.state),
          entries_(session.state.EntryCount),
          groups_(session.state.TableCount),
          schoolInTable_(kMaxSchool + 1) {}

    // Steps that fill the groups; false when a limit ended the command.
    bool fill() {
        clear();
        reserveSecondPlaces();
        random_.reseedFromClock();
        placeSeeds();
        return placeLargeSchools() && placeTheRest();
    }

  private:
    int schoolOf(int entry) const {
        const long long school = attributes_.of(entry, kSchoolColumn);
        return school >= 1 && school <= kMaxSchool ? static_cast<int>(school) : 0;
    }
    bool large(int school) const { return s_.SchoolEntryCount(school) > groups_; }
    // The most of a school one group takes: its entries over the groups, rounded up.
    int share(int school) const { return draw::fairShare(s_.SchoolEntryCount(school), groups_); }
    int draw(int n) { return drawR(random_, n); }
    bool empty(int group, int place) const { return s_.TableSlot(group, place) == 0; }
    int& inTable(int school, int group) { return schoolInTable_[school][group]; }

    void clear() {
        s_.TableSecondSchool.fill(0);
        s_.TableSlot.fill(0);
        s_.EntryPlaced.fill(0);
        for (auto& groups : schoolInTable_) groups.fill(0);
    }

    void put(int entry, int group, int place) {
        s_.TableSlot(group, place) = static_cast<Single>(entry);
        s_.EntryPlaced(entry) = 1;
        ++inTable(schoolOf(entry), group);
    }

    // Each large school, in school order, takes the next free run of groups for its second
    // entries: all groups when it has two or more entries a group, else one group for each
    // entry beyond the first round.
    void reserveSecondPlaces() {
        for (int school = 1; school <= std::min<int>(s_.MaxSchoolNo, kMaxSchool); ++school) {
            if (!large(school)) continue;
            const int count = s_.SchoolEntryCount(school);
            const int runs = count / groups_ >= 2 ? groups_ : count % groups_;
            int first = 1;
            while (first <= groups_ && s_.TableSecondSchool(first) != 0) ++first;
            if (first > groups_) continue;
            // A run reaching past the last group is cut there: nothing reads beyond it.
            for (int g = first; g < first + runs && g <= groups_; ++g)
                s_.TableSecondSchool(g) = static_cast<Integer>(school);
        }
    }

    void placeSeeds() {
        for (int d = 1; d <= entries_; ++d) {
            if (attributes_.of(d, kSeedMarkColumn) != 2) continue;
            for (int tries = 1;; ++tries) {
                const int h = draw(groups_);
                if (tries == kSeedTries) {
                    // More seeds than groups end here with no group left: step 8 draws them.
                    for (int g = 1; g <= groups_; ++g) {
                        if (empty(g, 1)) {
                            put(d, g, 1);
                            break;
                        }
                    }
                    break;
                }
                if (!empty(h, 1) || s_.TableSecondSchool(h) == schoolOf(d)) continue;
                put(d, h, 1);
                break;
            }
        }
    }

    bool placeLargeSchools() {
        for (int school = 1; school <= std::min<int>(s_.MaxSchoolNo, kMaxSchool); ++school) {
            if (!large(school)) continue;
            for (int d = 1; d <= entries_; ++d) {
                if (schoolOf(d) != school || s_.EntryPlaced(d) != 0) continue;
                if (!placeLargeSchoolEntry(d, school)) {
                    session_.tell("投入できない（単）");
                    return false;
                }
            }
        }
        return true;
    }

    bool placeLargeSchoolEntry(int d, int school) {
        int tries = 0;
        // Redraws of a full reserved place count no try; this bound keeps them finite.
        for (long long picks = 0; picks < kIdleDrawLimit; ++picks) {
            const int g = draw(groups_);
            const int p = draw(s_.TableSize(g));
            // Reserved or not, no group takes more of the school than its share: a group
            // made of one school is no league.
            if (inTable(school, g) < std::min(kReservedShare, share(school)) &&
                s_.TableSecondSchool(g) == school) {
                if (!empty(g, p)) continue;
                put(d, g, p);
                return true;
            }
            if (empty(g, p) && inTable(school, g) < share(school)) {
                put(d, g, p);
                return true;
            }
            if (++tries >= kTryLimit) break;
        }
        return placeWhereFewest(d, school);
    }

    // When the draws found no group within the share, the group holding the fewest of the
    // school that has a place left takes the entry; only a full league stops the command.
    bool placeWhereFewest(int d, int school) {
        int best = 0;
        for (int g = 1; g <= groups_; ++g)
            if (lowestEmptyPlace(g) != 0 &&
                (best == 0 || inTable(school, g) < inTable(school, best)))
                best = g;
        if (best == 0) return false;
        put(d, best, lowestEmptyPlace(best));
        return true;
    }

    bool placeTheRest() {
        int draws = 0;
        long long idle = 0;
        while (unplaced() > 0) {
            const int e = draw(entries_);
            if (s_.EntryPlaced(e) != 0) {
                if (++idle < kIdleDrawLimit) continue;
                session_.tell("試行回数オーバー");
                return false;
            }
            for (;;) {
                const int l = draw(groups_);
                if (++draws >= kRestDrawLimit) {
                    session_.tell("試行回数オーバー");
                    return false;
                }
                const int p = lowestEmptyPlace(l);
                if (p == 0) continue;
                put(e, l, p);
                break;
            }
        }
        return true;
    }

    int lowestEmptyPlace(int group) const {
        for (int p = 1; p <= s_.TableSize(group); ++p)
            if (empty(group, p)) return p;
        return 0;
    }

    int unplaced() const {
        int n = 0;
        for (int d = 1; d <= entries_; ++d) n += s_.EntryPlaced(d) == 0;
        return n;
    }

    // Draws that count toward no limit (an entry already placed, a full reserved place) are
    // bounded by this; with the entries of one league it is never reached.
    static constexpr long long kIdleDrawLimit = 1'000'000;

    Session& session_;
    TournamentState& s_;
    RandomSource& random_;
    EntryAttributes attributes_;
    int entries_, groups_;
    std::vector<std::array<int, kMaxGroups + 1>> schoolInTable_;
};

}  // namespace

void checkIndividualLeague(Session& session) {
    const TournamentState& s = session.state;
    const int entries = std::clamp<int>(s.EntryCount, 0, kMaxEntries);
    std::vector<int> seen(static_cast<std::size_t>(entries) + 1);
    for (int g = 1; g <= std::clamp<int>(s.TableCount, 0, kMaxGroups); ++g) {
        for (int p = 1; p <= std::clamp<int>(s.TableSize(g), 0, kMaxPlaces); ++p) {
            const Single v = s.TableSlot(g, p);
            if (v == 0) {
                session.tell("空白あり：０");
            } else if (v > entries) {
                session.tell("空白あり：オーバ");
            } else if (const int e = entryOf(v); e != 0 && ++seen[e] > 1) {
                session.tell("ダブり＝" + numberText(e));
            }
        }
    }
}

void placeIndividualLeague(Session& session) {
    TournamentState& s = session.state;
    if (s.DrawDone != 0) {
        session.tell("投入済みです");
        return;
    }
    // Entries are the rows of EntryTable.
    if (s.EntryCount > kMaxEntries) {
        session.tell("エントリー数 " + numberText(s.EntryCount) + " は " + numberText(kMaxEntries) +
                     " を超えるため、個人リーグを組めません");
        return;
    }
    const bool sized = draw::askLeagueSize(session);
    session.marks.set(ids::kPlaceIndividualLeague, true);
    if (!sized) return;

    if (!Placement(session).fill()) return;
    checkIndividualLeague(session);
    session.progress.hide();
    session.tell("投入終了");
}

}  // namespace tombra::league
