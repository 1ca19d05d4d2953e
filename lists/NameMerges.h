#pragma once

// "セル結合(&R)": the player lines of the event's bracket sheet stand over two rows; after
// their cells have been rewritten (the swap, typing in the workbook) this merges every filled
// cell of each line's name block with the cell below it again. Values stay as they are, and a
// second run changes nothing.

namespace tombra {
class Session;
}

namespace tombra::lists {

void restoreNameMerges(Session& session);

}  // namespace tombra::lists
