#include "records/RecordWriter.h"

#include <algorithm>
#include <tuple>

#include "sheet/Constants.h"
#include "sheet/Worksheet.h"

namespace tombra::records {

namespace xl = sheet::xl;

namespace {
const char* const kScoreFont = "MS P明朝";
}  // namespace

RecordWriter::RecordWriter(sheet::Worksheet& bracket, sheet::Worksheet& base,
                           const BracketLayout& layout, RecordLook look)
    : sheet_(bracket), layout_(layout), look_(look), matches_(findMatches(base, layout)) {
    scores_.resize(matches_.matches.size());
    for (const BracketMatch& m : matches_.matches)
        for (auto [row, column] : touchedCells(m))
            if (row >= 1) sheet_.copyCellFrom(base, row, column);
}

std::vector<std::pair<int, int>> RecordWriter::touchedCells(const BracketMatch& m) const {
    const HalfView half(sheet_, layout_, m.right);
    std::vector<std::pair<int, int>> cells;
    const int top = m.found() ? m.m1 : m.row - 1, bottom = m.found() ? m.m2 + 1 : m.row + 2;
    for (int r = top; r <= bottom; ++r) cells.emplace_back(r, half.column(m.column));
    for (int r = m.row; r <= m.row + 1; ++r) cells.emplace_back(r, half.column(m.column + 1));
    if (m.ordinal == 1 && m.found())
        for (int r : {m.m1, m.m2}) cells.emplace_back(r, half.column(m.column - 1));
    return cells;
}

std::optional<PlayerOnSheet> RecordWriter::playerOn(const BracketMatch& m, int row) const {
    if (const std::optional<size_t> feeder = feederOf(matches_, sheet_, layout_, m, row))
        return winnerOf(*feeder);
    const bool right = m.right;
    const int nameColumn = right ? layout_.rightName : layout_.leftName;
    const int numberColumn = right ? layout_.rightNumber : layout_.leftNumber;
    const int affiliationColumn = right ? layout_.rightAffiliation : layout_.leftAffiliation;
    PlayerOnSheet p{sheet_.text(row, numberColumn), sheet_.text(row, nameColumn),
                    affiliationColumn ? sheet_.text(row, affiliationColumn) : std::string()};
    return p;
}

std::optional<PlayerOnSheet> RecordWriter::winnerOf(size_t match) const {
    const BracketMatch& m = matches_.matches[match];
    if (!scores_[match] || !m.found()) return std::nullopt;
    return playerOn(m, scores_[match]->upperWins() ? m.m1 : m.m2);
}

RecordOutcome RecordWriter::record(const TimeTableResults& results, MatchFormat format,
                                   const ColumnStart& scanning) {
    RecordOutcome out;
    // A match's players come from earlier columns of its own page and half: in this order a
    // later match knows whether they are known.
    std::vector<size_t> order(matches_.matches.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    auto place = [this](size_t i) {
        const BracketMatch& m = matches_.matches[i];
        return std::tuple{m.right, m.page, m.column};
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return place(a) < place(b); });
    std::optional<std::tuple<bool, int, int>> scanned;
    for (size_t i : order) {
        const BracketMatch& m = matches_.matches[i];
        if (scanning && scanned != place(i)) {
            scanned = place(i);
            scanning(m.page, m.right, HalfView(sheet_, layout_, m.right).column(m.column));
        }
        auto entry = results.byLabel.find(m.label);
        if (entry == results.byLabel.end()) continue;
        const ScoreReading reading = readScore(entry->second.result, format);
        const std::string where = results.cellOf(m.label) + "（" + m.label + "）";
        if (reading.empty) continue;  // not played yet: asked about before recording
        if (!reading.score) {
            out.problems.push_back(where + "「" + entry->second.result + "」: " + reading.problem);
            continue;
        }
        if (!m.found()) {
            out.problems.push_back(where + ": ヤグラの線が見つからず、記録できません");
            continue;
        }
        if (const std::optional<std::string> waiting = unknownPlayers(m)) {
            out.problems.push_back(where + ": 対戦する選手がまだ決まっていません（" + *waiting +
                                   " の結果がありません）");
            continue;
        }
        scores_[i] = reading.score;
        writeScores(m, *reading.score);
        drawWinner(m, reading.score->upperWins());
    }
    return out;
}

std::optional<std::string> RecordWriter::unknownPlayers(const BracketMatch& m) const {
    for (int row : {m.m1, m.m2})
        if (const std::optional<size_t> feeder = feederOf(matches_, sheet_, layout_, m, row))
            if (!scores_[*feeder]) return matches_.matches[*feeder].label;
    return std::nullopt;
}

void RecordWriter::writeScores(const BracketMatch& m, const Score& score) {
    const HalfView half(sheet_, layout_, m.right);
    const int column = half.column(m.column);
    // Each score stands by its own line: the upper one above the upper line, the lower one
    // under the lower line, outside the match, as the first round's are.
    const int lowerRow = sheet_.value(m.m2 + 1, column).isEmpty() ? m.m2 + 1 : m.m2;
    for (auto [row, games] : {std::pair{m.m1, score.upper}, {lowerRow, score.lower}}) {
        if (row < 1) continue;
        sheet_.setFont(sheet::Area::cell(row, column),
                       {.name = kScoreFont,
                        .size = static_cast<double>(look_.scoreFontSize),
                        .colorIndex = look_.scoreColour});
        sheet_.setNumber(row, column, games);
    }
}

void RecordWriter::drawWinner(const BracketMatch& m, bool upper) {
    HalfView half(sheet_, layout_, m.right);
    const sheet::BorderChange thick{xl::Continuous, xl::Thick, look_.winLineColour};
    // A half's last match stands in the centre column: its winner goes on off the sheet.
    const bool goesOn = m.column < layout_.centre;
    if (reachesPositions(m)) half.draw(upper ? m.m1 : m.m2, m.column - 1, xl::EdgeBottom, thick);
    if (upper) {
        half.draw(m.m1 + 1, m.column, xl::EdgeTop, thick);
        for (int r = m.m1 + 1; r <= m.row; ++r) half.draw(r, m.column, xl::EdgeRight, thick);
        if (goesOn) half.draw(m.row, m.column + 1, xl::EdgeBottom, thick);
    } else {
        half.draw(m.m2, m.column, xl::EdgeBottom, thick);
        for (int r = m.row + 1; r <= m.m2; ++r) half.draw(r, m.column, xl::EdgeRight, thick);
        if (goesOn) half.draw(m.row + 1, m.column + 1, xl::EdgeTop, thick);
    }
}

bool RecordWriter::reachesPositions(const BracketMatch& m) const {
    return look_.leagueFed && m.ordinal == 1 && m.found();
}

void RecordWriter::eraseLabels() {
    for (const BracketMatch& m : matches_.matches) {
        const HalfView half(sheet_, layout_, m.right);
        sheet_.setText(m.row, half.column(m.column), "");
    }
}

}  // namespace tombra::records
