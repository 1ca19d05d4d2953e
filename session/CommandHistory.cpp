#include "session/CommandHistory.h"

#include <algorithm>
#include <utility>

#include "session/CommandGuard.h"
#include "session/Session.h"
#include "sheet/Revision.h"

namespace tombra {

void CommandHistory::setLimits(Limits limits) {
    limits_ = limits;
    trim();
}

std::size_t CommandHistory::workbookBytes() const {
    std::set<const std::string*> counted;
    std::size_t total = 0;
    for (const Step& step : steps_)
        for (const Book& book : step.books)
            if (counted.insert(book.image.bytes.get()).second) total += book.image.bytes->size();
    return total;
}

void CommandHistory::trim() {
    while (steps_.size() > limits_.steps ||
           (steps_.size() > 1 && workbookBytes() > limits_.workbookBytes))
        steps_.pop_front();
}

void CommandHistory::clear() {
    steps_.clear();
    running_.reset();
    latest_.clear();
}

void CommandHistory::forget(const sheet::Workbook&) {
    if (!undoing_) clear();
}

void CommandHistory::before(Session& session, const std::string& caption) {
    running_.reset();
    if (limits_.steps == 0) return;
    try {
        Step step{caption, session.state, session.marks.all(), {}, {}, session.edits, 0};
        for (sheet::Workbook* workbook : session.host.workbooks()) {
            auto latest = latest_.find(workbook);
            sheet::Workbook::Image image =
                workbook->image(latest == latest_.end() ? nullptr : &latest->second);
            latest_[workbook] = image;
            step.books.push_back({workbook, std::move(image)});
        }
        running_ = std::move(step);
    } catch (...) {
        clear();
        throw;
    }
}

void CommandHistory::after(Session& session) {
    if (!running_) return;
    Step step = std::move(*running_);
    running_.reset();
    const std::set<std::string>& now = session.marks.all();
    for (const std::string& id : step.marksBefore)
        if (!now.count(id)) step.marks.emplace(id, true);
    for (const std::string& id : now)
        if (!step.marksBefore.count(id)) step.marks.emplace(id, false);
    step.marksBefore.clear();

    // A workbook let go meanwhile has emptied the history (forget), so each book is still
    // held; one the command opened makes the count differ.
    bool changed = !step.marks.empty() || step.state != session.state ||
                   session.host.workbooks().size() != step.books.size();
    for (const Book& book : step.books)
        changed = changed || book.workbook->revision() != book.image.revision;
    if (!changed) return;
    step.ended = sheet::nextRevision();
    steps_.push_back(std::move(step));
    trim();
}

std::optional<std::string> CommandHistory::undo(Session& session) {
    if (steps_.empty()) return std::nullopt;
    Step& step = steps_.back();
    {
        // Before the command these were not open: they go, with whatever it wrote into them.
        undoing_ = true;
        struct Done {
            bool& undoing;
            ~Done() { undoing = false; }
        } done{undoing_};
        for (sheet::Workbook* workbook : session.host.workbooks()) {
            const bool before = std::any_of(step.books.begin(), step.books.end(),
                                            [&](const Book& b) { return b.workbook == workbook; });
            if (before) continue;
            latest_.erase(workbook);
            session.host.close(*workbook);
        }
    }
    // A workbook that fails to read back stays as it is, and so does the step, to be tried
    // again: a workbook already put back is not read again.
    for (Book& book : step.books) {
        sheet::Workbook& workbook = *book.workbook;
        if (workbook.revision() == book.image.revision) continue;
        workbook.restore(book.image);
        step.edits.restored(workbook, book.image.revision);
        // The bytes are the content now: the next step need not serialise it again.
        book.image.revision = workbook.revision();
        latest_[&workbook] = book.image;
    }
    session.edits = std::move(step.edits);

    // The workbook link names the file as it is saved now, which no undo moves.
    std::string path = std::move(session.state.WorkbookPath);
    const Integer startFailed = session.state.ExcelStartFailed;
    session.state = std::move(step.state);
    session.state.WorkbookPath = std::move(path);
    session.state.ExcelStartFailed = startFailed;
    for (const auto& [id, was] : step.marks) session.marks.set(id, was);
    std::string caption = std::move(step.caption);
    steps_.pop_back();
    return caption;
}

bool typingComesFirst(const Session& session, const sheet::Workbook& workbook) {
    const sheet::EditStep* typed = session.edits.nextUndo(workbook);
    return typed && typed->written > session.history.lastEnded();
}

void undoLast(Session& session) {
    for (sheet::Workbook* workbook : session.host.workbooks()) {
        if (!typingComesFirst(session, *workbook)) continue;
        session.edits.undo(*workbook);
        session.log.append("元に戻しました: セル入力");
        return;
    }
    if (std::optional<std::string> caption = session.history.undo(session))
        session.log.append("元に戻しました: " + plainCaption(*caption));
    else
        session.tell("元に戻せる操作はありません");
}

}  // namespace tombra
