#include "bracket/PageSettingsForm.h"

#include <algorithm>

#include "bracket/PageModel.h"
#include "intake/EntryLayout.h"
#include "session/Session.h"
#include "sheet/Worksheet.h"
#include "state/Numbers.h"
#include "ui/FormControls.h"

namespace tombra::bracket {

namespace {

using ui::Form;
using ui::FormSpec;

constexpr int kOptions = 6;  // opt(i) stands for 2^i pages, 1 to 32
const char* const kFrame = "Frame1";

std::string optionName(int i) { return "opt(" + std::to_string(i) + ")"; }

// The label shows how many players stand down one half page; the entry count it divides
// is handed to the dialog just before it shows.
constexpr const char* kEntriesMemo = "entries";

std::string playersPerHalfPage(const Form& form, int pages) {
    return numberText(roundToInteger(form.memo(kEntriesMemo, 0) / (2.0 * pages)));
}

std::vector<ui::ControlSpec> pageControls() {
    using namespace ui::controls;
    std::vector<ui::ControlSpec> controls{frame(kFrame, "印刷ページ数")};
    const char* captions[kOptions] = {"１頁", "２頁", "４頁", "８頁", "１６頁", "３２頁"};
    for (int i = 0; i < kOptions; ++i)
        controls.push_back(option(optionName(i), captions[i], kFrame));
    for (ui::ControlSpec c :
         {label("Label2", "１頁縦の人数"), label("Label1", ""), label("Label3", "タイムテーブル"),
          textBox("Text1", "50"), button("Command1", "ＯＫ")})
        controls.push_back(std::move(c));
    return controls;
}

FormSpec makeForm() {
    return FormSpec{
        .name = "Form4",
        .caption = "印刷ページの設定",
        .controls = pageControls(),
        .okButton = "Command1",
        .cancelButton = "Command1",  // the only way out
        .onChange =
            [](Form& form, const std::string& control) {
                for (int i = 0; i < kOptions; ++i)
                    if (control == optionName(i) && form.value(control))
                        form.setText("Label1", playersPerHalfPage(form, 1 << i));
            },
    };
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

// Each page needs a table on both halves: the most pages the tables fill, at least one.
int largestPageCount(int tableCount) {
    int pages = 1;
    while (2 * pages <= tableCount / 2 && pages < (1 << (kOptions - 1))) pages *= 2;
    return pages;
}

// A half-page of more than 128 players needs more rounds than the line columns up to the
// centre can show: its final would never be drawn.
constexpr int kMostPlayersPerHalfPage = 128;

int mostPlayersOnAHalfPage(const TournamentState& s, int pages) {
    const PageModel model(s.TableCount, pages);
    auto players = [&s](int first, int last) {
        int n = 0;
        for (int t = first; t <= last; ++t) n += s.TableSize(t);
        return n;
    };
    int most = 0;
    for (int p = 1; p <= model.pageCount(); ++p) {
        const PageTables tables = model.page(p);
        most = std::max({most, players(tables.leftFirst, tables.leftLast),
                         players(tables.rightFirst, tables.rightLast)});
    }
    return most;
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
    form.setMemo(kEntriesMemo, static_cast<int>(s.EntryCount));
    form.setText("Label1", playersPerHalfPage(form, 1 << option));

    session.shell.showForm(form);

    s.PageCount = static_cast<Integer>(selectedPages(form));
    // Lowered rather than refused: a batch run would meet the same dialog again and again.
    // Before any draw there are no tables to fit.
    if (const int most = largestPageCount(s.TableCount); s.TableCount > 0 && s.PageCount > most) {
        session.tell("テーブル数 " + numberText(s.TableCount) + " では印刷ページは " +
                     numberText(most) + " 頁までです。" + numberText(most) + " 頁で作成します");
        s.PageCount = static_cast<Integer>(most);
    }
    // Raised for the same reason: every half-page must be drawable to its final.
    if (s.TableCount > 0 && mostPlayersOnAHalfPage(s, s.PageCount) > kMostPlayersPerHalfPage) {
        int pages = s.PageCount;
        while (pages < largestPageCount(s.TableCount) &&
               mostPlayersOnAHalfPage(s, pages) > kMostPlayersPerHalfPage)
            pages *= 2;
        session.tell("ヤグラの片側は 1 頁に " + numberText(kMostPlayersPerHalfPage) +
                     " 名までです。" + numberText(pages) + " 頁で作成します");
        s.PageCount = static_cast<Integer>(pages);
    }
    const long long setting = roundToInteger(readNumber(form.text("Text1")));
    s.TimeTableSetting = static_cast<Integer>(std::clamp<long long>(setting, -32768, 32767));

    const int column = intake::summaryColumn(s.GenderName, s.EventName);
    if (summary && column > 0) {
        summary->setNumber(3, column, s.TimeTableSetting);
        summary->setNumber(4, column, s.PageCount);
    }
}

}  // namespace tombra::bracket
