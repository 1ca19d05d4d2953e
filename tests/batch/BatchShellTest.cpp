#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "BatchTestSupport.h"
#include "batch/BatchShell.h"
#include "batch/PdfExport.h"
#include "sheet/Workbook.h"
#include "support/TestFiles.h"
#include "ui/Form.h"
#include "ui/ProgressDialog.h"

namespace tombra::batch {
namespace {

using test::jsonLines;
using ui::Answer;
using ui::Buttons;
using ui::ControlKind;

class BatchShellTest : public ::testing::Test {
  protected:
    BatchShellTest() : shell(transcript, {"/scripts/秋季", std::nullopt}) {
        dialog.name = "Form9";
        dialog.caption = "テーブル設定";
        dialog.controls = {{"Frame1", ControlKind::Frame, "種目"},
                           {"Option1", ControlKind::OptionButton, "男子", "Frame1", true},
                           {"Option2", ControlKind::OptionButton, "女子", "Frame1"},
                           {"Check1", ControlKind::CheckBox, "残す", "", true},
                           {"Text1", ControlKind::TextBox, "", "", false, "8"},
                           {"Label1", ControlKind::Label, "表数"},
                           {"Command1", ControlKind::CommandButton, "OK"},
                           {"Command2", ControlKind::CommandButton, "ｷｬﾝｾﾙ"},
                           {"Command3", ControlKind::CommandButton, "適用"}};
        dialog.okButton = "Command1";
        dialog.cancelButton = "Command2";
        dialog.onChange = [this](ui::Form& f, const std::string& control) {
            changes.push_back(control + "=" +
                              (f.control(control).kind == ControlKind::TextBox
                                   ? f.text(control)
                                   : std::string(f.value(control) ? "1" : "0")));
        };
        // OK wants a number of tables; the dialog says so and stays open.
        dialog.onButton = [this](ui::Form& f, const std::string& button) {
            if (button != "Command1" || !f.text("Text1").empty()) return true;
            shell.message("表数を入力して下さい", Buttons::Ok);
            return false;
        };
    }

    void begin(const std::string& stepJson) {
        shell.beginStep(parseScript(nlohmann::ordered_json::parse(
                                        R"js({"steps": [{"command": "x"}, )js" + stepJson + "]}"))
                            .steps[1]);
    }
    std::vector<nlohmann::ordered_json> lines() { return jsonLines(out.str()); }
    // One field of every transcript line so far.
    std::vector<std::string> field(const char* key) {
        std::vector<std::string> values;
        for (const auto& line : lines()) values.push_back(line.value(key, "-"));
        return values;
    }

