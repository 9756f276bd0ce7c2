#pragma once
// The selection list: the rows the last selection run listed, with the shown columns.
#include <QAbstractTableModel>

namespace vorn {

class Selection;

class CatalogueModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CatalogueModel(Selection& selection, QObject* parent = nullptr);

    // Takes the rows and columns of the last run.
    void reload();
    // Width of column c in characters.
    int widthChars(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The capacity, temperature difference, power and current columns.
    static bool isNumberColumn(int column);

private:
    Selection& selection_;
    QStringList captions_;
    QVector<int> widths_;
    QVector<QStringList> cells_;
};

} // namespace vorn
