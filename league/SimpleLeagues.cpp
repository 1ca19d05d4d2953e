#include "league/SimpleLeagues.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "draw/LeagueSizeDialog.h"
#include "league/GroupRotation.h"
#include "league/LeagueFairness.h"
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

// Seeds (1..lastSeed) head the group of their number when that group exists and is still
// free. Every other entry, seeded or not, is drawn at random, so that none is lost. The tries
// count per entry or, for teams, over the whole draw. False when the tries ran out.
bool placeSeedsThenDraw(Session& session, int count, int seedColumn, long long lastSeed,
                        bool triesPerEntry, const char* outOfTries) {
    TournamentState& s = session.state;
    session.random.reseedFromClock();
    const EntryAttributes attributes(s);
    const long long seedGroups = std::min<long long>(lastSeed, s.TableCount);
    std::vector<bool> headsGroup(static_cast<std::size_t>(count) + 1, false);
    for (int i = 1; i <= count; ++i) {
        const long long seed = attributes.of(i, seedColumn);
        if (seed < 1 || seed > seedGroups || !emptyPlace(s, static_cast<int>(seed), 1)) continue;
        s.TableSlot(seed, 1) = static_cast<Single>(i);
        headsGroup[static_cast<std::size_t>(i)] = true;
    }
    int tries = 0;
    for (int j = 1; j <= count; ++j) {
        if (headsGroup[static_cast<std::size_t>(j)]) continue;
        if (triesPerEntry) tries = 0;
        for (;;) {
            const int g = drawR(session.random, s.TableCount);
            const int p = drawR(session.random, s.TableSize(g));
            if (emptyPlace(s, g, p)) {
                s.TableSlot(g, p) = static_cast<Single>(j);
                break;
            }
            if (++tries > kTryLimit) {
                session.tell(outOfTries);
                return false;
            }
        }
    }
    return true;
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
    repairLeagueShares(groups);
    progress.hide();
    session.tell("調整終了");
}

}  // namespace

void placeSinglesLeague(Session& session) {
    TournamentState& s = session.state;
    if (bracketDrawn(session, "シングルスリーグ投入")) return;
    session.marks.set(ids::kPlaceSinglesLeague, true);
    if (s.EntryCount > kMaxEntries) {
        session.tell("シングルスリーグに組めるのは " + numberText(kMaxEntries) +
                     " 名までです（エントリー数 " + numberText(s.EntryCount) + "）");
        return;
    }
    if (!draw::askLeagueSize(session)) return;
    if (placeSeedsThenDraw(session, s.EntryCount, kSinglesSeedColumn, s.SeedCount, true,
                           "試行回数オーバ"))
        session.tell("シングルスリーグ投入終了");
}

void placeTeamLeague(Session& session) {
    TournamentState& s = session.state;
    if (bracketDrawn(session, "団体リーグ投入")) return;
    const bool sized = draw::askLeagueSize(session);
    session.marks.set(ids::kPlaceTeamLeague, true);
    if (!sized) return;
    if (placeSeedsThenDraw(session, std::min<int>(s.SchoolCount, kMaxEntries), kTeamSeedColumn,
                           kTeamSeeds, false, "オーバ"))
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
