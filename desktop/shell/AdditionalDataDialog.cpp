#include "desktop/shell/AdditionalDataDialog.h"
#include "desktop/widgets/MessageBoxes.h"

#include "app/CalcFolderSetting.h"
#include "desktop/widgets/DocumentsFolder.h"
#include "app/Executors.h"
#include "data/CodePage.h"
#include "data/DataModule.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolButton>
#include <QVBoxLayout>

namespace vorn {

AdditionalDataDialog::AdditionalDataDialog(DataModule& dm, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      dm_(dm) {
    setObjectName("fmAdd");
    setWindowTitle("Прочие данные");
    setModal(true);
    setFixedSize(455, 201);

    auto* group = new QGroupBox(" Дополнительные данные и настройки ", this);
    client_ = new QLineEdit(group);
    client_->setObjectName("KL_NAIM");
    client_->setMaxLength(40);
    note_ = new QLineEdit(group);
    note_->setObjectName("KL_PRIM");
    note_->setMaxLength(60);
    executor_ = new QComboBox(group);
    executor_->setObjectName("OB_ISP");
    executor_->setEditable(true);
    executor_->setInsertPolicy(QComboBox::NoInsert);
    executor_->lineEdit()->setMaxLength(40);
    addButton_ = new QToolButton(group);
    addButton_->setText("+");
    addButton_->setToolTip("Добавить исполнителя в базу");
    deleteButton_ = new QToolButton(group);
    deleteButton_->setText("−");
    deleteButton_->setToolTip("Удалить исполнителя из базы");
    folder_ = new QLineEdit(group);
    folder_->setObjectName("DirectoryEdit");
    auto* browse = new QToolButton(group);
    browse->setText("…");
    browse->setToolTip("Выбрать папку");
    auto* closeButton = new QPushButton("Закрыть", this);

    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(4);
    grid->addWidget(new QLabel("Клиент", group), 0, 0);
    grid->addWidget(client_, 0, 1, 1, 3);
    grid->addWidget(new QLabel("Примечание", group), 1, 0);
    grid->addWidget(note_, 1, 1, 1, 3);
    grid->addWidget(new QLabel("Исполнитель", group), 2, 0);
    grid->addWidget(executor_, 2, 1);
    grid->addWidget(addButton_, 2, 2);
    grid->addWidget(deleteButton_, 2, 3);
    grid->addWidget(new QLabel("Путь к файлам\nрасчетов", group), 3, 0);
    grid->addWidget(folder_, 3, 1, 1, 2);
    grid->addWidget(browse, 3, 3);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addWidget(group);
    layout->addLayout(buttons);

    showRefusal = [this](const QString& text) {
        showMessageBox(this, "Vorn", text, MessageKind::Warning);
    };

    // Until S_INIT.DBF says otherwise the dialogs start in the user's documents.
    folder_->setText(documentsFolder());

    connect(client_, &QLineEdit::textEdited, this,
            [this](const QString& t) { writeField("KL_NAIM", client_, t); });
    connect(note_, &QLineEdit::textEdited, this,
            [this](const QString& t) { writeField("KL_PRIM", note_, t); });
    connect(executor_, &QComboBox::editTextChanged, this, [this](const QString& t) {
        if (!loading_)
            writeField("OB_ISP", executor_->lineEdit(), t);
    });
    connect(addButton_, &QToolButton::clicked, this, &AdditionalDataDialog::addExecutor);
    connect(deleteButton_, &QToolButton::clicked, this, &AdditionalDataDialog::deleteExecutor);
    connect(folder_, &QLineEdit::textChanged, this, &AdditionalDataDialog::folderChange);
    connect(browse, &QToolButton::clicked, this, &AdditionalDataDialog::pickFolder);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

template <typename F> void AdditionalDataDialog::guarded(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        showMessageBox(this, "Vorn", QString::fromStdString(e.what()), MessageKind::Error);
    }
}

void AdditionalDataDialog::writeField(const char* field, QLineEdit* edit, const QString& text) {
    if (loading_ || !dm_.taWork.isOpen() || readOnly_)
        return;
    // Typographic marks become their plain forms in the box as well; a character the file
    // cannot hold is taken back out with a word why.
    const StorableText storable = toStorableText(text.toStdString());
    if (storable.refused()) {
        loading_ = true;
        const int at = edit->cursorPosition();
        edit->setText(QString::fromStdString(dm_.taWork.asString(field)));
        edit->setCursorPosition(std::min(at, static_cast<int>(edit->text().size())));
        loading_ = false;
        showRefusal(QString::fromStdString(storable.refusal));
        return;
    }
    const QString plain = QString::fromStdString(storable.text);
    if (plain != text) {
        loading_ = true;
        const int tail = static_cast<int>(text.size()) - edit->cursorPosition();
        edit->setText(plain);
        edit->setCursorPosition(std::max(0, static_cast<int>(plain.size()) - tail));
        loading_ = false;
    }
    guarded([&] {
        if (writeText) {
            const std::string refusal = writeText(field, storable.text);
            if (!refusal.empty())
                showRefusal(QString::fromStdString(refusal));
            return;
        }
        if (dm_.taWork.state() == Table::State::Browse)
            dm_.taWork.edit();
        dm_.taWork.setValue(field, Value(storable.text));
    });
}

void AdditionalDataDialog::loadRecord(bool readOnly) {
    readOnly_ = readOnly;
    client_->setReadOnly(readOnly);
    note_->setReadOnly(readOnly);
    executor_->lineEdit()->setReadOnly(readOnly);
    executor_->setEnabled(!readOnly);
    addButton_->setEnabled(!readOnly);
    deleteButton_->setEnabled(!readOnly);
    loading_ = true;
    const bool open = dm_.taWork.isOpen();
    client_->setText(open ? QString::fromStdString(dm_.taWork.asString("KL_NAIM")) : QString());
    note_->setText(open ? QString::fromStdString(dm_.taWork.asString("KL_PRIM")) : QString());
    executor_->setEditText(open ? QString::fromStdString(dm_.taWork.asString("OB_ISP"))
                                : QString());
    loading_ = false;
}

void AdditionalDataDialog::showExecutors(const std::vector<std::string>& names) {
    loading_ = true;
    const QString text = executor_->currentText();
    executor_->clear();
    for (const std::string& n : names)
        executor_->addItem(QString::fromStdString(n));
    executor_->setEditText(text);
    loading_ = false;
}

void AdditionalDataDialog::refillExecutors() {
    guarded([&] { showExecutors(Executors::names(dm_.taIsp)); });
}

void AdditionalDataDialog::addExecutor() {
    if (refuseReadOnlyExecutors())
        return;
    guarded([&] { showExecutors(Executors::add(dm_.taIsp, dm_.taWork)); });
}

void AdditionalDataDialog::deleteExecutor() {
    if (refuseReadOnlyExecutors())
        return;
    guarded([&] {
        showExecutors(Executors::remove(dm_.taIsp, dm_.taWork));
        loadRecord(readOnly_);
    });
}

bool AdditionalDataDialog::refuseReadOnlyExecutors() {
    if (!dm_.taIsp.isOpen() || !dm_.taIsp.readOnly())
        return false;
    showRefusal("Справочник исполнителей s_isp.DBF открыт только для чтения: в нем нет прав на "
                "запись");
    return true;
}

QString AdditionalDataDialog::folder() const {
    return folder_->text();
}

void AdditionalDataDialog::setFolder(const QString& folder) {
    folder_->setText(folder);
}

void AdditionalDataDialog::fillFolder() {
    if (!dm_.taInit.isOpen())
        return;
    guarded([&] {
        // A folder never set (a fresh S_INIT.DBF) keeps the documents folder in the box.
        const std::string dir = CalcFolderSetting::read(dm_.taInit);
        if (!dir.empty())
            folder_->setText(QString::fromStdString(dir));
    });
}

void AdditionalDataDialog::folderChange(const QString& text) {
    emit folderChanged(text);
    guarded([&] {
        // A folder S_INIT.DBF cannot keep exactly is not stored: the field says why in red
        // (a message box on every typed character would be in the way).
        const std::string why = CalcFolderSetting::write(dm_.taInit, text.toStdString());
        folder_->setToolTip(QString::fromStdString(why));
        folder_->setStyleSheet(why.empty() ? QString() : QString("color: #b00000;"));
    });
}

void AdditionalDataDialog::pickFolder() {
    QString start = folder_->text();
    if (!QDir(start).exists())
        start = QDir::rootPath();
    const QString dir = QFileDialog::getExistingDirectory(this, "Путь к файлам расчетов", start);
    if (!dir.isEmpty())
        setFolder(QDir::toNativeSeparators(dir));
}

void AdditionalDataDialog::showEvent(QShowEvent* event) {
    loadRecord(readOnly_);
    QDialog::showEvent(event);
}

} // namespace vorn
