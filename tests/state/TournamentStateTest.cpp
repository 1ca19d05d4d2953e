#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "state/TournamentState.h"

namespace tombra {
namespace {

template <typename Table>
bool isEmpty(const Table& table) {
    return std::all_of(table.begin(), table.end(),
                       [](const auto& v) { return v == typename Table::value_type{}; });
}

// What File > Open empties, and what it must keep. Templates so that both const and
// mutable states give a tuple of references.
template <typename State>
auto clearedTables(State& s) {
    return std::tie(s.EntryName, s.EntryAffiliation, s.EntryPresence, s.SchoolEntryCount,
                    s.PositionEntry, s.SchoolSeedCount, s.SchoolBlock, s.EntryTable,
                    s.ColumnLetters, s.TableSize, s.TableOrder, s.TableSlot, s.SlotBlock,
                    s.TableShape, s.TableSecondSchool, s.EntryPlaced, s.LeagueRankLabel);
}

template <typename State>
auto clearedScalars(State& s) {
    return std::tie(s.GenderName, s.EventName, s.EventCode, s.BracketPrintOnly, s.WorkbookPath,
                    s.SeedCount, s.EntryCount, s.MaxSchoolEntries, s.SchoolCount, s.TableCount,
                    s.DrawDone, s.PageCount, s.BracketLineNumber, s.PageBottomRow, s.CurrentPage,
                    s.MaxTableSize, s.TimeTableSetting, s.LeagueCancelled, s.BlockCount);
}

template <typename State>
auto keptItems(State& s) {
    return std::tie(s.LeagueThenTournament, s.PrintTitle, s.ExtractSurname, s.DoublesLineBreak,
                    s.AutoTeamLetters, s.BlockMode, s.SuperSeedCount, s.SuperSeedStartRound,
                    s.LeagueSuperSeedCount, s.LeagueSize, s.LeagueRemainderOrder,
                    s.BracketLabelMode, s.ExcelStartFailed, s.MatchFormat, s.WinLineColour,
                    s.ScoreColour, s.EraseMatchNumbers, s.ScoreFontSize, s.PageGapFontSize,
                    s.EntryFormMode, s.EntryFormSchool, s.MaxSchoolNo);
}

template <typename Tuple, typename F>
void forEach(const Tuple& items, F f) {
    std::apply([&](auto&... item) { (f(item), ...); }, items);
}

// Gives an item a value other than its default.
struct Soil {
    template <typename T>
    void operator()(T& item) const {
        if constexpr (std::is_same_v<T, String>) {
            item = "x";
        } else if constexpr (std::is_arithmetic_v<T>) {
            item = T(7);
        } else if constexpr (std::is_same_v<typename T::value_type, String>) {
            item.fill("x");
        } else {
            item.fill(typename T::value_type(-1));
        }
    }
};

TEST(TournamentState, SecondOpenLeavesNoTraceOfTheFirstWorkbook) {
    TournamentState s;  // on the stack: the big tables live on the heap
    forEach(clearedTables(s), Soil{});
    forEach(clearedScalars(s), Soil{});
    forEach(keptItems(s), Soil{});
    const TournamentState before = s;

    s.resetAtOpen();

    forEach(clearedTables(s), [](auto& table) { EXPECT_TRUE(isEmpty(table)) << table.name(); });
    const TournamentState fresh;
    EXPECT_EQ(clearedScalars(s), clearedScalars(fresh));
    EXPECT_EQ(keptItems(s), keptItems(before));
    EXPECT_NE(keptItems(s), keptItems(fresh));
}

TEST(TournamentState, OpenConstantsAndColumnLetters) {
    TournamentState s;
    s.MaxSchoolNo = 150;  // as the bracket-only print leaves it
    s.MaxEntryRows = s.EntryRuleLastColumn = s.PagePhaseCount = 0;
    s.setOpenConstants();
    EXPECT_EQ(std::tie(s.MaxEntryRows, s.MaxSchoolNo, s.EntryRuleLastColumn, s.PagePhaseCount),
              std::make_tuple(1024, 200, 9, 4));

    s.fillColumnLetters();
    EXPECT_EQ(s.ColumnLetters(0), "");
    EXPECT_EQ(s.ColumnLetters(1), "a");
    EXPECT_EQ(s.ColumnLetters(26), "z");
    EXPECT_EQ(s.ColumnLetters(27), "aa");
    EXPECT_EQ(s.ColumnLetters(30), "ad");
}

TEST(StateTable, EveryTableRefusesIndicesOutsideItsRange) {
    TournamentState s;
    forEach(clearedTables(s), [](auto& table) {
        using Table = std::decay_t<decltype(table)>;
        if constexpr (requires { Table::upper(); }) {
            EXPECT_NO_THROW(table(Table::upper())) << table.name();
            EXPECT_THROW(table(Table::upper() + 1), std::out_of_range) << table.name();
            EXPECT_THROW(table(-1), std::out_of_range) << table.name();
        } else {
            EXPECT_NO_THROW(table(Table::rowUpper(), Table::columnUpper())) << table.name();
            EXPECT_THROW(table(Table::rowUpper() + 1, 0), std::out_of_range) << table.name();
            EXPECT_THROW(table(0, Table::columnUpper() + 1), std::out_of_range) << table.name();
            EXPECT_THROW(table(0, -1), std::out_of_range) << table.name();
        }
    });
    EXPECT_EQ(std::make_pair(s.EntryName.rowUpper(), s.EntryName.columnUpper()),
              std::make_pair(200, 99));
    EXPECT_EQ(std::make_pair(s.TableSlot.rowUpper(), s.TableSlot.columnUpper()),
              std::make_pair(128, 128));
    EXPECT_EQ(std::make_pair(s.EntryTable.rowUpper(), s.EntryTable.columnUpper()),
              std::make_pair(300, 10));
    EXPECT_EQ(s.PositionEntry.upper(), 1024);
    EXPECT_THROW(s.PositionEntry(4294967296LL + 3), std::out_of_range);  // no wrap-around
    try {
        s.EntryName(201, 5) = "name";
        ADD_FAILURE() << "no exception";
    } catch (const TableIndexError& e) {
        EXPECT_STREQ(e.what(), "表 EntryName に番号 (201, 5) はありません（範囲 0～200, 0～99）");
    }
}

TEST(StateTable, TwoDimensionalElementsDoNotAlias) {
    Table2<int, 4, 9> table{"grid"};
    for (int k = 0; k < 50; ++k) table(k / 10, k % 10) = k;
    for (int k = 0; k < 50; ++k) EXPECT_EQ(table(k / 10, k % 10), k);
}

}  // namespace
}  // namespace tombra
