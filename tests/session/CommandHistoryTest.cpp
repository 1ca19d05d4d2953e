#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/CommandMap.h"
#include "app/TypedCells.h"
#include "session/CommandGuard.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "support/FakeShell.h"
#include "support/TestFiles.h"

namespace tombra {
namespace {

// The men's singles of the sample, walked as the example script walks it.
struct Walk {
    test::FakeShell shell;
    test::TempDir dir;
    Session session{shell, dir.path()};
    std::filesystem::path book = dir / "sample.xlsx";

    Walk() {
        std::filesystem::copy_file(test::testData("../../examples/sample.xlsx"), book);
        session.random.setFixedSeed(7);
        shell.files = {book.string()};
        shell.fill["Form1"] = [](ui::Form& f) {
            for (const char* o : {"Option1", "Option4", "Option12"}) f.setValue(o, true);
        };
        shell.fill["Form12"] = [](ui::Form& f) { f.setValue("Option1", true); };
        shell.fill["Form7"] = [](ui::Form& f) { f.setValue("Option10", true); };
    }
    void run(const std::string& id) {
        ASSERT_TRUE(app::runMenuItem(session, *app::findMenuItem(id))) << id;
    }
    sheet::Workbook& workbook() { return *session.host.held(session.state.WorkbookPath); }
    std::string lastLogLine() const {
        std::string text = session.log.text();
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        return text.substr(text.find_last_of("\r\n") + 1);
    }
    void type(const char* cell, const char* text) {
        app::typeCells(session, {app::typedCellAt(cell, text)});
    }

    struct Moment {
        std::string bytes;
        TournamentState state;
        std::set<std::string> marks;
        bool unsaved;
    };
    Moment now() {
        return {workbook().serialize(), session.state, session.marks.all(),
                workbook().hasUnsavedChanges()};
    }
};

struct Road : ::testing::Test, Walk {};

// Each command of the road is taken back in turn, newest first: the workbook serialises to
// the very bytes it did before that command, the state and marks are as they were, and the
// log names the command. A save as under a new name on the way is no step: the workbook
// stays where it was saved, unsaved wherever it differs from that file. Before File > Open
// there is nothing, and saying so changes nothing.
TEST_F(Road, EachCommandIsTakenBackInTurnBackToOpen) {
    run(ids::kFileOpen);
    const std::vector<std::string> road = {ids::kPlace,
                                           ids::kAdjustAffiliations,
                                           ids::kDistributeEvenly,
                                           ids::kDistributeNumbers,
                                           ids::kAdjustPacking,
                                           ids::kBuildBracket,
                                           ids::kMatchRecords};
    const size_t savedBefore = 6;  // saved as another file once the bracket is built
    const std::filesystem::path savedAs = dir / "組合せ.xlsx";
    std::vector<Moment> before;
    for (size_t i = 0; i < road.size(); ++i) {
        if (i == savedBefore) {
            shell.files = {savedAs.string()};
            run("mnuFileSaveAs");
        }
        before.push_back(now());
        run(road[i]);
    }
    ASSERT_EQ(session.history.size(), road.size());

    for (size_t i = road.size(); i-- > 0;) {
        SCOPED_TRACE(road[i]);
        run("mnuEditUndo");
        const Moment& then = before[i];
        EXPECT_TRUE(workbook().serialize() == then.bytes);
        EXPECT_EQ(workbook().path(), savedAs);
        EXPECT_EQ(workbook().hasUnsavedChanges(), i < savedBefore || then.unsaved);
        TournamentState expected = then.state;
        expected.WorkbookPath = savedAs.string();
        EXPECT_TRUE(session.state == expected);
        EXPECT_EQ(session.marks.all(), then.marks);
        EXPECT_EQ(lastLogLine(),
                  "元に戻しました: " + plainCaption(app::findMenuItem(road[i])->caption));
    }
    run("mnuEditUndo");
    EXPECT_EQ(shell.messages.back(), "元に戻せる操作はありません");
    EXPECT_TRUE(workbook().serialize() == before.front().bytes);
}

// Typing and commands come back newest first: typing after a command goes before it, and
// typing the command wrote over comes back with the workbook, to be taken back after it.
TEST_F(Road, TypingAndCommandsAreTakenBackNewestFirst) {
    run(ids::kFileOpen);
    run(ids::kPlace);
    type("集計!Z1", "前");
    run(ids::kBuildBracket);
    type("集計!Z2", "後");
    auto cell = [&](int row) { return workbook().sheet("集計").text(row, 26); };
    const size_t told = shell.messages.size();

    run("mnuEditUndo");
    EXPECT_EQ(cell(2), "");
    EXPECT_EQ(lastLogLine(), "元に戻しました: セル入力");
    EXPECT_TRUE(session.marks.checked(ids::kBuildBracket));
    run("mnuEditUndo");
    EXPECT_FALSE(session.marks.checked(ids::kBuildBracket));
    EXPECT_EQ(cell(1), "前");
    run("mnuEditUndo");
    EXPECT_EQ(cell(1), "");
    EXPECT_TRUE(session.marks.checked(ids::kPlace));
    run("mnuEditUndo");
    EXPECT_FALSE(session.marks.checked(ids::kPlace));
    EXPECT_EQ(shell.messages.size(), told) << "nothing to say while there is something to undo";
}

// A command that stops half-way is a step too: what it wrote before it stopped is taken back.
TEST_F(Road, ACommandStoppedHalfWayIsTakenBackToo) {
    run(ids::kFileOpen);
    const Moment before = now();
    EXPECT_FALSE(runCommand(
        session, "途中で止まる(&Z)",
        [](Session& s) {
            s.state.TableCount = 8;
            s.attachWorkbook()->sheet("集計").setText(1, 26, "書きかけ");
            s.state.TableSlot(129, 1) = 1;  // no table 129: the command stops here
        },
        UndoRole::Step));
    run("mnuEditUndo");
    EXPECT_TRUE(workbook().serialize() == before.bytes);
    EXPECT_TRUE(session.state == before.state);
    EXPECT_EQ(lastLogLine(), "元に戻しました: 途中で止まる");
}

// The history keeps no more steps than its limits allow, the oldest going first; the newest
// step stays even when its workbook alone is over the byte budget; with no steps allowed
// nothing is noted.
TEST(CommandHistoryLimits, TheOldestStepsGoFirst) {
    struct Case {
        CommandHistory::Limits limits;
        size_t kept;
    };
    const Case cases[] = {{{2, size_t{1} << 30}, 2}, {{10, 1}, 1}, {{0, size_t{1} << 30}, 0}};
    const std::vector<std::string> road = {ids::kPlace, ids::kAdjustAffiliations,
                                           ids::kDistributeEvenly, ids::kDistributeNumbers};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kept);
        Walk walk;
        walk.session.history.setLimits(c.limits);
        walk.run(ids::kFileOpen);
        for (const std::string& id : road) walk.run(id);
        EXPECT_EQ(walk.session.history.size(), c.kept);
        EXPECT_LE(walk.session.history.workbookBytes(),
                  c.kept > 1 ? c.limits.workbookBytes : ~size_t{0});
        for (size_t i = 0; i <= c.kept; ++i) walk.run("mnuEditUndo");
        EXPECT_EQ(walk.shell.messages.back(), "元に戻せる操作はありません");
        for (size_t i = 0; i < road.size(); ++i)
            EXPECT_EQ(walk.session.marks.checked(road[i]), i + c.kept < road.size()) << road[i];
    }
}

}  // namespace
}  // namespace tombra
