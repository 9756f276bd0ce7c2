// vorn report as a process: the PDF's pages and text (through pdftotext), the exit
// statuses, and the calculation file left as it was.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>

namespace vorn {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class ReportCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("pdftotext -v >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        dir = fs::temp_directory_path() / ("vorn_rep_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    // Runs vorn with args; stderr kept in err.
    int vorn(const std::string& args) {
        const std::string cmd = std::string("'") + VORN_BINARY + "' " + args + " --data '" +
                                VORN_DATA_DIR + "' 2>'" + (dir / "err").string() + "'";
        const int status = std::system(cmd.c_str());
        err = readFile(dir / "err");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // The text of a PDF, pages separated by form feeds.
    std::string pdfText(const fs::path& pdf) {
        const fs::path txt = dir / "text.txt";
        const std::string cmd = "pdftotext '" + pdf.string() + "' '" + txt.string() + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
        return readFile(txt);
    }
    fs::path dir;
    std::string err;
};

TEST_F(ReportCommandTest, WritesOnePageWithEveryCaptionAndValue) {
    const fs::path folder = fs::path(VORN_SOURCE_DIR) / "tests" / "cases" / "cooling-apples";
    const fs::path input = dir / "apples.vrn";
    fs::copy_file(folder / "input.vrn", input);
    const std::string before = readFile(input);
    const fs::path out = dir / "apples.pdf";

    ASSERT_EQ(vorn("report '" + input.string() + "' -o '" + out.string() + "'"), 0) << err;
    EXPECT_EQ(readFile(input), before) << "the calculation file is left as it was";
    const std::string text = pdfText(out);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 1) << "one page";

    const char* const captions[] = {
        "Расчет теплового баланса холодильной камеры",
        "Длина камеры, м",
        "Относительная влажность, %",
        "Материал изоляции",
        "Теплоприток через стены Qстен, кВт",
        "Кратность вентиляции в камере",
        "Теплоприток от обменной вентиляции Qвен, кВт",
        "Количество проходов",
        "Теплоприток от инфильтрации Qинф, кВт",
        "начальная",
        "конечная",
        "Теплоприток от термообработки Qпрод, кВт",
        "Теплоприток от дыхания продуктов Qдых, кВт",
        "Время работы освещения, час/сут",
        "Теплоприток от освещения Qосв, кВт",
        "Число рабочих в камере, чел.",
        "Теплоприток от персонала Qперс, кВт",
        "Полная мощность подъемно-транспортных средств, кВт",
        "Теплоприток от ПТС Qптс, кВт",
        "Мощность вентиляторов ВО, кВт",
        "Теплоприток от двигателей вентиляторов Qво, кВт",
        "Суммарный теплоприток, кВт",
        "Коэффициент запаса",
        "Потребная холодопроизводительность, кВт",
        "( с учетом коэф-та запаса и времени работы оборудования )",
        "Выбранное оборудование",
        "Производительность системы, Вт",
        "Примечание",
        "Исполнитель",
        "Vorn версия 2.05 от 03.10.2002г.",
        "Яблоки",
    };
    for (const char* c : captions)
        EXPECT_NE(text.find(c), std::string::npos) << c;
    EXPECT_NE(text.find(out.parent_path().string()), std::string::npos) << "the file label";
    // Every computed label the recalculation set for this case.
    const auto want = nlohmann::json::parse(readFile(folder / "expected.json"));
    for (const auto& [name, value] : want["labels"].items()) {
        if (name != "Label3") {
            EXPECT_NE(text.find(value.get<std::string>()), std::string::npos) << name;
        }
    }
}

TEST_F(ReportCommandTest, FailuresExitOneAndLeaveNoFile) {
    const fs::path input = dir / "a.vrn";
    fs::copy_file(fs::path(VORN_DATA_DIR) / "vorn.dbf", input);
    fs::create_directory(dir / "folder.pdf");
    struct Case {
        std::string file;
        fs::path out;
        const char* message;
    };
    const Case cases[] = {
        {(dir / "missing.vrn").string(), dir / "m.pdf", "не может быть открыт"},
        {input.string(), dir / "no" / "such" / "x.pdf", "не найдена"},
        {input.string(), dir / "folder.pdf", "папка"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(vorn("report '" + c.file + "' -o '" + c.out.string() + "'"), 1) << c.file;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_FALSE(fs::is_regular_file(c.out)) << c.out;
    }
    EXPECT_EQ(vorn("report '" + input.string() + "'"), 2) << "OUT is required";
    // Nothing but the inputs is left in the folder: no temporary file of a failed write.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
        ++entries;
    EXPECT_EQ(entries, 3); // a.vrn, folder.pdf, err
}

} // namespace
} // namespace vorn
