// vorn project over real calculations: the JSON of `show` against `vorn calc`, the catalogue
// and the price list; the chamber files left untouched; the folder moved elsewhere; a missing
// chamber; and the offer as PDF (its text through pdftotext) and as XLSX (read back with
// openpyxl).
#include "../data/Fixtures.h"
#include "app/cli/Commands.h"
#include "data/DbfCreate.h"
#include "data/Table.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#ifdef VORN_OFFER_COMMAND
#include <sys/wait.h>
#endif

namespace vorn::test {
namespace {
namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

class ProjectCommand : public ::testing::Test {
protected:
    void SetUp() override {
        data = dir.path() / "DATA";
        site = dir.path() / "site";
        fs::create_directories(data);
        fs::create_directories(site / "calc");
        copyData(data);
        project = (site / "p.vrp").string();
    }

    int run(std::vector<std::string> words) {
        out.str("");
        err.str("");
        CliContext ctx{"", data.string(), out, err};
        return runSubcommand(ctx, words);
    }
    // A calculation from the template with a system chosen (the first of the list).
    std::string chamber(const std::string& name, std::vector<std::string> assignments,
                        int systems) {
        const std::string path = (site / "calc" / name).string();
        fs::copy_file(fs::path(VORN_DATA_DIR) / "vorn.dbf", path);
        if (!assignments.empty()) {
            assignments.insert(assignments.begin(), {"set", path});
            EXPECT_EQ(run(assignments), 0) << err.str();
        }
        EXPECT_EQ(run({"select", path, "--systems", std::to_string(systems), "--choose", "1"}), 0)
            << err.str();
        return path;
    }
    static Value field(const std::string& file, const char* name) {
        Table t;
        t.setTableName(file);
        t.open();
        return t.value(name);
    }
    // Prices for every article of the files, 1000 + 100·k for the k-th; skip leaves one out.
    std::map<std::string, double> writePrices(const std::vector<std::string>& files,
                                              const std::string& skip = {}) {
        std::map<std::string, double> prices;
        std::vector<DbfRow> rows;
        for (const std::string& f : files)
            for (const char* name : {"OBR_AGR", "OBR_VO", "OBR_SHKAF", "OBR_KMONT"}) {
                const std::string article = field(f, name).toString();
                if (article == skip || prices.count(article))
                    continue;
                prices[article] = 1000 + 100.25 * static_cast<double>(prices.size());
                rows.push_back({article, "Изделие " + article, prices[article]});
            }
        createDbf((data / "prices.dbf").string(),
                  {{"ARTICLE", 'C', 20, 0}, {"NAME", 'C', 60, 0}, {"PRICE", 'N', 12, 2}}, rows);
        return prices;
    }
    // Two chambers in the project: a.vrn (template, 2 chambers, one system each) and b.vrn
    // (+2 °C, 12 × 10 m, two systems).
    void buildProject() {
        a = chamber("a.vrn", {}, 1);
        b = chamber("b.vrn", {"OB_TEMKAM=2", "OB_KAMDL=12", "OB_KAMSH=10"}, 2);
        ASSERT_EQ(run({"project", "new", project, "--client", "ООО Холод"}), 0) << err.str();
        ASSERT_EQ(run({"project", "add", project, a, "--qty", "2"}), 0) << err.str();
        ASSERT_EQ(run({"project", "add", project, b}), 0) << err.str();
    }
    json show(const std::string& where, const std::vector<std::string>& extra = {}) {
        std::vector<std::string> words{"project", "show", where, "--json"};
        words.insert(words.end(), extra.begin(), extra.end());
        EXPECT_EQ(run(words), 0) << err.str();
        return json::parse(out.str());
    }

