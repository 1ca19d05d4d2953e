#include "lists/EntryForms.h"

#include <algorithm>
#include <map>
#include <vector>

#include "intake/EntryLayout.h"
#include "intake/EntryReader.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "sheet/CellInput.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"
#include "ui/FormControls.h"

namespace tombra::lists {

namespace {

constexpr const char* kFormSheet = "申込書";
constexpr const char* kLeagueSection = "個人リーグ";
constexpr int kLinesPerForm = 32;
constexpr int kHeadingRow = 8;  // line k stands on row 8 + k
constexpr int kFirstLineColumn = 2;
const sheet::Area kPlayerArea{kHeadingRow + 1, 2, kHeadingRow + kLinesPerForm, 6};  // B9:F40

ui::FormSpec makeForm() {
    using namespace ui::controls;
    return ui::FormSpec{
        .name = "Form6",
        .caption = "参加申込書設定",
        .controls =
            {
                label("Label1", "印刷するタイプを選択"),
                frame("Frame1", "印刷分類"),
                option("Option1", "全ての学校", "Frame1", true),
                option("Option2", "今回参加した学校", "Frame1"),
                option("Option5", "学校指定", "Frame1"),
                textBox("Text1", "", "Frame1"),
                frame("Frame2", "性別"),
                option("Option3", "男子", "Frame2", true),
                option("Option4", "女子", "Frame2"),
                button("Command1", "ＯＫ"),
            },
        .okButton = "Command1",
        .cancelButton = "Command1",
    };
}

// Where each school's rows stand on the entry sheet, in sheet order. The whole used height is
// read, so no school is missed however far down it starts or however many players it has.
std::map<int, std::vector<int>> rowsBySchool(const sheet::Worksheet& entries, int lastSchool) {
    std::map<int, std::vector<int>> rows;
    const std::optional<sheet::Area> used = entries.usedArea();
    for (int r = 1; used && r <= used->bottom; ++r) {
        const std::optional<long long> school =
            intake::wholeNumberIn(entries.value(r, intake::kSchoolColumn));
        if (school && *school >= 1 && *school <= lastSchool)
            rows[static_cast<int>(*school)].push_back(r);
    }
    return rows;
}

// Fills and prints the forms, school after school.
class FormPrinter {
  public:
    FormPrinter(Session& session, sheet::Workbook& workbook, sheet::Worksheet& form,
                const sheet::Worksheet& entries)
        : session_(session),
          workbook_(workbook),
          form_(form),
          entries_(entries),
          league_(session.state.GenderName == kLeagueSection) {}

    void writeHeadings() {
        static const char* const kSections[] = {"学年", "団体", "Ｄ", "Ｓ"};
        static const char* const kLeague[] = {"性別", "区分", "部", "ｴﾝﾄﾘｰ"};
        for (int i = 0; i < 4; ++i)
            form_.setText(kHeadingRow, 3 + i, (league_ ? kLeague : kSections)[i]);
        form_.clearContents(kPlayerArea);
    }

    void printSchool(int school, const std::vector<int>& rows) {
        int lines = 0, part = 0;
        for (int r : rows) {
            if (lines == kLinesPerForm) {
                print(school, ++part);
                lines = 0;
            }
            if (lines == 0 && part == 0) writeSchool(r);
            writeLine(++lines, r);
        }
        if (lines > 0) print(school, ++part);
    }

  private:
    void writeSchool(int r) {
        form_.setValue(4, 1, entries_.value(r, intake::kSchoolColumn));
        form_.setValue(6, 2, entries_.value(r, intake::kAffiliationColumn));
        form_.setText(6, 5, session_.state.GenderName);
    }

    // The name and the grade (C, D); for the league the name, sex, category, division and entry
    // (C..G). A section's 団体, Ｄ and Ｓ columns are left for the school to mark by hand.
    void writeLine(int k, int r) {
        const int columns = league_ ? 5 : 2;
        for (int i = 0; i < columns; ++i)
            form_.setValue(kHeadingRow + k, kFirstLineColumn + i,
                           entries_.value(r, intake::kNameColumn + i));
    }

