#include <Kor2_Sys/Kor2_Sys.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace {

// RAII for the C handles, so that a failing assertion leaks nothing under the sanitizers.
struct ValueDeleter { void operator()(kor2_value* v) const { kor2_value_free(v); } };
struct ObjectDeleter { void operator()(kor2_object* o) const { kor2_release(o); } };
using Value = std::unique_ptr<kor2_value, ValueDeleter>;
using ObjectPtr = std::unique_ptr<kor2_object, ObjectDeleter>;

struct ScopedError {
    kor2_error error{0, nullptr};
    ~ScopedError() { kor2_error_clear(&error); }
};

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

TEST(CEntryPoints, CallByNameAndByIdentifier)
{
    auto colours = create("Kor2_Sys.CColores");
    Value arg(kor2_value_long(0x0000C8));
    kor2_value* args[] = {arg.get()};
    kor2_value* raw = nullptr;
    ScopedError err;
    ASSERT_EQ(kor2_invoke(colours.get(), "Col_NuCad_de_NuVB", KOR2_METHOD, args, 1, &raw, &err.error), 0);
    Value result(raw);
    EXPECT_EQ(kor2_value_type(result.get()), KOR2_LONG);
    EXPECT_EQ(kor2_value_as_long(result.get(), nullptr), 12);

    Value index(kor2_value_integer(9));
    kor2_value* byId[] = {index.get()};
    ASSERT_EQ(kor2_invoke_id(colours.get(), 0x60030003, KOR2_METHOD, byId, 1, &raw, &err.error), 0);
    Value label(raw);
    EXPECT_EQ(text(label.get()), "9 Rojo mate ");
    EXPECT_EQ(err.error.number, 0) << "success leaves the error alone";

    // Text travels as UTF-8, names in any case, on the shared object; a by-reference argument
    // the member does not assign keeps its value.
    kor2_object* shared = nullptr;
    ASSERT_EQ(kor2_shared("CColores", &shared, nullptr), 0);
    ObjectPtr sharedColours(shared);
    Value word(kor2_value_text("  AzUl "));
    kor2_value* named[] = {word.get()};
    ASSERT_EQ(kor2_invoke(sharedColours.get(), "col_nuvb_de_nombre_o_inicial", KOR2_METHOD, named, 1, &raw, nullptr), 0);
    Value blue(raw);
    EXPECT_EQ(kor2_value_as_long(blue.get(), nullptr), 0xFF0000);
    EXPECT_EQ(text(word.get()), "  AzUl ");
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
    struct Creation {
        int (*make)(const char*, kor2_object**, kor2_error*);
        const char* progid;
        int32_t number;
    };
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

TEST(CEntryPoints, ErrorOnTheCallersStackIsOnlyWritten)
{
    auto colours = create("Kor2_Sys.CColores");
    Value word(kor2_value_text("abc"));
    kor2_object* none = nullptr;
    const std::pair<std::function<void(kor2_error*)>, int32_t> calls[] = {
        {[&](kor2_error* e) { EXPECT_EQ(kor2_invoke(colours.get(), "NoExiste", KOR2_METHOD, nullptr, 0, nullptr, e), -1); }, 438},
        {[&](kor2_error* e) { EXPECT_EQ(kor2_create("Kor2_Sys.Nada", &none, e), -1); }, 429},
        {[&](kor2_error* e) { EXPECT_EQ(kor2_value_as_long(word.get(), e), 0); }, 13}};
    for (const auto& [call, number] : calls) {
        kor2_error err;
        std::memset(&err, 0xAB, sizeof err);
        call(&err);
        EXPECT_EQ(err.number, number);
        if (number == 438) {
            EXPECT_STREQ(err.description, "El objeto no admite esta propiedad o método");
        }
        kor2_error_clear(&err);
        EXPECT_EQ(err.number, 0);
        EXPECT_EQ(err.description, nullptr);
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
    struct Case {
        const char* in;
        const char* out;
    };
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
