#include "data/Table.h"

#include "data/DbfHeader.h"
#include "data/FileIo.h"
#include "data/Journal.h"
#include "data/RecordLock.h"
#include "data/TableImpl.h"

#include <algorithm>
#include <cstring>

namespace vorn {

Table::Table(std::string objectName) : d(std::make_unique<Impl>()) {
    d->self = this;
    d->objectName = std::move(objectName);
}

Table::~Table() {
    d->releaseLock();
    d->closeFd();
}

void Table::Impl::notify() {
    if (observers.empty())
        return;
    std::vector<std::function<void()>> calls;
    calls.reserve(observers.size());
    for (auto& o : observers)
        calls.push_back(o.second);
    for (auto& c : calls)
        c();
}

void Table::Impl::runCalc() {
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
void Table::Impl::recordChanged() {
    runCalc();
    notify();
}

long Table::Impl::firstVisible(long from) const {
    for (long i = std::max(0L, from); i < count; ++i)
        if (visible(i))
            return i;
    return -1;
}

long Table::Impl::lastVisible(long from) const {
    for (long i = std::min(from, count - 1); i >= 0; --i)
        if (visible(i))
            return i;
    return -1;
}

void Table::Impl::goFirst() {
    setCursor(firstVisible(0));
    recordChanged();
}

// Ends an edit the way every cursor move does: posts a change, cancels otherwise.
void Table::Impl::endEdit() {
    if (state == State::Edit || state == State::Insert) {
        if (isModified)
            self->post();
        else
            self->cancel();
    }
}

void Table::Impl::releaseLock() {
    if (lockHeld && file.isOpen())
        RecordLock::unlock(file, RecordLock::recordOffset(lockedRec + 1));
    lockHeld = false;
    lockedRec = -1;
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
        d->enterRead();
        d->recoverJournal();
        d->readStructure();
        d->bindFields();
        d->reload();
        if (d->filtered)
            d->compileFilter();
        d->leaveRead();
    } catch (...) {
        d->leaveRead();
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
    d->tableLockHeld = false; // closing the handle drops its locks
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

void Table::edit() {
    d->checkOpen();
    if (d->state == State::Edit || d->state == State::Insert)
        return;
    if (d->readOnly)
        throw DbfError(tablemsg::kReadOnly);
    if (d->cursor < 0 || d->count == 0) {
        append(); // nothing to edit in an empty table: start a new record
        return;
    }
    const long i = d->cursor;
    if (!RecordLock::tryLock(d->file, RecordLock::recordOffset(i + 1)))
        throw RecordLocked();
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
        throw RecordLocked();
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
        throw DbfError(tablemsg::kReadOnly);
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
        throw DbfError(tablemsg::kReadOnly);
    if (d->state == State::Insert) {
        cancel();
        return;
    }
    const bool editing = d->state == State::Edit;
    if (d->cursor < 0)
        throw DbfError("Cannot delete: the table is empty");
    const long i = d->cursor;
    if (!editing && !RecordLock::tryLock(d->file, RecordLock::recordOffset(i + 1)))
        throw RecordLocked();
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
