#include "platform/SystemInfo.h"

#include <dlfcn.h>

#include <filesystem>

namespace Kor2_Sys::platform {

// Found from one of the library's own functions: the loader knows which file it came from.
std::string libraryFile()
{
    Dl_info self{};
    if (dladdr(reinterpret_cast<void*>(&libraryFile), &self) != 0 && self.dli_fname != nullptr) {
        std::error_code ec;
        auto canonical = std::filesystem::weakly_canonical(self.dli_fname, ec);
        return ec ? std::string(self.dli_fname) : canonical.string();
    }
    return {};
}

} // namespace Kor2_Sys::platform
