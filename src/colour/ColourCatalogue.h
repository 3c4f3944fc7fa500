#pragma once
// The colour catalogue: the one place that knows colours. Colour numbers are written as 0xBBGGRR
// (red in the lowest byte), so the literals read in the same order as the numbers themselves.

#include <Kor2_Sys/Value.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace Kor2_Sys::colour {

/// Colour number of each CAD colour index 0 to 255, indexed by the CAD colour index.
inline constexpr std::array<Long, 256> kForwardPalette = {
    0x807C80, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF, 0xFFFFFF, 0x807C80, 0xC0BCC0,  // 0-9
    0x0000FF, 0x807CFF, 0x0000D0, 0x6064C8, 0x000098, 0x484C98, 0x000080, 0x383C78, 0x202448, 0x282450,  // 10-19
    0x003CFF, 0x809CFF, 0x0034C8, 0x687CD0, 0x002498, 0x505C98, 0x001C80, 0x404C80, 0x001450, 0x282C48,  // 20-29
    0x007CFF, 0x80BCFF, 0x0064C8, 0x689CD0, 0x004C98, 0x5074A0, 0x003C80, 0x405C80, 0x002450, 0x283448,  // 30-39
    0x00BCFF, 0x80DCFF, 0x0094C8, 0x68B4D0, 0x006C98, 0x508498, 0x005C80, 0x406C80, 0x003C50, 0x283C48,  // 40-49
    0x00FCFF, 0x80FCFF, 0x00CCD0, 0x60CCC8, 0x009498, 0x489498, 0x007C80, 0x407C80, 0x004C48, 0x284C50,  // 50-59
    0x00FCC0, 0x80FCE0, 0x00CC98, 0x60CCB0, 0x009470, 0x489480, 0x007C60, 0x387C68, 0x004C38, 0x284C40,  // 60-69
    0x00FC78, 0x80FCC0, 0x00CC68, 0x60CC98, 0x009450, 0x489470, 0x007C40, 0x407C60, 0x004C20, 0x284C38,  // 70-79
    0x00FC40, 0x80FCA0, 0x00CC30, 0x68CC80, 0x009428, 0x509C60, 0x007C20, 0x407C50, 0x004C18, 0x284C30,  // 80-89
    0x00FC00, 0x80FC80, 0x00CC00, 0x68CC68, 0x009400, 0x509C50, 0x007C00, 0x407C40, 0x004C00, 0x284C28,  // 90-99
    0x38FC00, 0xA0FC80, 0x30CC00, 0x80CC60, 0x289400, 0x589448, 0x207C00, 0x507C40, 0x104C00, 0x304C28,  // 100-109
    0x80FC00, 0xC0FC80, 0x68CC00, 0x98CC60, 0x509400, 0x709448, 0x407C00, 0x587C38, 0x204C00, 0x384C28,  // 110-119
    0xB8FC00, 0xE0FC80, 0x98CC00, 0xB0CC60, 0x709400, 0x809448, 0x607C00, 0x707C40, 0x384C00, 0x404C28,  // 120-129
    0xFFFC00, 0xFFFC80, 0xC8CC00, 0xD0CC68, 0x989400, 0xA09C50, 0x807C00, 0x807C40, 0x504C00, 0x484C28,  // 130-139
    0xFFBC00, 0xFFDC80, 0xC89400, 0xD0B468, 0x986C00, 0x988450, 0x805C00, 0x806C40, 0x503C00, 0x483C28,  // 140-149
    0xFF7C00, 0xFFBC80, 0xC86400, 0xD09C68, 0x984C00, 0xA07450, 0x803C00, 0x805C40, 0x502400, 0x483428,  // 150-159
    0xFF3C00, 0xFF9C80, 0xD03400, 0xC87C60, 0x982400, 0x985C48, 0x801C00, 0x784C38, 0x480C00, 0x502C28,  // 160-169
    0xFF0000, 0xFF7C80, 0xD00000, 0xC86460, 0x980000, 0x984C48, 0x800000, 0x803C40, 0x480000, 0x502428,  // 170-179
    0xFF0040, 0xFF7CA0, 0xC80030, 0xD06480, 0x980028, 0xA04C60, 0x800020, 0x803C50, 0x500018, 0x482430,  // 180-189
    0xFF0080, 0xFF7CC0, 0xC80068, 0xD064A0, 0x980048, 0x984C78, 0x800040, 0x803C60, 0x500028, 0x482438,  // 190-199
    0xFF00C0, 0xFF7CE0, 0xC80098, 0xD064B8, 0x980070, 0xA04C88, 0x800060, 0x803C70, 0x500038, 0x482440,  // 200-209
    0xFF00FF, 0xFF7CFF, 0xD000D0, 0xC864C8, 0x980098, 0x984C98, 0x800080, 0x783C78, 0x480048, 0x502450,  // 210-219
    0xB800FF, 0xE07CFF, 0x9800D0, 0xB064C8, 0x700098, 0x804C98, 0x600080, 0x703C80, 0x380048, 0x402450,  // 220-229
    0x8000FF, 0xC07CFF, 0x6800D0, 0x9864C8, 0x500098, 0x704C98, 0x400080, 0x583C78, 0x200048, 0x382450,  // 230-239
    0x4000FF, 0xA07CFF, 0x3000C8, 0x8064D0, 0x280098, 0x604C98, 0x200080, 0x503C80, 0x180050, 0x302448,  // 240-249
    0x303430, 0x605C60, 0x808480, 0xB0ACB0, 0xD8D4D8, 0xFFFFFF,  // 250-255
};

