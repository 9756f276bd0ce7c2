#include "desktop/project/ProjectWindow.h"
#include "desktop/widgets/MessageBoxes.h"

#include "desktop/widgets/DocumentsFolder.h"
#include "calc/NumberFormat.h"
#include "data/DataModule.h"
#include "data/Version.h"
#include "document/Session.h"
#include "project/OfferLayout.h"
#include "project/OfferOutput.h"
#include "project/OfferXlsx.h"
#include "project/PriceList.h"
#include "reports/HeaderLines.h"
#include "desktop/reports/ReportPreviewDialog.h"
#include "desktop/widgets/StackedBarChart.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <filesystem>

namespace vorn {

namespace {
QString u8(const std::string& s) {
    return QString::fromStdString(s);
}

const char* const kColumns[] = {"Примечание", "t, °С",   "Режим",  "V, м3",  "Qсум, кВт",
                                "Qx, кВт",    "Система", "Систем", "Кол-во", "Энергия, кВт·ч/год"};
// The gains as the chart's legend names them, in the order of the result boxes.
const char* const kGainNames[] = {"Qстен", "Qвен",  "Qинф", "Qпрод", "Qдых",
                                  "Qосв",  "Qперс", "Qптс", "Qво"};
// Nine colours told apart at a glance, also by readers with red-green colour blindness
// (the Okabe-Ito palette and two darker shades).
const QRgb kGainColours[] = {0x0072B2, 0xE69F00, 0x56B4E9, 0x009E73, 0xF0E442,
                             0xD55E00, 0xCC79A7, 0x555555, 0x8C564B};

QString text2(double v) {
    return u8(formatMask2(v));
}

bool samePath(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code ec;
    return fs::equivalent(fs::u8path(a), fs::u8path(b), ec);
}
} // namespace

ProjectWindow::ProjectWindow(Session& session, const QString& dataDir, QWidget* parent)
    : QMainWindow(parent, Qt::Window), session_(session), dataDir_(dataDir) {
    setObjectName("fmProject");
    setWindowTitle("Проект");
    resize(1240, 600);

    auto make = [this](const char* object, const QString& text, void (ProjectWindow::*slot)()) {
        auto* a = new QAction(text, this);
        a->setObjectName(object);
        connect(a, &QAction::triggered, this, slot);
        actions_ << a;
        return a;
    };
    make("ProjectNew", "Новый проект…", &ProjectWindow::newProject);
    make("ProjectOpen", "Открыть проект…", &ProjectWindow::openProject);
    make("ProjectAddCurrent", "Добавить текущий расчет", &ProjectWindow::addCurrent);
    make("ProjectAdd", "Добавить расчет…", &ProjectWindow::addCalculation);
    make("ProjectOffer", "Коммерческое предложение…", &ProjectWindow::offer);
    remove_ = new QAction("Убрать камеру из проекта", this);
    remove_->setObjectName("ProjectRemove");
    connect(remove_, &QAction::triggered, this, [this] {
        if (table_->currentRow() >= 0)
            removeChamber(table_->currentRow());
    });
    QMenu* menu = menuBar()->addMenu("&Проект");
    menu->addActions(actions_);
    menu->addSeparator();
    menu->addAction(remove_);

    table_ = new QTableWidget(this);
    table_->setObjectName("ChamberTable");
    table_->setColumnCount(static_cast<int>(std::size(kColumns)));
    QStringList heads;
    for (const char* c : kColumns)
        heads << c;
    table_->setHorizontalHeaderLabels(heads);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    connect(table_, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { openChamber(row); });

    chart_ = new StackedBarChart(this);
    chart_->setObjectName("GainsChart");
    chart_->setMinimumWidth(380);
    chart_->setTitle("Теплопритоки камер, кВт");
    chart_->setAxisTitles("Камера (номер строки)", "кВт");
    QStringList gains;
    std::vector<QColor> colours;
    for (size_t g = 0; g < std::size(kGainNames); ++g) {
        gains << kGainNames[g];
        colours.emplace_back(kGainColours[g]);
    }
    chart_->setSeries(gains, colours);

    auto* split = new QSplitter(this);
    split->addWidget(table_);
    split->addWidget(chart_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({760, 440});
    setCentralWidget(split);
    status_ = new QLabel(this);
    status_->setObjectName("Totals");
    statusBar()->addWidget(status_, 1);

    pickPath = [this](const QString& title, const QString& filter, bool save) {
        const QString folder =
            path_.isEmpty() ? documentsFolder() : QFileInfo(path_).absolutePath();
        // a new project never replaces a file (it is refused with a word), so no question
        const auto options =
            title == "Новый проект" ? QFileDialog::DontConfirmOverwrite : QFileDialog::Options();
        return save ? QFileDialog::getSaveFileName(this, title, folder, filter, nullptr, options)
                    : QFileDialog::getOpenFileName(this, title, folder, filter);
    };
    showMessage = [this](const QString& text) {
        showMessageBox(this, "Vorn", text, MessageKind::Warning);
    };
    showProject();
    // every change of the calculation open in the main window shows in its row at once
    listener_ = session_.addListener([this](const CommitResult&) {
        if (isVisible() && !path_.isEmpty())
            refreshOpenChamber();
    });
}

ProjectWindow::~ProjectWindow() {
    session_.removeListener(listener_);
}

QList<QAction*> ProjectWindow::menuActions() const {
    return actions_;
}

bool ProjectWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && !path_.isEmpty())
        refresh();
    return QMainWindow::event(e);
}


