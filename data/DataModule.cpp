#include "data/DataModule.h"

#include "data/CalcRecord.h"

namespace vorn {

namespace {
struct RefFile {
    Table DataModule::*table;
    const char* file;
};
// Opening order of the reference tables, with their file names in the data directory.
const RefFile kReferenceFiles[] = {
    {&DataModule::taMater, "s_mater.DBF"}, {&DataModule::taIzolm, "s_izolm.DBF"},
    {&DataModule::taRegion, "s_region.dbf"}, {&DataModule::taInt, "s_int.DBF"},
    {&DataModule::taProd, "products.DBF"},   {&DataModule::taTara, "s_tara.DBF"},
    {&DataModule::taIsp, "s_isp.DBF"},       {&DataModule::taGrups, "grups.dbf"},
    {&DataModule::taInit, "S_INIT.DBF"},     {&DataModule::taRec, "trec.dbf"},
};
} // namespace

DataModule::DataModule() {
    for (const RefFile& f : kReferenceFiles)
        (this->*f.table).setTableName(f.file);
    configureCalcTable(taWork);
    taKat.setReadOnly(true);
    auto settingsHook = [this](Table&) {
        if (onSettingsOpened)
            onSettingsOpened();
    };
    taInit.afterOpen = settingsHook;
    taRec.afterOpen = settingsHook;
    taOld.afterOpen = settingsHook;
}

DataModule::~DataModule() { closeAll(); }

std::vector<Table*> DataModule::tables() {
    return {&taMater, &taIzolm, &taRegion, &taInt, &taProd, &taTara, &taIsp,
            &taGrups, &taInit,  &taRec,    &taWork, &taKat, &taOld};
}

std::vector<Table*> DataModule::referenceTables() {
    std::vector<Table*> out;
    for (const RefFile& f : kReferenceFiles)
        out.push_back(&(this->*f.table));
    return out;
}

std::string DataModule::dataDirFor(const std::string& programDir) {
    if (programDir.empty())
        return "DATA";
    if (programDir.back() == '/')
        return programDir + "DATA";
    return programDir + "/DATA";
}

void DataModule::setDataDir(const std::string& dir) { dataDir_ = dir; }
const std::string& DataModule::dataDir() const { return dataDir_; }

bool DataModule::openReferenceTables(std::string* firstError, Access access) {
    bool ok = true;
    for (Table* t : referenceTables()) {
        try {
            if (t->isOpen())
                continue;
            t->setDatabaseName(dataDir_);
            t->setReadOnly(access == Access::ReadOnly);
            try {
                t->open();
            } catch (const DbfError&) {
                // A table the user may read but not write (a shared or system-wide DATA)
                // still serves: it is read, and a change to it is refused when asked for.
                // Anything else that keeps it closed fails the read-only open as well.
                if (access == Access::ReadOnly)
                    throw;
                t->setReadOnly(true);
                try {
                    t->open();
                } catch (const DbfError&) {
                    t->setReadOnly(false);
                    throw;
                }
            }
        } catch (const std::exception& e) {
            if (ok && firstError)
                *firstError = e.what();
            ok = false;
        }
    }
    return ok;
}

void DataModule::closeAll() {
    for (Table* t : tables()) {
        try {
            if (t->isOpen())
                t->close();
        } catch (...) {
            // closing at the end of the program: nothing left to tell the user
        }
    }
}

} // namespace vorn
