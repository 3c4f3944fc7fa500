#include "platform/linux/SystemTree.h"

#include "frame/SharedLibrary.h"

#include <libudev.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace Kor2_Sys::platform::linuxos {
namespace {

namespace fs = std::filesystem;

// The calls of libudev that read a device's properties, all or none.
struct UdevCalls {
    decltype(udev_new)* newContext = nullptr;
    decltype(udev_unref)* unref = nullptr;
    decltype(udev_device_new_from_devnum)* device = nullptr;
    decltype(udev_device_unref)* deviceUnref = nullptr;
    decltype(udev_device_get_properties_list_entry)* firstProperty = nullptr;
    decltype(udev_list_entry_get_next)* next = nullptr;
    decltype(udev_list_entry_get_name)* name = nullptr;
    decltype(udev_list_entry_get_value)* value = nullptr;
    bool complete = false;
};

const UdevCalls& libudev()
{
    static const UdevCalls calls = [] {
        const SharedLibrary library("libudev.so.1");
        UdevCalls c;
        c.complete = library.bind(c.newContext, "udev_new") && library.bind(c.unref, "udev_unref") &&
                     library.bind(c.device, "udev_device_new_from_devnum") &&
                     library.bind(c.deviceUnref, "udev_device_unref") &&
                     library.bind(c.firstProperty, "udev_device_get_properties_list_entry") &&
                     library.bind(c.next, "udev_list_entry_get_next") &&
                     library.bind(c.name, "udev_list_entry_get_name") &&
                     library.bind(c.value, "udev_list_entry_get_value");
        return c;
    }();
    return calls;
}

// Without libudev the database reads as empty, as when it holds nothing about the device.
class LibUdev final : public UdevDatabase {
public:
    UdevProperties properties(DeviceNumber number) override
    {
        UdevProperties out;
        const UdevCalls& udev = libudev();
        if (!udev.complete)
            return out;
        auto* context = udev.newContext();
        if (context == nullptr)
            return out;
        if (auto* device = udev.device(context, 'b', makedev(number.major, number.minor))) {
            for (auto* entry = udev.firstProperty(device); entry != nullptr; entry = udev.next(entry)) {
                const char* value = udev.value(entry);
                out.emplace(udev.name(entry), value ? value : "");
            }
            udev.deviceUnref(device);
        }
        udev.unref(context);
        return out;
    }
};

// The mount tables write blanks, tabs, line ends and backslashes in paths as octal escapes.
std::string unescaped(std::string_view field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto octal = [&](std::size_t at) { return at < field.size() && field[at] >= '0' && field[at] <= '7'; };
        if (field[i] == '\\' && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<std::string> fieldsOf(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> fields;
    for (std::string field; in >> field;)
        fields.push_back(std::move(field));
    return fields;
}

} // namespace

UdevDatabase::~UdevDatabase() = default;

std::string property(const UdevProperties& properties, std::string_view key)
{
    const auto it = properties.find(key);
    return it == properties.end() ? std::string() : it->second;
}

std::string udevDecoded(std::string_view text)
{
    const auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' && hex(text[i + 2]) >= 0 && hex(text[i + 3]) >= 0) {
            out += static_cast<char>(hex(text[i + 2]) * 16 + hex(text[i + 3]));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::shared_ptr<UdevDatabase> systemUdev()
{
    return std::make_shared<LibUdev>();
}

std::optional<DeviceNumber> parseDeviceNumber(std::string_view text)
{
    const auto colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    DeviceNumber number;
    const auto whole = [](std::string_view part, unsigned& value) {
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        return ec == std::errc{} && end == part.data() + part.size() && !part.empty();
    };
    if (!whole(text.substr(0, colon), number.major) || !whole(text.substr(colon + 1), number.minor))
        return std::nullopt;
    return number;
}

std::optional<std::string> SystemTree::attribute(const std::string& relative) const
{
    std::ifstream in(sys + "/" + relative);
    std::string line;
    if (!in || !std::getline(in, line))
        return std::nullopt;
    while (!line.empty() && (line.back() == ' ' || line.back() == '\n' || line.back() == '\r' || line.back() == '\t'))
        line.pop_back();
    return line;
}

std::string SystemTree::node(std::string_view name) const
{
    return dev + "/" + std::string(name);
}

std::optional<std::string> SystemTree::blockName(DeviceNumber number) const
{
    std::ifstream in(sys + "/dev/block/" + std::to_string(number.major) + ":" + std::to_string(number.minor) + "/uevent");
    for (std::string line; std::getline(in, line);)
        if (line.starts_with("DEVNAME="))
            return line.substr(8);
    return std::nullopt;
}

std::optional<DeviceNumber> SystemTree::blockNumber(std::string_view name) const
{
    if (name.empty() || name.find('/') != std::string_view::npos || name == "." || name == "..")
        return std::nullopt;
    const auto text = attribute("class/block/" + std::string(name) + "/dev");
    return text ? parseDeviceNumber(*text) : std::nullopt;
}

std::string SystemTree::deviceName(const std::string& path) const
{
    // Inside the tree, "/dev/disk/by-uuid/X" is "<dev>/disk/by-uuid/X"; its link leads to the node.
    std::error_code ec;
    const std::string inTree = dev + path.substr(std::min<std::size_t>(path.size(), 4));
    const fs::path resolved = fs::canonical(inTree, ec);
    return (ec ? fs::path(path) : resolved).filename().string();
}

UdevProperties SystemTree::udevProperties(DeviceNumber number) const
{
    return (udev ? udev : systemUdev())->properties(number);
}

std::vector<Mount> SystemTree::mounts() const
{
    // id parent major:minor root mount-point options [optional fields] - type source super-options
    std::vector<Mount> out;
    std::ifstream in(mountinfo);
    for (std::string line; std::getline(in, line);) {
        const auto fields = fieldsOf(line);
        const auto dash = std::find(fields.begin(), fields.end(), "-");
        if (fields.size() < 5 || dash == fields.end() || fields.end() - dash < 3)
            continue;
        const auto number = parseDeviceNumber(fields[2]);
        if (!number)
            continue;
        out.push_back({*number, unescaped(fields[4]), unescaped(dash[1]), unescaped(dash[2])});
    }
    return out;
}

std::vector<std::string> SystemTree::fstabMountPoints() const
{
    std::vector<std::string> out;
    std::ifstream in(fstab);
    for (std::string line; std::getline(in, line);) {
        const auto fields = fieldsOf(line);
        if (fields.size() >= 2 && !fields[0].starts_with('#'))
            out.push_back(unescaped(fields[1]));
    }
    return out;
}

} // namespace Kor2_Sys::platform::linuxos
