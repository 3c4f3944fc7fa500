// The point-only parse against std::from_chars on the same megabyte of number texts, and the list
// split on list texts of growing length (its time must grow linearly).
#include <Kor2_Sys/CString.h>

#include "frame/NumberText.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <random>
#include <string>
#include <vector>

using namespace Kor2_Sys;

namespace {

struct NumberTexts {
    std::vector<std::string> ascii;
    std::vector<Text> units;
    std::size_t bytes = 0;
};

// About 1 MB of numbers as a drawing file holds them: coordinates with decimals, some exponents.
const NumberTexts& numberTexts()
{
    static const NumberTexts texts = [] {
        NumberTexts t;
        std::mt19937 random(42);
        std::uniform_real_distribution<double> coordinate(-1e6, 1e6);
        char buffer[64];
        while (t.bytes < (1u << 20)) {
            const double value = coordinate(random);
            const bool exponent = random() % 8 == 0;
            const int n = std::snprintf(buffer, sizeof buffer, exponent ? "%.6e" : "%.4f", value);
            t.ascii.emplace_back(buffer, static_cast<std::size_t>(n));
            t.units.emplace_back(t.ascii.back().begin(), t.ascii.back().end());
            t.bytes += static_cast<std::size_t>(n);
        }
        return t;
    }();
    return texts;
}

void PointOnlyParse(benchmark::State& state)
{
    const auto& texts = numberTexts();
    for (auto _ : state)
        for (const Text& text : texts.units)
            benchmark::DoNotOptimize(numtext::parsePointOnly(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * texts.bytes));
}
BENCHMARK(PointOnlyParse)->Unit(benchmark::kMillisecond);

void FromChars(benchmark::State& state)
{
    const auto& texts = numberTexts();
    for (auto _ : state)
        for (const std::string& text : texts.ascii) {
            double value = 0;
            std::from_chars(text.data(), text.data() + text.size(), value);
            benchmark::DoNotOptimize(value);
        }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * texts.bytes));
}
BENCHMARK(FromChars)->Unit(benchmark::kMillisecond);

// A list text of `length` units: words, numbers, quoted items and runs of commas.
Text listText(std::size_t length)
{
    static const std::u16string_view pieces[] = {u"punto", u" ", u"12.5", u", ", u"\"dos palabras\"", u" ", u"x", u",,", u"-3", u"  "};
    Text text;
    for (std::size_t i = 0; text.size() < length; ++i)
        text += pieces[i % std::size(pieces)];
    text.resize(length);
    return text;
}

void ListSplit(benchmark::State& state)
{
    const Text text = listText(static_cast<std::size_t>(state.range(0)));
    CString s;
    std::vector<Text> items;
    for (auto _ : state) {
        Text tira = text;
        s.S_LeeTira(tira, items);
        benchmark::DoNotOptimize(items.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * 2));
    state.counters["items"] = static_cast<double>(s.nElementosLeidos);
}
// 1 KB, 8 KB and 32,000 units: the longest list text the 16-bit positions take whole.
BENCHMARK(ListSplit)->Arg(1024)->Arg(8192)->Arg(32000)->Unit(benchmark::kMicrosecond);

} // namespace
