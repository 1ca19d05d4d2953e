#include "batch/ScriptRunner.h"

#include <algorithm>
#include <functional>

#include "app/CommandMap.h"
#include "app/FormCatalog.h"
#include "app/ProgramCommands.h"
#include "app/TypedCells.h"
#include "session/CommandGuard.h"
#include "session/Session.h"
#include "sheet/Workbook.h"

namespace tombra::batch {

namespace {

constexpr const char* kUsage =
    "使い方: tombra-batch SCRIPT.json [--seed N] [--pdf-dir DIR] [--undo-steps N]\n"
    "        tombra-batch --forms\n"
    "  SCRIPT.json    実行するメニューコマンドとダイアログへの答えを書いたスクリプト\n"
    "  --seed N       抽選の乱数の種（スクリプトの seed より優先します）\n"
    "  --pdf-dir DIR  印刷したシートの PDF の書き出し先（既定はブックのフォルダ）\n"
    "  --undo-steps N 元に戻せるコマンドの数の上限（0 で何も記録しません）\n"
    "  --forms        ダイアログとそのコントロールの名前を一覧にして終わります\n"
    "プログラムが表示したものを JSON の行で標準出力に書きます。\n"
    "終了コード: 0 スクリプトを最後まで実行した, 2 スクリプトの誤り\n";

std::string stepLabel(const Step& step) { return "手順 " + std::to_string(step.number); }

// The item a step names, as a user could pick it from the menu bar.
const app::MenuItem& commandItem(const Step& step) {
    const app::MenuItem* item = app::findMenuItem(step.command);
    const std::string at = stepLabel(step) + ": ";
    const std::string named = excerpt(step.command);
    if (!item) throw ScriptError(at + "メニューに「" + named + "」はありません");
    if (!item->children.empty())
        throw ScriptError(at + "「" + named + "」はメニューの見出しです（「" + item->caption +
                          "/...」の形で項目を選んで下さい）");
    if (!item->visible) throw ScriptError(at + "「" + named + "」はメニューに出ていません");
    if (item->windowEdit && !item->command)
        throw ScriptError(at + "「" + item->caption +
                          "」はブックのウィンドウで選んだセルに働く項目です（スクリプトでは "
                          "cells で入力して下さい）");
    if (!item->command)
        throw ScriptError(at + "「" + item->caption + "」（" + item->id +
                          "）は使えない項目です（まだコマンドがありません）");
    return *item;
}

void collectChecked(const std::vector<app::MenuItem>& items, const ui::CommandMarks& marks,
                    std::vector<std::string>& out) {
    for (const app::MenuItem& item : items) {
        if (item.isSeparator()) continue;
        if (marks.checked(item.id)) out.push_back(item.caption);
        collectChecked(item.children, marks, out);
    }
}

const char* kindWord(ui::ControlKind kind) {
    switch (kind) {
        case ui::ControlKind::Frame:
            return "枠";
        case ui::ControlKind::OptionButton:
            return "オプションボタン";
        case ui::ControlKind::CheckBox:
            return "チェックボックス";
        case ui::ControlKind::TextBox:
            return "テキストボックス";
        case ui::ControlKind::Label:
            return "ラベル";
        case ui::ControlKind::CommandButton:
            return "コマンドボタン";
    }
    return "?";
}

// Columns line up on a terminal: the words padded here are ASCII or full-width only.
size_t displayWidth(const std::string& text) {
    size_t width = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) width += c < 0x80 ? 1 : 2;
    return width;
}

std::string padded(const std::string& text, size_t width) {
    return text + std::string(width - std::min(width, displayWidth(text)) + 2, ' ');
}

void listForms(std::ostream& out) {
    out << "ダイアログの一覧（スクリプトの \"forms\": {\"Form1\": {\"Option2\": true}} や "
           "\"press\": {\"Form3\": \"Command2\"} に書く名前）\n";
    for (const ui::FormSpec* form : app::allForms()) {
        size_t nameWidth = 0, kindWidth = 0, frameWidth = 0;
        for (const ui::ControlSpec& c : form->controls) {
            nameWidth = std::max(nameWidth, displayWidth(c.name));
            kindWidth = std::max(kindWidth, displayWidth(kindWord(c.kind)));
            frameWidth = std::max(frameWidth, displayWidth(c.frame));
        }
        out << "\n" << form->name << "「" << form->caption << "」\n";
        for (const ui::ControlSpec& c : form->controls) {
            std::string line =
                "  " + padded(c.name, nameWidth) + padded(kindWord(c.kind), kindWidth);
            if (frameWidth > 0) line += padded(c.frame, frameWidth);
            switch (c.kind) {
                case ui::ControlKind::TextBox:
                    line += "初期値「" + c.initialText + "」";
                    break;
                case ui::ControlKind::OptionButton:
                case ui::ControlKind::CheckBox:
                    line += "「" + c.caption + "」";
                    if (c.initialValue) line += " 初期値 true";
                    break;
                default:
                    line += "「" + c.caption + "」";
            }
            out << line << "\n";
        }
        out << "  OK: " << form->okButton << "  キャンセル: "
            << (form->cancelButton.empty() ? "なし（ウィンドウを閉じる）" : form->cancelButton)
            << "\n";
    }
}

}  // namespace

std::vector<std::string> checkedCaptions(const ui::CommandMarks& marks) {
    std::vector<std::string> out;
    collectChecked(app::menuBar(), marks, out);
    // A mark no menu item carries would be a fault elsewhere; show it rather than hide it.
    for (const std::string& id : marks.all())
        if (!app::findMenuItem(id)) out.push_back(id);
    return out;
}

