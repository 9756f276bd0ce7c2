#include "desktop/input/InputScreen.h"

#include "calc/CalcError.h"
#include "calc/Gains.h"
#include "document/Session.h"
#include "desktop/input/ChamberPlan.h"
#include "desktop/input/HeaterNote.h"
#include "document/ControlTable.h"
#include "desktop/input/PagePictures.h"
#include "desktop/input/ResultsPanel.h"
#include "desktop/widgets/Utf8.h"
#include "desktop/widgets/LookupList.h"
#include "desktop/widgets/NumericEdit.h"
#include "desktop/widgets/TabPages.h"
#include "desktop/widgets/ToolIcons.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <stdexcept>

namespace vorn {

namespace {

// A tab's caption: the gain's own, with the word in double quotes where the results
// column sets it in guillemets.
QString pageCaption(int page) {
    QString text = ". " + QString::fromUtf8(gainInfo(page).caption);
    return text.replace(QChar(0x00AB), '"').replace(QChar(0x00BB), '"');
}

constexpr int kFieldWidth = 64; // numeric fields, with the calculator button
constexpr int kRowHeight = 21;  // fields and lists
constexpr int kListWidth = 124; // lookup lists of the walls and product pages
constexpr int kSpacing = 3;
constexpr qreal kFontPoints = 7.5;

QGridLayout* grid(QWidget* parent = nullptr) {
    auto* g = new QGridLayout(parent);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(kSpacing);
    if (parent)
        g->setContentsMargins(6, 2, 6, 4);
    return g;
}

QGroupBox* group(const char* title, const char* objectName, QWidget* parent) {
    auto* box = new QGroupBox(QString::fromUtf8(title), parent);
    box->setObjectName(objectName);
    return box;
}

// A write the file refused: the user learns that the value is not in the calculation.
std::string notWritten(const std::string& reason) {
    return "Значение не записано: " + reason;
}
} // namespace

InputScreen::InputScreen(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName("InputScreen");
    // A compact font: the whole screen fits the window's fixed working area.
    QFont compact = font();
    compact.setPointSizeF(std::min(compact.pointSizeF(), kFontPoints));
    setFont(compact);
    layout_ = new QGridLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(kSpacing);
    auto* heading = new QLabel("Исходные данные", this);
    heading->setObjectName("Heading");
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    heading->setAlignment(Qt::AlignCenter);
    layout_->addWidget(heading, 0, 0, 1, 2);
    layout_->addWidget(buildHeader(), 1, 0, 1, 2);

    pages_ = new TabPages(this);
    pages_->setObjectName("PageControl1");
    for (int page = 1; page <= 9; ++page)
        pages_->addPage(buildPage(page), pageCaption(page));
    pages_->setCurrentIndex(session_.screen().shownPage - 1);
    connect(pages_, &TabPages::currentChanged, this,
            [this](int index) { session_.screen().shownPage = index + 1; });
    layout_->addWidget(pages_, 2, 1);
    layout_->setRowStretch(2, 1);
    layout_->setColumnStretch(1, 1);

    chainFocus(focusOrder());
    refresh();
    listener_ = session_.addListener([this](const CommitResult&) { refresh(); });
}

InputScreen::~InputScreen() {
    session_.removeListener(listener_);
}


void InputScreen::adopt(ResultsPanel* results, const QList<QWidget*>& buttons) {
    results_ = results;
    layout_->addWidget(results, 2, 0);
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(6);
    bottom->addWidget(results->takeTotals());
    bottom->addStretch();
    for (QWidget* b : buttons)
        bottom->addWidget(b, 0, Qt::AlignBottom);
    layout_->addLayout(bottom, 3, 0, 1, 2);
    for (QWidget* b : buttons) // now in the screen's font
        if (auto* button = qobject_cast<QPushButton*>(b))
            button->setFixedWidth(button->fontMetrics().horizontalAdvance(button->text()) + 22);

    QList<QWidget*> order = focusOrder();
    for (int n = 1; n <= ResultsPanel::kGainCount; ++n)
        order << results->includeBox(n);
    order << buttons;
    chainFocus(order);
    refresh();
}

// ---- building ---------------------------------------------------------------------------

QLabel* InputScreen::label(const QString& text, QWidget* buddy) {
    auto* l = new QLabel(text);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

QWidget* InputScreen::row(QGridLayout* g, int r, int col, const char* name) {
    QWidget* w = build(name, true);
    g->addWidget(caption(name), r, col);
    g->addWidget(w, r, col + 1, Qt::AlignLeft);
    return w;
}

QCheckBox* InputScreen::checkRow(QGridLayout* g, int r, const char* name) {
    auto* box = static_cast<QCheckBox*>(build(name));
    box->setText(QString::fromUtf8(findControl(name)->caption));
    g->addWidget(box, r, 0, 1, 2);
    return box;
}

QWidget* InputScreen::build(const char* name, bool withCaption) {
    const ControlSpec* spec = findControl(name);
    // the screen is built from the control table: a name it does not know is a defect
    if (!spec)
        throw std::logic_error(std::string("input screen: no control named ") + name);
    QWidget* w = buildWidget(*spec);
    w->setObjectName(name);
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w))
        w->setFixedHeight(kRowHeight);
    Bound b{spec, w, nullptr};
    if (withCaption && spec->caption && spec->kind != ControlKind::Check) {
        b.caption = label(QString::fromUtf8(spec->caption), w);
        b.caption->setObjectName(QString(name) + "Caption");
    }
    byName_.insert(QString(name), bound_.size());
    bound_.push_back(b);
    return w;
}

