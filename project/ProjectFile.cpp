#include "project/ProjectFile.h"

#include "data/CodePage.h"
#include "data/DbfCreate.h"
#include "data/DbfHeader.h"
#include "data/Table.h"
#include "data/platform/PlatformFile.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace vorn {

namespace {
namespace fs = std::filesystem;

struct TextField {
    const char* name;
    int width;
};
constexpr TextField kFile{"FILE", 254};
constexpr TextField kNote{"NOTE", 80};
constexpr TextField kClient{"CLIENT", 100};
constexpr TextField kNumber{"OFFER_NO", 20};
constexpr TextField kCurrency{"CURRENCY", 10};
constexpr TextField kExecutor{"EXECUTOR", 60};

const std::vector<DbfFieldSpec>& fieldSpecs() {
    static const std::vector<DbfFieldSpec> specs = {
        {"KIND", 'C', 6, 0},
        {kFile.name, 'C', kFile.width, 0},
        {"QTY", 'N', 5, 0},
        {kNote.name, 'C', kNote.width, 0},
        {kClient.name, 'C', kClient.width, 0},
        {kNumber.name, 'C', kNumber.width, 0},
        {"OFFER_DATE", 'D', 8, 0},
        {"VAT", 'N', 6, 2},
        {"TARIFF", 'N', 10, 4},
        {kCurrency.name, 'C', kCurrency.width, 0},
        {kExecutor.name, 'C', kExecutor.width, 0},
    };
    return specs;
}

constexpr const char* kInProject = "в файле проекта";

void checkWidth(const TextField& f, const std::string& text, const char* what) {
    if (utf8Characters(text) > static_cast<size_t>(f.width))
        throw std::runtime_error(std::string(what) + " длиннее " + std::to_string(f.width) +
                                 " знаков: " + text);
}

// A text as the file keeps it: typographic marks in their plain forms («» as ", – as -),
// within the width. A character code page 866 has no byte for is refused by name.
std::string storable(const TextField& f, const std::string& text, const char* what) {
    const StorableText t = toStorableText(text, TextCodePage::Cp866, kInProject);
    if (t.refused())
        throw std::runtime_error(std::string(what) + ": " + t.refusal);
    checkWidth(f, t.text, what);
    return t.text;
}

// A path must name its file exactly: nothing in it is replaced.
void checkPath(const TextField& f, const std::string& text, const char* what) {
    const StorableText t = toStorableText(text, TextCodePage::Cp866, kInProject);
    if (t.refused() || t.text != text)
        throw std::runtime_error(std::string(what) +
                                 " содержит знаки, которых нет в кодовой странице 866: " + text);
    checkWidth(f, text, what);
}

void checkQty(int qty) {
    if (qty < 1 || qty > ProjectFile::kMaxQty)
        throw std::runtime_error("количество камер должно быть от 1 до " +
                                 std::to_string(ProjectFile::kMaxQty) + ": " + std::to_string(qty));
}

// The settings as the file keeps them; refuses what it cannot keep.
OfferSettings storableSettings(const OfferSettings& settings) {
    OfferSettings s = settings;
    s.client = storable(kClient, s.client, "Клиент");
    s.number = storable(kNumber, s.number, "Номер предложения");
    s.currency = storable(kCurrency, s.currency, "Валюта");
    s.executor = storable(kExecutor, s.executor, "Исполнитель");
    if (!(s.vatPercent >= 0 && s.vatPercent <= 100))
        throw std::runtime_error("ставка НДС должна быть от 0 до 100 %");
    if (!(s.tariff >= 0 && s.tariff < 100000))
        throw std::runtime_error("тариф должен быть от 0 до 99999");
    return s;
}

// A project cut short (a copy broken off, a full disk) would read as a shorter project,
// the client and the chambers past the cut silently gone: refused, as a damaged header is.
void checkWhole(const std::string& path) {
    platform::File f;
    if (f.open(path, platform::File::Mode::Read))
        return; // the table's own open says why
    const DbfHeader h = DbfHeader::read(f, path);
    const std::uint64_t need =
        h.headerLength + std::uint64_t(DbfHeader::recordCount(f)) * h.recordLength;
    platform::FileStamp st;
    if (f.stamp(st) && static_cast<std::uint64_t>(st.size) < need)
        throw std::runtime_error("файл проекта " + path + " поврежден: он обрезан (в файле " +
                                 std::to_string(st.size) + " байт, нужно " + std::to_string(need) +
                                 ")");
}

// Opens the project for reading or writing; anything but a project table is refused.
void openProject(Table& t, const std::string& path, bool write) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::u8path(path), ec))
        throw std::runtime_error("файл проекта не найден: " + path);
    checkWhole(path);
    t.setTableName(path);
    t.setReadOnly(!write);
    t.open();
    for (const char* f : {"KIND", "FILE", "QTY", "NOTE"})
        if (!t.hasField(f)) {
            t.close();
            throw std::runtime_error("это не файл проекта (нет поля " + std::string(f) +
                                     "): " + path);
        }
}

bool isKind(const Table& t, const char* kind) {
    return t.asString("KIND") == kind;
}

// Moves to chamber index (1-based); refuses an index outside the list.
void seekChamber(Table& t, int index) {
    int n = 0;
    for (t.first(); !t.eof(); t.next())
        if (isKind(t, ProjectFile::kChamberKind) && ++n == index)
            return;
    t.close();
    throw std::runtime_error("в проекте нет камеры с номером " + std::to_string(index));
}

