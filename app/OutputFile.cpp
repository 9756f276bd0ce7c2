#include "app/OutputFile.h"

#include "data/OutputTarget.h"

namespace vorn {

std::string outputFileProblem(const std::string& out, const std::string& calculation) {
    std::string problem = outputTargetProblem(out);
    if (problem.empty() && sameFile(calculation, out))
        problem = outputRefused(out) + "это сам файл расчета " + calculation;
    return problem;
}

} // namespace vorn
