// Binding the fields a table declares to the fields its file holds, and reading and
// setting their values.
#include "data/TableImpl.h"

#include <cstring>
#include <unordered_map>

namespace vorn {

void Table::Impl::bindFields() {
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
                throw DbfError(tablemsg::notFound(decl.name));
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

FieldRef Table::Impl::lookup(const std::string& name) const {
    const FieldRef* r = byName.find(name);
    if (!r)
        throw DbfError(tablemsg::notFound(name));
    return *r;
}

// ---- values ----
Value Table::Impl::readStored(const StoredField& f, const char* rec) const {
    if (!rec)
        rec = blankRecord();
    return FieldCodec::decode(f, rec + 1 + f.offset);
}

const char* Table::Impl::blankRecord() const {
    thread_local std::vector<char> blank;
    if (blank.size() < recordLength + 1)
        blank.assign(recordLength + 1, ' ');
    return blank.data();
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

bool Table::isBlank(const std::string& field) const {
    d->checkOpen();
    const FieldRef r = d->lookup(field);
    if (r.calculated)
        return d->calcValues[static_cast<size_t>(r.index)].isNull();
    const StoredField& f = d->fields[static_cast<size_t>(r.index)];
    const char* rec = d->current();
    if (!rec)
        return true;
    const char* p = rec + 1 + f.offset;
    for (int i = 0; i < f.length; ++i)
        if (p[i] != ' ' && p[i] != '\0')
            return false;
    return true;
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
        throw DbfError(tablemsg::kNotEditing);
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

} // namespace vorn
