#include "draw/ShareArrangement.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "draw/MaxFlow.h"

namespace tombra::draw {

namespace {

class ShareNetwork {
  public:
    ShareNetwork(const std::vector<Seat>& seats, int tables, std::vector<int> levels)
        : seats_(seats), tables_(tables), levels_(std::move(levels)) {
        for (size_t at = 0; at < seats.size(); ++at) {
            const Seat& seat = seats[at];
            if (!index_.count(seat.school)) {
                index_[seat.school] = static_cast<int>(schools_.size());
                schools_.push_back(seat.school);
                entries_.emplace_back();
                seedsIn_.emplace_back(static_cast<size_t>(tables_ + 1), 0);
                movable_.emplace_back(static_cast<size_t>(tables_ + 1));
            }
            const auto i = static_cast<size_t>(index_[seat.school]);
            ++entries_[i];
            if (seat.seed)
                ++seedsIn_[i][static_cast<size_t>(seat.table)];
            else
                movable_[i][static_cast<size_t>(seat.table)].push_back(at);
        }
    }

    std::vector<size_t> arrange() {
        std::vector<size_t> result(seats_.size());
        for (size_t at = 0; at < result.size(); ++at) result[at] = at;
        if (tables_ < 2 || schools_.empty() || levels_.empty()) return result;
        const std::vector<std::vector<int>> wanted = targets();
        move(wanted, result);
        return result;
    }

  private:
    // The school's entries that are not seeds.
    int movableOf(size_t school) const {
        int n = 0;
        for (const auto& seats : movable_[school]) n += static_cast<int>(seats.size());
        return n;
    }

    int movableTotal() const {
        int n = 0;
        for (size_t i = 0; i < schools_.size(); ++i) n += movableOf(i);
        return n;
    }

    // Sections of a level: `places` of them, each of tables_ / places tables.
    int sectionOf(int table, int places) const { return (table - 1) / (tables_ / places); }

    int seedsInSection(size_t school, int places, int section) const {
        const int width = tables_ / places;
        int n = 0;
        for (int t = section * width + 1; t <= (section + 1) * width; ++t)
            n += seedsIn_[school][static_cast<size_t>(t)];
        return n;
    }

    // Seeds beyond their school's share of a section stand there wherever the others go.
    int seedsBeyondShares(int places) const {
        int n = 0;
        for (size_t i = 0; i < schools_.size(); ++i)
            for (int j = 0; j < places; ++j)
                n += std::max(0, seedsInSection(i, places, j) - fairShare(entries_[i], places));
        return n;
    }

    // How many entries of each school that are not seeds each table should hold.
    std::vector<std::vector<int>> targets() {
        // Nodes: source, sink, the tables, then per school its root and every section of
        // every level (the last level being the tables).
        int perSchool = 1;
        for (int places : levels_) perSchool += places;
        const int source = 0, sink = 1, firstTable = 2;
        const int firstSchool = firstTable + tables_;
        MaxFlow flow(firstSchool + perSchool * static_cast<int>(schools_.size()));
        auto node = [&](size_t school, size_t level, int section) {
            int at = firstSchool + perSchool * static_cast<int>(school) + 1;
            for (size_t l = 0; l < level; ++l) at += levels_[l];
            return at + section;
        };

        std::vector<int> room(static_cast<size_t>(tables_ + 1), 0);
        for (const auto& byTable : movable_)
            for (int t = 1; t <= tables_; ++t)
                room[static_cast<size_t>(t)] +=
                    static_cast<int>(byTable[static_cast<size_t>(t)].size());
        std::vector<MaxFlow::EdgeRef> toSink(static_cast<size_t>(tables_ + 1));
        for (int t = 1; t <= tables_; ++t)
            toSink[static_cast<size_t>(t)] =
                flow.add(firstTable + t - 1, sink, room[static_cast<size_t>(t)]);

        // into[school][level][section]: the edge into that section's node, as far as the share
        // allows. Beside each, an edge for what stands beyond the share: on the tables it costs
        // more than every section's excess together, since two players of a school meeting in
        // the first round weigh more than any section holding more of them.
        const int beyond = movableTotal() * static_cast<int>(levels_.size()) + 1;
        std::vector<std::vector<std::vector<MaxFlow::EdgeRef>>> into(schools_.size());
        std::vector<MaxFlow::EdgeRef> fromSource(schools_.size());
        std::vector<std::vector<MaxFlow::EdgeRef>> leaf(schools_.size());
        std::vector<std::vector<MaxFlow::EdgeRef>> overflow(levels_.size());
        for (size_t i = 0; i < schools_.size(); ++i) {
            const int root = firstSchool + perSchool * static_cast<int>(i);
            const int movable = movableOf(i);
            fromSource[i] = flow.add(source, root, movable);
            into[i].resize(levels_.size());
            for (size_t l = 0; l < levels_.size(); ++l) {
                const int places = levels_[l];
                const int share = fairShare(entries_[i], places);
                const int cost = l + 1 == levels_.size() ? beyond : 1;
                for (int j = 0; j < places; ++j) {
                    const int parent = l == 0 ? root : node(i, l - 1, j / 2);
                    into[i][l].push_back(flow.add(
                        parent, node(i, l, j), std::max(0, share - seedsInSection(i, places, j))));
                    overflow[l].push_back(flow.add(parent, node(i, l, j), movable, cost));
                }
            }
            for (int t = 1; t <= tables_; ++t)
                leaf[i].push_back(
                    flow.add(node(i, levels_.size() - 1, t - 1), firstTable + t - 1, movable));
        }

        // Every entry that fits where it stands stays: its path is the flow to start from.
        for (size_t i = 0; i < schools_.size(); ++i)
            for (int t = 1; t <= tables_; ++t)
                for (size_t n = 0; n < movable_[i][static_cast<size_t>(t)].size(); ++n) {
                    std::vector<MaxFlow::EdgeRef> path = {fromSource[i]};
                    for (size_t l = 0; l < levels_.size(); ++l)
                        path.push_back(into[i][l][static_cast<size_t>(sectionOf(t, levels_[l]))]);
                    path.push_back(leaf[i][static_cast<size_t>(t - 1)]);
                    path.push_back(toSink[static_cast<size_t>(t)]);
                    flow.preload(path);
                }
        // Every school reaches every table beyond its shares, and the tables hold as many
        // entries as there are: all of them are placed.
        flow.runCheapest(source, sink);
        excess_.assign(levels_.size(), 0);
        for (size_t l = 0; l < levels_.size(); ++l) {
            for (MaxFlow::EdgeRef e : overflow[l]) excess_[l] += flow.flowOn(e);
            excess_[l] += seedsBeyondShares(levels_[l]);
        }

        std::vector<std::vector<int>> wanted(schools_.size(),
                                             std::vector<int>(static_cast<size_t>(tables_ + 1), 0));
        for (size_t i = 0; i < schools_.size(); ++i)
            for (int t = 1; t <= tables_; ++t)
                wanted[i][static_cast<size_t>(t)] =
                    flow.flowOn(leaf[i][static_cast<size_t>(t - 1)]);
        return wanted;
    }

