// What late binding costs over a direct C++ call, from C++ and through the C entry points, and
// what the reverse palette lookup costs.
#include <Kor2_Sys/CColores.h>
#include <Kor2_Sys/Kor2_Sys.h>
#include <Kor2_Sys/Object.h>

#include "classes/Classes.h"
#include "colour/ColourCatalogue.h"
#include "frame/Dispatch.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace Kor2_Sys;

namespace {

void ReverseLookup(benchmark::State& state)
{
    Long colour = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(colour::reverseIndex(colour));
        colour = (colour + 0x010203) & 0xFFFFFF;
    }
}
BENCHMARK(ReverseLookup);

void DirectCall(benchmark::State& state)
{
    CColores& colours = global<CColores>();
    Long colour = 0x0000C8;
    for (auto _ : state)
        benchmark::DoNotOptimize(colours.Col_NuCad_de_NuVB(colour));
}
BENCHMARK(DirectCall);

void LateBoundByName(benchmark::State& state)
{
    auto colours = sharedObject("Kor2_Sys.CColores");
    std::vector<Variant> args{Long{0x0000C8}};
    for (auto _ : state)
        benchmark::DoNotOptimize(colours->invoke("Col_NuCad_de_NuVB", InvokeKind::Method, args));
}
BENCHMARK(LateBoundByName);

void LateBoundById(benchmark::State& state)
{
    auto colours = sharedObject("Kor2_Sys.CColores");
    std::vector<Variant> args{Long{0x0000C8}};
    for (auto _ : state)
        benchmark::DoNotOptimize(colours->invoke(0x60030008, InvokeKind::Method, args));
}
BENCHMARK(LateBoundById);

// Finding a member whose name has a Latin-1 letter, spelt in another letter case than the table's:
// through the class's name index (what a call by name does) and by walking the table.
void FindLatin1NameIndexed(benchmark::State& state)
{
    const ClassInfo* registry = findClass("cRegistro");
    const dispatch::NameIndex index(registry->members);
    for (auto _ : state)
        benchmark::DoNotOptimize(index.find("R_GRABA_TAMAÑO_Y_POS_OBJ_EN_WIN", InvokeKind::Method));
}
BENCHMARK(FindLatin1NameIndexed);

void FindLatin1NameInTable(benchmark::State& state)
{
    const ClassInfo* registry = findClass("cRegistro");
    for (auto _ : state)
        benchmark::DoNotOptimize(registry->find("R_GRABA_TAMAÑO_Y_POS_OBJ_EN_WIN", InvokeKind::Method));
}
BENCHMARK(FindLatin1NameInTable);

// What a C host pays: the C entry point copies the arguments in and out and hands a new result.
class CEntryPoint {
public:
    CEntryPoint()
    {
        kor2_shared("Kor2_Sys.CColores", &m_object, nullptr);
        m_argument = kor2_value_long(0x0000C8);
    }
    ~CEntryPoint()
    {
        kor2_value_free(m_argument);
        kor2_release(m_object);
    }
    CEntryPoint(const CEntryPoint&) = delete;
    CEntryPoint& operator=(const CEntryPoint&) = delete;

    template <class Call> void run(benchmark::State& state, Call call)
    {
        if (m_object == nullptr) {
            state.SkipWithError("kor2_shared failed");
            return;
        }
        for (auto _ : state) {
            kor2_value* result = nullptr;
            if (call(m_object, &m_argument, &result) != 0) {
                state.SkipWithError("the call failed");
                break;
            }
            benchmark::DoNotOptimize(kor2_value_as_long(result, nullptr));
            kor2_value_free(result);
        }
    }

private:
    kor2_object* m_object = nullptr;
    kor2_value* m_argument = nullptr;
};

void CInvokeByName(benchmark::State& state)
{
    CEntryPoint c;
    c.run(state, [](kor2_object* object, kor2_value** args, kor2_value** result) {
        return kor2_invoke(object, "Col_NuCad_de_NuVB", KOR2_METHOD, args, 1, result, nullptr);
    });
}
BENCHMARK(CInvokeByName);

void CInvokeById(benchmark::State& state)
{
    CEntryPoint c;
    c.run(state, [](kor2_object* object, kor2_value** args, kor2_value** result) {
        return kor2_invoke_id(object, 0x60030008, KOR2_METHOD, args, 1, result, nullptr);
    });
}
BENCHMARK(CInvokeById);

} // namespace
