#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>

#include "BatchTestSupport.h"
#include "app/ProgramCommands.h"
#include "sheet/Constants.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "support/TestFiles.h"

namespace tombra::batch {
namespace {

using tombra::test::quoted;
using tombra::test::TempDir;

struct Result {
    int status = -1;
    std::string out, err;
};

// Runs the built tombra-batch with its standard error caught in a file.
Result runBatch(const TempDir& dir, const std::string& arguments) {
    Result r;
    std::string command =
        quoted(TOMBRA_BATCH_EXE) + " " + arguments + " 2>" + quoted(dir / "stderr.txt");
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return r;
    }
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) r.out.append(buffer, n);
    int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = tombra::test::readFile(dir / "stderr.txt");
    return r;
}

// An example script of examples/ run on a copy of the sample: the transcript's lines and the
// texts of its messages in order.
struct ExampleRun {
    Result result;
    std::vector<nlohmann::ordered_json> lines;
    std::vector<std::string> texts;
};
ExampleRun runExample(const TempDir& dir, const std::string& script) {
    const std::filesystem::path examples = tombra::test::testData("../../examples");
    std::filesystem::copy_file(examples / "sample.xlsx", dir / "sample.xlsx");
    std::filesystem::copy_file(examples / script, dir / script);
    ExampleRun run{runBatch(dir, quoted(dir / script)), {}, {}};
    run.lines = test::jsonLines(run.result.out);
    for (const auto& m : test::eventsOf(run.lines, "message")) run.texts.push_back(m["text"]);
    return run;
}

std::filesystem::path writeScript(const TempDir& dir, const std::string& text) {
    std::filesystem::path path = dir / "スクリプト.json";
    std::ofstream(path) << text;
    return path;
}

TEST(BatchExecutable, RunsAScriptAndWritesTheTranscriptInPlainUtf8) {
    TempDir dir;
    auto script = writeScript(dir, R"js({"seed": 7, "steps": [{"command": "mnuHelpAbout"},
        {"command": "ﾌｧｲﾙ(&F)/上書き保存(&S)"}, {"command": "終了(&X)"}, {"command": "mnuFileNew"}]})js");
    Result r = runBatch(dir, quoted(script) + " --seed 8 --pdf-dir " + quoted(dir / "pdf"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "{\"step\":1,\"event\":\"message\",\"text\":\"" +
                         app::versionText(TOMBRA_VERSION) +
                         "\",\"buttons\":\"OK\",\"answer\":\"OK\"}\n"
                         "{\"step\":3,\"event\":\"workbook\",\"visible\":true}\n"
                         "{\"step\":3,\"event\":\"end\"}\n"
                         "{\"event\":\"log\",\"text\":\"\"}\n"
                         "{\"event\":\"marks\",\"checked\":[\"上書き保存(&S)\",\"ﾂｰﾙ "
                         "ﾊﾞｰ(&T)\",\"ｽﾃｰﾀｽ ﾊﾞｰ(&B)\"]}\n");
}

