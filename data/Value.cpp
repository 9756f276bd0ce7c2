#include "data/Value.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace vorn {

double Value::toDouble() const {
    switch (type_) {
    case Type::Number:
        return num_;
    case Type::Logical:
        return bool_ ? 1 : 0;
    case Type::Text: {
        std::string s = text_;
        for (char& c : s)
            if (c == ',')
                c = '.';
        return std::strtod(s.c_str(), nullptr);
    }
    default:
        return 0;
    }
}

std::string Value::toString() const {
    switch (type_) {
    case Type::Text:
        return text_;
    case Type::Number: {
        char buf[64];
        auto res = std::to_chars(buf, buf + sizeof buf, num_);
        return std::string(buf, res.ptr);
    }
    case Type::Logical:
        return bool_ ? "T" : "F";
    case Type::Date: {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", date_.year % 10000, date_.month % 100,
                      date_.day % 100);
        return buf;
    }
    default:
        return {};
    }
}

bool Value::toBool() const {
    switch (type_) {
    case Type::Logical:
        return bool_;
    case Type::Number:
        return num_ != 0;
    default:
        return false;
    }
}

bool Value::operator==(const Value& o) const {
    if (type_ != o.type_)
        return false;
    switch (type_) {
    case Type::Null:
        return true;
    case Type::Number:
        return num_ == o.num_;
    case Type::Text:
        return text_ == o.text_;
    case Type::Logical:
        return bool_ == o.bool_;
    case Type::Date:
        return date_ == o.date_;
    }
    return false;
}

} // namespace vorn
