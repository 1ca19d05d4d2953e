#include "draw/MaxFlow.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <queue>
#include <utility>

namespace tombra::draw {

MaxFlow::EdgeRef MaxFlow::add(int from, int to, int capacity, int cost) {
    if (capacity <= 0) return {};
    auto& out = edges_[static_cast<size_t>(from)];
    auto& back = edges_[static_cast<size_t>(to)];
    out.push_back({to, capacity, capacity, cost, back.size()});
    back.push_back({from, 0, 0, -cost, out.size() - 1});
    return {from, out.size() - 1};
}

bool MaxFlow::preload(const std::vector<EdgeRef>& path) {
    for (const EdgeRef& e : path)
        if (e.from < 0 || edges_[static_cast<size_t>(e.from)][e.index].capacity <= 0) return false;
    for (const EdgeRef& e : path) {
        Edge& edge = edges_[static_cast<size_t>(e.from)][e.index];
        --edge.capacity;
        ++edges_[static_cast<size_t>(edge.to)][edge.reverse].capacity;
    }
    return true;
}

int MaxFlow::flowOn(EdgeRef e) const {
    if (e.from < 0) return 0;
    const Edge& edge = edges_[static_cast<size_t>(e.from)][e.index];
    return edge.original - edge.capacity;
}

bool MaxFlow::levelled(int source, int sink) {
    level_.assign(edges_.size(), -1);
    std::queue<int> queue;
    level_[static_cast<size_t>(source)] = 0;
    queue.push(source);
    while (!queue.empty()) {
        const int node = queue.front();
        queue.pop();
        for (const Edge& e : edges_[static_cast<size_t>(node)])
            if (e.capacity > 0 && e.cost == 0 && level_[static_cast<size_t>(e.to)] < 0) {
                level_[static_cast<size_t>(e.to)] = level_[static_cast<size_t>(node)] + 1;
                queue.push(e.to);
            }
    }
    return level_[static_cast<size_t>(sink)] >= 0;
}

int MaxFlow::push(int node, int sink, int limit) {
    if (node == sink) return limit;
    auto& out = edges_[static_cast<size_t>(node)];
    for (size_t& i = next_[static_cast<size_t>(node)]; i < out.size(); ++i) {
        Edge& e = out[i];
        if (e.capacity <= 0 || e.cost != 0 ||
            level_[static_cast<size_t>(e.to)] != level_[static_cast<size_t>(node)] + 1)
            continue;
        if (const int pushed = push(e.to, sink, std::min(limit, e.capacity)); pushed > 0) {
            e.capacity -= pushed;
            edges_[static_cast<size_t>(e.to)][e.reverse].capacity += pushed;
            return pushed;
        }
    }
    return 0;
}

int MaxFlow::run(int source, int sink) {
    int flow = 0;
    while (levelled(source, sink)) {
        next_.assign(edges_.size(), 0);
        while (const int pushed = push(source, sink, std::numeric_limits<int>::max()))
            flow += pushed;
    }
    return flow;
}

int MaxFlow::runCheapest(int source, int sink) {
    int flow = run(source, sink);
    // Bellman-Ford by queue: the residual network has edges of negative cost (a unit sent
    // back), never a cycle of negative cost while the flow is the cheapest for its amount.
    constexpr long long unreached = std::numeric_limits<long long>::max();
    std::vector<long long> distance;
    std::vector<std::pair<int, size_t>> via;  // (node, edge) each node was reached by
    std::vector<char> queued;
    for (;;) {
        distance.assign(edges_.size(), unreached);
        via.assign(edges_.size(), {-1, 0});
        queued.assign(edges_.size(), 0);
        std::deque<int> queue{source};
        distance[static_cast<size_t>(source)] = 0;
        while (!queue.empty()) {
            const int node = queue.front();
            queue.pop_front();
            queued[static_cast<size_t>(node)] = 0;
            const auto& out = edges_[static_cast<size_t>(node)];
            for (size_t i = 0; i < out.size(); ++i) {
                const Edge& e = out[i];
                const long long d = distance[static_cast<size_t>(node)] + e.cost;
                if (e.capacity <= 0 || d >= distance[static_cast<size_t>(e.to)]) continue;
                distance[static_cast<size_t>(e.to)] = d;
                via[static_cast<size_t>(e.to)] = {node, i};
                if (!queued[static_cast<size_t>(e.to)]) {
                    queued[static_cast<size_t>(e.to)] = 1;
                    queue.push_back(e.to);
                }
            }
        }
        if (distance[static_cast<size_t>(sink)] == unreached) return flow;
        int room = std::numeric_limits<int>::max();
        for (int node = sink; node != source;) {
            const auto [from, i] = via[static_cast<size_t>(node)];
            room = std::min(room, edges_[static_cast<size_t>(from)][i].capacity);
            node = from;
        }
        for (int node = sink; node != source;) {
            const auto [from, i] = via[static_cast<size_t>(node)];
            Edge& e = edges_[static_cast<size_t>(from)][i];
            e.capacity -= room;
            edges_[static_cast<size_t>(e.to)][e.reverse].capacity += room;
            node = from;
        }
        flow += room;
    }
}

}  // namespace tombra::draw
