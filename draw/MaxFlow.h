#pragma once

// Maximum flow through a small network (Dinic's method): the fairness figures ask how many
// entries can stand within their school's share of each place at once.

#include <cstddef>
#include <vector>

namespace tombra::draw {

class MaxFlow {
  public:
    explicit MaxFlow(int nodes) : edges_(static_cast<size_t>(nodes)) {}
    void add(int from, int to, int capacity);
    // The flow from `source` to `sink`; the network keeps it (call once).
    int run(int source, int sink);

  private:
    struct Edge {
        int to, capacity;
        size_t reverse;
    };
    bool levelled(int source, int sink);
    int push(int node, int sink, int limit);
    std::vector<std::vector<Edge>> edges_;
    std::vector<int> level_;
    std::vector<size_t> next_;
};

}  // namespace tombra::draw
