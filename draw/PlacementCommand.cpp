#include "draw/PlacementCommand.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "draw/LeagueSizeDialog.h"
#include "draw/RandomFill.h"
#include "draw/SeedPlacement.h"
#include "draw/SeedingOrder.h"
#include "draw/TableDialogs.h"
#include "draw/TableSizing.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "state/EntryCode.h"
#include "state/Numbers.h"

namespace tombra::draw {

namespace {

using Problem = std::optional<std::string>;

// Form3, then the seeding order of the chosen table count.
Problem chooseTables(Session& session) {
    TournamentState& s = session.state;
    ui::Form& form = session.forms.get(tableSettingsForm());
    prepareTableSettings(form, s);
    if (session.shell.showForm(form) == form.declaration().okButton) {
        if (freeTablesSelected(form))
            askLeagueSize(session);  // its OK sets TableCount; キャンセル leaves it as it was
        else if (const int tables = selectedTableCount(form); tables != 0)
            s.TableCount = static_cast<Integer>(tables);
    }
    if (s.TableCount == 0) return "テーブル数が選ばれていません";
    if (!isBracketTableCount(s.TableCount))
        return "テーブル数 " + numberText(s.TableCount) +
               " ではヤグラを組めません（8・16・32・64・128 のいずれか）";
    buildTableOrder(s, s.TableCount);
    return std::nullopt;
}

// Form15 (league size and where the leftover entries go), Form3, then the tables as leagues.
Problem sizeTablesByLeagues(Session& session) {
    TournamentState& s = session.state;
    s.LeagueSize = 3;
    ui::Form& options = session.forms.get(leagueOptionsForm());
    if (session.shell.showForm(options) == options.declaration().okButton)
        storeLeagueOptions(options, s);
    if (Problem p = chooseTables(session)) return p;
    return sizeTablesAsLeagues(s);
}

void fillTables(Session& session) {
    TournamentState& s = session.state;
    s.DrawDone = 1;
    placeSeeds(s);

    ui::ProgressDialog& progress = session.progress;
    progress.start("選手を投入中", 0, waitingEntries(s));

    session.random.reseedFromClock();
    const FillEvents events{[&progress](int placed) { progress.setValue(placed); },
                            [&session] { session.tell("強制投入します"); }};
    const FillResult result = drawEntries(s, session.random, events);
    progress.hide();

    if (result.unplaced > 0)
        session.tell("空きの枠がなく、" + numberText(result.unplaced) +
                     " 名（組）を投入できませんでした");
}

// The super-seed ranks without a seed of that number: their one-place tables get whoever the
// draw puts there, who then goes straight on to the super seeds' round.
std::vector<int> unseededSuperSeedRanks(const TournamentState& s) {
    std::vector<int> ranks;
    const int last = std::min<int>({s.SuperSeedCount, s.TableCount, s.PositionEntry.upper()});
    for (int r = 1; r <= last; ++r)
        if (r > s.SeedCount || s.PositionEntry(r) == 0) ranks.push_back(r);
    return ranks;
}

Problem confirmUnseededSuperSeeds(Session& session, const std::vector<int>& ranks) {
    if (ranks.empty()) return std::nullopt;
    std::string list;
    for (int r : ranks) list += (list.empty() ? "" : "・") + numberText(r);
    const std::string question = "スーパーシード " + numberText(session.state.SuperSeedCount) +
                                 " 人のうち、" + list +
                                 " 番にはシード選手がいません。\nその枠には抽選で選ばれた選手が入り"
                                 "、不戦勝で勝ち上がります。"
                                 "\n続けますか？";
    if (session.shell.message(question, ui::Buttons::YesNo) == ui::Answer::Yes) return std::nullopt;
    return "スーパーシードの枠にシード選手が足りないため、投入を取り消しました";
}

// Who got a super seed's bye by the draw, for the office to check.
void logDrawnByes(Session& session, const std::vector<int>& ranks) {
    const TournamentState& s = session.state;
    for (int r : ranks) {
        const int t = s.TableOrder(r);
        const Single code = s.TableSlot(t, 1);
        if (code <= 0) continue;
        const DecodedEntry e = decodeEntry(code);
        session.log.append("スーパーシード " + numberText(r) + " 番の枠（テーブル " +
                           numberText(t) + "）: " + s.EntryName(e.school, e.entry) + "(" +
                           s.EntryAffiliation(e.school, e.entry) + ") が抽選で入り、不戦勝");
    }
}

// Everything up to and including the draw; a problem stops it before any entry is placed.
Problem draw(Session& session) {
    TournamentState& s = session.state;
    if (s.EntryCount <= 0) return "エントリーがありません（先にファイルを開いてください）";

    const bool plainTournament = s.EventCode != "Ｒ" && s.LeagueThenTournament != 1;
    if (plainTournament) {
        if (Problem p = chooseTables(session)) return p;
        if (Problem p = sizeTablesSerpentine(s, s.SuperSeedCount, false)) return p;
    } else {
        if (Problem p = sizeTablesByLeagues(session)) return p;
        if (s.LeagueThenTournament != 1)
            if (Problem p = sizeTablesSerpentine(s, s.LeagueSuperSeedCount, true)) return p;
    }
    if (Problem p = checkSeeds(s)) return p;
    const std::vector<int> drawnByes =
        plainTournament ? unseededSuperSeedRanks(s) : std::vector<int>{};
    if (Problem p = confirmUnseededSuperSeeds(session, drawnByes)) return p;
    fillTables(session);
    logDrawnByes(session, drawnByes);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> drawBracket(Session& session) {
    // A draw stopped earlier leaves open positions behind; the sizing counts on an empty grid.
    clearDrawGrid(session.state);
    Problem p = draw(session);
    if (p) clearDrawGrid(session.state);
    return p;
}

void placeEntries(Session& session) {
    TournamentState& s = session.state;
    // A division of the individual league has no knockout: its entries carry no names for a
    // bracket, and a bracket drawn from them would be lines without players.
    if (s.GenderName == "個人リーグ") {
        session.tell("個人リーグ（" + s.EventName +
                     "）はリーグ戦です。投入(&T) > 個人リーグ投入(&K) で組んで下さい");
        return;
    }
    session.marks.set(ids::kPlace, true);
    if (s.DrawDone == 1) {
        session.tell("投入済みです");
        return;
    }
    if (Problem p = drawBracket(session)) {
        // The adjustments take the mark as "there is a draw"; there is none.
        session.marks.set(ids::kPlace, false);
        session.tell(*p + "\n強制終了します");
        return;
    }
    session.tell("投入終了");
}

}  // namespace tombra::draw
