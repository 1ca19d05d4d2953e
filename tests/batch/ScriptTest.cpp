#include <gtest/gtest.h>

#include <fstream>

#include "batch/Script.h"
#include "support/TestFiles.h"

namespace tombra::batch {
namespace {

using nlohmann::ordered_json;

std::string parseError(const std::string& text) {
    try {
        parseScript(ordered_json::parse(text));
    } catch (const ScriptError& e) {
        return e.what();
    }
    return "(accepted)";
}

TEST(ScriptParse, ReadsStepsWithTheirAnswersInScriptOrder) {
    Script script = parseScript(ordered_json::parse(R"js({"seed": 4294967295, "steps": [
        {"command": "mnuFileNew"},
        {"command": "投入", "forms": {"Form3": {"Text1": "8", "Option2": true, "Check1": false}},
         "press": {"Form3": "Command2"}, "files": ["a.xlsx", ""], "answers": ["いいえ", "キャンセル"]}]})js"));
    EXPECT_EQ(script.seed, 4294967295u);
    ASSERT_EQ(script.steps.size(), 2u);
    EXPECT_EQ(script.steps[0].number, 1);
    const Step& s = script.steps[1];
    EXPECT_EQ(s.number, 2);
    ASSERT_NE(s.valuesFor("Form3"), nullptr);
    EXPECT_EQ(s.valuesFor("Form4"), nullptr);
    // The order a user would set them in, not the alphabet's.
    const auto& controls = s.valuesFor("Form3")->controls;
    ASSERT_EQ(controls.size(), 3u);
    EXPECT_EQ(controls[0], std::make_pair(std::string("Text1"), ControlValue(std::string("8"))));
    EXPECT_EQ(controls[1], std::make_pair(std::string("Option2"), ControlValue(true)));
    EXPECT_EQ(controls[2], std::make_pair(std::string("Check1"), ControlValue(false)));
    EXPECT_EQ(s.press.at("Form3"), "Command2");
    EXPECT_EQ(s.files, (std::vector<std::string>{"a.xlsx", ""}));
    EXPECT_EQ(s.answers, (std::vector<ui::Answer>{ui::Answer::No, ui::Answer::Cancel}));
}

TEST(ScriptParse, RejectsMalformedScriptsNamingTheFault) {
    struct Case {
        const char* script;
        const char* mentions;
    } cases[] = {
        {R"js([])js", "steps"},
        {R"js({})js", "steps"},
        {R"js({"steps": {}})js", "steps"},
        {R"js({"steps": [], "seeds": 1})js", "seeds"},
        {R"js({"seed": -1, "steps": []})js", "seed"},
        {R"js({"seed": 4294967296, "steps": []})js", "seed"},
        {R"js({"seed": 1.5, "steps": []})js", "seed"},
        {R"js({"steps": ["mnuFileNew"]})js", "手順 1"},
        {R"js({"steps": [{"command": "a"}, {"forms": {}}]})js", "手順 2 に command"},
        {R"js({"steps": [{"command": ""}]})js", "command"},
        {R"js({"steps": [{"command": "a", "answer": ["OK"]}]})js", "\"answer\""},
        {R"js({"steps": [{"command": "a", "answers": ["Yes"]}]})js", "「Yes」"},
        {R"js({"steps": [{"command": "a", "answers": "OK"}]})js", "answers"},
        {R"js({"steps": [{"command": "a", "files": [1]}]})js", "files"},
        {R"js({"steps": [{"command": "a", "forms": {"Form3": true}}]})js", "Form3"},
        {R"js({"steps": [{"command": "a", "forms": {"Form3": {"Text1": 8}}}]})js", "Text1"},
        {R"js({"steps": [{"command": "a", "press": {"Form3": 2}}]})js", "press"},
    };
    for (const Case& c : cases) {
        std::string error = parseError(c.script);
        EXPECT_NE(error.find(c.mentions), std::string::npos) << c.script << " -> " << error;
    }
}

TEST(ScriptFile, BrokenJsonIsReportedAtItsLineAndCharacter) {
    test::TempDir dir;
    std::ofstream(dir / "s.json") << "{\"steps\": [\n  {\"command\": \"終了(&X)\"},,\n]}";
    try {
        readScriptFile((dir / "s.json").string());
        FAIL() << "accepted";
    } catch (const ScriptError& e) {
        // Characters, not bytes: the Japanese before the fault counts one each.
        EXPECT_NE(std::string(e.what()).find("2 行 25 文字目"), std::string::npos) << e.what();
    }
    EXPECT_THROW(readScriptFile((dir / "none.json").string()), ScriptError);
    std::ofstream(dir / "empty.json");
    EXPECT_THROW(readScriptFile((dir / "empty.json").string()), ScriptError);
}

TEST(ScriptWords, AnswersAndSeedsAreReadExactly) {
    EXPECT_EQ(answerFromText("はい"), ui::Answer::Yes);
    EXPECT_EQ(answerFromText("キャンセル"), ui::Answer::Cancel);
    EXPECT_EQ(answerFromText("ok"), std::nullopt);
    EXPECT_EQ(seedFromText("0"), 0u);
    EXPECT_EQ(seedFromText("4294967295"), 4294967295u);
    for (const char* bad : {"", "-1", "4294967296", "7x", " 7", "abc"})
        EXPECT_EQ(seedFromText(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace tombra::batch