    // The entries beyond what a table should hold of their school leave it, the highest
    // ranks first so that a school's leading players keep their seats; each takes a seat
    // left free in a table that should hold more of its school.
    void move(const std::vector<std::vector<int>>& wanted, std::vector<size_t>& result) {
        std::vector<std::vector<size_t>> freed(static_cast<size_t>(tables_ + 1));
        std::vector<std::vector<size_t>> leaving(schools_.size());
        for (size_t i = 0; i < schools_.size(); ++i)
            for (int t = 1; t <= tables_; ++t) {
                std::vector<size_t> here = movable_[i][static_cast<size_t>(t)];
                std::sort(here.begin(), here.end(),
                          [this](size_t a, size_t b) { return seats_[a].rank > seats_[b].rank; });
                const int extra = static_cast<int>(here.size()) - wanted[i][static_cast<size_t>(t)];
                for (int n = 0; n < extra; ++n) {
                    leaving[i].push_back(here[static_cast<size_t>(n)]);
                    freed[static_cast<size_t>(t)].push_back(here[static_cast<size_t>(n)]);
                }
            }
        for (size_t i = 0; i < schools_.size(); ++i)
            for (int t = 1; t <= tables_; ++t) {
                const int missing = wanted[i][static_cast<size_t>(t)] -
                                    static_cast<int>(movable_[i][static_cast<size_t>(t)].size());
                for (int n = 0; n < missing; ++n) {
                    result[freed[static_cast<size_t>(t)].back()] = leaving[i].back();
                    freed[static_cast<size_t>(t)].pop_back();
                    leaving[i].pop_back();
                }
            }
    }

  public:
    std::vector<int> excessAtBest() {
        excess_.assign(levels_.size(), 0);
        if (tables_ >= 2 && !schools_.empty()) targets();
        return excess_;
    }

  private:
    const std::vector<Seat>& seats_;
    const int tables_;
    std::vector<int> excess_;  // by level, where the arrangement puts the entries
    std::vector<int> levels_;
    std::map<int, int> index_;
    std::vector<int> schools_, entries_;
    std::vector<std::vector<int>> seedsIn_;                  // [school][table]
    std::vector<std::vector<std::vector<size_t>>> movable_;  // [school][table]: seats
};

}  // namespace

namespace {

// The seats of each block, by index into all seats: a block's entries stay among its seats.
std::map<int, std::vector<size_t>> seatsByBlock(const std::vector<Seat>& seats) {
    std::map<int, std::vector<size_t>> blocks;
    for (size_t at = 0; at < seats.size(); ++at) blocks[seats[at].block].push_back(at);
    return blocks;
}

std::vector<Seat> pick(const std::vector<Seat>& seats, const std::vector<size_t>& which) {
    std::vector<Seat> out;
    for (size_t at : which) out.push_back(seats[at]);
    return out;
}

}  // namespace

std::vector<int> excessAtBest(const std::vector<Seat>& seats, int tables,
                              const std::vector<int>& levels) {
    std::vector<int> sum(levels.size(), 0);
    for (const auto& [block, which] : seatsByBlock(seats)) {
        const std::vector<int> excess =
            ShareNetwork(pick(seats, which), tables, levels).excessAtBest();
        for (size_t l = 0; l < sum.size(); ++l) sum[l] += excess[l];
    }
    return sum;
}

std::vector<size_t> shareArrangement(const std::vector<Seat>& seats, int tables,
                                     const std::vector<int>& levels) {
    std::vector<size_t> result(seats.size());
    for (const auto& [block, which] : seatsByBlock(seats)) {
        const std::vector<Seat> own = pick(seats, which);
        const std::vector<size_t> from = ShareNetwork(own, tables, levels).arrange();
        for (size_t at = 0; at < which.size(); ++at) result[which[at]] = which[from[at]];
    }
    return result;
}

}  // namespace tombra::draw
