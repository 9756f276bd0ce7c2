#include "project/OfferOutput.h"

#include "data/OutputTarget.h"

namespace vorn {

std::string offerOutputProblem(const std::string& out, const ProjectSummary& summary) {
    std::string problem = outputTargetProblem(out);
    if (!problem.empty())
        return problem;
    if (sameFile(out, summary.projectPath))
        return outputRefused(out) + "это сам файл проекта " + summary.projectPath;
    for (const ChamberLine& c : summary.chambers)
        if (sameFile(out, c.path))
            return outputRefused(out) + "это файл расчета камеры " + c.path;
    return {};
}

} // namespace vorn
