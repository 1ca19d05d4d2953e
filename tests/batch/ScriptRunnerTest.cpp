#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>

#include "BatchTestSupport.h"
#include "app/ProgramCommands.h"
#include "batch/ScriptRunner.h"
#include "sheet/Workbook.h"
#include "support/TestFiles.h"

namespace tombra::batch {
namespace {

using nlohmann::ordered_json;
using test::eventsOf;
using test::jsonLines;

struct Outcome {
    int status = -1;
    std::vector<ordered_json> lines;
    std::string out, err;
};

Outcome run(ScriptRunner& runner, std::ostringstream& out, std::ostringstream& err,
            const std::string& script) {
    Outcome r;
    r.status = runner.run(ordered_json::parse(script));
    r.out = out.str();
    r.err = err.str();
    r.lines = jsonLines(r.out);
    return r;
}

Outcome run(const std::string& script, RunOptions options = {}) {
    std::ostringstream out, err;
    ScriptRunner runner(std::move(options), out, err);
    return run(runner, out, err, script);
}

std::string steps(const std::string& commands) { return R"js({"steps": [)js" + commands + "]}"; }

TEST(ScriptRunner, PlaceholderAndVersionMessagesAreShownVerbatim) {
    Outcome r = run(steps(R"js({"command": "ﾌｧｲﾙ(&F)/新規作成(&N)"}, {"command": "mnuFileNew"},
                         {"command": "ﾌｧｲﾙ(&F)/閉じる(&C)"}, {"command": "mnuFileProperties"},
                         {"command": "ﾍﾙﾌﾟ(&H)/ﾊﾞｰｼﾞｮﾝ情報(&A)"})js"));
    EXPECT_EQ(r.status, kExitDone) << r.err;
    auto messages = eventsOf(r.lines, "message");
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(
        messages[0].dump(),
        R"js({"step":1,"event":"message","text":" 'mnuFileNew_Click' のｺｰﾄﾞを追加します。","buttons":"OK","answer":"OK"})js");
    EXPECT_EQ(messages[1]["step"], 2);
    EXPECT_EQ(messages[1]["text"], " 'mnuFileNew_Click' のｺｰﾄﾞを追加します。");
    EXPECT_EQ(messages[2]["text"], " 'mnuFileClose_Click' のｺｰﾄﾞを追加します。");
    EXPECT_EQ(messages[3]["text"], " 'mnuFileProperties_Click' のｺｰﾄﾞを追加します。");
    EXPECT_EQ(messages[4]["text"], app::versionText(TOMBRA_VERSION));
    EXPECT_EQ(r.lines.size(), 7u);  // the messages, the log and the marks
}

TEST(ScriptRunner, ClosingLinesCarryTheLogAndTheCheckedItemsInMenuOrder) {
    Outcome r =
        run(steps(R"js({"command": "ﾌｧｲﾙ(&F)/すべて保存(&L)"}, {"command": "mnuViewToolbar"},
                         {"command": "ﾌｧｲﾙ(&F)/上書き保存(&S)", "answers": ["OK"]})js"));
    EXPECT_EQ(r.status, kExitDone) << r.err;
    ASSERT_EQ(r.lines.size(), 2u);  // saving with no workbook open says nothing
    EXPECT_EQ(r.lines[0].dump(), R"js({"event":"log","text":""})js");
    EXPECT_EQ(r.lines[1].dump(),
              R"js({"event":"marks","checked":["上書き保存(&S)","ｽﾃｰﾀｽ ﾊﾞｰ(&B)"]})js");
    // The unused answer is pointed out beside the transcript, not in it.
    EXPECT_EQ(r.err, "注意: 手順 3: 答え 1 個は使われませんでした\n");
}

TEST(ScriptRunner, TheLogLineHoldsTheWholePaneAndClearingEmptiesIt) {
    for (bool clear : {false, true}) {
        std::ostringstream out, err;
        ScriptRunner runner({}, out, err);
        runner.session().log.append("男子 シングルス 32");
        runner.session().log.append("シード 4");
        Outcome r = run(runner, out, err,
                        steps(clear ? R"js({"command": "編集(&E)/画面消去(&C)"})js"
                                    : R"js({"command": "mnuViewStatusBar"})js"));
        ASSERT_EQ(r.lines.size(), 2u) << r.out;
        EXPECT_EQ(r.lines[0]["text"], clear ? "" : "男子 シングルス 32\r\nシード 4\r\n");
    }
}

TEST(ScriptRunner, SaveAsCancelledWritesNothingAndReportsNothing) {
    tombra::test::TempDir dir;
    for (const char* files : {R"js([""])js", R"js([])js", R"js(["新しい.xlsx"])js"}) {
        Outcome r =
            run(steps(std::string(R"js({"command": "mnuFileSaveAs", "files": )js") + files + "}"),
                {.scriptFolder = dir.path()});
        EXPECT_EQ(r.status, kExitDone) << r.err;
        ASSERT_EQ(r.lines.size(), 3u) << r.out;
        EXPECT_EQ(r.lines[0]["event"], "file");
        EXPECT_EQ(r.lines[0]["title"], "名前を付けて保存");
        EXPECT_TRUE(eventsOf(r.lines, "message").empty());
        EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << files;
    }
}

// A script types as the window does: numbers as numbers, labels as texts. Opening another
// workbook asks for the unsaved one; with no answer the script keeps it, and it is reported
// at the end, neither lost nor written.
TEST(ScriptRunner, CellsAreTypedIntoTheWorkbookAndUnsavedOnesReported) {
    tombra::test::TempDir dir;
    std::filesystem::copy_file(tombra::test::testData("blank.xlsx"), dir / "大会.xlsx");
    const std::string before = tombra::test::readFile(dir / "大会.xlsx");
    Outcome r = run(steps(R"js({"command": "mnuFileOpen", "files": ["大会.xlsx"]},
        {"cells": {"Sheet1!B3": "3-1", "'Sheet1'!C3": "１２", "Sheet1!D3": 7}},
        {"command": "mnuFileSaveAs", "files": ["記録.xlsx"]},
        {"cells": {"Sheet1!A1": "未保存"}},
        {"cells": {"無いシート!A1": "x"}},
        {"command": "mnuFileOpen", "files": ["大会.xlsx"]})js"),
                    {.scriptFolder = dir.path()});
    ASSERT_EQ(r.status, kExitDone) << r.err;
    const auto saved = sheet::Workbook::open(dir / "記録.xlsx");
    const sheet::Worksheet& ws = saved->sheet("Sheet1");
    EXPECT_EQ(ws.value(3, 2), sheet::CellValue::text("3-1"));
    EXPECT_EQ(ws.value(3, 3), sheet::CellValue::number(12));
    EXPECT_EQ(ws.value(3, 4), sheet::CellValue::number(7));
    EXPECT_EQ(ws.text(1, 1), "") << "the last typing was never saved";
    const auto messages = eventsOf(r.lines, "message");
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[messages.size() - 2]["text"],
              "シート「無いシート」がありません。何も書き込んでいません");
    EXPECT_EQ(messages.back()["text"], "「記録.xlsx」への変更を保存しますか");
    EXPECT_EQ(messages.back()["answer"], "キャンセル");
    const auto unsaved = eventsOf(r.lines, "unsaved");
    ASSERT_EQ(unsaved.size(), 1u) << r.out;
    EXPECT_EQ(unsaved[0]["workbooks"], ordered_json::array({(dir / "記録.xlsx").string()}));
    EXPECT_EQ(tombra::test::readFile(dir / "大会.xlsx"), before);
}

TEST(ScriptRunner, PrintingBeforeAnyWorkbookDoesNothing) {
    tombra::test::TempDir dir;
    Outcome r = run(
        steps(R"js({"command": "印刷(&P)/印刷(&I))"}, {"command": "印刷(&P)/印刷プレビュー(&P)"},
                         {"command": "mnuFilePrint"}, {"command": "mnuFilePrintPreview"})js"),
        {.pdfDir = dir.path()});
    EXPECT_EQ(r.status, kExitDone) << r.err;
    EXPECT_EQ(r.lines.size(), 2u) << r.out;  // no pdf, no error, no workbook shown
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(ScriptRunner, EndingTheProgramStopsTheScriptButKeepsTheClosingLines) {
    for (const char* exit : {"終了(&X)", "END", "ﾌｧｲﾙ(&F)/終了(&X)"}) {
        Outcome r =
            run(steps(std::string(R"js({"command": "mnuFileNew"}, {"command": ")js") + exit +
                      R"js("}, {"command": "mnuHelpAbout"}, {"command": "mnuViewToolbar"})js"));
        EXPECT_EQ(r.status, kExitDone) << exit << r.err;
        ASSERT_EQ(r.lines.size(), 5u) << exit << r.out;
        EXPECT_EQ(r.lines[0]["event"], "message");
        EXPECT_EQ(r.lines[1].dump(), R"js({"step":2,"event":"workbook","visible":true})js");
        EXPECT_EQ(r.lines[2].dump(), R"js({"step":2,"event":"end"})js");
        EXPECT_EQ(r.lines[3]["event"], "log");
        // The toolbar item after the end never toggled its mark.
        EXPECT_EQ(r.lines[4]["checked"], ordered_json({"ﾂｰﾙ ﾊﾞｰ(&T)", "ｽﾃｰﾀｽ ﾊﾞｰ(&B)"}));
    }
}

TEST(ScriptRunner, TheSeedComesFromTheOptionsBeforeTheScript) {
    auto seedAfter = [](const std::string& script, RunOptions options) {
        std::ostringstream out, err;
        ScriptRunner runner(std::move(options), out, err);
        EXPECT_EQ(runner.run(ordered_json::parse(script)), kExitDone) << err.str();
        return runner.session().random.fixedSeed();
    };
    EXPECT_EQ(seedAfter(R"js({"seed": 3, "steps": []})js", {}), 3u);
    EXPECT_EQ(seedAfter(R"js({"seed": 3, "steps": []})js", {.seed = 9}), 9u);
    EXPECT_EQ(seedAfter(R"js({"steps": []})js", {}), std::nullopt);
}

// 元に戻す runs as a step: it takes back the last command and the log says which; with no
// history kept (--undo-steps 0) there is nothing to take back, and the user is told so.
TEST(ScriptRunner, UndoTakesBackTheLastCommandUnlessNoHistoryIsKept) {
    for (std::optional<size_t> kept : {std::optional<size_t>(), std::optional<size_t>(0)}) {
        tombra::test::TempDir dir;
        std::filesystem::copy_file(tombra::test::testData("../../examples/sample.xlsx"),
                                   dir / "sample.xlsx");
        Outcome r = run(steps(R"js({"command": "mnuFileOpen", "files": ["sample.xlsx"],
             "forms": {"Form1": {"Option1": true, "Option4": true, "Option12": true}}},
            {"command": "投入"}, {"command": "編集(&E)/元に戻す(&U)"})js"),
                        {.scriptFolder = dir.path(), .undoSteps = kept});
        ASSERT_EQ(r.status, kExitDone) << r.err;
        const bool undone = !kept;
        const std::string log = eventsOf(r.lines, "log").at(0)["text"];
        EXPECT_EQ(log.find("元に戻しました: ヤグラ・リーグ（個人・団体）投入") != std::string::npos,
                  undone);
        EXPECT_EQ(eventsOf(r.lines, "message").back()["text"] == "元に戻せる操作はありません",
                  !undone);
        const ordered_json checked = eventsOf(r.lines, "marks").at(0)["checked"];
        EXPECT_EQ(
            std::count(checked.begin(), checked.end(), "ヤグラ・リーグ（個人・団体）投入(&T)"),
            undone ? 0 : 1);
    }
}

TEST(ScriptRunner, CommandsThatCannotBeRunStopTheScriptBeforeAnythingRuns) {
    struct Case {
        const char* command;
        const char* mentions;
    } cases[] = {
        {"ﾌｧｲﾙ(&F)/新規作成", "「ﾌｧｲﾙ(&F)/新規作成」はありません"},
        {"上書き保存", "上書き保存"},
        {"ﾌｧｲﾙ(&F)", "見出し"},
        {"mnuViewOptions", "mnuViewOptions"},
        {"mnuFileMRU(1)", "mnuFileMRU(1)"},
        {"mnuEditCopy", "cells で入力"},
    };
    for (const Case& c : cases) {
        Outcome r = run(steps(std::string(R"js({"command": "mnuFileSave"}, {"command": ")js") +
                              c.command + "\"}"));
        EXPECT_EQ(r.status, kExitScriptError) << c.command;
        EXPECT_EQ(r.out, "") << c.command;  // not even the valid first step ran
        EXPECT_EQ(r.err.rfind("スクリプトの誤り: 手順 2: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
    }
}

// The lines a form's entry of the --forms listing holds, its heading first.
std::vector<std::string> formEntry(const std::string& listing, const std::string& heading) {
    std::vector<std::string> entry;
    std::istringstream in(listing);
    for (std::string line; std::getline(in, line);) {
        if (line == heading)
            entry.push_back(line);
        else if (!entry.empty() && line.empty())
            break;
        else if (!entry.empty())
            entry.push_back(line);
    }
    return entry;
}

// The entry's line for a control, split into its columns.
std::vector<std::string> controlLine(const std::vector<std::string>& entry,
                                     const std::string& control) {
    for (const std::string& line : entry) {
        std::istringstream in(line);
        std::vector<std::string> words;
        for (std::string word; in >> word;) words.push_back(word);
        if (!words.empty() && words[0] == control) return words;
    }
    return {};
}

TEST(ScriptRunner, FormsListsEveryDialogsControlsWithoutRunningAScript) {
    std::ostringstream out, err;
    EXPECT_EQ(runCommandLine({"ない.json", "--forms"}, ".", out, err), kExitDone);
    EXPECT_EQ(err.str(), "");

    auto settings = formEntry(out.str(), "Form1「初期設定」");
    ASSERT_FALSE(settings.empty()) << out.str();
    EXPECT_EQ(controlLine(settings, "Option2"),
              (std::vector<std::string>{"Option2", "オプションボタン", "Frame1", "「女子」"}));
    EXPECT_EQ(controlLine(settings, "Option1"),
              (std::vector<std::string>{"Option1", "オプションボタン", "Frame1", "「男子」",
                                        "初期値", "true"}));
    EXPECT_EQ(settings.back(), "  OK: Command1  キャンセル: Command2");

    auto pages = formEntry(out.str(), "Form4「印刷ページの設定」");
    EXPECT_EQ(controlLine(pages, "opt(0)"),
              (std::vector<std::string>{"opt(0)", "オプションボタン", "Frame1", "「１頁」"}));
    EXPECT_EQ(controlLine(pages, "Text1"),
              (std::vector<std::string>{"Text1", "テキストボックス", "初期値「50」"}));
    auto adjustments = formEntry(out.str(), "Form13「個人リーグ調整選択」");
    ASSERT_FALSE(adjustments.empty()) << out.str();
    EXPECT_EQ(adjustments.back(), "  OK: Command1  キャンセル: なし（ウィンドウを閉じる）");
}

TEST(ScriptRunner, AWrongAnswerStopsTheRunWhereItHappens) {
    Outcome r = run(
        steps(R"js({"command": "mnuFileNew"}, {"command": "mnuHelpAbout", "answers": ["いいえ"]},
                         {"command": "mnuFileClose"})js"));
    EXPECT_EQ(r.status, kExitScriptError);
    ASSERT_EQ(r.lines.size(), 1u) << r.out;  // step 1 only: no log, no marks
    EXPECT_EQ(r.lines[0]["step"], 1);
    EXPECT_NE(r.err.find("手順 2"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("いいえ"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tombra::batch
