#include "adjust/PackingAdjustment.h"

#include <algorithm>
#include <functional>
#include <map>

#include "adjust/DrawGrid.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "state/EntryCode.h"
#include "state/Numbers.h"
#include "ui/FormControls.h"

namespace tombra::adjust {

namespace {

constexpr int kMaxEntry = decltype(TournamentState::EntryName)::columnUpper();
constexpr int kMaxSeed = decltype(TournamentState::PositionEntry)::upper();

ui::FormSpec makeUnpackForm() {
    using namespace ui::controls;
    return ui::FormSpec{
        .name = "Form5",
        .caption = "パッキン外し",
        .controls =
            {
                label("Label1", "パッキン外しをするシードＮＯを指定してください"),
                textBox("Text1", ""),
                label("Label2", "パッキン外しの対象となる各校の選手ＮＯを選択"),
                option("Option1", "１番のみ", {}, true),
                option("Option2", "２番まで", {}),
                option("Option3", "３番まで", {}),
                button("Command1", "ＯＫ"),
            },
        .okButton = "Command1",
        .cancelButton = "Command1",  // the only way out
    };
}

class Unpacking {
  public:
    Unpacking(TournamentState& s, const UnpackSettings& settings)
        : s_(s), settings_(settings), tables_(tableCount(s)), facing_(tables_ + 1) {
        for (int j = 1; j <= std::min<int>(s.SeedCount, kMaxSeed); ++j) {
            const DecodedEntry e = decodeEntry(s.PositionEntry(j));
            if (holdsEntry(s.PositionEntry(j)))
                seedNumber_.emplace(std::pair{e.school, e.entry}, j);
        }
        for (int t = 1; t <= tables_; ++t) {
            facing_[t].assign(static_cast<std::size_t>(tableSize(s_, t) + 1), false);
            for (int l = 1; l <= tableSize(s_, t); ++l)
                if (seedAt(t, l) != 0)
                    for (int n : opponents(t, l)) facing_[t][n] = true;
        }
    }

    std::vector<std::string> run(const std::function<void(int)>& table) {
        for (int t = 1; t <= tables_; ++t) {
            if (table) table(t);
            for (int l = 1; l <= tableSize(s_, t); ++l)
                if (treated(seedAt(t, l))) unpack(t, l);
        }
        return lines_;
    }

  private:
    // The seed number of the entry at a position, 0 when it is no seed. An entry listed
    // under two seed numbers counts by the first.
    int seedAt(int t, int slot) const {
        const Single code = s_.TableSlot(t, slot);
        if (!holdsEntry(code)) return 0;
        const DecodedEntry e = decodeEntry(code);
        const auto found = seedNumber_.find({e.school, e.entry});
        return found == seedNumber_.end() ? 0 : found->second;
    }

    bool treated(int seed) const {
        return seed != 0 && (settings_.seedNo <= 0 || seed <= settings_.seedNo);
    }

    std::vector<int> opponents(int t, int seedSlot) const {
        const int size = tableSize(s_, t);
        const auto [lo, hi] = opponentRange(t, size);
        std::vector<int> slots;
        for (int n = std::max(lo, 1); n <= std::min(hi, size); ++n)
            if (n != seedSlot) slots.push_back(n);
        return slots;
    }

    void unpack(int t, int seedSlot) {
        for (int n : opponents(t, seedSlot)) {
            const Single code = s_.TableSlot(t, n);
            if (!holdsEntry(code)) continue;
            const DecodedEntry o = decodeEntry(code);
            if (o.school > kMaxId || o.entry > kMaxEntry) continue;
            const int entries = std::min<int>(s_.SchoolEntryCount(o.school), kMaxEntry);
            if (entries < 2 || o.entry > settings_.maxNo) continue;
            if (replace(t, n, o.school, o.entry, entries)) return;  // one exchange a seed
            lines_.push_back(s_.EntryAffiliation(o.school, o.entry) + "：" +
                             s_.EntryName(o.school, o.entry) + "交換不能");
        }
    }

    // Looks for the school's entries from the last number down: a teammate in the same half
    // first, which keeps the school where the even distribution put it; then one that keeps
    // its first two entries in different halves; then any. A teammate whose number is
    // itself among those moved away from seeds would only take the opponent's place in
    // the same trouble, and one that faces a seed would carry the opponent there: neither
    // is taken.
    bool replace(int t, int n, int school, int entry, int entries) {
        const bool upper = t <= tables_ / 2;
        const int partner = entry == 1 ? 2 : entry == 2 ? 1 : 0;
        const int partnerTable = partner != 0 ? positionOf(school, partner).first : 0;
        const std::function<bool(int)> preferences[] = {
            [&](int e) { return (e <= tables_ / 2) == upper; },
            [&](int e) {
                return partnerTable == 0 || (e <= tables_ / 2) != (partnerTable <= tables_ / 2);
            },
            [](int) { return true; }};
        for (const auto& wanted : preferences)
            if (replaceWith(t, n, school, entry, entries, wanted)) return true;
        return false;
    }

