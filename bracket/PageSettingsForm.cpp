#include "bracket/PageSettingsForm.h"

#include <algorithm>

#include "intake/EntryLayout.h"
#include "session/Session.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"

namespace tombra::bracket {

namespace {

using ui::ControlKind;
using ui::ControlSpec;
using ui::Form;
using ui::FormSpec;

constexpr int kOptions = 6;  // opt(i) stands for 2^i pages, 1 to 32
const char* const kFrame = "Frame1";

std::string optionName(int i) { return "opt(" + std::to_string(i) + ")"; }

// The label shows how many players stand down one half page; the entry count it divides
// is handed to the dialog just before it shows.
constexpr const char* kEntriesMemo = "entries";

std::string playersPerHalfPage(const Form& form, int pages) {
    return numberText(roundToInteger(readNumber(form.memo(kEntriesMemo)) / (2.0 * pages)));
}

FormSpec makeForm() {
    FormSpec f;
    f.name = "Form4";
    f.caption = "印刷ページの設定";
    f.controls.push_back({kFrame, ControlKind::Frame, "印刷ページ数"});
    const char* captions[kOptions] = {"１頁", "２頁", "４頁", "８頁", "１６頁", "３２頁"};
    for (int i = 0; i < kOptions; ++i)
        f.controls.push_back({optionName(i), ControlKind::OptionButton, captions[i], kFrame});
    f.controls.push_back({"Label2", ControlKind::Label, "１頁縦の人数"});
    f.controls.push_back({"Label1", ControlKind::Label, ""});
    f.controls.push_back({"Label3", ControlKind::Label, "タイムテーブル"});
    f.controls.push_back({"Text1", ControlKind::TextBox, {}, {}, false, "50"});
    f.controls.push_back({"Command1", ControlKind::CommandButton, "ＯＫ"});
    f.okButton = "Command1";
    f.cancelButton = "Command1";  // the only way out
    f.onChange = [](Form& form, const std::string& control) {
        for (int i = 0; i < kOptions; ++i)
            if (control == optionName(i) && form.value(control))
                form.setText("Label1", playersPerHalfPage(form, 1 << i));
    };
    return f;
}

// The option for a page count; a count between the offered ones (the entry reader suggests
// one page per 80 entries) takes the largest offer not above it.
int optionFor(int pageCount) {
    int i = 0;
    while (i + 1 < kOptions && (1 << (i + 1)) <= pageCount) ++i;
    return i;
}

int selectedPages(const Form& form) {
    for (int i = 0; i < kOptions; ++i)
        if (form.value(optionName(i))) return 1 << i;
    return 1;
}

}  // namespace

const ui::FormSpec& pageSettingsForm() {
    static const FormSpec declaration = makeForm();
    return declaration;
}

void askPageSettings(Session& session, sheet::Worksheet* summary) {
    TournamentState& s = session.state;
    Form& form = session.forms.get(pageSettingsForm());

    if (s.PageCount < 1) s.PageCount = 1;
    const int option = optionFor(s.PageCount);
    form.setValue(optionName(option), true);
    form.setMemo(kEntriesMemo, numberText(s.EntryCount));
    form.setText("Label1", playersPerHalfPage(form, 1 << option));

    session.shell.showForm(form);

    s.PageCount = static_cast<Integer>(selectedPages(form));
    const long long setting = roundToInteger(readNumber(form.text("Text1")));
    s.TimeTableSetting = static_cast<Integer>(std::clamp<long long>(setting, -32768, 32767));

    const int column = intake::summaryColumn(s.GenderName, s.EventName);
    if (summary && column > 0) {
        summary->setNumber(3, column, s.TimeTableSetting);
        summary->setNumber(4, column, s.PageCount);
    }
}

}  // namespace tombra::bracket
