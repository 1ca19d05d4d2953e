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
              "「開く」を中断しました。\nシート「集計」が壊れています: 行番号 0 が範囲外です");
    EXPECT_EQ(messages[1]["step"], 2);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2]["event"], "log");
    EXPECT_EQ(lines.back()["checked"],
              ordered_json({"開く(&O)...", "ﾂｰﾙ ﾊﾞｰ(&T)", "ｽﾃｰﾀｽ ﾊﾞｰ(&B)"}));
}

}  // namespace
}  // namespace tombra::batch
