#include "records/PageGapRecord.h"

#include <set>

#include "sheet/Constants.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"

namespace tombra::records {

namespace {

const char* const kFont = "MS P明朝";

std::string pagesText(int first, int count) {
    if (count == 1) return numberText(first) + "頁";
    return numberText(first) + "～" + numberText(first + count - 1) + "頁";
}

}  // namespace

std::string pageGapText(const std::string& label, int firstPage, int pagesEach,
                        const Score& score) {
    const std::string upper = pagesText(firstPage, pagesEach);
    const std::string lower = pagesText(firstPage + pagesEach, pagesEach);
    return "頁間 " + label + "　" + upper + " 対 " + lower + "　" + numberText(score.upper) + "－" +
           numberText(score.lower) + "　" + (score.upperWins() ? upper : lower) + "の勝ち";
}

std::vector<std::string> recordPageGaps(sheet::Worksheet& bracket, const sheet::Worksheet& base,
                                        const BracketLayout& layout,
                                        const TimeTableResults& results, MatchFormat format,
                                        PageGapLook look) {
    std::vector<std::string> problems;
    const std::vector<int> footers = pageFooterRows(base, layout);
    const int column = layout.leftNumber;
    for (int row : footers) bracket.copyCellFrom(base, row, column);

    // The levels are the block's rounds in order: level 1 joins pages two by two.
    std::set<int> ordinals;
    for (const std::string& label : results.order)
        if (results.byLabel.at(label).betweenPages)
            ordinals.insert(static_cast<int>(readNumber(label)));
    for (const std::string& label : results.order) {
        const TimeTableEntry& entry = results.byLabel.at(label);
        if (!entry.betweenPages) continue;
        const ScoreReading reading = readScore(entry.result, format);
        if (reading.empty) continue;
        const std::string where = results.cellOf(label) + "（" + label + "）";
        if (!reading.score) {
            problems.push_back(where + "「" + entry.result + "」: " + reading.problem);
            continue;
        }
        const int level =
            static_cast<int>(std::distance(ordinals.begin(),
                                           ordinals.find(static_cast<int>(readNumber(label))))) +
            1;
        const int index = static_cast<int>(readNumber(label.substr(label.find('-') + 1)));
        const int pagesEach = 1 << (level - 1);
        const int firstPage = (index - 1) * 2 * pagesEach + 1;
        const int meeting = firstPage + pagesEach - 1;  // the upper group's last page
        if (index < 1 || meeting + pagesEach > static_cast<int>(footers.size())) {
            problems.push_back(where + ": ヤグラにこの頁間の試合の頁がありません");
            continue;
        }
        const int row = footers[static_cast<size_t>(meeting - 1)];
        bracket.setFont(
            sheet::Area::cell(row, column),
            {.name = kFont, .size = static_cast<double>(look.fontSize), .colorIndex = look.colour});
        // The number column is narrow and distributed: the line runs on to the right instead.
        bracket.setAlignment(sheet::Area::cell(row, column),
                             {.horizontal = sheet::xl::HAlignLeft, .wrapText = false});
        bracket.setText(row, column, pageGapText(label, firstPage, pagesEach, *reading.score));
    }
    return problems;
}

}  // namespace tombra::records