TEST(BatchExecutable, ScriptErrorsExitWithTwoAndAJapaneseMessageOnly) {
    TempDir dir;
    struct Case {
        std::string script;
        const char* mentions;
    } cases[] = {
        {"{\"steps\": [\n{\"command\": \"mnuFileNew\"},,]}", "2 行"},
        {R"js({"steps": [{"command": "mnuFileNew"}, {"command": "ﾌｧｲﾙ(&F)/印刷"}]})js",
         "ﾌｧｲﾙ(&F)/印刷"},
        {R"js({"steps": [{"command": "mnuFileNew"}, {"command": "mnuViewOptions"}]})js",
         "mnuViewOptions"},
        {R"js({"steps": [{"command": "mnuFileNew", "answers": ["はい"]}]})js", "はい"},
    };
    for (const Case& c : cases) {
        Result r = runBatch(dir, quoted(writeScript(dir, c.script)));
        EXPECT_EQ(r.status, 2) << c.script;
        EXPECT_EQ(r.out, "") << c.script;
        EXPECT_EQ(r.err.rfind("スクリプトの誤り: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
    }
    Result missing = runBatch(dir, quoted(dir / "ない.json"));
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("ない.json"), std::string::npos) << missing.err;
}

// Each of these once crashed the runner, overflowed its output or kept it waiting.
TEST(BatchExecutable, HostileInputIsAShortScriptErrorNotACrash) {
    TempDir dir;
    const int deep = 50000;
    std::ofstream(dir / "深.json")
        << R"js({"steps":[{"command":"mnuHelpAbout","forms":{"Form1":{"Option1": )js"
        << std::string(deep, '[') << std::string(deep, ']') << "}}}]}";
    std::ofstream(dir / "長.json")
        << R"js({"steps":[{"command":")js" << std::string(1000000, 'x') << R"js("}]})js";
    std::filesystem::create_directory(dir / "フォルダ.json");
    ASSERT_EQ(::mkfifo((dir / "管.json").c_str(), 0600), 0);
    struct Case {
        const char* name;
        const char* mentions;
    } cases[] = {
        {"深.json", "64 段"},
        {"長.json", "x…"},
        {"フォルダ.json", "フォルダ.json"},
        {"管.json", "管.json"},
    };
    for (const Case& c : cases) {
        Result r = runBatch(dir, quoted(dir / c.name));
        EXPECT_EQ(r.status, 2) << c.name;
        EXPECT_EQ(r.out, "") << c.name;
        EXPECT_EQ(r.err.rfind("スクリプトの誤り: ", 0), 0u) << r.err.substr(0, 200);
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err.substr(0, 200);
        EXPECT_LT(r.err.size(), 1000u) << c.name;
    }
}

TEST(BatchExecutable, BadArgumentsExitWithTwoAndHelpWithZero) {
    TempDir dir;
    auto script = writeScript(dir, R"js({"steps": []})js");
    for (const std::string& args :
         {std::string(""), "--seed abc " + quoted(script), "--seed -1 " + quoted(script),
          quoted(script) + " --seed", quoted(script) + " --pdf-dir", quoted(script) + " --verbose",
          quoted(script) + " " + quoted(script), "--undo-steps many " + quoted(script)}) {
        Result r = runBatch(dir, args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_NE(r.err.find("使い方"), std::string::npos) << args;
    }
    Result help = runBatch(dir, "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("tombra-batch SCRIPT.json [--seed N] [--pdf-dir DIR]"),
              std::string::npos);
    EXPECT_EQ(runBatch(dir, "--seed=4294967295 " + quoted(script)).status, 0);
}

TEST(BatchExecutable, OpensAnEntryWorkbookReadsItAndSavesIt) {
    TempDir dir;
    {
        auto wb = sheet::Workbook::open(tombra::test::testData("blank.xlsx"));
        sheet::Worksheet& men = wb->addSheet("男子");
        const char* names[] = {"山田　太郎", "山田　花男", "佐藤　健"};
        const int schools[] = {1, 1, 2}, numbers[] = {1, 2, 1};
        for (int r = 1; r <= 3; ++r) {
            men.setNumber(r, 1, schools[r - 1]);
            men.setText(r, 2, schools[r - 1] == 1 ? "県立北高" : "私立南高");
            men.setText(r, 3, names[r - 1]);
            men.setNumber(r, 9, numbers[r - 1]);
        }
        men.setNumber(1, 10, 1);
        std::filesystem::create_directory(dir / "申込");
        wb->saveAs(dir / "申込" / "大会.xlsx");
    }
    auto script = writeScript(dir, R"js({"steps": [
        {"command": "ﾌｧｲﾙ(&F)/開く(&O)...", "forms": {"Form1": {"Option1": true, "Check5": true}},
         "files": ["申込/大会.xlsx"]},
        {"command": "mnuFileSave"}]})js");
    Result r = runBatch(dir, quoted(script));
    ASSERT_EQ(r.status, 0) << r.err;
    auto lines = test::jsonLines(r.out);
    auto messages = test::eventsOf(lines, "message");
    ASSERT_EQ(messages.size(), 1u) << r.out;
    EXPECT_EQ(messages[0]["text"], "エントリー数\n3名  <2校>\nシード数＝1");
    EXPECT_EQ(test::eventsOf(lines, "progress").at(0)["caption"], "男子シングルス の読込中");
    // The rule under the first school is on disk after the save.
    auto saved = sheet::Workbook::open(dir / "申込" / "大会.xlsx");
    EXPECT_TRUE(saved->sheet("男子").format(2, 1).edge(sheet::xl::EdgeBottom).present());
    EXPECT_FALSE(saved->sheet("男子").format(1, 1).edge(sheet::xl::EdgeBottom).present());
}

