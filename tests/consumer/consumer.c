/* A C host built with pkg-config only. */
#include <Kor2_Sys/Kor2_Sys.h>

#include <stdio.h>
#include <string.h>

/* Counts what the library's silent traps absorb, as a host that logs them would. */
static void absorbed(int32_t number, const char* description, const char* operation, void* user)
{
    (void)description;
    if (number == 94 && strcmp(operation, "CString.S_Sp") == 0)
        ++*(int*)user;
}

int main(void)
{
    kor2_object* colours = NULL;
    kor2_object* strings = NULL;
    kor2_error error = {0, NULL};
    kor2_value* word = kor2_value_text("magenta");
    kor2_value* result = NULL;
    kor2_value* spaced[2] = {kor2_value_null(), kor2_value_integer(3)};
    int heard = 0;
    int status = 1;
    kor2_on_swallowed_error(absorbed, &heard);
    if (kor2_shared("Kor2_Sys.CColores", &colours, &error) == 0 &&
        kor2_invoke(colours, "Col_NuVB_de_Nombre_o_inicial", KOR2_METHOD, &word, 1, &result, &error) == 0) {
        status = kor2_value_as_long(result, NULL) == 0xFF00FF ? 0 : 1;
        printf("magenta = %ld\n", (long)kor2_value_as_long(result, NULL));
    } else {
        printf("error %d: %s\n", error.number, error.description);
    }
    kor2_value_free(result);
    result = NULL;
    /* A null has no text form: the call returns normally and the handler hears of it. */
    if (kor2_shared("Kor2_Sys.CString", &strings, NULL) != 0 ||
        kor2_invoke(strings, "S_Sp", KOR2_METHOD, spaced, 2, &result, NULL) != 0 || heard != 1) {
        printf("absorbed failure not heard (%d)\n", heard);
        status = 1;
    }
    kor2_on_swallowed_error(NULL, NULL);
    kor2_value_free(result);
    kor2_value_free(spaced[0]);
    kor2_value_free(spaced[1]);
    kor2_value_free(word);
    kor2_release(strings);
    kor2_release(colours);
    kor2_error_clear(&error);
    return status;
}
