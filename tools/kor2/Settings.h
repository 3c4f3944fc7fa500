#pragma once
// `kor2 settings`: the user's tool for the settings store.

#include "settings/Store.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace kor2cli {

struct SettingsCommand {
    std::string action;              ///< get, set, list, delete, export, import
    std::vector<std::string> words;  ///< the action's positional words
    std::string app = "Vesolar";
    bool json = false;
};

/// Whether the action only reads (get, list, export): such a run opens the store read-only, so
/// that it never creates, moves aside or changes a file.
bool readsOnly(const SettingsCommand& command);

/// Installs the store the action needs when that is not the library's default one: the
/// configured path opened read-only for actions that only read. Throws `Error`.
void openStoreFor(const SettingsCommand& command);

/// Runs one settings action on the installed store; returns the exit status (0 done, 1 key not
/// found, 2 usage or unusable file argument, 3 store or file system error).
int runSettings(const SettingsCommand& command, std::ostream& out, std::ostream& err);

/// The export document: {"format": "kor2-settings", "version": 1, "entries": [...]}.
std::string exportJson(const std::vector<Kor2_Sys::settings::Entry>& entries);
/// The entries of an export document; throws std::invalid_argument naming the entry at fault.
std::vector<Kor2_Sys::settings::Entry> entriesFromJson(std::string_view document);

} // namespace kor2cli
