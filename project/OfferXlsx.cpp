#include "project/OfferXlsx.h"

#include "project/OfferOutput.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <xlsxwriter.h>

namespace vorn {

namespace {
namespace fs = std::filesystem;

// "A1"-style name of a cell (row and col 0-based).
std::string cell(int row, int col) {
    std::string letters;
    for (int c = col + 1; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(row + 1);
}

class Sheet {
public:
    Sheet(lxw_workbook* wb, lxw_worksheet* ws) : ws_(ws) {
        bold = workbook_add_format(wb);
        format_set_bold(bold);
        title = workbook_add_format(wb);
        format_set_bold(title);
        format_set_font_size(title, 14);
        head = workbook_add_format(wb);
        format_set_bold(head);
        format_set_text_wrap(head);
        format_set_bottom(head, LXW_BORDER_THIN);
        format_set_top(head, LXW_BORDER_THIN);
        money = workbook_add_format(wb);
        format_set_num_format(money, "#,##0.00");
        moneyBold = workbook_add_format(wb);
        format_set_num_format(moneyBold, "#,##0.00");
        format_set_bold(moneyBold);
        two = workbook_add_format(wb);
        format_set_num_format(two, "0.00");
        twoBold = workbook_add_format(wb);
        format_set_num_format(twoBold, "0.00");
        format_set_bold(twoBold);
        whole = workbook_add_format(wb);
        format_set_num_format(whole, "#,##0");
        wholeBold = workbook_add_format(wb);
        format_set_num_format(wholeBold, "#,##0");
        format_set_bold(wholeBold);
        note = workbook_add_format(wb);
        format_set_italic(note);
    }

    void text(int r, int c, const std::string& s, lxw_format* f = nullptr) {
        if (!s.empty())
            worksheet_write_string(ws_, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c),
                                   s.c_str(), f);
    }
    void num(int r, int c, double v, lxw_format* f = nullptr) {
        worksheet_write_number(ws_, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c), v, f);
    }
    void formula(int r, int c, const std::string& f, lxw_format* fmt, double cached) {
        worksheet_write_formula_num(ws_, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c),
                                    f.c_str(), fmt, cached);
    }

    lxw_format *bold, *title, *head, *money, *moneyBold, *two, *twoBold, *whole, *wholeBold, *note;

private:
    lxw_worksheet* ws_;
};

