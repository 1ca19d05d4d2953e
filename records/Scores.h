#pragma once

// A match result as the office types it into the time table: the games of the two sides, the
// upper line's first ("21", or "2-1"). Which results a match format allows, and who won.

#include <optional>
#include <string>
#include <string_view>

namespace tombra::records {

// 3, 5 or 7 games; 2 lets the result alone decide ("自動処理").
enum class MatchFormat { Auto = 2, Three = 3, Five = 5, Seven = 7 };

struct Score {
    int upper = 0, lower = 0;  // games of the upper line (side 2) and of the lower (side 1)
    bool upperWins() const { return upper > lower; }
};

struct ScoreReading {
    std::optional<Score> score;
    bool empty = false;   // nothing typed (or 0): the match is not written
    std::string problem;  // why a typed result is no result of the format
};

// "21", "2-1", "２－１", "2" (0 and 2): a best-of-N result needs the winner at N/2 + 1 games
// and the loser below; "自動処理" takes any two digits but a tie.
ScoreReading readScore(std::string_view typed, MatchFormat format);

std::string formatName(MatchFormat format);

}  // namespace tombra::records
