#include "sysinfo/DiskIdentity.h"

#include "frame/Errors.h"
#include "frame/Utf.h"

#include <charconv>
#include <sstream>

namespace Kor2_Sys::sysinfo {
namespace {

// Plain characters, not a Text: a global object would be destroyed before exit handlers that call us.
constexpr char16_t kSource[] = u"c_VL";

Error badDump(const std::string& why)
{
    const Error base = errors::invalidCall();
    return {base.number(), base.description() + u": " + utf::fromUtf8(why)};
}

} // namespace

Error illegalDriveNumber() { return {10000, u"Illegal drive number", kSource}; }
Error illegalDataType() { return {10001, u"Illegal HD Data type", kSource}; }
Error illegalPlatform() { return {10002, u"Illegal platform (only WNT, W98 or W95)", kSource}; }
Error createFileFailed() { return {10003, u"Error on CreateFile", kSource}; }

platform::AtaStringField identityField(int selector)
{
    switch (selector) {
    case kModel: return platform::kModelField;
    case kSerial: return platform::kSerialField;
    case kFirmware: return platform::kFirmwareField;
    default: throw illegalDataType();
    }
}

Text readAtaString(const platform::IdentityBlock& block, platform::AtaStringField field)
{
    // Each pair is read from its odd byte, the first character of an ATA string pair.
    const std::size_t start = field.offset + 1;
    Text text;
    for (std::size_t i = start; i <= start + field.length - 1; i += 2) {
        if (block[i] == 0)
            break;
        text += static_cast<char16_t>(block[i]);
        if (block[i - 1] == 0)
            break;
        text += static_cast<char16_t>(block[i - 1]);
    }
    const auto first = text.find_first_not_of(u' ');
    if (first == Text::npos)
        return {};
    return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

platform::IdentifyAnswer identifyDrive(const Text& platformText, Byte drive)
{
    const auto query = platform::diskQuery();
    std::unique_ptr<platform::DiskDevice> device;
    if (platformText == u"WNT")
        device = query->openPhysicalDrive(drive);
    else if (platformText == u"W95" || platformText == u"W98")
        device = query->openSmartDriver();
    else
        throw illegalPlatform();
    if (!device)
        throw createFileFailed();
    platform::IdentifyRequest request;
    request.driveHead = (drive & 1) != 0 ? 0xB0 : 0xA0;
    request.driveNumber = drive;
    return device->identify(request);
}

platform::IdentityBlock parseIdentityDump(std::string_view content)
{
    platform::IdentityBlock block{};
    std::size_t words = 0;
    std::istringstream lines{std::string(content)};
    std::size_t lineNumber = 0;
    std::string why;
    for (std::string line; why.empty() && std::getline(lines, line);) {
        ++lineNumber;
        line = line.substr(0, line.find('#'));
        std::istringstream tokens(line);
        std::string token;
        std::vector<std::string> all;
        while (tokens >> token)
            all.push_back(token);
        if (all.size() == 1 && all[0].ends_with(':'))
            continue;  // the device heading disk tools print first
        for (std::string_view word : all) {
            if (word.starts_with("0x") || word.starts_with("0X"))
                word.remove_prefix(2);
            unsigned value = 0;
            const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value, 16);
            if (ec != std::errc{} || end != word.data() + word.size() || word.size() > 4) {
                why = "la línea " + std::to_string(lineNumber) + " tiene \"" + std::string(word.substr(0, 20)) +
                      "\", que no es una palabra hexadecimal";
                break;
            }
            if (words < 256) {
                block[2 * words] = static_cast<std::uint8_t>(value & 0xFF);
                block[2 * words + 1] = static_cast<std::uint8_t>(value >> 8);
            }
            ++words;
        }
    }
    if (why.empty() && words == 256)
        return block;
    if (content.size() == block.size()) {
        std::copy(content.begin(), content.end(), block.begin());
        return block;
    }
    if (why.empty())
        why = "hay " + std::to_string(words) + " palabras y un bloque de identidad tiene 256";
    throw badDump(why + " (o 512 bytes sin formato)");
}

} // namespace Kor2_Sys::sysinfo
