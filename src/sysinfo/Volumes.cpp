#include "sysinfo/Volumes.h"

#include "frame/Errors.h"
#include "frame/Latin1.h"
#include "frame/Utf.h"
#include "settings/Store.h"

#include <algorithm>
#include <cstdio>

namespace Kor2_Sys::sysinfo {
namespace {

bool isFat(const platform::VolumeFacts& f)
{
    return f.type == "vfat" || f.type == "msdos";
}

bool isNtfs(const platform::VolumeFacts& f)
{
    return f.type == "ntfs" || f.type == "ntfs3";
}

std::string hexDigits(std::string_view text)
{
    std::string out;
    for (char c : text)
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))
            out += c;
    return out;
}

std::uint32_t hexValue(std::string_view digits)
{
    std::uint32_t value = 0;
    for (char c : digits)
        value = (value << 4) | static_cast<std::uint32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    return value;
}

// The UUID's bytes in text order, folded into little-endian 32-bit words. For ext2/3/4 this is
// also what statfs reports as the file-system identifier, folded the same way, so that a user who
// can probe the device and one who cannot see the same number.
std::uint32_t foldedUuid(const std::string& digits)
{
    std::uint32_t folded = 0;
    for (std::size_t byte = 0; 2 * byte < digits.size(); ++byte) {
        const std::uint32_t value = hexValue(digits.substr(2 * byte, 2)) << (digits.size() - 2 * byte == 1 ? 4 : 0);
        folded ^= value << (8 * (byte % 4));
    }
    return folded;
}

std::uint32_t serialOf(const platform::VolumeFacts& f)
{
    const std::string digits = hexDigits(f.uuid);
    if ((isFat(f) || f.type == "exfat") && digits.size() == 8)
        return hexValue(digits);
    if (isNtfs(f) && digits.size() == 16)
        return hexValue(std::string_view(digits).substr(8));
    if (!digits.empty())
        return foldedUuid(digits);
    return static_cast<std::uint32_t>(f.fsid) ^ static_cast<std::uint32_t>(f.fsid >> 32);
}

Text fileSystemOf(const platform::VolumeFacts& f)
{
    if (isFat(f))
        return f.version == "FAT32" ? u"FAT32" : u"FAT";
    if (f.type == "exfat")
        return u"exFAT";
    if (isNtfs(f))
        return u"NTFS";
    return utf::fromUtf8(f.type);
}

// The platform fills fixed buffers: what it returns ends at the first zero character.
Text upToZero(Text text)
{
    text.resize(std::min(text.find(u'\0'), text.size()));
    return text;
}

} // namespace

char16_t driveLetter(char16_t letter)
{
    return latin1::toUpper(letter);
}

std::optional<std::string> driveTarget(char16_t letter)
{
    letter = driveLetter(letter);
    if (letter == u'C')
        return "/";
    const Text value = settings::store().read(Text(settings::kApplication), Text(kDrivesSection), Text(1, letter), {});
    if (value.empty())
        return std::nullopt;
    return utf::toUtf8(value);
}

std::optional<Volume> driveVolume(char16_t letter)
{
    const auto target = driveTarget(letter);
    if (!target)
        return std::nullopt;
    auto facts = platform::systemInfo()->volume(*target);
    if (!facts)
        return std::nullopt;
    return volumeOf(std::move(*facts));
}

Volume volumeOf(platform::VolumeFacts facts)
{
    Volume v;
    v.label = upToZero(utf::fromUtf8(facts.label));
    v.serial = serialOf(facts);
    v.fileSystem = upToZero(fileSystemOf(facts));
    v.facts = std::move(facts);
    return v;
}

Text serialText(std::uint32_t serial)
{
    return utf::fromUtf8(std::to_string(static_cast<std::int32_t>(serial)));
}

std::string serialHex(std::uint32_t serial)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04X-%04X", serial >> 16, serial & 0xFFFF);
    return text;
}

std::string platformPath(const Text& name)
{
    const bool drivePath = name.size() >= 2 && name[1] == u':';
    std::string rest = utf::toUtf8(drivePath ? std::u16string_view(name).substr(2) : std::u16string_view(name));
    if (drivePath || rest.find('/') == std::string::npos)
        std::replace(rest.begin(), rest.end(), '\\', '/');
    if (!drivePath)
        return rest;
    const auto target = driveTarget(name[0]);
    if (!target)
        throw errors::deviceUnavailable();
    std::string root = platform::systemInfo()->filesRoot(*target);
    rest.erase(0, rest.find_first_not_of('/') == std::string::npos ? rest.size() : rest.find_first_not_of('/'));
    if (root.empty() || root.back() != '/')
        root += '/';
    return root + rest;
}

} // namespace Kor2_Sys::sysinfo
