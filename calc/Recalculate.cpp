#include "calc/Recalculate.h"

#include "calc/HeatLoadRun.h"
#include "data/DataModule.h"

namespace vorn {

void recalculate(DataModule& dm, const ScreenState& screen, CalcResults& results,
                 const std::function<void()>& capacityChanged) {
    if (!dm.taWork.isOpen())
        return;
    HeatLoadRun run(dm, screen, results);
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
    // Box 11 comes before box 10: the capacity-change handler runs in between.
    if (run.requiredCapacity() && capacityChanged)
        capacityChanged();
    run.totals();
}

} // namespace vorn
