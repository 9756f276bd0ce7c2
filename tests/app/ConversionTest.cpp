#include "AppFixture.h"
#include "app/cli/Commands.h"
#include "app/OldFileConverter.h"
#include "data/DbfCreate.h"

#include <fstream>
#include <sstream>

namespace vorn::test {

namespace fs = std::filesystem;
using State = FileOutcome::State;

class ConversionTest : public AppFixture {
protected:
    // A calculation of the old format: a few of today's fields, one the new layout
    // lacks, a date, and none of the rest.
    std::string makeOld(const std::string& name, bool withRgtmax = true) {
        std::vector<DbfFieldSpec> fields = {
            {"KL_NAIM", 'C', 40, 0}, {"OB_KAMDL", 'N', 8, 2}, {"OB_TEMKAM", 'N', 4, 0},
            {"CH1", 'L', 1, 0},      {"OB_DATE", 'D', 8, 0},  {"STAROE", 'C', 10, 0},
        };
        DbfRow row = {Value("Старый клиент"),   Value(12.5), Value(-18), Value(false),
                      Value(Date{1999, 5, 17}), Value("x")};
        if (withRgtmax) {
            fields.push_back({"OB_RGTMAX", 'N', 3, 0});
            row.push_back(Value(32));
        }
        const std::string p = path(name);
        createDbf(p, fields, {row});
        return p;
    }
};

TEST_F(ConversionTest, OpenConvertsAnOldFileBesideItAndOpensNothing) {
    files->newCalculation(path("open.vrn"));
    const std::string old = makeOld("calc1.dbf");
    const std::string before = readFile(old);
    const std::string target = path("calc1.vrn");

    // The calculation that was open stays open: the old file is not opened.
    FileOutcome out = files->openCalculation(old);
    EXPECT_EQ(out.state, State::Unchanged);
    EXPECT_FALSE(out.caption.has_value());
    EXPECT_EQ(out.converted.value_or(""), target);
    const std::vector<std::string> expected = {
        "Указанный расчет не может быть открыт !",
        "Файл расчета преобразован в " + target,
        "Для работы откройте файл " + target,
    };
    EXPECT_EQ(out.messages, expected);
    EXPECT_EQ(session->path(), path("open.vrn"));
    EXPECT_FALSE(dm->taOld.isOpen());
    EXPECT_FALSE(dm->taRec.isOpen());
    EXPECT_EQ(readFile(old), before);

    // Shared fields came over by kind; the date and the missing fields kept the template's.
    EXPECT_EQ(fieldOf(target, "KL_NAIM").toString(), "Старый клиент");
    EXPECT_DOUBLE_EQ(fieldOf(target, "OB_KAMDL").toDouble(), 12.5);
    EXPECT_DOUBLE_EQ(fieldOf(target, "OB_TEMKAM").toDouble(), -18);
    EXPECT_DOUBLE_EQ(fieldOf(target, "OB_RGTMAX").toDouble(), 32);
    EXPECT_FALSE(fieldOf(target, "CH1").toBool());

    FileOutcome opened = files->openCalculation(target);
    EXPECT_EQ(opened.state, State::CalculationOpen);
}

TEST_F(ConversionTest, AnEarlierTemplateStillGivesTheLayoutWithTheHeaterFields) {
    const std::string trec = (std::filesystem::path(dataDir()) / "trec.dbf").string();
    dm->taRec.close(); // the conversion opens it again
    writeEarlierLayout(trec, trec + ".old");
    std::filesystem::rename(trec + ".old", trec);
    const std::string old = makeOld("calc2.dbf");
    EXPECT_EQ(files->openCalculation(old).converted.value_or(""), path("calc2.vrn"));
    EXPECT_DOUBLE_EQ(fieldOf(path("calc2.vrn"), "VO_OTTDOL").toDouble(), 0.3);
    EXPECT_EQ(fieldOf(path("calc2.vrn"), "KL_NAIM").toString(), "Старый клиент");
}

TEST_F(ConversionTest, ATableWithoutRgtmaxIsNotACalculation) {
    const std::string other = makeOld("other.dbf", false);
    FileOutcome out = files->openCalculation(other);
    EXPECT_EQ(out.state, State::NoCalculation);
    const std::vector<std::string> expected = {
        "Указанный расчет не может быть открыт !",
        "Это не файл расчета Vorn ! Указанный файл не может быть открыт или преобразован !",
    };
    EXPECT_EQ(out.messages, expected);
    EXPECT_FALSE(fs::exists(path("other.vrn")));
    EXPECT_FALSE(dm->taOld.isOpen());
}

TEST_F(ConversionTest, AnExistingTargetIsReplacedOnlyWhenConfirmed) {
    files->newCalculation(path("calc1.vrn"));
    dm->taWork.edit();
    dm->taWork.setValue("KL_NAIM", Value("Новый расчет"));
    files->closeCalculation();
    const std::string old = makeOld("calc1.dbf");

    FileOutcome kept = files->openCalculation(old, [](const std::string&) { return false; });
    EXPECT_FALSE(kept.converted.has_value());
    EXPECT_EQ(fieldOf(path("calc1.vrn"), "KL_NAIM").toString(), "Новый расчет");

    FileOutcome replaced = files->openCalculation(old, [](const std::string&) { return true; });
    EXPECT_TRUE(replaced.converted.has_value());
    EXPECT_EQ(fieldOf(path("calc1.vrn"), "KL_NAIM").toString(), "Старый клиент");
}

TEST_F(ConversionTest, AnOldFileWithTheNewExtensionIsNotCopiedOverItself) {
    const std::string old = makeOld("old.dbf");
    const std::string disguised = path("disguised.vrn");
    fs::copy_file(old, disguised);
    const std::string before = readFile(disguised);
    FileOutcome out = files->openCalculation(disguised);
    EXPECT_FALSE(out.converted.has_value());
    EXPECT_EQ(out.messages.back(), "Ошибка ! Файл расчета не может быть преобразован !");
    EXPECT_EQ(readFile(disguised), before);
}

TEST_F(ConversionTest, CommandLineConvertAndNew) {
    const std::string old = makeOld("calc2.dbf");
    std::ostringstream out, err;
    CliContext ctx{dir.string(), dataDir(), out, err};
    EXPECT_EQ(runSubcommand(ctx, {"convert", old}), 0) << err.str();
    EXPECT_EQ(out.str(), path("calc2.vrn") + "\n");
    // Converted already: the target is kept unless forced.
    EXPECT_EQ(runSubcommand(ctx, {"convert", old}), 1);
    EXPECT_EQ(runSubcommand(ctx, {"convert", old, "--force"}), 0);
    // A calculation needs no conversion.
    EXPECT_EQ(runSubcommand(ctx, {"convert", path("calc2.vrn")}), 1);

    out.str("");
    EXPECT_EQ(runSubcommand(ctx, {"new", path("n.vrn")}), 0) << err.str();
    EXPECT_EQ(out.str(), path("n.vrn") + "\n");
    EXPECT_EQ(runSubcommand(ctx, {"new", path("calc2.vrn")}), 1);
    EXPECT_EQ(fieldOf(path("calc2.vrn"), "KL_NAIM").toString(), "Старый клиент");
    EXPECT_EQ(runSubcommand(ctx, {"new", path("calc2.vrn"), "--force"}), 0);
    EXPECT_EQ(fieldOf(path("calc2.vrn"), "KL_NAIM").toString(), "");

#ifndef _WIN32
    // The fixture's own tables hold s_region.dbf open: Windows keeps such a file until they
    // close it.
    fs::remove(fs::path(dataDir()) / "s_region.dbf");
    err.str("");
    EXPECT_EQ(runSubcommand(ctx, {"new", path("m.vrn")}), 1);
    EXPECT_EQ(err.str(), "Ошибка подключения справочников !\n");
#endif
}

} // namespace vorn::test
