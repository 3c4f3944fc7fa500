#pragma once
// `kor2 settings`: the user's tool for the settings store.

#include <iosfwd>
#include <string>
#include <vector>

namespace kor2cli {

struct SettingsCommand {
    std::string action;              ///< get, set, list, delete, export, import
    std::vector<std::string> words;  ///< the action's positional words
    std::string app = "Vesolar";
    bool json = false;
};

/// Runs one settings action on the store the run selected; returns the exit status
/// (0 done, 1 key not found, 2 usage, 3 store error).
int runSettings(const SettingsCommand& command, std::ostream& out, std::ostream& err);

} // namespace kor2cli