QWidget* InputScreen::buildWidget(const ControlSpec& spec) {
    switch (spec.kind) {
    case ControlKind::Numeric:
    case ControlKind::Whole: {
        auto* edit = new NumericEdit;
        const ControlSpec* s = &spec;
        edit->setTextRule(
            [s](const QString& text) { return numericTextAllowed(*s, text.toStdString()); });
        edit->setFixedWidth(kFieldWidth);
        connect(edit, &NumericEdit::left, this,
                [this, s, edit](const QString& text) { leave(*s, edit, text); });
        return edit;
    }
    case ControlKind::Choice:
    case ControlKind::Category:
    case ControlKind::Lookup: {
        auto* list = new LookupList;
        const ControlSpec* s = &spec;
        if (spec.kind == ControlKind::Lookup) {
            list->setSource([this, s] {
                QStringList names;
                for (const std::string& n : session_.listItems(*s))
                    names << u8(n);
                return names;
            });
        } else {
            QStringList items;
            for (const std::string& t : spec.items)
                items << u8(t);
            list->setItems(items);
        }
        connect(list, &LookupList::picked, this, [this, s](const QString& text) {
            forward([this, s, text] { return session_.chooseItem(*s, text.toStdString()); });
        });
        return list;
    }
    case ControlKind::Check: {
        auto* box = new QCheckBox;
        const ControlSpec* s = &spec;
        connect(box, &QCheckBox::clicked, this, [this, s](bool on) {
            forward([this, s, on] { return session_.clickCheck(*s, on); });
        });
        return box;
    }
    case ControlKind::Regime:
    case ControlKind::Turnover: {
        auto* frame = new QWidget;
        auto* row = new QHBoxLayout(frame);
        row->setContentsMargins(0, 0, 0, 0);
        auto* buttons = new QButtonGroup(frame);
        for (size_t i = 0; i < spec.items.size(); ++i) {
            auto* radio = new QRadioButton(u8(spec.items[i]), frame);
            radio->setObjectName(QString("%1_%2").arg(spec.name).arg(i));
            buttons->addButton(radio, static_cast<int>(i));
            row->addWidget(radio);
        }
        row->addStretch();
        const ControlSpec* s = &spec;
        connect(buttons, &QButtonGroup::idClicked, this, [this, s](int id) {
            const std::string text = s->items.at(static_cast<size_t>(id));
            forward([this, s, text] { return session_.chooseItem(*s, text); });
        });
        return frame;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton;
        button->setIcon(toolIcon("fullLoad"));
        button->setToolTip("Расчет полной загрузки камеры");
        button->setFixedSize(26, 22);
        connect(button, &QPushButton::clicked, this, [this] {
            forward([this] { return session_.fullLoadClick(); });
        });
        return button;
    }
    case ControlKind::Display:
        break;
    }
    if (!spec.field && !spec.lookupTable) {
        auto* l = new QLabel; // Label3, a number written by the recalculation
        l->setMinimumWidth(40);
        return l;
    }
    auto* display = new QLineEdit;
    display->setReadOnly(true);
    display->setFixedWidth(kFieldWidth);
    // the volume is skipped by the focus; the freezing point takes it
    if (spec.field)
        display->setFocusPolicy(Qt::NoFocus);
    return display;
}

