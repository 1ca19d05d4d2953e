#include "league/IndividualLeagueAdjustment.h"

#include <algorithm>
#include <string>

#include "draw/ShareArrangement.h"
#include "league/BalancePasses.h"
#include "league/GroupRotation.h"
#include "league/LeagueFairness.h"
#include "league/LeagueGroups.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "state/Numbers.h"
#include "ui/FormControls.h"

namespace tombra::league {

namespace {

using namespace league;

constexpr const char* kBoxes[] = {"Check1", "Check2", "Check3", "Check4"};

ui::FormSpec makeLeagueAdjustForm() {
    using namespace ui::controls;
    return ui::FormSpec{
        .name = "Form13",
        .caption = "個人リーグ調整選択",
        .controls =
            {
                check("Check1", "所属調整", true),
                check("Check2", "前回グループ調整", true),
                check("Check3", "男女別調整", true),
                check("Check4", "種別調整", true),
                label("Label1",
                      "参加者の偏りにより、うまく動かない場合に処理調整のチェックを外して下さい"),
                button("Command1", "OK"),
            },
        .okButton = "Command1",
        // No cancel button: closing the window keeps the passes chosen at the last OK.
        .cancelButton = "",
    };
}

LeagueAdjustChoice askAdjustments(Session& session) {
    ui::Form& form = session.forms.get(leagueAdjustForm());
    // Closing the window keeps the passes the last OK chose, whatever the boxes show now.
    if (session.shell.showForm(form) == form.declaration().okButton)
        for (const char* box : kBoxes) form.setMemo(box, form.value(box));
    return leagueAdjustChoice(session);
}

// The school holds no more of the group than its share: its entries over the groups,
// rounded up. Only a school larger than the groups has a share above one.
bool withinShare(const LeagueGroups& groups, int group, long long school) {
    const TournamentState& s = groups.state();
    if (school < 1 || school > kMaxSchool) return false;
    const int count = groups.groupCount();
    const int share = draw::fairShare(s.SchoolEntryCount(static_cast<int>(school)), count);
    int held = 0;
    for (int p = 1; p <= groups.size(group); ++p)
        held += groups.attribute({group, p}, kSchoolColumn) == school;
    return held <= share;
}

// "所属調整": two entries of one school in a group are parted, unless the school is larger
// than the groups and the group holds no more than its share of it.
void separateSchools(Session& session, LeagueGroups& groups) {
    ui::ProgressDialog& progress = session.progress;
    session.random.reseedFromClock();
    const int count = groups.groupCount();
    progress.start("調整", 0, count);
    SchoolRotation rotation(groups, session.shell, PartnerBLimit::WarnsAndGoesOn);
    for (int g = 1; g <= count; ++g) {
        progress.setValue(g);
        progress.setCaption("調整" + strText(g) + "/" + strText(count));
        for (int a = 1; a < groups.size(g); ++a) {
            const long long schoolA = groups.attribute({g, a}, kSchoolColumn);
            for (int b = a + 1; b <= groups.size(g); ++b) {
                const long long schoolB = groups.attribute({g, b}, kSchoolColumn);
                // An empty place (school 0) has no school to share. A school larger than
                // the groups stays while the group holds no more than its share of it.
                if (schoolB == 0 || schoolA != schoolB || withinShare(groups, g, schoolB)) continue;
                if (!rotation.moveOut({g, b}, schoolB)) return;
            }
        }
    }
}

// The previous-group pass moves the entry at A out under two rules at once: its new group
// holds neither its school nor its previous group, and the same for the entries of B and C.
// Its searches count every test, each from 0, and pick another C for a seeded one.
RotationRule schoolsAndPreviousGroupsApart() {
    return {{{kSchoolColumn, kNoPartnerB1, kNoPartnerC1},
             {kPreviousGroupColumn, kNoPartnerB8, kNoPartnerC8}},
            TryCount::EveryTest,
            PartnerBLimit::EndsAtLimit,
            SeededC::PickAgain};
}

// "グループチェック": two entries of one previous group in a group are parted; two entries
// without a previous group count as one.
void separatePreviousGroups(Session& session, LeagueGroups& groups) {
    TournamentState& s = session.state;
    session.random.reseedFromClock();
    GroupRotation rotation(groups, session.shell, schoolsAndPreviousGroupsApart());
    for (int g = 1; g <= groups.groupCount(); ++g) {
        for (int a = 1; a < groups.size(g); ++a) {
            for (int b = a + 1; b <= groups.size(g); ++b) {
                const Place atA{g, a}, atB{g, b};
                // Empty places hold nobody to part.
                if (groups.entryAt(atA) == 0 || groups.entryAt(atB) == 0) continue;
                if (groups.attribute(atA, kPreviousGroupColumn) !=
                    groups.attribute(atB, kPreviousGroupColumn))
                    continue;
                if (s.TableSecondSchool(g) != 0 &&
                    groups.attribute(atB, kSchoolColumn) == s.TableSecondSchool(g)) {
                    // The reserved school's second entry stays; beside a seed the pass gives up.
                    if (groups.seeded(atA)) {
                        s.LeagueCancelled = 1;
                        return;
                    }
                    continue;
                }
                if (!rotation.moveOut(atB)) return;
            }
        }
    }
}

void showStep(ui::ProgressDialog& progress, int value, const std::string& caption) {
    progress.setValue(value);
    progress.setCaption(caption);
}

}  // namespace

const ui::FormSpec& leagueAdjustForm() {
    static const ui::FormSpec declaration = makeLeagueAdjustForm();
    return declaration;
}

LeagueAdjustChoice leagueAdjustChoice(Session& session) {
    const ui::Form& chosen = session.forms.get(leagueAdjustForm());
    return {chosen.memo("Check1", false), chosen.memo("Check2", false),
            chosen.memo("Check3", false), chosen.memo("Check4", false)};
}

void adjustIndividualLeague(Session& session) {
    TournamentState& s = session.state;
    // The passes read TableSlot as entry numbers of a league; a bracket holds entry codes.
    if (s.DrawDone != 0) {
        session.tell("ヤグラが投入済みのため、個人リーグ調整はできません");
        return;
    }
    if (!groupsArePlaced(s)) {
        session.tell("投入を実行して下さい");
        return;
    }
    session.marks.set(ids::kAdjustIndividualLeague, true);
    const LeagueAdjustChoice choice = askAdjustments(session);

    ui::ProgressDialog& progress = session.progress;
    progress.start("", 0, 20);
    LeagueGroups groups(s, session.random, seededByMark);
    int t = 0;
    if (choice.bySchool) {
        showStep(progress, 1, "所属調整");
        s.LeagueCancelled = 0;
        separateSchools(session, groups);
        // What the exchanges could not part, and a large school beyond its share, the last
        // step moves where the seeds and the groups allow.
        repairLeagueShares(groups);
        t = 1;
    }
    if (choice.byPreviousGroup) {
        showStep(progress, t + 1, "グループチェック");
        separatePreviousGroups(session, groups);
        t += 1;
    }
    if (choice.bySex) {
        t += 1;
        showStep(progress, t, "男女チェック" + strText(1) + "/3");
        s.LeagueCancelled = 0;
        balanceSexes(groups);
    }
    if (choice.byCategory) {
        t += 1;
        showStep(progress, t, "種別チェック" + strText(1) + "/3");
        s.LeagueCancelled = 0;
        spreadCategories(groups, session.shell);
    }
    showStep(progress, t + 1, "グループチェック");
    showStep(progress, 1, "書き込み初期化");
    showStep(progress, t + 2, "書き込み");
    showStep(progress, t + 3, "グループ書き込み");
    progress.hide();
    session.tell("調整完了");
}

}  // namespace tombra::league