    std::ostringstream out;
    Transcript transcript{out};
    BatchShell shell;
    ui::FormSpec dialog;
    std::vector<std::string> changes;
};

using Texts = std::vector<std::string>;

TEST_F(BatchShellTest, MessagesTakeScriptedAnswersInOrderThenOkOrYes) {
    begin(R"js({"command": "x", "answers": ["キャンセル", "いいえ"]})js");
    std::vector<Answer> got = {
        shell.message("中止しますか", Buttons::OkCancel),
        shell.message("続けますか", Buttons::YesNo), shell.message("続けますか", Buttons::YesNo),
        shell.message("投入終了", Buttons::Ok), shell.message("中止しますか", Buttons::OkCancel)};
    EXPECT_EQ(got, (std::vector<Answer>{Answer::Cancel, Answer::No, Answer::Yes, Answer::Ok,
                                        Answer::Ok}));
    EXPECT_EQ(field("answer"), (Texts{"キャンセル", "いいえ", "はい", "OK", "OK"}));
    EXPECT_EQ(field("buttons"),
              (Texts{"OKキャンセル", "はいいいえ", "はいいいえ", "OK", "OKキャンセル"}));
    EXPECT_EQ(
        lines()[0].dump(),
        R"js({"step":2,"event":"message","text":"中止しますか","buttons":"OKキャンセル","answer":"キャンセル"})js");
}

TEST_F(BatchShellTest, AnAnswerThatFitsNoButtonStopsTheRunWithNothingMoreRecorded) {
    begin(R"js({"command": "x", "answers": ["OK", "はい"]})js");
    shell.message("投入終了", Buttons::Ok);
    EXPECT_THROW(shell.message("投入済みです", Buttons::OkCancel), BatchShell::Halt);
    std::string error = shell.scriptError().value_or("");
    for (const char* part : {"手順 2", "投入済みです", "はい"})
        EXPECT_NE(error.find(part), std::string::npos) << error;
    // Halted: later questions stop too, and notifications leave no trace.
    EXPECT_THROW(shell.message("投入終了", Buttons::Ok), BatchShell::Halt);
    shell.showWorkbook(nullptr, true);
    EXPECT_EQ(lines().size(), 1u);
    EXPECT_TRUE(shell.endStep().empty());
}

TEST_F(BatchShellTest, FormValuesApplyInScriptOrderWheneverTheFormShowsThenOkIsPressed) {
    begin(
        R"js({"command": "x", "forms": {"Form9": {"Text1": "16", "Option2": true, "Check1": false}}})js");
    ui::Form form(dialog);
    EXPECT_EQ(shell.showForm(form), "Command1");
    EXPECT_TRUE(form.accepted());
    EXPECT_FALSE(form.visible());
    EXPECT_EQ(changes, (Texts{"Text1=16", "Option2=1", "Check1=0"}));
    EXPECT_EQ(form.selectedOption("Frame1"), "Option2");
    // Changed in between by the command; shown again in the same step, the script wins again.
    form.setText("Text1", "4");
    shell.showForm(form);
    EXPECT_EQ(form.text("Text1"), "16");
    shell.endStep();
    // Outside a step the form keeps its values and is simply accepted.
    form.setText("Text1", "4");
    EXPECT_EQ(shell.showForm(form), "Command1");
    EXPECT_EQ(form.text("Text1"), "4");
    EXPECT_EQ(
        lines()[0].dump(),
        R"js({"step":2,"event":"form","form":"Form9","caption":"テーブル設定","pressed":"Command1"})js");
    EXPECT_FALSE(lines()[2].contains("step"));
}

TEST_F(BatchShellTest, PressNamesAnotherButtonAndARefusedPressFallsBackToCancel) {
    begin(R"js({"command": "x", "press": {"Form9": "Command3"}})js");
    ui::Form form(dialog);
    EXPECT_EQ(shell.showForm(form), "Command3");
    shell.endStep();
    begin(R"js({"command": "x", "forms": {"Form9": {"Text1": ""}}})js");
    EXPECT_EQ(shell.showForm(form), "Command2");
    EXPECT_EQ(form.pressedButton(), "Command2");
    // The dialog's complaint comes first, then the dialog closes cancelled.
    EXPECT_EQ(field("event"), (Texts{"form", "message", "form"}));
    EXPECT_EQ(field("pressed"), (Texts{"Command3", "-", "Command2"}));
    EXPECT_EQ(field("refused"), (Texts{"-", "-", "Command1"}));
}

TEST_F(BatchShellTest, ControlsAndButtonsTheFormCannotTakeAreScriptErrors) {
    struct Case {
        const char* step;
        const char* mentions;
    } cases[] = {
        {R"js({"command": "x", "forms": {"Form9": {"Option7": true}}})js", "Form9 に「Option7」"},
        {R"js({"command": "x", "forms": {"Form9": {"Option2": "1"}}})js", "true か false"},
        {R"js({"command": "x", "forms": {"Form9": {"Text1": true}}})js", "テキストボックス"},
        {R"js({"command": "x", "forms": {"Form9": {"Option1": false}}})js", "別のボタン"},
        {R"js({"command": "x", "forms": {"Form9": {"Label1": "表"}}})js", "Label1"},
        {R"js({"command": "x", "forms": {"Form9": {"Check1": true}}})js", "使えない状態"},
        {R"js({"command": "x", "press": {"Form9": "Command9"}})js", "Command9"},
        {R"js({"command": "x", "press": {"Form9": "Text1"}})js", "ボタン「Text1」"},
    };
    for (const Case& c : cases) {
        std::ostringstream caseOut;
        Transcript caseTranscript(caseOut);
        BatchShell caseShell(caseTranscript, {});
        caseShell.beginStep(parseScript(nlohmann::ordered_json::parse(
                                            std::string(R"js({"steps": [)js") + c.step + "]}"))
                                .steps[0]);
        ui::Form form(dialog);
        form.setEnabled("Check1", false);
        EXPECT_THROW(caseShell.showForm(form), BatchShell::Halt) << c.step;
        std::string error = caseShell.scriptError().value_or("");
        EXPECT_NE(error.find(c.mentions), std::string::npos) << c.step << " -> " << error;
        EXPECT_EQ(caseOut.str(), "") << c.step;
    }
}

TEST_F(BatchShellTest, NamesFromTheScriptAreQuotedCutInErrorsAndNotes) {
    const std::string longName(100000, 'x');
    for (std::string step : {R"js({"command": "x", "forms": {"Form9": {"@": true}}})js",
                             R"js({"command": "x", "press": {"Form9": "@"}})js",
                             R"js({"command": "x", "forms": {"@": {}}})js"}) {
        step.replace(step.find('@'), 1, longName);
        std::ostringstream caseOut;
        Transcript caseTranscript(caseOut);
        BatchShell caseShell(caseTranscript, {});
        caseShell.beginStep(
            parseScript(nlohmann::ordered_json::parse(R"js({"steps": [)js" + step + "]}"))
                .steps[0]);
        ui::Form form(dialog);
        try {
            caseShell.showForm(form);
        } catch (const BatchShell::Halt&) {
        }
        std::string said = caseShell.scriptError().value_or("");
        for (const std::string& note : caseShell.endStep()) said += note;
        EXPECT_NE(said.find("x…"), std::string::npos) << step.substr(0, 60);
        EXPECT_LT(said.size(), 1000u) << step.substr(0, 60);
    }
}

TEST_F(BatchShellTest, FileDialogsTakeScriptedFilesRelativeToTheScriptFolder) {
    begin(R"js({"command": "x", "files": ["data/大会.xlsx", "", "/abs/b.xlsx"]})js");
    EXPECT_EQ(shell.openFileName({"DATAを開く", "", ""}), "/scripts/秋季/data/大会.xlsx");
    EXPECT_EQ(shell.saveFileName({"名前を付けて保存", "", ""}), "");
    EXPECT_EQ(shell.saveFileName({"名前を付けて保存", "", ""}), "/abs/b.xlsx");
    EXPECT_EQ(shell.openFileName({"DATAを開く", "", ""}), "");  // none left: cancelled
    EXPECT_EQ(field("answer"), (Texts{"data/大会.xlsx", "", "/abs/b.xlsx", ""}));
    EXPECT_EQ(lines()[0].dump(),
              R"js({"step":2,"event":"file","title":"DATAを開く","answer":"data/大会.xlsx"})js");

    // A runaway answer is passed on whole but echoed cut.
    const std::string longPath = "/" + std::string(100000, 'x');
    begin(R"js({"command": "x", "files": [")js" + longPath + R"js("]})js");
    EXPECT_EQ(shell.openFileName({"DATAを開く", "", ""}), longPath);
    EXPECT_LT(lines().back().dump().size(), 1000u);
}

TEST_F(BatchShellTest, LeftoverAnswersFilesAndUnshownFormsAreNotedNotFailed) {
    begin(R"js({"command": "x", "answers": ["OK", "はい"], "files": ["a"],
              "forms": {"Form3": {"Option1": true}}, "press": {"Form9": "Command2"}})js");
    shell.message("投入終了", Buttons::Ok);
    Texts notes = shell.endStep();
    ASSERT_EQ(notes.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(notes[i].find(Texts{"答え 1 個", "ファイル 1 個", "Form3", "Form9"}[i]),
                  std::string::npos)
            << notes[i];
    EXPECT_FALSE(shell.scriptError());
}

TEST_F(BatchShellTest, ProgressRecordsCaptionsWhenShownOrChangedNotValues) {
    begin(R"js({"command": "x"})js");
    ui::ProgressDialog progress(shell);
    progress.setCaption("選手を投入中");  // hidden: nothing yet
    progress.show();
    for (int v = 0; v < 50; ++v) progress.setValue(static_cast<float>(v));
    progress.setCaption("選手を投入中");
    progress.setCaption("調整中");
    progress.hide();
    progress.show();  // shown again: its caption again
    EXPECT_EQ(field("caption"), (Texts{"選手を投入中", "調整中", "調整中"}));
    EXPECT_EQ(lines()[0].dump(), R"js({"step":2,"event":"progress","caption":"選手を投入中"})js");
}

TEST_F(BatchShellTest, PrintingGoesToAPdfBesideTheWorkbookOrIntoThePdfFolder) {
    tombra::test::TempDir dir;
    auto wb = sheet::Workbook::fromBytes(
        tombra::test::readFile(tombra::test::testData("blank.xlsx")), dir / "大会.xlsx");
    sheet::Worksheet& ws = *wb->findSheet("別シート");
    EXPECT_EQ(pdfPath(std::nullopt, *wb, ws), dir / "別シート.pdf");
    EXPECT_EQ(pdfPath(std::filesystem::path("out"), *wb, ws), "out/別シート.pdf");

    begin(R"js({"command": "x"})js");
    ws.setText(2, 2, "男子シングルス");
    shell.printSheet(*wb, ws);
    EXPECT_EQ(field("event"), Texts{"pdf"});
    EXPECT_EQ(field("path"), Texts{(dir / "別シート.pdf").string()});
    EXPECT_EQ(tombra::test::readFile(dir / "別シート.pdf").substr(0, 5), "%PDF-");
    // A PDF any reader takes: poppler turns it into one page.
    tombra::test::runCommand("pdftoppm -png -r 30 " + tombra::test::quoted(dir / "別シート.pdf") +
                             " " + tombra::test::quoted(dir / "page"));
    EXPECT_TRUE(std::filesystem::exists(dir / "page-1.png"));
    EXPECT_FALSE(std::filesystem::exists(dir / "page-2.png"));

    // A folder that cannot be made is told, and the run goes on.
    std::ofstream(dir / "ファイル") << "x";
    std::ostringstream blockedOut;
    Transcript blockedTranscript(blockedOut);
    BatchShell blocked(blockedTranscript, {"/scripts", dir / "ファイル" / "pdf"});
    blocked.beginStep(
        parseScript(nlohmann::ordered_json::parse(R"js({"steps": [{"command": "x"}]})js"))
            .steps[0]);
    blocked.previewSheet(*wb, ws);
    EXPECT_FALSE(blocked.scriptError());
    const auto blockedLines = jsonLines(blockedOut.str());
    ASSERT_EQ(blockedLines.size(), 1u);
    EXPECT_EQ(blockedLines[0]["event"], "error");
    EXPECT_NE(blockedLines[0]["text"].get<std::string>().find("を作れません"), std::string::npos);
}

TEST_F(BatchShellTest, EndingTheProgramStopsTheCommandAndRecordsTheEnd) {
    begin(R"js({"command": "x"})js");
    EXPECT_TRUE(shell.pageSetup("ﾍﾟｰｼﾞ設定"));
    shell.openHelp("/opt/tombra.hlp", true);
    EXPECT_THROW(shell.endProgram(), BatchShell::Halt);
    EXPECT_TRUE(shell.ended());
    EXPECT_FALSE(shell.scriptError());
    EXPECT_THROW(shell.pageSetup("ﾍﾟｰｼﾞ設定"), BatchShell::Halt);
    EXPECT_EQ(out.str(),
              "{\"step\":2,\"event\":\"pagesetup\",\"title\":\"ﾍﾟｰｼﾞ設定\"}\n"
              "{\"step\":2,\"event\":\"help\",\"path\":\"/opt/tombra.hlp\",\"search\":true}\n"
              "{\"step\":2,\"event\":\"end\"}\n");
}

}  // namespace
}  // namespace tombra::batch
