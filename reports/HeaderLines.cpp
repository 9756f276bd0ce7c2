#include "reports/HeaderLines.h"

#include "data/CodePage.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vorn {

const std::vector<std::string>& HeaderLines::builtIn() {
    static const std::vector<std::string> lines = {
        "ООО «Ворн-Холод», 127015, Москва, ул. Складская, д. 7, стр. 2",
        "Телефон: (495) 612-40-17, факс: (495) 612-40-18",
        "www.vorn-holod.ru, e-mail: info@vorn-holod.ru",
    };
    return lines;
}

std::string HeaderLines::folderFor(const std::string& dataDir) {
    namespace fs = std::filesystem;
    std::string dir = dataDir;
    while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\'))
        dir.pop_back();
    const fs::path parent = fs::u8path(dir).parent_path();
    return parent.empty() ? std::string(".") : parent.u8string();
}

std::vector<std::string> HeaderLines::read(const std::string& folder) {
    namespace fs = std::filesystem;
    const fs::path path = fs::u8path(folder) / kFileName;
    std::error_code ec;
    // No file, a folder of that name, or a read that fails part-way is as good as no file.
    if (!fs::is_regular_file(path, ec))
        return builtIn();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return builtIn();
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return builtIn();
    return decode(bytes.str());
}

std::vector<std::string> HeaderLines::decode(const std::string& bytes) {
    std::string text;
    if (isValidUtf8(bytes))
        text = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? bytes.substr(3) : bytes;
    else
        text = CodePage::toUtf8(bytes, TextCodePage::Cp1251);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

bool HeaderLines::isValidUtf8(const std::string& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p++;
        if (c < 0x80)
            continue;
        int more;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p < more)
            return false;
        for (int i = 0; i < more; ++i, ++p) {
            if ((*p & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (*p & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF.
        if ((more == 2 && cp < 0x800) || (more == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
    }
    return true;
}

} // namespace vorn
