#include <Kor2_Sys/Kor2_Sys.h>
#include <Kor2_Sys/Object.h>

#include "classes/ValueCells.h"
#include "frame/ArgumentValues.h"
#include "frame/Errors.h"
#include "frame/Utf.h"
#include "frame/Wipe.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

using namespace Kor2_Sys;

struct kor2_object {
    std::shared_ptr<Object> object;
};

struct kor2_value {
    Variant value;
};

namespace {

char* duplicate(const std::string& text)
{
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy != nullptr)
        std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

// The caller's struct may hold anything (an uninitialised local): it is only written.
void fill(kor2_error* error, const Error& e) noexcept
{
    if (error == nullptr)
        return;
    error->number = e.number();
    error->description = nullptr;
    try {
        error->description = duplicate(utf::toUtf8(e.description()));
    } catch (const std::bad_alloc&) {
        // The number alone still tells the failure.
    }
}

// Failures that are not the library's own (a standard-library exception from deep inside) still
// must not cross into C, where they would end the host.
Error internalError()
{
    return {51, u"Error interno"};
}

// Runs `fn` and turns a library error into the C failure convention.
template <class F> int guarded(kor2_error* error, F&& fn) noexcept
{
    try {
        fn();
        return 0;
    } catch (const Error& e) {
        fill(error, e);
    } catch (const std::bad_alloc&) {
        fill(error, errors::outOfMemory());
    } catch (const std::length_error&) {
        fill(error, errors::outOfMemory());
    } catch (const std::exception&) {
        fill(error, internalError());
    }
    return -1;
}

template <class Out> void clearOut(Out** out) noexcept
{
    if (out != nullptr)
        *out = nullptr;
}

// Every argument of an invocation is checked before any of it is read.
void checkInvocation(const kor2_object* object, kor2_invoke_kind kind, kor2_value* const* args, size_t nargs)
{
    const bool knownKind = kind == KOR2_METHOD || kind == KOR2_GET || kind == KOR2_PUT;
    if (object == nullptr || !object->object || !knownKind || nargs > KOR2_MAX_ARGS || (nargs > 0 && args == nullptr))
        throw errors::invalidCall();
}

using Cells = capi::ValueCells<sizeof(kor2_value)>;

// A new value for the host, in a kept cell when there is one; null when out of memory.
kor2_value* make(Variant&& v) noexcept
{
    void* cell = Cells::take();
    return cell != nullptr ? new (cell) kor2_value{std::move(v)} : nullptr;
}

template <class F>
int invokeWith(kor2_object* object, kor2_invoke_kind kind, kor2_value** args, size_t nargs, kor2_value** result,
               kor2_error* error, F&& call)
{
    clearOut(result);
    return guarded(error, [&] {
        checkInvocation(object, kind, args, nargs);
        ArgumentValues copies(nargs);
        for (size_t i = 0; i < nargs; ++i)
            copies.push(args[i] ? args[i]->value : Variant{});
        const std::span<Variant> values = copies.values();
        Variant answer = call(*object->object, static_cast<InvokeKind>(kind), values);
        // Made before any argument changes, so that running out of memory leaves the host's as they were.
        kor2_value* out = result != nullptr ? make(std::move(answer)) : nullptr;
        if (result != nullptr && out == nullptr)
            throw std::bad_alloc();
        // The host's former text goes back to the allocator here: it may be a password.
        for (size_t i = 0; i < nargs; ++i) {
            if (args[i]) {
                wipe::secretsIn(args[i]->value);
                args[i]->value = std::move(values[i]);
            }
        }
        if (result != nullptr)
            *result = out;
    });
}

template <class F> int makeObject(const char* progid, kor2_object** object, kor2_error* error, F&& find)
{
    clearOut(object);
    return guarded(error, [&] {
        if (progid == nullptr || object == nullptr)
            throw errors::invalidCall();
        *object = new kor2_object{find(progid)};
    });
}

} // namespace

