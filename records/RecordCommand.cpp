#include "records/RecordCommand.h"

#include <algorithm>
#include <map>

#include "bracket/MatchNumbering.h"
#include "records/LeagueRecord.h"
#include "records/PageGapRecord.h"
#include "records/RecordWriter.h"
#include "records/TimeTableResults.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"
#include "ui/FormControls.h"

namespace tombra::records {

namespace {

const char* const kFont = "MS P明朝";
// The later rounds the next-seeds sheet lists: those of at most this many matches.
constexpr int kMostListedMatches = 16;
// Messages list this many matches, then how many more.
constexpr size_t kMostNamed = 20;

ui::FormSpec makeForm() {
    using namespace ui::controls;
    return ui::FormSpec{
        .name = "Form7",
        .caption = "形式指定",
        .controls =
            {
                frame("Frame1", "試合形式"),
                option("Option1", "３ゲームマッチ", "Frame1"),
                option("Option2", "５ゲームマッチ", "Frame1"),
                option("Option3", "７ゲームマッチ", "Frame1"),
                option("Option12", "自動処理", "Frame1", true),
                frame("Frame2", "勝利線色選択"),
                option("Option4", "黒", "Frame2", true),
                option("Option5", "赤", "Frame2"),
                option("Option6", "青", "Frame2"),
                frame("Frame3", "得点色選択"),
                option("Option7", "黒", "Frame3", true),
                option("Option8", "赤", "Frame3"),
                option("Option9", "青", "Frame3"),
                frame("Frame4", "ナンバリング消去"),
                option("Option10", "消去", "Frame4", true),
                option("Option11", "残す", "Frame4"),
                label("Label1", "ゲーム得点フォント指定", "Frame4"),
                textBox("Text1", "9", "Frame4"),
                frame("Frame5", "ページ間記録フォント"),
                label("Label2", "フォント指定⇒", "Frame5"),
                textBox("Text2", "12", "Frame5"),
                button("Command1", "OK"),
            },
        .okButton = "Command1",
        .cancelButton = "Command1",
    };
}

void askFormat(Session& session) {
    TournamentState& s = session.state;
    s.EraseMatchNumbers = 0;
    ui::Form& form = session.forms.get(recordForm());
    session.shell.showForm(form);
    s.MatchFormat = form.value("Option1")   ? 3
                    : form.value("Option2") ? 5
                    : form.value("Option3") ? 7
                                            : 2;
    s.WinLineColour = form.value("Option5") ? 3 : form.value("Option6") ? 5 : 1;
    s.ScoreColour = form.value("Option8") ? 3 : form.value("Option9") ? 5 : 1;
    s.EraseMatchNumbers = form.value("Option10") ? 1 : 0;
    s.ScoreFontSize = static_cast<Integer>(bracket::fontSizeFromText(form.text("Text1"), 9));
    s.PageGapFontSize = static_cast<Integer>(bracket::fontSizeFromText(form.text("Text2"), 12));
}

std::string listed(const std::vector<std::string>& items, const char* separator) {
    std::string out;
    for (size_t i = 0; i < items.size() && i < kMostNamed; ++i)
        out += (i ? separator : "") + items[i];
    if (items.size() > kMostNamed)
        out += separator + std::string("ほか ") +
               numberText(static_cast<long long>(items.size() - kMostNamed)) + " 件";
    return out;
}

// A round by its number of matches.
std::string roundName(int matches, int ordinal) {
    if (matches == 1) return "決勝";
    if (matches == 2) return "準決勝";
    if (matches == 4) return "準々決勝";
    return numberText(ordinal) + "回戦";
}

// The bracket before any record: kept out of sight, made at the first record (and made again
// after the bracket is built anew, which empties it).
sheet::Worksheet& recordBase(sheet::Workbook& workbook, sheet::Worksheet& bracket) {
    const std::string name = bracket::recordBaseSheetName(bracket.name());
    sheet::Worksheet* base = workbook.findSheet(name);
    if (base && base->usedArea()) return *base;
    if (!base) base = &workbook.addSheet(name);
    base->copyCellsFrom(bracket);
    workbook.hideSheet(name);
    return *base;
}

void writeNextSeeds(Session& session, sheet::Workbook& workbook, const RecordWriter& writer,
                    const TimeTableResults& results, const std::string& bracketName) {
    const TournamentState& s = session.state;
    sheet::Worksheet* found = workbook.findSheet("次回" + bracketName);
    sheet::Worksheet& ws = found ? *found : workbook.addSheet("次回" + bracketName);
    ws.clear(sheet::Area::wholeSheet());
    ws.setFont(sheet::Area{1, 1, 400, 6}, {.name = kFont});
    ws.setText(1, 1, bracketName + "シード資料(" + s.GenderName + s.EventName + "の結果)");
    ws.setFont(sheet::Area::cell(1, 1), {.size = 14, .bold = true});

    const std::vector<BracketMatch>& matches = writer.matches().matches;
    std::map<int, std::vector<size_t>, std::greater<>> byRound;
    for (size_t i = 0; i < matches.size(); ++i) byRound[matches[i].ordinal].push_back(i);
    int row = 3;
    for (const auto& [ordinal, round] : byRound) {
        if (static_cast<int>(round.size()) > kMostListedMatches) continue;
        ws.setText(row, 1, roundName(static_cast<int>(round.size()), ordinal) + "勝者");
        ws.setFont(sheet::Area::cell(row, 1), {.bold = true});
        ++row;
        for (size_t i : round) {
            ws.setText(row, 1, matches[i].label);
            if (const std::optional<PlayerOnSheet> p = writer.winnerOf(i)) {
                ws.setText(row, 2, p->number);
                ws.setText(row, 3, p->name);
                ws.setText(row, 4, p->affiliation);
            } else {
                ws.setText(row, 3, "エラーあり");
            }
            ++row;
        }
        ++row;
    }
    // The matches between pages stand in the time table only.
    bool heading = false;
    for (const std::string& label : results.order) {
        const TimeTableEntry& e = results.byLabel.at(label);
        if (!e.betweenPages) continue;
        if (!heading) {
            ws.setText(row, 1, "頁間");
            ws.setFont(sheet::Area::cell(row, 1),
                       {.size = static_cast<double>(s.PageGapFontSize), .bold = true});
            ++row;
            heading = true;
        }
        ws.setText(row, 1, label);
        ws.setText(row, 2, e.result);
        ws.setFont(sheet::Area{row, 1, row, 2}, {.size = static_cast<double>(s.PageGapFontSize)});
        ++row;
    }
    ws.autoFitColumns("a:d");
}

}  // namespace

const ui::FormSpec& recordForm() {
    static const ui::FormSpec declaration = makeForm();
    return declaration;
}

void buildRecords(Session& session) {
    TournamentState& s = session.state;
    session.marks.set(ids::kMatchRecords, true);
    sheet::Workbook* workbook = session.workbookOrTell();
    if (!workbook) return;
    const bool leagues = s.LeagueThenTournament == 1;
    if (leagues) carryLeagueWinners(session, *workbook);
    askFormat(session);
    const std::string name = session.bracketSheetName();
    sheet::Worksheet* bracket = workbook->findSheet(name);
    sheet::Worksheet* timeTable = workbook->findSheet(name + "ＴＢ");
    // A league-fed bracket has no numbered matches until its leagues are played: its record
    // is the leagues' ranks.
    if (leagues && bracket && !timeTable) {
        writeLeagueRanks(session, *workbook);
        session.tell("記録作成終了");
        return;
    }
    if (!bracket || !timeTable) {
        session.tell("シート「" + (bracket ? name + "ＴＢ" : name) +
                     "」がありません。記録を作成できません");
        return;
    }
    session.progress.start("試合結果の記録", 1, std::max<int>(2, s.EntryCount / 2 + s.EntryCount));
    const TimeTableResults results = readTimeTable(*timeTable);
    std::vector<std::string> missing;
    for (const std::string& label : results.order)
        if (results.byLabel.at(label).result.empty()) missing.push_back(label);
    if (!missing.empty() &&
        session.shell.message(listed(missing, "、") + "：DATAなし、処理を続けるならOKを",
                              ui::Buttons::OkCancel) != ui::Answer::Ok) {
        session.progress.hide();
        return;
    }

    const bool team = s.EventName == "団体" && s.LeagueThenTournament != 1;
    sheet::Worksheet& base = recordBase(*workbook, *bracket);
    const BracketLayout layout = team ? BracketLayout::team() : BracketLayout::individual();
    const auto format = static_cast<MatchFormat>(s.MatchFormat);
    RecordWriter writer(*bracket, base, layout,
                        {s.ScoreFontSize, s.ScoreColour, s.WinLineColour, leagues});
    int scannedColumns = 0;
    RecordOutcome outcome = writer.record(results, format, [&](int page, bool right, int column) {
        session.progress.setCaption("試合結果の記録_" + strText(page) +
                                    (right ? "<頁.右>_" : "<頁.左>_") + strText(column));
        session.progress.setValue(++scannedColumns);
    });
    session.progress.setCaption("頁間の記録");
    for (std::string& problem : recordPageGaps(*bracket, base, layout, results, format,
                                               {s.PageGapFontSize, s.ScoreColour}))
        outcome.problems.push_back(std::move(problem));

    session.progress.setCaption("次回シード書出し");
    writeNextSeeds(session, *workbook, writer, results, name);
    if (s.EraseMatchNumbers == 1) {
        session.progress.setCaption("試合No消去");
        writer.eraseLabels();
    }
    session.progress.hide();
    if (leagues) writeLeagueRanks(session, *workbook);
    if (!outcome.problems.empty())
        session.tell(
            "次の結果は記録しませんでした。タイムテーブルを直してもう一度実行して下さい\n" +
            listed(outcome.problems, "\n"));
    session.tell("記録作成終了");
}

}  // namespace tombra::records