    // The school's first or second entry has just moved into table `into`'s half. When the
    // other of the two stands there too, it changes places with a teammate of the other half
    // that is neither a seed nor facing one, so that the two still meet no sooner than the
    // final.
    void keepSplit(int school, int moved, int into) {
        const int other = 3 - moved;
        const bool upper = into <= tables_ / 2;
        const auto [ot, os] = positionOf(school, other);
        if (ot == 0 || (ot <= tables_ / 2) != upper || seedAt(ot, os) != 0) return;
        for (int e = 1; e <= tables_; ++e) {
            if ((e <= tables_ / 2) == upper) continue;
            for (int f = 1; f <= tableSize(s_, e); ++f) {
                const Single code = s_.TableSlot(e, f);
                if (schoolAt(s_, e, f) != school || decodeEntry(code).entry <= 2 ||
                    seedAt(e, f) != 0 || facing_[e][f])
                    continue;
                exchange(s_, ot, os, e, f);
                lines_.push_back(s_.EntryAffiliation(school, other) + "：" +
                                 s_.EntryName(school, other) + "⇔" +
                                 s_.EntryName(school, decodeEntry(code).entry));
                return;
            }
        }
    }

    // (table, slot) of an entry; (0, 0) when it is not in the draw.
    std::pair<int, int> positionOf(int school, int entry) const {
        const Single code = encodeEntry(school, entry);
        for (int e = 1; e <= tables_; ++e)
            for (int f = 1; f <= tableSize(s_, e); ++f)
                if (s_.TableSlot(e, f) == code) return {e, f};
        return {0, 0};
    }

    bool replaceWith(int t, int n, int school, int entry, int entries,
                     const std::function<bool(int table)>& wanted) {
        const int lowest = std::max(entries - settings_.maxNo, settings_.maxNo + 1);
        for (int d = entries; d >= lowest; --d) {
            for (int e = 1; e <= tables_; ++e) {
                for (int f = 1; f <= tableSize(s_, e); ++f) {
                    const Single code = s_.TableSlot(e, f);
                    if (!holdsEntry(code) || decodeEntry(code).entry != d) continue;
                    // A seed with this number ends the look at its table, whatever its school.
                    if (seedAt(e, f) != 0 || (e == t && f == n)) break;
                    if (schoolAt(s_, e, f) != school) continue;
                    if (facing_[e][f]) break;
                    if (!wanted(e)) break;
                    exchange(s_, t, n, e, f);
                    lines_.push_back(s_.EntryAffiliation(school, entry) + "：" +
                                     s_.EntryName(school, entry) + "⇔" + s_.EntryName(school, d));
                    if (entry <= 2 && (e <= tables_ / 2) != (t <= tables_ / 2))
                        keepSplit(school, entry, e);
                    return true;
                }
            }
        }
        return false;
    }

    TournamentState& s_;
    const UnpackSettings settings_;
    const int tables_;
    std::map<std::pair<int, int>, int> seedNumber_;
    std::vector<std::vector<bool>> facing_;
    std::vector<std::string> lines_;
};

}  // namespace

const ui::FormSpec& unpackForm() {
    static const ui::FormSpec declaration = makeUnpackForm();
    return declaration;
}

UnpackSettings readUnpackSettings(const ui::Form& form) {
    UnpackSettings settings;
    const long long seed = roundToInteger(readNumber(form.text("Text1")));
    settings.seedNo = static_cast<int>(std::clamp<long long>(seed, -1, kMaxSeed));
    settings.maxNo = form.value("Option3") ? 3 : form.value("Option2") ? 2 : 1;
    return settings;
}

std::pair<int, int> opponentRange(int t, int size) {
    const bool oneSlot = size == 2 || size == 4 || size == 8;
    if (t % 2 == 1) return oneSlot ? std::pair{2, 2} : std::pair{2, 3};
    return oneSlot ? std::pair{size - 1, size - 1} : std::pair{size - 2, size - 1};
}

std::vector<std::string> unpackSeeds(TournamentState& s, const UnpackSettings& settings,
                                     const std::function<void(int)>& table) {
    return Unpacking(s, settings).run(table);
}

void adjustPacking(Session& session) {
    session.marks.set(ids::kAdjustPacking, true);
    ui::Form& form = session.forms.get(adjust::unpackForm());
    session.shell.showForm(form);
    const adjust::UnpackSettings settings = adjust::readUnpackSettings(form);

    ui::ProgressDialog& progress = session.progress;
    progress.start("パッキン調整", 1, session.state.TableCount);

    session.log.clear();
    session.log.append("");
    session.log.append("パッキン交換");
    const std::vector<std::string> lines =
        adjust::unpackSeeds(session.state, settings, [&progress](int t) { progress.setValue(t); });
    for (const std::string& line : lines) session.log.append(line);

    progress.hide();
    session.tell("パッキン調整終了");
}

}  // namespace tombra::adjust
