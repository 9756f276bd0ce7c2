#pragma once
// A value crossing the table interface: null, number, text (UTF-8), logical or date.
#include <string>

namespace vorn {

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const Date& o) const { return year == o.year && month == o.month && day == o.day; }
};

class Value {
public:
    enum class Type { Null, Number, Text, Logical, Date };

    Value() = default;
    Value(double d) : type_(Type::Number), num_(d) {}
    Value(int i) : type_(Type::Number), num_(i) {}
    Value(long i) : type_(Type::Number), num_(static_cast<double>(i)) {}
    Value(bool b) : type_(Type::Logical), bool_(b) {}
    Value(const char* s) : type_(Type::Text), text_(s) {}
    Value(std::string s) : type_(Type::Text), text_(std::move(s)) {}
    Value(vorn::Date d) : type_(Type::Date), date_(d) {}
    static Value null() { return Value(); }

    Type type() const { return type_; }
    bool isNull() const { return type_ == Type::Null; }
    bool isNumber() const { return type_ == Type::Number; }
    bool isText() const { return type_ == Type::Text; }
    bool isLogical() const { return type_ == Type::Logical; }
    bool isDate() const { return type_ == Type::Date; }

    // Conversions used by callers that know what they expect. Null gives 0 / "" / false.
    double toDouble() const;      // text is parsed as a decimal number ("" -> 0)
    std::string toString() const; // numbers in shortest round-trip form, dates as YYYY-MM-DD
    bool toBool() const;
    vorn::Date toDate() const { return date_; }

    bool operator==(const Value& o) const;
    bool operator!=(const Value& o) const { return !(*this == o); }

private:
    Type type_ = Type::Null;
    double num_ = 0;
    bool bool_ = false;
    std::string text_;
    vorn::Date date_;
};

} // namespace vorn
