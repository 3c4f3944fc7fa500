#include "com/ScriptedWindows.h"

#include "platform/WindowSystem.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "script/ScriptJson.h"
#include "settings/Store.h"

#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace Kor2_Sys::com {
namespace {

using script::WindowScript;

std::vector<WindowScript> scriptsFrom(const wchar_t* file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::invalid_argument("no se puede leer el archivo");
    std::ostringstream content;
    content << in.rdbuf();
    return script::scriptsFromJson(script::parseJson(content.str()));
}

} // namespace

HRESULT useTestMode(const wchar_t* windowScripts, const wchar_t* store)
{
    const bool memoryStore = store != nullptr && std::wstring_view(store) == L":memory:";
    if (store != nullptr && !memoryStore)
        return E_INVALIDARG;
    try {
        if (windowScripts != nullptr)
            platform::installWindowSystem(
                std::make_shared<platform::HeadlessWindowSystem>(scriptsFrom(windowScripts)));
        if (memoryStore)
            settings::installStore(settings::openMemory());
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_INVALIDARG;
    }
}

} // namespace Kor2_Sys::com
