#include "com/ScriptedWindows.h"

#include <Kor2_Sys/Error.h>

#include "frame/Utf.h"
#include "platform/WindowSystem.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "script/ScriptJson.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace Kor2_Sys::com {

using script::parseJson;
using script::scriptsFromJson;
using script::WindowScript;

namespace {

using platform::HeadlessWindowSystem;

// Names a file of window scripts (the JSON array `kor2 --actions` reads).
constexpr const wchar_t* kActionsVariable = L"KOR2_ACTIONS";

std::wstring environmentValue(const wchar_t* name)
{
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    const DWORD written = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(written);
    return value;
}

Error scriptError(const std::string& why)
{
    return errors::deviceUnavailable(u"guiones de ventanas de KOR2_ACTIONS: " + utf::fromUtf8(why));
}

std::vector<WindowScript> scriptsFrom(const std::wstring& file)
{
    std::ifstream in(file.c_str(), std::ios::binary);
    if (!in)
        throw scriptError("no se puede leer el archivo");
    std::ostringstream content;
    content << in.rdbuf();
    try {
        return scriptsFromJson(parseJson(content.str()));
    } catch (const std::invalid_argument& e) {
        throw scriptError(e.what());
    }
}

std::shared_ptr<platform::WindowSystem> scriptedWindows()
{
    return std::make_shared<HeadlessWindowSystem>(scriptsFrom(environmentValue(kActionsVariable)));
}

} // namespace

void chooseWindowSystem()
{
    if (!environmentValue(kActionsVariable).empty())
        platform::setWindowSystemLoader(&scriptedWindows);
}

} // namespace Kor2_Sys::com
