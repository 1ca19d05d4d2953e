#pragma once

// Flow through a small network: how many entries can stand within their school's share of
// each place at once (Dinic's method over the edges that cost nothing), then the cheapest way
// to send the rest (successive shortest paths), so that what must stand beyond a share does
// where it weighs least.

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
    // An edge of no capacity is left out (its reference then carries no flow).
    EdgeRef add(int from, int to, int capacity, int cost = 0);
    // Sends one unit along `path` when every edge of it has room: a flow to start from, so
    // that what the runs add changes as little of it as an augmenting path must.
    bool preload(const std::vector<EdgeRef>& path);
    // The most flow from `source` to `sink` over the edges that cost nothing, added to what
    // was preloaded or run before; the network keeps it.
    int run(int source, int sink);
    // Then the most flow over every edge, the cheapest way: each further unit takes the
    // cheapest path left. The flow already there must be the cheapest for its amount, as a
    // flow of `run` alone is.
    int runCheapest(int source, int sink);
    int flowOn(EdgeRef edge) const;

  private:
    struct Edge {
        int to, capacity, original, cost;
        size_t reverse;
    };
    bool levelled(int source, int sink);
    int push(int node, int sink, int limit);
    std::vector<std::vector<Edge>> edges_;
    std::vector<int> level_;
    std::vector<size_t> next_;
};

}  // namespace tombra::draw
