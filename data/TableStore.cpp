// The table's file: opening it (an interrupted write undone first), the cache of its
// records kept in step with other processes' writes, and every write through the journal.
#include "data/DbfHeader.h"
#include "data/FileIo.h"
#include "data/Journal.h"
#include "data/RecordLock.h"
#include "data/TableImpl.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>

namespace vorn {

namespace {

constexpr long kSettledSeconds = 3;
constexpr std::chrono::milliseconds kLocateRecheck{20};

// Writes by any table of this program, so that no table skips a look at its file after one.
std::atomic<unsigned long> ownWrites{0};

} // namespace

// ---- file access ----
void Table::Impl::openFile() {
    path = self->filePath();
    file = FileIo::openShared(path, readOnly);
}

void Table::Impl::recoverJournal() {
    // An interrupted write is undone before anything of the file is read.
    try {
        Journal::recover(file, path, readOnly);
    } catch (const DbfError&) {
        // The folder or the file may only be read: the table is read as the journal
        // restores it, in a copy of its own, and nothing of the user's file changes.
        if (!readOnly || !platform::fileExists(Journal::pathFor(path)))
            throw;
        restored = std::make_unique<WorkCopy>(path);
        std::string copy = restored->path();
        file = FileIo::openShared(copy, true);
    }
}

void Table::Impl::enterRead() {
    if (tableLockHeld || readDepth++ > 0)
        return;
    if (!RecordLock::lockWithin(file, RecordLock::readerOffset(), kReaderWaitMs, false)) {
        readDepth = 0;
        throw DbfError("Таблица " + path +
                       " сейчас перезаписывается целиком (идёт импорт), прочитать её не удалось;"
                       " повторите через несколько секунд");
    }
}

void Table::Impl::leaveRead() {
    if (tableLockHeld || readDepth == 0 || --readDepth > 0)
        return;
    if (file.isOpen())
        RecordLock::unlock(file, RecordLock::readerOffset());
}

void Table::Impl::closeFd() {
    file.close(); // also drops every lock this handle holds
    restored.reset();
}

void Table::Impl::readStructure() {
    DbfHeader h = DbfHeader::read(file, path);
    headerLength = h.headerLength;
    recordLength = h.recordLength;
    fields = std::move(h.fields);
}

// Re-reads the header record count and the whole data region. Other processes may
// have appended or deleted records since the last look.
void Table::Impl::reload() {
    enterRead();
    struct Leave {
        Impl* d;
        ~Leave() { d->leaveRead(); }
    } leave{this};
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
        FileIo::readFully(file, cache.data(), cache.size(), static_cast<std::int64_t>(headerLength),
                          &got);
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
void Table::Impl::adoptStat(const platform::FileStamp& st) {
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

bool Table::Impl::fileChanged() const {
    if (cacheRacy)
        return true;
    platform::FileStamp st;
    if (!file.stamp(st))
        return false;
    return st.size != cached.size || st.modified != cached.modified || st.changed != cached.changed;
}

void Table::Impl::refreshIfChanged() {
    if (fileChanged())
        reload();
    lastLook = std::chrono::steady_clock::now();
    lastLookWrites = ownWrites.load(std::memory_order_relaxed);
}

// Locate, run many times in a row by a recalculation, looks at the file again only
// when this program wrote to some table since, or when the last look is older than a
// moment: a change by another program within that moment shows at the next first().
void Table::Impl::refreshBeforeLocate() {
    if (ownWrites.load(std::memory_order_relaxed) != lastLookWrites ||
        std::chrono::steady_clock::now() - lastLook >= kLocateRecheck)
        refreshIfChanged();
}

void Table::Impl::forgetNumbers() {
    numberKnown.clear();
    numbers.clear();
}

// The number in stored field fi of the current record.
double Table::Impl::storedNumber(size_t fi) const {
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

// Every write of the file: through the journal, under the header lock (the caller may
// hold it already). True when the journal of an earlier, interrupted write had to be
// played back first: the cache is then stale.
bool Table::Impl::writeFile(const std::vector<Patch>& patches, bool headerLockHeld) {
    if (!headerLockHeld && !RecordLock::lockWithin(file, RecordLock::headerOffset(), kHeaderWaitMs))
        throw RecordLocked();
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

void Table::Impl::writeRecordAt(long i, const char* data) {
    if (writeFile({{recordPos(i), std::string(data, recordLength)},
                   {DbfHeader::kDateOffset, DbfHeader::dateBytes()}},
                  false))
        reload();
    else if (i < count)
        std::memcpy(cache.data() + static_cast<size_t>(i) * recordLength, data, recordLength);
}

// An interrupted write by another process, undone before a record is read for an edit.
void Table::Impl::recoverBeforeEdit() {
    if (Journal::recover(file, path, readOnly))
        reload();
}

void Table::Impl::noteOwnWrite() {
    ownWrites.fetch_add(1, std::memory_order_relaxed);
    platform::FileStamp st;
    if (file.stamp(st))
        adoptStat(st);
    else
        cacheRacy = true;
}

} // namespace vorn
