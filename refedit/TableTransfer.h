#pragma once
// Export of a reference table to CSV or XLSX, and the import of such a file into it: every
// value checked first, and the whole file refused (nothing written) when one fails.
#include "data/Table.h"
#include "refedit/RefTables.h"
#include "refedit/Sheet.h"

#include <memory>
#include <string>
#include <vector>

namespace vorn {

enum class FileKind { Csv, Xlsx, Unknown };
// By the file's extension, any letter case.
FileKind fileKindOf(const std::string& path);

struct ImportOptions {
    bool append = false; // add the rows after the table's own instead of replacing them
    bool dryRun = false; // check and report, write nothing
};

struct ImportResult {
    std::vector<std::string> errors; // "строка N, поле X: ..." each; empty when accepted
    int rows = 0;                    // data rows of the file
    bool written = false;
};

class TableTransfer {
public:
    // The table's file in dataDir, opened shared like every table (no declared fields: the
    // file's own, in file order), read-only for the commands that only read (a data folder
    // that may only be read serves them). Throws DbfError when it does not open. A data
    // directory without a price list gets an empty one where it may be written.
    static std::unique_ptr<Table> open(const std::string& dataDir, const RefTableDesc& desc,
                                       bool readOnly = false);

    // Writes the visible rows with a header row of the field names. Throws TransferError
    // for an unknown extension or a file that cannot be written; nothing is left half
    // written at path.
    static void exportTo(Table& table, const std::string& path);

    // The rows of a CSV or XLSX file. Throws TransferError.
    static Sheet readFile(const std::string& path);

    // Checks the sheet against the table and, unless refused or a dry run, replaces the
    // table's rows with the sheet's (or appends them) in one write under the whole-table
    // lock: the old table or the new one, whatever happens. A table another user is
    // writing or editing, after a few seconds' wait, and a failure while writing are
    // thrown (DbfError); nothing is written then.
    static ImportResult import(Table& table, const RefTableDesc& desc, const Sheet& sheet,
                               const ImportOptions& options);
};

} // namespace vorn