bool ProjectWindow::newProjectAt(const QString& path) {
    try {
        OfferSettings s;
        ProjectFile::create(path.toStdString(), s);
    } catch (const std::exception& e) {
        showMessage("Проект не создан: " + u8(e.what()));
        return false;
    }
    return openProjectAt(path);
}

bool ProjectWindow::openProjectAt(const QString& path) {
    const QString old = path_;
    path_ = path;
    try {
        ProjectFile::load(path.toStdString());
    } catch (const std::exception& e) {
        path_ = old; // the window keeps what it showed
        showMessage("Проект не может быть открыт ! " + u8(e.what()));
        return false;
    }
    refresh();
    show();
    raise();
    activateWindow();
    emit projectOpened(path);
    return true;
}

bool ProjectWindow::addCalculationAt(const QString& path) {
    if (!ensureProject())
        return false;
    try {
        ProjectFile::addChamber(path_.toStdString(), path.toStdString(), 1);
    } catch (const std::exception& e) {
        showMessage("Расчет не добавлен: " + u8(e.what()));
        return false;
    }
    refresh();
    show();
    return true;
}

bool ProjectWindow::removeChamber(int row) {
    try {
        ProjectFile::removeChamber(path_.toStdString(), row + 1);
    } catch (const std::exception& e) {
        showMessage("Камера не удалена: " + u8(e.what()));
        return false;
    }
    refresh();
    return true;
}

void ProjectWindow::refresh() {
    if (path_.isEmpty())
        return;
    try {
        project_ = ProjectFile::load(path_.toStdString());
        if (!loader_)
            loader_ = std::make_unique<ChamberLoader>(dataDir_.toStdString());
        figures_.clear();
        for (size_t i = 0; i < project_.chambers.size(); ++i) {
            const std::string file = project_.chamberPath(i);
            if (session_.isOpen() && samePath(file, session_.path()))
                figures_.push_back(loader_->figuresOf(session_));
            else
                figures_.push_back(loader_->load(file));
        }
        summary_ = ProjectSummaries::summarize(project_, figures_,
                                               PriceList::load(dataDir_.toStdString()), {});
    } catch (const std::exception& e) {
        project_ = Project{};
        figures_.clear();
        summary_ = ProjectSummary{};
        summary_.projectPath = path_.toStdString();
        summary_.warnings.push_back(e.what());
    }
    showProject();
}

// After an edit in the main window only the open chamber is read again.
void ProjectWindow::refreshOpenChamber() {
    if (path_.isEmpty() || !session_.isOpen() || !loader_ ||
        figures_.size() != project_.chambers.size())
        return;
    bool changed = false;
    for (size_t i = 0; i < project_.chambers.size(); ++i)
        if (samePath(project_.chamberPath(i), session_.path())) {
            figures_[i] = loader_->figuresOf(session_);
            changed = true;
        }
    if (!changed)
        return;
    summary_ = ProjectSummaries::summarize(project_, figures_,
                                           PriceList::load(dataDir_.toStdString()), {});
    showProject();
}

void ProjectWindow::showProject() {
    setWindowTitle(path_.isEmpty() ? QString("Проект") : "Проект - " + QFileInfo(path_).fileName());
    remove_->setEnabled(!path_.isEmpty());
    actions_[4]->setEnabled(!path_.isEmpty());
    fillTable();
    fillChart();
    const ProjectTotals& t = summary_.totals;
    const QString cur = u8(summary_.settings.currency);
    QString line = QString("Оборудование: %1 %2, НДС: %3 %2, всего: %4 %2")
                       .arg(u8(formatGrouped2(t.equipment)), cur, u8(formatGrouped2(t.vat)),
                            u8(formatGrouped2(t.total)));
    if (!t.complete)
        line += " (итоги неполные)";
    if (!summary_.warnings.empty())
        line += " - " + u8(summary_.warnings.front());
    status_->setText(path_.isEmpty() ? QString() : line);
    status_->setToolTip(u8([this] {
        std::string all;
        for (const std::string& w : summary_.warnings)
            all += (all.empty() ? "" : "\n") + w;
        return all;
    }()));
}

