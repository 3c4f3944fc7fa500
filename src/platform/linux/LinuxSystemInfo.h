#pragma once
// The machine's name, volumes and wildcard file search on Linux. Volumes are known from the udev
// database, else from probing the device with libblkid (root, containers without udev), else from
// statfs on the mount point; the file search lives in LinuxFileSearch.cpp.

#include <Kor2_Sys/Error.h>

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

/// The error for the system's error number `error` met on `path`, in the words the drive and
/// file members report.
Error systemError(int error, const std::string& path);

} // namespace Kor2_Sys::platform::linuxos
