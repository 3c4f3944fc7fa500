// The settings import reader: any bytes as an import file. What it accepts, an export writes back
// so that it reads again to the very same entries, unit for unit.
#include "FuzzInput.h"

#include "Settings.h"

#include <stdexcept>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view document(reinterpret_cast<const char*>(data), size);
    std::vector<Kor2_Sys::settings::Entry> entries;
    try {
        entries = kor2cli::entriesFromJson(document);
    } catch (const std::invalid_argument&) {
        return 0;
    }
    try {
        kor2fuzz::require(kor2cli::entriesFromJson(kor2cli::exportJson(entries)) == entries);
    } catch (const std::invalid_argument&) {
        kor2fuzz::require(false);
    }
    return 0;
}
