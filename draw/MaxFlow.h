#pragma once

// Maximum flow through a small network (Dinic's method): the fairness figures ask how many
// entries can stand within their school's share of each place at once.

#include <cstddef>
#include <vector>

namespace tombra::draw {

class MaxFlow {
  public:
    struct EdgeRef {
        int from = -1;
        size_t index = 0;
    };

    explicit MaxFlow(int nodes) : edges_(static_cast<size_t>(nodes)) {}
    // An edge of no capacity is left out (its reference then carries no flow), unless it is
    // to be widened later.
    EdgeRef add(int from, int to, int capacity, bool widenLater = false);
    // Gives an edge more capacity, for a further run that may use it.
    void widen(EdgeRef edge, int more);
    // Sends one unit along `path` when every edge of it has room: a flow to start from, so
    // that what the run adds changes as little of it as an augmenting path must.
    bool preload(const std::vector<EdgeRef>& path);
    // The flow from `source` to `sink` added to what was preloaded or run before; the network
    // keeps it.
    int run(int source, int sink);
    int flowOn(EdgeRef edge) const;

  private:
    struct Edge {
        int to, capacity, original;
        size_t reverse;
    };
    bool levelled(int source, int sink);
    int push(int node, int sink, int limit);
    std::vector<std::vector<Edge>> edges_;
    std::vector<int> level_;
    std::vector<size_t> next_;
};

}  // namespace tombra::draw
