#include "gui/SheetTableModel.h"

#include <QFont>
#include <algorithm>

#include "session/Session.h"
#include "sheet/CellInput.h"
#include "sheet/Workbook.h"
#include "sheet/WorkbookError.h"
#include "sheet/Worksheet.h"

namespace tombra::gui {

namespace {

// Room to type beyond what the sheet uses, as a spreadsheet offers it.
constexpr int kSpareRows = 100, kSpareColumns = 10;
constexpr int kLeastRows = 200, kLeastColumns = 30;

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Line breaks as the editor holds them; the workbook's "\r\n" and "\n" read the same.
std::string normalisedBreaks(std::string text) {
    for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    return text;
}

Qt::Alignment alignmentOf(const sheet::CellFormat& f, sheet::CellValue::Kind kind) {
    namespace xl = sheet::xl;
    Qt::Alignment a;
    switch (f.horizontal) {
        case xl::HAlignCenter:
            a = Qt::AlignHCenter;
            break;
        case xl::HAlignRight:
            a = Qt::AlignRight;
            break;
        case xl::HAlignLeft:
        case xl::HAlignDistributed:
        case xl::HAlignJustify:
            a = Qt::AlignLeft;
            break;
        default:  // general: numbers right, everything else left
            a = kind == sheet::CellValue::Kind::Number ? Qt::AlignRight : Qt::AlignLeft;
    }
    switch (f.vertical) {
        case xl::VAlignTop:
            return a | Qt::AlignTop;
        case xl::VAlignCenter:
            return a | Qt::AlignVCenter;
        default:
            return a | Qt::AlignBottom;
    }
}

}  // namespace

SheetTableModel::SheetTableModel(Session* session, sheet::Workbook& workbook, std::string sheetName,
                                 QObject* parent)
    : QAbstractTableModel(parent),
      session_(session),
      workbook_(workbook),
      sheetName_(std::move(sheetName)) {
    measure();
}

sheet::Worksheet* SheetTableModel::sheet() const {
    try {
        return workbook_.findSheet(sheetName_);
    } catch (const sheet::WorkbookError&) {
        return nullptr;  // a damaged sheet: its pages beside the grid say why
    }
}

void SheetTableModel::measure() {
    rows_ = kLeastRows;
    columns_ = kLeastColumns;
    if (const sheet::Worksheet* ws = sheet())
        if (const std::optional<sheet::Area> used = ws->usedArea()) {
            rows_ = std::max(rows_, std::min(used->bottom + kSpareRows, sheet::kMaxRow));
            columns_ = std::max(columns_, std::min(used->right + kSpareColumns, sheet::kMaxColumn));
        }
}

int SheetTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int SheetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant SheetTableModel::data(const QModelIndex& index, int role) const {
    const sheet::Worksheet* ws = sheet();
    if (!ws || !index.isValid()) return {};
    const int row = index.row() + 1, column = index.column() + 1;
    switch (role) {
        case Qt::DisplayRole:
            return qs(ws->value(row, column).asText());
        case Qt::EditRole:
            return qs(normalisedBreaks(sheet::typingText(ws->value(row, column))));
        case Qt::TextAlignmentRole:
            return static_cast<int>(
                alignmentOf(ws->format(row, column), ws->value(row, column).kind()));
        default:
            return {};
    }
}

bool SheetTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid()) return false;
    return typeBlock(index.row(), index.column(), {{value.toString().toStdString()}});
}

bool SheetTableModel::typeBlock(int top, int left,
                                const std::vector<std::vector<std::string>>& texts) {
    const sheet::Worksheet* ws = sheet();
    if (!ws || !session_) return false;
    std::vector<sheet::CellWrite> writes;
    int bottom = top, right = left;
    for (size_t r = 0; r < texts.size(); ++r)
        for (size_t c = 0; c < texts[r].size(); ++c) {
            const int row = top + static_cast<int>(r) + 1, column = left + static_cast<int>(c) + 1;
            if (row > sheet::kMaxRow || column > sheet::kMaxColumn) continue;
            const std::string& typed = texts[r][c];
            // An editor closed on an unchanged text writes nothing (its line breaks may read
            // "\n" where the cell holds "\r\n").
            if (typed == normalisedBreaks(sheet::typingText(ws->value(row, column)))) continue;
            writes.push_back({row, column, sheet::typedValue(typed)});
            bottom = std::max(bottom, row - 1);
            right = std::max(right, column - 1);
        }
    if (!session_->edits.write(workbook_, sheetName_, writes)) return false;
    if (bottom >= rows_ || right >= columns_) {
        beginResetModel();
        measure();
        endResetModel();
    } else {
        emit dataChanged(this->index(top, left), this->index(bottom, right));
    }
    emit edited();
    return true;
}

void SheetTableModel::cellsChanged(const sheet::Area& area) {
    emit dataChanged(index(area.top - 1, area.left - 1),
                     index(std::min(area.bottom, rows_) - 1, std::min(area.right, columns_) - 1));
}

void SheetTableModel::reset() {
    beginResetModel();
    measure();
    endResetModel();
}

QVariant SheetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::DisplayRole)
        return orientation == Qt::Horizontal ? qs(sheet::columnName(section + 1))
                                             : QVariant(section + 1);
    if (role == Qt::TextAlignmentRole) return static_cast<int>(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags SheetTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return session_ ? flags | Qt::ItemIsEditable : flags;
}

}  // namespace tombra::gui
