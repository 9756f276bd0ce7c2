#include "desktop/selection/SelectionDialog.h"
#include "desktop/widgets/MessageBoxes.h"

#include "data/Table.h"
#include "desktop/selection/CatalogueModel.h"
#include "selection/Selection.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace vorn {

namespace {
QLineEdit* makeBox(const char* name, int maxLength, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    return box;
}
} // namespace

SelectionDialog::SelectionDialog(Selection& selection, QWidget* parent)
    : QDialog(parent), selection_(selection) {
    setObjectName("fmPodbor");
    setWindowTitle("Подбор оборудования");
    setModal(true);
    showMessage = [this](const QString& text) {
        showMessageBox(this, windowTitle(), text);
    };

    auto* layout = new QVBoxLayout(this);

    heading_ = new QWidget(this);
    auto* heading = new QHBoxLayout(heading_);
    heading->setContentsMargins(0, 0, 0, 0);
    heading->addStretch();
    auto* before = new QLabel("Холодильные системы для", this);
    caption_ = new QLabel(this);
    caption_->setObjectName("LabelCaption");
    QFont big = caption_->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    caption_->setFont(big);
    caption_->setStyleSheet("color: #1f4fa8;");
    auto* after = new QLabel("°С в охлаждаемом объеме", this);
    QFont headFont = before->font();
    headFont.setBold(true);
    headFont.setPointSizeF(headFont.pointSizeF() * 1.2);
    before->setFont(headFont);
    after->setFont(headFont);
    heading->addWidget(before, 0, Qt::AlignBottom);
    heading->addWidget(caption_, 0, Qt::AlignBottom);
    heading->addWidget(after, 0, Qt::AlignBottom);
    heading->addStretch();
    layout->addWidget(heading_);

    notice_ = new QLabel(this);
    notice_->setObjectName("LabelNoCatalogue");
    notice_->setStyleSheet("color: #b00000; font-weight: bold;");
    notice_->setAlignment(Qt::AlignCenter);
    notice_->setWordWrap(true);
    notice_->hide();
    layout->addWidget(notice_);

    auto* groups = new QGroupBox(this);
    groups->setObjectName("GroupBox1");
    auto* groupLines = new QVBoxLayout(groups);
    groupLine1_ = new QLabel(groups);
    groupLine1_->setObjectName("Edit1");
    groupLine2_ = new QLabel(groups);
    groupLine2_->setObjectName("Edit2");
    for (QLabel* l : {groupLine1_, groupLine2_}) {
        l->setAlignment(Qt::AlignCenter);
        groupLines->addWidget(l);
    }
    layout->addWidget(groups);

    model_ = new CatalogueModel(selection_, this);
    list_ = new QTableView(this);
    list_->setObjectName("DBGrid1");
    list_->setModel(model_);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    list_->horizontalHeader()->setDefaultAlignment(
        Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap));
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->setMinimumHeight(list_->fontMetrics().height() * 14);
    layout->addWidget(list_, 1);
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                selection_.setCurrentRow(current.isValid() ? current.row() : -1);
                refreshGroupLines();
                choose_->setEnabled(selection_.canChoose());
            });

    auto* lower = new QHBoxLayout;
    auto* params = new QGroupBox("Параметры отбора", this);
    params->setObjectName("GroupBox2");
    auto* pg = new QGridLayout(params);
    kolsys_ = makeBox("kolsys", 1, params);
    kolsys_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]?"), kolsys_));
    lower_ = makeBox("Edit3", 3, params);
    upper_ = makeBox("Edit4", 3, params);
    const int numWidth = fontMetrics().horizontalAdvance("0000") + 12;
    for (QLineEdit* box : {kolsys_, lower_, upper_}) {
        box->setFixedWidth(numWidth);
        box->setAlignment(Qt::AlignRight);
        box->installEventFilter(this);
    }
    pg->addWidget(new QLabel("Количество систем", params), 0, 0, 1, 3);
    pg->addWidget(kolsys_, 0, 3);
    pg->addWidget(new QLabel("Интервал\nхолодопроизводительности", params), 1, 0, 2, 1);
    pg->addWidget(new QLabel("от", params), 1, 1, Qt::AlignRight);
    pg->addWidget(lower_, 1, 2);
    pg->addWidget(new QLabel("до", params), 2, 1, Qt::AlignRight);
    pg->addWidget(upper_, 2, 2);
    pg->addWidget(new QLabel("(%)", params), 1, 3, 2, 1);
    lower->addWidget(params);

    auto* chosen = new QGroupBox("Выбранное оборудование", this);
    chosen->setObjectName("GroupBox3");
    auto* cg = new QGridLayout(chosen);
    auto addChosen = [&](const char* field) {
        auto* box = makeBox(field, Selection::chosenField(field)->width, chosen);
        chosen_.emplace_back(box, field);
        connect(box, &QLineEdit::editingFinished, this,
                [this, box, field] { commitChosen(box, field); });
        return box;
    };
    QLineEdit* sis = addChosen("SIS");
    sis->setFixedWidth(fontMetrics().horizontalAdvance("МММММММ"));
    cg->addWidget(sis, 0, 0);
    cg->addWidget(addChosen("OBR_NAIM"), 0, 1, 1, 4);
    auto caption = [&](const char* text, int col, const char* tip = nullptr) {
        auto* l = new QLabel(text, chosen);
        if (tip)
            l->setToolTip(tip);
        cg->addWidget(l, 1, col);
    };
    caption("Агрегат (конденсатор)", 0);
    caption("Произв-ть", 1, "Вт.");
    caption("Воздухоохладитель", 2);
    caption("Шкаф", 3);
    caption("Набор монтажника", 4);
    cg->addWidget(addChosen("OBR_AGR"), 2, 0);
    QLineEdit* proiz = addChosen("PROIZSYS");
    proiz->setToolTip("Производительность системы, Вт.");
    proiz->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QString("[0-9]{0,%1}").arg(proiz->maxLength())), proiz));
    proiz->setAlignment(Qt::AlignRight);
    cg->addWidget(proiz, 2, 1);
    cg->addWidget(addChosen("OBR_VO"), 2, 2);
    cg->addWidget(addChosen("OBR_SHKAF"), 2, 3);
    cg->addWidget(addChosen("OBR_KMONT"), 2, 4);
    const int ch = fontMetrics().averageCharWidth();
    for (auto [field, chars] : {std::pair{"OBR_AGR", 22},
                                {"PROIZSYS", 8},
                                {"OBR_VO", 14},
                                {"OBR_SHKAF", 16},
                                {"OBR_KMONT", 9}})
        findChild<QLineEdit*>(field)->setMinimumWidth(chars * ch + 10);
    lower->addWidget(chosen, 1);
    layout->addLayout(lower);

    auto* buttons = new QHBoxLayout;
    choose_ = new QPushButton("Выбрать", this);
    choose_->setObjectName("Button2");
    print_ = new QPushButton("Печать систем", this);
    print_->setObjectName("Button3");
    auto* close = new QPushButton("Закрыть", this);
    close->setObjectName("Button1");
    for (QPushButton* b : {choose_, print_, close}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->insertStretch(0);
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(choose_, &QPushButton::clicked, this, &SelectionDialog::chooseRow);
    connect(print_, &QPushButton::clicked, this, &SelectionDialog::print);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    connect(kolsys_, &QLineEdit::textEdited, this, [this] { runSelection(); });
    connect(kolsys_, &QLineEdit::editingFinished, this, &SelectionDialog::systemsLeft);
    connect(lower_, &QLineEdit::textEdited, this, &SelectionDialog::percentEdited);
    connect(upper_, &QLineEdit::textEdited, this, &SelectionDialog::percentEdited);
    connect(lower_, &QLineEdit::editingFinished, this, &SelectionDialog::percentLeft);
    connect(upper_, &QLineEdit::editingFinished, this, &SelectionDialog::percentLeft);

    resize(900, 600);
}

