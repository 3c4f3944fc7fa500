#include <Kor2_Sys/Kor2_Sys.h>
#include <Kor2_Sys/Object.h>

#include "CountingAllocator.h"
#include "Guards.h"
#include "frame/Utf.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

using namespace Kor2_Sys;

namespace {

// RAII for the C handles, so that a failing assertion leaks nothing under the sanitizers.
struct ValueDeleter { void operator()(kor2_value* v) const { kor2_value_free(v); } };
struct ObjectDeleter { void operator()(kor2_object* o) const { kor2_release(o); } };
using Value = std::unique_ptr<kor2_value, ValueDeleter>;
using ObjectPtr = std::unique_ptr<kor2_object, ObjectDeleter>;

struct ScopedError { kor2_error error{0, nullptr}; ~ScopedError() { kor2_error_clear(&error); } };

// What a pointer the library must overwrite holds before the call.
template <class T> T* garbage() { return reinterpret_cast<T*>(std::uintptr_t{0xABABABAB}); }

std::string text(const kor2_value* value)
{
    char* utf8 = kor2_value_as_text(value, nullptr);
    std::string out = utf8 ? utf8 : "<null>";
    kor2_string_free(utf8);
    return out;
}

ObjectPtr create(const char* progid)
{
    kor2_object* raw = nullptr;
    ScopedError err;
    EXPECT_EQ(kor2_create(progid, &raw, &err.error), 0);
    return ObjectPtr(raw);
}

// One call on a library object, through the C entry points and through late binding in C++: the
// same answer (as text) or the same error number either way. Calls by identifier when `id` is set.
// A row without an answer fails with `error`.
struct CallRow { const char* label; const char* member; DispId id; int kind; std::vector<Variant> args; const char* answer; int32_t error; };
const CallRow kCalls[] = {
    {"byName", "Col_NuCad_de_NuVB", 0, KOR2_METHOD, {Long{0xC8}}, "12", 0},
    {"byIdentifier", nullptr, 0x60030003, KOR2_METHOD, {Integer{9}}, "9 Rojo mate ", 0},
    {"nameInAnyCaseAndUtf8Text", "col_nuvb_de_nombre_o_inicial", 0, KOR2_METHOD, {Text(u"  AzUl ")}, "16711680", 0},
    {"unknownMember", "NoExiste", 0, KOR2_METHOD, {}, nullptr, 438},
    {"putOnAMethod", "Col_NuCad_de_NuVB", 0, KOR2_PUT, {Long{1}}, nullptr, 438},
    {"missingArgument", "Col_NuCad_de_NuVB", 0, KOR2_METHOD, {}, nullptr, 449},
    {"extraArgument", "Col_NuCad_de_NuVB", 0, KOR2_METHOD, {Long{1}, Long{2}}, nullptr, 450},
    {"textForANumber", "Col_NuCad_de_NuVB", 0, KOR2_METHOD, {Text(u"x")}, nullptr, 13},
};

TEST(CEntryPoints, AnswerAsLateBindingDoes)
{
    auto colours = create("Kor2_Sys.CColores");
    auto lateColours = createObject("Kor2_Sys.CColores");
    for (const CallRow& c : kCalls) {
        SCOPED_TRACE(c.label);
        std::vector<Value> owned;
        std::vector<kor2_value*> args;
        for (const Variant& v : c.args) {
            owned.emplace_back(v.type() == ValueType::Text ? kor2_value_text(utf::toUtf8(v.toText()).c_str())
                               : v.type() == ValueType::Integer ? kor2_value_integer(static_cast<int16_t>(v.toLong()))
                                                                : kor2_value_long(v.toLong()));
            args.push_back(owned.back().get());
        }
        // The caller's error may hold anything: it is only written, and left alone on success.
        kor2_error err;
        std::memset(&err, 0xAB, sizeof err);
        kor2_value* raw = garbage<kor2_value>();
        const auto kind = static_cast<kor2_invoke_kind>(c.kind);
        const int status = c.member ? kor2_invoke(colours.get(), c.member, kind, args.data(), args.size(), &raw, &err)
                                    : kor2_invoke_id(colours.get(), c.id, kind, args.data(), args.size(), &raw, &err);
        Value result(status == 0 ? raw : nullptr);
        std::vector<Variant> lateArgs = c.args;
        std::string lateAnswer;  // a failed call answers nothing, which reads as empty text
        const auto late = kor2test::failureOf([&] {
            lateAnswer = utf::toUtf8((c.member ? lateColours->invoke(c.member, InvokeKind(c.kind), lateArgs)
                                               : lateColours->invoke(c.id, InvokeKind(c.kind), lateArgs)).toText());
        });
        EXPECT_EQ(status, c.answer ? 0 : -1);
        EXPECT_EQ(text(result.get()), lateAnswer);
        EXPECT_EQ(lateAnswer, c.answer ? c.answer : "");
        EXPECT_EQ(err.number, c.answer ? static_cast<int32_t>(0xABABABAB) : c.error);
        EXPECT_EQ(late ? late->number() : 0, c.error);
        if (late) {
            EXPECT_EQ(raw, nullptr);
            EXPECT_EQ(err.description, utf::toUtf8(late->description()));
            kor2_error_clear(&err);
        }
        for (std::size_t i = 0; i < args.size(); ++i)
            EXPECT_EQ(text(args[i]), utf::toUtf8(c.args[i].toText())) << "an argument the member does not assign keeps its value";
    }
}

// A usual call of scalar arguments takes nothing from the heap, once a value it handed back was freed.
TEST(CEntryPoints, AUsualCallTakesNothingFromTheHeap)
{
    const ObjectPtr colours = create("Kor2_Sys.CColores");
    const Value argument(kor2_value_long(0xC8));
    kor2_value* args[] = {argument.get()};
    kor2_value* raw = nullptr;
    ASSERT_EQ(kor2_invoke(colours.get(), "Col_NuCad_de_NuVB", KOR2_METHOD, args, 1, &raw, nullptr), 0);
    kor2_value_free(raw);
    for (const bool wanted : {false, true}) {
        const long before = kor2test::allocationsSoFar();
        ASSERT_EQ(kor2_invoke(colours.get(), "Col_NuCad_de_NuVB", KOR2_METHOD, args, 1, wanted ? &raw : nullptr, nullptr), 0);
        EXPECT_EQ(kor2test::allocationsSoFar() - before, 0);
        if (wanted) {
            EXPECT_EQ(kor2_value_as_long(raw, nullptr), 12) << "a kept cell holds the new result";
            kor2_value_free(raw);
        }
    }
}

// Every argument is checked before it is used: by name and by identifier, the call is refused
// with error 5, a NULL result and the argument untouched.
TEST(CEntryPoints, InvalidInvocationIsErrorFive)
{
    struct BadCall { const char* label; bool withObject, withMember; int kind; bool withArgs; size_t nargs; };
    const BadCall calls[] = {
        {"NullObject", false, true, KOR2_METHOD, true, 1}, {"NullObjectNullArgs", false, true, KOR2_METHOD, false, 1},
        {"NullObjectNoArgs", false, true, KOR2_GET, false, 0}, {"NullMember", true, false, KOR2_METHOD, true, 1},
        {"NullArgsWithCount", true, true, KOR2_METHOD, false, 1}, {"KindTooLarge", true, true, 99, true, 1},
        {"KindNegative", true, true, -1, true, 1}, {"KindJustPastPut", true, true, 3, true, 1},
        {"CountPastTheLimit", true, true, KOR2_METHOD, true, KOR2_MAX_ARGS + 1},
        {"CountAbsurd", true, true, KOR2_METHOD, true, SIZE_MAX}};
    for (const BadCall& c : calls)
        for (bool byName : {true, false}) {
            if (!byName && !c.withMember)
                continue;  // no member name in a call by identifier
            SCOPED_TRACE(std::string(c.label) + (byName ? " by name" : " by identifier"));
            auto colours = create("Kor2_Sys.CColores");
            Value arg(kor2_value_text("rojo"));
            kor2_value* args[] = {arg.get()};
            kor2_value* result = garbage<kor2_value>();
            ScopedError err;
            kor2_object* object = c.withObject ? colours.get() : nullptr;
            const auto kind = static_cast<kor2_invoke_kind>(c.kind);
            kor2_value** passed = c.withArgs ? args : nullptr;
            const char* member = c.withMember ? "Col_NuVB_de_Nombre_o_inicial" : nullptr;
            EXPECT_EQ(byName ? kor2_invoke(object, member, kind, passed, c.nargs, &result, &err.error)
                             : kor2_invoke_id(object, 0x60030000, kind, passed, c.nargs, &result, &err.error), -1);
            EXPECT_EQ(err.error.number, 5);
            EXPECT_STREQ(err.error.description, "Llamada a procedimiento o argumento no válidos");
            EXPECT_EQ(result, nullptr);
            EXPECT_EQ(text(arg.get()), "rojo");
        }
}

TEST(CEntryPoints, FailuresComeBackWithNumberAndSpanishDescription)
{
    struct Creation { int (*make)(const char*, kor2_object**, kor2_error*); const char* progid; int32_t number; };
    for (const Creation& c : {Creation{kor2_create, "Kor2_Sys.Nada", 429}, Creation{kor2_shared, "Kor2_Sys.cfrm_Color", 429},
                              Creation{kor2_create, nullptr, 5}, Creation{kor2_shared, nullptr, 5}}) {
        ScopedError err;
        kor2_object* none = garbage<kor2_object>();
        EXPECT_EQ(c.make(c.progid, &none, &err.error), -1);
        EXPECT_EQ(err.error.number, c.number) << (c.progid ? c.progid : "null");
        EXPECT_EQ(none, nullptr) << "a failed creation hands over nothing";
        EXPECT_EQ(c.make("Kor2_Sys.CColores", nullptr, nullptr), -1) << "nowhere to put the object";
    }
}

// The getters report a failed conversion through the error, never by throwing.
TEST(CEntryPoints, ValueGettersReportFailure)
{
    struct Conversion { kor2_value* value; int32_t numberError, textError; };
    for (const auto& c : {Conversion{kor2_value_text("abc"), 13, 0}, Conversion{kor2_value_null(), 94, 94},
                          Conversion{nullptr, 0, 0}, Conversion{kor2_value_empty(), 0, 0}}) {
        Value value(c.value);
        ScopedError asLong, asDouble, asText;
        EXPECT_EQ(kor2_value_as_long(value.get(), &asLong.error), 0);
        EXPECT_EQ(kor2_value_as_double(value.get(), &asDouble.error), 0);
        char* utf8 = kor2_value_as_text(value.get(), &asText.error);
        EXPECT_EQ(utf8 == nullptr, c.textError != 0);
        kor2_string_free(utf8);
        EXPECT_EQ(asLong.error.number, c.numberError);
        EXPECT_EQ(asDouble.error.number, c.numberError);
        EXPECT_EQ(asText.error.number, c.textError);
    }
}

TEST(CEntryPoints, MalformedUtf8BecomesReplacementCharacters)
{
    struct Case { const char* in; const char* out; };
    for (const Case& c : {Case{"\xff" "a", "\xEF\xBF\xBD" "a"}, Case{"a\xC3", "a\xEF\xBF\xBD"},
                          Case{"\xED\xA0\x80", "\xEF\xBF\xBD"}, Case{"\xC0\xAF", "\xEF\xBF\xBD"},
                          Case{"\xF4\x90\x80\x80", "\xEF\xBF\xBD"}, Case{"\xF1\x90\x80\x80", "\xF1\x90\x80\x80"}}) {
        Value value(kor2_value_text(c.in));
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(kor2_value_type(value.get()), KOR2_TEXT);
        EXPECT_EQ(text(value.get()), c.out) << "from " << c.in;
    }
    Value none(kor2_value_text(nullptr));
    EXPECT_EQ(text(none.get()), "");
}

// The UTF-8 of a text is sized before it is written: a buffer that grew would be released holding
// the text's beginning, and the text may be a password.
TEST(Utf8, IsWrittenIntoOneBufferOfItsSize)
{
    for (char16_t unit : {u'\x7F', u'\x80', u'\u07FF', u'\u0800', u'\uFFFF'}) {
        const std::string utf8 = utf::toUtf8(Text(40, unit));
        EXPECT_EQ(utf::fromUtf8(utf8), Text(40, unit));
        EXPECT_LE(utf8.capacity(), utf8.size() + 15) << std::hex << int(unit);
    }
}

TEST(CEntryPoints, ArrayItemsInRangeOnlyAndNullHandles)
{
    kor2_object* raw = nullptr;
    ASSERT_EQ(kor2_shared("Kor2_Sys.CString", &raw, nullptr), 0);
    ObjectPtr strings(raw);
    Value list(kor2_value_text("uno dos tres"));
    Value items(kor2_value_empty());
    kor2_value* args[] = {list.get(), items.get()};
    ASSERT_EQ(kor2_invoke(strings.get(), "S_LeeTira", KOR2_METHOD, args, 2, nullptr, nullptr), 0);
    ASSERT_EQ(kor2_value_type(items.get()), KOR2_ARRAY);
    const size_t size = kor2_value_array_size(items.get());
    ASSERT_GT(size, 0u);
    Value first(kor2_value_array_item(items.get(), 1));
    EXPECT_EQ(text(first.get()), "uno") << "the list's items start at 1";
    for (size_t outside : {size, size + 1, SIZE_MAX})
        EXPECT_EQ(kor2_value_array_item(items.get(), outside), nullptr) << outside;
    EXPECT_EQ(kor2_value_array_item(list.get(), 0), nullptr) << "not an array";
    EXPECT_EQ(kor2_value_array_item(nullptr, 0), nullptr);
    EXPECT_EQ(kor2_value_array_size(nullptr), 0u);
    // Releasing nothing is harmless.
    kor2_release(nullptr);
    kor2_value_free(nullptr);
    kor2_string_free(nullptr);
    kor2_error_clear(nullptr);
    EXPECT_EQ(kor2_value_type(nullptr), KOR2_EMPTY);
}

} // namespace
