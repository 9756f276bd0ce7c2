#include "project/ProjectSummary.h"

#include "calc/NumberFormat.h"
#include "data/Table.h"
#include "document/Session.h"
#include "project/PriceList.h"

#include <algorithm>
#include <cmath>

namespace vorn {

double ProjectSummaries::hoursPerDay(double sumKw, int systems, double systemKw) {
    if (!(sumKw > 0) || systems < 1 || !(systemKw > 0))
        return 0;
    return std::min(24.0, 24 * sumKw / (systems * systemKw));
}

double ProjectSummaries::annualEnergy(double sumKw, int systems, double systemKw, double powerKw,
                                      int qty) {
    return 365 * systems * powerKw * hoursPerDay(sumKw, systems, systemKw) * qty;
}

double ProjectSummaries::money(double value) {
    return roundBox(value);
}

const char* ProjectSummaries::kindCaption(MaterialLine::Kind kind) {
    switch (kind) {
    case MaterialLine::Kind::Unit:
        return "Агрегат (конденсатор)";
    case MaterialLine::Kind::Cooler:
        return "Воздухоохладитель";
    case MaterialLine::Kind::Cabinet:
        return "Шкаф управления";
    case MaterialLine::Kind::Kit:
        return "Набор монтажника";
    }
    return "";
}

ProjectSummary ProjectSummaries::summarize(const Project& project,
                                           const std::vector<ChamberFigures>& figures,
                                           const PriceList& prices,
                                           const SummaryOverrides& overrides) {
    ProjectSummary s;
    s.projectPath = project.path;
    s.settings = project.settings;
    if (overrides.tariff)
        s.settings.tariff = *overrides.tariff;
    if (overrides.vatPercent)
        s.settings.vatPercent = *overrides.vatPercent;
    ProjectTotals& t = s.totals;
    if (!prices.error().empty())
        s.warnings.push_back(prices.error());
    for (const std::string& article : prices.duplicates())
        s.warnings.push_back("Артикул «" + article +
                             "» встречается в прайс-листе несколько раз: его цена не взята");

    for (size_t i = 0; i < project.chambers.size(); ++i) {
        ChamberLine line;
        line.entry = project.chambers[i];
        line.path = project.chamberPath(i);
        if (i < figures.size())
            line.figures = figures[i];
        else
            line.figures.error = "не прочитан";
        const ChamberFigures& f = line.figures;
        const std::string name = line.entry.file;
        if (!f.error.empty()) {
            line.flag = f.error;
            s.warnings.push_back("Камера " + std::to_string(i + 1) + " (" + name +
                                 ") не учтена в итогах: " + f.error);
            t.complete = false;
            s.chambers.push_back(std::move(line));
            continue;
        }
        t.requiredKw += line.entry.qty * f.requiredKw;
        if (!f.hasSystem()) {
            line.flag = "система не выбрана";
        } else if (!f.powerKw) {
            line.flag = "система не найдена в каталоге";
        } else {
            line.hoursPerDay = hoursPerDay(f.sumKw, f.systems, f.systemKw);
            // whole kWh: the column adds up to the total shown
            line.energyKwh = std::round(
                annualEnergy(f.sumKw, f.systems, f.systemKw, *f.powerKw, line.entry.qty));
            t.energyKwh += *line.energyKwh;
        }
        if (f.hasSystem() && !f.choiceFits)
            s.warnings.push_back("Камера " + std::to_string(i + 1) + " (" + name +
                                 "): выбранная система " + kChoiceMisfit);
        if (!line.flag.empty()) {
            s.warnings.push_back("Камера " + std::to_string(i + 1) + " (" + name +
                                 "): " + line.flag + ", энергопотребление не оценено");
            t.complete = false;
        }
        // The chosen equipment, n systems in each of qty chambers.
        const long pieces = static_cast<long>(f.systems) * line.entry.qty;
        const std::pair<MaterialLine::Kind, const std::string*> parts[] = {
            {MaterialLine::Kind::Unit, &f.unit},
            {MaterialLine::Kind::Cooler, &f.cooler},
            {MaterialLine::Kind::Cabinet, &f.cabinet},
            {MaterialLine::Kind::Kit, &f.kit}};
        for (const auto& part : parts) {
            const MaterialLine::Kind kind = part.first;
            const std::string* article = part.second;
            if (article->empty())
                continue;
            auto it =
                std::find_if(s.materials.begin(), s.materials.end(), [&](const MaterialLine& m) {
                    return equalsIgnoreCase(m.article, *article);
                });
            if (it == s.materials.end()) {
                MaterialLine m;
                m.kind = kind;
                m.article = *article;
                s.materials.push_back(m);
                it = s.materials.end() - 1;
            }
            it->qty += pieces;
        }
        s.chambers.push_back(std::move(line));
    }

    // Units first, then coolers, cabinets and kits, each in order of appearance.
    std::stable_sort(s.materials.begin(), s.materials.end(),
                     [](const MaterialLine& a, const MaterialLine& b) { return a.kind < b.kind; });
    bool unpriced = false;
    for (MaterialLine& m : s.materials) {
        const PriceEntry* p = prices.find(m.article);
        m.name = p && !p->name.empty() ? p->name : kindCaption(m.kind);
        if (p && p->price) {
            m.price = *p->price;
            m.sum = money(*p->price * static_cast<double>(m.qty));
            t.equipment += *m.sum;
        } else {
            unpriced = true;
        }
    }
    if (unpriced) {
        s.warnings.push_back("Не для всех позиций указана цена: итоги неполные");
        t.complete = false;
    }
    t.equipment = money(t.equipment);
    t.vat = money(t.equipment * s.settings.vatPercent / 100);
    t.total = money(t.equipment + t.vat);
    if (s.settings.tariff > 0)
        t.runningCost = money(t.energyKwh * s.settings.tariff);
    return s;
}

ProjectSummary ProjectSummaries::evaluate(const std::string& projectPath,
                                          const std::string& dataDir,
                                          const SummaryOverrides& overrides) {
    const Project project = ProjectFile::load(projectPath);
    ChamberLoader loader(dataDir);
    std::vector<ChamberFigures> figures;
    figures.reserve(project.chambers.size());
    for (size_t i = 0; i < project.chambers.size(); ++i)
        figures.push_back(loader.load(project.chamberPath(i)));
    return summarize(project, figures, PriceList::load(dataDir), overrides);
}

} // namespace vorn
