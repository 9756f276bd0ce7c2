#pragma once
// The filter expressions tables accept: comparisons of a field with a literal, joined
// by a lower-case "and", all of which must hold.
//   comparison := NAME ("=" | ">=" | "<=") literal
//   literal    := ["-"] digits | "'" text "'"   ('' inside quotes stands for ')
// Anything else is refused with a DbfError naming the expression.
#include <string>
#include <vector>

namespace vorn {

class FilterExpr {
public:
    enum class Op { Eq, Ge, Le };
    struct Comparison {
        std::string field; // as written
        Op op = Op::Eq;
        bool isText = false;
        double number = 0;
        std::string text; // UTF-8, trailing blanks removed
    };

    static FilterExpr parse(const std::string& expr);
    const std::vector<Comparison>& comparisons() const { return comparisons_; }
    bool empty() const { return comparisons_.empty(); }

private:
    std::vector<Comparison> comparisons_;
};

} // namespace vorn
