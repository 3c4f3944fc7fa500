// The player of the platform's own windows: each window the library shows is worked through its
// standard controls as a person's input reaches them (BM_CLICK, select-all and characters posted to
// a box, keys posted down and up, the close box's system command, the frame moved), played from a
// timer inside the window's own modal loop; message boxes and the common file dialog are answered
// through their buttons and name box. The script rules are the headless window system's.
#include "Player.h"
#include "PlayingSystem.h"
#include "PostedMessages.h"

#include "platform/win32/FormWindow.h"
#include "platform/win32/Win32WindowSystem.h"
#include "script/ScriptQueue.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace kor2test {
namespace {

namespace Ks = Kor2_Sys;
using Ks::platform::Form;
using Ks::platform::win32::FormWindow;
using Ks::script::Action;

std::wstring classOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The first top-level window of this thread that `accept` takes; by default only a shown, enabled
// one: the one a modal loop is waiting on (the windows under a modal one are disabled).
HWND threadWindow(const std::function<bool(HWND)>& accept, bool active = true)
{
    struct Search {
        const std::function<bool(HWND)>& accept;
        bool active;
        HWND found;
    } search{accept, active, nullptr};
    // A platform callback needs CALLBACK on 32-bit Windows: a plain lambda would not convert.
    struct Visit {
        static BOOL CALLBACK window(HWND window, LPARAM data)
        {
            auto& s = *reinterpret_cast<Search*>(data);
            if ((s.active && (!IsWindowVisible(window) || !IsWindowEnabled(window))) || !s.accept(window))
                return TRUE;
            s.found = window;
            return FALSE;
        }
    };
    EnumThreadWindows(GetCurrentThreadId(), &Visit::window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND dialogBox()
{
    return threadWindow([](HWND window) { return classOf(window) == L"#32770"; });
}

Ks::Text textOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    Ks::Text read;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && ++i == text.size())
            break;  // "&C" reads "C", "&&" reads "&"
        read.push_back(static_cast<char16_t>(text[i]));
    }
    return read;
}

// What a screen reader reads of the controls the focus reaches, from the windows alone: an edit
// box by the static text just above it in the z-order, every other control by its own text without
// its access-key mark. A palette has no cells of its own here: its text ("Colores normales: verde,
// 3 (elegido)") names the ringed cell after the palette's own name.
std::vector<std::pair<std::string, Ks::Text>> readerNamesIn(const FormWindow& window, const Form& form)
{
    std::vector<std::pair<std::string, Ks::Text>> names;
    for (const auto& c : form.controls()) {
        HWND control = window.controlWindow(c.name);
        if (!form.takesFocus(c.name) || control == nullptr)
            continue;
        HWND above = GetWindow(control, GW_HWNDPREV);
        const bool edit = classOf(control) == L"Edit";
        Ks::Text name = !edit ? textOf(control) : above && classOf(above) == L"Static" ? textOf(above) : Ks::Text();
        const std::size_t cell = c.swatches ? name.find(u": ") : Ks::Text::npos;
        if (cell != Ks::Text::npos) {
            Ks::Text ringed = name.substr(cell + 2);
            if (ringed.ends_with(u" (elegido)"))
                ringed.resize(ringed.size() - 10);
            name.resize(cell);
            names.emplace_back(c.name + "[" + std::to_string(c.swatches->ringed()) + "]", ringed);
        }
        names.emplace_back(c.name, std::move(name));
    }
    return names;
}

// What a person resting the mouse on each shown control sees pop up: the text the window's tooltip
// control holds for a tool on that control's own window that watches the control for the mouse.
std::vector<std::pair<std::string, Ks::Text>> toolTipsIn(HWND window, const FormWindow& shown, const Form& form)
{
    HWND tooltip = threadWindow(
        [window](HWND w) { return GetWindow(w, GW_OWNER) == window && classOf(w) == TOOLTIPS_CLASSW; }, false);
    std::vector<std::pair<std::string, Ks::Text>> tips;
    if (tooltip == nullptr)
        return tips;
    for (const auto& c : form.controls()) {
        HWND control = shown.controlWindow(c.name);
        if (control == nullptr || !IsWindowVisible(control))
            continue;
        wchar_t text[1024] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = text;
        if (!SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)) ||
            (tool.uFlags & (TTF_IDISHWND | TTF_SUBCLASS)) != (TTF_IDISHWND | TTF_SUBCLASS))
            continue;
        text[0] = 0;
        tool.lpszText = text;
        SendMessageW(tooltip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
        if (text[0] != 0)
            tips.emplace_back(c.name, Ks::Text(reinterpret_cast<const char16_t*>(text)));
    }
    return tips;
}