QWidget* InputScreen::buildHeader() {
    auto* header = new QWidget(this);
    auto* line = new QHBoxLayout(header);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(4);

    QGroupBox* region = group(" Регион ", "GroupBox3", header);
    auto* rg = grid(region);
    QWidget* regionList = build("DBLookupComboBox3");
    regionList->setMinimumWidth(100);
    rg->addWidget(regionList, 0, 0, 1, 2);
    const char* const regionFields[] = {"DBEdit36", "DBEdit37"};
    for (int i = 0; i < 2; ++i)
        row(rg, i + 1, 0, regionFields[i]);
    rg->setRowStretch(3, 1);
    line->addWidget(region);

    QGroupBox* chamber = group(" Параметры камеры ", "GroupBox2", header);
    auto* cg = grid(chamber);
    row(cg, 0, 0, "DBEdit38");
    row(cg, 1, 0, "DBEdit39");
    row(cg, 2, 0, "DBEdit40");
    row(cg, 3, 0, "DBEdit41");
    cg->addWidget(new ChamberPlan(chamber), 0, 2, 4, 1, Qt::AlignCenter);
    line->addWidget(chamber);

    QGroupBox* regime = group(" Режимы обработки ", "GroupBox1", header);
    auto* mg = grid(regime);
    mg->addWidget(build("RadioGroup1"), 0, 0, 1, 2);
    row(mg, 1, 0, "DBEdit42");
    row(mg, 2, 0, "DBEdit11");
    row(mg, 3, 0, "RxDBCalcEdit1");
    row(mg, 4, 0, "DBEdit45");
    if (auto* humidity = qobject_cast<LookupList*>(control("DBEdit11"))) {
        humidity->setEnterMovesOn(true);
        humidity->setMinimumContentsLength(3);
        humidity->setFixedWidth(kFieldWidth);
    }
    line->addWidget(regime, 1);
    return header;
}

QWidget* InputScreen::pageFrame(int page, QLayout* content) {
    auto* w = new QWidget;
    w->setObjectName(QString("TabSheet%1").arg(page));
    auto* g = new QGridLayout(w);
    g->setContentsMargins(4, 4, 4, 4);
    g->setHorizontalSpacing(6);
    auto* picture = new QLabel(w);
    picture->setObjectName(QString("Image%1").arg(page));
    picture->setPixmap(pagePicture(page));
    picture->setFixedSize(kPagePictureSize, kPagePictureSize);
    g->addWidget(picture, 0, 0, Qt::AlignTop | Qt::AlignLeft);
    g->addLayout(content, 0, 1, Qt::AlignTop | Qt::AlignLeft);
    g->setColumnStretch(2, 1);
    g->setRowStretch(1, 1);
    return w;
}

QWidget* InputScreen::buildPage(int page) {
    switch (page) {
    case 1:
        return wallsPage();
    case 2:
        return ventilationPage();
    case 3:
        return infiltrationPage();
    case 4:
        return productPage();
    case 5:
        return respirationPage();
    case 6:
        return lightingPage();
    case 7:
        return singleFieldPage(7, "DBEdit12");
    case 8:
        return singleFieldPage(8, "DBEdit16");
    default:
        return fansPage();
    }
}