    TempDir dir;
    fs::path data, site;
    std::string project, a, b;
    std::ostringstream out, err;
};

TEST_F(ProjectCommand, ShowsWhatTheCalculationsCatalogueAndPricesGive) {
    buildProject();
    const auto prices = writePrices({a, b});
    const std::string beforeA = readFile(a), beforeB = readFile(b);
    const json j = show(project, {"--tariff", "6.5"});
    EXPECT_EQ(readFile(a), beforeA) << "chamber files are never written";
    EXPECT_EQ(readFile(b), beforeB);

    std::vector<std::string> keys;
    for (const auto& item : j.items())
        keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"chambers", "totals", "materials", "warnings"}));
    ASSERT_EQ(j["chambers"].size(), 2u);
    for (const char* key :
         {"file", "qty", "temperature", "regime", "volume", "sum_kw", "required_kw", "system",
          "systems", "system_kw", "power_kw", "energy_kwh_year"})
        EXPECT_TRUE(j["chambers"][0].contains(key)) << key;
    for (const char* key : {"required_kw", "energy_kwh_year", "running_cost", "equipment", "vat",
                            "total", "complete"})
        EXPECT_TRUE(j["totals"].contains(key)) << key;
    EXPECT_EQ(j["chambers"][0]["file"], "calc/a.vrn");

    double required = 0, energy = 0;
    std::map<std::string, long> pieces;
    const std::string files[] = {a, b};
    for (size_t i = 0; i < 2; ++i) {
        const json& c = j["chambers"][i];
        ASSERT_EQ(run({"calc", files[i], "--json"}), 0) << err.str();
        const json calc = json::parse(out.str());
        const double q = calc["boxes"]["CurrencyEdit10"], qx = calc["boxes"]["CurrencyEdit11"];
        EXPECT_DOUBLE_EQ(c["sum_kw"].get<double>(), q);
        EXPECT_DOUBLE_EQ(c["required_kw"].get<double>(), qx);
        const int n = c["systems"], qty = c["qty"];
        EXPECT_EQ(n, i == 0 ? 1 : 2);
        EXPECT_EQ(c["system"], field(files[i], "SIS").toString());
        const double qs = field(files[i], "PROIZSYS").toDouble() / 1000;
        EXPECT_DOUBLE_EQ(c["system_kw"].get<double>(), qs);
        // P from the catalogue row the selection chose from
        ASSERT_EQ(run({"select", files[i], "--json"}), 0);
        const json sel = json::parse(out.str());
        double p = -1;
        for (const auto& row : sel["rows"])
            if (row["SIS"] == c["system"])
                p = row["PPOT"];
        EXPECT_DOUBLE_EQ(c["power_kw"].get<double>(), p);
        const double e = std::round(365 * n * p * std::min(24.0, 24 * q / (n * qs)) * qty);
        EXPECT_DOUBLE_EQ(c["energy_kwh_year"].get<double>(), e);
        required += qty * qx;
        energy += e;
        for (const char* name : {"OBR_AGR", "OBR_VO", "OBR_SHKAF", "OBR_KMONT"})
            pieces[field(files[i], name).toString()] += n * qty;
    }
    const json& t = j["totals"];
    EXPECT_NEAR(t["required_kw"].get<double>(), required, 1e-9);
    EXPECT_DOUBLE_EQ(t["energy_kwh_year"].get<double>(), energy);
    EXPECT_NEAR(t["running_cost"].get<double>(), energy * 6.5, 0.005);
    double equipment = 0;
    ASSERT_EQ(j["materials"].size(), pieces.size());
    for (const json& m : j["materials"]) {
        const std::string article = m["article"];
        EXPECT_EQ(m["qty"].get<long>(), pieces[article]) << article;
        EXPECT_DOUBLE_EQ(m["price"].get<double>(), prices.at(article));
        EXPECT_NEAR(m["sum"].get<double>(), prices.at(article) * pieces[article], 1e-6);
        EXPECT_EQ(m["name"], "Изделие " + article);
        equipment += m["sum"].get<double>();
    }
    EXPECT_NEAR(t["equipment"].get<double>(), equipment, 1e-6);
    EXPECT_NEAR(t["vat"].get<double>(), std::round(equipment * 20) / 100, 1e-6);
    EXPECT_NEAR(t["total"].get<double>(), t["equipment"].get<double>() + t["vat"].get<double>(),
                1e-6);
    EXPECT_TRUE(t["complete"].get<bool>());

    // The whole folder moved elsewhere: the same figures.
    const fs::path moved = dir.path() / "elsewhere" / "site2";
    fs::create_directories(moved.parent_path());
    fs::rename(site, moved);
    const json again = show((moved / "p.vrp").string(), {"--tariff", "6.5"});
    EXPECT_EQ(again, j);

    // A chamber gone: listed with its error, out of the totals, the others still counted.
    fs::remove(moved / "calc" / "b.vrn");
    const json missing = show((moved / "p.vrp").string());
    ASSERT_EQ(missing["chambers"].size(), 2u);
    EXPECT_FALSE(missing["chambers"][1]["error"].is_null());
    EXPECT_TRUE(missing["chambers"][1]["energy_kwh_year"].is_null());
    EXPECT_FALSE(missing["totals"]["complete"].get<bool>());
    EXPECT_DOUBLE_EQ(missing["totals"]["energy_kwh_year"].get<double>(),
                     j["chambers"][0]["energy_kwh_year"].get<double>());
    EXPECT_TRUE(missing["totals"]["running_cost"].is_null()) << "no tariff set in the project";
    EXPECT_NE(err.str().find("b.vrn"), std::string::npos) << err.str();

    ASSERT_EQ(run({"project", "remove", (moved / "p.vrp").string(), "2"}), 0) << err.str();
    EXPECT_EQ(show((moved / "p.vrp").string())["chambers"].size(), 1u);
}

