#include <Kor2_Sys/CColores.h>
#include <Kor2_Sys/Object.h>

#include "Guards.h"
#include "colour/ColourCatalogue.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace Kor2_Sys;

namespace {

// Each index to its colour and each colour back to its index, with the edges either way.
struct LongCase { bool forward; Long in, out; };
class PaletteLookup : public ::testing::TestWithParam<LongCase> {};
TEST_P(PaletteLookup, ForwardGivesTheColourReverseMatchesExactlyOrGivesSeven)
{
    const auto [forward, in, out] = GetParam();
    EXPECT_EQ(forward ? CColores().Col_NumVB_de_NumCad(static_cast<Integer>(in)) : CColores().Col_NuCad_de_NuVB(in), out);
}
constexpr bool F = true, R = false;
INSTANTIATE_TEST_SUITE_P(Edges, PaletteLookup, ::testing::Values(
    LongCase{F, 0, 0x807C80}, LongCase{F, 8, 0x807C80}, LongCase{F, 7, 0xFFFFFF}, LongCase{F, 255, 0xFFFFFF},
    LongCase{F, 256, 0xFFFFFF}, LongCase{F, -1, 0xFFFFFF}, LongCase{F, 10, 0x0000FF}, LongCase{F, 250, 0x303430},
    LongCase{F, 254, 0xD8D4D8}, LongCase{F, -32768, 0xFFFFFF}, LongCase{F, 32767, 0xFFFFFF}, LongCase{R, 0x0000FF, 1},
    LongCase{R, 0xFF0000, 5}, LongCase{R, 0xFF00FF, 6}, LongCase{R, 0x807C80, 8}, LongCase{R, 0xFFFFFF, 7},
    LongCase{R, 0x000000, 7}, LongCase{R, 0x0000D0, 7}, LongCase{R, 0x0000C8, 12}, LongCase{R, 0x6064C8, 13},
    LongCase{R, 0x6064C9, 7}, LongCase{R, -1, 7}, LongCase{R, 0x1000000, 7}, LongCase{R, 0x100048, 248},
    LongCase{R, 0xD8D4D8, 254}));

struct ListCase { Integer number; Long cadIndex; std::u16string_view label; Long console; };
class SixteenColours : public ::testing::TestWithParam<ListCase> {};
TEST_P(SixteenColours, RowOfTheListNumber)
{
    CColores colours;
    const auto& c = GetParam();
    EXPECT_EQ(std::tuple(colours.Col_NuTB_de_NuCad(c.number), colours.Col_NuyNomTB_de_NuTB(c.number), colours.Col_NuVB_de_NuTB(c.number)),
              std::tuple(c.cadIndex, Text(c.label), c.console));
}
INSTANTIATE_TEST_SUITE_P(Rows, SixteenColours, ::testing::Values(
    ListCase{1, 1, u"1 Rojo", 12}, ListCase{8, 250, u"8 Negro", 0}, ListCase{9, 22, u"9 Rojo mate ", 4},
    ListCase{16, 8, u"16 Negro mate", 8}, ListCase{7, 7, u"7 Blanco", 15}, ListCase{0, 7, u"7 Blanco", 15},
    ListCase{17, 7, u"7 Blanco", 15}, ListCase{-1, 7, u"7 Blanco", 15}, ListCase{99, 7, u"7 Blanco", 15}));

struct NameCase { std::u16string_view word; Long colour; };
class ColourWords : public ::testing::TestWithParam<NameCase> {};
TEST_P(ColourWords, IgnoreCaseAndSurroundingBlanksOnly)
{
    EXPECT_EQ(CColores().Col_NuVB_de_Nombre_o_inicial(Text(GetParam().word)), GetParam().colour);
}
INSTANTIATE_TEST_SUITE_P(Words, ColourWords, ::testing::Values(
    NameCase{u" am ", 0x00FFFF}, NameCase{u"Az", 0xFF0000}, NameCase{u"m", 0xFF00FF}, NameCase{u"magenta", 0xFF00FF},
    NameCase{u"ROJO", 0x0000FF}, NameCase{u"9", 0xC0BCC0}, NameCase{u"8", 0x807C80}, NameCase{u"a", 0xFFFFFF},
    NameCase{u"10", 0xFFFFFF}, NameCase{u"", 0xFFFFFF}, NameCase{u"ROJ", 0xFFFFFF}, NameCase{u"\tR", 0xFFFFFF},
    NameCase{u"v e", 0xFFFFFF}));

// A colour's name is its own or its reverse index's digits; an index's the fixed names, else digits.
struct TextCase { bool ofColour; Long in; std::u16string_view out; };
class Names : public ::testing::TestWithParam<TextCase> {};
TEST_P(Names, OwnNameOrDigitsWithoutSign)
{
    kor2test::ScopedHeadless ui;
    const auto [ofColour, in, out] = GetParam();
    EXPECT_EQ(ofColour ? CColores().Col_NombCad_de_NuVb(in) : CColores().Col_NombreCad_NuCad(in), out);
    EXPECT_TRUE(ui->messages().empty());
}
constexpr bool C = true, I = false;
INSTANTIATE_TEST_SUITE_P(Colours, Names, ::testing::Values(
    TextCase{C, 0x0000D0, u"7"}, TextCase{C, 0x0000C8, u"12"}, TextCase{C, 0xC0BCC0, u"9"}, TextCase{C, 0x000000, u"7"},
    TextCase{C, 0x0000FF, u"rojo"}, TextCase{C, 0xFFFFFF, u"blanco"}, TextCase{C, 0x303430, u"250"}, TextCase{I, 0, u"por capa"},
    TextCase{I, 8, u"8"}, TextCase{I, 12, u"12"}, TextCase{I, 256, u"256"}, TextCase{I, -3, u"3"}, TextCase{I, 6, u"magenta"},
    TextCase{I, -2147483647 - 1, u"2147483648"}));

// The late-bound surface: every conversion takes its argument by reference and leaves it alone.
struct LateCase { const char* member; Variant arg; Variant result; };
class LateBoundConversions : public ::testing::TestWithParam<LateCase> {};
TEST_P(LateBoundConversions, LeaveTheirArgumentUnchanged)
{
    std::vector<Variant> args{GetParam().arg};
    EXPECT_EQ(sharedObject("Kor2_Sys.CColores")->invoke(GetParam().member, InvokeKind::Method, args), GetParam().result);
    EXPECT_EQ(args[0], GetParam().arg);
}
INSTANTIATE_TEST_SUITE_P(Members, LateBoundConversions, ::testing::Values(
    LateCase{"Col_NuVB_de_Nombre_o_inicial", Text(u" am "), Long{0x00FFFF}}, LateCase{"Col_NuTB_de_NuCad", Integer{9}, Long{22}},
    LateCase{"Col_NuyNomTB_de_NuTB", Integer{9}, Text(u"9 Rojo mate ")}, LateCase{"Col_NombCad_de_NuVb", Long{200}, Text(u"12")},
    LateCase{"Col_NombreCad_NuCad", Long{-3}, Text(u"3")}, LateCase{"Col_NuVB_de_NuTB", Integer{8}, Long{0}},
    LateCase{"Col_NumVB_de_NumCad", Integer{250}, Long{0x303430}}, LateCase{"Col_NuCad_de_NuVB", Long{13132800}, Long{7}},
    LateCase{"Col_NuCad_de_NuVB", Text(u"200"), Long{12}}));

TEST(LateBoundConversions, OutOfRangeArgumentIsAnOverflowForTheCaller)
{
    std::vector<Variant> args{Long{70000}};  // a 16-bit parameter cannot take it
    EXPECT_EQ(kor2test::errorOf([&] { sharedObject("CColores")->invoke("Col_NumVB_de_NumCad", InvokeKind::Method, args); }), 6);
}

// The catalogue's data are the published numbering that hosts and drawings rely on: its tables as
// a whole, digested, so that an edit anywhere (a colour, a key, a name, a list row) is a decision
// made here too and never slips through rows that sample them.
class Digest {
public:
    void add(std::uint64_t value)
    {
        for (int i = 0; i < 8; ++i, value >>= 8)
            m_hash = (m_hash ^ (value & 0xFF)) * 0x100000001B3ULL;
    }
    void add(std::u16string_view text)
    {
        add(text.size());
        for (char16_t unit : text)
            add(unit);
    }
    std::uint64_t value() const { return m_hash; }

private:
    std::uint64_t m_hash = 0xCBF29CE484222325ULL;
};

TEST(CatalogueData, IsThePublishedNumbering)
{
    Digest d;
    for (Long colour : colour::kForwardPalette)
        d.add(static_cast<std::uint64_t>(colour));
    for (const auto& o : colour::kKeyOverrides)
        d.add(static_cast<std::uint64_t>(o.index) << 32 | static_cast<std::uint32_t>(o.key));
    for (Long index : colour::kIndicesWithoutKey)
        d.add(static_cast<std::uint64_t>(index));
    for (std::u16string_view name : colour::kIndexNames)
        d.add(name);
    for (const auto& row : colour::kSixteenColours) {
        d.add(row.label);
        d.add(static_cast<std::uint64_t>(row.cadIndex) << 32 | static_cast<std::uint32_t>(row.consoleCode));
    }
    for (const auto& word : colour::kColourWords) {
        for (std::u16string_view w : word.words)
            d.add(w);
        d.add(static_cast<std::uint64_t>(word.colour));
    }
    for (const auto& name : colour::kColourNames) {
        d.add(static_cast<std::uint64_t>(name.colour));
        d.add(name.name);
    }
    EXPECT_EQ(d.value(), 0x98FE534BFA6E0585ULL) << std::hex << "digest 0x" << d.value();
}

} // namespace