QWidget* InputScreen::wallsPage() {
    auto* g = grid();
    g->setVerticalSpacing(2);
    const char* const heads[5] = {"Материал\nстен", "Толщина\n(мм)", "Материал\nтеплоизоляции",
                                  "Толщина\n(мм)", "Темп-ра \nснаружи"};
    for (int c = 0; c < 5; ++c) {
        auto* head = label(QString::fromUtf8(heads[c]));
        head->setAlignment(Qt::AlignCenter);
        g->addWidget(head, 0, c + 1);
    }
    // the five columns by the record fields of row n
    const char* const fields[5] = {"ST_M", "ST_MT", "ST_IZ", "ST_IZT", "ST_TEM"};
    for (int n = 1; n <= 6; ++n) {
        g->addWidget(label(QString::fromUtf8(kWallRows[n - 1])), n, 0);
        for (int c = 0; c < 5; ++c) {
            QWidget* w = build(findControl(fields[c] + std::to_string(n))->name);
            if (c == 0 || c == 2)
                w->setFixedWidth(kListWidth + 8);
            g->addWidget(w, n, c + 1);
        }
    }
    auto* ident = static_cast<QCheckBox*>(build("chIdent"));
    ident->setText(QString::fromUtf8(findControl("chIdent")->caption));
    auto* hint =
        label("Для автоматического заполнения всех\nпараметров по первой строке (стена А).");
    QFont italic = hint->font();
    italic.setItalic(true);
    hint->setFont(italic);
    auto* below = new QHBoxLayout;
    below->addWidget(ident);
    below->addSpacing(12);
    below->addWidget(hint);
    below->addStretch();
    g->addLayout(below, 7, 0, 1, 6);
    return pageFrame(1, g);
}

QWidget* InputScreen::ventilationPage() {
    auto* g = grid();
    row(g, 0, 0, "DBEdit13");
    checkRow(g, 1, "DBCheckBox4");
    return pageFrame(2, g);
}

QWidget* InputScreen::infiltrationPage() {
    auto* g = grid();
    row(g, 0, 0, "DBEdit1");
    row(g, 1, 0, "DBEdit7");
    row(g, 2, 0, "DBComboBox2")->setFixedWidth(kListWidth + 44);
    row(g, 3, 0, "DBComboBox1")->setFixedWidth(kListWidth + 44);
    checkRow(g, 4, "DBCheckBox1");

    auto* passages = new QGroupBox;
    passages->setObjectName("GroupBox6");
    auto* pg = grid(passages);
    pg->setContentsMargins(6, 4, 6, 4);
    row(pg, 0, 0, "DBEdit2");
    pg->addWidget(label("Количество проходов в камеру"), 1, 0);
    pg->addWidget(build("Label3"), 1, 1);
    g->addWidget(passages, 5, 0, 1, 2);
    auto* note = label("(Количество проходов в камеру зависит от суточного грузо-\n"
                       "оборота и грузоподъемности транспортного средства)");
    QFont italic = note->font();
    italic.setItalic(true);
    note->setFont(italic);
    g->addWidget(note, 6, 0, 1, 2);
    return pageFrame(3, g);
}

QWidget* InputScreen::productPage() {
    // Product column and packaging column side by side, the full-load group below.
    auto* g = grid();
    g->setVerticalSpacing(1);
    row(g, 0, 0, "ComboBox1")->setFixedWidth(kListWidth);
    row(g, 1, 0, "DBLookupComboBox1")->setFixedWidth(kListWidth + 12);
    row(g, 2, 0, "DBEdit3");
    auto* massRow = new QHBoxLayout;
    massRow->setSpacing(4);
    g->removeWidget(control("DBEdit3"));
    massRow->addWidget(control("DBEdit3"));
    massRow->addWidget(build("BitBtn1"));
    massRow->addStretch();
    g->addLayout(massRow, 2, 1);
    row(g, 3, 0, "DBEdit4");
    row(g, 4, 0, "DBEdit6");
    row(g, 5, 0, "DBEdit5");
    g->setColumnMinimumWidth(2, 6);
    row(g, 0, 3, "DBEdit18");
    row(g, 1, 3, "DBLookupComboBox2")->setFixedWidth(kListWidth - 12);
    row(g, 2, 3, "DBEdit44");
    row(g, 3, 3, "DBEdit8");
    row(g, 4, 3, "DBEdit10");
    row(g, 5, 3, "DBEdit9");

    QGroupBox* full = group(" Расчет полной загрузки камеры ", "GroupBox7", nullptr);
    auto* fg = grid(full);
    fg->setVerticalSpacing(1);
    row(fg, 0, 0, "RxDBCalcEdit2");
    row(fg, 1, 0, "RxDBCalcEdit3");
    QGroupBox* speed = group(" Скорость оборота ", "RadioGroup2Box", full);
    auto* sl = new QHBoxLayout(speed);
    sl->setContentsMargins(6, 0, 6, 0);
    sl->addWidget(build("RadioGroup2"));
    fg->addWidget(speed, 0, 2, 2, 1, Qt::AlignVCenter);
    fg->setColumnStretch(3, 1);
    g->addWidget(full, 6, 0, 1, 5);
    return pageFrame(4, g);
}

