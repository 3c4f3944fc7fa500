#ifndef KOR2_SYS_C_API_H
#define KOR2_SYS_C_API_H
/** \file Kor2_Sys.h
 * C entry points: how hosts in languages other than C++ create library objects and call their
 * members by name or identifier. Texts cross this boundary as UTF-8; by-reference arguments are
 * updated in place. Every function is called on the host's user-interface thread.
 *
 * Rules that hold for every function below:
 * - Arguments are checked before they are used. A null object or member name, `args` null while
 *   `nargs` is not 0, a `kind` other than KOR2_METHOD, KOR2_GET or KOR2_PUT, or more than
 *   KOR2_MAX_ARGS arguments is a failure with error 5 ("Llamada a procedimiento o argumento no
 *   válidos"); nothing is called.
 * - `kor2_error* error` is an output only, and may be null. The library writes it when a call
 *   fails and never reads, frees or keeps what it held before: a struct on the stack may hold
 *   anything. A filled error owns its description: pass it to `kor2_error_clear` before it is
 *   passed again, or the earlier description is lost (the library overwrites the struct).
 *   On success the struct is left as it was.
 * - Out-pointers (`kor2_value** result`, `kor2_object** object`) are set to NULL when a call
 *   fails, so a failed call never hands over anything to free.
 * - Everything the library hands over is freed with the matching function: objects with
 *   `kor2_release`, values with `kor2_value_free`, texts with `kor2_string_free`, errors with
 *   `kor2_error_clear`. Each of them accepts NULL. `kor2_value_free` and `kor2_string_free`
 *   overwrite a text before releasing its memory, so that a password read from `cls_Loging`
 *   leaves no copy behind once the host frees it.
 * - A host may call them from its own exit handlers (`atexit`) and static destructors, also
 *   from a handler registered before its first call: the library's own state is never destroyed
 *   before the process ends. The settings store is closed when the library is unloaded, after
 *   every exit handler. */

#include <Kor2_Sys/Kor2_SysExport.h>

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct kor2_object kor2_object; /**< a library object (reference counted) */
typedef struct kor2_value kor2_value;   /**< a Variant */

/** How a member is invoked. The last enumerator is no kind: it makes the type as wide as `int`,
 * so that any number a caller passes is a value the library can check. */
typedef enum kor2_invoke_kind {
    KOR2_METHOD = 0, KOR2_GET = 1, KOR2_PUT = 2,
    KOR2_INVOKE_KIND_WIDTH_ = -0x7FFFFFFF - 1
} kor2_invoke_kind;

/** The most arguments one call takes; more is error 5. */
#define KOR2_MAX_ARGS 1024

/** Value types, as `kor2_value_type` reports them. */
typedef enum kor2_type {
    KOR2_EMPTY = 0, KOR2_NULL, KOR2_INTEGER, KOR2_LONG, KOR2_SINGLE, KOR2_DOUBLE, KOR2_BOOLEAN,
    KOR2_TEXT, KOR2_ARRAY, KOR2_OBJECT, KOR2_BYTE
} kor2_type;

/** A failed call: the error number and its description (UTF-8, owned by the error). Start from
 * `{0, NULL}` to tell a failure of the value getters (number not 0) from a value of 0. */
typedef struct kor2_error {
    int32_t number;     /**< the error number; 0 when no call failed */
    char* description;  /**< the Spanish description, UTF-8 */
} kor2_error;

/** Frees the description of an error the library filled and zeroes the struct. Only for a
 * zeroed error or one the library filled. */
KOR2_SYS_EXPORT void kor2_error_clear(kor2_error* error);

/** Creates an instance from a programmatic identifier ("Kor2_Sys.CColores"). 0 on success;
 * otherwise -1, `*object` NULL and `error` filled. */
KOR2_SYS_EXPORT int kor2_create(const char* progid, kor2_object** object, kor2_error* error);
/** The implicit shared instance of a global class; as `kor2_create`. */
KOR2_SYS_EXPORT int kor2_shared(const char* progid, kor2_object** object, kor2_error* error);
/** Releases an object obtained from this interface (NULL: nothing). */
KOR2_SYS_EXPORT void kor2_release(kor2_object* object);

/** Invokes a member by name. `args` holds `nargs` values (a NULL entry passes an empty value that
 * receives nothing back). `result` receives a new value to free, unless `result` is null.
 * 0 on success; otherwise -1, `*result` NULL and `error` filled. */
KOR2_SYS_EXPORT int kor2_invoke(kor2_object* object, const char* member, kor2_invoke_kind kind,
                                kor2_value** args, size_t nargs, kor2_value** result, kor2_error* error);
/** Invokes a member by its identifier; as `kor2_invoke`. */
KOR2_SYS_EXPORT int kor2_invoke_id(kor2_object* object, int32_t id, kor2_invoke_kind kind,
                                   kor2_value** args, size_t nargs, kor2_value** result, kor2_error* error);

/** Value constructors; each returns a new value to free with `kor2_value_free` (NULL when out of
 * memory). A text that is not valid UTF-8 keeps its valid parts; each malformed sequence becomes
 * U+FFFD. A null `utf8` is the empty text. */
KOR2_SYS_EXPORT kor2_value* kor2_value_empty(void);
KOR2_SYS_EXPORT kor2_value* kor2_value_null(void);              /**< the null value */
KOR2_SYS_EXPORT kor2_value* kor2_value_byte(uint8_t v);         /**< a Byte */
KOR2_SYS_EXPORT kor2_value* kor2_value_integer(int16_t v);      /**< an Integer */
KOR2_SYS_EXPORT kor2_value* kor2_value_long(int32_t v);         /**< a Long */
KOR2_SYS_EXPORT kor2_value* kor2_value_single(float v);         /**< a Single */
KOR2_SYS_EXPORT kor2_value* kor2_value_double(double v);        /**< a Double */
KOR2_SYS_EXPORT kor2_value* kor2_value_bool(int v);             /**< a Boolean: true for any `v` but 0 */
KOR2_SYS_EXPORT kor2_value* kor2_value_text(const char* utf8);  /**< a text, from UTF-8 */
/** Frees a value the library handed over, overwriting a text first (NULL: nothing). */
KOR2_SYS_EXPORT void kor2_value_free(kor2_value* value);

/** Reading values. A null value reads as an empty one. Numbers convert as the library converts
 * them; on failure the getters return 0 and fill `error` when it is not null. */
KOR2_SYS_EXPORT kor2_type kor2_value_type(const kor2_value* value);
/** The value as a Long. */
KOR2_SYS_EXPORT int32_t kor2_value_as_long(const kor2_value* value, kor2_error* error);
/** The value as a Double. */
KOR2_SYS_EXPORT double kor2_value_as_double(const kor2_value* value, kor2_error* error);
/** Text form as UTF-8, to free with `kor2_string_free`; NULL on failure. */
KOR2_SYS_EXPORT char* kor2_value_as_text(const kor2_value* value, kor2_error* error);
/** Frees a text the library handed over, overwriting it first (NULL: nothing). */
KOR2_SYS_EXPORT void kor2_string_free(char* text);
/** Number of items of an array value (0 for any other value) and a new copy of item `i`; NULL
 * when `i` is not below the size. */
KOR2_SYS_EXPORT size_t kor2_value_array_size(const kor2_value* value);
KOR2_SYS_EXPORT kor2_value* kor2_value_array_item(const kor2_value* value, size_t i); /**< item `i`, a new copy */

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
