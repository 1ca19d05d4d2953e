#include "batch/BatchShell.h"

#include "app/ProgramCommands.h"
#include "batch/PdfExport.h"
#include "session/Session.h"
#include "sheet/Worksheet.h"
#include "ui/Form.h"
#include "ui/ProgressDialog.h"

namespace tombra::batch {

using nlohmann::ordered_json;

namespace {

bool fits(ui::Answer answer, ui::Buttons buttons) {
    switch (buttons) {
        case ui::Buttons::Ok:
            return answer == ui::Answer::Ok;
        case ui::Buttons::OkCancel:
            return answer == ui::Answer::Ok || answer == ui::Answer::Cancel;
        case ui::Buttons::YesNo:
            return answer == ui::Answer::Yes || answer == ui::Answer::No;
        case ui::Buttons::YesNoCancel:
            return answer != ui::Answer::Ok;
    }
    return false;
}

}  // namespace

BatchShell::BatchShell(Transcript& transcript, Settings settings)
    : transcript_(transcript), settings_(std::move(settings)) {}

void BatchShell::beginStep(const Step& step) {
    step_ = step;
    nextAnswer_ = nextFile_ = 0;
    shownForms_.clear();
}

std::vector<std::string> BatchShell::endStep() {
    std::vector<std::string> notes;
    if (step_ && !halted()) {
        // A command may stop early (a refusal is the program's answer, not a script error),
        // so leftovers are only pointed out: they are often typing mistakes.
        if (size_t n = step_->answers.size() - nextAnswer_)
            notes.push_back(at() + ": 答え " + std::to_string(n) + " 個は使われませんでした");
        if (size_t n = step_->files.size() - nextFile_)
            notes.push_back(at() + ": ファイル " + std::to_string(n) + " 個は使われませんでした");
        std::set<std::string> named;
        for (const FormValues& v : step_->forms) named.insert(v.form);
        for (const auto& [form, button] : step_->press) named.insert(form);
        for (const std::string& form : named)
            if (!shownForms_.count(form))
                notes.push_back(at() + ": " + excerpt(form) + " は表示されませんでした");
    }
    step_.reset();
    return notes;
}

std::string BatchShell::at() const {
    return step_ ? "手順 " + std::to_string(step_->number) : std::string("開始時");
}

void BatchShell::record(const char* event, ordered_json fields) {
    ordered_json line = ordered_json::object();
    if (step_) line["step"] = step_->number;
    line["event"] = event;
    for (auto& [key, value] : fields.items()) line[key] = std::move(value);
    transcript_.write(line);
}

void BatchShell::fail(const std::string& message) {
    error_ = message;
    throw Halt{};
}

void BatchShell::throwIfHalted() const {
    if (ended_ || error_) throw Halt{};
}

ui::Answer BatchShell::message(const std::string& text, ui::Buttons buttons) {
    throwIfHalted();
    // Without an answer: OK, or はい to a yes/no question; キャンセル where only that is safe.
    ui::Answer answer = buttons == ui::Buttons::YesNo         ? ui::Answer::Yes
                        : buttons == ui::Buttons::YesNoCancel ? ui::Answer::Cancel
                                                              : ui::Answer::Ok;
    if (step_ && nextAnswer_ < step_->answers.size()) {
        answer = step_->answers[nextAnswer_++];
        if (!fits(answer, buttons))
            fail(at() + ": メッセージ「" + text + "」（ボタン " + ui::buttonsText(buttons) +
                 "）に「" + ui::answerText(answer) + "」とは答えられません");
    }
    record("message", {{"text", text},
                       {"buttons", ui::buttonsText(buttons)},
                       {"answer", ui::answerText(answer)}});
    return answer;
}

void BatchShell::setControl(ui::Form& form, const std::string& control, const ControlValue& value) {
    const std::string where = at() + ": " + form.name() + " の「" + excerpt(control) + "」";
    if (!form.has(control))
        fail(at() + ": " + form.name() + " に「" + excerpt(control) + "」はありません");
    // What a user cannot change in the dialog, a script cannot either.
    if (!form.enabled(control)) fail(where + "は使えない状態です");
    const bool* on = std::get_if<bool>(&value);
    const std::string* text = std::get_if<std::string>(&value);
    switch (form.control(control).kind) {
        case ui::ControlKind::OptionButton:
            if (on && !*on)
                fail(where +
                     "はオプションボタンです。外すには同じ枠の別のボタンを true にして下さい");
            [[fallthrough]];
        case ui::ControlKind::CheckBox:
            if (!on) fail(where + "には true か false を書いて下さい");
            form.userSetValue(control, *on);
            break;
        case ui::ControlKind::TextBox:
            if (!text) fail(where + "はテキストボックスです。\"文字列\" で書いて下さい");
            form.userSetText(control, *text);
            break;
        default:
            fail(where + "には値を設定できません");
    }
}

bool BatchShell::pressable(const ui::Form& form, const std::string& button, bool named) {
    bool isButton = !button.empty() && form.has(button) &&
                    form.control(button).kind == ui::ControlKind::CommandButton;
    if (named && !isButton)
        fail(at() + ": " + form.name() + " にボタン「" + excerpt(button) + "」はありません");
    if (named && !form.enabled(button))
        fail(at() + ": " + form.name() + " のボタン「" + button + "」は押せない状態です");
    return isButton && form.enabled(button);
}

std::string BatchShell::showForm(ui::Form& form) {
    throwIfHalted();
    form.aboutToShow();
    form.setVisible(true);
    shownForms_.insert(form.name());
    if (const FormValues* values = step_ ? step_->valuesFor(form.name()) : nullptr)
        for (const auto& [control, value] : values->controls) setControl(form, control, value);

    std::string wanted = form.declaration().okButton;
    bool named = false;
    if (step_) {
        auto it = step_->press.find(form.name());
        if (it != step_->press.end()) wanted = it->second, named = true;
    }
    std::string pressed = wanted, refused;
    if (!pressable(form, wanted, named) || !form.press(wanted)) {
        // No second try with the same values: the dialog is cancelled instead, as a user
        // would close it. Should the cancel button refuse too, the window is closed.
        refused = wanted;
        pressed = form.declaration().cancelButton;
        if (pressed != wanted && pressable(form, pressed, false)) form.press(pressed);
    }
    form.setVisible(false);
    ordered_json fields = {
        {"form", form.name()}, {"caption", form.caption()}, {"pressed", pressed}};
    if (!refused.empty()) fields["refused"] = refused;
    record("form", std::move(fields));
    return pressed;
}

std::string BatchShell::chooseFile(const ui::FileDialogRequest& request) {
    throwIfHalted();
    std::string answer;
    if (step_ && nextFile_ < step_->files.size()) answer = step_->files[nextFile_++];
    // A path longer than any the system accepts is kept whole only in the script.
    record("file", {{"title", request.title}, {"answer", excerpt(answer)}});
    if (answer.empty()) return {};
    std::filesystem::path path(answer);
    if (path.is_relative()) path = settings_.scriptFolder / path;
    return path.lexically_normal().string();
}

std::string BatchShell::openFileName(const ui::FileDialogRequest& request) {
    return chooseFile(request);
}

std::string BatchShell::saveFileName(const ui::FileDialogRequest& request) {
    return chooseFile(request);
}

bool BatchShell::pageSetup(const std::string& title) {
    throwIfHalted();
    record("pagesetup", {{"title", title}});
    return true;
}

void BatchShell::exportPdf(sheet::Workbook& workbook, sheet::Worksheet& sheet,
                           const std::string& document) {
    throwIfHalted();
    std::filesystem::path target = pdfPath(settings_.pdfDir, workbook, sheet, document);
    std::error_code ec;
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), ec);
    std::optional<std::string> problem =
        ec ? std::optional<std::string>("PDFを書き出せません: フォルダ " +
                                        target.parent_path().string() + " を作れません")
           : writeSheetPdf(workbook, sheet, target);
    if (problem)
        record("error", {{"text", *problem}});
    else
        record("pdf", {{"sheet", sheet.name()}, {"path", target.string()}});
}

