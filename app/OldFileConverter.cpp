#include "app/OldFileConverter.h"

#include "data/CalcRecord.h"

#include "app/FileCopy.h"
#include "data/DataModule.h"
#include "data/FileIo.h"
#include "data/Table.h"

#include <cmath>
#include <filesystem>
#include <limits>

namespace vorn {

namespace fs = std::filesystem;

namespace {
const char* const kNotVorn =
    "Это не файл расчета Vorn ! Указанный файл не может быть открыт или преобразован !";
const char* const kFailed = "Ошибка ! Файл расчета не может быть преобразован !";

void closeQuietly(Table& t) {
    try {
        if (t.isOpen())
            t.close();
    } catch (...) {
        // the table is being given up after a failure already reported
    }
}

int toInt32(double d) {
    if (!std::isfinite(d))
        return 0;
    d = std::trunc(d);
    if (d > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (d < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(d);
}

// Copies the fields both tables have, by the kind of the template's field. Dates and
// unknown kinds keep the template's value.
void copyRecord(Table& from, Table& to) {
    for (int i = 0; i < to.fieldCount(); ++i) {
        const FieldInfo f = to.field(i);
        if (f.calculated || !from.hasField(f.name))
            continue;
        switch (f.kind) {
        case FieldKind::Text:
            to.setValue(f.name, Value(from.asString(f.name)));
            break;
        case FieldKind::Float:
            to.setValue(f.name, Value(from.asDouble(f.name)));
            break;
        case FieldKind::Int:
            to.setValue(f.name, Value(toInt32(from.asDouble(f.name))));
            break;
        case FieldKind::SmallInt:
            to.setValue(f.name, from.value(f.name));
            break;
        case FieldKind::Logical:
            to.setValue(f.name, Value(from.asBool(f.name)));
            break;
        case FieldKind::Date:
        case FieldKind::Unknown:
            break;
        }
    }
}
} // namespace

std::string OldFileConverter::targetPathFor(const std::string& oldPath) {
    fs::path p = fs::u8path(oldPath);
    p.replace_extension(".vrn");
    return p.u8string();
}

ConversionOutcome OldFileConverter::convert(DataModule& dm, const std::string& oldPath,
                                            const ConfirmReplace& confirmReplace) {
    ConversionOutcome out;
    Table& taOld = dm.taOld;
    Table& taRec = dm.taRec;
    try {
        closeQuietly(taOld);
        // A FIFO or a device is never opened: reading one could wait forever.
        std::error_code ec;
        const auto st = fs::status(fs::u8path(oldPath), ec);
        if (fs::exists(st) && !fs::is_regular_file(st))
            throw DbfError(fs::is_directory(st)
                               ? FileIo::openError(oldPath, FileIo::error(platform::ErrorKind::IsDirectory))
                               : "Не удаётся открыть файл " + oldPath +
                                     ": это не обычный файл (канал или устройство)");
        taOld.setDatabaseName("");
        taOld.setTableName(oldPath);
        taOld.setReadOnly(true); // the old file is only read, and stays as it was
        taOld.open();
    } catch (const std::exception& e) {
        closeQuietly(taOld);
        out.result = ConversionOutcome::Result::NotTable;
        out.messages.push_back(e.what());
        return out;
    }
    if (!taOld.hasField("OB_RGTMAX")) {
        closeQuietly(taOld);
        out.result = ConversionOutcome::Result::NotOldFormat;
        out.messages.push_back(kNotVorn);
        return out;
    }

    out.targetPath = targetPathFor(oldPath);
    std::error_code ec;
    // A file named "x.vrn" in the old format would be its own target: copying the
    // template over it would destroy the only copy of the old calculation.
    if (fs::equivalent(fs::u8path(oldPath), fs::u8path(out.targetPath), ec) ||
        out.targetPath == oldPath) {
        closeQuietly(taOld);
        out.result = ConversionOutcome::Result::Failed;
        out.messages.push_back(kFailed);
        return out;
    }
    if (fs::exists(fs::u8path(out.targetPath), ec) && confirmReplace &&
        !confirmReplace(out.targetPath)) {
        closeQuietly(taOld);
        out.result = ConversionOutcome::Result::Declined;
        return out;
    }

    try {
        if (!taRec.isOpen()) {
            taRec.setDatabaseName(dm.dataDir());
            taRec.open();
        }
        taOld.first();
        taRec.first();
        if (taRec.eof())
            taRec.append();
        else
            taRec.edit();
        copyRecord(taOld, taRec);
        taRec.post();
        taRec.first();
    } catch (const std::exception& e) {
        try {
            if (taRec.isOpen() && taRec.state() != Table::State::Browse)
                taRec.cancel();
        } catch (...) {
        }
        closeQuietly(taOld);
        closeQuietly(taRec);
        out.result = ConversionOutcome::Result::Failed;
        // The conversion writes its template: a DATA the user may only read refuses it.
        out.messages.push_back(taRec.readOnly() ? "Шаблон преобразования " + taRec.filePath() +
                                                      " открыт только для чтения"
                                                : std::string(e.what()));
        out.messages.push_back(kFailed);
        return out;
    }
    const std::string templatePath =
        (fs::u8path(dm.dataDir()) / fs::u8path(taRec.tableName())).u8string();
    closeQuietly(taOld);
    closeQuietly(taRec);

    bool copied = false;
    try {
        copyFile(templatePath, out.targetPath);
        // the new file has the current layout whatever the template's
        addHeaterFields(out.targetPath);
        copied = true;
    } catch (const std::exception& e) {
        out.messages.push_back(e.what());
    }
    if (copied && fs::exists(fs::u8path(out.targetPath), ec)) {
        out.result = ConversionOutcome::Result::Converted;
        out.messages.push_back("Файл расчета преобразован в " + out.targetPath);
        out.messages.push_back("Для работы откройте файл " + out.targetPath);
    } else {
        out.result = ConversionOutcome::Result::Failed;
        out.messages.push_back(kFailed);
    }
    return out;
}

} // namespace vorn
