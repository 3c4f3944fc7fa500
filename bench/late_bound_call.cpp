// The cost of a late-bound call through the component binding against the same call through the
// C++ API, in one process: Col_NuCad_de_NuVB(200) by IDispatch::Invoke (identifier looked up once,
// as hosts cache it), by the library's own late-bound call and by CColores directly. A plain timed loop: this program runs under Wine,
// where the benchmark library is not built. Needs the binding registered.
//   late_bound_call [CALLS]

#include <Kor2_Sys/CColores.h>
#include <Kor2_Sys/Object.h>

#include <windows.h>
#include <oleauto.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

template <typename Call>
double nanosecondsPerCall(long calls, Call call)
{
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < calls; ++i)
        call();
    const std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / static_cast<double>(calls);
}

} // namespace

int main(int argc, char** argv)
{
    const long calls = argc > 1 ? std::atol(argv[1]) : 200000;
    if (calls <= 0 || FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 2;
    CLSID clsid;
    IDispatch* colours = nullptr;
    if (FAILED(CLSIDFromProgID(L"Kor2_Sys.CColores", &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&colours)))) {
        std::printf("Kor2_Sys.CColores no está registrada\n");
        return 1;
    }
    LPOLESTR name[] = {const_cast<LPOLESTR>(L"Col_NuCad_de_NuVB")};
    DISPID id = 0;
    if (FAILED(colours->GetIDsOfNames(IID_NULL, name, 1, LOCALE_USER_DEFAULT, &id)))
        return 1;

    long seen = 0;
    const double late = nanosecondsPerCall(calls, [&] {
        VARIANT arg, result;
        VariantInit(&arg);
        VariantInit(&result);
        arg.vt = VT_I4;
        arg.lVal = 200;
        DISPPARAMS params{&arg, nullptr, 1, 0};
        colours->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
        seen += result.lVal;
        VariantClear(&result);
    });
    const std::shared_ptr<Kor2_Sys::Object> object = Kor2_Sys::createObject("CColores");
    const double lateCpp = nanosecondsPerCall(calls, [&] {
        Kor2_Sys::Variant arg(Kor2_Sys::Long{200});
        seen += object->invoke("Col_NuCad_de_NuVB", Kor2_Sys::InvokeKind::Method, std::span(&arg, 1)).toLong();
    });
    Kor2_Sys::CColores direct;
    const double early = nanosecondsPerCall(calls, [&] {
        Kor2_Sys::Long colour = 200;
        seen += direct.Col_NuCad_de_NuVB(colour);
    });
    colours->Release();
    CoUninitialize();
    if (seen != 3 * 12 * calls) {
        std::printf("resultado inesperado\n");
        return 1;
    }
    std::printf("Col_NuCad_de_NuVB(200), %ld llamadas\n", calls);
    std::printf("  IDispatch::Invoke  %10.1f ns/llamada\n", late);
    std::printf("  C++ por nombre     %10.1f ns/llamada\n", lateCpp);
    std::printf("  API de C++         %10.1f ns/llamada\n", early);
    std::printf("  proporción         %10.1f (IDispatch::Invoke / C++ por nombre)\n", late / lateCpp);
    return 0;
}
