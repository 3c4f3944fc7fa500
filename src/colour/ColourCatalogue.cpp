#include "colour/ColourCatalogue.h"

#include "frame/Blanks.h"
#include "frame/Latin1.h"

#include <string>

namespace Kor2_Sys::colour {
namespace {

Text digitsOf(Long number)
{
    const std::string digits = std::to_string(number);
    return Text(digits.begin(), digits.end());
}

} // namespace

Long colourOfWord(std::u16string_view word)
{
    word = blanks::trim(word);
    Text key;
    key.reserve(word.size());
    for (char16_t c : word)
        key += latin1::toUpper(c);
    for (const NamedColour& named : kColourWords)
        for (std::u16string_view candidate : named.words)
            if (!candidate.empty() && candidate == key)
                return named.colour;
    return kWhite;
}

Text nameOfColour(Long colour)
{
    for (const ColourName& named : kColourNames)
        if (named.colour == colour)
            return Text(named.name);
    return digitsOf(reverseIndex(colour));
}

Text nameOfIndex(Long index)
{
    if (index >= 0 && index <= 9)
        return Text(kIndexNames[static_cast<std::size_t>(index)]);
    // The digits alone: a negative index loses its sign, as the number's sign position is dropped.
    const Text digits = digitsOf(index);
    return index < 0 ? digits.substr(1) : digits;
}

} // namespace Kor2_Sys::colour