ScriptRunner::ScriptRunner(RunOptions options, std::ostream& out, std::ostream& err)
    : options_(std::move(options)),
      err_(err),
      transcript_(out),
      shell_(transcript_, {options_.scriptFolder, options_.pdfDir}),
      session_(shell_, options_.programFolder) {
    shell_.attach(session_);
    if (options_.undoSteps)
        session_.history.setLimits({*options_.undoSteps, session_.history.limits().workbookBytes});
}

int ScriptRunner::scriptError(const std::string& message) {
    err_ << "スクリプトの誤り: " << message << std::endl;
    return kExitScriptError;
}

void ScriptRunner::writeClosingLines() {
    // Nothing is saved or given up without an answer: what is still unsaved is reported.
    std::vector<std::string> unsaved;
    for (const sheet::Workbook* workbook : session_.host.workbooks())
        if (workbook->hasUnsavedChanges()) unsaved.push_back(workbook->path().string());
    if (!unsaved.empty()) transcript_.write({{"event", "unsaved"}, {"workbooks", unsaved}});
    transcript_.write({{"event", "log"}, {"text", session_.log.text()}});
    transcript_.write({{"event", "marks"}, {"checked", checkedCaptions(session_.marks)}});
}

int ScriptRunner::run(const nlohmann::ordered_json& json) {
    // Everything that can be checked before running is: a mistake in the last step must not
    // leave the first steps' work half done.
    Script script;
    std::vector<const app::MenuItem*> items;
    try {
        script = parseScript(json);
        for (const Step& step : script.steps)
            items.push_back(step.command.empty() ? nullptr : &commandItem(step));
    } catch (const ScriptError& e) {
        return scriptError(e.what());
    }

    std::optional<std::uint32_t> seed = options_.seed ? options_.seed : script.seed;
    if (seed) session_.random.setFixedSeed(*seed);

    // Runs a piece of the program; false when the run must stop.
    std::optional<int> status;
    auto guarded = [&](const std::string& where, const std::function<void()>& f) {
        try {
            f();
        } catch (const BatchShell::Halt&) {
        } catch (const std::exception& e) {
            if (!shell_.scriptError()) {
                err_ << "プログラムの誤り: " << where << ": " << e.what() << std::endl;
                status = kExitProgramFault;
                return false;
            }
        }
        for (const std::string& note : shell_.endStep()) err_ << "注意: " << note << std::endl;
        if (shell_.scriptError()) {
            status = scriptError(*shell_.scriptError());
            return false;
        }
        return !shell_.ended();
    };

    bool going = guarded("開始時", [&] { app::startUp(session_); });
    for (size_t i = 0; going && i < script.steps.size(); ++i) {
        shell_.beginStep(script.steps[i]);
        going = guarded(stepLabel(script.steps[i]), [&] {
            const Step& step = script.steps[i];
            if (!step.cells.empty()) {
                std::vector<app::TypedCell> cells;
                for (const auto& [reference, text] : step.cells)
                    cells.push_back(app::typedCellAt(reference, text));
                runGuarded(session_, "セル入力",
                           [&cells](Session& s) { app::typeCells(s, cells); });
            }
            if (step.seed) session_.random.useForNextCommand(*step.seed);
            if (items[i]) app::runMenuItem(session_, *items[i]);
        });
    }
    if (status) return *status;
    writeClosingLines();
    return kExitDone;
}

int runCommandLine(const std::vector<std::string>& arguments,
                   const std::filesystem::path& programFolder, std::ostream& out,
                   std::ostream& err) {
    auto usageError = [&](const std::string& message) {
        err << "使い方の誤り: " << message << "\n" << kUsage;
        return kExitScriptError;
    };
    RunOptions options;
    options.programFolder = programFolder;
    std::optional<std::string> scriptPath;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        // "--seed 7" and "--seed=7" alike.
        auto optionValue = [&](const std::string& name) -> std::optional<std::string> {
            if (arg.starts_with(name + "=")) return arg.substr(name.size() + 1);
            if (arg == name && i + 1 < arguments.size()) return arguments[++i];
            return std::nullopt;
        };
        if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return kExitDone;
        } else if (arg == "--forms") {
            listForms(out);
            return kExitDone;
        } else if (arg == "--seed" || arg.starts_with("--seed=")) {
            std::optional<std::string> value = optionValue("--seed");
            options.seed = value ? seedFromText(*value) : std::nullopt;
            if (!options.seed)
                return usageError("--seed には 0 から 4294967295 までの整数を書いて下さい");
        } else if (arg == "--pdf-dir" || arg.starts_with("--pdf-dir=")) {
            std::optional<std::string> value = optionValue("--pdf-dir");
            if (!value || value->empty()) return usageError("--pdf-dir にはフォルダを書いて下さい");
            options.pdfDir = *value;
        } else if (arg == "--undo-steps" || arg.starts_with("--undo-steps=")) {
            std::optional<std::string> value = optionValue("--undo-steps");
            std::optional<std::uint32_t> steps = value ? seedFromText(*value) : std::nullopt;
            if (!steps) return usageError("--undo-steps には 0 以上の整数を書いて下さい");
            options.undoSteps = *steps;
        } else if (arg.starts_with("-")) {
            return usageError("知らないオプション " + excerpt(arg));
        } else if (scriptPath) {
            return usageError("スクリプトは一つだけ指定して下さい");
        } else {
            scriptPath = arg;
        }
    }
    if (!scriptPath) return usageError("スクリプトを指定して下さい");

    nlohmann::ordered_json json;
    try {
        json = readScriptFile(*scriptPath);
    } catch (const ScriptError& e) {
        err << "スクリプトの誤り: " << e.what() << std::endl;
        return kExitScriptError;
    }
    options.scriptFolder = std::filesystem::absolute(*scriptPath).parent_path();
    ScriptRunner runner(std::move(options), out, err);
    return runner.run(json);
}

}  // namespace tombra::batch
