// Heat balances worked out in advance: every folder tests/cases/<name>/ holds a
// calculation (input.vrn) and what `vorn calc --json` must print for it (expected.json),
// or {"error": "..."} with a part of the message of a run that cannot be evaluated.
// The file and the data are the shipped ones; the calculation runs on a copy.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace vorn::test {
namespace {
namespace fs = std::filesystem;

// Flattens a JSON document into "a.b" -> token text: strings unescaped, numbers as
// written. Enough for the output of vorn calc and the expected files.
class JsonFlat {
public:
    explicit JsonFlat(std::string text) : s_(std::move(text)) {
        value("");
        skipSpace();
        if (pos_ != s_.size())
            fail("trailing text");
    }
    const std::map<std::string, std::string>& values() const { return out_; }
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

private:
    void fail(const std::string& what) {
        if (error_.empty())
            error_ = what + " at " + std::to_string(pos_);
        pos_ = s_.size();
    }
    void skipSpace() {
        while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_])))
            ++pos_;
    }
    std::string string() {
        std::string r;
        ++pos_; // opening quote
        while (pos_ < s_.size() && s_[pos_] != '"') {
            char c = s_[pos_++];
            if (c == '\\' && pos_ < s_.size()) {
                const char e = s_[pos_++];
                c = e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
            }
            r += c;
        }
        if (pos_ >= s_.size())
            fail("unterminated string");
        ++pos_;
        return r;
    }
    void value(const std::string& path) {
        skipSpace();
        if (pos_ >= s_.size())
            return fail("value expected");
        if (s_[pos_] == '{') {
            ++pos_;
            skipSpace();
            if (pos_ < s_.size() && s_[pos_] == '}') {
                ++pos_;
                return;
            }
            while (pos_ < s_.size()) {
                skipSpace();
                if (s_[pos_] != '"')
                    return fail("key expected");
                const std::string key = string();
                skipSpace();
                if (pos_ >= s_.size() || s_[pos_] != ':')
                    return fail("':' expected");
                ++pos_;
                value(path.empty() ? key : path + "." + key);
                skipSpace();
                if (pos_ < s_.size() && s_[pos_] == ',') {
                    ++pos_;
                    continue;
                }
                if (pos_ < s_.size() && s_[pos_] == '}') {
                    ++pos_;
                    return;
                }
                return fail("',' or '}' expected");
            }
            return fail("unterminated object");
        }
        if (s_[pos_] == '"') {
            out_[path] = string();
            return;
        }
        const size_t start = pos_;
        while (pos_ < s_.size() &&
               std::string("+-.0123456789eEtruefalsn").find(s_[pos_]) != std::string::npos)
            ++pos_;
        if (pos_ == start)
            return fail("unexpected character");
        out_[path] = s_.substr(start, pos_ - start);
    }

    std::string s_;
    size_t pos_ = 0;
    std::map<std::string, std::string> out_;
    std::string error_;
};

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<std::string> caseNames() {
    std::vector<std::string> names;
    const fs::path root = fs::path(VORN_SOURCE_DIR) / "tests" / "cases";
    for (const auto& e : fs::directory_iterator(root))
        if (e.is_directory() && fs::exists(e.path() / "input.vrn"))
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Case : public ::testing::TestWithParam<std::string> {};

TEST_P(Case, MatchesExpected) {
    const fs::path folder = fs::path(VORN_SOURCE_DIR) / "tests" / "cases" / GetParam();
    ASSERT_TRUE(fs::exists(folder / "expected.json")) << folder;
    JsonFlat expected(readFile(folder / "expected.json"));
    ASSERT_TRUE(expected.ok()) << "expected.json: " << expected.error();

    // vorn calc leaves the file untouched; the output goes to files beside nothing shared
    const fs::path tmp =
        fs::temp_directory_path() / ("vorn-case-" + GetParam() + "-" + std::to_string(::getpid()));
    fs::create_directories(tmp);
    const std::string cmd = std::string("'") + VORN_BINARY + "' calc '" +
                            (folder / "input.vrn").string() + "' --data '" + VORN_DATA_DIR +
                            "' --json >'" + (tmp / "out").string() + "' 2>'" +
                            (tmp / "err").string() + "'";
    const int status = std::system(cmd.c_str());
    const std::string out = readFile(tmp / "out");
    const std::string err = readFile(tmp / "err");
    fs::remove_all(tmp);

    const auto& want = expected.values();
    if (want.count("error")) {
        EXPECT_NE(status, 0);
        EXPECT_NE(err.find(want.at("error")), std::string::npos) << err;
        return;
    }
    ASSERT_EQ(status, 0) << err;
    JsonFlat actual(out);
    ASSERT_TRUE(actual.ok()) << actual.error() << "\n" << out;
    const auto& got = actual.values();
    for (const auto& [key, value] : want) {
        const auto it = got.find(key);
        if (it == got.end())
            ADD_FAILURE() << key << " missing";
        else
            EXPECT_EQ(it->second, value) << key;
    }
    for (const auto& [key, value] : got) {
        if (key != "file") {
            EXPECT_TRUE(want.count(key)) << key << " not expected (" << value << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, Case, ::testing::ValuesIn(caseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string n;
                             for (char c : info.param)
                                 n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return n;
                         });

} // namespace
} // namespace vorn::test
