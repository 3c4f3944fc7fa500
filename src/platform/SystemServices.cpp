#include "platform/DiskQuery.h"
#include "platform/SystemInfo.h"

#include "frame/NeverDestroyed.h"

namespace Kor2_Sys::platform {
namespace {

// Never destroyed, with the services in them: a host may ask from its own exit handlers.
Installed<SystemInfo>& systemSlot()
{
    static NeverDestroyed<Installed<SystemInfo>> slot(&platformSystemInfo);
    return *slot;
}

Installed<DiskQuery>& diskSlot()
{
    static NeverDestroyed<Installed<DiskQuery>> slot(&platformDiskQuery);
    return *slot;
}

} // namespace

SystemInfo::~SystemInfo() = default;
DiskDevice::~DiskDevice() = default;
DiskQuery::~DiskQuery() = default;

std::shared_ptr<SystemInfo> systemInfo() { return systemSlot().get(); }
std::shared_ptr<SystemInfo> installSystemInfo(std::shared_ptr<SystemInfo> info) { return systemSlot().install(std::move(info)); }
std::shared_ptr<DiskQuery> diskQuery() { return diskSlot().get(); }
std::shared_ptr<DiskQuery> installDiskQuery(std::shared_ptr<DiskQuery> query) { return diskSlot().install(std::move(query)); }

void putAtaString(IdentityBlock& block, AtaStringField field, std::string_view text)
{
    for (std::size_t k = 0; k < field.length; ++k)
        block[field.offset + (k ^ 1)] = static_cast<std::uint8_t>(k < text.size() ? text[k] : ' ');
}

} // namespace Kor2_Sys::platform
