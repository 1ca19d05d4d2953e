#pragma once

// How many bracket positions each table gets. Sizing marks the positions open (-1) in
// TableSlot and sets TableSize; it needs TableCount and TableOrder made.

#include <optional>
#include <string>

#include "state/TournamentState.h"

namespace tombra::draw {

// Empties what a draw writes: TableSize, TableSlot and SlotBlock.
void clearDrawGrid(TournamentState& s);

// A table headed by a super seed (seed rank up to `superSeeds`) holds one position, any
// other table 128.
int tableCapacity(int rank, int superSeeds);

// Deals EntryCount positions to the tables in serpentine seed order (ranks 1..T, then T..1,
// ...), each onto the first unused slot of the table, skipping tables at their capacity.
// TableSize(t) becomes the run of open slots from slot 1; on the league-result path the
// super-seed tables keep size 1. Returns why it cannot when the tables cannot hold the
// entries; nothing is changed then.
std::optional<std::string> sizeTablesSerpentine(TournamentState& s, int superSeeds,
                                                bool leagueResult);

// Sizes the tables as leagues of LeagueSize: one league each, the leagues beyond one a table
// to the lowest-ranked tables from the bottom up, the entries left over one each to the
// tables in seed order (LeagueRemainderOrder 0) or reverse seed order (1). Every position is
// opened. Returns why it cannot when there are more than two leagues for some table.
std::optional<std::string> sizeTablesAsLeagues(TournamentState& s);

}  // namespace tombra::draw
