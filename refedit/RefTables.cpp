#include "refedit/RefTables.h"

#include "data/Table.h"

namespace vorn {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

RefColumn key(const char* field, const char* caption, int width) {
    RefColumn c{field, caption};
    c.keyWidth = width;
    return c;
}
RefColumn text(const char* field, const char* caption, bool optional = false) {
    RefColumn c{field, caption};
    c.optional = optional;
    return c;
}
RefColumn number(const char* field, const char* caption, double min = -kInf, double max = kInf) {
    RefColumn c{field, caption};
    c.min = min;
    c.max = max;
    return c;
}
// A figure something is divided by: it must be above zero.
RefColumn positive(const char* field, const char* caption) {
    RefColumn c = number(field, caption, 0);
    c.minExclusive = true;
    return c;
}

std::vector<RefColumn> catalogueColumns() {
    std::vector<RefColumn> c{key("SIS", "Система", 6), text("AGR", "Агрегат (конденсатор)"),
                             text("VOHL", "Воздухоохладитель", true)};
    const char* const q[] = {"Q25", "Q30", "Q35", "Q40"};
    const char* const qCaption[] = {"Q +25 °С, Вт", "Q +30 °С, Вт", "Q +35 °С, Вт", "Q +40 °С, Вт"};
    const char* const dt[] = {"T25", "T30", "T35", "T40"};
    const char* const dtCaption[] = {"dT +25 °С, К", "dT +30 °С, К", "dT +35 °С, К",
                                     "dT +40 °С, К"};
    for (int i = 0; i < 4; ++i) {
        c.push_back(number(q[i], qCaption[i], 0));
        c.push_back(number(dt[i], dtCaption[i], 0));
    }
    c.push_back(number("PPOT", "Потр. мощность, кВт", 0));
    c.push_back(number("IPOT", "Потр. ток, А", 0));
    c.push_back(text("NABOR", "Набор монтажника", true));
    c.push_back(text("SHKAF", "Шкаф", true));
    c.push_back(number("ID_GRUP", "Номер группы", 0));
    c.push_back(number("VO", "Отбор при охлаждении (1 — да, 0 — нет)", 0, 1));
    return c;
}

std::vector<RefTableDesc> build() {
    const char* const refs = "Справочники";
    const char* const equipment = "Оборудование";
    std::vector<RefTableDesc> t;
    t.push_back({"s_mater",
                 "s_mater.DBF",
                 "Материалы стен",
                 refs,
                 "M_NAIM",
                 {key("M_NAIM", "Материал", 20), positive("M_KTP", "Теплопроводность, Вт/(м·К)")}});
    t.push_back(
        {"s_izolm",
         "s_izolm.DBF",
         "Теплоизоляция",
         refs,
         "IZ_NAIM",
         {key("IZ_NAIM", "Теплоизоляция", 20), positive("IZ_KTP", "Теплопроводность, Вт/(м·К)")}});
    t.push_back({"s_region",
                 "s_region.dbf",
                 "Регионы",
                 refs,
                 "REG_NAIM",
                 {key("REG_NAIM", "Регион", 30),
                  number("REG_TEM", "Температура наружного воздуха, °С", -60, 60),
                  number("REG_VLAJ", "Относительная влажность, %", 0, 100)}});
    RefColumn category = text("TIP", "Категория");
    category.choices = {"Мясные", "Рыбные", "Молочные", "Овощи", "Фрукты", "Прочие"};
    t.push_back(
        {"products",
         "products.DBF",
         "Продукты",
         refs,
         "NAIM",
         {key("NAIM", "Продукт", 20), category, number("TZAM", "Точка замерзания, °С", -100, 100),
          number("CP1", "Теплоемкость до замерзания, кДж/(кг·К)", 0),
          number("CP2", "Теплоемкость после замерзания, кДж/(кг·К)", 0),
          number("LSKR", "Скрытая теплота замерзания, кДж/кг", 0),
          number("Q1", "Теплота дыхания при 0 °С, кДж/(т·ч)", 0),
          number("Q2", "Теплота дыхания при 10 °С, кДж/(т·ч)", 0),
          number("Q3", "Теплота дыхания при 20 °С, кДж/(т·ч)", 0)}});
    t.push_back({"s_tara",
                 "s_tara.DBF",
                 "Тара",
                 refs,
                 "NAIM",
                 {key("NAIM", "Тара", 20), number("SP", "Теплоемкость, кДж/(кг·К)", 0)}});
    t.push_back(
        {"s_isp", "s_isp.DBF", "Исполнители", refs, "NAME", {key("NAME", "Исполнитель", 40)}});
    t.push_back(
        {"grups",
         "grups.dbf",
         "Группы оборудования",
         equipment,
         "ID",
         {number("ID", "Номер группы", 0), text("GR", "Группа"), text("PGR", "Подгруппа", true)}});
    const char* const classes[][2] = {{"12", "+12"},  {"8", "+8"},    {"4", "+4"},
                                      {"0", "0"},     {"-5", "-5"},   {"-12", "-12"},
                                      {"-18", "-18"}, {"-25", "-25"}, {"-30", "-30"}};
    for (const auto& k : classes) {
        const std::string name = std::string("kat") + k[0];
        t.push_back({name, name + ".dbf", std::string("Каталог ") + k[1] + " °С", equipment, "SIS",
                     catalogueColumns()});
    }
    t.push_back({"prices",
                 "prices.dbf",
                 "Прайс-лист",
                 "Цены",
                 "ARTICLE",
                 {key("ARTICLE", "Артикул", 0), text("NAME", "Наименование", true),
                  number("PRICE", "Цена, руб.", 0)}});
    return t;
}

} // namespace

std::vector<DbfFieldSpec> priceListLayout() {
    return {{"ARTICLE", 'C', 20, 0}, {"NAME", 'C', 60, 0}, {"PRICE", 'N', 12, 2}};
}

const RefColumn* RefTableDesc::column(const std::string& field) const {
    for (const RefColumn& c : columns)
        if (equalsIgnoreCase(c.field, field))
            return &c;
    return nullptr;
}

const std::vector<RefTableDesc>& refTables() {
    static const std::vector<RefTableDesc> tables = build();
    return tables;
}

const RefTableDesc* findRefTable(const std::string& name) {
    for (const RefTableDesc& t : refTables())
        if (equalsIgnoreCase(t.name, name))
            return &t;
    return nullptr;
}

} // namespace vorn
