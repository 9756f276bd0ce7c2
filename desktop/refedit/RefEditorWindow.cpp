#include "desktop/refedit/RefEditorWindow.h"
#include "desktop/widgets/MessageBoxes.h"

#include "desktop/refedit/RefTableModel.h"
#include "refedit/RefTables.h"
#include "refedit/TableTransfer.h"
#include "desktop/widgets/Utf8.h"

#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vorn {

namespace {
constexpr int kTableRole = Qt::UserRole;
} // namespace

// A column that allows only some values (the product category) is edited in a list. A
// refused value comes back into the field it was typed in, to be mended.
class RefEditorWindow::Delegate : public QStyledItemDelegate {
public:
    Delegate(const RefEditorWindow& window, QObject* parent)
        : QStyledItemDelegate(parent), window_(window) {}

    bool committing = false; // setModelData is running
    QString typed;           // what it was given
    QString retype;          // the text the next editor opens with

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        const RefTableModel* m = window_.model();
        const RefColumn* col =
            m ? m->desc().column(m->fieldName(index.column()).toStdString()) : nullptr;
        if (!col || col->choices.empty())
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto* box = new QComboBox(parent);
        for (const std::string& c : col->choices)
            box->addItem(u8(c));
        return box;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line && !retype.isNull()) {
            line->setText(retype);
            const_cast<Delegate*>(this)->retype = QString();
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        auto* self = const_cast<Delegate*>(this);
        auto* line = qobject_cast<QLineEdit*>(editor);
        self->typed = line ? line->text() : QString();
        self->committing = true;
        QStyledItemDelegate::setModelData(editor, model, index);
        self->committing = false;
    }

private:
    const RefEditorWindow& window_;
};

RefEditorWindow::RefEditorWindow(const QString& dataDir, QWidget* parent)
    : QWidget(parent, Qt::Window), dataDir_(dataDir) {
    setObjectName("fmRefEditor");
    setWindowTitle("Справочники");
    resize(1000, 600);

    showMessage = [this](const QString& text) { showMessageBox(this, "Справочники", text); };
    confirm = [this](const QString& text) { return askYesNo(this, "Справочники", text); };

    tree_ = new QTreeWidget;
    tree_->setObjectName("RefTables");
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    QTreeWidgetItem* group = nullptr;
    for (const RefTableDesc& d : refTables()) {
        if (!group || group->text(0) != u8(d.group)) {
            group = new QTreeWidgetItem(tree_, {u8(d.group)});
            group->setFlags(Qt::ItemIsEnabled);
            QFont f = group->font(0);
            f.setBold(true);
            group->setFont(0, f);
        }
        auto* item = new QTreeWidgetItem(group, {u8(d.caption)});
        item->setData(0, kTableRole, u8(d.name));
        item->setToolTip(0, u8(d.file));
    }
    tree_->expandAll();
    tree_->setMinimumWidth(200);

    title_ = new QLabel;
    QFont tf = title_->font();
    tf.setBold(true);
    tf.setPointSize(tf.pointSize() + 1);
    title_->setFont(tf);

    auto button = [this](const char* object, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text);
        b->setObjectName(object);
        b->setToolTip(tip);
        buttons_ << b;
        return b;
    };
    QPushButton* add = button("AddRow", "Добавить", "Добавить строку в конец таблицы");
    QPushButton* dup =
        button("DuplicateRow", "Копировать строку", "Добавить копию выбранной строки");
    QPushButton* del = button("DeleteRow", "Удалить", "Удалить выбранную строку");
    QPushButton* imp =
        button("ImportTable", "Импорт...", "Загрузить строки из файла CSV или Excel");
    QPushButton* exp = button("ExportTable", "Экспорт...", "Записать таблицу в файл CSV или Excel");
    connect(add, &QPushButton::clicked, this, &RefEditorWindow::addRow);
    connect(dup, &QPushButton::clicked, this, &RefEditorWindow::duplicateRow);
    connect(del, &QPushButton::clicked, this, &RefEditorWindow::deleteRow);
    connect(imp, &QPushButton::clicked, this, &RefEditorWindow::chooseImport);
    connect(exp, &QPushButton::clicked, this, &RefEditorWindow::chooseExport);

    filter_ = new QLineEdit;
    filter_->setObjectName("RefFilter");
    filter_->setPlaceholderText("Поиск в таблице");
    filter_->setClearButtonEnabled(true);
    filter_->setMaximumWidth(220);

    proxy_ = new QSortFilterProxyModel(this);
    proxy_->setSortRole(RefTableModel::SortRole);
    proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    proxy_->setFilterKeyColumn(-1);
    connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
        proxy_->setFilterFixedString(text);
        updateCount();
    });

    view_ = new QTableView;
    view_->setObjectName("RefGrid");
    view_->setModel(proxy_);
    delegate_ = new Delegate(*this, view_);
    view_->setItemDelegate(delegate_);
    view_->setSortingEnabled(true);
    view_->sortByColumn(-1, Qt::AscendingOrder); // file order until a heading is clicked
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    view_->setAlternatingRowColors(true);
    view_->horizontalHeader()->setSectionsMovable(false);
    view_->horizontalHeader()->setStretchLastSection(true);
    // long captions with their units wrap onto a second line
    view_->horizontalHeader()->setDefaultAlignment(
        Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    view_->horizontalHeader()->setMinimumHeight(view_->fontMetrics().height() * 2 + 8);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);

    count_ = new QLabel;

    auto* tools = new QHBoxLayout;
    tools->addWidget(add);
    tools->addWidget(dup);
    tools->addWidget(del);
    tools->addSpacing(12);
    tools->addWidget(imp);
    tools->addWidget(exp);
    tools->addStretch();
    tools->addWidget(new QLabel("Найти:"));
    tools->addWidget(filter_);

    auto* right = new QWidget;
    auto* rl = new QVBoxLayout(right);
    rl->setContentsMargins(0, 0, 0, 0);
    rl->addWidget(title_);
    rl->addLayout(tools);
    rl->addWidget(view_, 1);
    rl->addWidget(count_);

    auto* split = new QSplitter;
    split->addWidget(tree_);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    split->setSizes({220, 780});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(split);

    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && item->data(0, kTableRole).isValid())
            showTable(item->data(0, kTableRole).toString());
    });
    for (QPushButton* b : buttons_)
        b->setEnabled(false);
    showTable(u8(refTables().front().name));
}

