#include "frame/Utf.h"

#include "frame/Latin1.h"

namespace Kor2_Sys::utf {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one code point at `pos` and advances it; malformed input yields U+FFFD for one byte.
char32_t nextCodePoint(std::string_view s, std::size_t& pos) noexcept
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(pos);
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || pos + extra >= s.size()) {
        ++pos;
        return extra == 0 ? lead : kReplacement;
    }
    char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            ++pos;
            return kReplacement;
        }
        cp = (cp << 6) | (byte(pos + i) & 0x3F);
    }
    pos += extra + 1;
    const bool overlong = (extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return kReplacement;
    return cp;
}

char32_t foldLatin(char32_t cp) noexcept
{
    return cp < 0x100 ? latin1::toLower(static_cast<char16_t>(cp)) : cp;
}

} // namespace

std::string toUtf8(std::u16string_view text)
{
    // The exact size up front: a buffer that grew would be released holding the text's beginning,
    // and the text may be a password.
    std::size_t size = 0;
    for (const char16_t unit : text)
        size += unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;  // a pair is 4 bytes, as two units are 6 at most
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        appendUtf8(out, cp);
    }
    return out;
}

std::u16string fromUtf8(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t cp = nextCodePoint(text, pos);
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

bool equalNames(std::string_view a, std::string_view b) noexcept
{
    // ASCII and Latin-1 letters keep their UTF-8 length when their case changes.
    if (a.size() != b.size())
        return false;
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (foldLatin(nextCodePoint(a, i)) != foldLatin(nextCodePoint(b, j)))
            return false;
    }
    return i == a.size() && j == b.size();
}

} // namespace Kor2_Sys::utf
