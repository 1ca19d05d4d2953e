#include "adjust/ShareRepair.h"

#include <vector>

#include "adjust/DrawGrid.h"
#include "draw/ShareArrangement.h"
#include "state/EntryCode.h"

namespace tombra::adjust {

int repairShares(TournamentState& s, ShareLevels levels) {
    const int tables = tableCount(s);
    if (tables < 2) return 0;
    std::vector<int> places;
    for (int n = levels == ShareLevels::All ? 2 : tables; n <= tables; n *= 2) places.push_back(n);

    const SeedPositions seeds(s);
    std::vector<draw::Seat> seats;
    struct Held {
        int table, slot;
        Single code;
        Integer block;
    };
    std::vector<Held> held;
    for (int t = 1; t <= tables; ++t)
        for (int slot = 1; slot <= tableSize(s, t); ++slot) {
            const int school = schoolAt(s, t, slot);
            if (school == 0) continue;
            seats.push_back({t, school, seeds.isSeedAt(s, t, slot),
                             decodeEntry(s.TableSlot(t, slot)).entry,
                             s.BlockMode == 1 ? static_cast<int>(s.SlotBlock(t, slot)) : 0});
            held.push_back({t, slot, s.TableSlot(t, slot), s.SlotBlock(t, slot)});
        }
    const std::vector<size_t> from = draw::shareArrangement(seats, tables, places);
    int moved = 0;
    for (size_t at = 0; at < held.size(); ++at) {
        if (from[at] == at) continue;
        // The block travels with its entry, as in every exchange.
        s.TableSlot(held[at].table, held[at].slot) = held[from[at]].code;
        s.SlotBlock(held[at].table, held[at].slot) = held[from[at]].block;
        ++moved;
    }
    return moved;
}

}  // namespace tombra::adjust
