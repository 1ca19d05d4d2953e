#pragma once

// The matches between pages ("頁間" in the time table) join the winners of whole pages, which
// the bracket sheet draws no line for. Their results are written as a line of text in the
// footer row of the last page of the upper group, where the two groups of pages meet.

#include <string>
#include <vector>

#include "records/BracketMatches.h"
#include "records/Scores.h"
#include "records/TimeTableResults.h"

namespace tombra::sheet {
class Worksheet;
}

namespace tombra::records {

struct PageGapLook {
    int fontSize = 12;
    int colour = 1;
};

// Writes what `results` hold for the between-pages matches and returns the problems, each
// naming its time-table cell. `base` is the bracket as built: the rows written before are put
// back from it first, so that a second record gives what one gives.
std::vector<std::string> recordPageGaps(sheet::Worksheet& bracket, const sheet::Worksheet& base,
                                        const BracketLayout& layout,
                                        const TimeTableResults& results, MatchFormat format,
                                        PageGapLook look);

// "頁間 9-1　1頁 対 2頁　2－1　1頁の勝ち": the text for one match, its pages numbered from 1.
std::string pageGapText(const std::string& label, int firstPage, int pagesEach, const Score& score);

}  // namespace tombra::records
