#ifndef KOR2_SYS_C_API_H
#define KOR2_SYS_C_API_H
/* C entry points: how hosts in languages other than C++ create library objects and call their
 * members by name or identifier. Texts cross this boundary as UTF-8; by-reference arguments are
 * updated in place. Every function is called on the host's user-interface thread. */

#include <Kor2_Sys/Kor2_SysExport.h>

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct kor2_object kor2_object; /* a library object (reference counted) */
typedef struct kor2_value kor2_value;   /* a Variant */

/** How a member is invoked. */
typedef enum kor2_invoke_kind { KOR2_METHOD = 0, KOR2_GET = 1, KOR2_PUT = 2 } kor2_invoke_kind;

/** Value types, as `kor2_value_type` reports them. */
typedef enum kor2_type {
    KOR2_EMPTY = 0, KOR2_NULL, KOR2_INTEGER, KOR2_LONG, KOR2_SINGLE, KOR2_DOUBLE, KOR2_BOOLEAN,
    KOR2_TEXT, KOR2_ARRAY, KOR2_OBJECT
} kor2_type;

/** A failed call: the error number and its description (UTF-8, owned by the error). */
typedef struct kor2_error {
    int32_t number;
    char* description;
} kor2_error;

/** Frees the description of an error and zeroes it. */
KOR2_SYS_EXPORT void kor2_error_clear(kor2_error* error);

/** Creates an instance from a programmatic identifier ("Kor2_Sys.CColores"). 0 on success. */
KOR2_SYS_EXPORT int kor2_create(const char* progid, kor2_object** object, kor2_error* error);
/** The implicit shared instance of a global class. 0 on success. */
KOR2_SYS_EXPORT int kor2_shared(const char* progid, kor2_object** object, kor2_error* error);
/** Releases an object obtained from this interface. */
KOR2_SYS_EXPORT void kor2_release(kor2_object* object);

/** Invokes a member by name. `result` receives a new value (free it) unless null. 0 on success;
 * otherwise -1 and `error` filled. */
KOR2_SYS_EXPORT int kor2_invoke(kor2_object* object, const char* member, kor2_invoke_kind kind,
                                kor2_value** args, size_t nargs, kor2_value** result, kor2_error* error);
/** Invokes a member by its identifier. */
KOR2_SYS_EXPORT int kor2_invoke_id(kor2_object* object, int32_t id, kor2_invoke_kind kind,
                                   kor2_value** args, size_t nargs, kor2_value** result, kor2_error* error);

/** Value constructors; each returns a new value to free with `kor2_value_free`. */
KOR2_SYS_EXPORT kor2_value* kor2_value_empty(void);
KOR2_SYS_EXPORT kor2_value* kor2_value_null(void);
KOR2_SYS_EXPORT kor2_value* kor2_value_integer(int16_t v);
KOR2_SYS_EXPORT kor2_value* kor2_value_long(int32_t v);
KOR2_SYS_EXPORT kor2_value* kor2_value_single(float v);
KOR2_SYS_EXPORT kor2_value* kor2_value_double(double v);
KOR2_SYS_EXPORT kor2_value* kor2_value_bool(int v);
KOR2_SYS_EXPORT kor2_value* kor2_value_text(const char* utf8);
KOR2_SYS_EXPORT void kor2_value_free(kor2_value* value);

/** Reading values. Numbers convert as the library converts them; on failure the getters return
 * 0 and fill `error` when it is not null. */
KOR2_SYS_EXPORT kor2_type kor2_value_type(const kor2_value* value);
KOR2_SYS_EXPORT int32_t kor2_value_as_long(const kor2_value* value, kor2_error* error);
KOR2_SYS_EXPORT double kor2_value_as_double(const kor2_value* value, kor2_error* error);
/** Text form as UTF-8, to free with `kor2_string_free`; null on failure. */
KOR2_SYS_EXPORT char* kor2_value_as_text(const kor2_value* value, kor2_error* error);
KOR2_SYS_EXPORT void kor2_string_free(char* text);
/** Number of items of an array value (0 for any other value) and a new copy of item `i`. */
KOR2_SYS_EXPORT size_t kor2_value_array_size(const kor2_value* value);
KOR2_SYS_EXPORT kor2_value* kor2_value_array_item(const kor2_value* value, size_t i);

/** Called for every failure that an operation's silent error trap absorbs (the operation still
 * returns normally): the error number, its description (UTF-8), the operation ("Class.Member")
 * and the `user` pointer given at installation. Both texts live only during the call. It runs
 * on the thread of the failing call. */
typedef void (*kor2_swallowed_error_fn)(int32_t number, const char* description_utf8, const char* operation,
                                        void* user);
/** Installs `fn` with `user` (NULL `fn`: none), replacing the handler installed before, also one
 * installed through the C++ `Kor2_Sys::onSwallowedError`. 0 on success; -1 when out of memory
 * (the earlier handler stays). */
KOR2_SYS_EXPORT int kor2_on_swallowed_error(kor2_swallowed_error_fn fn, void* user);

#ifdef __cplusplus
}
#endif

#endif
