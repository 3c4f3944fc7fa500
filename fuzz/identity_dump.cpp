// The saved identity block reader: any bytes as a file handed to `kor2 info identify`. What it
// accepts is a whole block, which written back as disk tools print it reads again to the same
// bytes, and whose three strings read without going past their fields.
#include "FuzzInput.h"

#include <Kor2_Sys/Error.h>

#include "sysinfo/DiskIdentity.h"

#include <cstdio>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace Kor2_Sys;
    platform::IdentityBlock block;
    try {
        block = sysinfo::parseIdentityDump(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const Error& e) {
        kor2fuzz::require(e.number() == 5);
        return 0;
    }
    std::string dump = "/dev/sdz:\n";
    for (std::size_t word = 0; word < 256; ++word) {
        char text[8];
        std::snprintf(text, sizeof text, "%04x%c", block[2 * word] | (block[2 * word + 1] << 8), word % 8 == 7 ? '\n' : ' ');
        dump += text;
    }
    kor2fuzz::require(sysinfo::parseIdentityDump(dump) == block);
    for (const int selector : {sysinfo::kModel, sysinfo::kSerial, sysinfo::kFirmware})
        kor2fuzz::require(sysinfo::identityString(block, selector).size() <= sysinfo::identityField(selector).length);
    return 0;
}
