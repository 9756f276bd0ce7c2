#include "app/FileCopy.h"

#include <filesystem>
#include <fstream>
#include <vector>

namespace vorn {

namespace fs = std::filesystem;

std::string copyFile(const std::string& source, const std::string& target) {
    std::error_code ec;
    const fs::path src = fs::u8path(source);
    fs::path dst = fs::u8path(target);

    std::ifstream in;
    if (fs::is_regular_file(src, ec))
        in.open(src, std::ios::binary);
    if (!in.is_open() || !in)
        throw FileCopyError("Cannot open file " + source);

    if (fs::is_directory(dst, ec))
        dst /= src.filename();
    const std::string written = dst.u8string();

    // Copying a file onto itself would truncate it before reading: there is nothing to do.
    if (fs::equivalent(src, dst, ec))
        return written;

    if (dst.has_parent_path() && !fs::exists(dst.parent_path(), ec)) {
        fs::create_directories(dst.parent_path(), ec);
        if (ec)
            throw FileCopyError("Cannot create file " + written);
    }
    std::ofstream out(dst, std::ios::binary | std::ios::trunc);
    if (!out)
        throw FileCopyError("Cannot create file " + written);

    std::vector<char> buffer(64 * 1024);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const std::streamsize got = in.gcount();
        if (got > 0 && !out.write(buffer.data(), got))
            throw FileCopyError("Cannot create file " + written);
    }
    if (in.bad())
        throw FileCopyError("Cannot open file " + source);
    out.close();
    if (!out)
        throw FileCopyError("Cannot create file " + written);

    const auto stamp = fs::last_write_time(src, ec);
    if (!ec)
        fs::last_write_time(dst, stamp, ec); // a copy without the old time is still a copy
    return written;
}

} // namespace vorn
