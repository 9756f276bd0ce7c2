#pragma once
// A filter expression bound to the stored fields of an open table: each comparison knows
// its field, so a record is tested straight from its bytes.
#include "data/FieldCodec.h"
#include "data/FieldIndex.h"
#include "data/FilterExpr.h"

#include <string>
#include <vector>

namespace vorn {

class CompiledFilter {
public:
    // Throws DbfError when a field is not one of the table's stored fields, or when a
    // literal does not suit the field (text against a number or the other way round).
    static CompiledFilter compile(const std::string& expr, const FieldIndex& byName,
                                  const std::vector<StoredField>& fields);

    // Whether the record (deletion flag first) satisfies every comparison.
    bool passes(const char* rec, const std::vector<StoredField>& fields) const;
    void clear() { comparisons_.clear(); }

private:
    struct Comparison {
        int field = 0; // into the stored fields
        FilterExpr::Op op = FilterExpr::Op::Eq;
        bool isText = false;
        double number = 0;
        std::string text;
    };
    std::vector<Comparison> comparisons_;
};

} // namespace vorn