// A key press as the keyboard makes it: down (which the loop translates into its character) and up,
// with Shift or Alt held in the thread's keyboard state for the while. With Alt, a character goes
// down as a system key, which the loop translates into the system character that access keys answer
// (Alt itself is not pressed and let go: alone, that would open the window's menu).
void pressKey(HWND target, int key, int shift)
{
    BYTE state[256] = {};
    GetKeyboardState(state);
    const BYTE before = state[VK_SHIFT], alt = state[VK_MENU];
    state[VK_SHIFT] = (shift & Ks::platform::keys::ShiftDown) ? 0x80 : 0;
    state[VK_MENU] = (shift & Ks::platform::keys::AltDown) ? 0x80 : 0;
    SetKeyboardState(state);
    // Down and up, `flags` in the key data's upper word beside the key's scan code.
    const auto stroke = [target](UINT down, UINT vk, LPARAM flags) {
        const LPARAM data = (static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16) | (flags << 16) | 1;
        PostMessageW(target, down, vk, data);
        pump();
        PostMessageW(target, down + 1, vk, data | (3u << 30));  // WM_KEYUP, WM_SYSKEYUP
    };
    static constexpr int kNamed[] = {Ks::platform::keys::Tab, Ks::platform::keys::Enter, Ks::platform::keys::Escape,
                                     Ks::platform::keys::Space, Ks::platform::keys::Backspace};
    // The arrows, Home and End carry the desktop's key number in their low byte; they are extended keys.
    const bool navigation = Ks::platform::keys::isNavigation(key);
    if (shift & Ks::platform::keys::AltDown)
        stroke(WM_SYSKEYDOWN, static_cast<UINT>(LOBYTE(VkKeyScanW(static_cast<wchar_t>(key)))), KF_ALTDOWN);
    else if (navigation || std::find(std::begin(kNamed), std::end(kNamed), key) != std::end(kNamed))
        stroke(WM_KEYDOWN, static_cast<UINT>(navigation ? key & 0xFF : key), navigation ? KF_EXTENDED : 0);
    else
        PostMessageW(target, WM_CHAR, static_cast<WPARAM>(key), 1);
    pump();
    GetKeyboardState(state);
    state[VK_SHIFT] = before;
    state[VK_MENU] = alt;
    SetKeyboardState(state);
}

// As a person replaces a box's text: select all, then type (each unit of a pair is its own
// character message, as the keyboard sends them); the empty text is a Delete.
void typeOver(HWND box, const Ks::Text& text)
{
    SendMessageW(box, EM_SETSEL, 0, -1);
    if (text.empty()) {
        PostMessageW(box, WM_KEYDOWN, VK_DELETE, 1);
        PostMessageW(box, WM_KEYUP, VK_DELETE, 1 | (3u << 30));
    }
    pump();
    for (char16_t unit : text) {
        PostMessageW(box, WM_CHAR, unit, 1);
        pump();
    }
}

void mouse(HWND target, UINT message, double x, double y)
{
    RECT r{};
    GetClientRect(target, &r);
    // The pixel nearest the point a person aims at.
    const auto px = static_cast<int>(std::lround(x * r.right)), py = static_cast<int>(std::lround(y * r.bottom));
    PostMessageW(target, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(px, py));
}

class PlayingWin32;
PlayingWin32*& current()
{
    thread_local PlayingWin32* player = nullptr;
    return player;
}

