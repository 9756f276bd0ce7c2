#include "data/CalcRecord.h"

#include "data/DbfCreate.h"
#include "data/DbfHeader.h"
#include "data/FileIo.h"

#include <cmath>
#include <filesystem>
#include <cstdio>
#include <string>

namespace vorn {

namespace {

std::vector<FieldDecl> buildFields() {
    using K = FieldKind;
    std::vector<FieldDecl> f;
    auto add = [&f](std::string name, K kind) { f.push_back({std::move(name), kind}); };
    auto numbered = [&f](const char* prefix, K kind) {
        for (int n = 1; n <= 6; ++n)
            f.push_back({prefix + std::to_string(n), kind});
    };

    add("OB_RGNAIM", K::Text);
    for (int n = 1; n <= 9; ++n)
        add("CH" + std::to_string(n), K::Logical);
    add("OBR_NAIM", K::Text);
    add("OBR_AGR", K::Text);
    add("OBR_VO", K::Text);
    add("OB_ISP", K::Text);
    add("OB_RGTMAX", K::SmallInt);
    add("OB_RGVLAJ", K::SmallInt);
    add("OB_TERMR", K::Text);
    add("OB_TEMKAM", K::SmallInt);
    add("OB_TIMEWRK", K::SmallInt);
    add("OB_KZAPAS", K::Float);
    add("OB_KAMDL", K::Float);
    add("OB_KAMSH", K::Float);
    add("OB_KAMVS", K::Float);
    add("OB_OPER", K::Text);
    add("OB_DATE", K::Date);
    add("KL_NAIM", K::Text);
    add("KL_DATA", K::Text);
    add("KL_PRIM", K::Text);
    numbered("ST_M", K::Text);
    numbered("ST_MT", K::Int);
    numbered("ST_IZ", K::Text);
    numbered("ST_IZT", K::Int);
    numbered("ST_TEM", K::SmallInt);
    add("ST_IDENT", K::Logical);
    add("VN_KR", K::Float);
    add("VN_FLAG", K::Logical);
    add("IN_TIP", K::Logical);
    add("IN_ZAV", K::Text);
    add("IN_DV", K::Float);
    add("IN_DH", K::Float);
    add("IN_TOV", K::Text);
    add("IN_VSHTAB", K::Float);
    add("IN_PLOTN", K::SmallInt);
    add("IN_GPTS", K::Int);
    add("TE_PTIP", K::Text);
    add("TE_PMAS", K::Int);
    add("TE_POBOR", K::Int);
    add("TE_PT0", K::SmallInt);
    add("TE_PT1", K::SmallInt);
    add("TE_TTIP", K::Text);
    add("TE_TMAS", K::Int);
    add("TE_TOBOR", K::Int);
    add("TE_TT0", K::SmallInt);
    add("TE_TT1", K::SmallInt);
    add("TE_VLAJ", K::SmallInt);
    add("OS_TIME", K::SmallInt);
    add("OS_POW", K::SmallInt);
    add("OS_REC", K::Logical);
    add("PER_KOL", K::SmallInt);
    add("TRS_POW", K::SmallInt);
    add("PRO_PRED", K::SmallInt);
    add("PRO_VKOL", K::SmallInt);
    add("PRO_VPOW", K::SmallInt);
    add("VO_PROC", K::SmallInt);
    add("VO_UTOCH", K::Logical);
    add("VO_KOLVO", K::SmallInt);
    add("VO_POW", K::Float);
    add("OBR_SHKAF", K::Text);
    add("OBR_KMONT", K::Text);
    add("KOLSYS", K::SmallInt);
    add("PROIZSYS", K::Int);
    add("SIS", K::Text);
    for (const HeaterField& h : heaterFields())
        f.push_back({h.name, kindOf(h.type, h.length, h.decimals), true});
    return f;
}

// Wall areas and volume from the chamber dimensions. A blank dimension reads as 0.
void calcAreas(Table& t) {
    const double dl = t.asDouble("OB_KAMDL");
    const double sh = t.asDouble("OB_KAMSH");
    const double vs = t.asDouble("OB_KAMVS");
    t.setValue("ob_kamv", dl * sh * vs);
    t.setValue("ob_s1", sh * vs); // wall А, along the width
    t.setValue("ob_s2", dl * vs); // wall Б, along the length
    t.setValue("ob_s3", sh * vs); // wall В
    t.setValue("ob_s4", dl * vs); // wall Г
    t.setValue("ob_s5", sh * dl); // ceiling
    t.setValue("ob_s6", sh * dl); // floor
}

} // namespace

namespace {
bool zeroIsShown(const std::string& field) {
    // chamber, region, outside each wall, product and packaging at the start and the end,
    // and the calculated fields
    static const char* const kFields[] = {"OB_TEMKAM", "OB_RGTMAX", "ST_TEM1", "ST_TEM2", "ST_TEM3",
                                          "ST_TEM4",   "ST_TEM5",   "ST_TEM6", "TE_PT0",  "TE_PT1",
                                          "TE_TT0",    "TE_TT1",    "ob_s1",   "ob_s2",   "ob_s3",
                                          "ob_s4",     "ob_s5",     "ob_s6",   "ob_kamv"};
    const std::string key = foldCase(field);
    for (const char* t : kFields)
        if (key == foldCase(t))
            return true;
    return false;
}
} // namespace

std::string withDecimalComma(std::string text) {
    for (char& c : text)
        if (c == '.')
            c = ',';
    return text;
}

bool findByName(Table& t, const char* field, const std::string& name) {
    if (name.empty())
        return false;
    return t.locate(field, Value(name));
}

std::string valueText(const Value& v) {
    if (!v.isNumber())
        return v.toString();
    const double d = v.toDouble();
    if (!std::isfinite(d))
        return {};
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", d == 0 ? 0.0 : d);
    return withDecimalComma(buf);
}

std::string recordText(const std::string& field, const Value& v) {
    if (v.isNumber() && v.toDouble() == 0 && !zeroIsShown(field))
        return {};
    return valueText(v);
}

std::string calcFileProblem(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status st = fs::status(fs::u8path(path), ec);
    if (fs::is_directory(st)) {
        platform::SysError e;
        e.kind = platform::ErrorKind::IsDirectory;
        return FileIo::openError(path, e);
    }
    if (fs::exists(st) && !fs::is_regular_file(st)) // a FIFO or a device: never opened
        return "Файл " + path + " не является расчетом: это не обычный файл (канал или устройство)";
    platform::File f;
    if (const platform::SysError e = f.open(path, platform::File::Mode::Read))
        return FileIo::openError(path, e);
    std::string problem;
    try {
        const DbfHeader h = DbfHeader::read(f, path);
        const std::uint32_t count = DbfHeader::recordCount(f);
        platform::FileStamp stamp;
        f.stamp(stamp);
        const auto size = static_cast<size_t>(stamp.size < 0 ? 0 : stamp.size);
        const std::string damaged = "Файл расчета " + path + " поврежден: ";
        char flag = 0;
        size_t got = 0;
        if (count == 0)
            problem = damaged + "в нем нет записи расчета";
        else if (count > 1)
            problem = damaged + "записей в нем " + std::to_string(count) +
                      ", а в расчете должна быть одна";
        else if (size < h.headerLength + h.recordLength)
            problem = damaged + "запись обрезана (в файле " + std::to_string(size) +
                      " байт, нужно не меньше " + std::to_string(h.headerLength + h.recordLength) +
                      ")";
        else if (!FileIo::readFully(f, &flag, 1, static_cast<std::int64_t>(h.headerLength), &got))
            problem = damaged + "запись не читается";
        else if (flag == '*')
            problem = damaged + "запись расчета помечена как удаленная";
    } catch (const std::exception& e) {
        problem = e.what();
    }
    return problem;
}

std::string calcOpenFailureText(const std::string& what) {
    // The field's name stands between the first two quotes of both texts.
    const size_t open = what.find('\'');
    const size_t close = open == std::string::npos ? open : what.find('\'', open + 1);
    const std::string field =
        close == std::string::npos ? std::string() : what.substr(open + 1, close - open - 1);
    if (what.rfind("Field '", 0) == 0 && what.find("' not found") != std::string::npos)
        return "в файле нет поля " + field + ": это не файл расчета Vorn";
    if (what.rfind("Type mismatch for field '", 0) == 0)
        return "поле " + field + " в файле другого типа: это не файл расчета Vorn";
    if (what == RecordLocked::kMessage)
        return "запись расчета сейчас занята другим пользователем (расчет открыт в другой "
               "программе); повторите позже";
    return what;
}

const std::vector<HeaterField>& heaterFields() {
    // kW with three decimals as VO_POW; whole counts and minutes; the share with two
    // decimals. A defrost's share reaching the chamber: 0.3, the EnergyPlus walk-in
    // cooler model taking 0.7 of the defrost heat as melting the frost.
    static const std::vector<HeaterField> fields = {
        {"VO_TEN", 'N', 8, 3, 0},   {"VO_OTTPOW", 'N', 8, 3, 0}, {"VO_OTTKOL", 'N', 4, 0, 0},
        {"VO_OTTMIN", 'N', 4, 0, 0}, {"VO_OTTDOL", 'N', 6, 2, 0.3},
    };
    return fields;
}

bool isHeaterField(const std::string& name) {
    for (const HeaterField& h : heaterFields())
        if (equalsIgnoreCase(h.name, name))
            return true;
    return false;
}

bool hasHeaterFields(const Table& taWork) {
    if (!taWork.isOpen())
        return false;
    for (const HeaterField& h : heaterFields())
        if (!taWork.hasField(h.name))
            return false;
    return true;
}

bool addHeaterFields(const std::string& path) {
    namespace fs = std::filesystem;
    std::vector<DbfFieldSpec> specs;
    DbfRow row;
    {
        Table t;
        t.setTableName(path);
        t.setReadOnly(true);
        t.open(); // no declared fields: every field of the file
        bool missing = false;
        for (const HeaterField& h : heaterFields())
            missing = missing || !t.hasField(h.name);
        if (!missing)
            return false;
        t.first();
        for (int i = 0; i < t.fieldCount(); ++i) {
            const FieldInfo f = t.field(i);
            specs.push_back({f.name, f.type, f.length, f.decimals});
            row.push_back(t.eof() ? Value() : t.value(f.name));
        }
        for (const HeaterField& h : heaterFields()) {
            if (t.hasField(h.name))
                continue;
            specs.push_back({h.name, h.type, h.length, h.decimals});
            row.push_back(Value(h.templateValue));
        }
        t.close();
    }
    const fs::path target = fs::u8path(path);
    fs::path fresh = target;
    fresh += ".new";
    createDbf(fresh.u8string(), specs, {row});
    std::error_code ec;
    fs::rename(fresh, target, ec);
    if (ec) {
        fs::remove(fresh, ec);
        throw DbfError("Не удается записать " + path + " в новом формате");
    }
    return true;
}

const std::vector<FieldDecl>& calcRecordFields() {
    static const std::vector<FieldDecl> fields = buildFields();
    return fields;
}

void configureCalcTable(Table& table) {
    table.setDeclaredFields(calcRecordFields());
    for (int n = 1; n <= 6; ++n)
        table.addCalculatedField("ob_s" + std::to_string(n), FieldKind::Float);
    table.addCalculatedField("ob_kamv", FieldKind::Float);
    table.onCalcFields = calcAreas;
}

} // namespace vorn
