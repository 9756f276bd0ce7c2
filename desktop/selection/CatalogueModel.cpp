#include "desktop/selection/CatalogueModel.h"

#include "selection/Selection.h"

namespace vorn {

CatalogueModel::CatalogueModel(Selection& selection, QObject* parent)
    : QAbstractTableModel(parent), selection_(selection) {
    reload();
}

void CatalogueModel::reload() {
    beginResetModel();
    captions_.clear();
    widths_.clear();
    cells_.clear();
    for (const CatalogueColumn& c : selection_.shownColumns()) {
        captions_ << QString::fromUtf8(c.caption);
        widths_ << c.width;
    }
    for (const CatalogueRow& r : selection_.rows()) {
        QStringList row;
        for (const std::string& cell : Selection::listCells(r))
            row << QString::fromStdString(cell);
        cells_ << row;
    }
    endResetModel();
}

int CatalogueModel::widthChars(int column) const {
    return column >= 0 && column < widths_.size() ? widths_[column] : 0;
}

int CatalogueModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(cells_.size());
}

int CatalogueModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

QVariant CatalogueModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= cells_.size())
        return {};
    if (role == Qt::DisplayRole)
        return cells_[index.row()].value(index.column());
    if (role == Qt::TextAlignmentRole && isNumberColumn(index.column()))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

bool CatalogueModel::isNumberColumn(int column) {
    return column >= 3 && column <= 6;
}

QVariant CatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return captions_.value(section);
    // each caption stands over its values: numbers to the right, names to the left
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
        return int((isNumberColumn(section) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter |
                   Qt::TextWordWrap);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace vorn
