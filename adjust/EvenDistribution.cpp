#include "adjust/EvenDistribution.h"

#include <algorithm>
#include <string>
#include <vector>

#include "adjust/SectionBalance.h"
#include "adjust/SeedOpponents.h"
#include "adjust/ShareRepair.h"
#include "draw/BracketFairness.h"
#include "session/CommandIds.h"
#include "session/Session.h"
#include "state/Numbers.h"

namespace tombra::adjust {

namespace {

using adjust::TableCounts;

constexpr int kPassLimit = 10;
// A pass ends the command when the largest and smallest seed-opponent counts are closer.
constexpr int kSpreadWanted = 3;

class EvenDistribution {
  public:
    explicit EvenDistribution(Session& session) : session_(session), s_(session.state) {}

    void run() {
        session_.random.reseedFromClock();
        if (s_.BlockMode == 1) balancePass(TableCounts::Identity::Block, "B均等振分：", 1);
        for (int pass = 1; pass <= kPassLimit; ++pass) {
            const int spread = balancePass(TableCounts::Identity::School, "均等振分：", pass);
            if (spread < kSpreadWanted) break;
        }
        const int moved = adjust::repairShares(s_, adjust::ShareLevels::All);
        if (moved > 0) session_.log.append("均等振分の仕上げ：" + numberText(moved) + "名を移動");
        tellFailures();
        session_.progress.hide();
        session_.tell("均等振分終了");
    }

  private:
    // One pass; returns the spread of the seed-opponent counts (0 for the blocks' pass).
    int balancePass(TableCounts::Identity identity, const std::string& caption, int pass) {
        const bool schools = identity == TableCounts::Identity::School;
        const int tables = adjust::tableCount(s_);
        const int levels = adjust::bracketLevels(tables);
        ui::ProgressDialog& progress = session_.progress;
        progress.start(caption + strText(pass), 1, tables + levels);
        session_.random.reseedFromClock();

        adjust::OpponentSpread spread;
        spread.count.assign(adjust::kMaxId + 1, 0);
        if (schools && s_.LeagueThenTournament != 1)
            spread = adjust::spreadSeedOpponents(s_, session_.random,
                                                 [&progress](int t) { progress.setValue(t); });

        const adjust::BalanceEvents events{
            [&progress](int v) { progress.setValue(v); },
            [&](int id, bool noSource) { tellFailure(identity, id, noSource); }};
        adjust::balanceSections(s_, session_.random, identity, events);
        progress.hide();
        if (!schools) return 0;

        const adjust::SpreadReport report = adjust::spreadReport(s_, pass, spread.count);
        for (const std::string& line : report.lines) session_.log.append(line);
        return report.largest - report.smallest;
    }

    // A school (block) that cannot be evened out is told once a run, at the end: the next
    // pass would only say the same again, and the last step may mend it.
    void tellFailure(TableCounts::Identity identity, int id, bool noSource) {
        std::string name = id <= s_.EntryAffiliation.rowUpper() ? s_.EntryAffiliation(id, 1) : "";
        if (identity == TableCounts::Identity::Block && name.empty())
            name = "ブロック" + numberText(id);
        const std::string text = (noSource ? "元・交換不能：" : "先・交換不能：") + name;
        if (std::find(failures_.begin(), failures_.end(), std::pair{text, id}) == failures_.end())
            failures_.emplace_back(text, identity == TableCounts::Identity::School ? id : 0);
    }

    void tellFailures() {
        const draw::BracketFairness fairness = draw::assessBracket(s_);
        for (const auto& [text, school] : failures_) {
            const auto it = std::find_if(
                fairness.schools.begin(), fairness.schools.end(),
                [school](const draw::SchoolFairness& f) { return f.school == school; });
            const bool mended = school != 0 && it != fairness.schools.end() && it->widestGap <= 1;
            if (!mended) session_.tell(text);
        }
    }

    Session& session_;
    TournamentState& s_;
    std::vector<std::pair<std::string, int>> failures_;  // text, school (0: a block)
};

}  // namespace

void distributeEvenly(Session& session) {
    if (!session.marks.checked(ids::kAdjustAffiliations)) {
        session.tell("調整Ⅰを実行して下さい");
        return;
    }
    session.marks.set(ids::kDistributeEvenly, true);
    EvenDistribution(session).run();
}

}  // namespace tombra::adjust
