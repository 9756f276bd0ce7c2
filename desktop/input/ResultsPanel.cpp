#include "desktop/input/ResultsPanel.h"

#include "document/Session.h"
#include "calc/CalcResults.h"
#include "calc/Gains.h"
#include "calc/NumberFormat.h"

#include <QCheckBox>
#include <QColor>
#include <QPalette>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vorn {

namespace {
const char* const kUnit = "кВт.";
constexpr int kDisplayWidth = 96;
constexpr int kRowDisplayWidth = 72; // the totals in one row beside the buttons
} // namespace

ResultsPanel::ResultsPanel(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName("ResultsPanel");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);

    auto* gains = new QGroupBox(" Теплопритоки ", this);
    gains->setObjectName("GroupBox4");
    auto* grid = new QGridLayout(gains);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    for (int n = 1; n <= kGainCount; ++n) {
        const GainInfo& g = gainInfo(n);
        const QString tip = QString::fromUtf8(g.caption);
        auto* box = new QCheckBox(gains);
        box->setObjectName(QString("CheckBox%1").arg(n));
        box->setToolTip(tip);
        auto* symbol = new QLabel(QString::fromUtf8(g.symbol), gains);
        symbol->setToolTip(tip);
        QLineEdit* edit = makeDisplay(n, gains);
        edit->setToolTip(tip + "\nДвойной щелчок: как получено значение");
        grid->addWidget(box, n - 1, 0);
        grid->addWidget(symbol, n - 1, 1);
        grid->addWidget(edit, n - 1, 2);
        boxes_[static_cast<size_t>(n - 1)] = box;
        connect(box, &QCheckBox::clicked, this, [this, n](bool on) { includeBoxClicked(n, on); });
    }
    grid->setColumnStretch(1, 1);
    column->addWidget(gains);
    // What the user must know about the figures (a chosen system that the required
    // capacity has moved away from, defrosts that leave too few hours), a line each.
    warnings_ = new QLabel(this);
    warnings_->setObjectName("Warnings");
    warnings_->setWordWrap(true);
    warnings_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    warnings_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    QPalette red = warnings_->palette();
    red.setColor(QPalette::WindowText, QColor(0xc0, 0x00, 0x00));
    warnings_->setPalette(red);
    warnings_->hide();
    column->addWidget(warnings_, 1);
    // The unit column of the totals, kept empty here so all eleven boxes line up; an
    // empty column gets no spacing before it, so it takes that width too.
    const int unitWidth = fontMetrics().horizontalAdvance(kUnit) + 2;
    grid->setColumnMinimumWidth(3, unitWidth + grid->horizontalSpacing());
    auto unitLabel = [unitWidth](QWidget* parent) {
        auto* unit = new QLabel(kUnit, parent);
        unit->setFixedWidth(unitWidth);
        return unit;
    };

    auto* totals = new QGroupBox(this);
    totals->setObjectName("GroupBox5");
    totals_ = totals;
    sumCaption_ = new QLabel("Суммарно", totals);
    needCaption_ = new QLabel("С учетом коэф-та запаса и \nвремени работы оборудования", totals);
    makeDisplay(10, totals);
    makeDisplay(11, totals);
    units_[0] = unitLabel(totals);
    units_[1] = unitLabel(totals);
    layoutTotals(false);
    column->addWidget(totals);
    column->addStretch();

    refresh();
}

void ResultsPanel::layoutTotals(bool inRow) {
    delete totals_->layout();
    auto* sums = new QGridLayout(totals_);
    sums->setHorizontalSpacing(6);
    sums->setVerticalSpacing(3);
    if (inRow) {
        sums->setContentsMargins(6, 3, 6, 3);
        for (int n : {10, 11})
            display(n)->setFixedWidth(kRowDisplayWidth);
        sums->addWidget(sumCaption_, 0, 0);
        sums->addWidget(display(10), 0, 1);
        sums->addWidget(units_[0], 0, 2);
        sums->addWidget(needCaption_, 0, 3);
        sums->addWidget(display(11), 0, 4);
        sums->addWidget(units_[1], 0, 5);
        return;
    }
    sums->addWidget(sumCaption_, 0, 0, 1, 4);
    sums->addWidget(display(10), 1, 2);
    sums->addWidget(units_[0], 1, 3);
    sums->addWidget(needCaption_, 2, 0, 1, 4);
    sums->addWidget(display(11), 3, 2);
    sums->addWidget(units_[1], 3, 3);
    sums->setColumnStretch(1, 1);
}

QWidget* ResultsPanel::takeTotals() {
    layout()->removeWidget(totals_);
    // the gains no longer line up with the totals: no unit column, narrower boxes
    if (auto* gains = findChild<QGroupBox*>("GroupBox4"))
        static_cast<QGridLayout*>(gains->layout())->setColumnMinimumWidth(3, 0);
    for (int n = 1; n <= kGainCount; ++n)
        display(n)->setFixedWidth(kRowDisplayWidth + 8);
    layoutTotals(true);
    return totals_;
}

QLineEdit* ResultsPanel::makeDisplay(int n, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString("CurrencyEdit%1").arg(n));
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setFixedWidth(kDisplayWidth);
    // the warnings under the gains take what room is left, never the boxes' own
    edit->setMinimumHeight(edit->sizeHint().height());
    edit->installEventFilter(this);
    displays_[static_cast<size_t>(n - 1)] = edit;
    return edit;
}

bool ResultsPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick)
        for (int n = 1; n <= kBoxCount; ++n)
            if (watched == display(n)) {
                emit explainRequested(n);
                return true;
            }
    return QWidget::eventFilter(watched, event);
}

QCheckBox* ResultsPanel::includeBox(int n) const {
    return n >= 1 && n <= kGainCount ? boxes_[static_cast<size_t>(n - 1)] : nullptr;
}

QLineEdit* ResultsPanel::display(int n) const {
    return n >= 1 && n <= kBoxCount ? displays_[static_cast<size_t>(n - 1)] : nullptr;
}

void ResultsPanel::refresh() {
    const ScreenState& screen = session_.screen();
    const CalcResults& results = session_.results();
    // setChecked does not emit clicked: showing a state never runs the recalculation.
    for (int n = 1; n <= kGainCount; ++n)
        includeBox(n)->setChecked(screen.includeBoxes[static_cast<size_t>(n - 1)]);
    for (int n = 1; n <= kBoxCount; ++n)
        display(n)->setText(QString::fromStdString(formatGrouped2(results.box(n))));
    QStringList lines;
    for (const std::string& w : session_.warnings())
        lines << QString::fromStdString(w);
    warnings_->setText(lines.join("\n"));
    warnings_->setVisible(!lines.isEmpty());
    // a text cut by the column reads whole in the tip
    QString tip = lines.join("\n");
    if (session_.isOpen() && !session_.choiceFits())
        tip += "\nПодберите оборудование заново: кнопка \"Оборудование\"";
    warnings_->setToolTip(tip);
}

void ResultsPanel::includeBoxClicked(int n, bool checked) {
    try {
        // a refused click (a calculation open for reading only) says why
        const CommitResult r = session_.includeBoxClick(n, checked);
        if (r.refused && !r.message.empty())
            emit messageRequested(QString::fromStdString(r.message));
    } catch (const std::exception& e) {
        // The run stopped part way: what it set before the failing step stays shown.
        emit messageRequested(QString::fromStdString(e.what()));
    }
    refresh();
}

} // namespace vorn
