#pragma once
// The window "Справочники": on the left the tables by group, on the right the chosen
// table's grid with add, duplicate, delete, sorting, a text filter, import and export.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QTreeWidget;

namespace vorn {

class RefTableModel;
struct RefTableDesc;

class RefEditorWindow : public QWidget {
    Q_OBJECT
public:
    explicit RefEditorWindow(const QString& dataDir, QWidget* parent = nullptr);
    ~RefEditorWindow() override;

    // Shows the table of that name ("products", "kat-18"); false when there is none.
    bool showTable(const QString& name);
    RefTableModel* model() const { return model_.get(); }
    QTableView* view() const { return view_; }
    QLineEdit* filter() const { return filter_; }

    // The rows of the view (sorted and filtered) as rows of the model.
    int modelRow(int viewRow) const;

    // Shows a message (a box by default; tests collect them).
    std::function<void(const QString&)> showMessage;
    // Asked before a row is deleted (a yes/no box by default).
    std::function<bool(const QString&)> confirm;
    // Who names the row (table, key) of a reference table: the open calculation, the open
    // project's chambers. Set by the window that knows them; none by default.
    std::function<std::vector<std::string>(const std::string& table, const std::string& key)>
        rowUsers;

    void addRow();
    void duplicateRow();
    void deleteRow();
    void importFile(const QString& path, bool append);
    void exportFile(const QString& path);

protected:
    void changeEvent(QEvent* event) override;

signals:
    // A table's file was written (file name as in the data directory).
    void tableChanged(const QString& file);

private:
    class Delegate;
    void chooseImport();
    void chooseExport();
    void selectViewRow(int modelRow);
    // The users of the row with that key, as one phrase; empty when none.
    QString usersText(const std::string& key) const;
    void updateCount();

    QString dataDir_;
    QTreeWidget* tree_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* count_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QTableView* view_ = nullptr;
    QList<QPushButton*> buttons_;
    QSortFilterProxyModel* proxy_ = nullptr;
    Delegate* delegate_ = nullptr;
    std::unique_ptr<RefTableModel> model_;
};

} // namespace vorn
