// vorn calc FILE [--json]: the heat balance of a calculation, the file left untouched.
#include "app/Commands.h"
#include "app/JsonText.h"
#include "app/Session.h"
#include "calc/NumberFormat.h"
#include "data/DataModule.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <system_error>

namespace vorn {

namespace {
namespace fs = std::filesystem;

// The report captions of the nine gains, the sum and the required capacity.
const char* const kCaptions[11] = {
    "Теплоприток через стены Qстен, кВт",
    "Теплоприток от обменной вентиляции Qвен, кВт",
    "Теплоприток от инфильтрации Qинф, кВт",
    "Теплоприток от термообработки Qпрод, кВт",
    "Теплоприток от дыхания продуктов Qдых, кВт",
    "Теплоприток от освещения Qосв, кВт",
    "Теплоприток от персонала Qперс, кВт",
    "Теплоприток от ПТС Qптс, кВт",
    "Теплоприток от двигателей вентиляторов Qво, кВт",
    "Суммарный теплоприток, кВт",
    "Потребная холодопроизводительность, кВт",
};
// Report labels the recalculation fills, in report order.
const int kLabels[] = {70, 71, 72, 73, 74, 75, 76, 77, 78, 97, 79,
                       80, 81, 82, 83, 84, 85, 86, 87, 88, 93, 98};

// A box as a JSON number with its two decimals: "5.76", "-0.30".
std::string jsonBox(double box) {
    std::string s = formatMask2(box);
    for (char& c : s)
        if (c == ',')
            c = '.';
    return s;
}

// Shortest round-trip form, always with a decimal point ("7.0").
std::string jsonNumber(double v) {
    if (!std::isfinite(v))
        return "null";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, res.ptr);
    if (s.find_first_of(".e") == std::string::npos)
        s += ".0";
    return s;
}

size_t displayWidth(const std::string& utf8) {
    size_t n = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

// A private folder for the working copy, removed on every way out.
class TempCopy {
public:
    explicit TempCopy(const std::string& source) {
        std::string pattern = (fs::temp_directory_path() / "vorn-calc-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("не удалось создать временную папку");
        dir_ = pattern;
        path_ = (fs::path(dir_) / fs::u8path(source).filename()).u8string();
        fs::copy_file(fs::u8path(source), fs::u8path(path_));
    }
    ~TempCopy() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    TempCopy(const TempCopy&) = delete;
    TempCopy& operator=(const TempCopy&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string dir_;
    std::string path_;
};

void printJson(std::ostream& out, const std::string& file, const std::string& regime,
               const CalcResults& r, double vnKr) {
    out << "{\"file\": " << jsonString(file) << ", \"regime\": " << jsonString(regime)
        << ", \"boxes\": {";
    for (int n = 1; n <= CalcResults::kBoxCount; ++n)
        out << (n > 1 ? ", " : "") << "\"CurrencyEdit" << n << "\": " << jsonBox(r.box(n));
    out << "}, \"labels\": {";
    for (int l : kLabels)
        out << "\"QRLabel" << l << "\": " << jsonString(r.label(l)) << ", ";
    out << "\"Label3\": " << jsonString(r.label3) << "}, \"VN_KR\": " << jsonNumber(vnKr) << "}\n";
}

void printTable(std::ostream& out, const std::string& file, const std::string& regime,
                const CalcResults& r) {
    out << "Расчет: " << file << "\n";
    out << "Режим: " << regime << "\n\n";
    for (int n = 1; n <= CalcResults::kBoxCount; ++n) {
        if (n == 10)
            out << std::string(60, '-') << "\n";
        const std::string caption = kCaptions[n - 1];
        const std::string value = formatGrouped2(r.box(n));
        const size_t used = displayWidth(caption) + displayWidth(value);
        out << caption << std::string(used < 60 ? 60 - used : 1, ' ') << value << "\n";
    }
    out << "\nКоличество проходов в камеру: " << r.label3 << " (" << r.label(79) << " дверь)\n";
}
} // namespace

int calcCommand(const CliContext& ctx, const std::vector<std::string>& args) {
    std::string file;
    bool json = false;
    for (const std::string& a : args) {
        if (a == "--json") {
            json = true;
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            ctx.err << "vorn calc: неизвестный параметр " << a << "\n";
            return 2;
        } else if (file.empty()) {
            file = a;
        } else {
            ctx.err << "vorn calc: лишний аргумент " << a << "\n";
            return 2;
        }
    }
    if (file.empty()) {
        ctx.err << "использование: vorn calc ФАЙЛ [--data ПАПКА] [--json]\n";
        return 2;
    }

    std::error_code ec;
    if (!fs::is_regular_file(fs::u8path(file), ec)) {
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

    std::string regime;
    double vnKr = 0;
    CalcResults results;
    try {
        TempCopy copy(file);
        Session session(dm);
        try {
            session.openCalculation(copy.path());
        } catch (const std::exception& e) {
            ctx.err << "Указанный расчет не может быть открыт ! " << file << ": " << e.what()
                    << "\n";
            return 1;
        }
        regime = dm.taWork.asString("OB_TERMR");
        vnKr = dm.taWork.asDouble("VN_KR");
        results = session.results();
        session.closeCalculation();
    } catch (const std::exception& e) {
        ctx.err << "Указанный расчет не может быть открыт ! " << file << ": " << e.what() << "\n";
        return 1;
    }
    if (!results.error.empty()) {
        ctx.err << results.error << "\n";
        return 3;
    }
    if (json)
        printJson(ctx.out, file, regime, results, vnKr);
    else
        printTable(ctx.out, file, regime, results);
    return 0;
}

} // namespace vorn
