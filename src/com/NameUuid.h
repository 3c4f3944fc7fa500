#pragma once
// Fixed identifiers of the component binding: name-based UUIDs (version 5, SHA-1) of the
// programmatic names under the library's own namespace 7eeca747-fed9-4df6-861e-0aa4720e9e42.
// The type library is "Kor2_Sys", a class "Kor2_Sys.<Class>", its interface "Kor2_Sys._<Class>",
// the enumeration "Kor2_Sys.Tiempo". The build-time generator and the library compute them with
// this one header, so the type library and the registration always agree.

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace Kor2_Sys::com {

using UuidBytes = std::array<std::uint8_t, 16>;

inline constexpr UuidBytes kNamespace = {0x7e, 0xec, 0xa7, 0x47, 0xfe, 0xd9, 0x4d, 0xf6,
                                         0x86, 0x1e, 0x0a, 0xa4, 0x72, 0x0e, 0x9e, 0x42};

inline std::array<std::uint8_t, 20> sha1(std::string_view data)
{
    auto rotl = [](std::uint32_t v, int n) { return (v << n) | (v >> (32 - n)); };
    std::uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    std::string message(data);
    const std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
    message += '\x80';
    while (message.size() % 64 != 56)
        message += '\0';
    for (int i = 7; i >= 0; --i)
        message += static_cast<char>((bits >> (8 * i)) & 0xFF);
    for (std::size_t block = 0; block < message.size(); block += 64) {
        std::uint32_t w[80];
        for (int i = 0; i < 16; ++i)
            w[i] = static_cast<std::uint32_t>(static_cast<std::uint8_t>(message[block + 4 * i])) << 24 |
                   static_cast<std::uint32_t>(static_cast<std::uint8_t>(message[block + 4 * i + 1])) << 16 |
                   static_cast<std::uint32_t>(static_cast<std::uint8_t>(message[block + 4 * i + 2])) << 8 |
                   static_cast<std::uint32_t>(static_cast<std::uint8_t>(message[block + 4 * i + 3]));
        for (int i = 16; i < 80; ++i)
            w[i] = rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (int i = 0; i < 80; ++i) {
            std::uint32_t f, k;
            if (i < 20) { f = (b & c) | (~b & d); k = 0x5A827999; }
            else if (i < 40) { f = b ^ c ^ d; k = 0x6ED9EBA1; }
            else if (i < 60) { f = (b & c) | (b & d) | (c & d); k = 0x8F1BBCDC; }
            else { f = b ^ c ^ d; k = 0xCA62C1D6; }
            const std::uint32_t t = rotl(a, 5) + f + e + k + w[i];
            e = d; d = c; c = rotl(b, 30); b = a; a = t;
        }
        h[0] += a; h[1] += b; h[2] += c; h[3] += d; h[4] += e;
    }
    std::array<std::uint8_t, 20> digest{};
    for (int i = 0; i < 20; ++i)
        digest[i] = static_cast<std::uint8_t>(h[i / 4] >> (24 - 8 * (i % 4)));
    return digest;
}

/// The version 5 UUID of `name` under the library's namespace, bytes in network order.
inline UuidBytes nameUuid(std::string_view name)
{
    std::string input(kNamespace.begin(), kNamespace.end());
    input.append(name);
    const auto digest = sha1(input);
    UuidBytes id{};
    for (int i = 0; i < 16; ++i)
        id[i] = digest[i];
    id[6] = static_cast<std::uint8_t>((id[6] & 0x0F) | 0x50);
    id[8] = static_cast<std::uint8_t>((id[8] & 0x3F) | 0x80);
    return id;
}

/// "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx", upper case as the registry shows identifiers.
inline std::string uuidText(const UuidBytes& id)
{
    char text[40];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", id[0],
                  id[1], id[2], id[3], id[4], id[5], id[6], id[7], id[8], id[9], id[10], id[11], id[12], id[13], id[14],
                  id[15]);
    return text;
}

/// An identifier in braces, as the registry, manifests and the platform's identifier text write
/// it; `bracedUuid` is the same in the platform's wide characters.
inline std::string bracedText(const std::string& uuid)
{
    return "{" + uuid + "}";
}
inline std::wstring bracedUuid(const std::string& uuid)
{
    const std::string braced = bracedText(uuid);
    return std::wstring(braced.begin(), braced.end());
}

inline std::string libraryUuid() { return uuidText(nameUuid("Kor2_Sys")); }
inline std::string classUuid(std::string_view className) { return uuidText(nameUuid("Kor2_Sys." + std::string(className))); }
inline std::string interfaceUuid(std::string_view className)
{
    return uuidText(nameUuid("Kor2_Sys._" + std::string(className)));
}

} // namespace Kor2_Sys::com
