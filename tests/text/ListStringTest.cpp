#include <Kor2_Sys/CString.h>

#include "Guards.h"

#include <gtest/gtest.h>

using namespace Kor2_Sys;

namespace {

using Items = std::vector<Text>;

struct SplitCase {
    std::u16string_view tira;
    Items items;  // without the empty index 0
};

Items split(std::u16string_view tira, Long* count = nullptr)
{
    CString s;
    Text text(tira);
    Items elementos{u"old"};
    s.S_LeeTira(text, elementos);
    EXPECT_FALSE(elementos.empty());
    EXPECT_EQ(elementos.at(0), u"") << "index 0 is never an item";
    EXPECT_EQ(static_cast<Long>(elementos.size()) - 1, s.nElementosLeidos) << "count equals the upper bound";
    EXPECT_EQ(text, tira.empty() ? Text() : Text(tira) + u" ") << "a non-empty text gets its blank";
    if (count)
        *count = s.nElementosLeidos;
    return Items(elementos.begin() + 1, elementos.end());
}

class ListSplit : public ::testing::TestWithParam<SplitCase> {};
TEST_P(ListSplit, ItemsInOrder)
{
    EXPECT_EQ(split(GetParam().tira), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(Separators, ListSplit, ::testing::Values(
    SplitCase{u"a b  c", {u"a", u"b", u"c"}},
    SplitCase{u"a,b", {u"a", u"b"}}, SplitCase{u"a , b", {u"a", u"b"}},
    SplitCase{u"a ,b", {u"a", u"b"}}, SplitCase{u"a, b", {u"a", u"b"}},
    SplitCase{u"a,,b", {u"a", u"", u"b"}}, SplitCase{u"a, ,b", {u"a", u"", u"b"}},
    SplitCase{u"a , , b", {u"a", u"", u"b"}},
    SplitCase{u"a,", {u"a"}}, SplitCase{u"a,,", {u"a", u""}},
    SplitCase{u",a", {u"", u"a"}}, SplitCase{u",,a", {u"", u"", u"a"}}, SplitCase{u"   ,a", {u"", u"a"}},
    SplitCase{u"a\tb", {u"a\tb"}},
    SplitCase{u"", {}}, SplitCase{u"    ", {}}));

INSTANTIATE_TEST_SUITE_P(Quotes, ListSplit, ::testing::Values(
    SplitCase{u"\"x y\",z", {u"x y", u"z"}},
    SplitCase{u"\"\" z", {u"", u"z"}},
    SplitCase{u"\"ab\"c d", {u"\"ab\"c", u"d"}},
    SplitCase{u"ab\"c d\"", {u"ab\"c", u"d\""}},
    SplitCase{u"\" \" z", {u"", u"z"}},
    SplitCase{u"\",\" z", {u"", u"z"}},
    SplitCase{u"\"a,b\" \"c d\"", {u"a,b", u"c d"}},
    SplitCase{u"\"open", {u"\"open"}},
    SplitCase{u"x \"", {u"x", u"\""}}));

INSTANTIATE_TEST_SUITE_P(Units, ListSplit, ::testing::Values(
    SplitCase{std::u16string_view(u"a\0b c", 5), {Text(u"a\0b", 3), u"c"}},
    SplitCase{u"\xD800 \xDC00x", {u"\xD800", u"\xDC00x"}},
    SplitCase{u"año,ñu", {u"año", u"ñu"}}));

TEST(ListSplitLimits, PositionsAre16Bit)
{
    // "bb..ba a a ... a" of n units whose last unit ends an item: 16,383 items whatever the b's.
    auto make = [](std::size_t n) {
        Text t(32765, u'a');
        for (std::size_t i = 1; i < t.size(); i += 2)
            t[i] = u' ';
        return Text(n - 32765, u'b') + t;
    };
    Long count = 0;
    split(make(32765), &count);
    EXPECT_EQ(count, 16383);
    split(make(32766), &count);
    EXPECT_EQ(count, 16383) << "32,766 units still split whole";
    const Items cut = split(make(32767), &count);
    EXPECT_EQ(count, 16382) << "the last item is lost when the position passes 32,767";
    EXPECT_EQ(cut.size(), 16382u);
    split(make(40000), &count);
    EXPECT_EQ(count, 12766) << "items closed before position 32,768 stay";
}

TEST(ListSplitWithCount, WorksOnACopy)
{
    CString s;
    const Text tira = u"x, y";
    Long n = -1;
    Items elementos;
    s.S_Lee_Tira_1(tira, n, elementos);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(elementos, (Items{u"", u"x", u"y"}));
    EXPECT_EQ(tira, u"x, y");

    Items untouched{u"", u"keep"};
    s.S_Lee_Tira_1(u"   ", n, untouched);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(untouched, (Items{u"", u"keep"}));
}

TEST(ListSplitLateBound, ChangesTheCallersTextAndArray)
{
    std::vector<Variant> args{Text(u"a,,b"), Variant{}};
    sharedObject("CString")->invoke("S_LeeTira", InvokeKind::Method, args);
    EXPECT_EQ(args[0], Variant(Text(u"a,,b ")));
    const Array& items = args[1].toArray();
    ASSERT_EQ(items.items.size(), 4u);
    EXPECT_EQ(items.items[3], Variant(Text(u"b")));
    EXPECT_EQ(getProperty(*sharedObject("CString"), "nElementosLeidos"), Variant(Long{3}));
}

struct SpCase {
    Variant valor;
    Integer longitud;
    std::u16string_view out;
};
class ColumnLayout : public ::testing::TestWithParam<SpCase> {};
TEST_P(ColumnLayout, RightAlignsAndBlanksTheFirstCharacter)
{
    for (char16_t separator : {u'.', u','}) {
        kor2test::ScopedDecimal dec{separator};
        Text expected(GetParam().out);
        if (separator == u',')
            for (auto& c : expected)
                if (c == u'.')
                    c = u',';
        EXPECT_EQ(CString().S_Sp(GetParam().valor, GetParam().longitud), expected);
    }
}
INSTANTIATE_TEST_SUITE_P(Widths, ColumnLayout, ::testing::Values(
    SpCase{Long{7}, 3, u"  7"}, SpCase{Text(u"abc"), 5, u"  abc"}, SpCase{Text(u"12345"), 3, u" 2345"},
    SpCase{Text(u"abc"), 0, u" bc"}, SpCase{Text(u"abc"), -4, u" bc"}, SpCase{Text(u""), 0, u""},
    SpCase{Variant::null(), 5, u""}, SpCase{Variant{}, 2, u"  "}, SpCase{2.5, 5, u"  2.5"}));

} // namespace
