#include "adjust/DrawGrid.h"

#include <algorithm>
#include <utility>

#include "draw/ShareArrangement.h"
#include "state/EntryCode.h"

namespace tombra::adjust {

namespace {

constexpr int kMaxTable = decltype(TournamentState::TableSlot)::rowUpper();
constexpr int kMaxSlot = decltype(TournamentState::TableSlot)::columnUpper();

}  // namespace

int tableCount(const TournamentState& s) { return std::clamp<int>(s.TableCount, 0, kMaxTable); }

int tableSize(const TournamentState& s, int t) {
    return std::clamp<int>(s.TableSize(t), 0, kMaxSlot);
}

// Entry codes start at school 1; anything below is open (-1) or no position (0).
bool holdsEntry(Single code) { return code >= 1.0f; }

int schoolAt(const TournamentState& s, int t, int slot) {
    const Single code = s.TableSlot(t, slot);
    if (!holdsEntry(code)) return 0;
    const int school = decodeEntry(code).school;
    return school <= kMaxId ? school : 0;
}

int blockAt(const TournamentState& s, int t, int slot) {
    if (!holdsEntry(s.TableSlot(t, slot))) return 0;
    const int block = s.SlotBlock(t, slot);
    return block >= 1 && block <= kMaxId ? block : 0;
}

void exchange(TournamentState& s, int t1, int slot1, int t2, int slot2) {
    std::swap(s.TableSlot(t1, slot1), s.TableSlot(t2, slot2));
    std::swap(s.SlotBlock(t1, slot1), s.SlotBlock(t2, slot2));
}

TableCounts::TableCounts(const TournamentState& s, Identity identity)
    : identity_(identity), counts_(static_cast<std::size_t>((kMaxTable + 1) * (kMaxId + 1)), 0) {
    for (int t = 1; t <= tableCount(s); ++t)
        for (int slot = 1; slot <= tableSize(s, t); ++slot)
            if (const int id = at(s, t, slot); id != 0) ++cell(t, id);
}

int TableCounts::at(const TournamentState& s, int t, int slot) const {
    return identity_ == Identity::School ? schoolAt(s, t, slot) : blockAt(s, t, slot);
}

int TableCounts::count(int t, int id) const {
    if (t < 0 || t > kMaxTable || id < 1 || id > kMaxId) return 0;
    return counts_[static_cast<std::size_t>(t * (kMaxId + 1) + id)];
}

int& TableCounts::cell(int t, int id) {
    return counts_[static_cast<std::size_t>(t * (kMaxId + 1) + id)];
}

void TableCounts::exchanged(const TournamentState& s, int t1, int slot1, int t2, int slot2) {
    if (t1 == t2) return;
    const int a = at(s, t1, slot1), b = at(s, t2, slot2);
    if (a != 0) --cell(t1, a), ++cell(t2, a);
    if (b != 0) --cell(t2, b), ++cell(t1, b);
}

TableShares::TableShares(const TournamentState& s) : most_(kMaxId + 1, 0) {
    const int tables = tableCount(s);
    for (int t = 1; t <= tables; ++t)
        for (int slot = 1; slot <= tableSize(s, t); ++slot)
            if (const int school = schoolAt(s, t, slot); school != 0)
                ++most_[static_cast<size_t>(school)];
    for (int& n : most_) n = draw::fairShare(n, tables);
}

int TableShares::most(int school) const {
    return school >= 1 && school <= kMaxId ? most_[static_cast<size_t>(school)] : 1;
}

bool SeedPositions::isSeed(Single code) const {
    if (!holdsEntry(code)) return false;
    const DecodedEntry e = decodeEntry(code);
    return lookup_.contains(e.school, e.entry);
}

}  // namespace tombra::adjust
