// Fixed-decimal formatting: the first four bytes choose Decimales and Enteros, the rest is the text
// (or, when it reads as one, the number) to format.
#include "FuzzInput.h"

#include "frame/Locale.h"
#include "frame/NumberFunctions.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace Kor2_Sys;
    if (size < 4)
        return 0;
    const auto decimals = static_cast<Integer>(data[0] | (data[1] << 8));
    const auto integers = static_cast<Integer>(data[2] | (data[3] << 8));
    const Text text = kor2fuzz::units(data + 4, size - 4);
    for (char16_t separator : {u'.', u','}) {
        locale::ScopedDecimal dec{separator};
        for (const Variant& value : {Variant(text), Variant(mfunc::ValorTexto(text))}) {
            const Text out = mfunc::FormatoFijo(value, decimals, integers);
            if (decimals >= 1 && !out.empty()) {
                const auto point = out.find(u'.');
                kor2fuzz::require(point != Text::npos);
                kor2fuzz::require(out.size() - point - 1 == static_cast<std::size_t>(std::min<Integer>(decimals, 15)));
            }
        }
    }
    return 0;
}
