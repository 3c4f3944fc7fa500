#include "frame/Trap.h"

#include "frame/Utf.h"
#include "platform/WindowSystem.h"

#include <cstdio>
#include <string>

namespace Kor2_Sys::trap {

Text reportText(const Error& error, std::u16string_view tag)
{
    const std::string number = std::to_string(error.number());
    return u"ERROR en Kor_Sys.DLL Nº" + Text(number.begin(), number.end()) + u"\r\n " + error.description() + Text(tag);
}

void showReport(const Text& text)
{
    try {
        platform::windowSystem().messageBox({text, platform::MessageButtons::Ok, platform::MessageIcon::None, std::nullopt});
    } catch (const Error& unavailable) {
        std::fprintf(stderr, "%s\n(%s)\n", utf::toUtf8(text).c_str(), unavailable.what());
    }
}

} // namespace Kor2_Sys::trap