void fill(lxw_workbook* wb, const OfferSource& src) {
    const ProjectSummary& s = src.summary;
    const OfferSettings& set = s.settings;
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Предложение");
    Sheet sh(wb, ws);
    const double widths[] = {5, 30, 22, 8, 14, 9, 10, 10, 12, 8, 8, 16};
    for (int c = 0; c < 12; ++c)
        worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), widths[c],
                             nullptr);
    int r = 0;
    for (size_t i = 0; i < src.headerLines.size() && i < 3; ++i)
        sh.text(r++, 0, src.headerLines[i]);
    ++r;
    sh.text(r++, 0, OfferLayout::kTitle, sh.title);
    sh.text(r, 0, "Клиент", sh.bold);
    sh.text(r++, 2, set.client);
    sh.text(r, 0, "Предложение", sh.bold);
    sh.text(r++, 2, OfferLayout::offerNumber(set));
    ++r;

    // The chambers.
    sh.text(r++, 0, "Камеры", sh.bold);
    const char* heads[] = {"№",       "Камера", "Файл",      "t, °С",
                           "Режим",   "V, м3",  "Qсум, кВт", "Qx, кВт",
                           "Система", "Систем", "Кол-во",    "Энергия, кВт·ч/год"};
    for (int c = 0; c < 12; ++c)
        sh.text(r, c, heads[c], sh.head);
    ++r;
    const int firstChamber = r;
    int n = 0;
    for (const ChamberLine& c : s.chambers) {
        const ChamberFigures& f = c.figures;
        sh.num(r, 0, ++n);
        sh.text(r, 1, OfferLayout::chamberName(c));
        sh.text(r, 2, c.entry.file);
        sh.num(r, 10, c.entry.qty);
        if (!c.counted()) {
            // no Qx: the totals' formula counts the row as 0, as the totals do
            sh.text(r, 4, "не учтена: " + c.flag);
        } else {
            sh.num(r, 3, f.temperature);
            sh.text(r, 4, f.regime);
            sh.num(r, 5, f.volume, sh.two);
            sh.num(r, 6, f.sumKw, sh.two);
            sh.num(r, 7, f.requiredKw, sh.two);
            sh.text(r, 8, f.system.empty() ? "не выбрана" : f.system);
            sh.num(r, 9, f.systems);
            if (c.energyKwh)
                sh.num(r, 11, *c.energyKwh, sh.whole);
        }
        ++r;
    }
    const int lastChamber = r - 1;
    sh.text(r, 1, "Итого", sh.bold);
    const int energyCell = r;
    if (lastChamber >= firstChamber) {
        sh.formula(r, 7,
                   "=SUMPRODUCT(" + cell(firstChamber, 10) + ":" + cell(lastChamber, 10) + "," +
                       cell(firstChamber, 7) + ":" + cell(lastChamber, 7) + ")",
                   sh.twoBold, s.totals.requiredKw);
        sh.formula(r, 11, "=SUM(" + cell(firstChamber, 11) + ":" + cell(lastChamber, 11) + ")",
                   sh.wholeBold, s.totals.energyKwh);
    } else {
        sh.num(r, 7, 0, sh.twoBold);
        sh.num(r, 11, 0, sh.wholeBold);
    }
    r += 2;

    // The bill of materials.
    sh.text(r++, 0, "Оборудование", sh.bold);
    const char* mheads[] = {"№", "Артикул", "Наименование", "Кол-во", "Цена", "Сумма"};
    const int mcols[] = {0, 1, 2, 3, 4, 5};
    for (int i = 0; i < 6; ++i)
        sh.text(r, mcols[i], mheads[i], sh.head);
    ++r;
    const int firstMaterial = r;
    n = 0;
    for (const MaterialLine& m : s.materials) {
        sh.num(r, 0, ++n);
        sh.text(r, 1, m.article);
        sh.text(r, 2, m.name);
        sh.num(r, 3, static_cast<double>(m.qty));
        if (m.price) {
            sh.num(r, 4, *m.price, sh.money);
            sh.formula(r, 5, "=" + cell(r, 3) + "*" + cell(r, 4), sh.money, *m.sum);
        } else {
            sh.text(r, 4, ProjectSummaries::kNoPrice);
        }
        ++r;
    }
    const int lastMaterial = r - 1;
    ++r;
    const int equipmentRow = r;
    sh.text(r, 2, "Итого оборудование, " + set.currency, sh.bold);
    if (lastMaterial >= firstMaterial)
        sh.formula(r, 5, "=SUM(" + cell(firstMaterial, 5) + ":" + cell(lastMaterial, 5) + ")",
                   sh.money, s.totals.equipment);
    else
        sh.num(r, 5, 0, sh.money);
    ++r;
    const int vatRow = r;
    sh.text(r, 2, "Ставка НДС, %", sh.bold);
    sh.num(r, 4, set.vatPercent, sh.two);
    sh.formula(r, 5, "=ROUND(" + cell(equipmentRow, 5) + "*" + cell(r, 4) + "/100,2)", sh.money,
               s.totals.vat);
    ++r;
    sh.text(r, 2, "Всего с НДС, " + set.currency, sh.bold);
    sh.formula(r, 5, "=" + cell(equipmentRow, 5) + "+" + cell(vatRow, 5), sh.moneyBold,
               s.totals.total);
    ++r;
    if (!s.totals.complete)
        sh.text(r++, 2,
                "Итоги неполные: не для всех позиций указана цена или не все камеры учтены.",
                sh.note);
    ++r;

    // Energy and running cost.
    sh.text(r++, 0, "Энергопотребление", sh.bold);
    const int energyRow = r;
    sh.text(r, 2, "Годовое энергопотребление, кВт·ч", sh.bold);
    sh.formula(r, 5, "=" + cell(energyCell, 11), sh.whole, s.totals.energyKwh);
    ++r;
    const int tariffRow = r;
    sh.text(r, 2, "Тариф, " + set.currency + " за кВт·ч", sh.bold);
    if (set.tariff > 0)
        sh.num(r, 5, set.tariff);
    else
        sh.text(r, 5, "не задан");
    ++r;
    sh.text(r, 2, "Стоимость электроэнергии в год, " + set.currency, sh.bold);
    if (set.tariff > 0)
        sh.formula(r, 5, "=ROUND(" + cell(energyRow, 5) + "*" + cell(tariffRow, 5) + ",2)",
                   sh.moneyBold, s.totals.runningCost.value_or(0));
    else
        sh.text(r, 5, "не оценена");
    ++r;
    sh.text(r++, 0, ProjectSummaries::kEstimateNote, sh.note);
    ++r;
    sh.text(r, 0, "Исполнитель", sh.bold);
    sh.text(r++, 2, OfferLayout::executor(s));
    sh.text(r, 0, src.versionLine);
}
} // namespace

bool OfferXlsx::write(const OfferSource& src, const std::string& path, std::string* error) {
    auto fail = [&](const std::string& reason) {
        if (error)
            *error = "Не удаётся записать файл " + path + ": " + reason;
        return false;
    };
    const std::string unfit = offerOutputProblem(path, src.summary);
    if (!unfit.empty()) {
        if (error)
            *error = unfit;
        return false;
    }
    const fs::path target = fs::u8path(path);
    std::error_code ec;
    const fs::path dir = fs::absolute(target, ec).parent_path();
    if (!fs::is_directory(dir, ec))
        return fail("папка " + dir.u8string() + " не найдена");
    if (fs::is_directory(target, ec))
        return fail("это папка, а не файл");
    const fs::path temp = dir / ("." + target.filename().u8string() + ".part");
    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    const std::string tempName = temp.u8string();
    options.tmpdir = nullptr;
    lxw_workbook* wb = workbook_new_opt(tempName.c_str(), &options);
    if (!wb)
        return fail("ошибка создания книги");
    fill(wb, src);
    const lxw_error status = workbook_close(wb);
    if (status != LXW_NO_ERROR) {
        fs::remove(temp, ec);
        return fail(status == LXW_ERROR_CREATING_XLSX_FILE
                        ? "нет доступа к папке, или файл открыт в другой программе"
                        : "ошибка записи книги, код " + std::to_string(static_cast<int>(status)));
    }
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        return fail("нет доступа");
    }
    return true;
}

} // namespace vorn
