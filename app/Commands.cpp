#include "app/Commands.h"

#include "app/SetCommand.h"
#include "data/DataModule.h"

#include <iostream>

namespace vorn {

std::string takeDataDirOption(std::vector<std::string>& args) {
    std::string dir;
    for (size_t i = 0; i < args.size();) {
        if (args[i] == "--data" && i + 1 < args.size()) {
            dir = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i),
                       args.begin() + static_cast<long>(i) + 2);
        } else if (args[i].rfind("--data=", 0) == 0) {
            dir = args[i].substr(7);
            args.erase(args.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
    return dir;
}

bool runCliCommand(const std::string& programDir, std::vector<std::string> args, int& exitStatus,
                   std::vector<std::string>* remainingArgs, std::string* dataDirOut) {
    std::string dataDir = takeDataDirOption(args);
    if (dataDir.empty())
        dataDir = DataModule::dataDirFor(programDir);
    if (dataDirOut)
        *dataDirOut = dataDir;
    if (remainingArgs)
        *remainingArgs = args;
    if (args.empty())
        return false;

    using Fn = int (*)(const CliContext&, const std::vector<std::string>&);
    struct Entry {
        const char* name;
        Fn fn;
    };
    static const Entry kCommands[] = {
        {"dump", dumpCommand},
        {"calc", calcCommand},
        {"new", newCommand},
        {"convert", convertCommand},
        {"set",
         [](const CliContext& ctx, const std::vector<std::string>& args) {
             SetOptions o;
             for (const std::string& a : args) {
                 if (a == "--json")
                     o.json = true;
                 else if (o.file.empty())
                     o.file = a;
                 else
                     o.assignments.push_back(a);
             }
             return setCommand(ctx, o);
         }},
    };
    for (const Entry& e : kCommands) {
        if (args[0] == e.name) {
            CliContext ctx{programDir, dataDir, std::cout, std::cerr};
            std::vector<std::string> rest(args.begin() + 1, args.end());
            exitStatus = e.fn(ctx, rest);
            return true;
        }
    }
    return false;
}

} // namespace vorn