QWidget* InputScreen::respirationPage() {
    auto* g = grid();
    g->addWidget(label("Ввод данных не требуется"), 0, 0);
    return pageFrame(5, g);
}

QWidget* InputScreen::lightingPage() {
    auto* g = grid();
    row(g, 0, 0, "DBEdit14");
    row(g, 1, 0, "DBEdit15");
    checkRow(g, 2, "DBCheckBox2");
    return pageFrame(6, g);
}

QWidget* InputScreen::singleFieldPage(int page, const char* name) {
    auto* g = grid();
    row(g, 0, 0, name);
    return pageFrame(page, g);
}

QWidget* InputScreen::fansPage() {
    auto* g = grid();
    row(g, 0, 0, "DBEdit48");
    checkRow(g, 1, "DBCheckBox3");
    row(g, 2, 0, "DBEdit46");
    row(g, 3, 0, "DBEdit47");
    // heaters and defrost (DBEdit49..DBEdit53), and why they are disabled on an old file
    for (int n = 49; n <= 53; ++n)
        row(g, n - 45, 0, ("DBEdit" + std::to_string(n)).c_str());
    g->addWidget(makeHeaterNote(session_, this), 9, 0, 1, 2);
    return pageFrame(9, g);
}

void InputScreen::chainFocus(const QList<QWidget*>& order) {
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

// The visiting order is the table's; the tab strip comes before the pages' controls.
QList<QWidget*> InputScreen::focusOrder() const {
    QList<QWidget*> order;
    int page = 0;
    for (const ControlSpec& spec : screenControls()) {
        auto it = byName_.constFind(QString(spec.name));
        if (it == byName_.constEnd())
            continue;
        if (spec.page != page && spec.page > 0 && page == 0)
            order << pages_->strip();
        page = spec.page;
        QWidget* w = bound_[*it].widget;
        if (spec.kind == ControlKind::Regime || spec.kind == ControlKind::Turnover) {
            for (QWidget* radio : w->findChildren<QRadioButton*>())
                order << radio;
        } else if (w->focusPolicy() & Qt::TabFocus) {
            order << w;
        }
    }
    return order;
}

// ---- showing ----------------------------------------------------------------------------

QWidget* InputScreen::control(const QString& name) const {
    auto it = byName_.constFind(name);
    return it == byName_.constEnd() ? nullptr : bound_[*it].widget;
}

QLabel* InputScreen::caption(const QString& name) const {
    auto it = byName_.constFind(name);
    return it == byName_.constEnd() ? nullptr : bound_[*it].caption;
}

void InputScreen::refresh() {
    refreshing_ = true;
    for (const Bound& b : bound_)
        refreshControl(b);
    refreshing_ = false;
    if (results_)
        results_->refresh();
}

void InputScreen::refreshControl(const Bound& b) {
    const ControlSpec& spec = *b.spec;
    const bool open = session_.isOpen();
    const bool visible = controlVisible(spec, session_) || !open;
    b.widget->setVisible(visible);
    b.widget->setEnabled(open && controlEnabled(spec, session_));
    if (b.caption) {
        b.caption->setVisible(visible);
        const std::string state = stateCaption(spec, session_.screen());
        if (!state.empty())
            b.caption->setText(u8(state));
    }
    if (!open)
        return;
    const QString text = u8(session_.displayText(spec));
    if (auto* edit = qobject_cast<NumericEdit*>(b.widget)) {
        // the text being typed in the focused field stays until it is left
        if (edit->hasFocus() && edit->isModified())
            return;
        edit->setStoredText(text);
    } else if (auto* list = qobject_cast<LookupList*>(b.widget)) {
        list->showValue(text);
    } else if (auto* box = qobject_cast<QCheckBox*>(b.widget)) {
        box->setChecked(session_.checkState(spec));
    } else if (auto* line = qobject_cast<QLineEdit*>(b.widget)) {
        line->setText(text);
    } else if (auto* l = qobject_cast<QLabel*>(b.widget)) {
        l->setText(text);
    } else if (spec.kind == ControlKind::Regime || spec.kind == ControlKind::Turnover) {
        const auto radios = b.widget->findChildren<QRadioButton*>();
        for (size_t i = 0; i < spec.items.size() && i < static_cast<size_t>(radios.size()); ++i)
            radios[static_cast<int>(i)]->setChecked(spec.items[i] == text.toStdString());
    }
}

// ---- forwarding -------------------------------------------------------------------------

template <typename F> void InputScreen::forward(F&& event) {
    if (refreshing_ || !session_.isOpen())
        return;
    // What was taken reaches the screen through the session's notice; a refusal leaves the
    // record as it was, so the control shows it again.
    try {
        const CommitResult r = event();
        if (r.refused) {
            refresh();
            if (!r.message.empty())
                emit messageRequested(u8(r.message));
        }
        if (!r.notice.empty())
            emit noticeRequested(u8(r.notice));
    } catch (const CalcError& e) {
        // a recalculation that stopped: what it set before the failing step stays shown
        emit messageRequested(u8(e.what()));
    } catch (const std::exception& e) {
        refresh();
        emit messageRequested(u8(notWritten(e.what())));
    }
}

// The text of a numeric field into the record through the session; when it is taken, the
// screen shows what the rule and the recalculation left.
CommitResult InputScreen::commitField(const ControlSpec& spec, NumericEdit* edit,
                                      const QString& text) {
    CommitResult result;
    try {
        result = session_.commitText(spec, text.toStdString());
    } catch (const CalcError& e) {
        // a recalculation that stopped: what it set before the failing step stays shown
        emit messageRequested(u8(e.what()));
    } catch (const std::exception& e) {
        // the record could not be written (held by another program, a full disk): the
        // typed text stays in the field for another try
        return CommitResult::refusal(notWritten(e.what()));
    }
    if (!result.notice.empty())
        emit noticeRequested(u8(result.notice));
    if (!result.refused) {
        // the screen was refreshed while the field still held the typed text: now it shows
        // what the rule stored
        edit->setModified(false);
        auto it = byName_.constFind(edit->objectName());
        if (it != byName_.constEnd())
            refreshControl(bound_[*it]);
    }
    return result;
}

void InputScreen::leave(const ControlSpec& spec, NumericEdit* edit, const QString& text) {
    if (refocusing_ || refreshing_ || !session_.isOpen())
        return;
    const CommitResult result = commitField(spec, edit, text);
    if (result.refused) {
        // Back into the field once the focus has settled, then the message; nothing was
        // written and no handler ran.
        const QString message = u8(result.message);
        QTimer::singleShot(0, edit, [this, edit, message] {
            refocusing_ = true;
            showPageOf(edit); // the user may have clicked another page's tab
            edit->setFocus(Qt::OtherFocusReason);
            refocusing_ = false;
            emit messageRequested(message);
            edit->setFocus(Qt::OtherFocusReason);
            edit->selectAll();
        });
    }
}

void InputScreen::showPageOf(QWidget* w) {
    for (int i = 0; i < pages_->count(); ++i)
        if (pages_->page(i)->isAncestorOf(w))
            pages_->setCurrentIndex(i);
}

bool InputScreen::commitPending(bool tell) {
    auto* edit = qobject_cast<NumericEdit*>(focusWidget());
    if (!edit || !isAncestorOf(edit) || !edit->isModified())
        return true;
    auto it = byName_.constFind(edit->objectName());
    if (it == byName_.constEnd())
        return true;
    const CommitResult result = commitField(*bound_[*it].spec, edit, edit->text());
    if (result.refused) {
        if (tell)
            emit messageRequested(u8(result.message));
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        return false;
    }
    return true;
}

} // namespace vorn
