#include "desktop/input/CalculationView.h"

#include "calc/CalcResults.h"
#include "calc/CalcSteps.h"
#include "desktop/input/ResultsPanel.h"
#include "desktop/reports/CalcReport.h"
#include "document/Session.h"
#include "reports/CalcNoteText.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace vorn {

namespace {

QString esc(const std::string& s) {
    return QString::fromStdString(s).toHtmlEscaped();
}

// The row of the list that shows gain n (capacity: after gain 9).
int rowOf(const Session& session, int n) {
    const auto& steps = session.results().steps;
    for (size_t i = 0; i < steps.size(); ++i)
        if (steps[i].gain == n ||
            (n >= CalcStep::kCapacity && steps[i].gain == CalcStep::kCapacity))
            return static_cast<int>(i);
    return -1;
}

QMenu* menuTitled(QMainWindow& window, const QString& title) {
    for (QAction* a : window.menuBar()->actions())
        if (a->menu() && a->text() == title)
            return a->menu();
    return nullptr;
}

} // namespace

CalculationView::CalculationView(Session& session, CalcReport& report, QWidget* parent)
    : QDialog(parent), session_(session), report_(report) {
    setObjectName("CalculationView");
    setWindowTitle("Расчет");
    setModal(false);
    resize(900, 640);

    auto* column = new QVBoxLayout(this);
    warnings_ = new QLabel(this);
    warnings_->setObjectName("CalculationWarnings");
    warnings_->setWordWrap(true);
    warnings_->setStyleSheet("color: #c00000; font-weight: bold;");
    warnings_->hide();
    column->addWidget(warnings_);

    auto* split = new QSplitter(this);
    list_ = new QListWidget(split);
    list_->setObjectName("CalculationSteps");
    text_ = new QTextBrowser(split);
    text_->setObjectName("CalculationText");
    split->addWidget(list_);
    split->addWidget(text_);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({330, 570});
    column->addWidget(split, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* preview = buttons->addButton("Расчетная записка...", QDialogButtonBox::ActionRole);
    preview->setObjectName("NotePreview");
    preview->setToolTip("Расчетная записка: просмотр, печать и сохранение в PDF");
    QPushButton* print = buttons->addButton("Печать записки...", QDialogButtonBox::ActionRole);
    print->setObjectName("NotePrint");
    QPushButton* pdf = buttons->addButton("Записка в PDF...", QDialogButtonBox::ActionRole);
    pdf->setObjectName("NotePdf");
    buttons->addButton(QDialogButtonBox::Close);
    column->addWidget(buttons);

    connect(list_, &QListWidget::currentRowChanged, this, [this] { showCurrent(); });
    connect(preview, &QPushButton::clicked, this, [this] { report_.previewNote(this); });
    connect(print, &QPushButton::clicked, this, [this] { report_.printNote(this); });
    connect(pdf, &QPushButton::clicked, this, [this] { savePdf(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    // every edit, undo and open: the view shows the run that produced the boxes
    listener_ = session_.addListener([this](const CommitResult&) {
        if (isVisible())
            refresh();
    });
    refresh();
}

CalculationView::~CalculationView() {
    session_.removeListener(listener_);
}

CalculationView* CalculationView::install(QMainWindow& window, Session& session,
                                          CalcReport& report) {
    auto* view = new CalculationView(session, report, &window);
    auto* show = new QAction("&Расчет", &window);
    show->setObjectName("ToolsCalculation");
    show->setShortcut(QKeySequence("F9"));
    show->setStatusTip("Как получен каждый теплоприток: формула, исходные данные, результат");
    connect(show, &QAction::triggered, view, [view] { view->showGain(1); });
    auto* note = new QAction("Расчетная записка", &window);
    note->setObjectName("FileNote");
    note->setStatusTip("Расчетная записка: каждый шаг расчета на листах A4");
    connect(note, &QAction::triggered, view, [&report, &window] { report.previewNote(&window); });
    if (QMenu* service = menuTitled(window, "С&ервис"))
        service->addAction(show);
    else
        window.addAction(show);
    if (QMenu* file = menuTitled(window, "&Файл")) {
        // after "Печатать"
        const QList<QAction*> items = file->actions();
        QAction* before = nullptr;
        for (int i = 0; i + 1 < items.size(); ++i)
            if (items[i]->objectName() == "FilePrint1")
                before = items[i + 1];
        file->insertAction(before, note);
    }
    // the session may outlive the window and its actions
    auto enable = [show = QPointer<QAction>(show), note = QPointer<QAction>(note), &session] {
        for (QAction* a : {show.data(), note.data()})
            if (a)
                a->setEnabled(session.isOpen());
    };
    session.addListener([enable](const CommitResult&) { enable(); });
    enable();
    // a double click on a gain's box opens its step
    if (auto* results = window.findChild<ResultsPanel*>("ResultsPanel"))
        connect(results, &ResultsPanel::explainRequested, view, &CalculationView::showGain);
    return view;
}

void CalculationView::showGain(int n) {
    if (!session_.isOpen())
        return;
    refresh();
    const int row = rowOf(session_, n);
    if (row >= 0)
        list_->setCurrentRow(row);
    show();
    raise();
    activateWindow();
}

void CalculationView::refresh() {
    const int current = std::max(0, list_->currentRow());
    const auto& steps = session_.results().steps;
    {
        const QSignalBlocker block(list_);
        list_->clear();
        for (const CalcStep& s : steps) {
            QString item = QString::fromStdString(CalcNoteText::heading(s)) + "\n    " +
                           QString::fromStdString(CalcNoteText::result(s));
            list_->addItem(item);
        }
        if (!steps.empty())
            list_->setCurrentRow(std::min(current, static_cast<int>(steps.size()) - 1));
    }
    QStringList lines;
    for (const std::string& w : session_.warnings())
        lines << QString::fromStdString(w);
    if (!session_.results().error.empty())
        lines << "Расчет остановлен: " + QString::fromStdString(session_.results().error);
    warnings_->setText(lines.join("\n"));
    warnings_->setVisible(!lines.isEmpty());
    showCurrent();
}

void CalculationView::showCurrent() {
    const auto& steps = session_.results().steps;
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(steps.size())) {
        text_->clear();
        return;
    }
    // an edit refreshes the step in place: the reader keeps the place
    const int scroll = text_->verticalScrollBar()->value();
    text_->setHtml(stepHtml(steps[static_cast<size_t>(row)]));
    text_->verticalScrollBar()->setValue(scroll);
}

QString CalculationView::stepHtml(const CalcStep& step) {
    QString h;
    h += "<h3>" + esc(CalcNoteText::heading(step)) + "</h3>";
    h += "<p><i>" + esc(step.formula).replace("\n", "<br>") + "</i></p>";
    const QString table = "<table border='1' cellspacing='0' cellpadding='3' width='100%'>";
    if (!step.inputs.empty()) {
        h += "<p><b>Исходные данные</b></p>" + table +
             "<tr><th align='left'>Величина</th><th align='left'>Поле</th>"
             "<th align='right'>Значение</th><th align='left'>Источник</th></tr>";
        for (const StepInput& in : step.inputs)
            h += "<tr><td>" + esc(in.caption) + "</td><td>" + esc(in.name) +
                 "</td><td align='right'>" + esc(CalcNoteText::inputValue(in)) + "</td><td>" +
                 esc(in.source) + "</td></tr>";
        h += "</table>";
    }
    if (!step.rows.empty()) {
        h += "<p><b>Поверхности</b></p>" + table + "<tr><th align='left'>Поверхность</th>";
        for (const StepValue& v : step.rows.front().values)
            h += "<th align='right'>" + esc(v.caption + ", " + v.unit) + "</th>";
        h += "</tr>";
        for (const StepRow& r : step.rows) {
            h += "<tr><td>" + esc(r.caption) + "</td>";
            for (const StepValue& v : r.values)
                h += "<td align='right'>" + esc(CalcNoteText::number(v.number, {})) + "</td>";
            h += "</tr>";
        }
        h += "</table>";
    }
    if (!step.values.empty()) {
        h += "<p><b>Промежуточные значения</b></p>" + table;
        for (const StepValue& v : step.values)
            h += "<tr><td>" + esc(v.caption) + "</td><td align='right'>" +
                 esc(CalcNoteText::number(v.number, v.unit)) + "</td></tr>";
        h += "</table>";
    }
    h += "<p style='font-size:large'><b>Результат: " + esc(CalcNoteText::result(step)) + "</b></p>";
    return h;
}

void CalculationView::savePdf() {
    const QString path = QFileDialog::getSaveFileName(this, "Расчетная записка в PDF",
                                                      report_.notePdfName(), "PDF (*.pdf)");
    if (path.isEmpty())
        return;
    QString error;
    if (!report_.writeNotePdf(path, &error))
        QMessageBox::warning(this, "Расчетная записка", error);
}

} // namespace vorn
