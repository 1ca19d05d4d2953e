#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "app/CommandMap.h"
#include "session/CommandGuard.h"
#include "session/Session.h"
#include "sheet/WorkbookError.h"
#include "state/Table.h"
#include "support/EntryWorkbook.h"
#include "support/FakeShell.h"
#include "support/TestFiles.h"

namespace tombra {
namespace {

struct Thrown {
    std::exception_ptr failure;
    std::string expected;
};

// What the user reads for each kind of failure: the engine's and the tables' own Japanese
// texts, anything else as a fault of the program with the library's text as a detail.
TEST(CommandGuard, EachFailureIsToldInJapaneseWithTheCommandNamed) {
    const Thrown cases[] = {
        {std::make_exception_ptr(
             sheet::WorkbookError("シート「集計」が壊れています: 行番号 0 が範囲外です")),
         "「開く」を中断しました。\nシート「集計」が壊れています: 行番号 0 が範囲外です"},
        {std::make_exception_ptr(
             TableIndexError("表 EntryName に番号 (201, 5) はありません（範囲 0～200, 0～99）")),
         "「開く」を中断しました。\nブックの番号が扱える範囲を超えています。\n詳細: 表 EntryName "
         "に番号 (201, 5) "
         "はありません（範囲 0～200, 0～99）"},
        {std::make_exception_ptr(std::bad_alloc()),
         "「開く」を中断しました。\nメモリが足りません。"},
        {std::make_exception_ptr(std::logic_error("vector::_M_range_check")),
         "「開く」を中断しました。\nプログラムの誤りです。\n詳細: vector::_M_range_check"},
    };
    for (const Thrown& c : cases) {
        try {
            std::rethrow_exception(c.failure);
        } catch (const std::exception& e) {
            EXPECT_EQ(failureMessage("開く(&O)...", e), c.expected);
        }
    }
}

// A command that throws half-way: its progress is hidden, nothing after the throw runs, the
// user reads one message, and the program goes on to the next command.
TEST(CommandGuard, AFailedCommandHidesItsProgressAndTheNextCommandRuns) {
    test::FakeShell shell;
    test::TempDir dir;
    Session session(shell, dir.path());
    static bool wroteAfterFailure;
    wroteAfterFailure = false;
    Command failing = [](Session& s) {
        s.progress.start("選手を投入中", 0, 10);
        s.state.TableSlot(129, 1) = 1;  // no table 129: the tables refuse it
        wroteAfterFailure = true;
    };
    EXPECT_FALSE(runCommand(session, "投入", failing));
    EXPECT_FALSE(session.progress.visible());
    EXPECT_FALSE(wroteAfterFailure);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].rfind(
                  "「投入」を中断しました。\nブックの番号が扱える範囲を超えています。", 0),
              0u)
        << shell.messages[0];

    EXPECT_TRUE(runCommand(session, "ﾊﾞｰｼﾞｮﾝ情報(&A)", [](Session& s) { s.tell("次"); }));
    EXPECT_EQ(shell.messages.back(), "次");
}

// An entry workbook whose "集計" cannot be read, opened from the menu and from the toolbar.
TEST(CommandGuard, ADamagedTallySheetEndsTheOpenInOneMessageFromMenuAndToolbar) {
    test::TempDir dir;
    const auto path = dir / "壊れた集計.xlsx";
    test::writeEntryWorkbook(path, {{"男子", {{"1", "北高", "山田"}}, 5}, test::tallySheet(3)});
    test::damageLastSheet(path);

    for (bool fromToolbar : {false, true}) {
        test::FakeShell shell;
        Session session(shell, dir.path());
        shell.files = {path.string()};
        if (fromToolbar)
            EXPECT_TRUE(app::runToolbarButton(session, "開く"));
        else
            EXPECT_TRUE(app::runMenuItem(session, *app::findMenuItem("mnuFileOpen")));
        ASSERT_EQ(shell.messages.size(), 1u);
        EXPECT_EQ(
            shell.messages[0],
            "「開く」を中断しました。\nブック「壊れた集計.xlsx」の部品 xl/worksheets/sheet4.xml "
            "(シート「集計」) が壊れています: 行番号 0 が範囲外です");
        EXPECT_FALSE(session.progress.visible());
    }
}

}  // namespace
}  // namespace tombra