/// Indices whose reverse-palette key is not their forward colour, with that key.
struct KeyOverride {
    Long index;
    Long key;
};
inline constexpr std::array<KeyOverride, 63> kKeyOverrides = {{
    {12, 0x0000C8}, {17, 0x403C80}, {18, 0x000050}, {28, 0x001448}, {32, 0x0064D0}, {34, 0x004CA0},
    {38, 0x002448}, {42, 0x009CD0}, {44, 0x007498}, {48, 0x003448}, {51, 0x78FCFF}, {52, 0x00CCC8},
    {58, 0x004C50}, {67, 0x407C70}, {71, 0x78FCB8}, {78, 0x004C28}, {84, 0x009C28}, {88, 0x004C10},
    {94, 0x009C00}, {101, 0x98FC78}, {104, 0x209400}, {108, 0x184C00}, {112, 0x60CC00}, {114, 0x489400},
    {117, 0x607C40}, {118, 0x284C00}, {121, 0xD8FC78}, {132, 0xD0CC00}, {134, 0xA09C00}, {138, 0x484C00},
    {142, 0xD09C00}, {144, 0x987400}, {148, 0x483400}, {152, 0xD06400}, {154, 0xA04C00}, {158, 0x482400},
    {162, 0xC82C00}, {167, 0x804C40}, {168, 0x501400}, {171, 0xFF7C78}, {172, 0xC80000}, {178, 0x500000},
    {182, 0xD00038}, {184, 0xA00028}, {188, 0x480010}, {192, 0xD00068}, {194, 0x980050}, {198, 0x480028},
    {202, 0xD00098}, {204, 0xA00078}, {208, 0x480038}, {212, 0xC800C8}, {217, 0x803C80}, {218, 0x500050},
    {221, 0xD87CFF}, {222, 0x9800C8}, {228, 0x380050}, {232, 0x6000C8}, {234, 0x480098}, {237, 0x603C80},
    {238, 0x280050}, {242, 0x3800D0}, {248, 0x100048},
}};

/// Indices that are the value of no reverse-palette key.
inline constexpr std::array<Long, 4> kIndicesWithoutKey = {7, 10, 170, 210};

/// One reverse-palette entry: a colour number and the CAD colour index it stands for.
struct ReverseEntry {
    Long key;
    Long index;
    constexpr bool operator<(const ReverseEntry& other) const { return key < other.key; }
};

