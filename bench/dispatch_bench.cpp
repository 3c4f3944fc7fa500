// What late binding costs over a direct C++ call, and what the reverse palette lookup costs.
#include <Kor2_Sys/CColores.h>
#include <Kor2_Sys/Object.h>

#include "colour/ColourCatalogue.h"

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

} // namespace
