// The number readers: the point-only parse, the separator-tolerant reading and the strict regional
// conversion of values, on both decimal separators.
#include "FuzzInput.h"

#include <Kor2_Sys/Error.h>

#include "frame/Locale.h"
#include "frame/NumberFunctions.h"
#include "frame/NumberText.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace Kor2_Sys;
    const Text text = kor2fuzz::units(data, size);
    for (char16_t separator : {u'.', u','}) {
        locale::ScopedDecimal dec{separator};
        const Double value = mfunc::ValorTexto(text);  // silent: must never throw
        kor2fuzz::require(!std::isnan(value));
        try {
            const Double direct = numtext::parsePointOnly(text);
            kor2fuzz::require(!std::isnan(direct));
        } catch (const Error& e) {
            kor2fuzz::require(e.number() == 6);
        }
        try {
            if (const auto strict = numtext::parseRegional(text)) {
                // What reads strictly reads the same way after being written back regionally.
                const Text written = numtext::regional(*strict);
                const auto again = numtext::parseRegional(written);
                kor2fuzz::require(again.has_value());
            }
        } catch (const Error& e) {
            kor2fuzz::require(e.number() == 6);
        }
    }
    return 0;
}
