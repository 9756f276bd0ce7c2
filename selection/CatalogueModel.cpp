#include "selection/CatalogueModel.h"

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
    if (role == Qt::TextAlignmentRole && index.column() >= 3 && index.column() <= 6)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant CatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return captions_.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace vorn
