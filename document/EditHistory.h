#pragma once
// The undo history of the open calculation: one step per user event, each with the fields
// it wrote (their values before and after) and the screen state before and after.
#include "data/Value.h"
#include "document/ScreenState.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace vorn {

// One field written by an event.
struct FieldChange {
    std::string field;
    Value before;
    Value after;
};

using FieldValue = std::pair<std::string, Value>;
using RecordValues = std::vector<FieldValue>;

struct EditStep {
    std::string name; // "Высота, (м)"
    std::vector<FieldChange> changes;
    ScreenState screenBefore;
    ScreenState screenAfter;

    RecordValues valuesBefore() const;
    RecordValues valuesAfter() const;
};

class EditHistory {
public:
    // Steps kept; the oldest go first.
    static constexpr size_t kLimit = 200;

    void push(EditStep step); // drops the steps that were undone
    void clear();
    // Folds the last step into the one before it (typing on in the same text field): the
    // earlier step keeps its values before and takes the last one's values after.
    void mergeLast();

    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }
    const EditStep& undoStep() const { return steps_[done_ - 1]; }
    const EditStep& redoStep() const { return steps_[done_]; }
    // Moves the boundary between done and undone steps.
    void stepBack() { --done_; }
    void stepForward() { ++done_; }

private:
    std::vector<EditStep> steps_;
    size_t done_ = 0;
};

// The fields whose values differ between before and after (same fields, same order).
std::vector<FieldChange> changedFields(const RecordValues& before, const RecordValues& after);

} // namespace vorn