extern "C" {

void kor2_error_clear(kor2_error* error)
{
    if (error == nullptr)
        return;
    std::free(error->description);
    error->description = nullptr;
    error->number = 0;
}

int kor2_create(const char* progid, kor2_object** object, kor2_error* error)
{
    return makeObject(progid, object, error, [](const char* id) { return createObject(id); });
}

int kor2_shared(const char* progid, kor2_object** object, kor2_error* error)
{
    return makeObject(progid, object, error, [](const char* id) { return sharedObject(id); });
}

void kor2_release(kor2_object* object)
{
    delete object;
}

int kor2_invoke(kor2_object* object, const char* member, kor2_invoke_kind kind, kor2_value** args, size_t nargs,
                kor2_value** result, kor2_error* error)
{
    return invokeWith(object, kind, args, nargs, result, error, [&](Object& target, InvokeKind how, std::span<Variant> values) {
        if (member == nullptr)
            throw errors::invalidCall();
        return target.invoke(std::string_view(member), how, values);
    });
}

int kor2_invoke_id(kor2_object* object, int32_t id, kor2_invoke_kind kind, kor2_value** args, size_t nargs,
                   kor2_value** result, kor2_error* error)
{
    return invokeWith(object, kind, args, nargs, result, error,
                      [&](Object& target, InvokeKind how, std::span<Variant> values) { return target.invoke(id, how, values); });
}

kor2_value* kor2_value_empty(void) { return make(Variant{}); }
kor2_value* kor2_value_null(void) { return make(Variant::null()); }
kor2_value* kor2_value_byte(uint8_t v) { return make(Variant(v)); }
kor2_value* kor2_value_integer(int16_t v) { return make(Variant(v)); }
kor2_value* kor2_value_long(int32_t v) { return make(Variant(v)); }
kor2_value* kor2_value_single(float v) { return make(Variant(v)); }
kor2_value* kor2_value_double(double v) { return make(Variant(v)); }
kor2_value* kor2_value_bool(int v) { return make(Variant(v != 0)); }

kor2_value* kor2_value_text(const char* utf8)
{
    try {
        return make(Variant(utf::fromUtf8(utf8 ? utf8 : "")));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// A text handed to a host may be a password: it is overwritten before its memory is released.
void kor2_value_free(kor2_value* value)
{
    if (value == nullptr)
        return;
    wipe::secretsIn(value->value);
    value->~kor2_value();
    Cells::give(value);
}

kor2_type kor2_value_type(const kor2_value* value)
{
    return value ? static_cast<kor2_type>(value->value.type()) : KOR2_EMPTY;
}

int32_t kor2_value_as_long(const kor2_value* value, kor2_error* error)
{
    // The usual result of a call needs no conversion, and so no error trap.
    if (const auto* held = value != nullptr ? std::get_if<Long>(&value->value.storage()) : nullptr)
        return *held;
    int32_t out = 0;
    guarded(error, [&] { out = value ? value->value.toLong() : 0; });
    return out;
}

double kor2_value_as_double(const kor2_value* value, kor2_error* error)
{
    double out = 0;
    guarded(error, [&] { out = value ? value->value.toDouble() : 0; });
    return out;
}

char* kor2_value_as_text(const kor2_value* value, kor2_error* error)
{
    char* out = nullptr;
    guarded(error, [&] {
        Text text = value ? value->value.toText() : Text();
        std::string utf8 = utf::toUtf8(text);
        out = duplicate(utf8);
        wipe::text(text);
        wipe::text(utf8);
        if (out == nullptr)
            throw std::bad_alloc();
    });
    return out;
}

void kor2_string_free(char* text)
{
    if (text != nullptr)
        wipe::bytes(text, std::strlen(text));
    std::free(text);
}

size_t kor2_value_array_size(const kor2_value* value)
{
    if (value == nullptr || value->value.type() != ValueType::Array)
        return 0;
    return value->value.toArray().items.size();
}

kor2_value* kor2_value_array_item(const kor2_value* value, size_t i)
{
    if (i >= kor2_value_array_size(value))
        return nullptr;
    try {
        return make(Variant(value->value.toArray().items[i]));
    } catch (const std::bad_alloc&) {
        return nullptr;  // copying a text or an array item
    }
}

} // extern "C"
