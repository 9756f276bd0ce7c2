#include "app/cli/SetCommand.h"

#include "app/cli/CalcCommand.h"
#include "document/Session.h"
#include "calc/CalcError.h"
#include "data/DataModule.h"
#include "document/ControlTable.h"
#include "data/CodePage.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <ostream>

namespace vorn {

namespace {

// The additional data of the dialog "Прочие данные": plain text fields of the record.
const char* const kAdditionalText[] = {"KL_NAIM", "KL_PRIM", "OB_ISP"};

// A text typed into the dialog: made storable, no longer than its field, written.
CommitResult setAdditionalText(Session& session, const std::string& field,
                               const std::string& value) {
    const StorableText text = toStorableText(value);
    if (text.refused())
        return CommitResult::refusal(text.refusal);
    Table& work = session.data().taWork;
    for (int i = 0; i < work.fieldCount(); ++i) {
        const FieldInfo f = work.field(i);
        if (equalsIgnoreCase(f.name, field) && utf8Characters(text.text) > static_cast<size_t>(f.length))
            return CommitResult::refusal("текст длиннее " + std::to_string(f.length) + " знаков");
    }
    const std::string refused = session.editAdditionalData(field, text.text);
    return refused.empty() ? CommitResult{} : CommitResult::refusal(refused);
}

// The assignment as it may be shown back: control characters as \xNN.
std::string printable(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// One assignment, applied as the screen applies the input when the user enters it and
// leaves the control. Refused when the screen would not let the user do it.
CommitResult applyAssignment(Session& session, const std::string& assignment) {
    const size_t eq = assignment.find('=');
    const std::string name = assignment.substr(0, eq);
    const bool hasValue = eq != std::string::npos;
    const std::string value = hasValue ? assignment.substr(eq + 1) : std::string();

    for (const char* field : kAdditionalText)
        if (equalsIgnoreCase(name, field))
            return hasValue ? setAdditionalText(session, field, value)
                            : CommitResult::refusal("нет значения: ожидается ИМЯ=ЗНАЧЕНИЕ");
    const ControlSpec* spec = findControl(name);
    if (!spec)
        return CommitResult::refusal("нет такого поля или элемента ввода");
    if (!controlVisible(*spec, session))
        return CommitResult::refusal("элемент ввода сейчас скрыт");
    if (!controlEnabled(*spec, session)) {
        const std::string why = controlDisabledReason(*spec, session);
        return CommitResult::refusal(why.empty() ? "элемент ввода сейчас недоступен" : why);
    }
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

void addSetCommand(CLI::App& root, CliRunner& run) {
    auto opt = std::make_shared<SetOptions>();
    CLI::App* sub = root.add_subcommand(
        "set", "ввести данные в расчет, как на экране: поле за полем, по порядку");
    sub->add_option("ФАЙЛ", opt->file, "файл расчета .vrn")->required()->type_name("ФАЙЛ");
    sub->add_option("ИМЯ=ЗНАЧЕНИЕ", opt->assignments,
                    "поле записи или элемент ввода и значение: OB_KAMVS=3.2, "
                    "RadioGroup1=Охлаждение, CheckBox3=F, BitBtn1; прочие данные: KL_NAIM, "
                    "KL_PRIM, OB_ISP")
        ->required();
    sub->add_flag("--json", opt->json,
                  "после последнего присваивания вывести объект vorn calc --json");
    sub->callback(
        [&run, opt] { run = [opt](const CliContext& ctx) { return setCommand(ctx, *opt); }; });
}

int setCommand(const CliContext& ctx, const SetOptions& options) {
    const std::string& file = options.file;
    DataModule dm;
    if (const int status = openCommandData(ctx, file, dm))
        return status;
    Session session(dm);
    session.showMessage = [&ctx](const std::string& m) { ctx.err << m << "\n"; };
    // a record locked by another process is refused here, before anything is written
    if (!openCommandCalculation(ctx, session, file, nullptr))
        return kExitFailure;

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
                ctx.err << "vorn set: " << printable(a) << ": " << printable(r.message) << "\n";
                // a record another user holds is no fault of the command line
                status = r.message == Session::kRecordHeldRefusal ? kExitFailure : kExitUsage;
                break;
            }
            if (!r.notice.empty())
                ctx.err << "vorn set: " << a << ": " << r.notice << "\n";
        }
        if (status == 0 && !session.results().error.empty()) {
            ctx.err << session.results().error << "\n";
            status = kExitStopped;
        }
        // a stopped run: the steps done before it stopped, and why it stopped
        if ((status == 0 || status == kExitStopped) && options.json) {
            nlohmann::ordered_json j = calcJson(file, dm.taWork.asString("OB_TERMR"),
                                                session.results(), dm.taWork.asDouble("VN_KR"));
            j["choice_fits"] = session.choiceFits();
            j["warnings"] = session.warnings();
            if (status == kExitStopped)
                j["error"] = session.results().error;
            ctx.out << j.dump() << "\n";
        }
        session.closeCalculation();
    } catch (const std::exception& e) {
        ctx.err << "vorn set: " << file << ": " << e.what() << "\n";
        return kExitFailure;
    }
    return status;
}

} // namespace vorn
