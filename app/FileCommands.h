#pragma once
// The calculation-file commands of the main window (New, Open, Save, Close) and the end
// of the program, without the dialogs: each takes the path the user chose and returns what
// the window shows afterwards. The open and close steps themselves are the session's.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

class DataModule;
class Session;
class WorkCopy;

struct FileOutcome {
    enum class State {
        Unchanged,       // nothing happened (cancelled, nothing open)
        CalculationOpen, // input panel shown, file commands on
        NoCalculation,   // input panel hidden, icon animating, file commands off
    };
    State state = State::Unchanged;
    std::optional<std::string> caption;   // the new window caption, when it changes
    std::vector<std::string> messages;    // shown one after another, in order
    std::optional<std::string> converted; // path of a file converted from the old format
    // The command stopped because another user holds the calculation's record: nothing
    // was written, the open calculation stays open as it was, and the command (close,
    // save, open or new) did not happen. messages says so.
    bool writeRefused = false;
};

class FileCommands {
public:
    static constexpr const char* kDefaultNewName = "НовыйРасчет.vrn";
    static constexpr const char* kOpenFilter = "Расчеты (*.vrn)|*.vrn|Расчеты старые (*.dbf)|*.dbf";
    static constexpr const char* kSaveFilter = "Расчеты (*.vrn)|*.vrn";
    static constexpr const char* kDefaultExtension = "vrn";
    static constexpr const char* kTemplateName = "vorn.dbf";

    // Asked before an existing file is replaced; true replaces it. Unset: replace.
    using ConfirmReplace = std::function<bool(const std::string& path)>;

    // Shown after the path in the caption of a calculation the user may only read.
    static constexpr const char* kReadOnlyMark = " (только чтение)";

    FileCommands(Session& session, DataModule& dm);
    ~FileCommands();

    // Copies the template vorn.dbf to path and opens it as a new calculation.
    FileOutcome newCalculation(const std::string& path, const ConfirmReplace& confirm = {});
    // Opens path; a file in the old format is converted beside it instead (not opened).
    // A file that cannot be opened (damaged, not a calculation, converted instead) leaves
    // the open calculation open. A file the user may read but not write opens read-only.
    FileOutcome openCalculation(const std::string& path, const ConfirmReplace& confirm = {});
    // Posts and closes the calculation, copies it to path when that differs from the
    // current path, and goes on in path. A copy that fails goes on in the current file.
    FileOutcome saveCalculation(const std::string& path, const ConfirmReplace& confirm = {});
    // Posts and closes; the caption keeps the closed file's path. A record another user
    // holds keeps the calculation open (writeRefused).
    FileOutcome closeCalculation();
    // Ending the program: posts and closes an open calculation so nothing is lost.
    void endProgram();

    // The name the save dialog proposes: the current path, or for a ".dbf" calculation
    // its bare name without the extension, so that the dialog adds ".vrn".
    std::string proposedSaveName() const;
    std::string templatePath() const;

private:
    void addCalcError(FileOutcome& out) const;
    // The private copy a read-only calculation is read from, while it is open.
    std::unique_ptr<WorkCopy> readOnlyCopy_;
    // Opens path through the session, read-only from a private copy when the user may not
    // write it; returns the caption. Throws as Session::openCalculation.
    std::string openAs(const std::string& path, int order);

    Session& session_;
    DataModule& dm_;
};

} // namespace vorn
