// Uses the installed library through its public C++ headers and its C entry points.
#include <Kor2_Sys/CColores.h>
#include <Kor2_Sys/Kor2_Sys.h>
#include <Kor2_Sys/Object.h>

#include <cstdio>
#include <vector>

int main()
{
    using namespace Kor2_Sys;
    const Long index = global<CColores>().Col_NuCad_de_NuVB(0x0000C8);

    std::vector<Variant> args{Long{255}};
    const Variant name = createObject("Kor2_Sys.CColores")->invoke("Col_NombCad_de_NuVb", InvokeKind::Method, args);

    kor2_object* colours = nullptr;
    kor2_value* arg = kor2_value_integer(250);
    kor2_value* result = nullptr;
    const int ok = kor2_create("Kor2_Sys.CColores", &colours, nullptr) == 0 &&
                   kor2_invoke(colours, "Col_NumVB_de_NumCad", KOR2_METHOD, &arg, 1, &result, nullptr) == 0;
    const long colour = ok ? kor2_value_as_long(result, nullptr) : -1;
    kor2_value_free(result);
    kor2_value_free(arg);
    kor2_release(colours);

    std::printf("%d %s %06lX\n", index, name == Variant(Text(u"rojo")) ? "rojo" : "?", colour);
    return index == 12 && colour == 0x303430 ? 0 : 1;
}
