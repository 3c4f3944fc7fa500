#include "settings/Store.h"

namespace Kor2_Sys::settings {

std::shared_ptr<Store> openDefault()
{
    return open(configuredPath());
}

} // namespace Kor2_Sys::settings
