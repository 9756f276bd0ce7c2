#include "app/OutputFile.h"

#include <sys/stat.h>

namespace vorn {

std::string outputFileProblem(const std::string& out, const std::string& calculation) {
    struct stat o {};
    if (::stat(out.c_str(), &o) != 0)
        return {}; // a new file: the writer tells what goes wrong
    const std::string refused = "Файл " + out + " не записан: ";
    if (S_ISDIR(o.st_mode))
        return refused + "это папка, а не файл";
    if (!S_ISREG(o.st_mode))
        return refused + "это не обычный файл (канал или устройство), он не будет заменен";
    struct stat c {};
    if (::stat(calculation.c_str(), &c) == 0 && c.st_dev == o.st_dev && c.st_ino == o.st_ino)
        return refused + "это сам файл расчета " + calculation;
    return {};
}

} // namespace vorn
