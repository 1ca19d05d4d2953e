#include "draw/TableSizing.h"

#include <vector>

#include "draw/SeedingOrder.h"
#include "state/Numbers.h"

namespace tombra::draw {

namespace {

constexpr Single kOpen = -1;
constexpr int kMaxSlots = 128;

// Slots 1..capacity of table t that no position uses yet.
int unusedSlots(const TournamentState& s, int t, int capacity) {
    int n = 0;
    for (int k = 1; k <= capacity; ++k)
        if (s.TableSlot(t, k) == 0) ++n;
    return n;
}

bool openFirstUnused(TournamentState& s, int t, int capacity) {
    for (int k = 1; k <= capacity; ++k) {
        if (s.TableSlot(t, k) == 0) {
            s.TableSlot(t, k) = kOpen;
            return true;
        }
    }
    return false;
}

int openRun(const TournamentState& s, int t) {
    int k = 1;
    while (k <= kMaxSlots && s.TableSlot(t, k) == kOpen) ++k;
    return k - 1;
}

}  // namespace

void clearDrawGrid(TournamentState& s) {
    s.TableSize.fill(0);
    s.TableSlot.fill(0);
    s.SlotBlock.fill(0);
}

int tableCapacity(int rank, int superSeeds) { return rank <= superSeeds ? 1 : kMaxSlots; }

std::optional<std::string> sizeTablesSerpentine(TournamentState& s, int superSeeds,
                                                bool leagueResult) {
    const int tables = s.TableCount;
    const std::vector<int> byRank = tablesByRank(s);
    int n = s.EntryCount;

    // Checked before dealing: when the positions run out half way the passes would never end.
    int room = 0;
    for (int r = 1; r <= tables; ++r)
        room += unusedSlots(s, byRank[r], tableCapacity(r, superSeeds));
    if (n > room) {
        std::string text = "テーブルの枠が足りません（エントリー数 " + numberText(n) +
                           "、テーブル " + numberText(tables) + " の枠 " + numberText(room) + "）";
        if (superSeeds > 0)
            text += "\nスーパーシード " + numberText(superSeeds) + " のテーブルは１枠です";
        return text + "\nテーブル数を増やしてください";
    }

    for (int pass = 1; n >= 1; ++pass) {
        for (int i = 1; i <= tables && n >= 1; ++i) {
            const int r = pass % 2 == 1 ? i : tables + 1 - i;
            if (openFirstUnused(s, byRank[r], tableCapacity(r, superSeeds))) --n;
        }
    }

    for (int t = 1; t <= tables; ++t) {
        const bool superSeedTable = s.TableOrder(t) <= superSeeds;
        s.TableSize(t) = static_cast<Integer>(leagueResult && superSeedTable ? 1 : openRun(s, t));
    }
    return std::nullopt;
}

std::optional<std::string> sizeTablesAsLeagues(TournamentState& s) {
    const int tables = s.TableCount, size = s.LeagueSize, n = s.EntryCount;
    // Two leagues and a leftover entry must fit one table.
    if (size < 1 || 2 * size + 1 > kMaxSlots)
        return "リーグ人数 " + numberText(size) + " ではテーブルを組めません";
    const std::vector<int> byRank = tablesByRank(s);
    const int leagues = n / size, extra = leagues - tables, leftover = n % size;
    if (extra > tables)
        return "リーグ数 " + numberText(leagues) + " に対してテーブル数 " + numberText(tables) +
               " が少なすぎます（１テーブル２リーグまで）\nテーブル数を増やしてください";

    for (int t = 1; t <= tables; ++t) s.TableSize(t) = static_cast<Integer>(size);
    for (int i = 1; i <= extra; ++i)
        s.TableSize(byRank[tables + 1 - i]) += static_cast<Integer>(size);
    for (int x = 1; x <= leftover; ++x) {
        const int rank = s.LeagueRemainderOrder == 1 ? tables + 1 - x : x;
        s.TableSize(byRank[rank]) += 1;
    }
    for (int t = 1; t <= tables; ++t)
        for (int k = 1; k <= s.TableSize(t); ++k) s.TableSlot(t, k) = kOpen;
    return std::nullopt;
}

}  // namespace tombra::draw
