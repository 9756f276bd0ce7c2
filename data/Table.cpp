#include "data/Table.h"

#include "data/CodePage.h"
#include "data/DbfHeader.h"
#include "data/FieldCodec.h"
#include "data/FieldIndex.h"
#include "data/FileIo.h"
#include "data/FilterExpr.h"
#include "data/Journal.h"
#include "data/RecordLock.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <unordered_map>

namespace vorn {

namespace {

const char kMsgClosed[] = "Cannot perform this operation on a closed dataset";
const char kMsgOpen[] = "Cannot perform this operation on an open dataset";
const char kMsgNotEditing[] = "Dataset not in edit or insert mode";
const char kMsgReadOnly[] = "Cannot modify a read-only dataset";
const char kMsgLocked[] = "Record is locked by another user";

constexpr long kSettledSeconds = 3;
constexpr int kHeaderWaitMs = 2000;
constexpr std::chrono::milliseconds kLocateRecheck{20};

// Writes by any table of this program, so that no table skips a look at its file after one.
std::atomic<unsigned long> ownWrites{0};

std::string notFound(const std::string& name) {
    return "Field '" + name + "' not found";
}

struct CompiledComparison {
    int field = 0;
    FilterExpr::Op op = FilterExpr::Op::Eq;
    bool isText = false;
    double number = 0;
    std::string text;
};

} // namespace

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
    std::vector<CompiledComparison> compiledFilter;
    std::string locateKey;

    std::map<int, std::function<void()>> observers;
    int nextObserverId = 1;

