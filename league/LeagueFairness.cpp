#include "league/LeagueFairness.h"

#include "draw/BracketFairness.h"
#include "draw/ShareArrangement.h"
#include "session/Session.h"
#include "state/Numbers.h"

namespace tombra::league {

namespace {

// Every entry of the groups with a school, as a seat in its group, and where it stands.
struct GroupSeats {
    std::vector<draw::Seat> seats;
    std::vector<Place> places;
};

GroupSeats groupSeats(const LeagueGroups& groups) {
    GroupSeats out;
    for (int g = 1; g <= groups.groupCount(); ++g)
        for (int p = 1; p <= groups.size(g); ++p) {
            const long long school = groups.attribute({g, p}, kSchoolColumn);
            if (groups.entryAt({g, p}) == 0 || school < 1 || school > kMaxSchool) continue;
            out.seats.push_back(
                {g, static_cast<int>(school), groups.seeded({g, p}), groups.entryAt({g, p})});
            out.places.push_back({g, p});
        }
    return out;
}

}  // namespace

LeagueFairness assessLeague(const LeagueGroups& groups) {
    LeagueFairness out;
    out.groups = groups.groupCount();
    out.entries.assign(kMaxSchool + 1, 0);
    const std::vector<draw::Seat> seats = groupSeats(groups).seats;
    for (const draw::Seat& seat : seats) ++out.entries[static_cast<size_t>(seat.school)];
    if (out.groups < 1 || seats.empty()) return out;
    out.leastExcess = draw::leastExcess(seats, out.groups);
    for (const auto& [school, counts] : draw::countsByPlace(seats, out.groups)) {
        const int excess = draw::excessOver(counts, out.entries[static_cast<size_t>(school)]);
        out.excess += excess;
        if (excess > 0) out.schools.emplace_back(school, excess);
    }
    return out;
}

std::vector<std::string> leagueFairnessLines(const LeagueFairness& f, const TournamentState& s) {
    if (f.groups < 1) return {};
    std::vector<std::string> lines = {std::string("公平性: ") +
                                      (f.excess <= f.leastExcess ? "最善" : "最善に届かず") +
                                      "（グループの持ち分を超える選手 " + numberText(f.excess) +
                                      "名、最少 " + numberText(f.leastExcess) + "名）"};
    for (const auto& [school, excess] : f.schools)
        lines.push_back("  " + numberText(school) + " " + s.EntryAffiliation(school, 1) + "（" +
                        numberText(f.entries[static_cast<size_t>(school)]) +
                        "名）: 持ち分を超える選手 " + numberText(excess));
    return lines;
}

int repairLeagueShares(LeagueGroups& groups) {
    TournamentState& s = groups.state();
    const auto [seats, places] = groupSeats(groups);
    if (groups.groupCount() < 2) return 0;
    const std::vector<size_t> from =
        draw::shareArrangement(seats, groups.groupCount(), {groups.groupCount()});
    std::vector<Single> values;
    for (const Place& at : places) values.push_back(s.TableSlot(at.group, at.place));
    int moved = 0;
    for (size_t at = 0; at < places.size(); ++at) {
        if (from[at] == at) continue;
        s.TableSlot(places[at].group, places[at].place) = values[from[at]];
        ++moved;
    }
    return moved;
}

void logLeagueFairness(Session& session, const LeagueGroups::SeedRule& seeded) {
    // A bracket's draw holds entry codes, not league entries.
    if (session.state.DrawDone != 0) return;
    const LeagueGroups groups(session.state, session.random, seeded);
    for (const std::string& line : leagueFairnessLines(assessLeague(groups), session.state))
        session.log.append(line);
}

}  // namespace tombra::league
