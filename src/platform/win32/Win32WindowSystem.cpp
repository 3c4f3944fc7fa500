#include "platform/win32/Win32WindowSystem.h"

#include "frame/Errors.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Text.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdint>
#include <memory>
#include <utility>

namespace Kor2_Sys::platform::win32 {
namespace {

// The library window most recently shown without modality: the file chooser's, which owns the
// common dialog it runs.
HWND& recentModeless()
{
    thread_local HWND window = nullptr;
    return window;
}

// The clipboard takes data only from an owner window: a message-only window of the thread.
HWND clipboardOwner()
{
    thread_local HWND owner = CreateWindowExW(0, L"STATIC", L"Kor2_Sys", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    return owner;
}

// A bitmap made for a drawing context; it is deleted with this object unless the clipboard took it.
class GdiBitmap final : public Bitmap {
public:
    GdiBitmap(HBITMAP bitmap, Long width, Long height) : m_bitmap(bitmap), m_width(width), m_height(height) {}
    ~GdiBitmap() override
    {
        if (m_bitmap != nullptr)
            DeleteObject(m_bitmap);
    }
    GdiBitmap(const GdiBitmap&) = delete;
    GdiBitmap& operator=(const GdiBitmap&) = delete;

    Long width() const override { return m_width; }
    Long height() const override { return m_height; }
    HBITMAP handle() const noexcept { return m_bitmap; }
    HBITMAP release() noexcept { return std::exchange(m_bitmap, nullptr); }

private:
    HBITMAP m_bitmap;
    Long m_width, m_height;
};

class GdiMemoryDrawing final : public MemoryDrawing {
public:
    GdiMemoryDrawing(HDC source, HDC memory) : m_source(source), m_memory(memory) {}
    ~GdiMemoryDrawing() override { DeleteDC(m_memory); }
    GdiMemoryDrawing(const GdiMemoryDrawing&) = delete;
    GdiMemoryDrawing& operator=(const GdiMemoryDrawing&) = delete;

    std::unique_ptr<Bitmap> createBitmap(Long width, Long height) override
    {
        if (width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxBitmapPixels)
            return nullptr;
        // Compatible with the source, not with the memory context, which starts monochrome.
        HBITMAP bitmap = CreateCompatibleBitmap(m_source, width, height);
        if (bitmap == nullptr)
            return nullptr;
        return std::make_unique<GdiBitmap>(bitmap, width, height);
    }

    void copySource(Bitmap& bitmap) override
    {
        auto& gdi = static_cast<GdiBitmap&>(bitmap);
        HGDIOBJ previous = SelectObject(m_memory, gdi.handle());
        BitBlt(m_memory, 0, 0, gdi.width(), gdi.height(), m_source, 0, 0, SRCCOPY);
        SelectObject(m_memory, previous);
    }

private:
    HDC m_source;
    HDC m_memory;
};

UINT systemDpi()
{
    return GetDpiForSystem();
}

double twipsOf(LONG pixels)
{
    return pixels * twipsPerPixelAt(systemDpi());
}

// A platform callback: on 32-bit Windows it must be CALLBACK, which no lambda converts to.
BOOL CALLBACK addScreen(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info))
        return TRUE;
    auto& list = *reinterpret_cast<std::vector<ScreenArea>*>(data);
    const RECT& work = info.rcWork;
    const ScreenArea area{twipsOf(work.left), twipsOf(work.top), twipsOf(work.right - work.left),
                          twipsOf(work.bottom - work.top)};
    // The primary screen first.
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        list.insert(list.begin(), area);
    else
        list.push_back(area);
    return TRUE;
}

} // namespace

