#pragma once
// "Прочие данные": client, note and executor of the calculation, and the folder the
// calculation file dialogs start in.
#include <QDialog>
#include <functional>

#include <functional>
#include <string>

class QComboBox;
class QLineEdit;
class QToolButton;

namespace vorn {

class DataModule;

class AdditionalDataDialog : public QDialog {
    Q_OBJECT
public:
    explicit AdditionalDataDialog(DataModule& dm, QWidget* parent = nullptr);

    // Writes a text field of the open calculation as one edit of the document; answers
    // the refusal's message, or nothing. Unset: the dialog writes into the record itself.
    std::function<std::string(const char* field, const std::string& text)> writeText;

    // Rebuilds the executor list from s_isp.DBF (every open of a calculation).
    void refillExecutors();
    // Sets the folder box from S_INIT.DBF; a change stores it back and moves the dialogs.
    void fillFolder();
    QString folder() const;
    // Shows the record of the open calculation in the bound fields; readOnly keeps them
    // from being edited (a calculation the user may only read).
    void loadRecord(bool readOnly = false);

    // The add and delete buttons of the executor box.
    void addExecutor();
    void deleteExecutor();
    // As when the user picks a folder in the folder picker.
    void setFolder(const QString& folder);

    // Tells the user why a typed character was taken back (a modal box by default).
    std::function<void(const QString&)> showRefusal;

    QComboBox* executorBox() const { return executor_; }
    QLineEdit* clientEdit() const { return client_; }
    QLineEdit* noteEdit() const { return note_; }
    QLineEdit* folderEdit() const { return folder_; }

signals:
    // The start folder of both calculation file dialogs.
    void folderChanged(const QString& folder);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void writeField(const char* field, QLineEdit* edit, const QString& text);
    void showExecutors(const std::vector<std::string>& names);
    void folderChange(const QString& text);
    bool refuseReadOnlyExecutors(); // true, with a message, when s_isp.DBF may not be written
    void pickFolder();
    template <typename F> void guarded(F&& f);

    DataModule& dm_;
    QLineEdit* client_;
    QLineEdit* note_;
    QComboBox* executor_;
    QToolButton* addButton_;
    QToolButton* deleteButton_;
    QLineEdit* folder_;
    bool loading_ = false;
    bool readOnly_ = false;
};

} // namespace vorn