TEST_F(ProjectCommand, RefusesWhatItCannotDo) {
    buildProject();
    struct Case {
        std::vector<std::string> words;
        int status;
        const char* message = "";
    };
    const Case cases[] = {
        {{"project", "new", project}, 1},                               // exists
        {{"project", "new", (site / "q.vrp").string(), "--client", "ООО «Тест-Холод»"}, 0},
        {{"project", "new", (site / "r.vrp").string(), "--client", "Café"}, 1},
        {{"project", "add", project, (site / "none.vrn").string()}, 1}, // no such file
        {{"project", "add", project, a, "--qty", "0"}, 2, "«0» — нужно целое число от 1 до"},
        {{"project", "remove", project, "3"}, 1},
        {{"project", "remove", project, "0"}, 2, "«0» — нужно целое число от 1 до"},
        {{"project", "show", (site / "none.vrp").string()}, 1},
        {{"project", "show", a}, 1}, // a calculation is no project
        {{"project", "show", project, "--vat", "120"}, 2, "«120» — нужно число от 0 до 100"},
        {{"project", "show", project, "--vat", "nan"}, 2, "«nan» — нужно число от 0 до 100"},
        {{"project", "show", project, "--tariff", "inf"}, 2, "«inf» — нужно число от 0 до 99999"},
        {{"project"}, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.words), c.status) << c.words.back() << ": " << err.str();
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_EQ(err.str().find("Value "), std::string::npos) << err.str();
    }

    // A project cut short is refused whole, and nothing is written to it.
    const std::string bytes = readFile(project);
    const std::string cut = (site / "cut.vrp").string();
    std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() - 40);
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"project", "show", cut},
          std::vector<std::string>{"project", "add", cut, a}}) {
        EXPECT_EQ(run(words), 1) << words[1];
        EXPECT_NE(err.str().find("поврежден: он обрезан"), std::string::npos) << err.str();
    }
    EXPECT_EQ(readFile(cut), bytes.substr(0, bytes.size() - 40));

    // a damaged chamber is named by its own path, never by the private copy read
    const std::string chamber = readFile(a);
    std::ofstream(a, std::ios::binary) << chamber.substr(0, chamber.size() / 2);
    const json j = show(project);
    const std::string error = j["chambers"][0]["error"].get<std::string>();
    EXPECT_NE(error.find(a), std::string::npos) << error;
    EXPECT_EQ(error.find("calculation.vrn"), std::string::npos) << error;
}

// A price left empty is no price: the item shows none and the totals are incomplete; two
// rows of one article give it no price either, and say so.
TEST_F(ProjectCommand, EmptyOrDoubledPriceIsNoPrice) {
    buildProject();
    const std::string empty = field(a, "OBR_AGR").toString();
    const std::string doubled = field(a, "OBR_VO").toString();
    std::vector<DbfRow> rows;
    for (const std::string& f : {a, b})
        for (const char* name : {"OBR_AGR", "OBR_VO", "OBR_SHKAF", "OBR_KMONT"}) {
            const std::string article = field(f, name).toString();
            rows.push_back({article, "x", article == empty ? Value() : Value(100.0)});
        }
    rows.push_back({doubled, "y", Value(200.0)});
    createDbf((data / "prices.dbf").string(),
              {{"ARTICLE", 'C', 20, 0}, {"NAME", 'C', 60, 0}, {"PRICE", 'N', 12, 2}}, rows);
    const json j = show(project);
    EXPECT_EQ(j["totals"]["complete"], false);
    for (const json& m : j["materials"])
        if (m["article"] == empty || m["article"] == doubled) {
            EXPECT_TRUE(m["price"].is_null()) << m.dump();
        } else {
            EXPECT_EQ(m["price"], 100.0) << m.dump();
        }
    EXPECT_NE(
        j["warnings"].dump().find("«" + doubled + "» встречается в прайс-листе несколько раз"),
        std::string::npos)
        << j["warnings"].dump();
}

