#include <Kor2_Sys/CColores.h>
#include <Kor2_Sys/Object.h>

#include "Guards.h"
#include "colour/ColourCatalogue.h"
#include "frame/Utf.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace Kor2_Sys;

namespace {

struct ListCase { Integer number; Long cadIndex; std::u16string_view label; Long console; };
class SixteenColours : public ::testing::TestWithParam<ListCase> {};
TEST_P(SixteenColours, RowOfTheListNumber)
{
    CColores colours;
    const auto& c = GetParam();
    EXPECT_EQ(std::tuple(colours.Col_NuTB_de_NuCad(c.number), colours.Col_NuyNomTB_de_NuTB(c.number),
                         colours.Col_NuVB_de_NuTB(c.number)),
              std::tuple(c.cadIndex, Text(c.label), c.console));
}
INSTANTIATE_TEST_SUITE_P(Rows, SixteenColours, ::testing::Values(
    ListCase{1, 1, u"1 Rojo", 12}, ListCase{8, 250, u"8 Negro", 0}, ListCase{9, 22, u"9 Rojo mate ", 4},
    ListCase{16, 8, u"16 Negro mate", 8}, ListCase{7, 7, u"7 Blanco", 15}, ListCase{0, 7, u"7 Blanco", 15},
    ListCase{17, 7, u"7 Blanco", 15}, ListCase{-1, 7, u"7 Blanco", 15}, ListCase{99, 7, u"7 Blanco", 15},
    ListCase{12, 133, u"12 Ciano mate", 3}, ListCase{15, 254, u"15 Blanco mate", 7}));

// Every conversion through the late-bound surface: each takes its argument by reference and leaves
// it alone, and none shows a box. Rows: each index to its colour and each colour back to its index
// (exact keys only, else 7), colour words (case and surrounding blanks ignored), a colour's name
// (its own, else its reverse index's digits), an index's name (fixed names, else digits unsigned).
struct Call { const char* member; Variant arg, result; };
Call fwd(Integer in, Long out) { return {"Col_NumVB_de_NumCad", in, out}; }
Call rev(Long in, Long out) { return {"Col_NuCad_de_NuVB", in, out}; }
Call word(const char16_t* in, Long out) { return {"Col_NuVB_de_Nombre_o_inicial", in, out}; }
Call colourName(Long in, const char16_t* out) { return {"Col_NombCad_de_NuVb", in, out}; }
Call indexName(Long in, const char16_t* out) { return {"Col_NombreCad_NuCad", in, out}; }

TEST(LateBoundConversions, GiveTheCataloguesAnswerAndLeaveTheirArgumentUnchanged)
{
    const Call calls[] = {
        fwd(0, 0x807C80), fwd(7, 0xFFFFFF), fwd(10, 0x0000FF),
        fwd(254, 0xD8D4D8), fwd(256, 0xFFFFFF), fwd(-1, 0xFFFFFF),
        rev(0x0000FF, 1), rev(0xFF00FF, 6), rev(0x000000, 7),
        rev(0x0000D0, 7), rev(0x0000C8, 12), rev(0x6064C9, 7),
        rev(-1, 7), rev(0x1000000, 7), rev(0x100048, 248),
        rev(0xD8D4D8, 254), rev(13132800, 7), {"Col_NuCad_de_NuVB", u"200", Long{12}},
        word(u" am ", 0x00FFFF), word(u"m", 0xFF00FF), word(u"ROJO", 0x0000FF),
        word(u"9", 0xC0BCC0), word(u"10", 0xFFFFFF), word(u"ROJ", 0xFFFFFF),
        word(u"\tR", 0xFFFFFF), word(u"v e", 0xFFFFFF), word(u"", 0xFFFFFF),
        colourName(0x0000D0, u"7"), colourName(0x0000C8, u"12"), colourName(0x000000, u"7"),
        colourName(0x0000FF, u"rojo"), colourName(0x303430, u"250"), indexName(0, u"por capa"),
        indexName(256, u"256"), indexName(-3, u"3"), indexName(6, u"magenta"),
        indexName(-2147483647 - 1, u"2147483648"), {"Col_NuTB_de_NuCad", Integer{9}, Long{22}},
        {"Col_NuyNomTB_de_NuTB", Integer{9}, u"9 Rojo mate "}, {"Col_NuVB_de_NuTB", Integer{8}, Long{0}}};
    kor2test::ScopedHeadless ui;
    for (const auto& [member, arg, result] : calls) {
        SCOPED_TRACE(std::string(member) + " " + utf::toUtf8(arg.toText()));
        std::vector<Variant> args{arg};
        EXPECT_EQ(sharedObject("Kor2_Sys.CColores")->invoke(member, InvokeKind::Method, args), result);
        EXPECT_EQ(args[0], arg);
    }
    EXPECT_TRUE(ui->messages().empty());
}

TEST(LateBoundConversions, OutOfRangeArgumentIsAnOverflowForTheCaller)
{
    std::vector<Variant> args{Long{70000}};  // a 16-bit parameter cannot take it
    EXPECT_EQ(kor2test::errorOf([&] { sharedObject("CColores")->invoke("Col_NumVB_de_NumCad", InvokeKind::Method, args); }), 6);
}

// The catalogue's data are the published numbering that hosts and drawings rely on: a sample of
// each table across its range and at its ends, and their sizes, so that a failure names the entry.
struct Entry { Long at, value; };
constexpr Entry kForward[] = {
    {0, 0x807C80}, {1, 0x0000FF}, {7, 0xFFFFFF}, {9, 0xC0BCC0}, {10, 0x0000FF}, {19, 0x282450},
    {42, 0x0094C8}, {99, 0x284C28}, {100, 0x38FC00}, {128, 0x384C00}, {170, 0xFF0000}, {201, 0xFF7CE0},
    {249, 0x302448}, {250, 0x303430}, {254, 0xD8D4D8}, {255, 0xFFFFFF}};
// Indices read back from a key of their own rather than from their colour.
constexpr Entry kOwnKeys[] = {{12, 0x0000C8}, {101, 0x98FC78}, {171, 0xFF7C78}, {248, 0x100048}};

TEST(CatalogueData, IsThePublishedNumbering)
{
    for (const auto& [index, colour] : kForward)
        EXPECT_EQ(colour::kForwardPalette.at(index), colour) << std::hex << "index " << std::dec << index;
    for (const auto& [index, key] : kOwnKeys)
        EXPECT_EQ(colour::reverseIndex(key), index) << std::hex << "key 0x" << key;
    // The indices without a key: their colour reads back as another index, or as 7 for white.
    for (const Long index : {7, 10, 170, 210})
        EXPECT_EQ(colour::reverseIndex(colour::forwardColour(index)) == index, index == 7) << "index " << index;
    EXPECT_EQ(std::tuple(colour::kKeyOverrides.size(), colour::kReversePalette.size(), colour::kKeyOverrides.back().index),
              std::tuple(63u, 250u, 248));
}

} // namespace
