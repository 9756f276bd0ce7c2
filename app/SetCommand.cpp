#include "app/SetCommand.h"

#include "app/Session.h"
#include "calc/CalcError.h"
#include "data/DataModule.h"
#include "input/ControlTable.h"

#include <filesystem>
#include <ostream>

namespace vorn {

namespace {

// One assignment, applied as the screen applies the input when the user enters it and
// leaves the control. Refused when the screen would not let the user do it.
CommitResult applyAssignment(Session& session, const std::string& assignment) {
    const size_t eq = assignment.find('=');
    const std::string name = assignment.substr(0, eq);
    const bool hasValue = eq != std::string::npos;
    const std::string value = hasValue ? assignment.substr(eq + 1) : std::string();

    const ControlSpec* spec = findControl(name);
    if (!spec)
        return CommitResult::refusal("нет такого поля или элемента ввода");
    if (!controlVisible(*spec, session))
        return CommitResult::refusal("элемент ввода сейчас скрыт");
    if (!controlEnabled(*spec, session))
        return CommitResult::refusal("элемент ввода сейчас недоступен");
    if (spec->kind == ControlKind::Button) {
        if (hasValue)
            return CommitResult::refusal("кнопка не принимает значения, укажите только " +
                                         std::string(spec->name));
        session.fullLoadClick();
        return {};
    }
    if (!hasValue)
        return CommitResult::refusal("нет значения: ожидается ИМЯ=ЗНАЧЕНИЕ");
    switch (spec->kind) {
    case ControlKind::Numeric:
    case ControlKind::Whole:
        return session.commitText(*spec, value);
    case ControlKind::Check: {
        if (value != "T" && value != "F")
            return CommitResult::refusal("ожидается T или F");
        const bool on = value == "T";
        // a click changes the box; a box already in that state is left alone
        if (on != session.checkState(*spec))
            session.clickCheck(*spec, on);
        return {};
    }
    case ControlKind::Display:
        return CommitResult::refusal("поле только для показа");
    default:
        return session.chooseItem(*spec, value);
    }
}

} // namespace

int setCommand(const CliContext& ctx, const SetOptions& options) {
    const std::string& file = options.file;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::u8path(file), ec)) {
        ctx.err << "Указанный расчет не может быть открыт ! Файл не найден: " << file << "\n";
        return 1;
    }
    DataModule dm;
    dm.setDataDir(ctx.dataDir);
    std::string refError;
    if (!dm.openReferenceTables(&refError)) {
        ctx.err << "Ошибка подключения справочников ! (" << ctx.dataDir << ": " << refError
                << ")\n";
        return 1;
    }
    Session session(dm);
    session.showMessage = [&ctx](const std::string& m) { ctx.err << m << "\n"; };
    try {
        session.openCalculation(file);
    } catch (const std::exception& e) {
        // a record locked by another process is refused here, before anything is written
        ctx.err << "Указанный расчет не может быть открыт ! " << file << ": " << e.what() << "\n";
        return 1;
    }

    int status = 0;
    try {
        for (const std::string& a : options.assignments) {
            CommitResult r;
            try {
                r = applyAssignment(session, a);
            } catch (const CalcError&) {
                // the value is in; the numbers wait for an input that makes them defined
            }
            if (r.refused) {
                ctx.err << "vorn set: " << a << ": " << r.message << "\n";
                status = 2;
                break;
            }
        }
        if (status == 0 && !session.results().error.empty()) {
            ctx.err << session.results().error << "\n";
            status = 3;
        }
        session.closeCalculation();
    } catch (const std::exception& e) {
        ctx.err << "vorn set: " << file << ": " << e.what() << "\n";
        return 1;
    }
    return status;
}

} // namespace vorn