SelectionDialog::~SelectionDialog() {
    // A box that loses the focus while the window goes away reports no edit to it.
    for (QLineEdit* box : {kolsys_, lower_, upper_})
        box->disconnect(this);
    for (auto& chosen : chosen_)
        chosen.first->disconnect(this);
}

void SelectionDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    lower_->setText(QString::fromStdString(selection_.lowerPercentText));
    upper_->setText(QString::fromStdString(selection_.upperPercentText));
    acceptedLower_ = selection_.lowerPercentText;
    acceptedUpper_ = selection_.upperPercentText;
    kolsys_->setText(QString::fromStdString(selection_.fieldText("KOLSYS")));
    refreshChosen();
    // Run once the window is on screen, so a message box comes up over it.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            runSelection();
    });
}

void SelectionDialog::tryOnRecord(const std::function<void()>& step) {
    try {
        step();
    } catch (const std::exception& e) {
        showMessage(QString::fromUtf8(e.what()));
    }
}

void SelectionDialog::percentEdited() {
    selection_.lowerPercentText = lower_->text().toStdString();
    selection_.upperPercentText = upper_->text().toStdString();
    // While "от" stands above "до" the list keeps the last band; leaving the box says why.
    if (Selection::bandRefusal(selection_.lowerPercentText, selection_.upperPercentText).empty())
        runSelection();
}