#ifdef VORN_OFFER_COMMAND
// The offer through the binary: a command of the window's build (the PDF needs Qt).
class ProjectOffer : public ProjectCommand {
protected:
    int vorn(const std::string& args) {
        const std::string cmd = std::string("'") + VORN_BINARY + "' " + args + " --data '" +
                                data.string() + "' >'" + (dir.path() / "out").string() + "' 2>'" +
                                (dir.path() / "err").string() + "'";
        const int status = std::system(cmd.c_str());
        err.str(readFile((dir.path() / "err").string()));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

// The offer never replaces what it is made from: the project itself (named .pdf here),
// a chamber reached through a link; nothing is written to either.
TEST_F(ProjectOffer, OutputNeverReplacesAnInput) {
    buildProject();
    const std::string named = (site / "p.pdf").string();
    fs::copy_file(project, named);
    const fs::path link = site / "link.xlsx";
    fs::create_symlink(a, link);
    const std::string before = readFile(named), beforeA = readFile(a);
    const struct {
        std::string args;
        const char* message;
    } cases[] = {
        {"project offer '" + named + "' -o '" + named + "'", "это сам файл проекта"},
        {"project offer '" + project + "' -o '" + link.string() + "'", "это файл расчета камеры"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vorn(c.args), 1) << c.args;
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    }
    EXPECT_EQ(readFile(named), before);
    EXPECT_EQ(readFile(a), beforeA);
}

TEST_F(ProjectOffer, PdfAndXlsxCarryTheOffer) {
    buildProject();
    const std::string unpriced = field(b, "OBR_KMONT").toString();
    const auto prices = writePrices({a, b}, unpriced);
    const fs::path pdf = dir.path() / "offer.pdf", xlsx = dir.path() / "offer.xlsx";

    if (std::system("pdftotext -v >/dev/null 2>&1") == 0) {
        ASSERT_EQ(vorn("project offer '" + project + "' -o '" + pdf.string() + "' --tariff 7"), 0)
            << err.str();
        const std::string txt = (dir.path() / "offer.txt").string();
        ASSERT_EQ(std::system(("pdftotext '" + pdf.string() + "' '" + txt + "'").c_str()), 0);
        const std::string text = readFile(txt);
        for (const std::string& want :
             {std::string("Коммерческое предложение"), std::string("ООО Холод"),
              std::string("a.vrn"), std::string("Итого оборудование"), std::string("НДС"),
              std::string("Всего с НДС"), std::string("цена не указана"),
              std::string("Итоги неполные"), std::string("Годовое энергопотребление"),
              std::string("оценка при расчетных условиях"), std::string("Исполнитель"), unpriced,
              "Изделие " + prices.begin()->first})
            EXPECT_NE(text.find(want), std::string::npos) << want;
    }

    // Debian's python3-openpyxl belongs to the system's interpreter, which another python3
    // on the PATH may hide.
    std::string python;
    for (const char* p : {"python3", "/usr/bin/python3"})
        if (python.empty() &&
            std::system((std::string(p) + " -c 'import openpyxl' >/dev/null 2>&1").c_str()) == 0)
            python = p;
    if (python.empty())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    ASSERT_EQ(vorn("project offer '" + project + "' -o '" + xlsx.string() + "' --tariff 7"), 0)
        << err.str();
    // Every cell as [kind, value]: n number, f formula, s text.
    const std::string script =
        "import json,sys,openpyxl\n"
        "ws=openpyxl.load_workbook(sys.argv[1]).active\n"
        "out={}\n"
        "for row in ws.iter_rows():\n"
        "  for c in row:\n"
        "    v=c.value\n"
        "    if v is None: continue\n"
        "    k='f' if isinstance(v,str) and v.startswith('=') else ('s' if isinstance(v,str) "
        "else 'n')\n"
        "    out[c.coordinate]=[k,v]\n"
        "print(json.dumps(out))\n";
    const std::string py = (dir.path() / "read.py").string();
    { std::ofstream(py) << script; }
    const std::string cells = (dir.path() / "cells.json").string();
    ASSERT_EQ(
        std::system((python + " '" + py + "' '" + xlsx.string() + "' >'" + cells + "'").c_str()),
        0);
    const json c = json::parse(readFile(cells));
    std::map<std::string, std::string> textAt; // text -> its cell
    int formulas = 0;
    for (const auto& [coord, kv] : c.items()) {
        if (kv[0] == "s")
            textAt[kv[1].get<std::string>()] = coord;
        if (kv[0] == "f")
            ++formulas;
    }
    EXPECT_GE(formulas, 6) << "sums, VAT, totals and running cost are formulas";
    ASSERT_TRUE(textAt.count("цена не указана"));
    ASSERT_TRUE(textAt.count(prices.begin()->first));
    // The priced article's row: its quantity and price are numbers, its sum a formula.
    const std::string row = textAt[prices.begin()->first].substr(1);
    EXPECT_EQ(c["D" + row][0], "n");
    EXPECT_EQ(c["E" + row][0], "n");
    EXPECT_DOUBLE_EQ(c["E" + row][1].get<double>(), prices.begin()->second);
    EXPECT_EQ(c["F" + row][1], "=D" + row + "*E" + row);
    const std::string vatRow = textAt["Ставка НДС, %"].substr(1);
    EXPECT_EQ(c["E" + vatRow][1].get<double>(), 20);
    EXPECT_EQ(c["F" + vatRow][0], "f");
}

#endif // VORN_OFFER_COMMAND

} // namespace
} // namespace vorn::test
