#pragma once
// The header block of every report page: the lines of TitleRep.txt beside the data folder
// in use (in the folder that holds it), or the program's own three lines when there is no
// such file.
#include <string>
#include <vector>

namespace vorn {

class HeaderLines {
public:
    static constexpr const char* kFileName = "TitleRep.txt";
    // The block shows at most this many lines.
    static constexpr int kShownLines = 3;

    static const std::vector<std::string>& builtIn();

    // Read anew at every call. A missing file, or one that cannot be read, gives the
    // built-in lines; an empty file gives no lines.
    static std::vector<std::string> read(const std::string& folder);

    // The folder TitleRep.txt is looked for in: the one that holds the data folder
    // ("/opt/vorn" for "/opt/vorn/DATA" or "/opt/vorn/DATA/").
    static std::string folderFor(const std::string& dataDir);

    // The file's bytes as lines: UTF-8 when they are valid UTF-8 (a byte-order mark is
    // dropped), Windows-1251 otherwise. Line ends LF or CR LF; no line after a final end.
    static std::vector<std::string> decode(const std::string& bytes);

    static bool isValidUtf8(const std::string& bytes);
};

} // namespace vorn
