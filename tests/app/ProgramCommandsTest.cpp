#include <gtest/gtest.h>

#include <fstream>

#include "app/CommandMap.h"
#include "app/ProgramCommands.h"
#include "session/Session.h"
#include "sheet/Constants.h"
#include "sheet/Workbook.h"
#include "support/FakeShell.h"
#include "support/TestFiles.h"

namespace tombra::app {
namespace {

using test::FakeShell;
using test::TempDir;

void run(Session& session, const std::string& pathOrId) {
    const MenuItem* item = findMenuItem(pathOrId);
    ASSERT_NE(item, nullptr) << pathOrId;
    ASSERT_TRUE(runMenuItem(session, *item)) << pathOrId << " has no command";
}

struct ProgramCommands : ::testing::Test {
    FakeShell shell;
    TempDir dir;
    Session session{shell, dir.path()};
    std::filesystem::path workbook = dir / "大会.xlsx";

    // As if File > Open had attached the workbook: the path is set and a change is pending.
    void openWithUnsavedChange() {
        std::filesystem::copy_file(test::testData("blank.xlsx"), workbook);
        session.state.WorkbookPath = workbook.string();
        session.attachWorkbook()->sheet("Sheet1").setText(1, 1, "未保存の変更");
    }
    std::string onDisk() { return sheet::Workbook::open(workbook)->sheet("Sheet1").text(1, 1); }
};

TEST_F(ProgramCommands, PlaceholdersShowTheirFixedTextsAndDoNothingElse) {
    run(session, "ﾌｧｲﾙ(&F)/新規作成(&N)");
    run(session, "mnuFileClose");
    run(session, "mnuFileProperties");
    ASSERT_TRUE(runToolbarButton(session, "中央揃え"));
    ASSERT_TRUE(runToolbarButton(session, "新規作成"));
    EXPECT_EQ(shell.messages,
              (std::vector<std::string>{" 'mnuFileNew_Click' のｺｰﾄﾞを追加します。",
                                        " 'mnuFileClose_Click' のｺｰﾄﾞを追加します。",
                                        " 'mnuFileProperties_Click' のｺｰﾄﾞを追加します。",
                                        " '中央揃え' ﾎﾞﾀﾝのｺｰﾄﾞを追加します。",
                                        " '新規作成' ﾎﾞﾀﾝのｺｰﾄﾞを追加します。"}));
    EXPECT_TRUE(session.marks.all().empty());
}

TEST_F(ProgramCommands, SaveMarksItsItemAndSavesTheAttachedWorkbook) {
    run(session, "mnuFileSave");  // before any open: nothing to save, but the mark is set
    EXPECT_TRUE(session.marks.checked("mnuFileSave"));
    EXPECT_TRUE(shell.messages.empty());
    openWithUnsavedChange();
    run(session, "ﾌｧｲﾙ(&F)/すべて保存(&L)");
    EXPECT_EQ(onDisk(), "未保存の変更");
}

TEST_F(ProgramCommands, SaveAsCancelledLeavesThePathAndSaveAsChosenMovesIt) {
    openWithUnsavedChange();
    shell.files = {""};
    run(session, "mnuFileSaveAs");
    EXPECT_EQ(shell.fileTitles, std::vector<std::string>{"名前を付けて保存"});
    EXPECT_EQ(session.state.WorkbookPath, workbook.string());
    EXPECT_EQ(onDisk(), "");

    shell.files = {(dir / "写し.xlsx").string()};
    run(session, "mnuFileSaveAs");
    EXPECT_EQ(session.state.WorkbookPath, (dir / "写し.xlsx").string());
    EXPECT_EQ(sheet::Workbook::open(dir / "写し.xlsx")->sheet("Sheet1").text(1, 1), "未保存の変更");
    EXPECT_EQ(shell.workbookShown, (std::vector<bool>{true, false}))
        << "shown while saving, hidden after";
}

TEST_F(ProgramCommands, SaveAsIntoAFolderThatCannotBeWrittenSaysSoAndKeepsThePath) {
    openWithUnsavedChange();
    shell.files = {(dir / "ない/写し.xlsx").string()};
    run(session, "mnuFileSaveAs");
    EXPECT_EQ(session.state.WorkbookPath, workbook.string());
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_NE(shell.messages[0].find("保存できません"), std::string::npos) << shell.messages[0];
}

TEST_F(ProgramCommands, PrintingBeforeAnyOpenDoesNothing) {
    for (const char* item : {"印刷(&P)/印刷(&I))", "印刷(&P)/印刷プレビュー(&P)", "mnuFilePrint",
                             "mnuFilePrintPreview"})
        run(session, item);
    EXPECT_TRUE(shell.printed.empty());
    EXPECT_TRUE(shell.previewed.empty());
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_FALSE(session.host.visible());
}

TEST_F(ProgramCommands, PrintingGoesToTheEventsBracketSheetOnly) {
    openWithUnsavedChange();
    session.state.GenderName = "男子";
    session.state.EventCode = "Ｓ";
    run(session, "mnuFilePrint");  // no sheet 男子Ｓ yet
    EXPECT_TRUE(shell.printed.empty());
    session.attachWorkbook()->addSheet("男子Ｓ");
    run(session, "mnuFilePrint");
    EXPECT_FALSE(session.host.visible()) << "File > Print leaves the host as it was";
    run(session, "印刷Ⅰ");
    EXPECT_TRUE(session.host.visible());
    run(session, "印刷プレビュー(&P)");
    EXPECT_EQ(shell.printed, (std::vector<std::string>{"男子Ｓ", "男子Ｓ"}));
    EXPECT_EQ(shell.previewed, std::vector<std::string>{"男子Ｓ"});
    EXPECT_EQ(session.attachWorkbook()->activeSheetName(), "男子Ｓ");
}

TEST_F(ProgramCommands, TopLevelExitSavesAndLeavesTheHostMinimisedWhenKeepIsTicked) {
    openWithUnsavedChange();
    run(session, "END");
    EXPECT_EQ(onDisk(), "未保存の変更");
    EXPECT_TRUE(session.host.running());
    EXPECT_TRUE(session.host.visible());
    EXPECT_EQ(session.host.windowState(), sheet::xl::WindowMinimized);
    EXPECT_TRUE(shell.ended);
    EXPECT_FALSE(shell.windowClosed);
}

TEST_F(ProgramCommands, TopLevelExitQuitsTheHostWhenKeepIsNotTicked) {
    ui::FormSpec settings{
        "Form1",
        "初期設定",
        {{"Check2", ui::ControlKind::CheckBox, "終了時エクセルを残す", "", true}}};
    session.forms.get(settings).setValue("Check2", false);
    openWithUnsavedChange();
    run(session, "終了(&X)");
    EXPECT_EQ(onDisk(), "未保存の変更") << "saved before the host goes";
    EXPECT_FALSE(session.host.running());
    EXPECT_TRUE(shell.ended);
}

TEST_F(ProgramCommands, FileExitSavesThenClosesTheWindowWhoseClosingMinimisesTheHost) {
    ui::FormSpec settings{
        "Form1",
        "初期設定",
        {{"Check2", ui::ControlKind::CheckBox, "終了時エクセルを残す", "", true}}};
    session.forms.get(settings).setValue("Check2", false);  // not consulted on this path
    openWithUnsavedChange();
    run(session, "ﾌｧｲﾙ(&F)/終了(&X)");
    EXPECT_EQ(onDisk(), "未保存の変更");
    EXPECT_TRUE(shell.windowClosed);
    EXPECT_FALSE(shell.ended);
    EXPECT_TRUE(session.host.running());

    session.host.setVisible(false);
    mainWindowClosing(session);
    EXPECT_TRUE(session.host.visible());
    EXPECT_EQ(session.host.windowState(), sheet::xl::WindowMinimized);
    EXPECT_TRUE(session.host.running());
    session.state.ExcelStartFailed = -1;
    mainWindowClosing(session);
    EXPECT_FALSE(session.host.running()) << "a host that failed to start is asked to quit";
}

TEST_F(ProgramCommands, ExitWithoutAnyWorkbookStillEnds) {
    run(session, "END");
    EXPECT_TRUE(shell.ended);
    EXPECT_TRUE(shell.messages.empty());
}

TEST(VersionText, NumbersLoseTheirLeadingZeros) {
    EXPECT_EQ(versionText("3.08.0008"), "ﾊﾞｰｼﾞｮﾝ 3.8.8");
    EXPECT_EQ(versionText("0.1.0"), "ﾊﾞｰｼﾞｮﾝ 0.1.0");
    EXPECT_EQ(versionText("2"), "ﾊﾞｰｼﾞｮﾝ 2.0.0");
}

TEST_F(ProgramCommands, LogLinesEndInCrLfAndClearingEmptiesThePane) {
    session.log.append("男子シングルス 64名");
    session.log.append("");
    EXPECT_EQ(shell.lastLog, "男子シングルス 64名\r\n\r\n");
    run(session, "編集(&E)/画面消去(&C)");
    EXPECT_EQ(session.log.text(), "");
    session.log.append("次");
    EXPECT_EQ(session.log.text(), "次\r\n");
}

TEST_F(ProgramCommands, HelpOpensTheFileNamedAfterTheProgramFolderOnlyWhenItExists) {
    run(session, "mnuHelpContents");
    EXPECT_TRUE(shell.helpOpened.empty());
    std::string help = dir.path().string() + ".hlp";
    { std::ofstream(help) << "help"; }
    run(session, "mnuHelpSearchForHelpOn");
    std::filesystem::remove(help);
    EXPECT_EQ(shell.helpOpened, std::vector<std::string>{help});
}

}  // namespace
}  // namespace tombra::app
