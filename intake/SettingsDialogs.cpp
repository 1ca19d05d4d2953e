#include "intake/SettingsDialogs.h"

#include <algorithm>

#include "session/Session.h"
#include "state/Numbers.h"
#include "ui/FormControls.h"

namespace tombra::intake {

namespace {

using ui::Form;
using ui::FormSpec;
using namespace ui::controls;

FormSpec makeSettingsForm() {
    return FormSpec{
        .name = "Form1",
        .caption = "初期設定",
        .controls =
            {
                frame("Frame1", "性別"),
                option("Option1", "男子", "Frame1", true),
                option("Option2", "女子", "Frame1"),
                option("Option3", "ミックス", "Frame1"),
                option("Option8", "個人リーグ", "Frame1"),
                frame("Frame2", "種目"),
                option("Option4", "シングルス", "Frame2", true),
                option("Option5", "ダブルス", "Frame2"),
                option("Option6", "団体", "Frame2"),
                option("Option7", "ジュニア", "Frame2"),
                option("Option9", "１部", "Frame2"),
                option("Option10", "2部", "Frame2"),
                option("Option11", "3部", "Frame2"),
                frame("Frame3", "ヤグラ／リーグ"),
                option("Option12", "トーナメント", "Frame3", true),
                option("Option13", "リーグ戦　　　　↓　　　　　　トーナメント", "Frame3"),
                option("Option14", "リーグ戦", "Frame3"),
                label("Label1", "プログラム印刷表題"),
                textBox("Text1", ""),
                check("Check1", "ヤグラ印刷のみ"),
                check("Check2", "終了時エクセルを残す", true),
                check("Check3", "ダブルス改行表示"),
                check("Check4", "団体自動NO振り付け(トーナメント)"),
                check("Check5", "苗字抽出"),
                check("Check6", "ブロック処理"),
                check("Check7", "スーパーシードを設定する"),
                button("Command1", "OK"),
                button("Command2", "キャンセル"),
            },
        .okButton = "Command1",
        .cancelButton = "Command2",
    };
}

FormSpec makeParticipantCountForm() {
    return FormSpec{
        .name = "Form8",
        .caption = "人数指定",
        .controls =
            {
                label("Label1", "参加人数入力"),
                label("Label2", "リーグ→トーナメントの場合には、リーグのブロック数を入力する"),
                textBox("Text1", ""),
                button("Command1", "ＯＫ"),
            },
        .okButton = "Command1",
        .cancelButton = "Command1",  // the only way out
    };
}

FormSpec makeSuperSeedForm() {
    return FormSpec{
        .name = "Form11",
        .caption = "スーパーシードの設定",
        .controls =
            {
                label("Label1", "スーパシードスタート回戦を選んでください"),
                option("Option1", "３回戦", {}, true),
                option("Option2", "４回戦", {}),
                frame("Frame1", "スーパシード数"),
                label("Label2", "１～", "Frame1"),
                option("Option3", "8", "Frame1", true),
                option("Option4", "16", "Frame1"),
                label("Label3", "スーパーシードにするシードNoを入力してください"),
                button("Command1", "OK"),
            },
        .okButton = "Command1",
        .cancelButton = "Command1",
    };
}

FormSpec makeSuperSeedCountForm() {
    return FormSpec{
        .name = "Form14",
        .caption = "スーパシード設定",
        .controls =
            {
                label("Label1", "スーパシードの人数を入力"),
                label("Label2", "１～"),
                textBox("Text1", "8"),
                label("Label3", "スーパシードがない場合はキャンセルしてください"),
                button("Command1", "ＯＫ"),
                button("Command2", "キャンセル"),
            },
        .okButton = "Command1",
        .cancelButton = "Command2",
    };
}

// What the options and boxes of Form1 set, read back in this order. The order matters:
// "リーグ戦" (Option14) makes the event a team event unless junior or a division is chosen,
// because those come after it.
struct GenderOption {
    const char* option;
    const char* gender;
};
constexpr GenderOption kGenderOptions[] = {
    {"Option1", "男子"}, {"Option2", "女子"}, {"Option3", "ミックス"}, {"Option8", "個人リーグ"}};

struct EventOption {
    const char* option;
    const char* name;
    const char* code;
};
constexpr EventOption kEventOptions[] = {
    {"Option4", "シングルス", "Ｓ"}, {"Option5", "ダブルス", "Ｄ"},   {"Option6", "団体", "Ｔ"},
    {"Option14", "団体", "Ｔ"},      {"Option7", "ジュニア", "ＪＳ"}, {"Option9", "１部", "Ｋ１"},
    {"Option10", "２部", "Ｋ２"},    {"Option11", "３部", "Ｋ３"}};

struct LeagueOption {
    const char* option;
    Integer leagueThenTournament;
};
constexpr LeagueOption kLeagueOptions[] = {{"Option12", 0}, {"Option13", 1}, {"Option14", 0}};

struct FlagBox {
    const char* check;
    Integer TournamentState::*flag;
};
constexpr FlagBox kFlagBoxes[] = {{"Check4", &TournamentState::AutoTeamLetters},
                                  {"Check3", &TournamentState::DoublesLineBreak},
                                  {"Check5", &TournamentState::ExtractSurname},
                                  {"Check6", &TournamentState::BlockMode}};

void readSettings(const Form& form, TournamentState& s) {
    for (const GenderOption& g : kGenderOptions)
        if (form.value(g.option)) s.GenderName = g.gender;
    for (const EventOption& e : kEventOptions) {
        if (!form.value(e.option)) continue;
        s.EventName = e.name;
        s.EventCode = e.code;
    }
    for (const LeagueOption& l : kLeagueOptions)
        if (form.value(l.option)) s.LeagueThenTournament = l.leagueThenTournament;
    s.PrintTitle = form.text("Text1");
    for (const FlagBox& box : kFlagBoxes) s.*box.flag = form.value(box.check) ? 1 : 0;
}

constexpr long long kMaxLeagueSuperSeeds = 128;

// The largest bracket the draw makes; more dummy entries could not be placed.
constexpr int kMaxParticipants = 1024;

// The participant count of Form8: the whole part of the number typed; 0 when what was typed
// is no count of participants at all (told to the user).
int askParticipantCount(Session& session) {
    Form& form = session.forms.get(participantCountForm());
    session.shell.showForm(form);
    const long long count = truncateToInteger(readNumber(form.text("Text1")));
    if (count >= 1 && count <= kMaxParticipants) return static_cast<int>(count);
    session.tell("参加人数は 1～" + std::to_string(kMaxParticipants) +
                 " の数で入力してください（「" + form.text("Text1") + "」）");
    return 0;
}

}  // namespace

const ui::FormSpec& settingsForm() {
    static const FormSpec declaration = makeSettingsForm();
    return declaration;
}
const ui::FormSpec& participantCountForm() {
    static const FormSpec declaration = makeParticipantCountForm();
    return declaration;
}
const ui::FormSpec& superSeedForm() {
    static const FormSpec declaration = makeSuperSeedForm();
    return declaration;
}
const ui::FormSpec& superSeedCountForm() {
    static const FormSpec declaration = makeSuperSeedCountForm();
    return declaration;
}

void makeDummyEntries(Session& session, int participants) {
    TournamentState& s = session.state;
    const int fullSchools = participants / 10, rest = participants % 10;
    auto fill = [&s](int school, int count) {
        for (int m = 1; m <= count; ++m) {
            s.EntryName(school, m) = std::to_string(school * 100 + m);
            s.EntryPresence(school, m) = 1;
        }
        s.SchoolEntryCount(school) = static_cast<Integer>(count);
    };
    for (int g = 1; g <= fullSchools; ++g) fill(g, 10);
    fill(fullSchools + 1, rest);
}

void askSettings(Session& session) {
    TournamentState& s = session.state;
    Form& form = session.forms.get(settingsForm());
    if (session.shell.showForm(form) != form.declaration().okButton) {
        s.GenderName = "キャンセル";
        return;
    }

    readSettings(form, s);

    if (form.value("Check1")) {
        s.BracketPrintOnly = "Y";
        const int participants = askParticipantCount(session);
        if (participants == 0) {
            // Without a count there is no bracket to draw: the open stops as if cancelled.
            s.GenderName = "キャンセル";
            return;
        }
        s.EntryCount = static_cast<Integer>(participants);
        makeDummyEntries(session, participants);
    }
    s.fillColumnLetters();

    if (form.value("Check7")) {
        // A league's super seeds each take a group of their own (Form9's variable sizes);
        // the event code stays that of the sheets, so the league is told by its options.
        const bool league = form.value("Option14") || form.value("Option8");
        if (s.EventCode == "Ｓ" && !league) {
            Form& superSeeds = session.forms.get(superSeedForm());
            session.shell.showForm(superSeeds);
            s.SuperSeedStartRound = superSeeds.value("Option2") ? 4 : 3;
            s.SuperSeedCount = superSeeds.value("Option4") ? 16 : 8;
        }
        if (league || s.EventCode == "Ｒ") {
            Form& count = session.forms.get(superSeedCountForm());
            const bool ok = session.shell.showForm(count) == count.declaration().okButton;
            // Each super seed takes one of the at most 128 groups; more could not be held.
            const long long typed = roundToInteger(readNumber(count.text("Text1")));
            s.LeagueSuperSeedCount =
                ok ? static_cast<Integer>(std::clamp(typed, 0LL, kMaxLeagueSuperSeeds)) : 0;
        }
    }
}

}  // namespace tombra::intake
