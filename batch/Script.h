#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "ui/Shell.h"

namespace tombra::batch {

// A mistake in the script itself, as opposed to anything the program reports to the user.
// The text is for the user, in Japanese, without the "スクリプトの誤り: " prefix.
class ScriptError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Far beyond any real script (a few levels of brackets, a few kilobytes), these keep a mistaken
// file from exhausting memory or the stack before it is even checked.
inline constexpr std::uintmax_t kMaxScriptBytes = 4 * 1024 * 1024;
inline constexpr int kMaxScriptNesting = 64;
// How many characters of a text from the script a message quotes.
inline constexpr std::size_t kMaxQuotedChars = 200;

// A text from the script as messages quote it: after kMaxQuotedChars characters it is cut,
// never inside a character, and "…" marks the cut.
std::string excerpt(const std::string& text);

// true/false for option buttons and check boxes, a text for text boxes.
using ControlValue = std::variant<bool, std::string>;

struct FormValues {
    std::string form;
    // In the order the script gives them: a change may enable or preset another control.
    std::vector<std::pair<std::string, ControlValue>> controls;
};

struct Step {
    int number = 0;  // 1-based, as the transcript counts
    std::string command;
    std::vector<FormValues> forms;
    std::map<std::string, std::string> press;  // form name -> button name
    std::vector<std::string> files;
    std::vector<ui::Answer> answers;
    // "cells": texts typed into the workbook before the command runs, by "Sheet!B3".
    std::vector<std::pair<std::string, std::string>> cells;
    // "seed": the command draws with this lottery number, as a log's "抽選番号" gives it.
    std::optional<std::uint32_t> seed;

    const FormValues* valuesFor(const std::string& form) const;
};

struct Script {
    std::optional<std::uint32_t> seed;
    std::vector<Step> steps;
};

// Checks the shape of a script and reads it. Throws ScriptError naming the step and the
// item at fault. Whether commands, forms and controls exist is checked elsewhere.
Script parseScript(const nlohmann::ordered_json& json);

// Reads and parses a script file. Throws ScriptError for anything but a regular file, a file
// over kMaxScriptBytes, brackets nested deeper than kMaxScriptNesting or broken JSON (with the
// line and column of the fault).
nlohmann::ordered_json readScriptFile(const std::string& path);

// "OK", "キャンセル", "はい", "いいえ"; nullopt for any other text.
std::optional<ui::Answer> answerFromText(const std::string& text);

// A seed as given on the command line or in the script; nullopt when it is not a whole
// number in 0..4294967295.
std::optional<std::uint32_t> seedFromText(const std::string& text);

}  // namespace tombra::batch
