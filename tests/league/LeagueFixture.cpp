#include "LeagueFixture.h"

#include <algorithm>
#include <set>

#include "app/CommandMap.h"
#include "state/Numbers.h"

namespace tombra::league::test {

void LeagueShell::progressChanged(const ui::ProgressDialog& progress) {
    if (captions.empty() || captions.back() != progress.caption())
        captions.push_back(progress.caption());
}

std::string LeagueShell::showForm(ui::Form& form) {
    if (std::find(closeInstead.begin(), closeInstead.end(), form.name()) == closeInstead.end())
        return FakeShell::showForm(form);
    form.aboutToShow();
    formsShown.push_back(form.name());
    if (auto f = fill.find(form.name()); f != fill.end()) f->second(form);
    return form.declaration().cancelButton;
}

int addPlayer(TournamentState& s, const Player& p) {
    const int row = s.EntryCount + 1;
    const std::vector<std::string> columns{
        std::to_string(p.school),     "学校" + std::to_string(p.school),
        "選手" + std::to_string(row), std::to_string(p.sex),
        std::to_string(p.category),   "1",
        p.seeded ? "2" : "1",         p.previous > 0 ? std::to_string(p.previous) : ""};
    for (std::size_t c = 0; c < columns.size(); ++c) s.EntryTable(row, c + 1) = columns[c];
    s.SchoolEntryCount(p.school) += 1;
    if (p.seeded) ++s.SeedCount;
    s.EntryCount = static_cast<Integer>(row);
    return row;
}

void addRandomPlayers(TournamentState& s, std::mt19937& random, int count, int schools, int seeds) {
    std::uniform_int_distribution<int> school(1, schools), code(1, 2), category(1, 4),
        previous(0, 8);
    for (int i = 0; i < count; ++i)
        addPlayer(s, {school(random), code(random), category(random), i < seeds, previous(random)});
}

void setGroups(TournamentState& s, const Groups& groups) {
    s.TableSlot.fill(0);
    s.TableSize.fill(0);
    s.TableCount = static_cast<Integer>(groups.size());
    for (std::size_t g = 0; g < groups.size(); ++g) {
        s.TableSize(g + 1) = static_cast<Integer>(groups[g].size());
        for (std::size_t p = 0; p < groups[g].size(); ++p)
            s.TableSlot(g + 1, p + 1) = static_cast<Single>(groups[g][p]);
    }
}

Groups groupsOf(const TournamentState& s) {
    Groups groups(static_cast<std::size_t>(s.TableCount));
    for (int g = 1; g <= s.TableCount; ++g)
        for (int p = 1; p <= s.TableSize(g); ++p)
            groups[g - 1].push_back(static_cast<int>(s.TableSlot(g, p)));
    return groups;
}

std::map<int, std::pair<int, int>> placesOf(const TournamentState& s) {
    std::map<int, std::pair<int, int>> at;
    for (int g = 1; g <= s.TableCount; ++g)
        for (int p = 1; p <= s.TableSize(g); ++p) at[static_cast<int>(s.TableSlot(g, p))] = {g, p};
    return at;
}

std::vector<int> sizesOf(const TournamentState& s) {
    return {s.TableSize.begin(), s.TableSize.end()};
}

Messages groupFaults(const TournamentState& s, int entries, bool complete) {
    Messages faults;
    std::set<int> seen;
    for (int g = 1; g <= s.TableCount; ++g) {
        for (int p = 1; p <= 128; ++p) {
            const float v = s.TableSlot(g, p);
            const std::string at = " at " + std::to_string(g) + "/" + std::to_string(p);
            if (p > s.TableSize(g) && v != 0) faults.push_back("beyond the size" + at);
            if (p > s.TableSize(g)) continue;
            if (v == 0 && complete) faults.push_back("empty" + at);
            if (v == 0) continue;
            if (v < 1 || v > entries || v != static_cast<int>(v))
                faults.push_back("no entry: " + numberText(v) + at);
            else if (!seen.insert(static_cast<int>(v)).second)
                faults.push_back("twice: " + numberText(v) + at);
        }
    }
    for (int e = 1; complete && e <= entries; ++e)
        if (!seen.count(e)) faults.push_back("missing: " + std::to_string(e));
    return faults;
}

int clashes(const TournamentState& s, int column) {
    auto value = [&](int g, int p) {
        const float v = s.TableSlot(g, p);
        return v == 0 ? 0 : roundToInteger(readNumber(s.EntryTable(static_cast<int>(v), column)));
    };
    int n = 0;
    for (int g = 1; g <= s.TableCount; ++g)
        for (int a = 1; a < s.TableSize(g); ++a)
            for (int b = a + 1; b <= s.TableSize(g); ++b)
                n += value(g, a) != 0 && value(g, a) == value(g, b) &&
                     !(column == 1 && value(g, a) == s.TableSecondSchool(g));
    return n;
}

void LeagueSession::reopen() {
    s.resetAtOpen();
    s.setOpenConstants();
    shell.messages.clear();
    shell.captions.clear();
}

void LeagueSession::chooseLeagueSize(int size, bool fixed) {
    const std::string option = "Option" + std::to_string(size - 2);
    shell.fill["Form9"] = [option, fixed](ui::Form& f) {
        f.setValue(option, true);
        f.setValue(fixed ? "Option6" : "Option7", true);
    };
}

void LeagueSession::choosePasses(bool school, bool previous, bool sex, bool category) {
    shell.fill["Form13"] = [=](ui::Form& f) {
        f.setValue("Check1", school);
        f.setValue("Check2", previous);
        f.setValue("Check3", sex);
        f.setValue("Check4", category);
    };
}

bool LeagueSession::run(const std::string& caption) {
    const app::MenuItem* item = app::findMenuItem(caption);
    return item != nullptr && app::runMenuItem(session, *item);
}

Groups LeagueSession::bySchools(const Groups& schools, int seededFrom) {
    Groups groups;
    for (std::size_t g = 0; g < schools.size(); ++g) {
        groups.emplace_back();
        const bool seeded = seededFrom > 0 && static_cast<int>(g) + 1 >= seededFrom;
        for (int school : schools[g]) groups.back().push_back(add({school, 1, 1, seeded}));
    }
    setGroups(s, groups);
    return groups;
}

}  // namespace tombra::league::test