void ProjectWindow::fillTable() {
    const auto& rows = summary_.chambers;
    table_->setRowCount(static_cast<int>(rows.size()) + (path_.isEmpty() ? 0 : 1));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i)
        table_->setVerticalHeaderItem(i, new QTableWidgetItem(QString::number(i + 1)));
    auto put = [this](int r, int c, const QString& text, bool number) {
        auto* item = new QTableWidgetItem(text);
        if (number)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(r, c, item);
        return item;
    };
    int r = 0;
    long qty = 0;
    for (const ChamberLine& c : rows) {
        const ChamberFigures& f = c.figures;
        put(r, 0, u8(OfferLayout::chamberName(c)), false)->setToolTip(u8(c.path));
        put(r, 8, QString::number(c.entry.qty), true);
        qty += c.entry.qty;
        if (!c.counted()) {
            for (int k : {1, 2, 3, 4, 5, 6, 7, 9})
                put(r, k, k == 2 ? "Ошибка: " + u8(c.flag) : QString(), false);
            for (int k = 0; k < table_->columnCount(); ++k)
                table_->item(r, k)->setForeground(Qt::red);
            table_->item(r, 2)->setToolTip(u8(c.flag));
            ++r;
            continue;
        }
        put(r, 1, u8(formatMask0(f.temperature)), true);
        put(r, 2, u8(f.regime), false);
        put(r, 3, text2(f.volume), true);
        put(r, 4, text2(f.sumKw), true);
        put(r, 5, text2(f.requiredKw), true);
        put(r, 6, f.system.empty() ? QString("не выбрана") : u8(f.system), false)
            ->setToolTip(u8(f.systemName));
        put(r, 7, QString::number(f.systems), true);
        QTableWidgetItem* e = put(
            r, 9, c.energyKwh ? u8(OfferLayout::wholeText(*c.energyKwh)) : QString("нет"), true);
        if (!c.flag.empty()) {
            e->setToolTip(u8(c.flag));
            e->setForeground(QColor(0xB0, 0x60, 0x00));
        }
        ++r;
    }
    if (path_.isEmpty())
        return;
    QFont bold = table_->font();
    bold.setBold(true);
    // the row numbers are the chart's categories; the totals row has none
    table_->setVerticalHeaderItem(r, new QTableWidgetItem(QString()));
    put(r, 0, "Итого", false);
    put(r, 5, text2(summary_.totals.requiredKw), true)->setToolTip("Σ количество × Qx");
    put(r, 8, QString::number(qty), true);
    put(r, 9, u8(OfferLayout::wholeText(summary_.totals.energyKwh)), true);
    for (int k = 0; k < table_->columnCount(); ++k) {
        if (!table_->item(r, k))
            put(r, k, QString(), false);
        table_->item(r, k)->setFont(bold);
        table_->item(r, k)->setFlags(Qt::ItemIsEnabled);
    }
}

void ProjectWindow::fillChart() {
    QStringList categories;
    std::vector<std::vector<double>> values(std::size(kGainNames));
    for (size_t i = 0; i < summary_.chambers.size(); ++i) {
        const ChamberLine& c = summary_.chambers[i];
        categories << QString::number(i + 1);
        for (size_t g = 0; g < values.size(); ++g)
            values[g].push_back(c.counted() ? c.figures.gains[g] : 0.0);
    }
    chart_->setData(categories, values);
}

void ProjectWindow::openChamber(int row) {
    if (row < 0 || row >= static_cast<int>(summary_.chambers.size()))
        return;
    const ChamberLine& c = summary_.chambers[static_cast<size_t>(row)];
    if (!c.counted() && c.flag == "файл не найден") {
        showMessage("Файл расчета не найден: " + u8(c.path));
        return;
    }
    emit openCalculationRequested(u8(c.path));
}

bool ProjectWindow::ensureProject() {
    if (!path_.isEmpty())
        return true;
    newProject();
    return !path_.isEmpty();
}

void ProjectWindow::newProject() {
    QString path = pickPath("Новый проект", "Проект Vorn (*.vrp)", true);
    if (path.isEmpty())
        return;
    if (!path.endsWith(".vrp", Qt::CaseInsensitive))
        path += ".vrp";
    newProjectAt(path);
}

void ProjectWindow::openProject() {
    const QString path = pickPath("Открыть проект", "Проект Vorn (*.vrp)", false);
    if (!path.isEmpty())
        openProjectAt(path);
}

void ProjectWindow::addCurrent() {
    if (!session_.isOpen()) {
        showMessage("Нет открытого расчета");
        return;
    }
    addCalculationAt(u8(session_.path()));
}

void ProjectWindow::addCalculation() {
    if (!ensureProject())
        return;
    const QString path = pickPath("Добавить расчет", "Расчет Vorn (*.vrn)", false);
    if (!path.isEmpty())
        addCalculationAt(path);
}

