// Whole-table writes: the table locked as a whole, the new data region built in memory
// and written through the journal in one piece, so that an import killed at any point, or
// racing another, leaves the old table or the new one.
#include "data/DbfHeader.h"
#include "data/Journal.h"
#include "data/RecordLock.h"
#include "data/TableImpl.h"

#include <cstring>

namespace vorn {

void Table::lockTable(int waitMs) {
    d->checkOpen();
    if (d->readOnly)
        throw DbfError(tablemsg::kReadOnly);
    if (d->tableLockHeld)
        return;
    d->endEdit();
    const std::string busy = "Таблица " + d->path +
                             " занята: её строку правит или всю таблицу записывает другой "
                             "пользователь; ничего не записано, повторите позже";
    if (!RecordLock::lockFileWithin(d->file, waitMs))
        throw DbfError(busy);
    if (!RecordLock::lockWithin(d->file, RecordLock::headerOffset(), waitMs)) {
        RecordLock::unlockFile(d->file);
        throw DbfError(busy);
    }
    d->tableLockHeld = true;
    try {
        // What the table holds now, with an interrupted write of someone else undone.
        Journal::recoverLocked(d->file, d->path, false);
        d->reload();
    } catch (...) {
        unlockTable();
        throw;
    }
    d->goFirst();
}

void Table::unlockTable() {
    if (!d->tableLockHeld)
        return;
    d->tableLockHeld = false;
    if (!d->file.isOpen())
        return;
    RecordLock::unlock(d->file, RecordLock::headerOffset());
    RecordLock::unlockFile(d->file);
}

bool Table::tableLocked() const {
    return d->tableLockHeld;
}

void Table::writeRows(const std::vector<std::vector<Value>>& rows, bool append) {
    d->checkOpen();
    if (!d->tableLockHeld)
        throw DbfError("Cannot write the whole table without its lock");
    d->endEdit();
    std::vector<const StoredField*> targets;
    for (const FieldRef& r : d->exposed)
        targets.push_back(r.calculated ? nullptr : &d->fields[static_cast<size_t>(r.index)]);

    const size_t length = d->recordLength;
    std::string data(d->cache.data(), d->cache.size());
    std::string bytes;
    const auto fill = [&](size_t at, const std::vector<Value>& values) {
        data[at] = ' ';
        for (size_t f = 0; f < targets.size() && f < values.size(); ++f) {
            if (!targets[f])
                continue;
            FieldCodec::encode(*targets[f], values[f], bytes);
            std::memcpy(&data[at + 1 + targets[f]->offset], bytes.data(), bytes.size());
        }
    };
    size_t next = 0;
    if (!append) {
        // Rows go over the visible records in place and the surplus is marked deleted, so
        // an export imported again leaves the file as it was.
        for (long i = 0; i < d->count; ++i) {
            if (!d->visible(i))
                continue;
            const size_t at = static_cast<size_t>(i) * length;
            if (next < rows.size())
                fill(at, rows[next++]);
            else
                data[at] = '*';
        }
    }
    data.reserve(data.size() + (rows.size() - next) * length + 1);
    for (; next < rows.size(); ++next) {
        const size_t at = data.size();
        data.append(length, ' ');
        fill(at, rows[next]);
    }
    const auto n = static_cast<std::uint32_t>(data.size() / length);
    std::string region = data;
    region += '\x1A';
    if (d->writeFile({{DbfHeader::kDateOffset, DbfHeader::dateBytes() + DbfHeader::countBytes(n)},
                      {d->recordPos(0), std::move(region)}},
                     true)) {
        d->reload();
    } else {
        d->cache.assign(data.begin(), data.end());
        d->count = static_cast<long>(n);
    }
    d->noteOwnWrite();
    d->goFirst();
}

} // namespace vorn
