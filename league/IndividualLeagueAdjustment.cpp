#include "league/IndividualLeagueAdjustment.h"

#include <string>

#include "session/CommandIds.h"
#include "session/Session.h"
#include "league/BalancePasses.h"
#include "league/LeagueGroups.h"
#include "league/SchoolRotation.h"
#include "state/Numbers.h"
#include "ui/FormControls.h"

namespace tombra::league {

namespace {

using namespace league;

constexpr const char* kBoxes[] = {"Check1", "Check2", "Check3", "Check4"};

ui::FormSpec makeLeagueAdjustForm() {
    using namespace ui::controls;
    ui::FormSpec f;
    f.name = "Form13";
    f.caption = "個人リーグ調整選択";
    f.controls = {
        check("Check1", "所属調整", true),
        check("Check2", "前回グループ調整", true),
        check("Check3", "男女別調整", true),
        check("Check4", "種別調整", true),
        label("Label1", "参加者の偏りにより、うまく動かない場合に処理調整のチェックを外して下さい"),
        button("Command1", "OK"),
    };
    f.okButton = "Command1";
    // No cancel button: closing the window keeps the passes chosen at the last OK.
    f.cancelButton = "";
    return f;
}

LeagueAdjustChoice askAdjustments(Session& session) {
    ui::Form& form = session.forms.get(leagueAdjustForm());
    // Closing the window keeps the passes the last OK chose, whatever the boxes show now.
    if (session.shell.showForm(form) == form.declaration().okButton)
        for (const char* box : kBoxes) form.setMemo(box, form.value(box) ? "1" : "");
    return leagueAdjustChoice(session);
}


// "所属調整": two entries of one school in a group are parted, unless the group is reserved
// for that school's second entries.
void separateSchools(Session& session, LeagueGroups& groups) {
    TournamentState& s = session.state;
    ui::ProgressDialog& progress = session.progress;
    session.random.reseedFromClock();
    const int count = groups.groupCount();
    progress.setCaption("調整");
    progress.setMin(0);
    progress.setMax(static_cast<float>(count));
    SchoolRotation rotation(groups, session.shell, PartnerBLimit::WarnsAndGoesOn);
    for (int g = 1; g <= count; ++g) {
        progress.setValue(static_cast<float>(g));
        progress.setCaption("調整" + strText(g) + "/" + strText(count));
        for (int a = 1; a < groups.size(g); ++a) {
            const long long schoolA = groups.attribute({g, a}, kSchoolColumn);
            for (int b = a + 1; b <= groups.size(g); ++b) {
                const long long schoolB = groups.attribute({g, b}, kSchoolColumn);
                // An empty place (school 0) has no school to share.
                if (schoolB == 0 || schoolA != schoolB || schoolB == s.TableSecondSchool(g))
                    continue;
                if (!rotation.moveOut({g, b}, schoolB)) return;
            }
        }
    }
}

// The previous-group pass moves the entry at A out under two rules at once: its new group
// holds neither its school nor its previous group, and the same for the entries of B and C.
class PreviousGroupRotation {
  public:
    PreviousGroupRotation(Session& session, LeagueGroups& groups)
        : session_(session), groups_(groups) {}

    bool moveOut(Place a) {
        if (groups_.seeded(a)) return true;  // seeds stay where they are
        if (groups_.groupCount() < 3) return stop(kTooFewGroups);
        const long long schoolA = groups_.attribute(a, kSchoolColumn);
        const long long previousA = groups_.attribute(a, kPreviousGroupColumn);
        int kB = 0, m = 0;
        idlePicks_ = 0;
        for (;;) {
            Place b, c;
            for (;;) {
                if (pickedTooOften()) return false;
                b = groups_.pickRandomPlace();
                if (b.group == a.group || groups_.seeded(b)) {
                    ++idlePicks_;
                    continue;
                }
                if (kB >= kTryLimit) return stop(kNoPartnerB1);
                ++kB;
                if (holds(b, schoolA, kSchoolColumn)) continue;
                const bool samePrevious = holds(b, previousA, kPreviousGroupColumn);
                if (++kB >= kTryLimit) return stop(kNoPartnerB8);
                if (!samePrevious) break;
            }
            const long long schoolB = groups_.attribute(b, kSchoolColumn);
            const long long previousB = groups_.attribute(b, kPreviousGroupColumn);
            int kC = 0;
            for (;;) {
                if (pickedTooOften()) return false;
                c = groups_.pickRandomPlace();
                if (c.group == a.group || c.group == b.group || groups_.seeded(c)) {
                    ++idlePicks_;
                    continue;
                }
                const bool sameSchool = holds(c, schoolB, kSchoolColumn);
                if (++kC >= kTryLimit) return stop(kNoPartnerC1);
                if (sameSchool) continue;
                const bool samePrevious = holds(c, previousB, kPreviousGroupColumn);
                if (++kC >= kTryLimit) return stop(kNoPartnerC8);
                if (!samePrevious) break;
            }
            const bool sameSchool = holds(a, groups_.attribute(c, kSchoolColumn), kSchoolColumn);
            if (++m >= kTryLimit) return cancel();
            const bool samePrevious =
                holds(a, groups_.attribute(c, kPreviousGroupColumn), kPreviousGroupColumn);
            if (++m >= kTryLimit) return cancel();
            if (sameSchool || samePrevious) {
                kB = 0;
                continue;
            }
            groups_.rotate(a, b, c);
            return true;
        }
    }

  private:
    bool holds(Place at, long long value, int column) const {
        return groups_.tableHoldsValue(at.group, at.place, value, column);
    }
    bool stop(const char* text) {
        session_.tell(text);
        return false;
    }
    bool cancel() {
        session_.state.LeagueCancelled = 1;
        return stop(kNoSwapWithA);
    }
    bool pickedTooOften() {
        if (idlePicks_ < kIdlePickLimit && ++passPicks_ < kPassPickLimit) return false;
        return stop(kSearchAbandoned), true;
    }

    Session& session_;
    LeagueGroups& groups_;
    long long idlePicks_ = 0, passPicks_ = 0;
};

// "グループチェック": two entries of one previous group in a group are parted; two entries
// without a previous group count as one.
void separatePreviousGroups(Session& session, LeagueGroups& groups) {
    TournamentState& s = session.state;
    session.random.reseedFromClock();
    PreviousGroupRotation rotation(session, groups);
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
    progress.setValue(static_cast<float>(value));
    progress.setCaption(caption);
}

}  // namespace

const ui::FormSpec& leagueAdjustForm() {
    static const ui::FormSpec declaration = makeLeagueAdjustForm();
    return declaration;
}

LeagueAdjustChoice leagueAdjustChoice(Session& session) {
    const ui::Form& chosen = session.forms.get(leagueAdjustForm());
    return {!chosen.memo("Check1").empty(), !chosen.memo("Check2").empty(),
            !chosen.memo("Check3").empty(), !chosen.memo("Check4").empty()};
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
    progress.setMin(0);
    progress.setMax(20);
    showStep(progress, t + 2, "書き込み");
    progress.setMin(0);
    progress.setMax(20);
    showStep(progress, t + 3, "グループ書き込み");
    progress.hide();
    session.tell("調整完了");
}

}  // namespace tombra::league
