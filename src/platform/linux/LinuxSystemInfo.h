#pragma once
// The machine's name, volumes and directory listing on Linux: volumes known from the udev
// database, else from probing the device with libblkid (root, containers without udev), else from
// statfs on the mount point.

#include "platform/SystemInfo.h"
#include "platform/linux/SystemTree.h"

namespace Kor2_Sys::platform::linuxos {

class LinuxSystemInfo final : public SystemInfo {
public:
    explicit LinuxSystemInfo(SystemTree tree = {}) : m_tree(std::move(tree)) {}

    std::string hostName() override;
    std::optional<VolumeFacts> volume(const std::string& where) override;
    std::string filesRoot(const std::string& where) override;
    std::optional<std::string> firstFile(const std::string& path) override;

private:
    SystemTree m_tree;
};

} // namespace Kor2_Sys::platform::linuxos
