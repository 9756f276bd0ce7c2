#include "app/Session.h"

#include "calc/Recalculate.h"
#include "data/DataModule.h"

#include <cmath>

namespace vorn {

namespace {
const char* const kDefaultCategory = "Мясные";

void editRecord(Table& t) {
    if (t.state() == Table::State::Browse)
        t.edit();
}

// "Store the record": write a pending change and leave edit state.
void storeRecord(Table& t) {
    if (t.state() != Table::State::Browse)
        t.post();
}

bool findByName(Table& t, const std::string& name) {
    if (name.empty())
        return false;
    return t.locate("NAIM", Value(name));
}

Value currentName(const Table& t) {
    return t.eof() ? Value() : t.value("NAIM");
}

// The product filter for a category: rows whose TIP is exactly that text. A quote inside
// the text is doubled, so a typed "'" is a literal character (matching no category)
// instead of ending the literal and breaking the expression.
std::string categoryFilter(const std::string& category) {
    std::string literal;
    for (char c : category) {
        literal += c;
        if (c == '\'')
            literal += '\'';
    }
    return "TIP='" + literal + "'";
}
} // namespace

Session::Session(DataModule& dm) : dm_(dm) {
    dm_.taWork.afterOpen = [this](Table&) { openSteps(); };
    dm_.taWork.beforeClose = [this](Table&) { closeSteps(); };
}

Session::~Session() {
    try {
        closeCalculation();
    } catch (...) {
        // at the end there is no one left to tell; the table layer already flushed posts
    }
    dm_.taWork.afterOpen = nullptr;
    dm_.taWork.beforeClose = nullptr;
}

bool Session::isOpen() const {
    return dm_.taWork.isOpen();
}

void Session::openCalculation(const std::string& path, OpenOrder order) {
    selectionOpened = false;
    closeCalculation();
    Table& work = dm_.taWork;
    work.setDatabaseName("");
    work.setTableName(path);
    path_ = path;
    results_.error.clear();
    opening_ = true;
    try {
        work.open(); // the open steps run in the afterOpen hook
        if (order == OpenOrder::OptionBoxThenCategory) {
            optionBoxRule();
            categoryRule();
        } else if (order == OpenOrder::CategoryThenOptionBox) {
            results_.resetGainBoxes();
            categoryRule();
            optionBoxRule();
        }
    } catch (...) {
        opening_ = false;
        if (work.isOpen()) {
            // a half-opened file is closed without writing the include boxes into it
            auto hook = std::move(work.beforeClose);
            work.beforeClose = nullptr;
            try {
                work.close();
            } catch (...) {
            }
            work.beforeClose = std::move(hook);
        }
        throw;
    }
    opening_ = false;
}

void Session::closeCalculation() {
    Table& work = dm_.taWork;
    if (!work.isOpen())
        return;
    work.first(); // posts a pending change
    work.close(); // the close steps run in the beforeClose hook
}

void Session::recalculate() {
    runRecalculation();
}

void Session::includeBoxClick(int n, bool checked) {
    if (n < 1 || n > static_cast<int>(screen_.includeBoxes.size()))
        return;
    screen_.includeBoxes[static_cast<size_t>(n - 1)] = checked;
    runRecalculation();
}

void Session::runRecalculation() {
    results_.error.clear();
    try {
        vorn::recalculate(dm_, screen_, results_, [this] { currencyEdit11Change(); });
    } catch (const std::exception& e) {
        results_.error = e.what();
        // While a calculation is being opened the run's failure does not fail the open:
        // the file is a sound calculation, only its numbers cannot be evaluated.
        if (!opening_)
            throw;
    }
}

void Session::openSteps() {
    Table& work = dm_.taWork;
    // The bound box "По первой строке" shows the record; turning on, it copies row 1.
    const bool ident = work.asBool("ST_IDENT");
    if (ident != screen_.identShown) {
        screen_.identShown = ident;
        if (ident)
            wallsRule();
    }
    regimeFromRecord();
    loadProductAndCategory();
    if (refillExecutors)
        refillExecutors();
    for (int i = 0; i < 9; ++i)
        screen_.includeBoxes[static_cast<size_t>(i)] = work.asBool("CH" + std::to_string(i + 1));
}

void Session::closeSteps() {
    Table& work = dm_.taWork;
    editRecord(work);
    for (int i = 0; i < 9; ++i)
        work.setValue("CH" + std::to_string(i + 1),
                      Value(screen_.includeBoxes[static_cast<size_t>(i)]));
    work.post();
}

void Session::loadProductAndCategory() {
    Table& work = dm_.taWork;
    Table& prod = dm_.taProd;
    prod.setFiltered(false);
    prod.first();
    if (findByName(prod, work.asString("TE_PTIP"))) {
        screen_.category = prod.asString("TIP");
    } else {
        screen_.category = kDefaultCategory;
        prod.first();
        editRecord(work);
        work.setValue("TE_PTIP", currentName(prod));
    }
    positionTara();
    // Stacking height: the chamber height less 0.5 m, in fixed point with four decimals.
    editRecord(work);
    const double height = work.asDouble("OB_KAMVS");
    double stacking = 0;
    if (!(height < 0.5))
        stacking = (std::nearbyint(height * 10000) - 5000) / 10000;
    work.setValue("IN_VSHTAB", Value(stacking));
    work.first(); // posts
}

void Session::positionTara() {
    findByName(dm_.taTara, dm_.taWork.asString("TE_TTIP"));
}

void Session::regimeFromRecord() {
    const int index = dm_.taWork.asString("OB_TERMR") == ScreenState::kStorage ? 0 : 1;
    if (index == screen_.regimeIndex)
        return;
    screen_.regimeIndex = index;
    regimeRule();
}

void Session::regimeRule() {
    Table& work = dm_.taWork;
    editRecord(work);
    work.setValue("OB_TERMR", Value(screen_.regimeText()));
    screen_.applyRegimeCaptions();
    runRecalculation();
}

void Session::wallsRule() {
    Table& work = dm_.taWork;
    if (screen_.identShown) {
        for (int n = 2; n <= 6; ++n) {
            editRecord(work);
            const std::string s = std::to_string(n);
            work.setValue("ST_M" + s, work.value("ST_M1"));
            work.setValue("ST_MT" + s, work.value("ST_MT1"));
            work.setValue("ST_IZ" + s, work.value("ST_IZ1"));
            work.setValue("ST_IZT" + s, work.value("ST_IZT1"));
            work.setValue("ST_TEM" + s, work.value("ST_TEM1"));
        }
    }
    runRecalculation();
}

void Session::optionBoxRule() {
    Table& work = dm_.taWork;
    if (!work.isOpen())
        return;
    screen_.vnKrEnabled = work.asBool("VN_FLAG");
    const bool refined = work.asBool("VO_UTOCH");
    screen_.voKolvoEnabled = refined;
    screen_.voPowEnabled = refined;
    screen_.voProcEnabled = !refined;
    if (work.asBool("OS_REC")) {
        // the recommended lighting power, W/m²
        screen_.osPowEnabled = false;
        editRecord(work);
        work.setValue("OS_POW", Value(5));
    } else {
        screen_.osPowEnabled = true;
    }
    runRecalculation();
}

void Session::categoryRule() {
    Table& work = dm_.taWork;
    Table& prod = dm_.taProd;
    prod.setFiltered(false);
    prod.setFilter(categoryFilter(screen_.category));
    prod.setFiltered(true);
    if (!findByName(prod, work.asString("TE_PTIP"))) {
        prod.first();
        editRecord(work);
        work.setValue("TE_PTIP", currentName(prod));
        storeRecord(work);
    }
    editRecord(work);
    storeRecord(work);
    productRule();
}

void Session::productRule() {
    Table& work = dm_.taWork;
    if (!work.isOpen()) {
        if (showMessage)
            showMessage("База не открылась !");
        return;
    }
    Table& prod = dm_.taProd;
    if (!findByName(prod, work.asString("TE_PTIP"))) {
        prod.first();
        editRecord(work);
        work.setValue("TE_PTIP", currentName(prod));
        storeRecord(work);
    }
    storeRecord(work);
    editRecord(work);
    positionTara();
    runRecalculation();
}

void Session::currencyEdit11Change() {
    if (!selectionOpened)
        return;
    Table& work = dm_.taWork;
    work.first();
    editRecord(work);
    for (const char* f : {"OBR_NAIM", "OBR_AGR", "OBR_VO", "OBR_SHKAF", "OBR_KMONT"})
        work.setValue(f, Value(""));
    work.setValue("PROIZSYS", Value(0));
}

} // namespace vorn
