#pragma once

// The ids of the menu items that commands mark or test. The command map names its items with
// these, and the commands set and test their marks with them, so that the order of work
// (open, place, adjust, build) is written down once. An id is the item's control name, or its
// caption where the item has none.

#include <array>

namespace tombra::ids {

inline constexpr const char* kFileOpen = "mnuFileOpen";
inline constexpr const char* kFileSave = "mnuFileSave";
inline constexpr const char* kViewToolbar = "mnuViewToolbar";
inline constexpr const char* kViewStatusBar = "mnuViewStatusBar";

inline constexpr const char* kPlace = "投入";
inline constexpr const char* kPlaceSinglesLeague = "シングルスリーグ投入(&S)";
inline constexpr const char* kPlaceTeamLeague = "団体リーグ投入(&G)";
inline constexpr const char* kPlaceIndividualLeague = "個人リーグ投入(&K)";
inline constexpr const char* kAdjustAffiliations = "調整Ⅰ";
inline constexpr const char* kDistributeEvenly = "均等振分(&R)";
inline constexpr const char* kDistributeNumbers = "ナンバー振分(&N)";
inline constexpr const char* kAdjustPacking = "パッキン";
inline constexpr const char* kAdjustSinglesLeague = "シングルスリーグ調整(&S)";
inline constexpr const char* kAdjustTeamLeague = "団体リーグ調整(&G)";
inline constexpr const char* kAdjustIndividualLeague = "個人リーグ調整(&T)";
inline constexpr const char* kBuildBracket = "ヤグラ作成";
inline constexpr const char* kBuildLeagueBracketLeagues = "リーグヤグラのリーグ作成";
inline constexpr const char* kPrintBracketOnly = "ヤグラのみ印刷";
inline constexpr const char* kBuildTeamLeagueSheet = "団体リーグ表作成";
inline constexpr const char* kBuildIndividualLeagueSheet = "個人リーグ作成(&K)";
inline constexpr const char* kMatchRecords = "記録作成(&K)";
inline constexpr const char* kParticipantList = "参加一覧作成(&I)";
inline constexpr const char* kEntryForms = "参加申込書(&S)";
inline constexpr const char* kRestoreMerges = "セル結合(&R)";

// The marks of placement and output that File > Open clears: a new workbook starts the order
// of work again.
inline constexpr std::array kPlacementAndOutput = {
    kPlace,
    kPlaceSinglesLeague,
    kPlaceTeamLeague,
    kPlaceIndividualLeague,
    kAdjustAffiliations,
    kDistributeEvenly,
    kDistributeNumbers,
    kAdjustPacking,
    kAdjustSinglesLeague,
    kAdjustTeamLeague,
    kAdjustIndividualLeague,
    kBuildBracket,
    kBuildLeagueBracketLeagues,
    kPrintBracketOnly,
    kBuildTeamLeagueSheet,
    kBuildIndividualLeagueSheet,
    kMatchRecords,
    kParticipantList,
    kEntryForms,
    kRestoreMerges,
};

}  // namespace tombra::ids
