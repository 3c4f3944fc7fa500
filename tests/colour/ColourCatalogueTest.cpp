#include <Kor2_Sys/CColores.h>
#include <Kor2_Sys/Object.h>

#include "Guards.h"
#include "colour/ColourCatalogue.h"
#include "frame/Utf.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
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
// Numbers outside the list read as row 7 (each listed row is checked against the published list below).
INSTANTIATE_TEST_SUITE_P(Rows, SixteenColours, ::testing::Values(
    ListCase{0, 7, u"7 Blanco", 15}, ListCase{17, 7, u"7 Blanco", 15}, ListCase{-1, 7, u"7 Blanco", 15},
    ListCase{99, 7, u"7 Blanco", 15}));

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

// The whole catalogue as published (tests/colour/catalogue.txt): every forward colour, every key of
// the reverse palette (an index's own colour unless the list of own keys gives another), and every
// row of the sixteen-colour list, read through the class a host calls.
struct Published {
    std::vector<std::tuple<Integer, Long, Text, Long>> list;  // number, index, label, console code
    std::vector<Long> forward;
    std::map<Long, Long> ownKeys;                               // index -> key
};

Published published()
{
    static const std::regex row(R"x(\| (\d+)[^|]*\| "([^"]+)" \| (\d+) \| (\d+) \|)x"), cell(R"(\| ([0-9A-F]{6}) )"),
        ownKey(R"((\d+): ([0-9A-F]{6}))");
    Published p;
    std::ifstream in(KOR2_CATALOGUE);
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_match(line, m, row))
            p.list.emplace_back(std::stoi(m[1]), std::stol(m[3]), utf::fromUtf8(m[2].str()), std::stol(m[4]));
        else if (line.starts_with("| "))
            for (std::sregex_iterator it(line.begin(), line.end(), cell), e; it != e; ++it)
                p.forward.push_back(std::stol((*it)[1], nullptr, 16));
        else
            for (std::sregex_iterator it(line.begin(), line.end(), ownKey), e; it != e; ++it)
                p.ownKeys[std::stol((*it)[1])] = std::stol((*it)[2], nullptr, 16);
    }
    return p;
}

TEST(Catalogue, IsThePublishedNumberingEntryByEntry)
{
    const Published p = published();
    ASSERT_EQ(std::tuple(p.list.size(), p.forward.size(), p.ownKeys.size()), std::tuple(16u, 256u, 63u));
    CColores colours;
    for (const auto& [number, index, label, console] : p.list)
        EXPECT_EQ(std::tuple(colours.Col_NuTB_de_NuCad(number), colours.Col_NuyNomTB_de_NuTB(number), colours.Col_NuVB_de_NuTB(number)),
                  std::tuple(index, label, console)) << "list number " << number;
    for (Integer index = 0; index <= 255; ++index) {
        const Long colour = p.forward[static_cast<std::size_t>(index)];
        EXPECT_EQ(colours.Col_NumVB_de_NumCad(index), colour) << "index " << index;
        const bool keyless = index == 0 || index == 7 || index == 10 || index == 170 || index == 210 || index == 255;
        const auto own = p.ownKeys.find(index);
        if (own != p.ownKeys.end()) {
            EXPECT_EQ(std::pair(colours.Col_NuCad_de_NuVB(own->second), colours.Col_NuCad_de_NuVB(colour)), std::pair(Long{index}, Long{7}))
                << "index " << index << " reads back from its own key only";
        } else if (!keyless) {
            EXPECT_EQ(colours.Col_NuCad_de_NuVB(colour), index) << "index " << index << " reads back from its colour";
        }
    }
}

} // namespace
