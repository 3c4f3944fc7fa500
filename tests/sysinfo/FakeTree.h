#pragma once
// A machine made up in a scratch folder for the Linux services: sysfs, device nodes, mount table,
// file-system table, and a udev database held in memory.

#include "Guards.h"
#include "platform/linux/SystemTree.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace kor2test {

class FakeUdev final : public Kor2_Sys::platform::linuxos::UdevDatabase {
public:
    Kor2_Sys::platform::linuxos::UdevProperties properties(Kor2_Sys::platform::linuxos::DeviceNumber n) override
    {
        const auto it = m_devices.find(key(n));
        return it == m_devices.end() ? Kor2_Sys::platform::linuxos::UdevProperties{} : it->second;
    }
    void set(const std::string& number, Kor2_Sys::platform::linuxos::UdevProperties p) { m_devices[number] = std::move(p); }

private:
    static std::string key(Kor2_Sys::platform::linuxos::DeviceNumber n)
    {
        return std::to_string(n.major) + ":" + std::to_string(n.minor);
    }
    std::map<std::string, Kor2_Sys::platform::linuxos::UdevProperties> m_devices;
};

class FakeTree {
public:
    FakeTree() { std::filesystem::create_directories(m_dir.path() / "dev"); }

    /// Writes `content` at `relative` inside the tree, making its folders.
    void write(const std::string& relative, const std::string& content) const
    {
        const auto path = m_dir.path() / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }
    /// A block device as sysfs shows it: its number both ways, its size in sectors, and
    /// `wholeDisk` for a disk listed under /sys/block.
    void blockDevice(const std::string& name, const std::string& number, const std::string& size = "2048",
                     bool wholeDisk = false) const
    {
        write("sys/class/block/" + name + "/dev", number + "\n");
        write("sys/class/block/" + name + "/size", size + "\n");
        write("sys/dev/block/" + number + "/uevent", "MAJOR=x\nDEVNAME=" + name + "\n");
        if (wholeDisk)
            write("sys/block/" + name + "/dev", number + "\n");
    }
    /// Appends a line to the mount table.
    void mount(const std::string& number, const std::string& mountPoint, const std::string& type,
               const std::string& source)
    {
        m_mountinfo += std::to_string(++m_mountId) + " 1 " + number + " / " + mountPoint + " rw,relatime shared:1 - " +
                       type + " " + source + " rw\n";
        write("proc/mountinfo", m_mountinfo);
    }
    void fstab(const std::string& lines) const { write("etc/fstab", lines); }
    FakeUdev& udev() { return *m_udev; }
    std::string path(const std::string& relative) const { return (m_dir.path() / relative).string(); }

    Kor2_Sys::platform::linuxos::SystemTree tree() const
    {
        return {path("sys"), path("dev"), path("proc/mountinfo"), path("etc/fstab"), m_udev};
    }

private:
    TempDir m_dir;
    std::string m_mountinfo;
    int m_mountId = 20;
    std::shared_ptr<FakeUdev> m_udev = std::make_shared<FakeUdev>();
};

} // namespace kor2test
