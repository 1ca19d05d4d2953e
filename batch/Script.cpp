#include "batch/Script.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>

#include "app/TypedCells.h"
#include "sheet/WorkbookError.h"

namespace tombra::batch {

using nlohmann::ordered_json;

namespace {

std::string stepLabel(int number) { return "手順 " + std::to_string(number); }

// The bytes of the character starting at `at`; a stray byte counts as a character of its own.
std::size_t characterBytes(const std::string& text, std::size_t at) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    const std::size_t n = c < 0x80           ? 1
                          : (c >> 5) == 0x6  ? 2
                          : (c >> 4) == 0xE  ? 3
                          : (c >> 3) == 0x1E ? 4
                                             : 1;
    if (at + n > text.size()) return 1;
    for (std::size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 1;
    return n;
}

// "2 行 25 文字目" for the character after the first `upTo` bytes: the parser counts bytes,
// people count lines and characters.
std::string placeIn(const std::string& text, std::size_t upTo) {
    upTo = std::min(upTo, text.size());
    int line = 1, column = 1;
    for (std::size_t i = 0; i < upTo; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            ++line;
            column = 1;
        } else if ((c & 0xC0) != 0x80) {
            ++column;
        }
    }
    return std::to_string(line) + " 行 " + std::to_string(column) + " 文字目";
}

// The offset of the first bracket nested deeper than kMaxScriptNesting. Counted on the text:
// a value that deep would overflow the stack once printed or freed.
std::optional<std::size_t> tooDeepAt(const std::string& text) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > kMaxScriptNesting) return i;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return std::nullopt;
}

// The whole file, refused before it is opened unless it is a regular file of a script's size:
// a folder cannot be read, a FIFO or a device could keep the run waiting for ever.
std::string readWholeFile(const std::string& path) {
    const std::string named = excerpt(path);
    const std::string tooLarge = named + " は大きすぎます（スクリプトは " +
                                 std::to_string(kMaxScriptBytes / (1024 * 1024)) + " MB までです）";
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) throw ScriptError(named + " を読めません");
    if (std::filesystem::is_directory(status))
        throw ScriptError(named + " はフォルダです（スクリプトのファイルを指定して下さい）");
    if (!std::filesystem::is_regular_file(status))
        throw ScriptError(named + " は普通のファイルではないので読めません");
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxScriptBytes) throw ScriptError(tooLarge);

    std::ifstream in(path, std::ios::binary);
    if (!in) throw ScriptError(named + " を読めません");
    // The file may have grown since its size was taken.
    std::string text;
    char buffer[64 * 1024];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxScriptBytes) throw ScriptError(tooLarge);
    }
    if (in.bad()) throw ScriptError(named + " を読めません");
    return text;
}

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
            throw ScriptError(at + ": forms の " + excerpt(form) +
                              " はコントロール名と値の組 {\"Option2\": true} で書いて下さい");
        FormValues values{form, {}};
        for (const auto& [control, value] : controls.items()) {
            if (value.is_boolean()) {
                values.controls.emplace_back(control, value.get<bool>());
            } else if (value.is_string()) {
                values.controls.emplace_back(control, value.get<std::string>());
            } else {
                const std::string shown =
                    value.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
                throw ScriptError(at + ": " + excerpt(form) + " の " + excerpt(control) + " の値 " +
                                  excerpt(shown) +
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

// {"男子ＳＴＢ!B3": "3-1", "基礎Ｄ!B4": 2}: a cell of a sheet and the text typed into it.
std::vector<std::pair<std::string, std::string>> readCells(const ordered_json& cells,
                                                           const std::string& at) {
    if (!cells.is_object() || cells.empty())
        throw ScriptError(at + ": cells は {\"シート名!B3\": \"3-1\"} の形で書いて下さい");
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& [reference, value] : cells.items()) {
        std::string text;
        if (value.is_string())
            text = value.get<std::string>();
        else if (value.is_number())
            text = value.dump();
        else
            throw ScriptError(at + ": cells の " + excerpt(reference) +
                              " には入力する文字を \"文字列\" か数で書いて下さい");
        try {
            app::typedCellAt(reference, text);
        } catch (const sheet::WorkbookError& e) {
            throw ScriptError(at + ": cells の " + excerpt(reference) + ": " + e.what());
        }
        out.emplace_back(reference, std::move(text));
    }
    return out;
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
                    throw ScriptError(at + ": press の " + excerpt(form) +
                                      " にはボタン名を文字列で書いて下さい");
                step.press[form] = button.get<std::string>();
            }
        } else if (key == "files") {
            step.files = readStrings(value, "files", at);
        } else if (key == "answers") {
            for (const std::string& text : readStrings(value, "answers", at)) {
                std::optional<ui::Answer> answer = answerFromText(text);
                if (!answer)
                    throw ScriptError(at + ": answers の「" + excerpt(text) +
                                      "」は答えになりません（OK、キャンセル、はい、いいえ）");
                step.answers.push_back(*answer);
            }
        } else if (key == "cells") {
            step.cells = readCells(value, at);
        } else if (key == "seed") {
            step.seed = seedFromJson(value);
            if (!step.seed)
                throw ScriptError(at + ": seed は 0 から 4294967295 までの整数で書いて下さい");
        } else {
            throw ScriptError(
                at + " に知らない項目 \"" + excerpt(key) +
                "\" があります（command、forms、press、files、answers、cells、seed が使えます）");
        }
    }
    if (step.command.empty() && step.cells.empty())
        throw ScriptError(at + " に command も cells もありません");
    return step;
}

}  // namespace

std::string excerpt(const std::string& text) {
    std::size_t at = 0;
    for (std::size_t characters = 0; at < text.size(); ++characters) {
        if (characters == kMaxQuotedChars) return text.substr(0, at) + "…";
        at += characterBytes(text, at);
    }
    return text;
}

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
            throw ScriptError("知らない項目 \"" + excerpt(key) +
                              "\" があります（seed と steps が使えます）");
        }
    }
    if (!hasSteps) throw ScriptError("steps（手順の配列）がありません");
    return script;
}

ordered_json readScriptFile(const std::string& path) {
    const std::string text = readWholeFile(path);
    if (std::optional<std::size_t> at = tooDeepAt(text))
        throw ScriptError(excerpt(path) + " は括弧の入れ子が深すぎます（" + placeIn(text, *at) +
                          "。入れ子は " + std::to_string(kMaxScriptNesting) + " 段までです）");
    try {
        return ordered_json::parse(text);
    } catch (const ordered_json::parse_error& e) {
        throw ScriptError(excerpt(path) + " は JSON として読めません（" +
                          placeIn(text, e.byte == 0 ? 0 : e.byte - 1) + "）");
    }
}

}  // namespace tombra::batch
