#pragma once
// The data module: owns every table of the program. The reference tables are opened
// once, from the data directory, in a fixed order.
#include "data/Table.h"

#include <functional>
#include <string>
#include <vector>

namespace vorn {

class DataModule {
public:
    DataModule();
    ~DataModule();

    Table taMater{"taMater"};   // s_mater.DBF
    Table taIzolm{"taIzolm"};   // s_izolm.DBF
    Table taRegion{"taRegion"}; // s_region.dbf
    Table taInt{"taInt"};       // s_int.DBF
    Table taProd{"taProd"};     // products.DBF
    Table taTara{"taTara"};     // s_tara.DBF
    Table taIsp{"taIsp"};       // s_isp.DBF
    Table taGrups{"taGrups"};   // grups.dbf
    Table taInit{"taInit"};     // S_INIT.DBF
    Table taRec{"taRec"};       // trec.dbf
    Table taWork{"taWork"};     // the open calculation (declared fields of the record)
    Table taKat{"taKat"};       // a catalogue, read-only
    Table taOld{"taOld"};       // an old-format calculation being converted

    // All tables in declared order.
    std::vector<Table*> tables();
    // The reference tables in their opening order (taMater ... taRec).
    std::vector<Table*> referenceTables();

    // The program's directory followed by "DATA".
    static std::string dataDirFor(const std::string& programDir);
    void setDataDir(const std::string& dir);
    const std::string& dataDir() const;

    // How the reference tables are opened: for reading and writing (a table that may only
    // be read is opened read-only: the window works on with what it can read), or for
    // reading only (the commands that change no reference table).
    enum class Access { WriteIfAllowed, ReadOnly };

    // Opens every reference table from the data directory in order. Does not stop at a
    // failure; returns false and the first error text when any table did not open.
    bool openReferenceTables(std::string* firstError = nullptr,
                             Access access = Access::WriteIfAllowed);

    // Runs after taInit, taRec or taOld open (the folder fill of the additional-data
    // dialog hangs here).
    std::function<void()> onSettingsOpened;

    void closeAll();

private:
    std::string dataDir_;
};

} // namespace vorn
