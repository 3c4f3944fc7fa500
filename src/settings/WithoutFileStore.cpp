#include "settings/Store.h"

#include "frame/Errors.h"
#include "frame/Utf.h"

namespace Kor2_Sys::settings {

// A build without SQLite keeps its settings where the platform keeps them; a named file is refused
// rather than silently ignored.
std::shared_ptr<Store> openFile(const std::string& path, OpenMode)
{
    throw errors::pathAccess(utf::fromUtf8(path) + u": esta versión se construyó sin el almacén SQLite");
}

} // namespace Kor2_Sys::settings
