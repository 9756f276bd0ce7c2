#pragma once
// The calculation templates of the user's data folder (vorn.dbf, trec.dbf) kept at the
// current record layout. The user's copy was taken from an earlier installation: when it
// is still as installed then (every value it holds equals the installed template's), the
// newer installed template replaces it; when the user changed it, the program adds the
// missing fields and keeps the user's values.
#include <string>
#include <vector>

namespace vorn {

class TemplateRefresh {
public:
    static constexpr const char* kTemplates[2] = {"vorn.dbf", "trec.dbf"};

    // Brings each template of userDir to the layout of installedDir's (or, without an
    // installed one, to the current layout). Returns the names of the templates it
    // replaced or rewrote. A template that cannot be read or written is left as it is.
    static std::vector<std::string> refresh(const std::string& installedDir,
                                            const std::string& userDir);
};

} // namespace vorn
