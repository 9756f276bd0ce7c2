// vorn report as a process: the PDF's pages and text (through pdftotext), the exit
// statuses, and the calculation file left as it was.
#include "data/CalcRecord.h"
#include "data/Table.h"

#include <algorithm>
#include <cstdio>
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
                                VORN_DATA_DIR + "' >'" + (dir / "out").string() + "' 2>'" +
                                (dir / "err").string() + "'";
        const int status = std::system(cmd.c_str());
        out = readFile(dir / "out");
        err = readFile(dir / "err");
#ifdef _WIN32
        return status; // cmd.exe gives the exit status itself
#else
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    }
    // The text of a PDF, pages separated by form feeds.
    std::string pdfText(const fs::path& pdf) {
        const fs::path txt = dir / "text.txt";
        const std::string cmd = "pdftotext '" + pdf.string() + "' '" + txt.string() + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
        return readFile(txt);
    }
    fs::path dir;
    std::string out;
    std::string err;
};

size_t pageCount(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\f'));
}

TEST_F(ReportCommandTest, WritesOnePageWithEveryCaptionAndValue) {
    const fs::path folder = fs::path(VORN_SOURCE_DIR) / "tests" / "cases" / "cooling-apples";
    const fs::path input = dir / "apples.vrn";
    fs::copy_file(folder / "input.vrn", input);
    const std::string before = readFile(input);
    const fs::path out = dir / "apples.pdf";

    ASSERT_EQ(vorn("report '" + input.string() + "' -o '" + out.string() + "'"), 0) << err;
    EXPECT_EQ(readFile(input), before) << "the calculation file is left as it was";
    const std::string text = pdfText(out);
    EXPECT_EQ(pageCount(text), 1u) << "one page";

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
    const fs::path stopped = dir / "stopped.pdf";
    EXPECT_EQ(vorn("report '" VORN_SOURCE_DIR
                   "/tests/cases/blank-chamber-humidity/input.vrn' -o '" +
                   stopped.string() + "'"),
              3)
        << "a recalculation stopped at an undefined step prints no report";
    EXPECT_FALSE(err.empty());
    EXPECT_FALSE(fs::exists(stopped));
    // Nothing but the inputs is left in the folder: no temporary file of a failed write.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
        ++entries;
    EXPECT_EQ(entries, 4); // a.vrn, folder.pdf, out, err
}

TEST_F(ReportCommandTest, SystemsListPrintsTheSelection) {
    // The apples chamber with 38 °C outside: ambient class 40.
    const fs::path input = dir / "hot.vrn";
    fs::copy_file(fs::path(VORN_SOURCE_DIR) / "tests/cases/cooling-apples/input.vrn", input);
    {
        Table t("hot");
        configureCalcTable(t);
        t.setTableName(input.string());
        t.open();
        t.edit();
        t.setValue("OB_RGTMAX", Value(38));
        t.post();
        t.close();
    }
    const std::string before = readFile(input);
    const std::string in = "'" + input.string() + "'";
    const fs::path pdf = dir / "list.pdf";
    const std::string to = " -o '" + pdf.string() + "'";
    const auto rowsOf = [this](const std::string& args) {
        EXPECT_EQ(vorn("select " + args + " --json"), 0) << err;
        return nlohmann::json::parse(out)["rows"];
    };

    ASSERT_EQ(vorn("calc " + in + " --json"), 0) << err;
    const std::string capacity = nlohmann::json::parse(out)["labels"]["QRLabel98"];
    const auto rows = rowsOf(in);
    ASSERT_GE(rows.size(), 1u);
    ASSERT_EQ(vorn("systems " + in + to), 0) << err;
    std::string text = pdfText(pdf);
    EXPECT_EQ(pageCount(text), 1 + (rows.size() + 50) / 51);
    // pdftotext joins the hyphenated caption and splits "dT +40°С" over two lines.
    for (const std::string& c :
         {std::string("Q +40°С"), std::string("dT"), std::string("+40°С"),
          std::string("Холодильные системы для 0 °С в охлаждаемом объеме"),
          std::string("Воздухоохладитель"), std::string("Потребная холодопроизводительность, кВт"),
          capacity, std::string("Яблоки")})
        EXPECT_NE(text.find(c), std::string::npos) << c;
    for (const auto& row : rows) {
        EXPECT_NE(text.find(row["SIS"].get<std::string>()), std::string::npos);
        EXPECT_NE(text.find(std::to_string(row["Q"].get<long>())), std::string::npos);
    }

    // The band and the number of systems as vorn select takes them; the capacity printed
    // stays the total.
    const auto wide = rowsOf(in + " --from 60 --to 200");
    EXPECT_GT(wide.size(), rows.size());
    ASSERT_EQ(vorn("systems " + in + " --from 60 --to 200" + to), 0) << err;
    EXPECT_EQ(pageCount(pdfText(pdf)), 1 + (wide.size() + 50) / 51);
    ASSERT_EQ(vorn("systems " + in + " --systems 3" + to), 0) << err;
    text = pdfText(pdf);
    EXPECT_NE(text.find("Количество систем\n\n3\n"), std::string::npos);
    EXPECT_NE(text.find(capacity), std::string::npos);

    EXPECT_EQ(vorn("systems " + in + " --systems 12" + to), 2);
    EXPECT_NE(err.find("--systems"), std::string::npos);
    EXPECT_EQ(readFile(input), before) << "--systems changes only the list, not the file";
}