void writeSettings(Table& t, const OfferSettings& s) {
    t.setValue("KIND", ProjectFile::kSettingsKind);
    t.setValue(kClient.name, s.client);
    t.setValue(kNumber.name, s.number);
    t.setValue("OFFER_DATE", s.date.year ? Value(s.date) : Value());
    t.setValue("VAT", s.vatPercent);
    t.setValue("TARIFF", s.tariff);
    t.setValue(kCurrency.name, s.currency);
    t.setValue(kExecutor.name, s.executor);
}

std::string optionalText(const Table& t, const char* field) {
    return t.hasField(field) ? t.asString(field) : std::string();
}

Date today() {
    const std::tm tm = platform::localTime(std::time(nullptr));
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}
} // namespace

std::string Project::chamberPath(size_t index) const {
    return ProjectFile::resolve(path, chambers.at(index).file);
}

void ProjectFile::create(const std::string& path, const OfferSettings& settings) {
    OfferSettings s = storableSettings(settings);
    std::error_code ec;
    if (fs::exists(fs::u8path(path), ec))
        throw std::runtime_error("файл уже существует: " + path);
    if (!s.date.year)
        s.date = today();
    createDbf(path, fieldSpecs(), {});
    Table t;
    openProject(t, path, true);
    t.append();
    writeSettings(t, s);
    t.post();
    t.close();
}

Project ProjectFile::load(const std::string& path) {
    Project p;
    p.path = path;
    Table t;
    openProject(t, path, false);
    bool settingsSeen = false;
    for (t.first(); !t.eof(); t.next()) {
        if (isKind(t, kSettingsKind) && !settingsSeen) {
            settingsSeen = true;
            OfferSettings& s = p.settings;
            s.client = optionalText(t, kClient.name);
            s.number = optionalText(t, kNumber.name);
            if (t.hasField("OFFER_DATE") && t.value("OFFER_DATE").isDate())
                s.date = t.value("OFFER_DATE").toDate();
            if (t.hasField("VAT") && !t.value("VAT").isNull())
                s.vatPercent = t.asDouble("VAT");
            if (t.hasField("TARIFF"))
                s.tariff = t.asDouble("TARIFF");
            if (t.hasField(kCurrency.name) && !t.asString(kCurrency.name).empty())
                s.currency = t.asString(kCurrency.name);
            s.executor = optionalText(t, kExecutor.name);
        } else if (isKind(t, kChamberKind)) {
            ProjectChamber c;
            c.file = t.asString("FILE");
            const double qty = t.asDouble("QTY");
            // a quantity edited to nothing counts one chamber
            c.qty = qty >= 1 && qty <= kMaxQty ? static_cast<int>(qty) : 1;
            c.note = t.asString("NOTE");
            p.chambers.push_back(std::move(c));
        }
    }
    t.close();
    return p;
}

void ProjectFile::addChamber(const std::string& projectPath, const std::string& calcPath, int qty,
                             const std::string& note) {
    checkQty(qty);
    const std::string stored = relativePath(projectPath, calcPath);
    checkPath(kFile, stored, "Путь к расчету");
    const std::string storedNote = storable(kNote, note, "Примечание");
    Table t;
    openProject(t, projectPath, true);
    t.append();
    t.setValue("KIND", kChamberKind);
    t.setValue("FILE", stored);
    t.setValue("QTY", qty);
    t.setValue("NOTE", storedNote);
    t.post();
    t.close();
}

void ProjectFile::removeChamber(const std::string& projectPath, int index) {
    Table t;
    openProject(t, projectPath, true);
    seekChamber(t, index);
    t.deleteRecord();
    t.close();
}

void ProjectFile::setChamber(const std::string& projectPath, int index, int qty,
                             const std::string& note) {
    checkQty(qty);
    const std::string storedNote = storable(kNote, note, "Примечание");
    Table t;
    openProject(t, projectPath, true);
    seekChamber(t, index);
    t.edit();
    t.setValue("QTY", qty);
    t.setValue("NOTE", storedNote);
    t.post();
    t.close();
}

void ProjectFile::saveSettings(const std::string& projectPath, const OfferSettings& settings) {
    const OfferSettings s = storableSettings(settings);
    Table t;
    openProject(t, projectPath, true);
    bool found = false;
    for (t.first(); !t.eof(); t.next())
        if (isKind(t, kSettingsKind)) {
            found = true;
            break;
        }
    if (found)
        t.edit();
    else
        t.append();
    writeSettings(t, s);
    t.post();
    t.close();
}

std::string ProjectFile::relativePath(const std::string& projectPath, const std::string& calcPath) {
    std::error_code ec;
    const fs::path base =
        fs::weakly_canonical(fs::absolute(fs::u8path(projectPath)), ec).parent_path();
    const fs::path file = fs::weakly_canonical(fs::absolute(fs::u8path(calcPath)), ec);
    fs::path rel = file.lexically_relative(base);
    // Another drive has no relative path: the full one is kept.
    if (rel.empty())
        rel = file;
    return rel.generic_u8string();
}

std::string ProjectFile::resolve(const std::string& projectPath, const std::string& stored) {
    const fs::path p = fs::u8path(stored);
    if (p.is_absolute())
        return p.lexically_normal().u8string();
    return (fs::absolute(fs::u8path(projectPath)).parent_path() / p).lexically_normal().u8string();
}

} // namespace vorn
