#include "draw/TableDialogs.h"

#include <array>
#include <utility>

#include "state/Numbers.h"
#include "ui/FormControls.h"

namespace tombra::draw {

namespace {

using namespace ui::controls;

constexpr std::array<std::pair<const char*, int>, 5> kTableOptions{
    {{"Option1", 8}, {"Option2", 16}, {"Option3", 32}, {"Option4", 64}, {"Option5", 128}}};
constexpr const char* kFreeOption = "Option6";

ui::FormSpec makeTableSettingsForm() {
    return ui::FormSpec{
        .name = "Form3",
        .caption = "テーブル設定",
        .controls =
            {
                frame("Frame1", "テーブル数の設定"),
                option("Option1", "8", "Frame1"),
                option("Option2", "16", "Frame1"),
                option("Option3", "32", "Frame1"),
                option("Option4", "64", "Frame1"),
                option("Option5", "128", "Frame1"),
                option(kFreeOption, "フリー⇒", "Frame1"),
                label("Label7", "最大エントリー数"),
                label("Label6", "0"),
                button("Command1", "OK"),
                button("Command2", "キャンセル"),
            },
        .okButton = "Command1",
        .cancelButton = "Command2",
    };
}

ui::FormSpec makeLeagueOptionsForm() {
    return ui::FormSpec{
        .name = "Form15",
        .caption = "リーグ人数などの設定",
        .controls =
            {
                frame("Frame1", "リーグ戦人数"),
                option("Option1", "３人", "Frame1", true),
                option("Option2", "４人", "Frame1"),
                option("Option3", "５人", "Frame1"),
                frame("Frame2", "ヤグラに表示選択"),
                option("Option4", "シードNo表示", "Frame2"),
                option("Option5", "リーグNo表示", "Frame2", true),
                frame("Frame3", "リーグ戦の余り追加場所"),
                option("Option6", "シード順に追加", "Frame3", true),
                option("Option7", "シード逆順に追加", "Frame3"),
                button("Command1", "OK"),
                button("Command2", "キャンセル"),
            },
        .okButton = "Command1",
        .cancelButton = "Command2",
    };
}

bool between(int v, int low, int high) { return v >= low && v <= high; }

int proposalForLeagues(int entries, int leagueSize) {
    // T tables of leagues of L hold from T x L entries (one league each) up to 2T x L (two
    // leagues each); the smallest count takes its lower bound too.
    for (auto [name, tables] : kTableOptions) {
        const int least = tables * leagueSize, most = 2 * least;
        const bool enough = tables == 8 ? entries >= least : entries > least;
        if (enough && entries <= most) return tables;
    }
    return 0;
}

}  // namespace

const ui::FormSpec& tableSettingsForm() {
    static const ui::FormSpec declaration = makeTableSettingsForm();
    return declaration;
}

const ui::FormSpec& leagueOptionsForm() {
    static const ui::FormSpec declaration = makeLeagueOptionsForm();
    return declaration;
}

int proposedTableCount(const TournamentState& s) {
    const int n = s.EntryCount;
    if (s.LeagueThenTournament == 1) return proposalForLeagues(n, s.LeagueSize);

    // The rules run in this order, each later one overriding: first by the entry count,
    // then by the largest school (its players should fit one to a table), and super seeds
    // always want 64 tables.
    const int most = s.MaxSchoolEntries;
    int t = 0;
    if (n <= 31) t = 8;
    if (n > 31) t = 16;
    if (n > 63) t = 32;
    if (n > 511) t = 64;
    if (n > 1023) t = 128;
    if (between(most, 1, 8)) t = 8;
    if (between(most, 9, 16)) t = 16;
    if (n > 63 || between(most, 17, 32)) t = 32;
    if (between(most, 33, 64)) t = 64;
    if (between(most, 65, 128)) t = 128;
    if (s.SuperSeedCount > 0) t = 64;
    return t;
}

void prepareTableSettings(ui::Form& form, TournamentState& s) {
    form.setText("Label6", numberText(s.MaxSchoolEntries));
    const int proposed = proposedTableCount(s);
    for (auto [name, tables] : kTableOptions)
        if (tables == proposed) form.setValue(name, true);
    if (s.LeagueThenTournament != 1 && proposed != 0) s.TableCount = static_cast<Integer>(proposed);
}

int selectedTableCount(const ui::Form& form) {
    for (auto [name, tables] : kTableOptions)
        if (form.value(name)) return tables;
    return 0;
}

bool freeTablesSelected(const ui::Form& form) { return form.value(kFreeOption); }

void storeLeagueOptions(const ui::Form& form, TournamentState& s) {
    if (form.value("Option1")) s.LeagueSize = 3;
    if (form.value("Option2")) s.LeagueSize = 4;
    if (form.value("Option3")) s.LeagueSize = 5;
    if (form.value("Option6")) s.LeagueRemainderOrder = 0;
    if (form.value("Option7")) s.LeagueRemainderOrder = 1;
    if (form.value("Option4")) s.BracketLabelMode = 0;
    if (form.value("Option5")) s.BracketLabelMode = 1;
}

}  // namespace tombra::draw
