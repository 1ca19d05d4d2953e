#pragma once

// Typed edits of a workbook's cells, each step undoable and redoable. A step is what one act
// of the user wrote: one cell typed, a range pasted or cleared. The steps hold only while
// nothing else changes the workbook: after a command wrote into it, or it was read again, or
// another workbook is edited, the history starts afresh.

#include <cstdint>
#include <string>
#include <vector>

#include "sheet/CellAddress.h"
#include "sheet/CellValue.h"

namespace tombra::sheet {

class Workbook;

struct CellWrite {
    int row = 0, column = 0;
    CellValue value;
};

struct EditStep {
    std::string sheet;
    struct Change {
        int row = 0, column = 0;
        CellValue before, after;
    };
    std::vector<Change> changes;
    // The workbook's revision once the step was written: it tells the step from the commands
    // that ran before and after it.
    std::uint64_t written = 0;
    // The smallest area holding every change, for the view to select.
    Area area() const;
};

class EditHistory {
  public:
    // Writes the values into the sheet as one step. Cells whose value does not change are
    // left alone; a step that changes nothing is not kept. False when nothing changed.
    bool write(Workbook& workbook, const std::string& sheet, const std::vector<CellWrite>& writes);
    // The step undone or redone, nullptr when there is none (or its sheet has gone, in which
    // case the history is emptied).
    const EditStep* undo(Workbook& workbook);
    const EditStep* redo(Workbook& workbook);
    bool canUndo(const Workbook& workbook) const { return current(workbook) && done_ > 0; }
    bool canRedo(const Workbook& workbook) const {
        return current(workbook) && done_ < steps_.size();
    }
    // The step undo would take back now, nullptr when there is none.
    const EditStep* nextUndo(const Workbook& workbook) const {
        return canUndo(workbook) ? &steps_[done_ - 1] : nullptr;
    }
    // The workbook was put back as it was at `revision` (a command taken back): the steps that
    // held then hold again.
    void restored(const Workbook& workbook, std::uint64_t revision);
    void clear();

  private:
    // Whether the steps still describe the workbook as it is.
    bool current(const Workbook& workbook) const;
    const EditStep* replay(Workbook& workbook, const EditStep& step, bool forward);

    std::vector<EditStep> steps_;
    size_t done_ = 0;  // steps_[0 .. done_) are applied
    const Workbook* workbook_ = nullptr;
    std::uint64_t revision_ = 0;  // the workbook's revision after the last step
};

}  // namespace tombra::sheet
