#pragma once
// Reads the figures of one chamber of a project: its calculation opened and recalculated the
// way `vorn calc` does it, from a private copy, so the chamber's file is never written; and
// the power input of its chosen system from the equipment catalogue.
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

class CalcResults;
class DataModule;
class Session;
class Table;

struct ChamberFigures {
    std::string error;             // the file is missing or damaged, or its recalculation stopped
    double temperature = 0;        // OB_TEMKAM, °C
    std::string regime;            // OB_TERMR
    double volume = 0;             // m³
    std::array<double, 9> gains{}; // boxes 1..9, kW
    double sumKw = 0;              // box 10, the sum of the gains
    double requiredKw = 0;         // box 11, Qx with safety factor and working time
    std::string system;            // SIS
    std::string systemName;        // OBR_NAIM
    int systems = 1;               // KOLSYS, an empty field counting one
    double systemKw = 0;           // PROIZSYS / 1000: capacity of one system
    std::optional<double> powerKw; // the catalogue's PPOT of the system; none: not found
    // The articles of the chosen system: unit, air cooler, cabinet, installer's kit.
    std::string unit, cooler, cabinet, kit;
    std::string executor; // OB_ISP
    // The chosen system still suits the required capacity (no longer, after edits that
    // changed the load since it was chosen).
    bool choiceFits = true;

    bool hasSystem() const { return !system.empty() && systemKw > 0; }
};

class ChamberLoader {
public:
    // The reference tables and catalogues are read from dataDir, once for all chambers.
    explicit ChamberLoader(std::string dataDir);
    ~ChamberLoader();
    ChamberLoader(const ChamberLoader&) = delete;
    ChamberLoader& operator=(const ChamberLoader&) = delete;

    // Throws std::runtime_error when the reference tables do not open ("Ошибка подключения
    // справочников !"); a chamber that cannot be read comes back with its error instead.
    ChamberFigures load(const std::string& path);
    // The figures of a calculation open elsewhere (the main window's), as it stands now.
    ChamberFigures figuresOf(Session& session);

private:
    struct CatalogueRowPower {
        std::string sis;
        std::string agr;
        double ppot = 0;
    };
    void openReferences();
    std::optional<double> powerOf(double chamberTemp, const std::string& sis,
                                  const std::string& agr);

    std::string dataDir_;
    std::unique_ptr<DataModule> dm_;
    std::unique_ptr<Session> session_;
    std::map<std::string, std::vector<CatalogueRowPower>> catalogues_;
};

} // namespace vorn
