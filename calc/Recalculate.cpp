#include "calc/Recalculate.h"

#include "calc/CalcError.h"
#include "calc/HeatLoadRun.h"
#include "data/DataModule.h"

namespace vorn {

Recalculation recalculate(DataModule& dm, const IncludeBoxes& include,
                          const CalcResults& previous) {
    Recalculation out{previous, std::nullopt, false};
    if (!dm.taWork.isOpen())
        return out;
    out.results.error.clear();
    // the steps, like the boxes, are this run's; a stopped run keeps those done before it
    out.results.steps.clear();
    out.results.heatersInGain9 = false;
    out.results.defrostWarning.clear();
    HeatLoadRun run(dm, include, out.results);
    try {
        run.walls();
        run.ventilation();
        run.infiltration();
        run.product();
        run.respiration();
        run.lighting();
        run.personnel();
        run.transport();
        run.formQx();
        run.fans();
        out.capacityChanged = run.requiredCapacity();
        run.totals();
    } catch (const CalcError& e) {
        out.results.error = e.what();
    }
    // the ventilation step may have set the rate before a later step stopped the run
    out.ventilationRate = run.automaticVentilationRate();
    return out;
}

} // namespace vorn
