#include "app/OutputFile.h"

#include "data/platform/PlatformFile.h"

namespace vorn {

std::string outputFileProblem(const std::string& out, const std::string& calculation) {
    platform::PathInfo o;
    if (platform::pathInfo(out, o))
        return {}; // a new file: the writer tells what goes wrong
    const std::string refused = "Файл " + out + " не записан: ";
    if (o.type == platform::PathInfo::Directory)
        return refused + "это папка, а не файл";
    if (o.type != platform::PathInfo::Regular)
        return refused + "это не обычный файл (канал или устройство), он не будет заменен";
    platform::PathInfo c;
    if (!platform::pathInfo(calculation, c) && (c.device || c.inode) && c.device == o.device &&
        c.inode == o.inode)
        return refused + "это сам файл расчета " + calculation;
    return {};
}

} // namespace vorn
