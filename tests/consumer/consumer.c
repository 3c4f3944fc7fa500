/* A C host built with pkg-config only. */
#include <Kor2_Sys/Kor2_Sys.h>

#include <stdio.h>

int main(void)
{
    kor2_object* colours = NULL;
    kor2_error error = {0, NULL};
    kor2_value* word = kor2_value_text("magenta");
    kor2_value* result = NULL;
    int status = 1;
    if (kor2_shared("Kor2_Sys.CColores", &colours, &error) == 0 &&
        kor2_invoke(colours, "Col_NuVB_de_Nombre_o_inicial", KOR2_METHOD, &word, 1, &result, &error) == 0) {
        status = kor2_value_as_long(result, NULL) == 0xFF00FF ? 0 : 1;
        printf("magenta = %ld\n", (long)kor2_value_as_long(result, NULL));
    } else {
        printf("error %d: %s\n", error.number, error.description);
    }
    kor2_value_free(result);
    kor2_value_free(word);
    kor2_release(colours);
    kor2_error_clear(&error);
    return status;
}
