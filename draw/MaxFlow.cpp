#include "draw/MaxFlow.h"

#include <algorithm>
#include <limits>
#include <queue>

namespace tombra::draw {

MaxFlow::EdgeRef MaxFlow::add(int from, int to, int capacity, bool widenLater) {
    if (capacity <= 0 && !widenLater) return {};
    capacity = std::max(0, capacity);
    auto& out = edges_[static_cast<size_t>(from)];
    auto& back = edges_[static_cast<size_t>(to)];
    out.push_back({to, capacity, capacity, back.size()});
    back.push_back({from, 0, 0, out.size() - 1});
    return {from, out.size() - 1};
}

void MaxFlow::widen(EdgeRef e, int more) {
    if (e.from < 0) return;
    Edge& edge = edges_[static_cast<size_t>(e.from)][e.index];
    edge.capacity += more;
    edge.original += more;
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
            if (e.capacity > 0 && level_[static_cast<size_t>(e.to)] < 0) {
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
        if (e.capacity <= 0 ||
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

}  // namespace tombra::draw