// The real window system, with each window, box and file dialog played from the script queue.
class PlayingWin32 final : public PlayingSystem<Ks::platform::win32::Win32WindowSystem> {
public:
    PlayingWin32()
    {
        current() = this;
        clipboardClear();
    }
    ~PlayingWin32() override { current() = nullptr; }

private:
    void showPlaying(Form& form) override
    {
        const UINT_PTR timer = SetTimer(nullptr, 0, 1, &PlayingWin32::onFormTimer);
        m_timers.push_back({timer, &form});
        Win32WindowSystem::showModal(form);
        forgetTimer(timer);
    }
    Ks::Text filePlaying(const FileDialogRequest& request, Action action) override
    {
        m_file = {std::move(action)};
        const UINT_PTR timer = SetTimer(nullptr, 0, 10, &PlayingWin32::onFileTimer);
        struct Stop {
            UINT_PTR timer;
            ~Stop() { KillTimer(nullptr, timer); }
        } stop{timer};
        return Win32WindowSystem::fileDialog(request);
    }
    MessageAnswer boxPlaying(const MessageBoxRequest& request) override
    {
        const UINT_PTR timer = SetTimer(nullptr, 0, 1, &PlayingWin32::onBoxTimer);
        const auto given = Win32WindowSystem::messageBox(request);
        KillTimer(nullptr, timer);
        return given;
    }
    struct FileAnswer {
        Action action;
        bool typed = false, refused = false;
        int ticks = 0;
    };

    void forgetTimer(UINT_PTR timer)
    {
        KillTimer(nullptr, timer);
        std::erase_if(m_timers, [&](const auto& t) { return t.first == timer; });
    }

    static void CALLBACK onFormTimer(HWND, UINT, UINT_PTR timer, DWORD)
    {
        PlayingWin32* self = current();
        if (self == nullptr)
            return;
        const auto it = std::find_if(self->m_timers.begin(), self->m_timers.end(), [&](const auto& t) { return t.first == timer; });
        if (it == self->m_timers.end())
            return;
        Form* form = it->second;
        HWND window = threadWindow([form](HWND w) {
            const FormWindow* shown = FormWindow::of(w);
            return shown != nullptr && &shown->form() == form;
        });
        if (window == nullptr)
            return;  // not up yet, or under a window of its own: a later tick
        self->forgetTimer(timer);
        self->playForm(window, *form);
    }

    static void CALLBACK onBoxTimer(HWND, UINT, UINT_PTR timer, DWORD)
    {
        PlayingWin32* self = current();
        HWND box = dialogBox();
        if (self == nullptr || box == nullptr)
            return;
        KillTimer(nullptr, timer);
        const auto answer = self->nextBoxAnswer();
        HWND button = GetDlgItem(box, answer == Ks::platform::MessageAnswer::Ok ? IDOK : IDCANCEL);
        if (button == nullptr) {
            ADD_FAILURE() << "the message box has no button for the answer";
            button = GetDlgItem(box, IDOK);
        }
        PostMessageW(button, BM_CLICK, 0, 0);
    }

    // The path is typed into the dialog's name box and OK pressed; a question the dialog raises
    // (writing over a file that exists) is answered yes. A dialog that refuses the name is
    // cancelled, which the test then sees.
    static void CALLBACK onFileTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        PlayingWin32* self = current();
        HWND dialog = dialogBox();
        if (self == nullptr || dialog == nullptr)
            return;
        FileAnswer& file = self->m_file;
        HWND name = GetDlgItem(dialog, 0x47C);  // the name box of the explorer-style dialog
        if (name == nullptr)
            name = GetDlgItem(dialog, 0x480);
        if (name == nullptr) {
            // A box of the dialog's own: a question is answered yes, anything else is a refusal.
            HWND yes = GetDlgItem(dialog, IDYES);
            if (yes == nullptr && !file.refused) {
                ADD_FAILURE() << "the file dialog refused the path it was given";
                file.refused = true;
            }
            PostMessageW(yes ? yes : GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            return;
        }
        if (file.typed && !file.refused && ++file.ticks < 300)
            return;  // closing, or asking
        if (file.typed || file.action.kind != Action::Kind::File) {
            if (file.action.kind != Action::Kind::Cancel && !file.refused)
                ADD_FAILURE() << "the file dialog stays open on the path it was given";
            file.refused = true;
            PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
            return;
        }
        const std::wstring path(file.action.text.begin(), file.action.text.end());
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        file.typed = true;
    }