// The example a new user runs first: the sample's men's singles drawn, built, saved, printed.
TEST(BatchExecutable, TheExampleDrawsTheSamplesMensSinglesIntoABracketAndAPdf) {
    TempDir dir;
    const std::filesystem::path examples = tombra::test::testData("../../examples");
    const auto [r, lines, texts] = runExample(dir, "draw-mens-singles.json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(texts, (std::vector<std::string>{"エントリー数\n155名  <30校>\nシード数＝12",
                                               "投入終了", "組合せ作成終了"}));
    auto pdfs = test::eventsOf(lines, "pdf");
    ASSERT_EQ(pdfs.size(), 1u);
    EXPECT_EQ(tombra::test::readFile(pdfs[0]["path"].get<std::string>()).substr(0, 5), "%PDF-");

    auto saved = sheet::Workbook::open(dir / "男子シングルス組合せ.xlsx");
    sheet::Worksheet& bracket = saved->sheet("男子Ｓ");
    EXPECT_EQ(bracket.pageBreakRows().size(), 2u);
    int seeds = 0;
    bracket.forEachCell([&](int, int, const sheet::CellValue& v) {
        const std::string t = v.asText();
        if (t.size() > 1 && t[0] == 'S' && std::isdigit(static_cast<unsigned char>(t[1]))) ++seeds;
    });
    EXPECT_EQ(seeds, 12);  // "S1" … "S12" beside the seeded players, both halves
    bool end = false;
    saved->sheet("男子ＳＴＢ").forEachCell([&](int, int, const sheet::CellValue& v) {
        end |= v.asText() == "ＥＮＤ";
    });
    EXPECT_TRUE(end);
    // The sample itself is left as it was.
    EXPECT_EQ(tombra::test::readFile(dir / "sample.xlsx"),
              tombra::test::readFile(examples / "sample.xlsx"));
}

// The individual league example: every entry of the division stands once in the groups of
// the league sheet, and its group number is back in the entry sheet.
TEST(BatchExecutable, TheLeagueExampleWritesTheDivisionsGroupsAndTheirNumbers) {
    TempDir dir;
    const auto [r, lines, texts] = runExample(dir, "individual-league-division.json");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "書き込み終了");

    auto saved = sheet::Workbook::open(dir / "個人リーグ１部.xlsx");
    std::map<std::string, int> onSheet;
    saved->sheet("１部").forEachCell([&](int, int column, const sheet::CellValue& v) {
        if (column == 2 && v.asText().find("\n(") != std::string::npos) ++onSheet[v.asText()];
    });
    int division = 0, numbered = 0;
    const sheet::Worksheet& entries = saved->sheet("個人リーグ");
    for (int row = 1; row <= 200; ++row) {
        if (entries.value(row, 6).asText() != "1" || entries.value(row, 7).isEmpty()) continue;
        ++division;
        numbered += entries.value(row, 9).isNumber();
    }
    EXPECT_GT(division, 3);
    EXPECT_EQ(numbered, division) << "every entry of the division has its group";
    EXPECT_EQ(onSheet.size(), static_cast<size_t>(division));
    for (const auto& [label, times] : onSheet) EXPECT_EQ(times, 1) << label;

    // Another program reads the first group as laid out: title, names across, the member's own
    // cell crossed out, the block ruled.
    const auto other = nlohmann::json::parse(tombra::test::runPython(
        "dump_workbook.py", quoted(dir / "個人リーグ１部.xlsx")))["data"]["１部"]["cells"];
    EXPECT_EQ(other["B3"]["value"], "グループＡ");
    EXPECT_FALSE(other["C4"]["value"].is_null());
    EXPECT_EQ(other["C5"]["diagonal_down"]["style"], "thin");
    EXPECT_EQ(other["B4"]["top"]["style"], "thin");
    EXPECT_EQ(other["A5"]["value"], 1);
}

