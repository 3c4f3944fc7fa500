#include <Kor2_Sys/Kor2_Sys.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

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
}

TEST(CEntryPoints, TextTravelsAsUtf8)
{
    kor2_object* raw = nullptr;
    ASSERT_EQ(kor2_shared("CColores", &raw, nullptr), 0);
    ObjectPtr colours(raw);
    Value word(kor2_value_text("  AzUl "));
    kor2_value* args[] = {word.get()};
    kor2_value* out = nullptr;
    ASSERT_EQ(kor2_invoke(colours.get(), "col_nuvb_de_nombre_o_inicial", KOR2_METHOD, args, 1, &out, nullptr), 0);
    Value result(out);
    EXPECT_EQ(kor2_value_as_long(result.get(), nullptr), 0xFF0000);
    EXPECT_EQ(text(word.get()), "  AzUl ") << "the by-reference argument is not assigned";
}

TEST(CEntryPoints, FailuresComeBackWithNumberAndSpanishDescription)
{
    auto colours = create("Kor2_Sys.CColores");
    ScopedError err;
    EXPECT_EQ(kor2_invoke(colours.get(), "NoExiste", KOR2_METHOD, nullptr, 0, nullptr, &err.error), -1);
    EXPECT_EQ(err.error.number, 438);
    EXPECT_STREQ(err.error.description, "El objeto no admite esta propiedad o método");

    kor2_object* none = nullptr;
    EXPECT_EQ(kor2_create("Kor2_Sys.Nada", &none, &err.error), -1);
    EXPECT_EQ(err.error.number, 429);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(kor2_shared("Kor2_Sys.cfrm_Color", &none, &err.error), -1);
    EXPECT_EQ(kor2_create(nullptr, &none, &err.error), -1);
    EXPECT_EQ(err.error.number, 5);
}

TEST(CEntryPoints, ConversionFailureIsReportedNotThrown)
{
    Value word(kor2_value_text("abc"));
    ScopedError err;
    EXPECT_EQ(kor2_value_as_long(word.get(), &err.error), 0);
    EXPECT_EQ(err.error.number, 13);
    Value null(kor2_value_null());
    EXPECT_EQ(kor2_value_as_text(null.get(), &err.error), nullptr);
    EXPECT_EQ(err.error.number, 94);
}

} // namespace
