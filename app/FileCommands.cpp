#include "app/FileCommands.h"

#include "data/platform/PlatformFile.h"

#include "app/FileCopy.h"
#include "app/OldFileConverter.h"
#include "data/WorkCopy.h"
#include "data/CalcRecord.h"
#include "data/DataModule.h"
#include "data/Table.h"
#include "document/Session.h"

#include <cctype>
#include <filesystem>

namespace vorn {

namespace fs = std::filesystem;

namespace {
const char* const kCreateFailed = "Ошибка создания файла расчета !";
const char* const kCannotOpen = kCannotOpenCalculation;

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::u8path(path), ec);
}

FileOutcome noCalculation(std::optional<std::string> caption = std::nullopt) {
    FileOutcome out;
    out.state = FileOutcome::State::NoCalculation;
    out.caption = std::move(caption);
    return out;
}

// The open calculation could not be written back: it stays open, the command stops.
FileOutcome refusedWrite(const std::string& why) {
    FileOutcome out;
    out.writeRefused = true;
    out.messages.push_back(why);
    return out;
}

const char* const kSaveRefused =
    "Запись расчета сейчас занята другим пользователем: расчет не сохранен. Повторите позже.";

// Whether path opens as a calculation (its declared fields bind), read without a write.
bool opensAsCalculation(const std::string& path) {
    Table probe("probe");
    configureCalcTable(probe);
    probe.setReadOnly(true);
    probe.setTableName(path);
    try {
        probe.open();
        probe.close();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
} // namespace

namespace {
// The user may write the file: it opens for writing (nothing is written by the probe).
bool writable(const std::string& path) {
    platform::File probe;
    return !probe.open(path, platform::File::Mode::ReadWrite);
}
} // namespace

FileCommands::FileCommands(Session& session, DataModule& dm) : session_(session), dm_(dm) {}
FileCommands::~FileCommands() = default;

std::string FileCommands::openAs(const std::string& path, int order) {
    // A file the user may read but not write is read from a private copy, kept while it
    // is open and removed with the next open or close: the session refuses every edit.
    std::unique_ptr<WorkCopy> copy;
    if (!writable(path))
        copy = std::make_unique<WorkCopy>(path);
    session_.openCalculation(path, static_cast<Session::OpenOrder>(order),
                             copy ? copy->path() : std::string());
    const bool readOnly = copy != nullptr;
    readOnlyCopy_ = std::move(copy);
    return readOnly ? path + kReadOnlyMark : path;
}

// A calculation that opens but whose recalculation stops at an undefined step (a working
// time of 0, say) stays open; the user is told which input to mend.
void FileCommands::addCalcError(FileOutcome& out) const {
    if (!session_.results().error.empty())
        out.messages.push_back(session_.results().error);
    if (!session_.suspectFields().empty())
        out.messages.push_back(suspectFieldsWarning(session_.suspectFields()));
}

std::string FileCommands::templatePath() const {
    return (fs::u8path(dm_.dataDir()) / kTemplateName).u8string();
}

FileOutcome FileCommands::newCalculation(const std::string& path, const ConfirmReplace& confirm) {
    session_.selectionOpened = false;
    // Replacing a file by the template wipes the calculation in it: only on request.
    // A folder or a FIFO of that name is never replaced (nor filled with the template).
    std::error_code ec;
    const auto status = fs::status(fs::u8path(path), ec);
    const bool existed = fs::exists(status);
    if (existed && !fs::is_regular_file(status)) {
        FileOutcome refused;
        refused.messages.push_back(
            "Файл " + path +
            " не создан: " + (fs::is_directory(status) ? "это папка" : "это не обычный файл"));
        return refused;
    }
    if (existed && confirm && !confirm(path))
        return {};
    try {
        session_.closeCalculation();
    } catch (const WriteRefused& e) {
        return refusedWrite(e.what());
    }

    FileOutcome out = noCalculation();
    try {
        copyFile(templatePath(), path);
    } catch (const FileCopyError& e) {
        out.messages.push_back(e.what());
        return out;
    }
    if (!fileExists(path)) {
        out.messages.push_back(kCreateFailed);
        return out;
    }
    try {
        // a template of an earlier layout still gives a calculation with every field
        addHeaterFields(path);
        session_.resetResults();
        out.caption = openAs(path, static_cast<int>(Session::OpenOrder::CategoryThenOptionBox));
    } catch (const std::exception& e) {
        out.caption.reset();
        out.messages.push_back(e.what());
        // A copy of the template that does not open as a calculation is no use to anyone.
        if (!existed)
            fs::remove(fs::u8path(path), ec);
        return out;
    }
    out.state = FileOutcome::State::CalculationOpen;
    addCalcError(out);
    return out;
}

FileOutcome FileCommands::openCalculation(const std::string& path, const ConfirmReplace& confirm) {
    session_.selectionOpened = false;
    // Whatever fails before the file is open leaves the open calculation as it is.
    FileOutcome out = session_.isOpen() ? FileOutcome{} : noCalculation(std::string("Vorn"));
    out.messages.push_back(kCannotOpen);
    const std::string problem = calcFileProblem(path);
    if (!problem.empty()) {
        out.messages.push_back(problem);
        return out;
    }
    if (opensAsCalculation(path)) {
        try {
            FileOutcome opened;
            opened.caption =
                openAs(path, static_cast<int>(Session::OpenOrder::OptionBoxThenCategory));
            opened.state = FileOutcome::State::CalculationOpen;
            addCalcError(opened);
            return opened;
        } catch (const WriteRefused& e) {
            return refusedWrite(e.what()); // the open calculation could not be closed
        } catch (const std::exception& e) {
            out = noCalculation(std::string("Vorn"));
            out.messages = {kCannotOpen, e.what()};
            return out;
        }
    }
    // Not a calculation: maybe one of the old format, to be converted beside it.
    ConversionOutcome conv = OldFileConverter::convert(dm_, path, confirm);
    out.messages.insert(out.messages.end(), conv.messages.begin(), conv.messages.end());
    if (conv.result == ConversionOutcome::Result::Converted)
        out.converted = conv.targetPath;
    return out;
}

FileOutcome FileCommands::saveCalculation(const std::string& path, const ConfirmReplace& confirm) {
    if (!session_.isOpen() || path.empty())
        return {};
    const std::string current = session_.path();
    const bool copy = path != current;
    if (copy && fileExists(path) && confirm && !confirm(path))
        return {};

    FileOutcome out;
    try {
        Table& work = dm_.taWork;
        work.edit();
        work.post();
        session_.closeCalculation();
    } catch (const DbfError& e) {
        if (dynamic_cast<const WriteRefused*>(&e) || recordHeldByAnother(e)) {
            dm_.taWork.cancel();
            return refusedWrite(kSaveRefused);
        }
        out.messages.push_back(e.what());
        return out;
    } catch (const std::exception& e) {
        // The record could not be written (locked by another user, say): stay in it.
        out.messages.push_back(e.what());
        return out;
    }
    // Whatever fails from here, the work goes on in the current file, which holds every
    // posted change.
    auto stayInCurrent = [&](const std::string& why) {
        out.messages.push_back(why);
        out.messages.push_back("Расчет не сохранен под новым именем. Все изменения "
                               "записаны в файл " +
                               current);
        try {
            out.caption = openAs(current, static_cast<int>(Session::OpenOrder::None));
        } catch (const std::exception& reopen) {
            out.state = FileOutcome::State::NoCalculation;
            out.caption = current;
            out.messages.push_back(reopen.what());
        }
        return out;
    };
    std::string target = path;
    if (copy) {
        try {
            target = copyFile(current, path); // a folder receives the file under its name
            // the copy takes the current layout: a file written before the heater fields
            // gets them (blank, as a new calculation holds them)
            addHeaterFields(target);
        } catch (const std::exception& e) {
            return stayInCurrent(e.what());
        }
    }
    try {
        out.caption = openAs(target, static_cast<int>(Session::OpenOrder::None));
    } catch (const std::exception& e) {
        if (target == current) {
            out = noCalculation(current);
            out.messages.push_back(e.what());
            return out;
        }
        return stayInCurrent(e.what());
    }
    addCalcError(out);
    return out;
}

FileOutcome FileCommands::closeCalculation() {
    if (!session_.isOpen())
        return {};
    try {
        session_.closeCalculation();
    } catch (const WriteRefused& e) {
        return refusedWrite(e.what());
    } catch (const std::exception& e) {
        // not closed: the calculation stays open and the window keeps showing it
        FileOutcome out = session_.isOpen() ? FileOutcome{} : noCalculation();
        out.messages.push_back(e.what());
        return out;
    }
    return noCalculation();
}

void FileCommands::endProgram() {
    if (session_.isOpen())
        session_.closeCalculation();
}

std::string FileCommands::proposedSaveName() const {
    const std::string current = session_.path();
    std::string ext = fs::u8path(current).extension().u8string();
    for (char& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (ext != ".DBF")
        return current;
    const std::string name = fs::u8path(current).filename().u8string();
    return name.substr(0, name.size() - 4);
}

} // namespace vorn
