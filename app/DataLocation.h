#pragma once
// Where the reference tables live, for the window and for every command alike:
//   1. the folder given with --data;
//   2. DATA beside the program, when it is there (the source tree, a portable copy);
//   3. the user's own data folder (DATA in the application data location), filled from the
//      installed tables found relative to the program (../share/vorn/DATA), so that an
//      edited table needs no root and an unpacked or relocated package works as well.
// TitleRep.txt is looked for beside the data folder in use (HeaderLines::folderFor).
#include <string>
#include <vector>

namespace vorn {

class DataLocation {
public:
    enum class Kind { Given, BesideProgram, User, Installed };

    // Sub-folder of the application data location that holds the tables.
    static constexpr const char* kDataFolder = "DATA";
    // The installed tables, relative to the program's directory.
    static constexpr const char* kInstalledRelative = "../share/vorn/DATA";

    Kind kind = Kind::BesideProgram;
    std::string dataDir;
    // Files copied from the installed tables into the user's folder by this resolve.
    std::vector<std::string> copied;

    // Resolves the data folder; in the user's case fills it first with every installed
    // file it lacks (a file already there, edited or not, is left as it is). When the
    // user's folder cannot be made, the installed tables are used where they lie.
    static DataLocation resolve(const std::string& programDir, const std::string& given = {});

    // The application data location as Qt's QStandardPaths::AppDataLocation gives it for
    // the application name "vorn": $XDG_DATA_HOME/vorn, else ~/.local/share/vorn
    // (%APPDATA%/vorn on Windows). Empty when there is no home folder.
    static std::string userFolder();

    // Copies every regular file of from that to lacks; returns the names copied. A file
    // that cannot be copied is skipped (the table's open will report it).
    static std::vector<std::string> fillMissing(const std::string& from, const std::string& to);
};

} // namespace vorn