std::wstring commonDialogFilter(const Text& filter)
{
    std::wstring result;
    std::size_t start = 0;
    std::vector<std::wstring> parts;
    const std::wstring text = wide(filter);
    while (start <= text.size()) {
        const std::size_t bar = text.find(L'|', start);
        parts.push_back(text.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start));
        if (bar == std::wstring::npos)
            break;
        start = bar + 1;
    }
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        result += parts[i];
        result += L'\0';
        result += parts[i + 1];
        result += L'\0';
    }
    result += L'\0';
    return result;
}

HWND Win32WindowSystem::owner()
{
    HWND active = GetActiveWindow();
    return active && IsWindowVisible(active) ? active : nullptr;
}

void Win32WindowSystem::showModal(Form& form)
{
    FormWindow window(form, owner());
    window.runModal();
}

void Win32WindowSystem::showModeless(Form& form)
{
    // The window owns itself from here: it goes when the model hides or unloads it.
    auto* window = new FormWindow(form, owner());
    window->showModeless();
    recentModeless() = window->handle();
}

MessageAnswer Win32WindowSystem::messageBox(const MessageBoxRequest& request)
{
    UINT type = request.buttons == MessageButtons::OkCancel ? MB_OKCANCEL | MB_DEFBUTTON1 : MB_OK;
    switch (request.icon) {
    case MessageIcon::None: break;
    case MessageIcon::Information: type |= MB_ICONINFORMATION; break;
    case MessageIcon::Warning: type |= MB_ICONWARNING; break;
    case MessageIcon::Stop: type |= MB_ICONSTOP; break;
    }
    HWND parent = owner();
    const int answer = MessageBoxW(parent, wide(request.text).c_str(),
                                   wide(request.title.value_or(applicationTitle())).c_str(),
                                   type | (parent ? MB_APPLMODAL : MB_TASKMODAL) | MB_SETFOREGROUND);
    if (answer == 0)
        throw errors::deviceUnavailable(u"no se puede mostrar el mensaje");
    return answer == IDCANCEL ? MessageAnswer::Cancel : MessageAnswer::Ok;
}

void Win32WindowSystem::beep()
{
    MessageBeep(MB_OK);
}

void Win32WindowSystem::doEvents()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // the host's own loop must see it
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

double Win32WindowSystem::twipsPerPixelX() const
{
    return twipsPerPixelAt(systemDpi());
}

double Win32WindowSystem::twipsPerPixelY() const
{
    return twipsPerPixelAt(systemDpi());
}

Long Win32WindowSystem::screenWidth() const
{
    return static_cast<Long>(twipsOf(GetSystemMetrics(SM_CXSCREEN)));
}

Long Win32WindowSystem::screenHeight() const
{
    return static_cast<Long>(twipsOf(GetSystemMetrics(SM_CYSCREEN)));
}

std::vector<ScreenArea> Win32WindowSystem::screens() const
{
    std::vector<ScreenArea> areas;
    EnumDisplayMonitors(nullptr, nullptr, &addScreen, reinterpret_cast<LPARAM>(&areas));
    if (areas.empty())
        return WindowSystem::screens();
    return areas;
}

void Win32WindowSystem::clipboardClear()
{
    if (!OpenClipboard(clipboardOwner()))
        throw errors::deviceUnavailable(u"el portapapeles está ocupado");
    EmptyClipboard();
    CloseClipboard();
}

void Win32WindowSystem::clipboardSetText(const Text& text)
{
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr)
        throw errors::outOfMemory();
    auto* target = static_cast<wchar_t*>(GlobalLock(memory));
    std::copy(text.begin(), text.end(), target);
    target[text.size()] = L'\0';
    GlobalUnlock(memory);
    if (!OpenClipboard(clipboardOwner())) {
        GlobalFree(memory);
        throw errors::deviceUnavailable(u"el portapapeles está ocupado");
    }
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr)
        GlobalFree(memory);  // the clipboard took nothing: the memory is still ours
    CloseClipboard();
}

