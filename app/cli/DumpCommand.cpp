// vorn dump FILE [--json]: the fields and visible records of any DBF table.
#include "app/cli/Commands.h"
#include "data/FileIo.h"
#include "data/Table.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>

namespace vorn {

namespace {

// Shortest text that reads back as the same double; fractional fields keep a ".0".
std::string numberText(double v, bool fractional) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, res.ptr);
    if (fractional && s.find_first_of(".e") == std::string::npos)
        s += ".0";
    return s;
}

nlohmann::ordered_json jsonValue(const Value& v, const FieldInfo& f) {
    switch (v.type()) {
    case Value::Type::Null:
        return nullptr;
    case Value::Type::Number:
        // whole-number fields as integers, fractional ones as numbers with a point
        if (f.kind != FieldKind::Float && std::floor(v.toDouble()) == v.toDouble() &&
            std::fabs(v.toDouble()) < 1e15)
            return static_cast<long long>(v.toDouble());
        return v.toDouble();
    case Value::Type::Logical:
        return v.toBool();
    case Value::Type::Text:
    case Value::Type::Date:
        break;
    }
    return v.toString();
}

std::string plainValue(const Value& v, const FieldInfo& f) {
    switch (v.type()) {
    case Value::Type::Null:
        return {};
    case Value::Type::Number:
        return numberText(v.toDouble(), false);
    case Value::Type::Logical:
        return v.toBool() ? "true" : "false";
    default:
        (void)f;
        return v.toString();
    }
}

std::string typeText(const FieldInfo& f) {
    return f.type ? std::string(1, f.type) : std::string("?");
}

struct DumpOptions {
    std::string file;
    bool json = false;
};

int dumpCommand(const CliContext& ctx, const DumpOptions& opt) {
    const std::string& file = opt.file;
    try {
        // A FIFO or a device is never opened: reading one could wait forever.
        std::error_code ec;
        const auto st = std::filesystem::status(std::filesystem::u8path(file), ec);
        if (std::filesystem::exists(st) && !std::filesystem::is_regular_file(st))
            throw DbfError(std::filesystem::is_directory(st)
                               ? FileIo::openError(
                                     file, FileIo::error(platform::ErrorKind::IsDirectory))
                               : "Не удаётся открыть файл " + file +
                                     ": это не обычный файл (канал или устройство)");
        Table table("dump");
        table.setTableName(file);
        table.setReadOnly(true); // a dump never changes the file
        table.open();
        std::vector<FieldInfo> fields;
        for (int i = 0; i < table.fieldCount(); ++i)
            fields.push_back(table.field(i));
        if (opt.json) {
            nlohmann::ordered_json j;
            j["fields"] = nlohmann::ordered_json::array();
            for (const FieldInfo& f : fields)
                j["fields"].push_back({{"name", f.name},
                                       {"type", typeText(f)},
                                       {"length", f.length},
                                       {"decimals", f.decimals}});
            j["records"] = nlohmann::ordered_json::array();
            for (table.first(); !table.eof(); table.next()) {
                nlohmann::ordered_json rec = nlohmann::ordered_json::object();
                for (const FieldInfo& f : fields)
                    rec[f.name] = jsonValue(table.value(f.name), f);
                j["records"].push_back(std::move(rec));
            }
            ctx.out << j.dump() << "\n";
        } else {
            ctx.out << "Файл: " << table.filePath() << "\n";
            ctx.out << "Поля (" << fields.size() << "):\n";
            for (const FieldInfo& f : fields)
                ctx.out << "  " << f.name << "  " << typeText(f) << "  " << f.length << "  "
                        << f.decimals << "\n";
            long n = 0;
            for (table.first(); !table.eof(); table.next()) {
                ctx.out << "Запись " << table.recNo() << ":\n";
                for (const FieldInfo& f : fields)
                    ctx.out << "  " << f.name << " = " << plainValue(table.value(f.name), f)
                            << "\n";
                ++n;
            }
            ctx.out << "Записей: " << n << "\n";
        }
        table.close();
    } catch (const std::exception& e) {
        ctx.err << "vorn dump: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

} // namespace

void addDumpCommand(CLI::App& root, CliRunner& run) {
    auto opt = std::make_shared<DumpOptions>();
    CLI::App* sub =
        root.add_subcommand("dump", "поля и видимые записи любой таблицы DBF (файл не меняется)");
    sub->add_option("ФАЙЛ", opt->file, "таблица DBF")->required()->type_name("ФАЙЛ");
    sub->add_flag("--json", opt->json, "вывести таблицу объектом JSON");
    sub->callback(
        [&run, opt] { run = [opt](const CliContext& ctx) { return dumpCommand(ctx, *opt); }; });
}

} // namespace vorn