bool ProjectWindow::saveXlsxAt(const QString& path) {
    OfferSource src{HeaderLines::read(QCoreApplication::applicationDirPath().toStdString()),
                    kVersionLine, summary_};
    std::string error;
    if (OfferXlsx::write(src, path.toStdString(), &error))
        return true;
    showMessage(u8(error));
    return false;
}

// The offer's settings, kept in the project, then the preview or the workbook.
void ProjectWindow::offer() {
    if (path_.isEmpty())
        return;
    refresh();
    QDialog dlg(this);
    dlg.setObjectName("OfferDialog");
    dlg.setWindowTitle("Коммерческое предложение");
    auto* form = new QFormLayout(&dlg);
    const OfferSettings s = summary_.settings;
    auto* client = new QLineEdit(u8(s.client), &dlg);
    auto* number = new QLineEdit(u8(s.number), &dlg);
    auto* date = new QDateEdit(&dlg);
    date->setCalendarPopup(true);
    date->setDisplayFormat("dd.MM.yyyy");
    date->setDate(s.date.year ? QDate(s.date.year, s.date.month, s.date.day)
                              : QDate::currentDate());
    auto* vat = new QDoubleSpinBox(&dlg);
    vat->setRange(0, 100);
    vat->setSuffix(" %");
    vat->setValue(s.vatPercent);
    auto* tariff = new QDoubleSpinBox(&dlg);
    tariff->setRange(0, 99999);
    tariff->setDecimals(4);
    tariff->setValue(s.tariff);
    auto* currency = new QLineEdit(u8(s.currency), &dlg);
    auto* executor = new QLineEdit(u8(s.executor), &dlg);
    executor->setPlaceholderText(u8(OfferLayout::executor(summary_)));
    form->addRow("Клиент", client);
    form->addRow("Номер предложения", number);
    form->addRow("Дата", date);
    form->addRow("Ставка НДС", vat);
    form->addRow("Тариф за кВт·ч", tariff);
    form->addRow("Валюта", currency);
    form->addRow("Исполнитель", executor);
    auto* buttons = new QDialogButtonBox(&dlg);
    QPushButton* preview = buttons->addButton("Просмотр и печать…", QDialogButtonBox::ActionRole);
    QPushButton* xlsx = buttons->addButton("Сохранить в Excel…", QDialogButtonBox::ActionRole);
    buttons->addButton("Закрыть", QDialogButtonBox::RejectRole);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);

    auto store = [&] {
        OfferSettings n = summary_.settings;
        n.client = client->text().toStdString();
        n.number = number->text().toStdString();
        const QDate d = date->date();
        n.date = {d.year(), d.month(), d.day()};
        n.vatPercent = vat->value();
        n.tariff = tariff->value();
        n.currency = currency->text().toStdString();
        n.executor = executor->text().toStdString();
        try {
            ProjectFile::saveSettings(path_.toStdString(), n);
        } catch (const std::exception& e) {
            showMessage("Настройки предложения не сохранены: " + u8(e.what()));
            return false;
        }
        refresh();
        return true;
    };
    const QString base = QFileInfo(path_).absoluteDir().filePath(
        QFileInfo(path_).completeBaseName() + " - предложение");
    connect(preview, &QPushButton::clicked, &dlg, [&] {
        if (!store())
            return;
        const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
        ReportPreviewDialog view(
            [this, programDir] {
                return OfferLayout::layout(
                    {HeaderLines::read(programDir), std::string(kVersionLine), summary_});
            },
            base + ".pdf", &dlg);
        // the offer never replaces the project or one of its chambers
        view.pickPdfPath = [this, &view, pick = view.pickPdfPath](const QString& proposed) {
            QString path = pick(proposed);
            if (!path.isEmpty() && !path.endsWith(".pdf", Qt::CaseInsensitive))
                path += ".pdf";
            const std::string unfit = offerOutputProblem(path.toStdString(), summary_);
            if (path.isEmpty() || unfit.empty())
                return path;
            view.showMessage(QString::fromStdString(unfit));
            return QString();
        };
        view.exec();
    });
    connect(xlsx, &QPushButton::clicked, &dlg, [&] {
        if (!store())
            return;
        QString path = pickPath("Сохранить в Excel", "Книга Excel (*.xlsx)", true);
        if (path.isEmpty())
            return;
        if (!path.endsWith(".xlsx", Qt::CaseInsensitive))
            path += ".xlsx";
        saveXlsxAt(path);
    });
    dlg.exec();
}

std::vector<std::string> ProjectWindow::chamberFiles() const {
    std::vector<std::string> out;
    if (path_.isEmpty())
        return out;
    for (size_t i = 0; i < project_.chambers.size(); ++i)
        out.push_back(project_.chamberPath(i));
    return out;
}

} // namespace vorn
