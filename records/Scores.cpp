#include "records/Scores.h"

#include <algorithm>
#include <vector>

#include "sheet/CellInput.h"

namespace tombra::records {

namespace {

// The digits of a typed result, full-width ones read as half-width; dashes and blanks between
// them are skipped. nullopt when anything else is typed.
std::optional<std::vector<int>> digitsOf(std::string_view typed) {
    std::string text(typed);
    for (const std::string dash : {"ー", "‐"})
        for (size_t at; (at = text.find(dash)) != std::string::npos;)
            text.replace(at, dash.size(), "-");
    const std::optional<std::string> ascii = sheet::halfWidth(text);
    if (!ascii) return std::nullopt;
    std::vector<int> digits;
    for (char c : *ascii) {
        if (c >= '0' && c <= '9')
            digits.push_back(c - '0');
        else if (c != '-' && c != ' ')
            return std::nullopt;
    }
    return digits;
}

}  // namespace

std::string formatName(MatchFormat format) {
    switch (format) {
        case MatchFormat::Three:
            return "３ゲームマッチ";
        case MatchFormat::Five:
            return "５ゲームマッチ";
        case MatchFormat::Seven:
            return "７ゲームマッチ";
        case MatchFormat::Auto:
            break;
    }
    return "自動処理";
}

ScoreReading readScore(std::string_view typed, MatchFormat format) {
    ScoreReading out;
    const std::optional<std::vector<int>> digits = digitsOf(typed);
    if (!digits) {
        out.problem = "数字で入力して下さい（例: 21 または 2-1）";
        return out;
    }
    if (digits->empty() || (digits->size() == 1 && (*digits)[0] == 0) ||
        (digits->size() == 2 && (*digits)[0] == 0 && (*digits)[1] == 0)) {
        out.empty = true;
        return out;
    }
    if (digits->size() > 2) {
        out.problem = "結果は２けたまでです（上の線の得点、下の線の得点）";
        return out;
    }
    Score s = digits->size() == 1 ? Score{0, (*digits)[0]} : Score{(*digits)[0], (*digits)[1]};
    if (s.upper == s.lower) {
        out.problem = "引き分けの結果は記録できません";
        return out;
    }
    if (format != MatchFormat::Auto) {
        const int needed = static_cast<int>(format) / 2 + 1;
        if (std::max(s.upper, s.lower) != needed || std::min(s.upper, s.lower) >= needed) {
            out.problem = formatName(format) + "の結果になりません（勝者は " +
                          std::to_string(needed) + " ゲーム）";
            return out;
        }
    }
    out.score = s;
    return out;
}

}  // namespace tombra::records