    // ---- helpers ----
    void checkOpen() const {
        if (state == State::Closed)
            throw DbfError(kMsgClosed);
    }
    void checkClosed() const {
        if (state != State::Closed)
            throw DbfError(kMsgOpen);
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

    bool passesFilter(const char* rec) const {
        for (const CompiledComparison& c : compiledFilter) {
            const StoredField& f = fields[static_cast<size_t>(c.field)];
            const char* p = rec + 1 + f.offset;
            const auto len = static_cast<size_t>(f.length);
            int cmp;
            if (c.isText) {
                thread_local std::string text;
                text.clear();
                CodePage::appendUtf8(text, p, FieldCodec::trimmedLength(p, len), f.codePage);
                cmp = text.compare(c.text);
            } else {
                const double v = FieldCodec::parseNumber(p, len);
                cmp = v < c.number ? -1 : (v > c.number ? 1 : 0);
            }
            const bool ok = c.op == FilterExpr::Op::Eq   ? cmp == 0
                            : c.op == FilterExpr::Op::Ge ? cmp >= 0
                                                         : cmp <= 0;
            if (!ok)
                return false;
        }
        return true;
    }

    bool visible(long i) const {
        const char* rec = record(i);
        if (rec[0] == '*')
            return false;
        return !filtered || passesFilter(rec);
    }

    void notify() {
        if (observers.empty())
            return;
        std::vector<std::function<void()>> calls;
        calls.reserve(observers.size());
        for (auto& o : observers)
            calls.push_back(o.second);
        for (auto& c : calls)
            c();
    }

    void runCalc() {
        if (calcDecls.empty() && !self->onCalcFields)
            return;
        if (inCalc)
            return;
        for (Value& v : calcValues)
            v = Value();
        if (!self->onCalcFields)
            return;
        inCalc = true;
        try {
            self->onCalcFields(*self);
        } catch (...) {
            inCalc = false;
            throw;
        }
        inCalc = false;
    }

    // The cursor has landed on a record (or on none): compute and tell the views.
    void recordChanged() {
        runCalc();
        notify();
    }

    // ---- file access ----
    void openFile() {
        path = self->filePath();
        file = FileIo::openShared(path, readOnly);
        // An interrupted write is undone before anything of the file is read.
        Journal::recover(file, path, readOnly);
    }

    void closeFd() {
        file.close(); // also drops every lock this handle holds
    }

    void readStructure() {
        DbfHeader h = DbfHeader::read(file, path);
        headerLength = h.headerLength;
        recordLength = h.recordLength;
        fields = std::move(h.fields);
    }

    // Re-reads the header record count and the whole data region. Other processes may
    // have appended or deleted records since the last look.
    void reload() {
        platform::FileStamp st;
        if (!file.stamp(st))
            return;
        const std::uint32_t headerCount = DbfHeader::recordCount(file);
        const auto size = static_cast<size_t>(st.size);
        // A count larger than the file holds (a truncated copy): read the whole records
        // that are there, never a partial one.
        const size_t sound = size > headerLength ? (size - headerLength) / recordLength : 0;
        auto n = static_cast<long>(std::min<size_t>(headerCount, sound));
        cache.resize(static_cast<size_t>(n) * recordLength);
        if (n > 0) {
            size_t got = 0;
            FileIo::readFully(file, cache.data(), cache.size(),
                              static_cast<std::int64_t>(headerLength), &got);
            n = static_cast<long>(got / recordLength);
            cache.resize(static_cast<size_t>(n) * recordLength);
        }
        count = n;
        forgetNumbers();
        adoptStat(st);
        if (cursor >= count)
            cursor = count - 1;
    }

    // Remembers the file's size and times as matching the cache. Call after the read.
    void adoptStat(const platform::FileStamp& st) {
        cached = st;
        // Two seconds covers the coarsest timestamps (FAT) and the kernel's clock tick; a
        // file's time in the future (another machine's clock) never counts as settled.
        const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count();
        const auto settled = [now](std::int64_t t) {
            return now - t >= kSettledSeconds * 1000000000LL;
        };
        // Every write sets both times; a settled mtime is enough to tell the next one.
        cacheRacy = !settled(st.modified);
    }

    bool fileChanged() const {
        if (cacheRacy)
            return true;
        platform::FileStamp st;
        if (!file.stamp(st))
            return false;
        return st.size != cached.size || st.modified != cached.modified ||
               st.changed != cached.changed;
    }

    void refreshIfChanged() {
        if (fileChanged())
            reload();
        lastLook = std::chrono::steady_clock::now();
        lastLookWrites = ownWrites.load(std::memory_order_relaxed);
    }

    // Locate, run many times in a row by a recalculation, looks at the file again only
    // when this program wrote to some table since, or when the last look is older than a
    // moment: a change by another program within that moment shows at the next first().
    void refreshBeforeLocate() {
        if (ownWrites.load(std::memory_order_relaxed) != lastLookWrites ||
            std::chrono::steady_clock::now() - lastLook >= kLocateRecheck)
            refreshIfChanged();
    }

    void bindFields() {
        exposed.clear();
        absentOptional.clear();
        byName.clear();
        std::unordered_map<std::string, int> fileIndex;
        for (size_t i = 0; i < fields.size(); ++i)
            fileIndex.emplace(FieldCodec::nameKey(fields[i].name), static_cast<int>(i));
        if (declared.empty()) {
            for (size_t i = 0; i < fields.size(); ++i)
                exposed.push_back({false, static_cast<int>(i)});
        } else {
            std::vector<bool> used(fields.size(), false);
            for (const FieldDecl& decl : declared) {
                auto it = fileIndex.find(FieldCodec::nameKey(decl.name));
                if (it == fileIndex.end() && decl.optional) {
                    absentOptional.push_back(FieldCodec::nameKey(decl.name));
                    continue;
                }
                if (it == fileIndex.end())
                    throw DbfError(notFound(decl.name));
                const StoredField& f = fields[static_cast<size_t>(it->second)];
                if (familyOf(f.kind) != familyOf(decl.kind))
                    throw DbfError("Type mismatch for field '" + decl.name + "', expecting: " +
                                   kindName(decl.kind) + " actual: " + kindName(f.kind));
                used[static_cast<size_t>(it->second)] = true;
            }
            // Undeclared fields stay in the file untouched and out of reach.
            for (size_t i = 0; i < fields.size(); ++i)
                if (used[i])
                    exposed.push_back({false, static_cast<int>(i)});
        }
        for (size_t i = 0; i < calcDecls.size(); ++i)
            exposed.push_back({true, static_cast<int>(i)});
        for (const FieldRef& r : exposed) {
            const std::string& n = r.calculated ? calcDecls[static_cast<size_t>(r.index)].name
                                                : fields[static_cast<size_t>(r.index)].name;
            byName.add(n, r);
        }
        calcValues.assign(calcDecls.size(), Value());
    }

    FieldRef lookup(const std::string& name) const {
        const FieldRef* r = byName.find(name);
        if (!r)
            throw DbfError(notFound(name));
        return *r;
    }

    void compileFilter() {
        compiledFilter.clear();
        const FilterExpr expr = FilterExpr::parse(filterText);
        std::vector<CompiledComparison> out;
        for (const FilterExpr::Comparison& c : expr.comparisons()) {
            const FieldRef* r = byName.find(c.field);
            if (!r || r->calculated)
                throw DbfError(notFound(c.field));
            const StoredField& f = fields[static_cast<size_t>(r->index)];
            const FieldFamily fam = familyOf(f.kind);
            const bool numeric = fam == FieldFamily::Whole || fam == FieldFamily::Fractional;
            if (c.isText ? fam != FieldFamily::Text : !numeric)
                throw DbfError("Type mismatch in filter expression for field '" + c.field + "'");
            out.push_back({r->index, c.op, c.isText, c.number, c.text});
        }
        compiledFilter = std::move(out);
    }

    // ---- cursor ----
    void setCursor(long i) {
        cursor = i;
        atEof = atBof = false;
        if (i < 0)
            atEof = atBof = true;
    }

    long firstVisible(long from) const {
        for (long i = std::max(0L, from); i < count; ++i)
            if (visible(i))
                return i;
        return -1;
    }
    long lastVisible(long from) const {
        for (long i = std::min(from, count - 1); i >= 0; --i)
            if (visible(i))
                return i;
        return -1;
    }

    void goFirst() {
        setCursor(firstVisible(0));
        recordChanged();
    }

    // Ends an edit the way every cursor move does: posts a change, cancels otherwise.
    void endEdit() {
        if (state == State::Edit || state == State::Insert) {
            if (isModified)
                self->post();
            else
                self->cancel();
        }
    }

    void releaseLock() {
        if (lockHeld && file.isOpen())
            RecordLock::unlock(file, RecordLock::recordOffset(lockedRec + 1));
        lockHeld = false;
        lockedRec = -1;
    }

    void forgetNumbers() {
        numberKnown.clear();
        numbers.clear();
    }

    // The number in stored field fi of the current record.
    double storedNumber(size_t fi) const {
        const StoredField& f = fields[fi];
        const auto len = static_cast<size_t>(f.length);
        constexpr size_t kMaxSlots = size_t(1) << 16;
        const size_t slots = static_cast<size_t>(count) * fields.size();
        if (state != State::Browse || cursor < 0 || cursor >= count || slots > kMaxSlots) {
            const char* rec = current();
            if (!rec)
                rec = blankRecord();
            return FieldCodec::parseNumber(rec + 1 + f.offset, len);
        }
        if (numberKnown.size() != slots) {
            numberKnown.assign(slots, 0);
            numbers.assign(slots, 0);
        }
        const size_t slot = static_cast<size_t>(cursor) * fields.size() + fi;
        if (!numberKnown[slot]) {
            numbers[slot] = FieldCodec::parseNumber(record(cursor) + 1 + f.offset, len);
            numberKnown[slot] = 1;
        }
        return numbers[slot];
    }

    std::int64_t recordPos(long i) const {
        return static_cast<std::int64_t>(headerLength + static_cast<size_t>(i) * recordLength);
    }

    // Every write of the file: through the journal, under the header lock (the caller may
    // hold it already). True when the journal of an earlier, interrupted write had to be
    // played back first: the cache is then stale.
    bool writeFile(const std::vector<Patch>& patches, bool headerLockHeld) {
        if (!headerLockHeld &&
            !RecordLock::lockWithin(file, RecordLock::headerOffset(), kHeaderWaitMs))
            throw DbfError(kMsgLocked);
        bool stale = false;
        try {
            stale = Journal::write(file, path, patches);
        } catch (...) {
            if (!headerLockHeld)
                RecordLock::unlock(file, RecordLock::headerOffset());
            throw;
        }
        if (!headerLockHeld)
            RecordLock::unlock(file, RecordLock::headerOffset());
        forgetNumbers();
        return stale;
    }

    void writeRecordAt(long i, const char* data) {
        if (writeFile({{recordPos(i), std::string(data, recordLength)},
                       {DbfHeader::kDateOffset, DbfHeader::dateBytes()}},
                      false))
            reload();
        else if (i < count)
            std::memcpy(cache.data() + static_cast<size_t>(i) * recordLength, data, recordLength);
    }

    // An interrupted write by another process, undone before a record is read for an edit.
    void recoverBeforeEdit() {
        if (Journal::recover(file, path, readOnly))
            reload();
    }

    void noteOwnWrite() {
        ownWrites.fetch_add(1, std::memory_order_relaxed);
        platform::FileStamp st;
        if (file.stamp(st))
            adoptStat(st);
        else
            cacheRacy = true;
    }

    // ---- values ----
    Value readStored(const StoredField& f, const char* rec) const {
        if (!rec)
            rec = blankRecord();
        return FieldCodec::decode(f, rec + 1 + f.offset);
    }

    const char* blankRecord() const {
        thread_local std::vector<char> blank;
        if (blank.size() < recordLength + 1)
            blank.assign(recordLength + 1, ' ');
        return blank.data();
    }

    // Whether the record's field equals the Locate value.
    bool fieldEquals(const StoredField& f, const char* rec, const Value& v,
                     const std::string& textKey, double number, bool caseInsensitive) const {
        const char* p = rec + 1 + f.offset;
        const auto len = static_cast<size_t>(f.length);
        switch (f.kind) {
        case FieldKind::Text:
        case FieldKind::Unknown: {
            const size_t n = FieldCodec::trimmedLength(p, len);
            if (n != textKey.size())
                return false;
            if (!caseInsensitive)
                return std::memcmp(p, textKey.data(), n) == 0;
            const unsigned char* fold = CodePage::foldTable(f.codePage);
            for (size_t i = 0; i < n; ++i)
                if (fold[static_cast<unsigned char>(p[i])] !=
                    static_cast<unsigned char>(textKey[i]))
                    return false;
            return true;
        }
        case FieldKind::SmallInt:
        case FieldKind::Int:
        case FieldKind::Float: {
            const double d = FieldCodec::parseNumber(p, len);
            return std::fabs(d - number) <= 1e-9 * std::max(1.0, std::fabs(number));
        }
        default:
            return readStored(f, rec) == v;
        }
    }
};

Table::Table(std::string objectName) : d(std::make_unique<Impl>()) {
    d->self = this;
    d->objectName = std::move(objectName);
}

Table::~Table() {
    d->releaseLock();
    d->closeFd();
}

const std::string& Table::objectName() const {
    return d->objectName;
}

void Table::setDatabaseName(const std::string& dir) {
    d->checkClosed();
    d->databaseName = dir;
}
void Table::setTableName(const std::string& name) {
    d->checkClosed();
    d->tableName = name;
}
const std::string& Table::databaseName() const {
    return d->databaseName;
}
const std::string& Table::tableName() const {
    return d->tableName;
}

std::string Table::filePath() const {
    if (d->databaseName.empty() || (!d->tableName.empty() && d->tableName[0] == '/'))
        return d->tableName;
    if (d->databaseName.back() == '/')
        return d->databaseName + d->tableName;
    return d->databaseName + "/" + d->tableName;
}

void Table::setReadOnly(bool readOnly) {
    d->checkClosed();
    d->readOnly = readOnly;
}
bool Table::readOnly() const {
    return d->readOnly;
}

void Table::setDeclaredFields(std::vector<FieldDecl> fields) {
    d->checkClosed();
    d->declared = std::move(fields);
}

void Table::addCalculatedField(const std::string& name, FieldKind kind) {
    d->checkClosed();
    d->calcDecls.push_back({name, kind});
}

void Table::open() {
    if (d->state != State::Closed)
        return;
    d->openFile();
    try {
        d->readStructure();
        d->bindFields();
        d->reload();
        if (d->filtered)
            d->compileFilter();
    } catch (...) {
        d->closeFd();
        throw;
    }
    d->state = State::Browse;
    d->isModified = false;
    d->goFirst();
    if (afterOpen)
        afterOpen(*this); // a failure here leaves the table open
}

void Table::close() {
    if (d->state == State::Closed)
        return;
    if (beforeClose)
        beforeClose(*this);
    // A change not posted is dropped: nothing of the edit buffer reaches the file.
    d->releaseLock();
    d->closeFd();
    d->state = State::Closed;
    d->cache.clear();
    d->cache.shrink_to_fit();
    d->forgetNumbers();
    d->count = 0;
    d->cursor = -1;
    d->atEof = d->atBof = true;
    d->isModified = false;
    d->compiledFilter.clear();
    d->calcValues.clear();
    d->notify();
}

bool Table::isOpen() const {
    return d->state != State::Closed;
}
Table::State Table::state() const {
    return d->state;
}

void Table::first() {
    d->checkOpen();
    d->endEdit();
    // Picks up what other processes appended or deleted; an unchanged file is not re-read.
    d->refreshIfChanged();
    d->goFirst();
}

void Table::next() {
    d->checkOpen();
    d->endEdit();
    long i = d->firstVisible(d->cursor + 1);
    if (i < 0 && d->cursor >= 0 && d->fileChanged()) {
        // Records appended by another process since the last look.
        d->reload();
        i = d->firstVisible(d->cursor + 1);
    }
    if (i < 0) {
        d->atEof = true; // stays on the last record, as dBase does
        if (d->cursor < 0)
            d->atBof = true;
        return;
    }
    d->setCursor(i);
    d->recordChanged();
}

void Table::prior() {
    d->checkOpen();
    d->endEdit();
    const long i = d->cursor < 0 ? -1 : d->lastVisible(d->cursor - 1);
    if (i < 0) {
        d->atBof = true;
        if (d->cursor < 0)
            d->atEof = true;
        return;
    }
    d->setCursor(i);
    d->recordChanged();
}

void Table::last() {
    d->checkOpen();
    d->endEdit();
    d->refreshIfChanged();
    d->setCursor(d->lastVisible(d->count - 1));
    d->recordChanged();
}

bool Table::eof() const {
    return d->state == State::Closed || d->atEof;
}
bool Table::bof() const {
    return d->state == State::Closed || d->atBof;
}

Value Table::value(const std::string& field) const {
    d->checkOpen();
    if (!d->absentOptional.empty() && !d->byName.find(field)) {
        const std::string key = FieldCodec::nameKey(field);
        for (const std::string& k : d->absentOptional)
            if (k == key)
                return Value();
    }
    const FieldRef r = d->lookup(field);
    if (r.calculated)
        return d->calcValues[static_cast<size_t>(r.index)];
    const auto fi = static_cast<size_t>(r.index);
    switch (d->fields[fi].kind) {
    case FieldKind::SmallInt:
    case FieldKind::Int:
    case FieldKind::Float:
        return Value(d->storedNumber(fi));
    default:
        return d->readStored(d->fields[fi], d->current());
    }
}

void Table::setValue(const std::string& field, const Value& v) {
    d->checkOpen();
    const FieldRef r = d->lookup(field);
    if (r.calculated) {
        if (!d->inCalc)
            throw DbfError("Field '" + field + "' cannot be modified");
        Value stored = v;
        const FieldKind k = d->calcDecls[static_cast<size_t>(r.index)].kind;
        if (!v.isNull() && (familyOf(k) == FieldFamily::Whole || k == FieldKind::Float))
            stored = Value(v.toDouble());
        d->calcValues[static_cast<size_t>(r.index)] = stored;
        return;
    }
    if (d->state != State::Edit && d->state != State::Insert)
        throw DbfError(kMsgNotEditing);
    const StoredField& f = d->fields[static_cast<size_t>(r.index)];
    std::string bytes;
    FieldCodec::encode(f, v, bytes); // throws before anything changes
    char* dst = d->editBuf.data() + 1 + f.offset;
    // Writing the value a field already holds changes nothing: the calculated fields and
    // the views stay as they are (the walls rule rewrites thirty fields on every edit).
    if (std::memcmp(dst, bytes.data(), bytes.size()) == 0)
        return;
    std::memcpy(dst, bytes.data(), bytes.size());
    d->isModified = true;
    d->recordChanged();
}

void Table::edit() {
    d->checkOpen();
    if (d->state == State::Edit || d->state == State::Insert)
        return;
    if (d->readOnly)
        throw DbfError(kMsgReadOnly);
    if (d->cursor < 0 || d->count == 0) {
        append(); // nothing to edit in an empty table: start a new record
        return;
    }
    const long i = d->cursor;
    if (!RecordLock::tryLock(d->file, RecordLock::recordOffset(i + 1)))
        throw DbfError(kMsgLocked);
    d->lockHeld = true;
    d->lockedRec = i;
    try {
        d->recoverBeforeEdit();
    } catch (...) {
        d->releaseLock();
        throw;
    }
    if (i >= d->count) { // an append undone by the repair
        d->releaseLock();
        d->goFirst();
        throw DbfError("Record/Key deleted.");
    }
    // Edit what the file holds now, not what we read earlier.
    std::vector<char> fresh(d->recordLength);
    size_t got = 0;
    if (FileIo::readFully(d->file, fresh.data(), fresh.size(), d->recordPos(i), &got)) {
        d->forgetNumbers();
        std::memcpy(d->cache.data() + static_cast<size_t>(i) * d->recordLength, fresh.data(),
                    fresh.size());
        if (fresh[0] == '*') {
            d->releaseLock();
            throw DbfError("Record/Key deleted.");
        }
    }
    d->editBuf.assign(d->record(i), d->record(i) + d->recordLength);
    d->isModified = false;
    d->state = State::Edit;
    d->recordChanged();
}

void Table::post() {
    d->checkOpen();
    if (d->state == State::Edit) {
        if (d->isModified) {
            d->writeRecordAt(d->cursor, d->editBuf.data());
            d->noteOwnWrite();
        }
        d->releaseLock();
        d->state = State::Browse;
        d->isModified = false;
        d->recordChanged();
        return;
    }
    if (d->state != State::Insert)
        return;
    // Append under the header lock: recount, write the record over the old end-of-file
    // mark, then a new mark, then the count, all in one journaled write.
    if (!RecordLock::lockWithin(d->file, RecordLock::headerOffset(), kHeaderWaitMs))
        throw DbfError(kMsgLocked);
    try {
        Journal::recoverLocked(d->file, d->path, false);
        d->reload();
        platform::FileStamp st;
        d->file.stamp(st);
        if (st.size < static_cast<std::int64_t>(d->headerLength))
            throw DbfError("Файл " + d->path + " повреждён: заголовок длиннее файла");
        const long i = d->count;
        d->editBuf[0] = ' ';
        std::string tail(d->editBuf.data(), d->recordLength);
        tail += '\x1A';
        d->writeFile(
            {{d->recordPos(i), std::move(tail)},
             {DbfHeader::kDateOffset,
              DbfHeader::dateBytes() + DbfHeader::countBytes(static_cast<std::uint32_t>(i + 1))}},
            true);
        d->cache.insert(d->cache.end(), d->editBuf.begin(), d->editBuf.end());
        d->count = i + 1;
        d->noteOwnWrite();
        d->setCursor(i);
    } catch (...) {
        RecordLock::unlock(d->file, RecordLock::headerOffset());
        throw;
    }
    RecordLock::unlock(d->file, RecordLock::headerOffset());
    d->state = State::Browse;
    d->isModified = false;
    d->recordChanged();
}

void Table::cancel() {
    d->checkOpen();
    if (d->state == State::Edit) {
        d->releaseLock();
    } else if (d->state == State::Insert) {
        d->setCursor(d->cursorBeforeInsert);
        if (d->cursor >= d->count)
            d->setCursor(d->lastVisible(d->count - 1));
    } else {
        return;
    }
    d->state = State::Browse;
    d->isModified = false;
    d->recordChanged();
}

void Table::append() {
    d->checkOpen();
    if (d->readOnly)
        throw DbfError(kMsgReadOnly);
    d->endEdit();
    d->cursorBeforeInsert = d->cursor;
    d->editBuf.assign(d->recordLength, ' ');
    d->isModified = false;
    d->state = State::Insert;
    d->atEof = d->atBof = false;
    d->recordChanged();
}

void Table::deleteRecord() {
    d->checkOpen();
    if (d->readOnly)
        throw DbfError(kMsgReadOnly);
    if (d->state == State::Insert) {
        cancel();
        return;
    }
    const bool editing = d->state == State::Edit;
    if (d->cursor < 0)
        throw DbfError("Cannot delete: the table is empty");
    const long i = d->cursor;
    if (!editing && !RecordLock::tryLock(d->file, RecordLock::recordOffset(i + 1)))
        throw DbfError(kMsgLocked);
    if (!editing) {
        d->lockHeld = true;
        d->lockedRec = i;
    }
    try {
        if (d->writeFile({{d->recordPos(i), "*"}}, false))
            d->reload();
        else
            d->cache[static_cast<size_t>(i) * d->recordLength] = '*';
        d->noteOwnWrite();
    } catch (...) {
        if (!editing)
            d->releaseLock();
        throw;
    }
    d->releaseLock();
    d->state = State::Browse;
    d->isModified = false;
    long j = d->firstVisible(i + 1);
    if (j < 0)
        j = d->lastVisible(i - 1);
    d->setCursor(j);
    d->recordChanged();
}

bool Table::locate(const std::string& field, const Value& v, bool caseInsensitive) {
    d->checkOpen();
    const FieldRef r = d->lookup(field);
    d->endEdit();
    d->refreshBeforeLocate();
    if (r.calculated) {
        // Calculated values exist only for the record in the cursor: walk it.
        const long saved = d->cursor;
        const bool savedEof = d->atEof, savedBof = d->atBof;
        const std::string key = caseInsensitive ? foldCase(v.toString()) : v.toString();
        for (long i = d->firstVisible(0); i >= 0; i = d->firstVisible(i + 1)) {
            d->setCursor(i);
            d->runCalc();
            const Value got = d->calcValues[static_cast<size_t>(r.index)];
            const bool eq = got.isText() && v.isText() ? (caseInsensitive ? foldCase(got.toString())
                                                                          : got.toString()) == key
                                                       : got == v;
            if (eq) {
                d->notify();
                return true;
            }
        }
        d->setCursor(saved);
        d->atEof = savedEof;
        d->atBof = savedBof;
        d->runCalc();
        return false;
    }
    const StoredField& f = d->fields[static_cast<size_t>(r.index)];
    std::string& key = d->locateKey; // reused: no allocation per search
    key.clear();
    double number = 0;
    const FieldFamily fam = familyOf(f.kind);
    if (fam == FieldFamily::Text || fam == FieldFamily::Unknown) {
        if (!v.isNull() && !CodePage::toBytesExact(v.toString(), key, f.codePage))
            return false; // not representable on disk: no stored value can equal it
        key.resize(FieldCodec::trimmedLength(key.data(), key.size()));
        if (caseInsensitive)
            for (char& c : key)
                c = static_cast<char>(CodePage::foldTable(f.codePage)[static_cast<unsigned char>(c)]);
    } else if (fam == FieldFamily::Whole || fam == FieldFamily::Fractional) {
        if (v.isText()) {
            const std::string t = v.toString();
            char* end = nullptr;
            number = std::strtod(t.c_str(), &end);
            if (t.empty() || (end && *end != '\0'))
                return false;
        } else {
            number = v.toDouble();
        }
    }
    for (long i = 0; i < d->count; ++i) {
        const char* rec = d->record(i);
        if (rec[0] == '*' || !d->fieldEquals(f, rec, v, key, number, caseInsensitive))
            continue;
        if (d->filtered && !d->passesFilter(rec))
            continue;
        d->setCursor(i);
        d->recordChanged();
        return true;
    }
    return false;
}

bool Table::hasField(const std::string& name) const {
    if (d->state == State::Closed) {
        const std::string k = FieldCodec::nameKey(name);
        for (const FieldDecl& f : d->declared)
            if (FieldCodec::nameKey(f.name) == k)
                return true;
        for (const FieldDecl& f : d->calcDecls)
            if (FieldCodec::nameKey(f.name) == k)
                return true;
        return false;
    }
    return d->byName.find(name) != nullptr;
}

int Table::fieldCount() const {
    if (d->state == State::Closed)
        return static_cast<int>(d->declared.size() + d->calcDecls.size());
    return static_cast<int>(d->exposed.size());
}

FieldInfo Table::field(int index) const {
    FieldInfo info;
    if (index < 0 || index >= fieldCount())
        throw DbfError("Field index out of range: " + std::to_string(index));
    if (d->state == State::Closed) {
        const auto i = static_cast<size_t>(index);
        const bool calc = i >= d->declared.size();
        const FieldDecl& decl = calc ? d->calcDecls[i - d->declared.size()] : d->declared[i];
        info.name = decl.name;
        info.kind = decl.kind;
        info.calculated = calc;
        info.type = calc ? 0 : 'C';
        return info;
    }
    const FieldRef r = d->exposed[static_cast<size_t>(index)];
    if (r.calculated) {
        const FieldDecl& decl = d->calcDecls[static_cast<size_t>(r.index)];
        info.name = decl.name;
        info.type = 0;
        info.kind = decl.kind;
        info.calculated = true;
        return info;
    }
    const StoredField& f = d->fields[static_cast<size_t>(r.index)];
    info.name = f.name;
    info.type = f.type;
    info.length = f.length;
    info.decimals = f.decimals;
    info.kind = f.kind;
    return info;
}

void Table::setFilter(const std::string& expr) {
    FilterExpr::parse(expr); // refuse bad text before anything changes
    if (d->state == State::Closed || !d->filtered) {
        d->filterText = expr;
        return;
    }
    d->endEdit();
    const std::string old = d->filterText;
    d->filterText = expr;
    try {
        d->compileFilter();
    } catch (...) {
        d->filterText = old;
        d->compileFilter();
        throw;
    }
    d->reload();
    d->goFirst();
}

const std::string& Table::filter() const {
    return d->filterText;
}

void Table::setFiltered(bool on) {
    if (d->state == State::Closed) {
        d->filtered = on;
        return;
    }
    d->endEdit();
    if (on)
        d->compileFilter(); // throws with the table unfiltered
    else
        d->compiledFilter.clear();
    d->filtered = on;
    d->reload();
    d->goFirst();
}

bool Table::filtered() const {
    return d->filtered;
}

int Table::recordCount() const {
    d->checkOpen();
    d->refreshIfChanged();
    long n = 0;
    for (long i = 0; i < d->count; ++i)
        if (d->visible(i))
            ++n;
    return static_cast<int>(n);
}

long Table::recNo() const {
    if (d->state == State::Closed || d->state == State::Insert || d->cursor < 0)
        return 0;
    return d->cursor + 1;
}

bool Table::modified() const {
    return d->isModified;
}

int Table::addObserver(std::function<void()> callback) {
    const int id = d->nextObserverId++;
    d->observers.emplace(id, std::move(callback));
    return id;
}

void Table::removeObserver(int id) {
    d->observers.erase(id);
}

} // namespace vorn
