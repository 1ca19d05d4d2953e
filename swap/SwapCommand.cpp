#include "swap/SwapCommand.h"

#include "leaguesheets/LeagueToBracket.h"
#include "session/Session.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"
#include "swap/BracketSwap.h"
#include "swap/LeagueSwap.h"
#include "ui/FormControls.h"

namespace tombra::swap {

namespace {

ui::FormSpec makeForm() {
    using namespace ui::controls;
    return ui::FormSpec{
        .name = "Form10",
        .caption = "選手入替",
        .controls =
            {
                frame("Frame1", "種目"),
                option("Option1", "シングルス", "Frame1", true),
                option("Option5", "ダブルス", "Frame1"),
                option("Option2", "団体", "Frame1"),
                option("Option6", "リーグ・ヤグラ（シングル、ダブル、団体）", "Frame1"),
                frame("Frame2", "性別"),
                option("Option3", "男子", "Frame2", true),
                option("Option4", "女子", "Frame2"),
                button("Command1", "OK"),
            },
        .okButton = "Command1",
        .cancelButton = "Command1",
    };
}

// Form10's choice into the swap settings; true for the league swap.
bool askTarget(Session& session) {
    TournamentState& s = session.state;
    ui::Form& form = session.forms.get(swapForm());
    session.shell.showForm(form);
    const bool team = form.value("Option2"), league = form.value("Option6");
    s.SwapTwoFields = team ? 0 : 1;
    s.SwapRightNoColumn = team ? 20 : 26;
    const char* code = form.value("Option5") ? "Ｄ" : team ? "Ｔ" : league ? "Ｒ" : "Ｓ";
    if (league) s.LeagueThenTournament = 1;
    s.SwapSheetName = std::string(form.value("Option4") ? "女子" : "男子") + code;
    return league;
}

sheet::Worksheet* sheetOrTell(Session& session, sheet::Workbook& workbook,
                              const std::string& name) {
    sheet::Worksheet* ws = workbook.findSheet(name);
    if (!ws) session.tell("シート「" + name + "」がありません。入れ替えできません");
    return ws;
}

// The list, or nullopt when it cannot be used (the user has been told).
std::optional<std::vector<Exchange>> exchangesOrTell(Session& session, sheet::Workbook& workbook,
                                                     const char* caption, bool refuseOverLimit) {
    sheet::Worksheet* list = sheetOrTell(session, workbook, kExchangeSheet);
    if (!list) return std::nullopt;
    ExchangeList read = readExchangeList(session, *list, caption);
    if (read.problem) {
        session.tell(nothingExchanged(*read.problem));
        return std::nullopt;
    }
    if (read.overLimit) {
        if (refuseOverLimit) {
            session.tell("１００行以内しか交換処理しませんので中断します");
            return std::nullopt;
        }
        session.log.append("「入替」の 101 行目からは読みません");
    }
    if (read.exchanges.empty()) {
        session.tell("「入替」に交換する番号がありません");
        return std::nullopt;
    }
    return read.exchanges;
}

void swapOnBracket(Session& session, sheet::Workbook& workbook) {
    const TournamentState& s = session.state;
    const auto exchanges = exchangesOrTell(session, workbook, "交換DATA取得中１", false);
    if (!exchanges) return;
    sheet::Worksheet* ws = sheetOrTell(session, workbook, s.SwapSheetName);
    if (!ws) return;
    const BracketSwapLayout layout = bracketSwapLayout(s.SwapRightNoColumn, s.SwapTwoFields == 1);
    if (auto problem = swapBracketPositions(session, *ws, *exchanges, layout)) {
        session.tell(nothingExchanged(*problem));
        return;
    }
    session.tell("交換終了");
}

void swapInLeagues(Session& session, sheet::Workbook& workbook) {
    const TournamentState& s = session.state;
    const auto exchanges = exchangesOrTell(session, workbook, "交換DATAのNo取得中", true);
    if (!exchanges) return;
    for (int n : unbalancedNumbers(*exchanges))
        if (session.shell.message("交換不一致No＝" + numberText(n) + "　継続処理しますか",
                                  ui::Buttons::YesNo) != ui::Answer::Yes)
            return;
    // The conversion reads the open event's league sheet; rewriting another would change
    // nothing the conversion sees.
    if (s.SwapSheetName != s.GenderName + "Ｒ") {
        session.tell("シート「" + s.SwapSheetName + "」は開いている種目（" + s.GenderName +
                     "）のリーグ表ではありません\n何も入れ替えていません");
        return;
    }
    sheet::Worksheet* ws = sheetOrTell(session, workbook, s.SwapSheetName);
    if (!ws) return;
    if (auto problem = swapLeagueMembers(session, *ws, *exchanges)) {
        session.tell(nothingExchanged(*problem));
        return;
    }
    if (!leaguesheets::convertLeagues(session)) return;
    int found = 0;
    if (const auto missing = findUnplacedEntry(s, found)) {
        session.tell("未配置選手＝" + *missing + "　強制終了します");
        return;
    }
    session.tell("配置チェック完了＝" + numberText(found));
    session.tell("交換終了");
}

}  // namespace

const ui::FormSpec& swapForm() {
    static const ui::FormSpec declaration = makeForm();
    return declaration;
}

void swapPositions(Session& session) {
    sheet::Workbook* workbook = session.workbookOrTell();
    if (!workbook) return;
    const bool league = askTarget(session);
    if (league)
        swapInLeagues(session, *workbook);
    else
        swapOnBracket(session, *workbook);
}

}  // namespace tombra::swap
