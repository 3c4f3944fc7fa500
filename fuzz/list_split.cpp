// The list split: any text, any units; the item array keeps its shape and the count matches.
#include "FuzzInput.h"

#include <Kor2_Sys/CString.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace Kor2_Sys;
    const Text original = kor2fuzz::units(data, size);
    CString s;
    Text tira = original;
    std::vector<Text> items{u"stale"};
    s.S_LeeTira(tira, items);
    kor2fuzz::require(!items.empty() && items[0].empty());
    kor2fuzz::require(static_cast<std::size_t>(s.nElementosLeidos) + 1 == items.size());
    kor2fuzz::require(tira == (original.empty() ? original : original + u" "));
    std::size_t stored = 0;
    for (const Text& item : items)
        stored += item.size();
    kor2fuzz::require(stored <= original.size());

    Long count = -1;
    std::vector<Text> again;
    s.S_Lee_Tira_1(original, count, again);
    kor2fuzz::require(count == 0 ? again.empty() || again == items : again == items);
    return 0;
}
