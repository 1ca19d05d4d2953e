#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>

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

// The script with each "@" replaced by `text`.
std::string withText(std::string script, const std::string& text) {
    for (size_t at; (at = script.find('@')) != std::string::npos;) script.replace(at, 1, text);
    return script;
}

TEST(ScriptParse, ReadsStepsWithTheirAnswersInScriptOrder) {
    Script script = parseScript(ordered_json::parse(R"js({"seed": 4294967295, "steps": [
        {"command": "mnuFileNew"},
        {"command": "投入", "forms": {"Form3": {"Text1": "8", "Option2": true, "Check1": false}},
         "press": {"Form3": "Command2"}, "files": ["a.xlsx", ""], "answers": ["いいえ", "キャンセル"],
         "seed": 12}]})js"));
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
    EXPECT_EQ(s.seed, 12u);
    EXPECT_EQ(script.steps[0].seed, std::nullopt);
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
        {R"js({"steps": [{"cells": []}]})js", "cells"},
        {R"js({"steps": [{"command": "a", "seed": "7"}]})js", "手順 1: seed"},
        {R"js({"steps": [{"cells": {"B3": "x"}}]})js", "B3"},
        {R"js({"steps": [{"cells": {"男子!B0": "x"}}]})js", "男子!B0"},
        {R"js({"steps": [{"cells": {"男子!B3": true}}]})js", "男子!B3"},
    };
    for (const Case& c : cases) {
        std::string error = parseError(c.script);
        EXPECT_NE(error.find(c.mentions), std::string::npos) << c.script << " -> " << error;
    }
}

TEST(ScriptParse, TextsFromTheScriptAreQuotedCutInErrors) {
    const std::string longText(100000, 'x');
    for (const char* script : {
             R"js({"steps": [], "@": 1})js",
             R"js({"steps": [{"command": "a", "@": 1}]})js",
             R"js({"steps": [{"command": "a", "forms": {"@": true}}]})js",
             R"js({"steps": [{"command": "a", "forms": {"Form3": {"@": 8}}}]})js",
             R"js({"steps": [{"command": "a", "forms": {"Form3": {"Text1": ["@"]}}}]})js",
             R"js({"steps": [{"command": "a", "press": {"@": 2}}]})js",
             R"js({"steps": [{"command": "a", "answers": ["@"]}]})js",
         }) {
        std::string error = parseError(withText(script, longText));
        EXPECT_NE(error.find("x…"), std::string::npos) << script;
        EXPECT_LT(error.size(), 1000u) << script;
    }
}

TEST(ScriptFile, OnlyARegularFileOfAScriptsSizeAndDepthIsRead) {
    test::TempDir dir;
    auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(dir / name) << text;
    };
    auto nested = [](int depth) {
        return R"js({"steps": [{"command": "a", "forms": {"Form1": {"Option1": )js" +
               std::string(depth - 5, '[') + std::string(depth - 5, ']') + "}}}]}";
    };
    struct Case {
        std::string name;
        std::function<void()> make;
        std::vector<std::string> mentions;
    } cases[] = {
        {"フォルダ.json",
         [&] { std::filesystem::create_directory(dir / "フォルダ.json"); },
         {"フォルダ.json", "フォルダです"}},
        {"大.json",
         [&] {
             write("大.json", "");
             std::filesystem::resize_file(dir / "大.json", kMaxScriptBytes + 1);
         },
         {"大.json", "4 MB"}},
        {"深.json",
         [&] { write("深.json", nested(kMaxScriptNesting + 1)); },
         {"深.json", "1 行 119 文字目", "64 段"}},
        {std::string(5000, 'x'), [] {}, {"x…"}},
        // Opening a FIFO would wait for a writer that never comes.
        {"管.json",
         [&] { ASSERT_EQ(::mkfifo((dir / "管.json").c_str(), 0600), 0); },
         {"管.json", "普通のファイルではない"}},
    };
    for (const Case& c : cases) {
        c.make();
        std::string error = "(accepted)";
        try {
            readScriptFile((dir / c.name).string());
        } catch (const ScriptError& e) {
            error = e.what();
        }
        for (const std::string& part : c.mentions)
            EXPECT_NE(error.find(part), std::string::npos) << error;
        EXPECT_LT(error.size(), 1000u) << error;
    }

    // At the limits, and brackets within texts, which nest nothing.
    write("64.json", nested(kMaxScriptNesting));
    EXPECT_NO_THROW(readScriptFile((dir / "64.json").string()));
    write("文字列.json", R"js({"steps": [{"command": "\")js" + std::string(100, '[') + "\"}]}");
    EXPECT_EQ(readScriptFile((dir / "文字列.json").string())["steps"][0]["command"],
              "\"" + std::string(100, '['));
    std::string full = R"js({"steps": []})js";
    write("満.json", full + std::string(kMaxScriptBytes - full.size(), ' '));
    EXPECT_NO_THROW(readScriptFile((dir / "満.json").string()));
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

TEST(ScriptWords, ExcerptsAreCutAfterTwoHundredCharactersNeverInsideOne) {
    const auto times = [](const std::string& text, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += text;
        return out;
    };
    struct Case {
        std::string text, shown;
    } cases[] = {
        {"", ""},
        {times("x", 200), times("x", 200)},
        {times("x", 201), times("x", 200) + "…"},
        {times("x", 199) + "あい", times("x", 199) + "あ…"},
        {times("あ", 250), times("あ", 200) + "…"},
        {times("😀", 201), times("😀", 200) + "…"},
        // Stray bytes count one each, so they are cut too.
        {times("\x80", 300), times("\x80", 200) + "…"},
        {times("x", 199) + "\xE3\x81" + "yy", times("x", 199) + "\xE3…"},
    };
    for (const Case& c : cases) EXPECT_EQ(excerpt(c.text), c.shown) << c.text;
}

}  // namespace
}  // namespace tombra::batch
