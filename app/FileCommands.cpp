#include "app/FileCommands.h"

#include "app/FileCopy.h"
#include "app/OldFileConverter.h"
#include "document/Session.h"
#include "data/CalcRecord.h"
#include "data/DataModule.h"
#include "data/Table.h"

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
} // namespace

FileCommands::FileCommands(Session& session, DataModule& dm) : session_(session), dm_(dm) {}

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
    if (fileExists(path) && confirm && !confirm(path))
        return {};
    session_.closeCalculation();

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
        session_.resetResults();
        session_.openCalculation(path, Session::OpenOrder::CategoryThenOptionBox);
    } catch (const std::exception& e) {
        out.messages.push_back(e.what());
        return out;
    }
    out.state = FileOutcome::State::CalculationOpen;
    out.caption = path;
    addCalcError(out);
    return out;
}

FileOutcome FileCommands::openCalculation(const std::string& path, const ConfirmReplace& confirm) {
    session_.selectionOpened = false;
    try {
        session_.openCalculation(path, Session::OpenOrder::OptionBoxThenCategory);
        FileOutcome out;
        out.state = FileOutcome::State::CalculationOpen;
        out.caption = path;
        addCalcError(out);
        return out;
    } catch (const std::exception&) {
        // Not a calculation: maybe one of the old format, to be converted beside it.
    }
    session_.closeCalculation();
    FileOutcome out = noCalculation(std::string("Vorn"));
    out.messages.push_back(kCannotOpen);
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
    } catch (const std::exception& e) {
        // The record could not be written (locked by another user, say): stay in it.
        out.messages.push_back(e.what());
        return out;
    }
    if (copy) {
        try {
            copyFile(current, path);
        } catch (const FileCopyError& e) {
            // Every posted change is in the current file; say so rather than lose track.
            out = noCalculation(current);
            out.messages.push_back(e.what());
            out.messages.push_back("Расчет не сохранен под новым именем. Все изменения "
                                   "записаны в файл " +
                                   current);
            return out;
        }
    }
    try {
        session_.openCalculation(path, Session::OpenOrder::None);
    } catch (const std::exception& e) {
        out = noCalculation(path);
        out.messages.push_back(e.what());
        return out;
    }
    out.caption = path;
    addCalcError(out);
    return out;
}

FileOutcome FileCommands::closeCalculation() {
    if (!session_.isOpen())
        return {};
    FileOutcome out = noCalculation();
    try {
        session_.closeCalculation();
    } catch (const std::exception& e) {
        out.messages.push_back(e.what());
    }
    return out;
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
