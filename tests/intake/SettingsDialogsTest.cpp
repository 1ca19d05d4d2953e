#include <gtest/gtest.h>

#include "intake/SettingsDialogs.h"
#include "session/Session.h"
#include "support/FakeShell.h"
#include "support/TestFiles.h"

namespace tombra::intake {
namespace {

struct SettingsDialog : ::testing::Test {
    test::FakeShell shell;
    test::TempDir dir;
    Session session{shell, dir.path()};
    TournamentState& s = session.state;

    void ask(std::initializer_list<const char*> ticked) {
        std::vector<std::string> on(ticked.begin(), ticked.end());
        shell.fill["Form1"] = [on](ui::Form& f) {
            for (const std::string& c : on) f.setValue(c, true);
        };
        askSettings(session);
    }
};

TEST_F(SettingsDialog, DefaultsGiveMensSinglesAsAKnockoutWithNoOptions) {
    s.AutoTeamLetters = s.DoublesLineBreak = s.ExtractSurname = s.BlockMode = 1;
    ask({});
    EXPECT_EQ(s.GenderName, "男子");
    EXPECT_EQ(s.EventName, "シングルス");
    EXPECT_EQ(s.EventCode, "Ｓ");
    EXPECT_EQ(s.LeagueThenTournament, 0);
    EXPECT_EQ(s.AutoTeamLetters + s.DoublesLineBreak + s.ExtractSurname + s.BlockMode, 0);
    EXPECT_EQ(s.ColumnLetters(1), "a");
    EXPECT_EQ(s.ColumnLetters(30), "ad");
    EXPECT_TRUE(s.BracketPrintOnly.empty());
    EXPECT_EQ(shell.formsShown, std::vector<std::string>{"Form1"});
}

TEST_F(SettingsDialog, LaterChoicesOverrideEarlierOnesInTheirFixedOrder) {
    struct Case {
        std::vector<const char*> ticked;
        const char *gender, *event, *code;
        int leagueThenTournament;
    };
    const std::vector<Case> cases = {
        {{"Option3", "Option5"}, "ミックス", "ダブルス", "Ｄ", 0},
        {{"Option3"}, "ミックス", "シングルス", "Ｓ", 0},
        {{"Option14"}, "男子", "団体", "Ｔ", 0},
        {{"Option14", "Option7"}, "男子", "ジュニア", "ＪＳ", 0},
        {{"Option14", "Option11"}, "男子", "３部", "Ｋ３", 0},
        {{"Option2", "Option13", "Option6"}, "女子", "団体", "Ｔ", 1},
        {{"Option8", "Option9"}, "個人リーグ", "１部", "Ｋ１", 0},
    };
    for (const Case& c : cases) {
        test::FakeShell caseShell;
        Session caseSession{caseShell, dir.path()};
        caseShell.fill["Form1"] = [&c](ui::Form& f) {
            for (const char* o : c.ticked) f.setValue(o, true);
        };
        askSettings(caseSession);
        const TournamentState& t = caseSession.state;
        EXPECT_EQ(t.GenderName, c.gender) << c.ticked.front();
        EXPECT_EQ(t.EventName, c.event) << c.ticked.front();
        EXPECT_EQ(t.EventCode, c.code) << c.ticked.front();
        EXPECT_EQ(t.LeagueThenTournament, c.leagueThenTournament) << c.ticked.front();
    }
}

TEST_F(SettingsDialog, BracketPrintOnlyMakesTenDummyEntriesASchool) {
    shell.fill["Form8"] = [](ui::Form& f) { f.setText("Text1", "30"); };
    ask({"Check1"});
    EXPECT_EQ(s.BracketPrintOnly, "Y");
    EXPECT_EQ(s.EntryCount, 30);
    EXPECT_EQ(s.SchoolEntryCount(3), 10);
    EXPECT_EQ(s.EntryName(3, 10), "310");
    EXPECT_EQ(s.EntryPresence(2, 1), 1.0f);
    EXPECT_EQ(s.SchoolEntryCount(4), 0);
    EXPECT_TRUE(s.EntryName(4, 1).empty());

    test::FakeShell second;
    Session again{second, dir.path()};
    second.fill["Form1"] = [](ui::Form& f) { f.setValue("Check1", true); };
    second.fill["Form8"] = [](ui::Form& f) { f.setText("Text1", "7.9人"); };
    askSettings(again);
    EXPECT_EQ(again.state.SchoolEntryCount(1), 7);
    EXPECT_EQ(again.state.EntryName(1, 7), "107");
    EXPECT_TRUE(again.state.EntryName(1, 8).empty());
    EXPECT_EQ(again.state.GenderName, "男子");
}

TEST_F(SettingsDialog, ACountThatIsNoNumberStopsTheOpenWithAMessage) {
    for (const char* typed : {"", "abc", "0", "2000"}) {
        test::FakeShell caseShell;
        Session caseSession{caseShell, dir.path()};
        caseShell.fill["Form1"] = [](ui::Form& f) { f.setValue("Check1", true); };
        caseShell.fill["Form8"] = [typed](ui::Form& f) { f.setText("Text1", typed); };
        askSettings(caseSession);
        EXPECT_EQ(caseSession.state.GenderName, "キャンセル") << typed;
        ASSERT_EQ(caseShell.messages.size(), 1u) << typed;
        EXPECT_EQ(caseShell.messages[0].rfind("参加人数は 1～1024 の数で入力してください", 0), 0u);
        EXPECT_EQ(caseSession.state.SchoolEntryCount(1), 0);
    }
}

TEST_F(SettingsDialog, SuperSeedDialogsOpenOnlyForSingles) {
    shell.fill["Form11"] = [](ui::Form& f) {
        f.setValue("Option2", true);
        f.setValue("Option4", true);
    };
    ask({"Check7"});
    EXPECT_EQ(shell.formsShown, (std::vector<std::string>{"Form1", "Form11"}));
    EXPECT_EQ(s.SuperSeedStartRound, 4);
    EXPECT_EQ(s.SuperSeedCount, 16);

    test::FakeShell team;
    Session teamSession{team, dir.path()};
    team.fill["Form1"] = [](ui::Form& f) {
        f.setValue("Check7", true);
        f.setValue("Option6", true);
    };
    askSettings(teamSession);
    EXPECT_EQ(team.formsShown, std::vector<std::string>{"Form1"});
}

// The league events ask Form14 for the league super seeds; the knockouts keep Form11.
TEST_F(SettingsDialog, SuperSeedsOfALeagueAreCountedInForm14) {
    struct Case {
        std::vector<const char*> ticked;
        const char* typed;
        const char* press;
        std::vector<std::string> forms;
        int leagueSuperSeeds;
    };
    const std::vector<Case> cases = {
        {{"Check7", "Option14"}, "3", "Command1", {"Form1", "Form14"}, 3},
        {{"Check7", "Option8"}, "70000", "Command1", {"Form1", "Form14"}, 128},
        {{"Check7", "Option8", "Option9"}, "3", "Command2", {"Form1", "Form14"}, 0},
        {{"Check7", "Option13"}, "3", "Command1", {"Form1", "Form11"}, 0},
        {{"Option14"}, "3", "Command1", {"Form1"}, 0},
    };
    for (const Case& c : cases) {
        test::FakeShell caseShell;
        Session caseSession{caseShell, dir.path()};
        caseShell.fill["Form1"] = [&c](ui::Form& f) {
            for (const char* o : c.ticked) f.setValue(o, true);
        };
        caseShell.fill["Form14"] = [&c](ui::Form& f) { f.setText("Text1", c.typed); };
        caseShell.press["Form14"] = c.press;
        askSettings(caseSession);
        EXPECT_EQ(caseShell.formsShown, c.forms) << c.ticked.back();
        EXPECT_EQ(caseSession.state.LeagueSuperSeedCount, c.leagueSuperSeeds) << c.ticked.back();
    }
}

TEST_F(SettingsDialog, CancelChangesNothingButTheGender) {
    s.PrintTitle = "前の表題";
    shell.fill["Form1"] = [](ui::Form& f) {
        f.setValue("Option2", true);
        f.setText("Text1", "新しい表題");
    };
    shell.press["Form1"] = "Command2";
    askSettings(session);
    EXPECT_EQ(s.GenderName, "キャンセル");
    EXPECT_EQ(s.PrintTitle, "前の表題");
    EXPECT_TRUE(s.EventName.empty());
    // The dialog keeps what was typed for the next time it shows.
    EXPECT_EQ(session.forms.find("Form1")->text("Text1"), "新しい表題");
}

TEST_F(SettingsDialog, SuperSeedCountIsReadAsANumberAndZeroWhenCancelled) {
    ui::Form& count = session.forms.get(superSeedCountForm());
    EXPECT_EQ(count.text("Text1"), "8");
    EXPECT_EQ(count.caption(), "スーパシード設定");
    EXPECT_EQ(session.forms.get(participantCountForm()).caption(), "人数指定");
    EXPECT_EQ(session.forms.get(superSeedForm()).selectedOption("Frame1"), "Option3");
}

}  // namespace
}  // namespace tombra::intake
