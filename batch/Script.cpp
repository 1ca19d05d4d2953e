#include "batch/Script.h"

#include <charconv>
#include <fstream>
#include <iterator>

namespace tombra::batch {

using nlohmann::ordered_json;

namespace {

std::string stepLabel(int number) { return "手順 " + std::to_string(number); }

std::optional<std::uint32_t> seedFromJson(const ordered_json& value) {
    if (value.is_number_unsigned() && value.get<std::uint64_t>() <= UINT32_MAX)
        return static_cast<std::uint32_t>(value.get<std::uint64_t>());
    if (value.is_number_integer() && value.get<std::int64_t>() >= 0 &&
        value.get<std::int64_t>() <= UINT32_MAX)
        return static_cast<std::uint32_t>(value.get<std::int64_t>());
    return std::nullopt;
}

std::vector<FormValues> readForms(const ordered_json& forms, const std::string& at) {
    if (!forms.is_object())
        throw ScriptError(at + ": forms は {\"Form3\": {\"Option2\": true}} の形で書いて下さい");
    std::vector<FormValues> out;
    for (const auto& [form, controls] : forms.items()) {
        if (!controls.is_object())
            throw ScriptError(at + ": forms の " + form +
                              " はコントロール名と値の組 {\"Option2\": true} で書いて下さい");
        FormValues values{form, {}};
        for (const auto& [control, value] : controls.items()) {
            if (value.is_boolean()) {
                values.controls.emplace_back(control, value.get<bool>());
            } else if (value.is_string()) {
                values.controls.emplace_back(control, value.get<std::string>());
            } else {
                throw ScriptError(at + ": " + form + " の " + control + " の値 " + value.dump() +
                                  " は使えません（true、false か \"文字列\" で書いて下さい）");
            }
        }
        out.push_back(std::move(values));
    }
    return out;
}

std::vector<std::string> readStrings(const ordered_json& list, const std::string& what,
                                     const std::string& at) {
    bool ok = list.is_array();
    for (const ordered_json& v : list) ok = ok && v.is_string();
    if (!ok) throw ScriptError(at + ": " + what + " は文字列の配列 [\"...\"] で書いて下さい");
    return list.get<std::vector<std::string>>();
}

Step readStep(const ordered_json& json, int number) {
    const std::string at = stepLabel(number);
    if (!json.is_object()) throw ScriptError(at + " は {\"command\": \"...\"} の形で書いて下さい");
    Step step;
    step.number = number;
    for (const auto& [key, value] : json.items()) {
        if (key == "command") {
            if (!value.is_string() || value.get<std::string>().empty())
                throw ScriptError(at + ": command にはメニューの項目を文字列で書いて下さい");
            step.command = value.get<std::string>();
        } else if (key == "forms") {
            step.forms = readForms(value, at);
        } else if (key == "press") {
            if (!value.is_object())
                throw ScriptError(at + ": press は {\"Form3\": \"Command2\"} の形で書いて下さい");
            for (const auto& [form, button] : value.items()) {
                if (!button.is_string())
                    throw ScriptError(at + ": press の " + form +
                                      " にはボタン名を文字列で書いて下さい");
                step.press[form] = button.get<std::string>();
            }
        } else if (key == "files") {
            step.files = readStrings(value, "files", at);
        } else if (key == "answers") {
            for (const std::string& text : readStrings(value, "answers", at)) {
                std::optional<ui::Answer> answer = answerFromText(text);
                if (!answer)
                    throw ScriptError(at + ": answers の「" + text +
                                      "」は答えになりません（OK、キャンセル、はい、いいえ）");
                step.answers.push_back(*answer);
            }
        } else {
            throw ScriptError(at + " に知らない項目 \"" + key +
                              "\" があります（command、forms、press、files、answers が使えます）");
        }
    }
    if (step.command.empty()) throw ScriptError(at + " に command がありません");
    return step;
}

}  // namespace

const FormValues* Step::valuesFor(const std::string& form) const {
    for (const FormValues& v : forms)
        if (v.form == form) return &v;
    return nullptr;
}

std::optional<ui::Answer> answerFromText(const std::string& text) {
    for (ui::Answer a : {ui::Answer::Ok, ui::Answer::Cancel, ui::Answer::Yes, ui::Answer::No})
        if (text == ui::answerText(a)) return a;
    return std::nullopt;
}

std::optional<std::uint32_t> seedFromText(const std::string& text) {
    std::uint32_t seed = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, seed);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return seed;
}

Script parseScript(const ordered_json& json) {
    if (!json.is_object())
        throw ScriptError("スクリプトは {\"steps\": [...]} の形の JSON で書いて下さい");
    Script script;
    bool hasSteps = false;
    for (const auto& [key, value] : json.items()) {
        if (key == "seed") {
            script.seed = seedFromJson(value);
            if (!script.seed)
                throw ScriptError("seed は 0 から 4294967295 までの整数で書いて下さい");
        } else if (key == "steps") {
            if (!value.is_array()) throw ScriptError("steps は手順の配列 [...] で書いて下さい");
            hasSteps = true;
            for (const ordered_json& step : value)
                script.steps.push_back(readStep(step, static_cast<int>(script.steps.size()) + 1));
        } else {
            throw ScriptError("知らない項目 \"" + key +
                              "\" があります（seed と steps が使えます）");
        }
    }
    if (!hasSteps) throw ScriptError("steps（手順の配列）がありません");
    return script;
}

ordered_json readScriptFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ScriptError(path + " を読めません");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw ScriptError(path + " を読めません");
    try {
        return ordered_json::parse(text);
    } catch (const ordered_json::parse_error& e) {
        // The parser counts bytes; people count lines and characters.
        size_t upTo = std::min<size_t>(e.byte == 0 ? 0 : e.byte - 1, text.size());
        int line = 1, column = 1;
        for (size_t i = 0; i < upTo; ++i) {
            unsigned char c = static_cast<unsigned char>(text[i]);
            if (c == '\n') {
                ++line;
                column = 1;
            } else if ((c & 0xC0) != 0x80) {
                ++column;
            }
        }
        throw ScriptError(path + " は JSON として読めません（" + std::to_string(line) + " 行 " +
                          std::to_string(column) + " 文字目）");
    }
}

}  // namespace tombra::batch
