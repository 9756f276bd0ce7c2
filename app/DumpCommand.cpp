// vorn dump FILE [--json]: the fields and visible records of any DBF table.
#include "app/Commands.h"
#include "app/JsonText.h"
#include "data/Table.h"

#include <charconv>
#include <cstdio>
#include <ostream>

namespace vorn {

namespace {

void writeJsonString(std::ostream& out, const std::string& s) {
    out << jsonString(s);
}

// Shortest text that reads back as the same double; fractional fields keep a ".0".
std::string numberText(double v, bool fractional) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, res.ptr);
    if (fractional && s.find_first_of(".e") == std::string::npos)
        s += ".0";
    return s;
}

void writeJsonValue(std::ostream& out, const Value& v, const FieldInfo& f) {
    switch (v.type()) {
    case Value::Type::Null:
        out << "null";
        break;
    case Value::Type::Number:
        out << numberText(v.toDouble(), f.kind == FieldKind::Float);
        break;
    case Value::Type::Logical:
        out << (v.toBool() ? "true" : "false");
        break;
    case Value::Type::Text:
    case Value::Type::Date:
        writeJsonString(out, v.toString());
        break;
    }
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

} // namespace

int dumpCommand(const CliContext& ctx, const std::vector<std::string>& args) {
    std::string file;
    bool json = false;
    for (const std::string& a : args) {
        if (a == "--json") {
            json = true;
        } else if (file.empty() && (a.empty() || a[0] != '-' || a == "-")) {
            file = a;
        } else {
            ctx.err << "vorn dump: неизвестный аргумент " << a << "\n";
            return 2;
        }
    }
    if (file.empty()) {
        ctx.err << "usage: vorn dump FILE [--json]\n";
        return 2;
    }
    try {
        Table table("dump");
        table.setTableName(file);
        table.setReadOnly(true); // a dump never changes the file
        table.open();
        std::vector<FieldInfo> fields;
        for (int i = 0; i < table.fieldCount(); ++i)
            fields.push_back(table.field(i));
        if (json) {
            ctx.out << "{\"fields\": [";
            for (size_t i = 0; i < fields.size(); ++i) {
                const FieldInfo& f = fields[i];
                ctx.out << (i ? ", " : "") << "{\"name\": ";
                writeJsonString(ctx.out, f.name);
                ctx.out << ", \"type\": ";
                writeJsonString(ctx.out, typeText(f));
                ctx.out << ", \"length\": " << f.length << ", \"decimals\": " << f.decimals << "}";
            }
            ctx.out << "], \"records\": [";
            bool firstRecord = true;
            for (table.first(); !table.eof(); table.next()) {
                ctx.out << (firstRecord ? "" : ", ") << "{";
                firstRecord = false;
                for (size_t i = 0; i < fields.size(); ++i) {
                    ctx.out << (i ? ", " : "");
                    writeJsonString(ctx.out, fields[i].name);
                    ctx.out << ": ";
                    writeJsonValue(ctx.out, table.value(fields[i].name), fields[i]);
                }
                ctx.out << "}";
            }
            ctx.out << "]}\n";
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

} // namespace vorn