// The league-then-knockout example: the bracket holds every player once, in the starting
// position of their league, and prints.
TEST(BatchExecutable, TheLeagueThenKnockoutExampleFillsTheBracketFromTheLeagues) {
    TempDir dir;
    const auto [r, lines, texts] = runExample(dir, "league-then-knockout.json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(texts.back(), "リーグ表→トーナメント終了");
    EXPECT_EQ(test::eventsOf(lines, "pdf").size(), 1u);

    auto saved = sheet::Workbook::open(dir / "男子シングルス予選リーグ.xlsx");
    std::map<std::string, int> players;
    saved->sheet("男子Ｓ").forEachCell([&](int, int column, const sheet::CellValue& v) {
        if (column != 3 && column != 22) return;
        std::string text = v.asText();
        for (size_t start = 0; start < text.size();) {
            const size_t end = std::min(text.find("\r\n", start), text.size());
            if (end > start) ++players[text.substr(start, end - start)];
            start = end + 2;
        }
    });
    EXPECT_EQ(players.size(), 155u) << "the sample's 155 men";
    for (const auto& [player, times] : players) EXPECT_EQ(times, 1) << player;
    EXPECT_NE(saved->findSheet("男子Ｒ"), nullptr);
}

// The record example: the sample's men's singles played to the end of the sheet, every result
// typed into the time table by the script. Every match has its two scores, the next-seeds
// sheet names a winner for every later match, and the record prints on the bracket's pages.
TEST(BatchExecutable, TheRecordExamplePlaysTheSamplesBracketThroughAndPrintsIt) {
    TempDir dir;
    const auto [r, lines, texts] = runExample(dir, "record-mens-singles.json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(texts.back(), "記録作成終了") << "no result refused, none missing";
    EXPECT_EQ(texts.size(), 4u);
    const auto pdfs = test::eventsOf(lines, "pdf");
    ASSERT_EQ(pdfs.size(), 1u);

    auto saved = sheet::Workbook::open(dir / "男子シングルス記録.xlsx");
    int scores = 0, labels = 0;
    saved->sheet("男子Ｓ").forEachCell([&](int, int c, const sheet::CellValue& v) {
        scores += c >= 7 && c <= 21 && v.isNumber();
        labels += c >= 7 && c <= 21 && v.isText() && v.asText().find('-') != std::string::npos;
    });
    EXPECT_EQ(labels, 0) << "消去 took the match numbers away";
    // The matches on the sheet: the time table's, but those between the pages.
    const sheet::Worksheet& table = saved->sheet("男子ＳＴＢ");
    int gapColumn = 1000, matches = 0;
    table.forEachCell([&](int r, int c, const sheet::CellValue& v) {
        if (r == 2 && v.asText() == "頁間") gapColumn = std::min(gapColumn, c);
    });
    table.forEachCell([&](int r, int c, const sheet::CellValue& v) {
        matches += r >= 3 && c < gapColumn && v.asText().find('-') != std::string::npos;
    });
    EXPECT_GT(matches, 140);
    EXPECT_EQ(scores, 2 * matches);
    int named = 0, errors = 0;
    saved->sheet("次回男子Ｓ").forEachCell([&](int, int c, const sheet::CellValue& v) {
        errors += v.asText() == "エラーあり";
        named += c == 3 && !v.asText().empty() && v.asText() != "エラーあり";
    });
    EXPECT_GT(named, 0);
    EXPECT_EQ(errors, 0);
    // The two pages meet in one match, written by page 1's footer.
    int gaps = 0;
    saved->sheet("男子Ｓ").forEachCell([&](int, int, const sheet::CellValue& v) {
        gaps += v.asText().starts_with("頁間 ") && v.asText().ends_with("の勝ち");
    });
    EXPECT_EQ(gaps, 1);
    // The progress names each page and column: the left halves first, each from the outside.
    std::vector<std::string> scanned;
    for (const auto& p : test::eventsOf(lines, "progress"))
        if (p["caption"].get<std::string>().starts_with("試合結果の記録_"))
            scanned.push_back(p["caption"]);
    ASSERT_FALSE(scanned.empty());
    EXPECT_EQ(scanned.front(), "試合結果の記録_ 1<頁.左>_ 7");
    EXPECT_EQ(scanned.back(), "試合結果の記録_ 2<頁.右>_ 16");
}

// The lists example on the sample's men's singles: the participant list, one entry form per
// school as a PDF named by its number, the bracket's merges restored after a swap, and the
// roster read back by Python's csv module as the entries stand on the entry sheet.
TEST(BatchExecutable, TheListsExampleMakesEachListOfTheSample) {
    TempDir dir;
    const auto [r, lines, texts] = runExample(dir, "lists-mens-singles.json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        std::vector<std::string>(texts.begin() + 1, texts.end()),
        (std::vector<std::string>{"参加一覧作成終了", "印刷終了", "投入終了", "組合せ作成終了",
                                  "交換終了", "セル結合終了", "CSV名簿作成終了"}));
    auto saved = sheet::Workbook::open(dir / "参加一覧と名簿.xlsx");

    // The men's sheet: each school with players, and the singles entries by school and number.
    std::set<int> schools;
    std::map<std::pair<std::string, std::string>, std::string> singles;
    const sheet::Worksheet& men = saved->sheet("男子");
    for (int row = 2; !men.value(row, 1).isEmpty(); ++row) {
        if (men.text(row, 3).empty()) continue;
        schools.insert(static_cast<int>(men.value(row, 1).asNumber()));
        if (!men.text(row, 9).empty())
            singles[{men.text(row, 1), men.text(row, 9)}] = men.text(row, 3);
    }
    const auto pdfs = test::eventsOf(lines, "pdf");
    ASSERT_EQ(pdfs.size(), schools.size());
    auto school = schools.begin();
    for (const auto& pdf : pdfs) {
        const std::filesystem::path path = pdf["path"].get<std::string>();
        EXPECT_EQ(path.filename().string(), "申込書" + std::to_string(*school++) + ".pdf");
        EXPECT_EQ(tombra::test::readFile(path).substr(0, 5), "%PDF-");
    }

    // Each line of the list is the tally's line of its school, numbered from 1 without a gap.
    const sheet::Worksheet& tally = saved->sheet("集計");
    const sheet::Worksheet& list = saved->sheet("参加一覧");
    int listed = 0;
    for (int row = 4; !list.value(row, 1).isEmpty(); ++row) {
        EXPECT_EQ(list.value(row, 1).asNumber(), ++listed);
        for (int c = 3; c <= 11; ++c)
            EXPECT_EQ(list.text(row, c), tally.text(listed + 2, c)) << row << " " << c;
    }
    int tallied = 0;
    while (!tally.value(tallied + 1, 2).isEmpty()) ++tallied;
    EXPECT_EQ(listed, tallied - 2) << "the three heading rows fold into one line";

    const sheet::Worksheet& bracket = saved->sheet("男子Ｓ");
    int names = 0;
    bracket.forEachCell([&](int row, int column, const sheet::CellValue& v) {
        if ((column != 3 && column != 22) || row < 3 || v.isEmpty()) return;
        ++names;
        EXPECT_EQ(bracket.mergedAreaAt(row, column), (sheet::Area{row, column, row + 1, column}));
    });
    EXPECT_EQ(names, 155);

    const auto rows = nlohmann::json::parse(
        tombra::test::runPython("read_csv.py", quoted(dir / "男子シングルス名簿.csv")));
    ASSERT_EQ(rows.size(), singles.size() + 1);
    for (size_t i = 1; i < rows.size(); ++i) {
        const std::vector<std::string> row = rows[i];
        EXPECT_EQ(row[2], (singles[{row[0], row[3]}])) << row[0] << "-" << row[3];
        EXPECT_FALSE(row[5].empty() || row[6].empty()) << "no place in the draw: " << row[2];
    }
}

}  // namespace
}  // namespace tombra::batch