    void playForm(HWND window, Form& form)
    {
        const auto at = std::find_if(m_forms.rbegin(), m_forms.rend(), [&](const Pending& p) { return p.form == &form; });
        if (at == m_forms.rend())
            return;
        Pending pending = std::move(*at);
        m_forms.erase(std::next(at).base());
        // A window the script opens is played inside this one's; this one's actions go on after it.
        const HWND outer = std::exchange(m_window, window);
        playScript(std::move(pending));
        m_window = outer;
    }

    std::vector<std::pair<std::string, Ks::Text>> readerNamesShown(const Form& form) const override
    {
        return readerNamesIn(*FormWindow::of(m_window), form);
    }

    std::vector<std::pair<std::string, Ks::Text>> toolTipsShown(const Form& form) const override
    {
        return toolTipsIn(m_window, *FormWindow::of(m_window), form);
    }

    std::optional<std::string> focusShown(const Form& form) const override
    {
        if (!IsWindow(m_window))
            return std::nullopt;
        HWND focused = GetFocus();
        std::string name;
        for (const auto& c : form.controls())
            if (focused != nullptr && FormWindow::of(m_window)->controlWindow(c.name) == focused)
                name = c.name;
        return name;
    }

    void act(Form& form, const Action& action) override
    {
        using Kind = Action::Kind;
        switch (action.kind) {
        case Kind::Move:
            SetWindowPos(m_window, nullptr, static_cast<int>(action.left / twipsPerPixelX()),
                         static_cast<int>(action.top / twipsPerPixelY()), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return;
        case Kind::Resize:
            SetWindowPos(m_window, nullptr, 0, 0, static_cast<int>(action.width / twipsPerPixelX()),
                         static_cast<int>(action.height / twipsPerPixelY()), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            return;
        case Kind::Close: SendMessageW(m_window, WM_SYSCOMMAND, SC_CLOSE, 0); return;
        default: break;
        }
        HWND target = FormWindow::of(m_window)->controlWindow(action.control);
        if (target == nullptr) {
            ADD_FAILURE() << "the window " << form.name() << " shows no control " << action.control;
            return;
        }
        // A person reaches only what is on the screen and enabled.
        const bool reachable = IsWindowVisible(target) && IsWindowEnabled(target);
        const auto mouseAt = [target](UINT down, double x, double y) {
            mouse(target, down, x, y);
            mouse(target, WM_LBUTTONUP, x, y);
            pump();
        };
        switch (action.kind) {
        case Kind::Click:
            if (reachable && classOf(target) == L"Button")
                SendMessageW(target, BM_CLICK, 0, 0);
            else if (reachable)
                mouseAt(WM_LBUTTONDOWN, 0.5, 0.5);
            break;
        case Kind::DoubleClick:
            if (reachable)
                mouseAt(WM_LBUTTONDBLCLK, 0.5, 0.5);
            break;
        case Kind::Type: typeOver(target, action.text); break;
        case Kind::Key: pressKey(target, action.key, action.shift); break;
        case Kind::MouseDown: mouseAt(WM_LBUTTONDOWN, action.x, action.y); break;
        default: break;
        }
    }

    std::vector<std::pair<UINT_PTR, Form*>> m_timers;
    FileAnswer m_file{};
    HWND m_window = nullptr;
};

class Win32Player final : public PlayerOver<PlayingWin32> {
public:
    Win32Player() : PlayerOver(Backend::Win32) {}
    std::optional<Ks::Text> clipboardText() const override
    {
        if (!OpenClipboard(nullptr))
            return std::nullopt;
        std::optional<Ks::Text> text;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* chars = static_cast<const char16_t*>(GlobalLock(data))) {
                text = Ks::Text(chars);
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return text;
    }
    bool cellsOfTheirOwn() const override { return false; }
};

} // namespace

std::unique_ptr<Player> makeWin32Player()
{
    return std::make_unique<Win32Player>();
}

} // namespace kor2test
