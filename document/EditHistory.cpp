#include "document/EditHistory.h"

namespace vorn {

namespace {
// Values are compared as the file stores them: a blank field and a field never written
// are the same, and numbers compare by value.
bool sameValue(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a == b;
}
} // namespace

RecordValues EditStep::valuesBefore() const {
    RecordValues out;
    for (const FieldChange& c : changes)
        out.emplace_back(c.field, c.before);
    return out;
}

RecordValues EditStep::valuesAfter() const {
    RecordValues out;
    for (const FieldChange& c : changes)
        out.emplace_back(c.field, c.after);
    return out;
}

void EditHistory::push(EditStep step) {
    steps_.resize(done_);
    steps_.push_back(std::move(step));
    if (steps_.size() > kLimit)
        steps_.erase(steps_.begin());
    done_ = steps_.size();
}

void EditHistory::mergeLast() {
    if (done_ < 2 || done_ != steps_.size())
        return;
    EditStep last = std::move(steps_.back());
    steps_.pop_back();
    EditStep& into = steps_.back();
    for (FieldChange& c : last.changes) {
        bool found = false;
        for (FieldChange& d : into.changes)
            if (d.field == c.field) {
                d.after = c.after;
                found = true;
            }
        if (!found)
            into.changes.push_back(std::move(c));
    }
    into.screenAfter = last.screenAfter;
    done_ = steps_.size();
}

void EditHistory::clear() {
    steps_.clear();
    done_ = 0;
}

std::vector<FieldChange> changedFields(const RecordValues& before, const RecordValues& after) {
    std::vector<FieldChange> out;
    for (size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (!sameValue(before[i].second, after[i].second))
            out.push_back({before[i].first, before[i].second, after[i].second});
    return out;
}

} // namespace vorn