void SelectionDialog::percentLeft() {
    const std::string refusal =
        Selection::bandRefusal(lower_->text().toStdString(), upper_->text().toStdString());
    if (refusal.empty()) {
        acceptedLower_ = lower_->text().toStdString();
        acceptedUpper_ = upper_->text().toStdString();
        return;
    }
    // Both boxes go back to the band they held before this edit, before the message
    // takes the focus, and the list follows them.
    selection_.lowerPercentText = acceptedLower_;
    selection_.upperPercentText = acceptedUpper_;
    lower_->setText(QString::fromStdString(acceptedLower_));
    upper_->setText(QString::fromStdString(acceptedUpper_));
    runSelection();
    showMessage(QString::fromStdString(refusal));
}

void SelectionDialog::runSelection() {
    if (running_)
        return;
    running_ = true;
    Selection::Outcome outcome = Selection::Outcome::NotRun;
    tryOnRecord([&] { outcome = selection_.run(); });
    refreshView();
    running_ = false;
    emit selectionRan();
    // A number of systems typed but not yet stored would change the list as soon as the
    // message took the focus from its box: it is stored first, and the message comes only
    // if the list stays empty, so it never covers a list with rows.
    if (outcome == Selection::Outcome::Empty && kolsys_->isModified() && isVisible()) {
        kolsys_->setModified(false);
        bool stored = false;
        tryOnRecord(
            [this, &stored] { stored = selection_.storeSystems(kolsys_->text().toStdString()); });
        if (stored) {
            runSelection();
            return;
        }
    }
    // Once per run: nothing runs the selection again on the activation that follows.
    if (outcome == Selection::Outcome::Empty && selection_.rows().empty())
        showMessage(QString::fromUtf8(Selection::kNoEquipmentMessage));
}

void SelectionDialog::refreshView() {
    caption_->setText(QString::fromStdString(selection_.classCaption()));
    const bool noCatalogue = selection_.outcome() == Selection::Outcome::NoCatalogue;
    notice_->setText(QString::fromStdString(selection_.noCatalogueText()));
    notice_->setVisible(noCatalogue);
    // A caption left from an earlier run would name a class the chamber is not in.
    heading_->setVisible(!noCatalogue || selection_.chamberFits());
    model_->reload();
    // The widths in characters, but never narrower than the longest word of the caption
    // (the captions wrap inside the header).
    const QFontMetrics fm = list_->fontMetrics();
    QFont headFont = list_->horizontalHeader()->font();
    headFont.setBold(true);
    const QFontMetrics hm(headFont);
    // The header is as tall as its most wrapped caption, so no word is cut.
    const int padding =
        2 * list_->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, list_) + 4;
    int headerHeight = hm.height();
    for (int c = 0; c < model_->columnCount(); ++c) {
        int width = model_->widthChars(c) * fm.averageCharWidth();
        const QString caption = model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        for (const QString& word : caption.split(' '))
            width = std::max(width, hm.horizontalAdvance(word));
        list_->setColumnWidth(c, width + padding + 4);
        headerHeight = std::max(
            headerHeight,
            hm.boundingRect(QRect(0, 0, width + 4, 1000), Qt::TextWordWrap, caption).height());
    }
    list_->horizontalHeader()->setFixedHeight(headerHeight + padding + 4);
    if (selection_.currentRow() >= 0)
        list_->selectRow(selection_.currentRow());
    refreshGroupLines();
    choose_->setEnabled(selection_.canChoose());
}

void SelectionDialog::refreshGroupLines() {
    groupLine1_->setText(QString::fromStdString(selection_.groupLine1()));
    groupLine2_->setText(QString::fromStdString(selection_.groupLine2()));
}

void SelectionDialog::refreshChosen() {
    for (auto& [box, field] : chosen_) {
        box->setText(QString::fromStdString(selection_.fieldText(field)));
        box->setCursorPosition(0);
        box->setModified(false);
    }
}

void SelectionDialog::chooseRow() {
    tryOnRecord([this] { selection_.choose(); });
    refreshChosen();
}

void SelectionDialog::print() {
    if (printSystems)
        printSystems();
    // The preview moved the catalogue's cursor; the selection puts it back on the first row.
    runSelection();
}

void SelectionDialog::systemsLeft() {
    // Only a new number changes the list: leaving the box as it was (for instance by a
    // click on "Закрыть") runs nothing and so brings no message back.
    if (!kolsys_->isModified())
        return;
    kolsys_->setModified(false);
    bool stored = false;
    tryOnRecord(
        [this, &stored] { stored = selection_.storeSystems(kolsys_->text().toStdString()); });
    if (stored && isVisible())
        runSelection();
}

void SelectionDialog::commitChosen(QLineEdit* box, const char* field) {
    if (!box->isModified())
        return;
    box->setModified(false);
    bool stored = false;
    tryOnRecord([&] { stored = selection_.storeChosenField(field, box->text().toStdString()); });
    if (!stored)
        refreshChosen();
}

bool SelectionDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && (box == kolsys_ || box == lower_ || box == upper_)) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                focusNextChild();
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            box->selectAll();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vorn
