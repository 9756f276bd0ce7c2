#include "data/CompiledFilter.h"

#include "data/CodePage.h"
#include "data/Table.h"

namespace vorn {

CompiledFilter CompiledFilter::compile(const std::string& expr, const FieldIndex& byName,
                                       const std::vector<StoredField>& fields) {
    CompiledFilter out;
    const FilterExpr parsed = FilterExpr::parse(expr);
    for (const FilterExpr::Comparison& c : parsed.comparisons()) {
        const FieldRef* r = byName.find(c.field);
        if (!r || r->calculated)
            throw DbfError("Field '" + c.field + "' not found");
        const StoredField& f = fields[static_cast<size_t>(r->index)];
        const FieldFamily fam = familyOf(f.kind);
        const bool numeric = fam == FieldFamily::Whole || fam == FieldFamily::Fractional;
        if (c.isText ? fam != FieldFamily::Text : !numeric)
            throw DbfError("Type mismatch in filter expression for field '" + c.field + "'");
        out.comparisons_.push_back({r->index, c.op, c.isText, c.number, c.text});
    }
    return out;
}

bool CompiledFilter::passes(const char* rec, const std::vector<StoredField>& fields) const {
    for (const Comparison& c : comparisons_) {
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

} // namespace vorn
