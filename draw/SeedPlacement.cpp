#include "draw/SeedPlacement.h"

#include <algorithm>
#include <map>
#include <utility>

#include "state/EntryCode.h"
#include "state/Numbers.h"

namespace tombra::draw {

namespace {

constexpr int kMaxSchool = decltype(TournamentState::EntryName)::rowUpper();
constexpr int kMaxEntry = decltype(TournamentState::EntryName)::columnUpper();
constexpr int kMaxSeed = decltype(TournamentState::PositionEntry)::upper();

int lastSeed(const TournamentState& s) { return std::min<int>(s.SeedCount, kMaxSeed); }

bool validEntry(const DecodedEntry& e) {
    return e.school >= 1 && e.school <= kMaxSchool && e.entry >= 1 && e.entry <= kMaxEntry;
}

std::string seedText(int j) { return "シード " + numberText(j); }

}  // namespace

std::optional<std::string> checkSeeds(const TournamentState& s) {
    std::map<std::pair<int, int>, int> seen;
    for (int j = 1; j <= lastSeed(s); ++j) {
        const Single code = s.PositionEntry(j);
        if (code == 0) continue;
        if (j > s.TableCount)
            return seedText(j) + " の入るテーブルがありません（テーブル数 " +
                   numberText(s.TableCount) + "）\nテーブル数を増やしてください";
        const DecodedEntry e = decodeEntry(code);
        if (!validEntry(e) || s.EntryName(e.school, e.entry).empty())
            return seedText(j) + " の選手（" + numberText(code) + "）がエントリーにありません";
        const auto [at, added] = seen.emplace(std::pair{e.school, e.entry}, j);
        if (!added)
            return seedText(at->second) + " と" + seedText(j) + " が同じ選手です（" +
                   s.EntryName(e.school, e.entry) + "）";
        if (s.TableSize(s.TableOrder(j)) < 1) return seedText(j) + " のテーブルに枠がありません";
    }
    return std::nullopt;
}

void placeSeeds(TournamentState& s) {
    for (int j = 1; j <= lastSeed(s); ++j) {
        const Single code = s.PositionEntry(j);
        if (code == 0) continue;
        const int t = s.TableOrder(j);
        const int slot = j % 2 == 1 ? 1 : s.TableSize(t);
        const DecodedEntry e = decodeEntry(code);
        s.TableSlot(t, slot) = code;
        if (s.BlockMode == 1) s.SlotBlock(t, slot) = s.SchoolBlock(e.school);
        s.EntryPresence(e.school, e.entry) = 0;
    }
}

SeedLookup::SeedLookup(const TournamentState& s)
    : seeded_(static_cast<std::size_t>((kMaxSchool + 1) * (kMaxEntry + 1)), false) {
    for (int j = 1; j <= lastSeed(s); ++j) {
        const Single code = s.PositionEntry(j);
        if (code == 0) continue;
        // Compared by school and entry, not by code: a team seed is read as school + (team
        // code / 10 + 1) / 100, which is not exactly the code of its entry.
        const DecodedEntry e = decodeEntry(code);
        if (validEntry(e))
            seeded_[static_cast<std::size_t>(e.school * (kMaxEntry + 1) + e.entry)] = true;
    }
}

bool SeedLookup::contains(int school, int entry) const {
    if (school < 0 || school > kMaxSchool || entry < 0 || entry > kMaxEntry) return false;
    return seeded_[static_cast<std::size_t>(school * (kMaxEntry + 1) + entry)];
}

}  // namespace tombra::draw
