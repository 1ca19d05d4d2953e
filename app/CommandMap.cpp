#include "app/CommandMap.h"

#include <functional>

#include "adjust/AffiliationAdjustment.h"
#include "adjust/EvenDistribution.h"
#include "adjust/NumberDistribution.h"
#include "adjust/PackingAdjustment.h"
#include "app/FileCommands.h"
#include "app/ProgramCommands.h"
#include "bracket/BracketOnlyPrint.h"
#include "bracket/BracketSheetCommand.h"
#include "draw/BracketFairness.h"
#include "draw/PlacementCommand.h"
#include "intake/OpenCommand.h"
#include "league/IndividualLeagueAdjustment.h"
#include "league/IndividualLeaguePlacement.h"
#include "league/LeagueFairness.h"
#include "league/SimpleLeagues.h"
#include "leaguesheets/LeagueTableSheets.h"
#include "leaguesheets/LeagueToBracket.h"
#include "lists/EntryForms.h"
#include "lists/NameMerges.h"
#include "lists/ParticipantList.h"
#include "lists/RosterCsv.h"
#include "records/RecordCommand.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "swap/SwapCommand.h"

namespace tombra::app {

namespace {

// A command that draws or moves entries of a bracket ends with how fair the bracket now is.
template <Command command>
void reportingFairness(Session& session) {
    command(session);
    draw::logBracketFairness(session);
}

// The same for a league's groups, whose seeds each kind of league marks its own way.
template <Command command, bool (*seeded)(const league::EntryAttributes&, int)>
void reportingLeagueFairness(Session& session) {
    command(session);
    league::logLeagueFairness(session, seeded);
}

MenuItem item(std::string caption, std::string id = {}, Command command = nullptr,
              std::string shortcut = {}) {
    MenuItem m;
    m.id = id.empty() ? caption : std::move(id);
    m.caption = std::move(caption);
    m.command = command;
    m.shortcut = std::move(shortcut);
    return m;
}

MenuItem separator(bool visible = true) {
    MenuItem m;
    m.caption = "-";
    m.separator = true;
    m.visible = visible;
    return m;
}

MenuItem menu(std::string caption, std::vector<MenuItem> children, std::string id = {}) {
    MenuItem m = item(std::move(caption), std::move(id));
    m.children = std::move(children);
    return m;
}

MenuItem hidden(MenuItem m) {
    m.visible = false;
    return m;
}

MenuItem checked(MenuItem m) {
    m.checkedAtStart = true;
    return m;
}

MenuItem recent(int number) {
    MenuItem m = hidden(item("", "mnuFileMRU(" + std::to_string(number) + ")"));
    m.recentFile = number;
    return m;
}

MenuItem windowEdit(MenuItem m) {
    m.windowEdit = true;
    return m;
}

// Commands that 元に戻す does not take back: they leave the event and the workbooks as they
// are, or change only what no undo should (a file saved, a toolbar shown).
MenuItem outside(MenuItem m) {
    m.undo = UndoRole::Outside;
    return m;
}

// Commands that start the event afresh: nothing before them can be taken back.
MenuItem restart(MenuItem m) {
    m.undo = UndoRole::Restart;
    return m;
}

std::vector<MenuItem> buildMenuBar() {
    return {
        menu("ﾌｧｲﾙ(&F)",
             {outside(item("新規作成(&N)", "mnuFileNew", placeholderFileNew, "Ctrl+N")),
              restart(item("開く(&O)...", ids::kFileOpen, intake::openEntries)),
              outside(item("閉じる(&C)", "mnuFileClose", placeholderFileClose)),
              separator(),
              outside(item("上書き保存(&S)", ids::kFileSave, saveWorkbook)),
              outside(item("名前を付けて保存(&A)...", "mnuFileSaveAs", saveWorkbookAs)),
              outside(item("すべて保存(&L)", "mnuFileSaveAll", saveAllWorkbooks)),
              separator(),
              outside(item("ﾌﾟﾛﾊﾟﾃｨ(&I)", "mnuFileProperties", placeholderFileProperties)),
              separator(),
              outside(item("ﾍﾟｰｼﾞ設定(&U)...", "mnuFilePageSetup", pageSetup)),
              outside(item("印刷ﾌﾟﾚﾋﾞｭｰ(&V)", "mnuFilePrintPreview", previewBracketSheet)),
              outside(item("印刷(&P)...", "mnuFilePrint", printBracketSheet)),
              separator(),
              item("送信(&D)...", "mnuFileSend"),
              separator(),
              recent(1),
              recent(2),
              recent(3),
              separator(false),
              outside(item("終了(&X)", "mnuFileExit", fileExit))},
             "mnuFile"),
        menu("投入(&T)",
             {item("ヤグラ・リーグ（個人・団体）投入(&T)", ids::kPlace,
                   reportingFairness<draw::placeEntries>),
              separator(),
              item("シングルスリーグ投入(&S)", ids::kPlaceSinglesLeague,
                   reportingLeagueFairness<league::placeSinglesLeague,
                                           league::seededBySinglesNumber>),
              separator(),
              item("団体リーグ投入(&G)", ids::kPlaceTeamLeague,
                   reportingLeagueFairness<league::placeTeamLeague, league::seededByTeamNumber>),
              separator(),
              item("個人リーグ投入(&K)", ids::kPlaceIndividualLeague,
                   reportingLeagueFairness<league::placeIndividualLeague, league::seededByMark>)}),
        menu("調整(&C)",
             {item("調整Ⅰ(&T)", ids::kAdjustAffiliations,
                   reportingFairness<adjust::adjustAffiliations>),
              item("均等振分(&R)", ids::kDistributeEvenly,
                   reportingFairness<adjust::distributeEvenly>),
              item("ナンバー振分(&N)", ids::kDistributeNumbers,
                   reportingFairness<adjust::distributeNumbers>),
              item("パッキン調整(&P)", ids::kAdjustPacking,
                   reportingFairness<adjust::adjustPacking>),
              separator(),
              item("シングルスリーグ調整(&S)", ids::kAdjustSinglesLeague,
                   reportingLeagueFairness<league::adjustSinglesLeague,
                                           league::seededBySinglesNumber>),
              separator(),
              item("団体リーグ調整(&G)", ids::kAdjustTeamLeague,
                   reportingLeagueFairness<league::adjustTeamLeague, league::seededByTeamNumber>),
              separator(),
              item("個人リーグ調整(&T)", ids::kAdjustIndividualLeague,
                   reportingLeagueFairness<league::adjustIndividualLeague, league::seededByMark>)}),
        menu("印刷(&P)",
             {item("ヤグラ（個人・団体）作成(&Y)", ids::kBuildBracket, bracket::buildBracketSheet),
              separator(),
              item("リーグ・ヤグラのリーグ作成(&S)", ids::kBuildLeagueBracketLeagues,
                   leaguesheets::buildLeagueBracketLeagues),
              separator(),
              restart(item("個人戦ヤグラのみ印刷(&I)", ids::kPrintBracketOnly,
                           bracket::printBracketOnly)),
              separator(),
              item("団体リーグ作成(&T)", ids::kBuildTeamLeagueSheet,
                   leaguesheets::buildTeamLeagueSheet),
              separator(),
              item("個人リーグ作成(&K)", ids::kBuildIndividualLeagueSheet,
                   leaguesheets::buildIndividualLeagueSheet),
              separator(), outside(item("印刷プレビュー(&P)", {}, previewBracketSheetVisibly)),
              outside(item("印刷(&I))", "印刷Ⅰ", printBracketSheetVisibly)), separator(),
              item("リーグ表をトーナメントへ変換", "リーグ_トーナメント",
                   leaguesheets::convertLeaguesToBracket),
              separator(), item("記録作成(&K)", ids::kMatchRecords, records::buildRecords)}),
        menu("参加一覧(&S)",
             {item("参加一覧作成(&I)", ids::kParticipantList, lists::buildParticipantList),
              separator(), item("参加申込書(&S)", ids::kEntryForms, lists::printEntryForms),
              separator(), outside(item("CSV名簿作成(&M)", "基礎名簿", lists::exportRoster))},
             "参加"),
        item("セル結合(&R)", ids::kRestoreMerges, lists::restoreNameMerges),
        menu("編集(&E)",
             {item("交換[max100行](&K)", "交換実行", swap::swapPositions), separator(),
              outside(item("画面消去(&C)", {}, clearLog)), separator(),
              outside(windowEdit(item("元に戻す(&U)", "mnuEditUndo", undoLast))), separator(),
              windowEdit(item("切り取り(&T)", "mnuEditCut", nullptr, "Ctrl+X")),
              windowEdit(item("ｺﾋﾟｰ(&C)", "mnuEditCopy", nullptr, "Ctrl+C")),
              windowEdit(item("貼り付け(&P)", "mnuEditPaste", nullptr, "Ctrl+V")),
              item("形式を選択して貼り付け(&S)...", "mnuEditPasteSpecial")}),
        menu(
            "表示(&V)",
            {outside(checked(item("ﾂｰﾙ ﾊﾞｰ(&T)", ids::kViewToolbar, toggleToolbar))),
             outside(checked(item("ｽﾃｰﾀｽ ﾊﾞｰ(&B)", ids::kViewStatusBar, toggleStatusBar))),
             separator(), outside(item("最新の情報に更新(&R)", "mnuViewRefresh", refreshWorkbook)),
             item("ｵﾌﾟｼｮﾝ(&O)...", "mnuViewOptions"), item("WWW ﾌﾞﾗｳｻﾞ(&W)", "mnuViewWebBrowser")}),
        menu("ﾍﾙﾌﾟ(&H)",
             {outside(item("目次(&C)", "mnuHelpContents", helpContents)),
              outside(item("ﾄﾋﾟｯｸの検索(&S)...", "mnuHelpSearchForHelpOn", helpSearch)),
              separator(), outside(item("ﾊﾞｰｼﾞｮﾝ情報(&A)", "mnuHelpAbout", showVersion))}),
        outside(item("終了(&X)", "END", endProgram)),
    };
}

void visit(const std::vector<MenuItem>& items,
           const std::function<bool(const MenuItem&, const std::string&)>& f,
           const std::string& parentPath) {
    for (const MenuItem& m : items) {
        if (m.separator) continue;
        std::string path = parentPath.empty() ? m.caption : parentPath + "/" + m.caption;
        if (f(m, path)) return;
        visit(m.children, f, path);
    }
}

void placeholderNew(Session& s) { s.tell(placeholderButtonText("新規作成")); }
void placeholderBold(Session& s) { s.tell(placeholderButtonText("太字")); }
void placeholderItalic(Session& s) { s.tell(placeholderButtonText("斜体")); }
void placeholderUnderline(Session& s) { s.tell(placeholderButtonText("下線")); }
void placeholderLeft(Session& s) { s.tell(placeholderButtonText("左揃え")); }
void placeholderCentre(Session& s) { s.tell(placeholderButtonText("中央揃え")); }
void placeholderRight(Session& s) { s.tell(placeholderButtonText("右揃え")); }

// A button that runs the menu item of that id, as the item would.
ToolbarButton itemButton(std::string key, const std::string& id) {
    const MenuItem* m = findMenuItem(id);
    return {std::move(key), m ? m->command : nullptr, {}, m ? m->undo : UndoRole::Outside};
}

}  // namespace

const std::vector<MenuItem>& menuBar() {
    static const std::vector<MenuItem> bar = buildMenuBar();
    return bar;
}

const std::vector<ToolbarButton>& toolbarButtons() {
    // Open, Save, Print and the Edit buttons run the menu items of the same names; the Edit
    // ones act in the workbook window.
    static const std::vector<ToolbarButton> buttons = {
        {"新規作成", placeholderNew},
        itemButton("開く", "mnuFileOpen"),
        itemButton("上書き保存", "mnuFileSave"),
        itemButton("印刷", "mnuFilePrint"),
        {"切り取り", nullptr, "mnuEditCut"},
        {"ｺﾋﾟｰ", nullptr, "mnuEditCopy"},
        {"貼り付け", nullptr, "mnuEditPaste"},
        {"太字", placeholderBold},
        {"斜体", placeholderItalic},
        {"下線", placeholderUnderline},
        {"左揃え", placeholderLeft},
        {"中央揃え", placeholderCentre},
        {"右揃え", placeholderRight},
    };
    return buttons;
}

const MenuItem* findMenuItem(const std::string& pathOrId) {
    const MenuItem* found = nullptr;
    visit(menuBar(),
          [&](const MenuItem& m, const std::string& path) {
              if (path == pathOrId) found = &m;
              return found != nullptr;
          },
          {});
    if (!found)
        visit(menuBar(),
              [&](const MenuItem& m, const std::string&) {
                  if (!m.id.empty() && m.id == pathOrId) found = &m;
                  return found != nullptr;
              },
              {});
    return found;
}

bool runMenuItem(Session& session, const MenuItem& item) {
    if (!item.command) return false;
    runCommand(session, item.caption, item.command, item.undo);
    return true;
}

bool runToolbarButton(Session& session, const std::string& key) {
    for (const ToolbarButton& b : toolbarButtons()) {
        if (b.key != key) continue;
        if (!b.command) return false;
        runCommand(session, b.key, b.command, b.undo);
        return true;
    }
    return false;
}

}  // namespace tombra::app
