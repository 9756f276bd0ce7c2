#pragma once
// A project: the chambers of one site, each a calculation file with a quantity of identical
// chambers and a note, and the settings of the commercial offer. It is stored as one DBF
// table with the extension .vrp, so that dBase tools read it like every other Vorn file.
//
// One table holds both kinds of record, told apart by the field KIND: a single "ПРОЕКТ"
// record with the offer's settings, and one "КАМЕРА" record per chamber in project order.
// One file keeps the project whole when it is copied or mailed; a second table beside it
// could be lost on the way. The chambers' paths are stored relative to the project's folder
// with "/" between the parts, so the folder can move as a whole.
#include "data/Value.h"

#include <string>
#include <vector>

namespace vorn {

struct OfferSettings {
    std::string client;
    std::string number;
    Date date;              // of the offer; a year of 0: not set
    double vatPercent = 20; // the general VAT rate of the Russian Tax Code, art. 164 p. 3
    double tariff = 0;      // electricity, currency per kWh; 0: not set
    std::string currency = "руб.";
    std::string executor; // empty: the executor of the first chamber
};

struct ProjectChamber {
    std::string file; // as stored: relative to the project's folder, "/" separators
    int qty = 1;
    std::string note;
};

struct Project {
    std::string path; // the .vrp file
    OfferSettings settings;
    std::vector<ProjectChamber> chambers;

    // Full path of a chamber's calculation file.
    std::string chamberPath(size_t index) const;
};

// Texts (client, offer number, currency, executor, a chamber's note) are stored as the
// calculation stores typed text: typographic marks in their plain forms (« » as "), any
// other character outside code page 866 refused by name (std::runtime_error). A chamber's
// path is never changed: one that the file cannot keep exactly is refused.
class ProjectFile {
public:
    static constexpr const char* kExtension = ".vrp";
    static constexpr const char* kSettingsKind = "ПРОЕКТ";
    static constexpr const char* kChamberKind = "КАМЕРА";
    static constexpr int kMaxQty = 9999;

    // Writes a new project with no chambers. Refuses (std::runtime_error) an existing file.
    static void create(const std::string& path, const OfferSettings& settings);
    // Reads a project. Throws DbfError or std::runtime_error (not a project file).
    static Project load(const std::string& path);

    // Adds a chamber at the end; the path is stored relative to the project's folder.
    // Refuses a quantity outside 1..kMaxQty and a path the file cannot hold.
    static void addChamber(const std::string& projectPath, const std::string& calcPath, int qty,
                           const std::string& note = {});
    // Index 1-based in project order. Refuses an index outside the list.
    static void removeChamber(const std::string& projectPath, int index);
    // Quantity and note of chamber index (1-based).
    static void setChamber(const std::string& projectPath, int index, int qty,
                           const std::string& note);
    static void saveSettings(const std::string& projectPath, const OfferSettings& settings);

    // The stored form of calcPath for a project at projectPath, and back.
    static std::string relativePath(const std::string& projectPath, const std::string& calcPath);
    static std::string resolve(const std::string& projectPath, const std::string& stored);
};

} // namespace vorn
