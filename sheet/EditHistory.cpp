#include "sheet/EditHistory.h"

#include <algorithm>

#include "sheet/Workbook.h"

namespace tombra::sheet {

namespace {
// Enough for a long afternoon of typing; the oldest steps go first.
constexpr size_t kMostSteps = 1000;
}  // namespace

Area EditStep::area() const {
    if (changes.empty()) return {};
    Area a{changes.front().row, changes.front().column, changes.front().row,
           changes.front().column};
    for (const Change& c : changes) {
        a.top = std::min(a.top, c.row);
        a.left = std::min(a.left, c.column);
        a.bottom = std::max(a.bottom, c.row);
        a.right = std::max(a.right, c.column);
    }
    return a;
}

bool EditHistory::current(const Workbook& workbook) const {
    return workbook_ == &workbook && revision_ == workbook.revision();
}

bool EditHistory::write(Workbook& workbook, const std::string& sheetName,
                        const std::vector<CellWrite>& writes) {
    if (!current(workbook)) clear();
    Worksheet& ws = workbook.sheet(sheetName);
    EditStep step{sheetName, {}};
    for (const CellWrite& w : writes) {
        const CellValue before = ws.value(w.row, w.column);
        if (before == w.value) continue;
        ws.setValue(w.row, w.column, w.value);
        step.changes.push_back({w.row, w.column, before, w.value});
    }
    if (step.changes.empty()) return false;
    step.written = workbook.revision();
    steps_.resize(done_);
    steps_.push_back(std::move(step));
    if (steps_.size() > kMostSteps) steps_.erase(steps_.begin());
    done_ = steps_.size();
    workbook_ = &workbook;
    revision_ = workbook.revision();
    return true;
}

const EditStep* EditHistory::replay(Workbook& workbook, const EditStep& step, bool forward) {
    Worksheet* ws = workbook.findSheet(step.sheet);
    if (!ws) {
        clear();
        return nullptr;
    }
    // Undone in reverse order, so a cell written twice in one step gets its first value back.
    if (forward) {
        for (const EditStep::Change& c : step.changes) ws->setValue(c.row, c.column, c.after);
    } else {
        for (auto c = step.changes.rbegin(); c != step.changes.rend(); ++c)
            ws->setValue(c->row, c->column, c->before);
    }
    revision_ = workbook.revision();
    return &step;
}

const EditStep* EditHistory::undo(Workbook& workbook) {
    if (!canUndo(workbook)) return nullptr;
    const EditStep& step = steps_[--done_];
    return replay(workbook, step, false);
}

const EditStep* EditHistory::redo(Workbook& workbook) {
    if (!canRedo(workbook)) return nullptr;
    const EditStep& step = steps_[done_++];
    return replay(workbook, step, true);
}

void EditHistory::restored(const Workbook& workbook, std::uint64_t revision) {
    if (workbook_ == &workbook && revision_ == revision) revision_ = workbook.revision();
}

void EditHistory::clear() {
    steps_.clear();
    done_ = 0;
    workbook_ = nullptr;
    revision_ = 0;
}

}  // namespace tombra::sheet
