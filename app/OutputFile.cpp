#include "app/OutputFile.h"

#include <filesystem>

namespace vorn {

namespace fs = std::filesystem;

std::string outputFileProblem(const std::string& out, const std::string& calculation) {
    std::error_code ec;
    const fs::file_status o = fs::status(fs::u8path(out), ec);
    if (!fs::exists(o))
        return {}; // a new file: the writer tells what goes wrong
    const std::string refused = "Файл " + out + " не записан: ";
    if (fs::is_directory(o))
        return refused + "это папка, а не файл";
    if (!fs::is_regular_file(o))
        return refused + "это не обычный файл (канал или устройство), он не будет заменен";
    if (fs::equivalent(fs::u8path(calculation), fs::u8path(out), ec))
        return refused + "это сам файл расчета " + calculation;
    return {};
}

} // namespace vorn