RefEditorWindow::~RefEditorWindow() {
    view_->setModel(nullptr);
    proxy_->setSourceModel(nullptr);
}

bool RefEditorWindow::showTable(const QString& name) {
    const RefTableDesc* desc = findRefTable(name.toStdString());
    if (!desc)
        return false;
    // the item of the table current in the list, without running this again
    for (int g = 0; g < tree_->topLevelItemCount(); ++g)
        for (int i = 0; i < tree_->topLevelItem(g)->childCount(); ++i) {
            QTreeWidgetItem* item = tree_->topLevelItem(g)->child(i);
            if (item->data(0, kTableRole).toString() == u8(desc->name) &&
                tree_->currentItem() != item) {
                const QSignalBlocker block(tree_);
                tree_->setCurrentItem(item);
            }
        }
    proxy_->setSourceModel(nullptr);
    model_.reset();
    title_->setText(u8(desc->caption) + "  (" + u8(desc->file) + ")");
    try {
        model_ = std::make_unique<RefTableModel>(dataDir_.toStdString(), *desc);
    } catch (const std::exception& e) {
        for (QPushButton* b : buttons_)
            b->setEnabled(false);
        count_->setText("Таблица не открывается: " + tableMessage(e));
        return true;
    }
    connect(model_.get(), &RefTableModel::refused, this, [this](const QString& text) {
        const bool typed = delegate_->committing && !delegate_->typed.isNull();
        const QPersistentModelIndex at(view_->currentIndex());
        const QString again = delegate_->typed;
        showMessage(text);
        if (typed && at.isValid())
            QTimer::singleShot(0, this, [this, at, again] {
                if (!at.isValid())
                    return;
                delegate_->retype = again;
                view_->edit(at);
            });
    });
    connect(model_.get(), &RefTableModel::changed, this, [this] {
        updateCount();
        emit tableChanged(u8(model_->desc().file));
    });
    proxy_->setSourceModel(model_.get());
    view_->sortByColumn(-1, Qt::AscendingOrder);
    proxy_->sort(-1);
    view_->resizeColumnsToContents();
    for (int c = 0; c < model_->columnCount(); ++c)
        view_->setColumnWidth(c, std::min(view_->columnWidth(c), 170));
    for (QPushButton* b : buttons_)
        b->setEnabled(true);
    updateCount();
    return true;
}

void RefEditorWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // back in the window: rows another program added or deleted meanwhile are shown
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && model_) {
        try {
            if (model_->table().recordCount() != model_->rowCount()) {
                model_->reload();
                updateCount();
            }
        } catch (const std::exception&) {
            // the table says why at the next edit
        }
    }
}