// The calculation note of a freezer with heaters and defrost: every step's heading, every
// input's field and value, the warning, and "Лист N из M" on every page.
TEST_F(ReportCommandTest, NoteShowsEveryStepAndInputOnNumberedPages) {
    const fs::path input = dir / "freezer.vrn";
    fs::copy_file(fs::path(VORN_DATA_DIR) / "vorn.dbf", input);
    const std::string in = "'" + input.string() + "'";
    ASSERT_EQ(vorn("set " + in + " VO_UTOCH=T VO_TEN=0.5 VO_OTTPOW=3 VO_OTTKOL=4 " +
                   "VO_OTTMIN=40 OB_TIMEWRK=22 --json"),
              0)
        << err;
    const auto calc = nlohmann::json::parse(out);
    ASSERT_EQ(calc["warnings"].size(), 1u);
    const fs::path pdf = dir / "note.pdf";
    ASSERT_EQ(vorn("report " + in + " --note -o '" + pdf.string() + "'"), 0) << err;

    std::string text = pdfText(pdf);
    const size_t pages = pageCount(text);
    EXPECT_GT(pages, 2u);
    // wrapped cells and lines read as one text
    std::string flat;
    for (char c : text) {
        const char d = (c == '\n' || c == '\f') ? ' ' : c;
        if (!(d == ' ' && !flat.empty() && flat.back() == ' '))
            flat += d;
    }
    for (size_t n = 1; n <= pages; ++n) {
        const std::string sheet = "Лист " + std::to_string(n) + " из " + std::to_string(pages);
        EXPECT_NE(flat.find(sheet), std::string::npos) << sheet;
    }
    EXPECT_NE(flat.find(calc["warnings"][0].get<std::string>()), std::string::npos);
    ASSERT_EQ(calc["steps"].size(), 10u);
    for (const auto& step : calc["steps"]) {
        const std::string title = step["title"];
        EXPECT_NE(flat.find(title), std::string::npos) << title;
        for (const auto& field : step["inputs"]) {
            const std::string name = field["name"];
            EXPECT_NE(flat.find(name), std::string::npos) << name;
            std::string value;
            if (field["value"].is_string()) {
                value = field["value"];
            } else {
                char buf[32];
                std::snprintf(buf, sizeof buf, "%.6g", field["value"].get<double>());
                value = buf;
                std::replace(value.begin(), value.end(), '.', ',');
            }
            EXPECT_NE(flat.find(value), std::string::npos) << name << " = " << value;
        }
    }
    EXPECT_NE(flat.find("Теплоприток от двигателей вентиляторов и ТЭНов Qво"), std::string::npos);
}

} // namespace
} // namespace vorn