Text Win32WindowSystem::fileDialog(const FileDialogRequest& request)
{
    // Long paths: the dialog writes the chosen name into this buffer.
    std::wstring name = wide(request.fileName);
    name.resize(std::max<std::size_t>(name.size() + 1, 32768), L'\0');
    const std::wstring filter = commonDialogFilter(request.filter);
    const std::wstring title = wide(request.title), directory = wide(request.initialDirectory);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    HWND chooser = recentModeless();
    dialog.hwndOwner = chooser && IsWindow(chooser) && IsWindowVisible(chooser) ? chooser : owner();
    dialog.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
    dialog.nFilterIndex = static_cast<DWORD>(std::max<Integer>(request.filterIndex, 0));
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    // Reading: the folder must exist, the file need not. Writing: an existing file is confirmed.
    dialog.Flags = OFN_EXPLORER | (request.mode == FileDialogMode::Open ? OFN_PATHMUSTEXIST : OFN_OVERWRITEPROMPT);
    const BOOL chosen = request.mode == FileDialogMode::Open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
    if (!chosen) {
        if (CommDlgExtendedError() != 0)
            throw errors::deviceUnavailable(u"el diálogo de archivos no se puede mostrar");
        throw fileDialogCancelled();
    }
    return fromWide(name.c_str());
}

void Win32WindowSystem::statusBarPartRect(Long statusBar, Long part, PixelRect& rect)
{
    HWND bar = handleOf<HWND>(statusBar);
    RECT r{};
    if (IsWindow(bar) && SendMessageW(bar, SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&r)))
        rect = {r.left, r.top, r.right, r.bottom};
}

void Win32WindowSystem::setParent(Long child, Long parent)
{
    SetParent(handleOf<HWND>(child), handleOf<HWND>(parent));
}

std::unique_ptr<MemoryDrawing> Win32WindowSystem::createMemoryDrawing(Long source)
{
    HDC dc = handleOf<HDC>(source);
    HDC memory = CreateCompatibleDC(dc);
    if (memory == nullptr)
        return nullptr;
    return std::make_unique<GdiMemoryDrawing>(dc, memory);
}

void Win32WindowSystem::clipboardSetBitmap(std::unique_ptr<Bitmap> bitmap)
{
    auto* gdi = dynamic_cast<GdiBitmap*>(bitmap.get());
    if (gdi == nullptr)
        return;
    if (!OpenClipboard(clipboardOwner()))
        throw errors::deviceUnavailable(u"el portapapeles está ocupado");
    EmptyClipboard();
    if (SetClipboardData(CF_BITMAP, gdi->handle()) != nullptr)
        gdi->release();  // the clipboard owns it now
    CloseClipboard();
}

PixelPoint Win32WindowSystem::cursorPosition() const
{
    POINT at{};
    GetCursorPos(&at);
    return {at.x, at.y};
}

Long Win32WindowSystem::menuBar(Long window)
{
    return longOf(GetMenu(handleOf<HWND>(window)));
}

Long Win32WindowSystem::subMenu(Long menu, Long position)
{
    return longOf(GetSubMenu(handleOf<HMENU>(menu), position));
}

void Win32WindowSystem::setMenuItemBitmaps(Long menu, Long item, Long flags, Long unchecked, Long checked)
{
    SetMenuItemBitmaps(handleOf<HMENU>(menu), static_cast<UINT>(item), static_cast<UINT>(flags),
                       handleOf<HBITMAP>(unchecked), handleOf<HBITMAP>(checked));
}

Long Win32WindowSystem::systemMenu(Long window)
{
    return longOf(GetSystemMenu(handleOf<HWND>(window), FALSE));
}

void Win32WindowSystem::appendMenuItem(Long menu, Long flags, Long command, const Text& text)
{
    const std::wstring item = wide(text);
    AppendMenuW(handleOf<HMENU>(menu), static_cast<UINT>(flags), static_cast<UINT_PTR>(command),
                flags & menuflags::kSeparator ? nullptr : item.c_str());
}

} // namespace Kor2_Sys::platform::win32
