#pragma once
// The state behind a Table, shared by the files that implement it:
//   Table.cpp       - lifecycle, cursor moves, edit / post / append / delete, observers;
//   TableStore.cpp  - the file: opening, the cache of its records, journaled writes;
//   TableFields.cpp - binding declared fields to the file's, reading and setting values;
//   TableLocate.cpp - Locate;
//   TableRewrite.cpp - whole-table writes under the whole-file lock (an import).
// The compiled filter lives in CompiledFilter, beside the expression parser.
#include "data/CompiledFilter.h"
#include "data/FieldCodec.h"
#include "data/FieldIndex.h"
#include "data/Journal.h"
#include "data/Table.h"
#include "data/WorkCopy.h"
#include "data/platform/PlatformFile.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vorn {

namespace tablemsg {
inline constexpr char kClosed[] = "Cannot perform this operation on a closed dataset";
inline constexpr char kOpen[] = "Cannot perform this operation on an open dataset";
inline constexpr char kNotEditing[] = "Dataset not in edit or insert mode";
inline constexpr char kReadOnly[] = "Cannot modify a read-only dataset";
inline std::string notFound(const std::string& name) {
    return "Field '" + name + "' not found";
}
} // namespace tablemsg

// How long a write waits for another writer's header lock.
inline constexpr int kHeaderWaitMs = 2000;
// How long a reader waits for a whole-table write (an import) by another handle to end.
inline constexpr int kReaderWaitMs = 5000;

struct Table::Impl {
    Table* self = nullptr;
    std::string objectName, databaseName, tableName;
    bool readOnly = false;
    std::vector<FieldDecl> declared;
    // Optional declared fields the open file lacks (name keys): they read as empty.
    std::vector<std::string> absentOptional;
    std::vector<FieldDecl> calcDecls;

    State state = State::Closed;
    platform::File file;
    std::string path; // the file actually opened
    // A read-only table beside the journal of an interrupted write that may not be played
    // back here: read through a private copy made whole from it (file is its handle).
    std::unique_ptr<WorkCopy> restored;

    // File layout, read at open.
    size_t headerLength = 0;
    size_t recordLength = 0;
    std::vector<StoredField> fields;

    // Exposed fields: index order = file order of exposed stored fields, then calculated.
    std::vector<FieldRef> exposed;
    FieldIndex byName;

    // Cache of the whole data region: records [0, count), each recordLength bytes.
    std::vector<char> cache;
    long count = 0;

    // Numbers of small tables parsed once per record and field (reference tables are
    // scanned several times per recalculation). Forgotten whenever cached bytes change.
    mutable std::vector<double> numbers;
    mutable std::vector<unsigned char> numberKnown;
    // The file's size and times when the cache was last made to match it. When those
    // times are too close to the clock, a later write could leave them unchanged
    // (timestamps are coarse), so the next look reads the file again whatever they say.
    platform::FileStamp cached;
    bool cacheRacy = true;
    std::chrono::steady_clock::time_point lastLook{};
    unsigned long lastLookWrites = 0;

    long cursor = -1; // physical index of the current record, -1 when none
    bool atEof = true, atBof = true;

    // Edit / insert buffer.
    std::vector<char> editBuf;
    bool isModified = false;
    bool lockHeld = false;
    long lockedRec = -1;
    long cursorBeforeInsert = -1;

    std::vector<Value> calcValues;
    bool inCalc = false;

    std::string filterText;
    bool filtered = false;
    CompiledFilter compiledFilter;
    std::string locateKey;

    std::map<int, std::function<void()>> observers;
    int nextObserverId = 1;

    // This handle holds the whole-file and header locks (a whole-table write).
    bool tableLockHeld = false;
    // Reads in progress under the reader lock (they nest: open reads, then reloads).
    int readDepth = 0;

    void checkOpen() const {
        if (state == State::Closed)
            throw DbfError(tablemsg::kClosed);
    }
    void checkClosed() const {
        if (state != State::Closed)
            throw DbfError(tablemsg::kOpen);
    }

    const char* record(long i) const {
        return cache.data() + static_cast<size_t>(i) * recordLength;
    }
    const char* current() const {
        if (state == State::Edit || state == State::Insert)
            return editBuf.data();
        if (cursor >= 0 && cursor < count)
            return record(cursor);
        return nullptr;
    }
    std::int64_t recordPos(long i) const {
        return static_cast<std::int64_t>(headerLength + static_cast<size_t>(i) * recordLength);
    }

    bool passesFilter(const char* rec) const { return compiledFilter.passes(rec, fields); }
    void compileFilter() {
        compiledFilter.clear();
        compiledFilter = CompiledFilter::compile(filterText, byName, fields);
    }
    bool visible(long i) const {
        const char* rec = record(i);
        if (rec[0] == '*')
            return false;
        return !filtered || passesFilter(rec);
    }

    // Table.cpp: views, calculated fields, the cursor and the record lock.
    void notify();
    void runCalc();
    void recordChanged();
    void setCursor(long i) {
        cursor = i;
        atEof = atBof = false;
        if (i < 0)
            atEof = atBof = true;
    }
    long firstVisible(long from) const;
    long lastVisible(long from) const;
    void goFirst();
    void endEdit();
    void releaseLock();

    // TableStore.cpp: the file and the cache of its records.
    void openFile();
    // Brackets a read of the file: waits for a whole-table write by another handle to
    // end (DbfError after kReaderWaitMs) and keeps the next one from starting meanwhile.
    void enterRead();
    void leaveRead();
    void recoverJournal();
    void closeFd();
    void readStructure();
    void reload();
    void adoptStat(const platform::FileStamp& st);
    bool fileChanged() const;
    void refreshIfChanged();
    void refreshBeforeLocate();
    void forgetNumbers();
    double storedNumber(size_t fi) const;
    bool writeFile(const std::vector<Patch>& patches, bool headerLockHeld);
    void writeRecordAt(long i, const char* data);
    void recoverBeforeEdit();
    void noteOwnWrite();

    // TableFields.cpp: field binding and values.
    void bindFields();
    FieldRef lookup(const std::string& name) const;
    Value readStored(const StoredField& f, const char* rec) const;
    const char* blankRecord() const;

    // TableLocate.cpp.
    bool fieldEquals(const StoredField& f, const char* rec, const Value& v,
                     const std::string& textKey, double number, bool caseInsensitive) const;
};

} // namespace vorn
