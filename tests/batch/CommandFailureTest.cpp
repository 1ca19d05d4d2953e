#include <gtest/gtest.h>

#include <sstream>

#include "BatchTestSupport.h"
#include "batch/ScriptRunner.h"
#include "support/EntryWorkbook.h"
#include "support/TestFiles.h"

namespace tombra::batch {
namespace {

using nlohmann::ordered_json;
using test::eventsOf;
using test::jsonLines;

// A step whose command fails is told as a message, as the window tells it; the script goes
// on with its next step and ends normally, with its closing log and marks.
TEST(CommandFailure, ADamagedWorkbookIsOneMessageAndTheScriptGoesOn) {
    tombra::test::TempDir dir;
    tombra::test::writeEntryWorkbook(
        dir / "壊れた.xlsx", {{"男子", {{"1", "北高", "山田"}}, 5}, tombra::test::tallySheet(2)});
    tombra::test::damageLastSheet(dir / "壊れた.xlsx");

    std::ostringstream out, err;
    ScriptRunner runner({.scriptFolder = dir.path()}, out, err);
    const int status = runner.run(ordered_json::parse(R"js({"steps": [
        {"command": "ﾌｧｲﾙ(&F)/開く(&O)...", "files": ["壊れた.xlsx"]},
        {"command": "mnuHelpAbout"}]})js"));

    EXPECT_EQ(status, kExitDone) << err.str();
    EXPECT_EQ(err.str(), "");
    const auto lines = jsonLines(out.str());
    const auto messages = eventsOf(lines, "message");
    ASSERT_EQ(messages.size(), 2u) << out.str();
    EXPECT_EQ(messages[0]["step"], 1);
    EXPECT_EQ(messages[0]["text"],
              "「開く」を中断しました。\nブック「壊れた.xlsx」の部品 xl/worksheets/sheet4.xml "
              "(シート「集計」) が壊れています: 行番号 0 が範囲外です");
    EXPECT_EQ(messages[1]["step"], 2);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2]["event"], "log");
    EXPECT_EQ(lines.back()["checked"],
              ordered_json({"開く(&O)...", "ﾂｰﾙ ﾊﾞｰ(&T)", "ｽﾃｰﾀｽ ﾊﾞｰ(&B)"}));
}

}  // namespace
}  // namespace tombra::batch

namespace tombra::batch {
namespace {

// The workbook was replaced on disk after the script opened it: without an answer nothing is
// overwritten and the transcript says so; "はい" overwrites.
TEST(CommandFailure, AWorkbookChangedOnDiskIsOverwrittenOnlyOnAnAnswer) {
    for (const std::string answers : {"[]", R"js(["はい"])js"}) {
        tombra::test::TempDir dir;
        tombra::test::writeEntryWorkbook(dir / "大会.xlsx", {{"男子", {{"1", "北高", "山田"}}, 5}});
        tombra::test::writeEntryWorkbook(dir / "他.xlsx", {{"男子", {{"9", "南高", "別人"}}, 5}});
        const std::string others = tombra::test::readFile(dir / "他.xlsx");
        std::ostringstream out, err;
        ScriptRunner runner({.scriptFolder = dir.path()}, out, err);
        // Opening reads the entries and rules the entry sheet: memory holds a change.
        ASSERT_EQ(
            runner.run(ordered_json::parse(
                R"js({"steps": [{"command": "ﾌｧｲﾙ(&F)/開く(&O)...", "files": ["大会.xlsx"]}]})js")),
            kExitDone);
        // Meanwhile another program writes its own workbook over the organiser's.
        std::filesystem::copy_file(dir / "他.xlsx", dir / "大会.xlsx",
                                   std::filesystem::copy_options::overwrite_existing);
        out.str("");
        ASSERT_EQ(
            runner.run(ordered_json::parse(
                R"js({"steps": [{"command": "mnuFileSave", "answers": )js" + answers + "}]}")),
            kExitDone)
            << err.str();

        const auto messages = eventsOf(jsonLines(out.str()), "message");
        ASSERT_FALSE(messages.empty()) << out.str();
        EXPECT_EQ(messages[0]["buttons"], "はいいいえキャンセル");
        if (answers == "[]") {
            EXPECT_EQ(messages[0]["answer"], "キャンセル");
            EXPECT_EQ(messages.back()["text"], "「大会.xlsx」は保存しませんでした");
            EXPECT_EQ(tombra::test::readFile(dir / "大会.xlsx"), others);
        } else {
            EXPECT_EQ(messages.size(), 1u);
            EXPECT_NE(tombra::test::readFile(dir / "大会.xlsx"), others);
        }
    }
}

}  // namespace
}  // namespace tombra::batch
