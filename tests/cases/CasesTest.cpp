// Heat balances worked out in advance: every folder tests/cases/<name>/ holds a
// calculation (input.vrn) and what `vorn calc --json` must print for it (expected.json),
// or {"error": "..."} with a part of the message of a run that cannot be evaluated. Only
// the keys a case names are compared within "steps"; {} keeps a place in an array.
// The file and the data are the shipped ones; the calculation runs on a copy.
#include "../data/Fixtures.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace vorn::test {
namespace {
namespace fs = std::filesystem;

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
    const nlohmann::json want =
        nlohmann::json::parse(readFile(folder / "expected.json"), nullptr, false).flatten();
    ASSERT_FALSE(want.is_discarded()) << "expected.json does not parse";

    // vorn calc leaves the file untouched; the output goes to files beside nothing shared
    const TempDir tmp;
    const int status = runProgram(
        VORN_BINARY, {"calc", (folder / "input.vrn").string(), "--data", VORN_DATA_DIR, "--json"},
        tmp.file("out"), tmp.file("err"));
    const std::string out = readFile(tmp.path() / "out");
    const std::string err = readFile(tmp.path() / "err");

    if (want.contains("/error")) {
        EXPECT_NE(status, 0);
        EXPECT_NE(err.find(want["/error"].get<std::string>()), std::string::npos) << err;
        return;
    }
    ASSERT_EQ(status, 0) << err;
    const nlohmann::json parsed = nlohmann::json::parse(out, nullptr, false);
    ASSERT_FALSE(parsed.is_discarded()) << out;
    const nlohmann::json got = parsed.flatten();
    // numbers compare by value: 0.00 in a case file is the 0.0 vorn prints
    for (const auto& [key, value] : want.items()) {
        // {} (flattened to null): a step whose contents the case leaves open
        if (value.is_null() && key.rfind("/steps/", 0) == 0)
            continue;
        if (!got.contains(key)) {
            ADD_FAILURE() << key << " missing";
        } else {
            EXPECT_EQ(got[key], value) << key;
        }
    }
    // the file name, and whether a chosen system fits (the cases choose none), are not
    // the engine's results; the gains repeat the boxes (below); warnings and the steps
    // are compared where a case names them
    for (const auto& [key, value] : got.items()) {
        if (key != "/file" && key != "/choice_fits" && key.rfind("/gains/", 0) != 0 &&
            key.rfind("/warnings", 0) != 0 && key.rfind("/steps/", 0) != 0) {
            EXPECT_TRUE(want.contains(key)) << key << " not expected (" << value << ")";
        }
    }

    // the readable names of the result boxes, in kW as the boxes show them
    const char* const gainKeys[] = {"walls",       "ventilation", "infiltration", "product",
                                    "respiration", "lighting",    "personnel",    "transport",
                                    "fans",        "sum",         "required"};
    ASSERT_EQ(parsed["gains"].size(), std::size(gainKeys));
    for (size_t n = 0; n < std::size(gainKeys); ++n) {
        EXPECT_EQ(parsed["gains"][gainKeys[n]],
                  parsed["boxes"]["CurrencyEdit" + std::to_string(n + 1)])
            << gainKeys[n];
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