int RefEditorWindow::modelRow(int viewRow) const {
    return proxy_->mapToSource(proxy_->index(viewRow, 0)).row();
}

void RefEditorWindow::selectViewRow(int modelRow) {
    const QModelIndex at = proxy_->mapFromSource(model_->index(modelRow, 0));
    if (!at.isValid())
        return;
    view_->setCurrentIndex(at);
    view_->scrollTo(at);
}

void RefEditorWindow::updateCount() {
    if (!model_)
        return;
    const int shown = proxy_->rowCount();
    const int all = model_->rowCount();
    count_->setText(shown == all ? QString("Строк: %1").arg(all)
                                 : QString("Строк: %1 из %2").arg(shown).arg(all));
}

void RefEditorWindow::addRow() {
    if (!model_)
        return;
    filter_->clear(); // the new row must be seen
    const int row = model_->addRow();
    if (row >= 0) {
        selectViewRow(row);
        view_->edit(view_->currentIndex());
    }
}

void RefEditorWindow::duplicateRow() {
    if (!model_ || !view_->currentIndex().isValid())
        return;
    const int row = model_->duplicateRow(proxy_->mapToSource(view_->currentIndex()).row());
    if (row >= 0) {
        filter_->clear();
        selectViewRow(row);
    }
}

void RefEditorWindow::deleteRow() {
    if (!model_ || !view_->currentIndex().isValid())
        return;
    const int row = proxy_->mapToSource(view_->currentIndex()).row();
    const QString what = model_->data(model_->index(row, 0), Qt::DisplayRole).toString();
    if (!confirm(QString("Удалить строку «%1»?").arg(what)))
        return;
    model_->deleteRow(row);
}

void RefEditorWindow::importFile(const QString& path, bool append) {
    if (!model_)
        return;
    const RefTableDesc& desc = model_->desc();
    ImportResult r;
    try {
        const Sheet sheet = TableTransfer::readFile(path.toStdString());
        ImportOptions opt;
        opt.append = append;
        r = TableTransfer::import(model_->table(), desc, sheet, opt);
    } catch (const std::exception& e) {
        model_->reload();
        updateCount();
        showMessage("Файл не загружен: " + tableMessage(e));
        return;
    }
    if (!r.errors.empty()) {
        QString text =
            QString("Файл не загружен, таблица не изменена. Ошибок: %1.\n\n").arg(r.errors.size());
        const size_t shown = std::min<size_t>(r.errors.size(), 20);
        for (size_t i = 0; i < shown; ++i)
            text += u8(r.errors[i]) + "\n";
        if (shown < r.errors.size())
            text += QString("... и еще %1").arg(r.errors.size() - shown);
        showMessage(text);
        return;
    }
    model_->reload();
    updateCount();
    emit tableChanged(u8(desc.file));
    showMessage(QString(append ? "Добавлено строк: %1." : "Загружено строк: %1.").arg(r.rows));
}

void RefEditorWindow::exportFile(const QString& path) {
    if (!model_)
        return;
    try {
        TableTransfer::exportTo(model_->table(), path.toStdString());
    } catch (const std::exception& e) {
        showMessage("Файл не записан: " + tableMessage(e));
    }
    model_->reload();
}

void RefEditorWindow::chooseImport() {
    if (!model_)
        return;
    const QString path = QFileDialog::getOpenFileName(this, "Импорт", QString(),
                                                      "Таблицы (*.xlsx *.csv);;Все файлы (*)");
    if (path.isEmpty())
        return;
    QMessageBox box(QMessageBox::Question, "Импорт",
                    "Заменить строки таблицы строками файла или добавить их к ним?",
                    QMessageBox::NoButton, this);
    QPushButton* replace = box.addButton("Заменить", QMessageBox::AcceptRole);
    QPushButton* add = box.addButton("Добавить", QMessageBox::AcceptRole);
    box.addButton("Отмена", QMessageBox::RejectRole);
    box.exec();
    if (box.clickedButton() == replace || box.clickedButton() == add)
        importFile(path, box.clickedButton() == add);
}

void RefEditorWindow::chooseExport() {
    if (!model_)
        return;
    QString selected;
    QString path = QFileDialog::getSaveFileName(this, "Экспорт", u8(model_->desc().name) + ".xlsx",
                                                "Книга Excel (*.xlsx);;CSV (*.csv)", &selected);
    if (path.isEmpty())
        return;
    if (fileKindOf(path.toStdString()) == FileKind::Unknown)
        path += selected.contains("csv") ? ".csv" : ".xlsx";
    exportFile(path);
}

} // namespace vorn
