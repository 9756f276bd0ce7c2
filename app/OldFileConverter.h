#pragma once
// Conversion of a calculation in the old format (a table with OB_RGTMAX that does not open
// as a calculation) into a new ".vrn" file beside it, through the template trec.dbf.
#include <functional>
#include <string>
#include <vector>

namespace vorn {

class DataModule;

struct ConversionOutcome {
    enum class Result {
        Converted, // the new file exists; messages tell the user to open it
        Failed, // "Ошибка ! Файл расчета не может быть преобразован !" (and why)
        NotOldFormat, // a table without OB_RGTMAX
        NotTable,     // the file does not open as a table at all
        Declined,     // the target exists and the user kept it
    };
    Result result = Result::Failed;
    std::string targetPath;
    std::vector<std::string> messages; // shown one after another, in order
};

class OldFileConverter {
public:
    // Asked before an existing target file is replaced; true replaces it.
    using ConfirmReplace = std::function<bool(const std::string& path)>;

    // The ".vrn" path beside the old file: its ".dbf" extension replaced by ".vrn".
    static std::string targetPathFor(const std::string& oldPath);

    // Opens oldPath as taOld and converts it when it has OB_RGTMAX. taRec's record is
    // overwritten and copied to the target; taOld and taRec are closed afterwards and the
    // old file is left as it was. Without confirmReplace an existing target is replaced.
    static ConversionOutcome convert(DataModule& dm, const std::string& oldPath,
                                     const ConfirmReplace& confirmReplace = {});
};

} // namespace vorn
