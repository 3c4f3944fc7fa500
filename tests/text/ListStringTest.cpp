#include <Kor2_Sys/CString.h>

#include "Guards.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Kor2_Sys;

namespace {

using Items = std::vector<Text>;

// The items of a list text (without the empty index 0), checking what every split promises.
Items split(std::u16string_view tira)
{
    CString s;
    Text text(tira);
    Items elementos{u"old"};
    s.S_LeeTira(text, elementos);
    EXPECT_FALSE(elementos.empty());
    EXPECT_EQ(elementos.at(0), u"") << "index 0 is never an item";
    EXPECT_EQ(static_cast<Long>(elementos.size()) - 1, s.nElementosLeidos) << "count equals the upper bound";
    EXPECT_EQ(text, tira.empty() ? Text() : Text(tira) + u" ") << "a non-empty text gets its blank";
    return Items(elementos.begin() + 1, elementos.end());
}

TEST(ListSplit, ItemsInOrder)
{
    const Text longest(32766, u'a'), tooLong(32767, u'a');
    const std::pair<std::u16string_view, Items> cases[] = {
        // Positions are 16-bit: a text of 32,766 units still splits; one more, and nothing does.
        {longest, {longest}}, {tooLong, {}},
        // Separators: blanks, commas, and blanks around commas.
        {u"a b  c", {u"a", u"b", u"c"}}, {u"a,b", {u"a", u"b"}}, {u"a , b", {u"a", u"b"}}, {u"a ,b", {u"a", u"b"}},
        {u"a, b", {u"a", u"b"}}, {u"a,,b", {u"a", u"", u"b"}}, {u"a, ,b", {u"a", u"", u"b"}},
        {u"a , , b", {u"a", u"", u"b"}}, {u"a,", {u"a"}}, {u"a,,", {u"a", u""}}, {u",a", {u"", u"a"}},
        {u",,a", {u"", u"", u"a"}}, {u"   ,a", {u"", u"a"}}, {u"a\tb", {u"a\tb"}}, {u"", {}}, {u"    ", {}},
        // Quotes.
        {u"\"x y\",z", {u"x y", u"z"}}, {u"\"\" z", {u"", u"z"}}, {u"\"ab\"c d", {u"\"ab\"c", u"d"}},
        {u"ab\"c d\"", {u"ab\"c", u"d\""}}, {u"\" \" z", {u"", u"z"}}, {u"\",\" z", {u"", u"z"}},
        {u"\"a,b\" \"c d\"", {u"a,b", u"c d"}}, {u"\"open", {u"\"open"}}, {u"x \"", {u"x", u"\""}},
        // Units: a NUL, lone surrogates, Latin-1 letters.
        {std::u16string_view(u"a\0b c", 5), {Text(u"a\0b", 3), u"c"}}, {u"\xD800 \xDC00x", {u"\xD800", u"\xDC00x"}},
        {u"año,ñu", {u"año", u"ñu"}}};
    for (const auto& [tira, items] : cases)
        EXPECT_EQ(split(tira), items) << std::string(tira.begin(), tira.begin() + std::min<std::size_t>(tira.size(), 40))
                                      << " (" << tira.size() << " units)";
}

TEST(ListSplit, WithCountWorksOnACopy)
{
    CString s;
    const Text tira = u"x, y";
    Long n = -1;
    Items elementos, untouched{u"", u"keep"};
    s.S_Lee_Tira_1(tira, n, elementos);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(elementos, (Items{u"", u"x", u"y"}));
    EXPECT_EQ(tira, u"x, y");
    s.S_Lee_Tira_1(u"   ", n, untouched);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(untouched, (Items{u"", u"keep"}));
}

// Right-aligned in its column with the first character blanked, under both separators.
TEST(ColumnLayout, RightAlignsAndBlanksTheFirstCharacter)
{
    const std::tuple<Variant, Integer, std::u16string_view> cases[] = {
        {Long{7}, 3, u"  7"}, {Text(u"abc"), 5, u"  abc"}, {Text(u"12345"), 3, u" 2345"}, {Text(u"abc"), 0, u" bc"},
        {Text(u"abc"), -4, u" bc"}, {Text(u""), 0, u""}, {Variant::null(), 5, u""}, {Variant{}, 2, u"  "}, {2.5, 5, u"  2.5"}};
    for (char16_t separator : {u'.', u','}) {
        kor2test::ScopedDecimal dec{separator};
        for (const auto& [valor, longitud, out] : cases) {
            Text expected(out);
            std::replace(expected.begin(), expected.end(), u'.', separator);
            EXPECT_EQ(CString().S_Sp(valor, longitud), expected);
        }
    }
}

} // namespace
