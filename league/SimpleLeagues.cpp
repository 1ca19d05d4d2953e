#include "league/SimpleLeagues.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "draw/LeagueSizeDialog.h"
#include "league/GroupRotation.h"
#include "league/LeagueGroups.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "state/Numbers.h"

namespace tombra::league {

namespace {

using namespace league;

constexpr int kTeamSeeds = 8;

bool emptyPlace(const TournamentState& s, int group, int place) {
    return s.TableSlot(group, place) == 0;
}

// Seeds take place 1 of the group with their seed number. A seed number beyond the last
// group the grid has cannot be followed; such entries are named instead of placed.
void placeSeed(Session& session, int entry, long long seed) {
    if (seed <= kMaxGroups) {
        session.state.TableSlot(seed, 1) = static_cast<Single>(entry);
        return;
    }
    session.tell("シード番号 " + numberText(seed) + " はグループ数の上限 " +
                 numberText(kMaxGroups) + " を超えるため、エントリー " + numberText(entry) +
                 " を投入できません");
}

// After 投入 the grid holds the bracket's entry codes and its sizes; a league drawn into it
// would mix the two and size the tables anew under the bracket.
bool bracketDrawn(Session& session, const char* command) {
    if (session.state.DrawDone == 0) return false;
    session.tell(std::string("ヤグラが投入済みのため、") + command + "はできません");
    return true;
}

void adjustBySchool(Session& session, const char* mark, LeagueGroups::SeedRule seeded,
                    PartnerBLimit limit) {
    TournamentState& s = session.state;
    if (!groupsArePlaced(s)) {
        session.tell("投入を実行して下さい");
        return;
    }
    session.marks.set(mark, true);
    session.random.reseedFromClock();
    LeagueGroups groups(s, session.random, std::move(seeded));
    const int count = groups.groupCount();
    ui::ProgressDialog& progress = session.progress;
    progress.start("調整", 0, count);
    SchoolRotation rotation(groups, session.shell, limit);
    for (int g = 1; g <= count; ++g) {
        progress.setValue(g);
        progress.setCaption("調整" + strText(g) + "/" + strText(count));
        for (int a = 1; a < groups.size(g); ++a) {
            for (int b = a + 1; b <= groups.size(g); ++b) {
                const long long school = groups.attribute({g, b}, kSchoolColumn);
                // Empty places and entries without a school number have no school to share.
                if (school == 0 || groups.attribute({g, a}, kSchoolColumn) != school) continue;
                // A command ended at a limit leaves the progress dialog as it was.
                if (!rotation.moveOut({g, b}, school)) return;
            }
        }
    }
    progress.hide();
    session.tell("調整終了");
}

}  // namespace

void placeSinglesLeague(Session& session) {
    TournamentState& s = session.state;
    if (bracketDrawn(session, "シングルスリーグ投入")) return;
    session.marks.set(ids::kPlaceSinglesLeague, true);
    if (!draw::askLeagueSize(session)) return;

    session.random.reseedFromClock();
    const EntryAttributes attributes(s);
    for (int i = 1; i <= s.EntryCount; ++i) {
        const long long seed = attributes.of(i, kSinglesSeedColumn);
        if (seed >= 1 && seed <= s.SeedCount) placeSeed(session, i, seed);
    }
    for (int j = 1; j <= s.EntryCount; ++j) {
        if (attributes.of(j, kSinglesSeedColumn) > 0) continue;
        for (int k = 0;;) {
            const int g = drawR(session.random, s.TableCount);
            const int p = drawR(session.random, s.TableSize(g));
            if (emptyPlace(s, g, p)) {
                s.TableSlot(g, p) = static_cast<Single>(j);
                break;
            }
            if (++k > kTryLimit) {
                session.tell("試行回数オーバ");
                return;
            }
        }
    }
    session.tell("シングルスリーグ投入終了");
}

void placeTeamLeague(Session& session) {
    TournamentState& s = session.state;
    if (bracketDrawn(session, "団体リーグ投入")) return;
    const bool sized = draw::askLeagueSize(session);
    session.marks.set(ids::kPlaceTeamLeague, true);
    if (!sized) return;

    session.random.reseedFromClock();
    const EntryAttributes attributes(s);
    const int teams = std::min<int>(s.SchoolCount, kMaxEntries);
    // A seed heads the group of its number only when that group exists and is still free;
    // any other seeded team is drawn with the rest, so that no team is lost.
    const int seedGroups = std::min<int>(kTeamSeeds, s.TableCount);
    std::vector<bool> headsGroup(static_cast<std::size_t>(teams) + 1, false);
    for (int i = 1; i <= teams; ++i) {
        const long long seed = attributes.of(i, kTeamSeedColumn);
        if (seed < 1 || seed > seedGroups || !emptyPlace(s, static_cast<int>(seed), 1)) continue;
        s.TableSlot(seed, 1) = static_cast<Single>(i);
        headsGroup[static_cast<std::size_t>(i)] = true;
    }
    int k = 0;
    for (int j = 1; j <= teams; ++j) {
        if (headsGroup[static_cast<std::size_t>(j)]) continue;
        for (;;) {
            const int g = drawR(session.random, s.TableCount);
            const int p = drawR(session.random, s.TableSize(g));
            ++k;
            if (emptyPlace(s, g, p)) {
                s.TableSlot(g, p) = static_cast<Single>(j);
                break;
            }
            if (k > kTryLimit) {
                session.tell("オーバ");
                return;
            }
        }
    }
    session.tell("投入終了");
}

void adjustSinglesLeague(Session& session) {
    adjustBySchool(session, ids::kAdjustSinglesLeague, seededBySinglesNumber,
                   PartnerBLimit::EndsAtLimit);
}

void adjustTeamLeague(Session& session) {
    adjustBySchool(session, ids::kAdjustTeamLeague, seededByTeamNumber,
                   PartnerBLimit::WarnsAndGoesOn);
}

}  // namespace tombra::league
