#include "bracket/MatchNumbering.h"

#include <array>

#include "bracket/BracketColumns.h"
#include "bracket/PageModel.h"
#include "bracket/SheetPreparation.h"
#include "bracket/TimeTable.h"
#include "session/Session.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"
#include "ui/FormControls.h"

namespace tombra::bracket {

namespace {

using ui::Form;
using ui::FormSpec;

constexpr int kRounds = 8;
constexpr int kFirstLineColumn = 7;  // G
constexpr int kLastLineColumn = 21;  // U
constexpr int kDefaultFontSize = 7;
const char* const kLabelFont = "MS P明朝";

FormSpec makeForm() {
    using namespace ui::controls;
    return FormSpec{
        .name = "Form12",
        .caption = "ナンバリング",
        .controls =
            {
                label("Label1", "ナンバリング"),
                option("Option1", "ナンバリングする", {}, true),
                option("Option2", "ナンバリングしない"),
                label("Label2", "フォントサイズ"),
                textBox("Text1", "7"),
                button("Command1", "OK"),
            },
        .okButton = "Command1",
        .cancelButton = "Command1",
    };
}

// The rows of one page of the bracket sheet: from the row after the previous page's footer
// to this page's footer. The rows a page would take on average are the fallback for a sheet
// whose footer has gone.
int pageLastRow(const sheet::Worksheet& sheet, int page, int firstRow, int sheetBottom,
                int averageRows) {
    for (int row = firstRow; row <= sheetBottom; ++row)
        if (footerPage(sheet.text(row, kCentreColumn)) == page) return row;
    return page * averageRows;
}

struct PageRows {
    int first, last, middle;
};

class Labeller {
  public:
    Labeller(Session& session, sheet::Worksheet& sheet, TimeTable& table, int fontSize)
        : s_(session.state), sheet_(sheet), table_(table), fontSize_(fontSize) {}

    // Labels the marks of one round column of one half; true when any was found.
    bool labelColumn(int column, int ordinal, int page, PageRows& rows) {
        bool any = false;
        for (int row = rows.first; row <= rows.last; ++row) {
            if (footerPage(sheet_.text(row, kCentreColumn)) == page) {
                rows.last = row;
                break;
            }
            if (sheet_.text(row, column) != kMatchMark) continue;
            any = true;
            // Counted by the ordinal the label shows, not by the round: a page that skips a
            // round gives the next round that ordinal, and its labels must not repeat
            // another page's.
            const std::string label =
                numberText(ordinal) + "-" + numberText(++counts_[static_cast<size_t>(ordinal)]);
            sheet_.setFont(sheet::Area::cell(row, column), {.name = kLabelFont, .size = fontSize_});
            sheet_.setText(row, column, label);
            sheet_.merge(sheet::Area{row, column, row + 1, column});
            table_.add(label);
            superSeedJoint(row, column, ordinal, rows);
        }
        return any;
    }

  private:
    // Where a super seed's line meets its first match, the vertical line is carried one row
    // on so that it reaches the label.
    void superSeedJoint(int row, int column, int ordinal, const PageRows& rows) {
        const bool leftHalf = column >= kFirstLineColumn && column <= 12;  // G..L
        const bool rightHalf = column >= kCentreColumn && column <= kLastLineColumn;
        if (ordinal != s_.SuperSeedStartRound || (!leftHalf && !rightHalf)) return;
        const int beside = leftHalf ? column - 2 : column + 2;
        if (sheet_.value(row, beside).isEmpty()) return;
        int at = 0;
        if (row < rows.middle)
            at = row + 1;
        else if (row > rows.middle && row >= 3)
            at = row;
        if (at == 0) return;
        sheet_.setBorder(sheet::Area::cell(at, column),
                         leftHalf ? sheet::xl::EdgeLeft : sheet::xl::EdgeRight, bracketLine());
    }