    // Only the values go between forms: the form's lines and borders stay.
    void print(int school, int part) {
        std::string document = kFormSheet + numberText(school);
        if (part > 1) document += "-" + numberText(part);
        session_.shell.printSheet(workbook_, form_, {document, printed_ > 0});
        ++printed_;
        form_.clearContents(kPlayerArea);
    }

    Session& session_;
    sheet::Workbook& workbook_;
    sheet::Worksheet& form_;
    const sheet::Worksheet& entries_;
    const bool league_;
    int printed_ = 0;
};

// The rows of a school that go on its forms: those with a name, from the first row that takes
// part in the open event on when `fromEntered`.
std::vector<int> formRows(const sheet::Worksheet& entries, const std::vector<int>& rows,
                          bool fromEntered, int enteredColumn) {
    auto first = rows.begin();
    if (fromEntered)
        first = std::find_if(rows.begin(), rows.end(),
                             [&](int r) { return !entries.value(r, enteredColumn).isEmpty(); });
    std::vector<int> out;
    std::copy_if(first, rows.end(), std::back_inserter(out),
                 [&](int r) { return !entries.value(r, intake::kNameColumn).isEmpty(); });
    return out;
}

sheet::Worksheet* sheetOrTell(Session& session, sheet::Workbook& workbook,
                              const std::string& name) {
    sheet::Worksheet* ws = workbook.findSheet(name);
    if (!ws) session.tell("シート「" + name + "」がありません。参加申込書を印刷できません");
    return ws;
}

}  // namespace

const ui::FormSpec& entryFormsForm() {
    static const ui::FormSpec declaration = makeForm();
    return declaration;
}

void applyEntryFormChoice(const ui::Form& form, TournamentState& s) {
    if (form.value("Option3")) s.EntryFormMode = 1;
    if (form.value("Option4")) s.EntryFormMode = 2;
    if (form.value("Option5")) {
        s.EntryFormMode = 3;
        // Typed through a Japanese input method, the digits may come full-width.
        const std::string typed = form.text("Text1");
        const long long school =
            roundToInteger(readNumber(sheet::halfWidth(typed).value_or(typed)));
        s.EntryFormSchool = static_cast<Integer>(std::clamp<long long>(school, -32768, 32767));
    }
}

void printEntryForms(Session& session) {
    TournamentState& s = session.state;
    session.marks.set(ids::kEntryForms, true);
    sheet::Workbook* workbook = session.workbookOrTell();
    if (!workbook) return;
    sheet::Worksheet* form = sheetOrTell(session, *workbook, kFormSheet);
    if (!form) return;
    const sheet::Worksheet* entries = sheetOrTell(session, *workbook, s.GenderName);
    if (!entries) return;

    ui::Form& dialog = session.forms.get(entryFormsForm());
    session.shell.showForm(dialog);
    applyEntryFormChoice(dialog, s);
    session.progress.start("選手名簿", 0, s.MaxSchoolNo);

    FormPrinter printer(session, *workbook, *form, *entries);
    printer.writeHeadings();
    const bool fromEntered = s.EntryFormMode == 2 || s.EntryFormMode == 3;
    const int enteredColumn = intake::entryLayout(s.GenderName, s.EventName).numberColumn;
    const std::map<int, std::vector<int>> schools = rowsBySchool(*entries, s.MaxSchoolNo);
    for (const auto& [school, rows] : schools) {
        session.progress.setValue(school);
        if (s.EntryFormMode == 3 && school != s.EntryFormSchool) continue;
        printer.printSchool(school, formRows(*entries, rows, fromEntered, enteredColumn));
    }
    session.progress.hide();
    session.tell("印刷終了");
}

}  // namespace tombra::lists
