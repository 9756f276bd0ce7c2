#pragma once
// One DBF file bound to one table object: cursor, states, typed values by field name,
// Locate, filters, calculated fields and the open / close / calc hooks.
//
// On disk text is code page 866; in memory it is UTF-8. Deleted records are invisible
// to everything. Errors are thrown as DbfError carrying the user-visible message.
#include "data/Value.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorn {

class DbfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Edit met the record's lock held by another program (or by another table of this one).
class RecordLocked : public DbfError {
public:
    static constexpr const char* kMessage = "Record is locked by another user";
    RecordLocked() : DbfError(kMessage) {}
};

// Kind of a field, from its DBF type letter, length and decimals.
enum class FieldKind { Text, SmallInt, Int, Float, Logical, Date, Unknown };
// Families compared when a declared field is bound to the file's field.
enum class FieldFamily { Text, Whole, Fractional, Logical, Date, Unknown };

FieldKind kindOf(char type, int length, int decimals);
FieldFamily familyOf(FieldKind kind);
const char* kindName(FieldKind kind); // used in the type-mismatch message

struct FieldInfo {
    std::string name; // as stored in the file (calculated fields: as declared)
    char type = 'C';  // DBF type letter; 0 for a calculated field
    int length = 0;
    int decimals = 0;
    FieldKind kind = FieldKind::Text;
    bool calculated = false;
};

// A field the table object declares: bound by name and family at Open.
struct FieldDecl {
    std::string name;
    FieldKind kind;
    // A field later layouts added: a file without it still opens; the table then has no
    // such field (hasField answers false), it reads as empty and cannot be written.
    bool optional = false;
};

class Table {
public:
    enum class State { Closed, Browse, Edit, Insert };

    explicit Table(std::string objectName = {});
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const std::string& objectName() const;

    // Where the file is and how it is opened: set only while the table is closed.
    void setDatabaseName(const std::string& dir);
    void setTableName(const std::string& name);
    const std::string& databaseName() const;
    const std::string& tableName() const;
    std::string filePath() const; // directory joined with the name, or the name alone
    void setReadOnly(bool readOnly);
    bool readOnly() const;

    // Declared stored fields (bound by family at Open) and calculated fields.
    void setDeclaredFields(std::vector<FieldDecl> fields);
    void addCalculatedField(const std::string& name, FieldKind kind = FieldKind::Float);

    // Hooks. afterOpen runs after a successful open (a throw leaves the table open and
    // reaches the caller of open()); beforeClose runs first thing in close();
    // onCalcFields runs whenever a record is read into the cursor and after any change of
    // a stored field in edit state.
    std::function<void(Table&)> afterOpen;
    std::function<void(Table&)> beforeClose;
    std::function<void(Table&)> onCalcFields;

    // Opens the file (an interrupted write is undone first), binds the declared fields
    // and moves to the first visible record.
    void open();
    void close(); // pending change discarded
    bool isOpen() const;
    State state() const;

    // Cursor among visible records. In edit/insert a move posts a change or cancels.
    // first() also picks up records appended or deleted by other processes.
    void first();
    void next();
    void prior();
    void last();
    bool eof() const; // past the last visible record, or empty
    bool bof() const;

    // Values by field name, the name's letter case ignored.
    Value value(const std::string& field) const;
    double asDouble(const std::string& field) const { return value(field).toDouble(); }
    std::string asString(const std::string& field) const { return value(field).toString(); }
    bool asBool(const std::string& field) const { return value(field).toBool(); }
    // Whether the field holds nothing: only blanks (a number that reads 0), or a null
    // calculated value.
    bool isBlank(const std::string& field) const;
    void setValue(const std::string& field, const Value& v);

    // Changes of the record in the cursor, each written through the journal.
    void edit(); // locks the record; "Record is locked by another user"
    void post(); // writes in place (or appends), flushes, unlocks
    void cancel();
    void append(); // blank record in insert state, added at the end on post
    void deleteRecord();

    // Whole-table writes (an import). lockTable takes the whole-file lock other dBase
    // programs use, and the header lock, waiting up to waitMs: while they are held no
    // record can be locked, no other writer writes and the table's readers in this program
    // wait. The records are read again under the lock. Throws DbfError (in Russian) when
    // another user holds a record or the table.
    void lockTable(int waitMs);
    void unlockTable();
    bool tableLocked() const;
    // Writes rows (values in the order of field(), calculated ones ignored) over the
    // table's visible records in file order, marks the visible records left over deleted
    // and appends the rest; with append, only appends. One journaled write, flushed once:
    // a crash at any point leaves the old table or the new one. Needs lockTable(). A value
    // that does not fit its field is thrown (DbfError) before anything is written.
    void writeRows(const std::vector<std::vector<Value>>& rows, bool append);

    // Case-insensitive whole-value search among visible records in file order.
    bool locate(const std::string& field, const Value& v, bool caseInsensitive = true);

    // The fields the table exposes.
    bool hasField(const std::string& name) const; // FindField, no error
    int fieldCount() const;                       // stored + calculated
    FieldInfo field(int index) const;             // file order, calculated ones last

    // Filter: comparisons (=, >=, <=) of a field with a whole number or a quoted
    // text literal, joined by "and". Anything else is a DbfError.
    void setFilter(const std::string& expr);
    const std::string& filter() const;
    void setFiltered(bool on);
    bool filtered() const;

    int recordCount() const; // visible records under deletion flags and filter
    long recNo() const;      // 1-based physical record number of the cursor, 0 if none
    bool modified() const;   // a field changed since edit()/append()

    // Views bound to the table: called when the current record or a value changes.
    int addObserver(std::function<void()> callback);
    void removeObserver(int id);

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

// Case folding for comparisons: Latin and Cyrillic (Ё/ё included), UTF-8 in and out.
std::string foldCase(const std::string& utf8);
bool equalsIgnoreCase(const std::string& a, const std::string& b);

// Code page 866 <-> UTF-8.
std::string cp866ToUtf8(const std::string& bytes);
std::string utf8ToCp866(const std::string& utf8); // unmappable characters become '?'

} // namespace vorn
