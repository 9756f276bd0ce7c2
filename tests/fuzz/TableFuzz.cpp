// Feeds arbitrary bytes to the table layer as a file: open, walk, read every field,
// Locate, filter, and on the same scratch copy edit, append and delete. Any crash,
// out-of-bounds access or undefined behaviour is a fault.
#include "data/FileIo.h"
#include "data/Journal.h"
#include "data/Table.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

using namespace vorn;

namespace {

const std::string& scratchPath() {
    // Never destroyed: the exit handler below runs after the static objects are gone.
    static const std::string& path = *new std::string([] {
        const std::string p = (std::filesystem::temp_directory_path() /
                               ("vorn-fuzz-" + std::to_string(std::random_device{}())))
                                  .string();
        std::atexit([] {
            std::remove(scratchPath().c_str());
            std::remove(Journal::pathFor(scratchPath()).c_str());
        });
        return p;
    }());
    return path;
}

void exercise(Table& t) {
    std::string textField, numberField;
    for (int i = 0; i < t.fieldCount(); ++i) {
        const FieldInfo f = t.field(i);
        if (f.kind == FieldKind::Text && textField.empty())
            textField = f.name;
        if ((f.kind == FieldKind::Int || f.kind == FieldKind::Float) && numberField.empty())
            numberField = f.name;
    }
    int rows = 0;
    for (t.first(); !t.eof() && rows < 2000; t.next(), ++rows)
        for (int i = 0; i < t.fieldCount(); ++i)
            t.value(t.field(i).name).toString();
    if (!textField.empty()) {
        t.first();
        const Value v = t.value(textField);
        t.locate(textField, v);
        t.locate(textField, Value("zz"));
        try {
            t.setFilter(textField + " = '" + v.toString() + "'");
            t.setFiltered(true);
            t.recordCount();
            t.setFiltered(false);
        } catch (const DbfError&) {
        }
    }
    if (!numberField.empty()) {
        t.setFilter(numberField + " >= 1 and " + numberField + " <= 100");
        t.setFiltered(true);
        for (t.first(); !t.eof(); t.next())
            t.asDouble(numberField);
        t.setFiltered(false);
        t.locate(numberField, Value(1));
    }
    // Writes go to the scratch copy only.
    try {
        t.first();
        t.edit();
        for (int i = 0; i < t.fieldCount(); ++i) {
            const FieldInfo f = t.field(i);
            try {
                t.setValue(f.name, t.value(f.name));
            } catch (const DbfError&) {
            }
        }
        t.post();
        t.append();
        if (t.fieldCount() > 0)
            try {
                t.setValue(t.field(0).name, Value(42));
            } catch (const DbfError&) {
            }
        t.post();
        t.deleteRecord();
        t.first();
    } catch (const DbfError&) {
    }
}

void writeBytes(const std::string& path, const std::uint8_t* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    // Scratch files: durability costs time and proves nothing here.
    FileIo::setFlushes(false);
    const std::string& path = scratchPath();
    writeBytes(path, data, size);
    // The same bytes as a journal left beside the table: read and refused at open.
    writeBytes(Journal::pathFor(path), data, size);
    Table t;
    t.setTableName(path);
    try {
        t.open();
        exercise(t);
        t.close();
    } catch (const DbfError&) {
        // a refused file or a refused write is an answer, not a fault
    }
    return 0;
}