    TournamentState& s_;
    sheet::Worksheet& sheet_;
    TimeTable& table_;
    int fontSize_;
    std::array<int, kRounds + 1> counts_{};  // per round ordinal, across all pages
};

}  // namespace

const ui::FormSpec& numberingForm() {
    static const FormSpec declaration = makeForm();
    return declaration;
}

std::string timeTableSheetName(const std::string& bracketSheetName) {
    return bracketSheetName + "ＴＢ";
}

std::string recordBaseSheetName(const std::string& bracketSheetName) {
    return bracketSheetName + "記録前";
}

int fontSizeFromText(const std::string& typed, int usual) {
    const long long size = roundToInteger(readNumber(typed));
    return size >= 1 && size <= 409 ? static_cast<int>(size) : usual;
}

NumberingChoice askNumbering(Session& session) {
    Form& form = session.forms.get(numberingForm());
    session.shell.showForm(form);
    NumberingChoice choice;
    if (form.value("Option1")) {
        choice.number = true;
        choice.fontSize = fontSizeFromText(form.text("Text1"), kDefaultFontSize);
    } else if (form.value("Option2")) {
        choice.erase = true;
    }
    return choice;
}

void eraseNumbering(Session& session, sheet::Worksheet& sheet) {
    const TournamentState& s = session.state;
    const int rows = s.PagePhaseCount * s.PageCount + s.EntryCount;
    session.progress.start("ナンバリング消去", 0, rows);
    // The estimate covers a balanced bracket; a sheet that runs longer is erased to its end.
    const std::optional<sheet::Area> used = sheet.usedArea();
    const int lastRow = std::max(rows, used ? used->bottom : 0);
    for (int x = 1; x <= lastRow; ++x) {
        if (x <= rows) session.progress.setValue(x);
        for (int c = kFirstLineColumn; c <= kLastLineColumn; ++c)
            if (sheet.text(x, c) == kMatchMark) sheet.setText(x, c, "");
    }
    session.progress.hide();
}

void numberMatches(Session& session, sheet::Workbook& workbook, sheet::Worksheet& sheet,
                   int fontSize) {
    const TournamentState& s = session.state;
    const int pages = std::max<int>(s.PageCount, 1);
    session.progress.start("ナンバリング作成", 0, kRounds * pages);

    TimeTable table(sheetOrNew(workbook, timeTableSheetName(sheet.name())), sheet.name());
    Labeller labeller(session, sheet, table, fontSize);

    const int averageRows = static_cast<int>(
        roundToInteger(static_cast<double>(s.EntryCount) / pages + s.PagePhaseCount));
    const std::optional<sheet::Area> used = sheet.usedArea();
    const int sheetBottom = used ? used->bottom : 0;

    int firstRow = 1;
    int ordinal = 0;
    // The matches between pages take the ordinals after every page's rounds: counted on from
    // the last page alone, they would repeat a longer page's labels.
    int highest = 0;
    for (int p = 1; p <= pages; ++p) {
        table.beginPage(p);
        PageRows rows{firstRow, pageLastRow(sheet, p, firstRow, sheetBottom, averageRows), 0};
        rows.middle = (rows.last - rows.first + 1) / 2 + rows.first;

        ordinal = 0;
        for (int r = 1; r <= kRounds; ++r) {
            ++ordinal;
            session.progress.setCaption(numberText(p) + "_" + numberText(r) +
                                        " 頁のナンバリング中");
            session.progress.setValue((p - 1) * kRounds + r);
            table.beginRound();
            bool any = labeller.labelColumn(6 + r, ordinal, p, rows);
            any = labeller.labelColumn(22 - r, ordinal, p, rows) || any;
            table.endRound();
            // A round without matches on this page takes no ordinal.
            if (!any) --ordinal;
        }
        highest = std::max(highest, ordinal);
        firstRow = rows.last + 1;
    }

    table.betweenPages(pages, highest);
    table.finish();
    session.progress.hide();
}

}  // namespace tombra::bracket
