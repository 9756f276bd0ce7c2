#include "data/FilterExpr.h"

#include "data/Table.h"

#include <cctype>

namespace vorn {

namespace {
class Parser {
public:
    explicit Parser(const std::string& s) : s_(s) {}

    FilterExpr::Comparison comparison() {
        FilterExpr::Comparison c;
        skipBlanks();
        c.field = name();
        skipBlanks();
        if (match(">="))
            c.op = FilterExpr::Op::Ge;
        else if (match("<="))
            c.op = FilterExpr::Op::Le;
        else if (match("="))
            c.op = FilterExpr::Op::Eq;
        else
            fail("expected =, >= or <=");
        skipBlanks();
        if (pos_ < s_.size() && s_[pos_] == '\'') {
            c.isText = true;
            c.text = quoted();
        } else {
            c.number = wholeNumber();
        }
        skipBlanks();
        return c;
    }

    bool atEnd() {
        skipBlanks();
        return pos_ >= s_.size();
    }

    void expectAnd() {
        if (s_.compare(pos_, 3, "and") != 0 || pos_ + 3 >= s_.size() ||
            !std::isspace(static_cast<unsigned char>(s_[pos_ + 3])))
            fail("expected \"and\"");
        pos_ += 3;
    }

    [[noreturn]] void fail(const char* what) const {
        throw DbfError("Invalid filter expression '" + s_ + "': " + what + " at position " +
                       std::to_string(pos_ + 1));
    }

private:
    void skipBlanks() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t'))
            ++pos_;
    }
    bool match(const char* tok) {
        const std::string t(tok);
        if (s_.compare(pos_, t.size(), t) == 0) {
            pos_ += t.size();
            return true;
        }
        return false;
    }
    std::string name() {
        const size_t start = pos_;
        if (pos_ < s_.size() &&
            (std::isalpha(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_')) {
            while (pos_ < s_.size() &&
                   (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_'))
                ++pos_;
        }
        if (pos_ == start)
            fail("expected a field name");
        return s_.substr(start, pos_ - start);
    }
    std::string quoted() {
        ++pos_; // opening quote
        std::string out;
        for (;;) {
            if (pos_ >= s_.size())
                fail("unterminated text literal");
            if (s_[pos_] == '\'') {
                if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') {
                    out += '\'';
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                break;
            }
            out += s_[pos_++];
        }
        while (!out.empty() && out.back() == ' ')
            out.pop_back();
        return out;
    }
    double wholeNumber() {
        bool negative = false;
        if (pos_ < s_.size() && s_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        const size_t start = pos_;
        double v = 0;
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_])))
            v = v * 10 + (s_[pos_++] - '0');
        if (pos_ == start)
            fail("expected a whole number or a quoted text");
        if (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) ||
                                 s_[pos_] == '.' || s_[pos_] == ','))
            fail("only whole numbers are allowed");
        return negative ? -v : v;
    }

    const std::string& s_;
    size_t pos_ = 0;
};
} // namespace

FilterExpr FilterExpr::parse(const std::string& expr) {
    FilterExpr out;
    Parser p(expr);
    if (p.atEnd())
        return out; // an empty filter lets every record through
    for (;;) {
        out.comparisons_.push_back(p.comparison());
        if (p.atEnd())
            break;
        p.expectAnd();
    }
    return out;
}

} // namespace vorn
