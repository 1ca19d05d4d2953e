#include "bracket/BracketSheetCommand.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <vector>

#include "bracket/LeagueFedBracket.h"
#include "bracket/MatchNumbering.h"
#include "bracket/NameWriter.h"
#include "bracket/PageModel.h"
#include "bracket/PageSettingsForm.h"
#include "bracket/RoundConnector.h"
#include "bracket/SchoolPositionSheet.h"
#include "bracket/SheetPreparation.h"
#include "bracket/TableMerge.h"
#include "intake/EntryLayout.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "sheet/Workbook.h"
#include "sheet/WorkbookError.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"

namespace tombra::bracket {

namespace {

const char* const kSummarySheet = "基礎Ｄ";

void offerTableMerge(Session& session) {
    const ui::Answer answer = session.shell.message(
        "テーブル結合を実行します\r\n（スーパシードがあれば「いいえ」とする）", ui::Buttons::YesNo);
    if (answer != ui::Answer::Yes) return;
    if (!mergeLoneTables(session.state))
        session.tell("結合すると1テーブルが128人を超えるため、テーブル結合をしませんでした");
}

int positionCount(const TournamentState& s) {
    int n = 0;
    for (int t = 1; t <= s.TableCount && t <= s.TableSize.upper(); ++t) n += s.TableSize(t);
    return n;
}

std::string titleOf(const TournamentState& s) {
    return s.PrintTitle.empty() ? s.GenderName + s.EventName : s.PrintTitle;
}

// One bracket page to a sheet of paper, in any spreadsheet program: the scale at which the
// widest and the tallest page fit the sheet's paper. A scale, not "fit to pages": fitting
// ignores manual page breaks. Another program measures a column by the digits of the font it
// has for the workbook's: without the Japanese system fonts (LibreOffice on Linux) a column
// comes out up to a sixth wider than ours, so the width keeps a fifth to spare.
void scaleToBracketPages(sheet::Worksheet& ws) {
    constexpr double kWidthSpare = 0.8, kHeightSpare = 0.97;
    const std::optional<sheet::Area> used = ws.usedArea();
    if (!used) return;
    double width = 0;
    for (int c = used->left; c <= used->right; ++c) width += ws.columnWidthPoints(c);
    const std::vector<int> starts = ws.pageStarts(used->top, used->bottom);
    double tallest = 0;
    for (size_t i = 0; i + 1 < starts.size(); ++i) {
        double height = 0;
        for (int r = starts[i]; r < starts[i + 1]; ++r) height += ws.rowHeight(r);
        tallest = std::max(tallest, height);
    }
    sheet::PageSetup setup = ws.pageSetup();
    const sheet::PrintableArea paper = sheet::printableArea(setup);
    double scale = 1.0;
    if (width > 0) scale = std::min(scale, kWidthSpare * paper.width / width);
    if (tallest > 0) scale = std::min(scale, kHeightSpare * paper.height / tallest);
    setup.fitToPage = false;
    setup.scale = std::clamp(static_cast<int>(scale * 100), 10, 100);
    ws.setPageSetup(setup);
}

// What the blank bracket of "個人戦ヤグラのみ印刷" does otherwise than the full build.
struct Variant {
    bool blank = false;
};

void writePages(Session& session, sheet::Worksheet& ws, Variant variant) {
    TournamentState& s = session.state;
    const PageModel model(s.TableCount, s.PageCount);
    const std::string title = variant.blank ? s.GenderName + s.EventName : titleOf(s);
    s.BracketLineNumber = 0;
    int top = 1;

    for (int p = 1; p <= model.pageCount(); ++p) {
        s.CurrentPage = static_cast<Integer>(p);
        const PageTables tables = model.page(p);
        const std::string page = numberText(p) + "頁";

        // The blank bracket keeps the sheet's own font for its titles and footers.
        if (variant.blank) {
            ws.setHorizontalAlignment("n:n", sheet::xl::HAlignCenter);
        } else {
            ws.setHorizontalAlignment(sheet::Area::cell(top, kCentreColumn),
                                      sheet::xl::HAlignCenter);
            ws.setFont(sheet::Area::cell(top, kCentreColumn), {.size = 16, .bold = true});
        }
        ws.setText(top, kCentreColumn, pageTitle(title, model.pageCount(), p));

        // A league-fed bracket shows a league per position and joins no rounds: the league
        // winners are not known yet.
        const bool leagues = !variant.blank && s.LeagueThenTournament == 1;
        const auto half = leagues ? writeLeagueHalf : writeHalf;
        session.progress.setCaption(page + "-左側選手記入");
        int row = top;
        const int leftBottom =
            half(session, ws, Side::Left, tables.leftFirst, tables.leftLast, row);
        s.PageBottomRow = static_cast<Integer>(leftBottom);
        if (!leagues) {
            session.progress.setCaption(page + "-左ヤグラ接続");
            connectRounds(s, ws, Side::Left, tables.leftFirst, tables.leftLast, top);
        }

        session.progress.setCaption(page + "-右側選手記入");
        row = top;
        const int rightBottom =
            half(session, ws, Side::Right, tables.rightFirst, tables.rightLast, row);
        if (!leagues) {
            session.progress.setCaption(page + "-右ヤグラ接続");
            connectRounds(s, ws, Side::Right, tables.rightFirst, tables.rightLast, top);
        }

        // The footer and the next page go under the longer half: a right half that ran on
        // would otherwise spill into the next page.
        if (rightBottom > s.PageBottomRow) s.PageBottomRow = static_cast<Integer>(rightBottom);

        const int footerRow = s.PageBottomRow + 2;
        if (!variant.blank)
            ws.setFont(sheet::Area::cell(footerRow, kCentreColumn), {.size = 11, .bold = false});
        ws.setText(footerRow, kCentreColumn, pageFooter(p));
        ws.addPageBreakBefore(s.PageBottomRow + 3);
        top = s.PageBottomRow + 3;
    }
}

// A list wider than the paper prints shrunk to its width, in every program, unless the
// organiser gave the sheet a scaling of its own.
void fitToPaperWidth(sheet::Worksheet& ws) {
    sheet::PageSetup setup = ws.pageSetup();
    if (setup.fitToPage || setup.scale != 100) return;
    setup.fitToPage = true;
    setup.fitToWidth = 1;
    setup.fitToHeight = 0;
    ws.setPageSetup(setup);
}

void formatTimeTable(sheet::Workbook& workbook, const std::string& bracketSheetName) {
    sheet::Worksheet* tt = workbook.findSheet(timeTableSheetName(bracketSheetName));
    if (!tt) return;
    tt->autoFitColumns("a:dz");
    tt->setColumnWidth("a:a", 7);
    fitToPaperWidth(*tt);
}

// The blank bracket's names are written in by hand: the name and affiliation columns, fitted
// to the stand-ins' short numbers, are widened to take a written name.
void clearNamesForHandwriting(sheet::Worksheet& ws) {
    constexpr double kHandwrittenCharacters = 12;
    ws.clearContents("c:c,v:v");
    for (int column :
         {kLeftNames.name, kLeftNames.affiliation, kRightNames.name, kRightNames.affiliation})
        if (ws.columnWidth(column) < kHandwrittenCharacters)
            ws.setColumnWidth(sheet::Area{1, column, 1, column}, kHandwrittenCharacters);
}

// False when the build could not start; the user has been told why.
bool build(Session& session, sheet::Workbook& workbook, Variant variant = {}) {
    TournamentState& s = session.state;
    const std::string name = session.bracketSheetName();

    // Nothing is touched before both sheets the build needs are known to be there. The blank
    // bracket makes its sheet when the workbook has none, and needs no page settings stored.
    sheet::Worksheet* ws = variant.blank ? &sheetOrNew(workbook, name) : workbook.findSheet(name);
    if (!ws) {
        session.tell("シート「" + name + "」がありません。ヤグラを作成できません");
        return false;
    }
    sheet::Worksheet* summary = nullptr;
    if (intake::summaryColumn(s.GenderName, s.EventName) > 0) {
        summary = workbook.findSheet(kSummarySheet);
        if (!summary && !variant.blank) {
            session.tell(std::string("シート「") + kSummarySheet +
                         "」がありません。ヤグラを作成できません");
            return false;
        }
    }

    session.progress.start("ヤグラ作成中", 0,
                           variant.blank ? s.TableCount + 1 : s.LeagueSize * s.TableCount);

    workbook.activate(name);
    // A record of the bracket that was there is of no use to the new one.
    if (sheet::Worksheet* base = workbook.findSheet(recordBaseSheetName(name)))
        base->clear(sheet::Area::wholeSheet());
    const bool leagues = !variant.blank && s.LeagueThenTournament == 1;
    if (leagues) {
        // Only the name columns are written anew; the lines between them stay.
        ws->clear("a:f,v:aa");
        ws->setColumnWidth("A:B,Z:AA", 5);
        ws->setColumnWidth("C:F,V:Y", 6);
    } else {
        ws->clear(sheet::Area::wholeSheet());
    }
    ws->clearPageBreaks();

    askPageSettings(session, summary);
    writePages(session, *ws, variant);
    session.progress.hide();
    if (leagues) {
        writePreliminaryLeagueSheet(session, workbook, *ws);
        scaleToBracketPages(*ws);
        return true;
    }

    const NumberingChoice choice = askNumbering(session);
    if (choice.number) numberMatches(session, workbook, *ws, choice.fontSize);
    if (choice.erase) eraseNumbering(session, *ws);
    formatBracketColumns(*ws);
    formatTimeTable(workbook, name);

    if (s.EventCode == "Ｓ" || (!variant.blank && s.EventCode == "ＪＳ")) {
        writeSchoolPositionSheet(session, workbook);
        fitToPaperWidth(workbook.sheet(schoolPositionSheetName(s.GenderName)));
    }
    if (variant.blank)
        clearNamesForHandwriting(*ws);
    else if (s.EventCode == "Ｔ")
        removeAffiliationColumns(*ws);
    scaleToBracketPages(*ws);
    session.progress.hide();
    return true;
}

}  // namespace

namespace {

// Names and schools stand merged over their two rows; they are measured, so that each prints
// on one line, up to a width a half-page can spare: a longer text (a pair from two schools)
// takes the second line its cell has.
constexpr double kMostNameCharacters = 24;

void fitNameColumns(sheet::Worksheet& ws, const char* columns) {
    ws.autoFitColumns(columns, true, kMostNameCharacters);
}

}  // namespace

void formatBracketColumns(sheet::Worksheet& ws) {
    using namespace sheet::xl;
    ws.setAlignment("A:F", {HAlignDistributed, VAlignCenter});
    ws.setAlignment("V:AA", {HAlignDistributed, VAlignCenter});
    ws.setAlignment("G:M", {HAlignRight, VAlignCenter});
    ws.setHorizontalAlignment("n:n", HAlignCenter);
    ws.setAlignment("O:U", {HAlignLeft, VAlignCenter});
    fitNameColumns(ws, "a:f");
    fitNameColumns(ws, "v:aa");
    ws.setColumnWidth("g:u", 3);
    ws.setText(1, 1, "");
}

void removeAffiliationColumns(sheet::Worksheet& ws) {
    for (int i = 0; i < 3; ++i) ws.deleteColumns("D:D");
    for (int i = 0; i < 3; ++i) ws.deleteColumns("T:T");
    fitNameColumns(ws, "b:c");
    fitNameColumns(ws, "s:t");
    ws.setColumnWidth("a1", 3);
    ws.setColumnWidth("d1:r1", 3);
    ws.setColumnWidth("u1", 3);
}

void buildBracketSheet(Session& session) {
    TournamentState& s = session.state;
    session.marks.set(ids::kBuildBracket, true);
    if (s.TableCount < 1) {
        session.tell("投入を実行して下さい");
        return;
    }
    if (hasLoneTables(s)) offerTableMerge(session);
    if (s.LeagueThenTournament != 1) s.LeagueSize = 1;

    sheet::Workbook* workbook = session.workbookOrTell();
    if (!workbook) return;
    if (!build(session, *workbook)) return;
    if (positionCount(s) < 2) session.tell("選手が１名のため、試合はありません");
    session.tell("組合せ作成終了");
}

void writeBlankBracketSheet(Session& session, sheet::Workbook& workbook) {
    build(session, workbook, Variant{.blank = true});
}

}  // namespace tombra::bracket
