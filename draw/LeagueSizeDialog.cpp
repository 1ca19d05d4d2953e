#include "draw/LeagueSizeDialog.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "session/Session.h"
#include "state/Numbers.h"
#include "ui/FormControls.h"

namespace tombra::draw {

namespace {

using namespace ui::controls;

// TableSize and TableSlot end at table 128.
constexpr int kMaxGroups = 128;

ui::FormSpec makeLeagueSizeForm() {
    return ui::FormSpec{
        .name = "Form9",
        .caption = "リーグ人数の設定",
        .controls =
            {
                frame("Frame1", "リーグ人数"),
                option("Option1", "３人（チーム)", "Frame1"),
                option("Option2", "４人（チーム）", "Frame1"),
                option("Option3", "５人（チーム)", "Frame1", true),
                option("Option4", "６人（チーム)", "Frame1"),
                option("Option5", "７人（チーム)", "Frame1"),
                frame("Frame2", "タイプ"),
                option("Option6", "リーグ人数固定", "Frame2"),
                option("Option7", "リーグ人数可変", "Frame2", true),
                button("Command1", "OK"),
                button("Command2", "キャンセル"),
            },
        .okButton = "Command1",
        .cancelButton = "Command2",
    };
}

std::vector<int> fixedSizes(int entries, int size) {
    // Splitting evenly gives groups of `size` and `size` - 1 whenever that is possible, and
    // still sensible groups when it is not (8 entries of 7: 4 and 4, not 7 and 1).
    const int groups = (entries + size - 1) / size;
    std::vector<int> sizes(static_cast<std::size_t>(groups), entries / groups);
    for (int g = 0; g < entries % groups; ++g) ++sizes[static_cast<std::size_t>(g)];
    return sizes;
}

std::vector<int> variableSizes(int entries, int size, int superSeeds) {
    const int seats = entries + superSeeds * (size - 1);
    const int groups = seats / size, leftover = seats % size;
    // Every leftover entry needs an ordinary group to join.
    if (groups < superSeeds || leftover > groups - superSeeds) return {};
    std::vector<int> sizes(static_cast<std::size_t>(groups), size);
    for (int g = 0; g < superSeeds; ++g) sizes[static_cast<std::size_t>(g)] = 1;
    for (int g = superSeeds; g < superSeeds + leftover; ++g) ++sizes[static_cast<std::size_t>(g)];
    return sizes;
}

}  // namespace

const ui::FormSpec& leagueSizeForm() {
    static const ui::FormSpec declaration = makeLeagueSizeForm();
    return declaration;
}

LeagueSizeChoice leagueSizeChoice(const ui::Form& form) {
    LeagueSizeChoice choice;
    const char* options[] = {"Option1", "Option2", "Option3", "Option4", "Option5"};
    for (int i = 0; i < 5; ++i)
        if (form.value(options[i])) choice.size = 3 + i;
    choice.fixed = form.value("Option6");
    return choice;
}

std::vector<int> leagueGroupSizes(int entries, int size, bool fixed, int superSeeds) {
    if (entries <= 0 || size <= 0) return {};
    std::vector<int> sizes =
        fixed ? fixedSizes(entries, size) : variableSizes(entries, size, std::max(superSeeds, 0));
    if (sizes.empty() || std::accumulate(sizes.begin(), sizes.end(), 0) != entries) return {};
    for (int n : sizes)
        if (n < 1) return {};
    return sizes;
}

bool askLeagueSize(Session& session) {
    TournamentState& s = session.state;
    // A cancel or a refusal stops its own run only; the flag left by an earlier one would
    // stop every league command after it.
    s.LeagueCancelled = 0;
    ui::Form& form = session.forms.get(leagueSizeForm());
    if (session.shell.showForm(form) != form.declaration().okButton) {
        s.LeagueCancelled = 1;
        return false;
    }
    const LeagueSizeChoice choice = leagueSizeChoice(form);
    const std::vector<int> sizes =
        leagueGroupSizes(s.EntryCount, choice.size, choice.fixed, s.LeagueSuperSeedCount);
    const int groups = static_cast<int>(sizes.size());
    if (sizes.empty() || groups > kMaxGroups) {
        std::string why = sizes.empty() ? "リーグを組めません"
                                        : "リーグ数が " + numberText(groups) + " になり、" +
                                              numberText(kMaxGroups) + " を超えます";
        session.tell("エントリー数 " + numberText(s.EntryCount) + "、リーグ人数 " +
                     numberText(choice.size) + " 人では" + why);
        s.LeagueCancelled = 1;
        return false;
    }
    s.TableCount = static_cast<Integer>(groups);
    for (int g = 1; g <= kMaxGroups; ++g)
        s.TableSize(g) =
            static_cast<Integer>(g <= groups ? sizes[static_cast<std::size_t>(g - 1)] : 0);
    return true;
}

}  // namespace tombra::draw