constexpr std::array<ReverseEntry, 250> buildReversePalette()
{
    std::array<ReverseEntry, 250> entries{};
    std::size_t n = 0;
    for (Long index = 1; index <= 254; ++index) {
        if (std::find(kIndicesWithoutKey.begin(), kIndicesWithoutKey.end(), index) != kIndicesWithoutKey.end())
            continue;
        Long key = kForwardPalette[static_cast<std::size_t>(index)];
        for (const KeyOverride& o : kKeyOverrides)
            if (o.index == index)
                key = o.key;
        entries[n++] = {key, index};
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

/// The reverse palette, sorted by key for binary search: 250 keys, each index 1 to 254 but
/// 7, 10, 170 and 210 the value of exactly one.
inline constexpr std::array<ReverseEntry, 250> kReversePalette = buildReversePalette();

static_assert(std::adjacent_find(kReversePalette.begin(), kReversePalette.end(),
                                 [](const ReverseEntry& a, const ReverseEntry& b) { return a.key == b.key; })
                  == kReversePalette.end(),
              "reverse-palette keys are unique");

// A colour read back names the index it was written from: each index has at most one key, an
// overridden key is never its own index's colour, and no key is the colour of another index.
constexpr bool reverseKeysAreFaithful()
{
    for (const KeyOverride& o : kKeyOverrides)
        if (o.key == kForwardPalette[static_cast<std::size_t>(o.index)])
            return false;
    for (const ReverseEntry& a : kReversePalette)
        for (const ReverseEntry& b : kReversePalette)
            if (&a != &b && (a.index == b.index || a.key == kForwardPalette[static_cast<std::size_t>(b.index)]))
                return false;
    return true;
}
static_assert(reverseKeysAreFaithful(), "every reverse-palette key leads back to its own index only");

/// Fixed names of the indices 0 to 9; any other index is named by its digits.
inline constexpr std::array<std::u16string_view, 10> kIndexNames = {
    u"por capa", u"rojo", u"amarillo", u"verde", u"ciano", u"azul", u"magenta", u"blanco", u"8", u"9"};

/// One row of the sixteen-colour list.
struct ListEntry {
    std::u16string_view label;
    Long cadIndex;
    Long consoleCode;
};

/// The sixteen-colour list, indexed by list number - 1. Row 7 also stands for every number not
/// in 1 to 16.
inline constexpr std::array<ListEntry, 16> kSixteenColours = {{
    {u"1 Rojo", 1, 12},           {u"2 Amarillo", 2, 14},      {u"3 Verde", 3, 10},
    {u"4 Ciano", 4, 11},          {u"5 Azul", 5, 9},           {u"6 Magenta", 6, 13},
    {u"7 Blanco", 7, 15},         {u"8 Negro", 250, 0},        {u"9 Rojo mate ", 22, 4},
    {u"10 Amarillo mate", 53, 6}, {u"11 Verde mate", 85, 2},   {u"12 Ciano mate", 133, 3},
    {u"13 Azul mate", 175, 1},    {u"14 Magenta mate", 200, 5}, {u"15 Blanco mate", 254, 7},
    {u"16 Negro mate", 8, 8},
}};

/// Words that name a colour, upper case, in the order they are tried.
struct NamedColour {
    std::array<std::u16string_view, 3> words;
    Long colour;
};
inline constexpr std::array<NamedColour, 9> kColourWords = {{
    {{u"ROJO", u"R", u"1"}, 0x0000FF},
    {{u"AMARILLO", u"AM", u"2"}, 0x00FFFF},
    {{u"VERDE", u"V", u"3"}, 0x00FF00},
    {{u"CIANO", u"C", u"4"}, 0xFFFF00},
    {{u"AZUL", u"AZ", u"5"}, 0xFF0000},
    {{u"MAGENTA", u"M", u"6"}, 0xFF00FF},
    {{u"BLANCO", u"B", u"7"}, 0xFFFFFF},
    {{u"8"}, 0x807C80},
    {{u"9"}, 0xC0BCC0},
}};

/// Colour numbers with a name of their own, for the name of a colour number.
struct ColourName {
    Long colour;
    std::u16string_view name;
};
inline constexpr std::array<ColourName, 9> kColourNames = {{
    {0x0000FF, u"rojo"}, {0x00FFFF, u"amarillo"}, {0x00FF00, u"verde"}, {0xFFFF00, u"ciano"},
    {0xFF0000, u"azul"}, {0xFF00FF, u"magenta"}, {0xFFFFFF, u"blanco"}, {0x807C80, u"8"}, {0xC0BCC0, u"9"},
}};

inline constexpr Long kWhite = 0xFFFFFF;
inline constexpr Long kNoKeyIndex = 7;

/// Colour number of a CAD colour index; white outside 0 to 254.
constexpr Long forwardColour(Long index) noexcept
{
    return index < 0 || index > 254 ? kWhite : kForwardPalette[static_cast<std::size_t>(index)];
}

/// CAD colour index of a colour number by exact key; 7 when it is no key.
constexpr Long reverseIndex(Long colour) noexcept
{
    const auto it = std::lower_bound(kReversePalette.begin(), kReversePalette.end(), ReverseEntry{colour, 0});
    return it != kReversePalette.end() && it->key == colour ? it->index : kNoKeyIndex;
}

/// The row of the sixteen-colour list for a list number (row 7 outside 1 to 16).
constexpr const ListEntry& listEntry(Long number) noexcept
{
    return kSixteenColours[static_cast<std::size_t>(number >= 1 && number <= 16 ? number - 1 : 6)];
}

/// Colour number of a colour word (case and surrounding blanks ignored); white when none matches.
Long colourOfWord(std::u16string_view word);
/// Name of a colour number: its own name, else the digits of its reverse-palette index.
Text nameOfColour(Long colour);
/// Name of a CAD colour index: the fixed names of 0 to 9, else the digits without sign.
Text nameOfIndex(Long index);

} // namespace Kor2_Sys::colour
