#include "BracketFixture.h"

#include "app/CommandMap.h"
#include "state/EntryCode.h"
#include "support/EntryWorkbook.h"

namespace tombra::bracket::test {

void BracketFixture::SetUp() {
    session.state.setOpenConstants();
    session.state.fillColumnLetters();
    event("男子", "シングルス", "Ｓ");
}

void BracketFixture::event(const std::string& gender, const std::string& eventName,
                           const std::string& code) {
    session.state.GenderName = gender;
    session.state.EventName = eventName;
    session.state.EventCode = code;
}

float BracketFixture::codeOf(int i) { return encodeEntry((i - 1) / 10 + 1, (i - 1) % 10 + 1); }

void BracketFixture::draw(const std::vector<int>& sizes) {
    TournamentState& s = session.state;
    s.TableCount = static_cast<Integer>(sizes.size());
    int i = 0;
    for (size_t t = 1; t <= sizes.size(); ++t) {
        s.TableSize(static_cast<long long>(t)) = static_cast<Integer>(sizes[t - 1]);
        for (int j = 1; j <= sizes[t - 1]; ++j) {
            ++i;
            const int school = (i - 1) / 10 + 1, entry = (i - 1) % 10 + 1;
            s.TableSlot(static_cast<long long>(t), j) = codeOf(i);
            s.EntryName(school, entry) = "選手" + std::to_string(i);
            s.EntryAffiliation(school, entry) = "高校" + std::to_string(school);
            s.SchoolEntryCount(school) = static_cast<Integer>(entry);
        }
    }
    s.EntryCount = static_cast<Integer>(i);
    s.DrawDone = 1;
}

void BracketFixture::seed(int k, int position) {
    session.state.PositionEntry(k) = codeOf(position);
    if (k > session.state.SeedCount) session.state.SeedCount = static_cast<Integer>(k);
}

void BracketFixture::writeWorkbook(const std::vector<std::string>& extraSheets) {
    std::vector<tombra::test::SheetContent> sheets = {{session.bracketSheetName(), {{"古い内容"}}},
                                                      {"基礎Ｄ", {{"項目"}}}};
    for (const std::string& name : extraSheets) sheets.push_back({name, {{"x"}}});
    tombra::test::writeEntryWorkbook(path, sheets);
    session.state.WorkbookPath = path.string();
}

void BracketFixture::build(int pageOption, bool numbering) {
    shell.fill["Form4"] = [pageOption](ui::Form& f) {
        f.userSetValue("opt(" + std::to_string(pageOption) + ")", true);
    };
    shell.fill["Form12"] = [numbering](ui::Form& f) {
        f.setValue(numbering ? "Option1" : "Option2", true);
    };
    const app::MenuItem* item = app::findMenuItem("印刷(&P)/ヤグラ（個人・団体）作成(&Y)");
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(app::runMenuItem(session, *item));
}

std::unique_ptr<sheet::Workbook> BracketFixture::saved() {
    sheet::Workbook* wb = session.attachWorkbook();
    EXPECT_NE(wb, nullptr);
    if (wb) wb->save();
    return sheet::Workbook::open(path);
}

}  // namespace tombra::bracket::test
