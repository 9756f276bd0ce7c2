#pragma once
// The grid of one reference table: a Qt model straight over the table layer. Rows are the
// table's visible records in file order; every accepted change is posted at once, under
// the table's record lock, and nothing is held besides the table itself.
#include "data/Table.h"
#include "refedit/RefTables.h"

#include <QAbstractTableModel>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vorn {

class RefTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // What the view sorts by: numbers as numbers, text folded to one case.
    static constexpr int SortRole = Qt::UserRole;

    // Opens the table's file in dataDir; throws DbfError when it does not open.
    RefTableModel(const std::string& dataDir, const RefTableDesc& desc, QObject* parent = nullptr);
    ~RefTableModel() override;

    const RefTableDesc& desc() const { return desc_; }
    Table& table() { return *table_; }
    QString fieldName(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Checks the typed text; a refused one is told through refused() and nothing changes.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // A new row at the end with a key of its own and the other fields empty; its row, or
    // -1 when the table refused it (told through refused()).
    int addRow();
    // A copy of row at the end, under a new key; its row, or -1.
    int duplicateRow(int row);
    // Marks the row's record deleted.
    bool deleteRow(int row);
    // Reads the table anew (after an import, or a change by another program).
    void reload();

    // Asked before a row's key (its name) changes; false keeps the old one.
    std::function<bool(const std::string& oldKey, const std::string& newKey)> beforeRename;
    // The row's key as text, empty for a table without one.
    std::string keyOf(int row) const;

signals:
    void refused(const QString& message);
    // A change was written to the table's file.
    void changed();

private:
    // Puts the table's cursor on the given row (the records are walked, not copied).
    bool seek(int row) const;
    bool isKey(int column) const;
    Value cell(int row, int column) const;
    // A key no row holds yet, made from base.
    Value freshKey(const std::string& base) const;
    bool keyTaken(const std::string& key, int exceptRow) const;
    bool write(const std::function<void()>& step);
    // The row a successful append added at the end.
    int appended();

    const RefTableDesc& desc_;
    std::unique_ptr<Table> table_;
    std::vector<FieldInfo> fields_;
    int rows_ = 0;
    mutable int cursorRow_ = -1;
};

// The table layer's message in the user's words.
QString tableMessage(const std::exception& e);

} // namespace vorn
