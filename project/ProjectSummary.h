#pragma once
// The figures of a project: per chamber its loads, chosen system and annual energy; the bill
// of materials by article with prices; the totals with VAT. Worked out from the chambers'
// figures, the price list and the offer's settings, without reading any file.
#include "project/ChamberLoader.h"
#include "project/ProjectFile.h"

#include <optional>
#include <string>
#include <vector>

namespace vorn {

class PriceList;

struct ChamberLine {
    ProjectChamber entry;
    std::string path; // the calculation file, resolved
    ChamberFigures figures;
    // Operating hours a day and annual energy (kWh, all qty chambers); none without a
    // chosen system whose power input is known.
    std::optional<double> hoursPerDay;
    std::optional<double> energyKwh;
    // Why the chamber is left out of the totals or has no energy figure; empty when neither.
    std::string flag;
    bool counted() const { return figures.error.empty(); }
};

struct MaterialLine {
    enum class Kind { Unit, Cooler, Cabinet, Kit };
    Kind kind = Kind::Unit;
    std::string article;
    std::string name; // the price list's name, or what the article is
    long qty = 0;
    std::optional<double> price; // per piece; none: "цена не указана"
    std::optional<double> sum;
};

struct ProjectTotals {
    double requiredKw = 0; // Σ qty × Qx
    double energyKwh = 0;
    std::optional<double> runningCost; // none while no tariff is set
    double equipment = 0;              // the priced lines
    double vat = 0;
    double total = 0;
    bool complete = true;
};

struct ProjectSummary {
    std::string projectPath;
    OfferSettings settings;
    std::vector<ChamberLine> chambers;
    std::vector<MaterialLine> materials;
    ProjectTotals totals;
    std::vector<std::string> warnings;
};

// Overrides of the project's settings for one run (--tariff, --vat).
struct SummaryOverrides {
    std::optional<double> tariff;
    std::optional<double> vatPercent;
};

class ProjectSummaries {
public:
    static constexpr const char* kNoPrice = "цена не указана";
    static constexpr const char* kEstimateNote =
        "Годовое энергопотребление и стоимость электроэнергии - оценка при расчетных условиях: "
        "верхняя граница, большую часть года наружный воздух холоднее расчетного.";

    // Operating hours a day: t = min(24, 24·Q / (n·Qs)), 0 for a load that is not positive.
    static double hoursPerDay(double sumKw, int systems, double systemKw);
    // E = 365·n·P·t·qty, kWh a year.
    static double annualEnergy(double sumKw, int systems, double systemKw, double powerKw, int qty);
    // Money rounded to kopecks, half away from zero.
    static double money(double value);

    // figures[i] belongs to project.chambers[i].
    static ProjectSummary summarize(const Project& project,
                                    const std::vector<ChamberFigures>& figures,
                                    const PriceList& prices, const SummaryOverrides& overrides);

    // Loads the project, every chamber (through loader) and the price list of dataDir.
    // Throws as ProjectFile::load and ChamberLoader::load do.
    static ProjectSummary evaluate(const std::string& projectPath, const std::string& dataDir,
                                   const SummaryOverrides& overrides = {});

    static const char* kindCaption(MaterialLine::Kind kind);
};

} // namespace vorn
