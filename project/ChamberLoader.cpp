#include "project/ChamberLoader.h"

#include "calc/CalcResults.h"
#include "data/DataModule.h"
#include "data/WorkCopy.h"
#include "document/Session.h"
#include "selection/Selection.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace vorn {

namespace fs = std::filesystem;

ChamberLoader::ChamberLoader(std::string dataDir) : dataDir_(std::move(dataDir)) {}

ChamberLoader::~ChamberLoader() {
    if (session_)
        session_->closeCalculation();
}

void ChamberLoader::openReferences() {
    if (dm_)
        return;
    auto dm = std::make_unique<DataModule>();
    dm->setDataDir(dataDir_);
    std::string why;
    if (!dm->openReferenceTables(&why))
        throw std::runtime_error("Ошибка подключения справочников ! (" + dataDir_ + ": " + why +
                                 ")");
    dm_ = std::move(dm);
    session_ = std::make_unique<Session>(*dm_);
}

ChamberFigures ChamberLoader::load(const std::string& path) {
    openReferences();
    ChamberFigures f;
    std::error_code ec;
    if (!fs::is_regular_file(fs::u8path(path), ec)) {
        f.error = "файл не найден";
        return f;
    }
    std::string copyPath;
    try {
        // Opening a calculation writes its record (the rules, the ventilation rate, the
        // include boxes on close): each chamber is read from a private copy, as `vorn calc`
        // reads its file; the copy goes once the chamber is closed.
        const WorkCopy copy(path);
        copyPath = copy.path();
        // a session of its own for each chamber, as `vorn calc` has: the screen state a
        // calculation leaves (the option boxes, the walls box) would run the rules of the
        // next one as changes, and its figures would depend on the chamber read before
        session_ = std::make_unique<Session>(*dm_);
        try {
            session_->openCalculation(copy.path());
            f = figuresOf(*session_);
        } catch (...) {
            session_->closeCalculation();
            throw;
        }
        session_->closeCalculation();
    } catch (const std::exception& e) {
        // only the copy was open; the user's file was never touched, and the message
        // names it, not the copy
        f = ChamberFigures{};
        f.error = e.what();
        for (size_t at = copyPath.empty() ? std::string::npos : f.error.find(copyPath);
             at != std::string::npos; at = f.error.find(copyPath, at + path.size()))
            f.error.replace(at, copyPath.size(), path);
        return f;
    }
    return f;
}

ChamberFigures ChamberLoader::figuresOf(Session& session) {
    const Table& w = session.data().taWork;
    const CalcResults& r = session.results();
    ChamberFigures f;
    f.temperature = w.asDouble("OB_TEMKAM");
    f.regime = w.asString("OB_TERMR");
    f.volume = w.asDouble("ob_kamv");
    for (int n = 1; n <= 9; ++n)
        f.gains[static_cast<size_t>(n - 1)] = r.box(n);
    f.sumKw = r.box(10);
    f.requiredKw = r.box(11);
    f.system = w.asString("SIS");
    f.systemName = w.asString("OBR_NAIM");
    const int n = static_cast<int>(w.asDouble("KOLSYS"));
    f.systems = n >= 1 ? n : 1;
    f.systemKw = w.asDouble("PROIZSYS") / 1000;
    f.unit = w.asString("OBR_AGR");
    f.cooler = w.asString("OBR_VO");
    f.cabinet = w.asString("OBR_SHKAF");
    f.kit = w.asString("OBR_KMONT");
    f.executor = w.asString("OB_ISP");
    f.error = r.error;
    f.choiceFits = session.choiceFits();
    if (f.error.empty() && f.hasSystem())
        f.powerKw = powerOf(f.temperature, f.system, f.unit);
    return f;
}

// The chosen system's row: the catalogue of the chamber temperature, the row whose SIS the
// record holds (the record keeps the first six characters), the unit deciding between rows
// that share them.
std::optional<double> ChamberLoader::powerOf(double chamberTemp, const std::string& sis,
                                             const std::string& agr) {
    const CatalogueClass* cls = Selection::catalogueFor(chamberTemp);
    if (!cls)
        return std::nullopt;
    auto it = catalogues_.find(cls->file);
    if (it == catalogues_.end()) {
        std::vector<CatalogueRowPower> rows;
        try {
            Table t;
            t.setDatabaseName(dataDir_);
            t.setTableName(cls->file);
            t.setReadOnly(true);
            t.open();
            for (t.first(); !t.eof(); t.next())
                rows.push_back({t.asString("SIS"), t.asString("AGR"), t.asDouble("PPOT")});
            t.close();
        } catch (const std::exception&) {
            rows.clear(); // no catalogue: no power figure, the chamber is flagged
        }
        it = catalogues_.emplace(cls->file, std::move(rows)).first;
    }
    const CatalogueRowPower* best = nullptr;
    for (const CatalogueRowPower& row : it->second) {
        const bool same =
            equalsIgnoreCase(row.sis, sis) || equalsIgnoreCase(row.sis.substr(0, sis.size()), sis);
        if (!same)
            continue;
        if (equalsIgnoreCase(row.agr, agr))
            return row.ppot;
        if (!best)
            best = &row;
    }
    if (best)
        return best->ppot;
    return std::nullopt;
}

} // namespace vorn
