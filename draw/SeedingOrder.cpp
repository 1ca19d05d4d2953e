#include "draw/SeedingOrder.h"

#include <stdexcept>
#include <string>

namespace tombra::draw {

bool isBracketTableCount(int tables) {
    return tables == 8 || tables == 16 || tables == 32 || tables == 64 || tables == 128;
}

void buildTableOrder(TournamentState& s, int tables) {
    if (!isBracketTableCount(tables))
        throw std::invalid_argument("no seeding order for " + std::to_string(tables) + " tables");

    // Doublings needed beyond the order of four: 8 tables need one, 128 need five.
    int passes = 0;
    for (int a = tables; a > 4; a /= 2) ++passes;

    s.TableOrder(1) = 1;
    s.TableOrder(2) = 4;
    s.TableOrder(3) = 3;
    s.TableOrder(4) = 2;
    for (int j = 1; j <= passes; ++j) {
        const int c = 4 << j, d = c / 2;
        // Each pass doubles the bracket: the upper half takes the ranks so far, spread onto
        // odd and even ranks; the lower half repeats the new upper half two ranks apart.
        for (int k = 1; k <= c; ++k) {
            Integer& order = s.TableOrder(k);
            if (k <= d)
                order = static_cast<Integer>(k % 2 == 1 ? 2 * order - 1 : 2 * order);
            else
                order = static_cast<Integer>(k % 2 == 1 ? s.TableOrder(k - d) + 2
                                                        : s.TableOrder(k - d) - 2);
        }
    }
}

std::vector<int> tablesByRank(const TournamentState& s) {
    const int tables = s.TableCount;
    std::vector<int> byRank(static_cast<std::size_t>(tables) + 1, 0);
    for (int t = 1; t <= tables; ++t) {
        const int rank = s.TableOrder(t);
        if (rank >= 1 && rank <= tables) byRank[static_cast<std::size_t>(rank)] = t;
    }
    return byRank;
}

}  // namespace tombra::draw
