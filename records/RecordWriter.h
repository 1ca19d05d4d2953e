#pragma once

// Results onto a bracket sheet: each match's scores beside its incoming lines and its
// winner's way drawn thick, from the vertical line on to the next round; and what the results
// make of the later rounds' players.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "records/BracketMatches.h"
#include "records/Scores.h"
#include "records/TimeTableResults.h"

namespace tombra::sheet {
class Worksheet;
}

namespace tombra::records {

struct RecordLook {
    int scoreFontSize = 9;
    int scoreColour = 1;  // palette index: 1 black, 3 red, 5 blue
    int winLineColour = 1;
    // A league-fed bracket's first-round lines reach one column further in, to the leagues'
    // positions: the winner's way starts there.
    bool leagueFed = false;
};

struct PlayerOnSheet {
    std::string number, name, affiliation;
};

struct RecordOutcome {
    std::vector<std::string> problems;  // each naming the time-table cell
};

class RecordWriter {
  public:
    // `base`: the bracket sheet as it was before any record, with all its match labels. The
    // matches are read from it, and every cell a record writes is put back as it has it, so
    // that a second record gives what one record gives.
    RecordWriter(sheet::Worksheet& bracket, sheet::Worksheet& base, const BracketLayout& layout,
                 RecordLook look);

    const BracketMatches& matches() const { return matches_; }
    // Checks every result first: a bad score, or a match whose players are not known yet,
    // writes nothing for that match (and so for the matches after it).
    // The left halves page by page, then the right, each from the outside in; `scanning` hears of
    // each column as it begins.
    using ColumnStart = std::function<void(int page, bool right, int sheetColumn)>;
    RecordOutcome record(const TimeTableResults& results, MatchFormat format,
                         const ColumnStart& scanning = {});
    // The player whose line comes in on `row` of the match: the winner of the match feeding
    // it, or the player written there; nullopt while the feeding match has no result.
    std::optional<PlayerOnSheet> playerOn(const BracketMatch& match, int row) const;
    std::optional<PlayerOnSheet> winnerOf(size_t match) const;
    void eraseLabels();

  private:
    void writeScores(const BracketMatch& match, const Score& score);
    void drawWinner(const BracketMatch& match, bool upper);
    bool reachesPositions(const BracketMatch& match) const;
    // The cells a record may write for one match.
    std::vector<std::pair<int, int>> touchedCells(const BracketMatch& match) const;
    // The players of the match are known: the matches feeding it have results.
    std::optional<std::string> unknownPlayers(const BracketMatch& match) const;

    sheet::Worksheet& sheet_;
    BracketLayout layout_;
    RecordLook look_;
    BracketMatches matches_;
    std::vector<std::optional<Score>> scores_;  // by match
};

}  // namespace tombra::records
