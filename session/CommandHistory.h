#pragma once

// What 元に戻す(&U) takes back: whole commands, newest first, back to the last File > Open.
// Before a command that is a step, the guard notes the tournament state, the marks, every
// held workbook's content (its package bytes) and the typing history; taking the step back
// puts all of them back, so the typing done before the command can be taken back after it.
// Workbooks are put back in place, the same objects, so that the windows that show them and
// the typing history keep them.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "sheet/EditHistory.h"
#include "sheet/Workbook.h"
#include "state/TournamentState.h"

namespace tombra {

class Session;

// How a command stands to 元に戻す.
enum class UndoRole {
    // Changes the event, the marks or the workbooks: taken back as one step.
    Step,
    // Leaves them as they are, or changes only what no undo should take back: saving,
    // printing, help, the windows, 元に戻す itself.
    Outside,
    // Starts the event afresh (File > Open): nothing before it can be taken back.
    Restart,
};

class CommandHistory {
  public:
    struct Limits {
        std::size_t steps;  // 0: nothing is noted
        // The workbooks' bytes, each image counted once however many steps share it. The
        // newest step stays even when it alone is over. (Each workbook's last image is kept
        // besides, to spare serialising it again while it does not change.)
        std::size_t workbookBytes;
    };
    // A state costs about 1.7 MB whatever the event (its tables have fixed sizes), the
    // workbook of the largest event about 130 kB: twenty steps cover an event's whole road
    // from File > Open in some 35 MB, and a large workbook of the organiser's is held to 32 MB.
    static constexpr Limits kDefaultLimits{20, std::size_t{32} << 20};

    const Limits& limits() const { return limits_; }
    // Drops the oldest steps beyond the new limits.
    void setLimits(Limits limits);

    // Around one command: before() notes what is now (throws when a workbook cannot be
    // serialised, the history then being empty); after() keeps it as a step if the command
    // changed anything, whether it ended or stopped half-way.
    void before(Session& session, const std::string& caption);
    void after(Session& session);

    // Takes the last step back; its caption, nullopt when there is none.
    std::optional<std::string> undo(Session& session);
    // A number from the revisions' sequence taken when the last step ended, 0 without one:
    // typing written after it is newer than the step.
    std::uint64_t lastEnded() const { return steps_.empty() ? 0 : steps_.back().ended; }
    std::size_t size() const { return steps_.size(); }
    std::size_t workbookBytes() const;

    void clear();
    // The workbook is let go: the steps that hold it can no longer be taken back whole. (Not
    // while undo itself lets go of a workbook the command had opened.)
    void forget(const sheet::Workbook& workbook);

  private:
    struct Book {
        sheet::Workbook* workbook;
        sheet::Workbook::Image image;
    };
    struct Step {
        std::string caption;
        TournamentState state;
        std::set<std::string> marksBefore;  // while the command runs
        std::map<std::string, bool> marks;  // the marks the command changed, as they were
        std::vector<Book> books;            // every workbook held before the command
        sheet::EditHistory edits;
        std::uint64_t ended = 0;
    };
    void trim();

    Limits limits_ = kDefaultLimits;
    std::deque<Step> steps_;  // the oldest first
    std::optional<Step> running_;
    // Each workbook's last image, whose bytes serve again while it does not change.
    std::map<const sheet::Workbook*, sheet::Workbook::Image> latest_;
    bool undoing_ = false;
};

// Whether 元に戻す takes back typing in this workbook before any command: typing written
// after the last step.
bool typingComesFirst(const Session& session, const sheet::Workbook& workbook);

// 元に戻す(&U): the newest of the typing since the last step and the last step is taken
// back, and the log says which; with neither, the user is told so.
void undoLast(Session& session);

}  // namespace tombra