// Every print-out is a file of its own, so a run needs no asking: each goes where the first
// would.
void BatchShell::printSheet(sheet::Workbook& workbook, sheet::Worksheet& sheet,
                            const ui::PrintJob& job) {
    exportPdf(workbook, sheet, job.document);
}

void BatchShell::previewSheet(sheet::Workbook& workbook, sheet::Worksheet& sheet) {
    exportPdf(workbook, sheet);
}

void BatchShell::showWorkbook(sheet::Workbook*, bool visible) {
    if (halted()) return;
    record("workbook", {{"visible", visible}});
}

void BatchShell::openHelp(const std::string& path, bool search) {
    throwIfHalted();
    record("help", {{"path", path}, {"search", search}});
}

void BatchShell::endProgram() {
    throwIfHalted();
    record("end");
    ended_ = true;
    throw Halt{};
}

void BatchShell::closeMainWindow() {
    throwIfHalted();
    // Dialogs are modal here, so no other window is open: only the window's own steps run.
    // A workbook the script did not answer for keeps the program running.
    if (session_ && !app::mainWindowClosing(*session_)) return;
    record("end");
    ended_ = true;
    throw Halt{};
}

void BatchShell::progressChanged(const ui::ProgressDialog& progress) {
    if (halted()) return;
    if (progress.visible() && (!progressShown_ || progress.caption() != progressCaption_)) {
        record("progress", {{"caption", progress.caption()}});
        progressCaption_ = progress.caption();
    }
    progressShown_ = progress.visible();
}

}  // namespace tombra::batch
