#pragma once
// The selection window fmPodbor (TfmPodbor): lists the systems of the catalogue that suit
// the open calculation, lets the user narrow the list by the number of systems and the
// capacity band, and writes the chosen system into the record. It only shows the state of
// Selection and forwards the user's edits to it.
#include <QDialog>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace vorn {

class CatalogueModel;
class Selection;

class SelectionDialog : public QDialog {
    Q_OBJECT
public:
    explicit SelectionDialog(Selection& selection, QWidget* parent = nullptr);
    ~SelectionDialog() override;

    // Runs the selection and shows its outcome; "Нет оборудования ..." once per run.
    void runSelection();

    // "Печать систем": the systems-list preview. The selection runs again after it returns.
    std::function<void()> printSystems;
    // Shows a message to the user (a modal box by default; tests collect them).
    std::function<void(const QString&)> showMessage;

    QTableView* list() const { return list_; }
    QLineEdit* systemsBox() const { return kolsys_; }
    QLineEdit* lowerBox() const { return lower_; }
    QLineEdit* upperBox() const { return upper_; }
    QPushButton* chooseButton() const { return choose_; }

signals:
    // The selection ran (after the list and the heading were refreshed).
    void selectionRan();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refreshView();
    void refreshGroupLines();
    void refreshChosen();
    void chooseRow();
    void print();
    void systemsLeft();
    void commitChosen(QLineEdit* box, const char* field);
    void percentEdited();
    void percentLeft();
    void tryOnRecord(const std::function<void()>& step);

    Selection& selection_;
    CatalogueModel* model_ = nullptr;
    QWidget* heading_ = nullptr;
    QLabel* caption_ = nullptr;
    QLabel* notice_ = nullptr;
    QLabel* groupLine1_ = nullptr;
    QLabel* groupLine2_ = nullptr;
    QTableView* list_ = nullptr;
    QLineEdit* kolsys_ = nullptr;
    QLineEdit* lower_ = nullptr;
    QLineEdit* upper_ = nullptr;
    std::vector<std::pair<QLineEdit*, const char*>> chosen_;
    QPushButton* choose_ = nullptr;
    QPushButton* print_ = nullptr;
    bool running_ = false;
    // The band as the boxes held it when last left: a band with "от" above "до" goes back
    // to it.
    std::string acceptedLower_, acceptedUpper_;
};

} // namespace vorn
