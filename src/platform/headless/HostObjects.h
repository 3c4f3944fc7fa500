#pragma once
// Host objects of a scripted run: stand-ins for the host's forms, status bars, progress bars,
// picture boxes, plain controls and bitmaps, which record every member call they receive and answer
// the native window and menu operations of the headless window system by their handles.

#include <Kor2_Sys/Object.h>

#include "platform/WindowSystem.h"

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Kor2_Sys::platform {

/// What a host object stands for. All but a bitmap are windows.
enum class HostKind : std::uint8_t { Form, StatusBar, ProgressBar, Picture, Control, Bitmap };

/// How scripts spell each kind, in the order of `HostKind`.
inline constexpr std::array<std::string_view, 6> kHostKindNames = {"form",    "statusbar", "progressbar",
                                                                   "picture", "control",   "bitmap"};

constexpr std::string_view nameOf(HostKind kind) { return kHostKindNames[static_cast<std::size_t>(kind)]; }

/// The kind a script names; none for a word that is no kind.
constexpr std::optional<HostKind> hostKindOf(std::string_view name)
{
    for (std::size_t i = 0; i < kHostKindNames.size(); ++i)
        if (kHostKindNames[i] == name)
            return static_cast<HostKind>(i);
    return std::nullopt;
}

/// A drop-down menu of a form's menu bar as a script lays it out: its caption and its items'
/// captions, "-" standing for a separator.
struct DropDown {
    Text caption;
    std::vector<Text> items;
};

/// The most items one menu holds (a menu bar's drop-down menus count as its items): a longer
/// layout is refused and an append past it fails, as a platform call that runs out of room.
inline constexpr std::size_t kMaxMenuItems = 1024;

/// One item of a headless menu.
struct MenuItem {
    Text caption;            ///< empty for a separator
    Long command = 0;        ///< delivered to the window when chosen; 0 for separators and drop-downs
    bool separator = false;
    Long unchecked = 0;      ///< handle of the bitmap beside it when not checked, 0 for none
    Long checked = 0;        ///< ... and when checked
    Long subMenu = 0;        ///< handle of the drop-down menu it opens, 0 for none
};

/// A menu as it stands, with the items of the drop-down menus it opens.
struct MenuEntry {
    MenuItem item;
    std::vector<MenuEntry> items;
};

/// One member call a host object received.
struct HostCall {
    std::string member;          ///< as the caller spelled it
    InvokeKind kind = InvokeKind::Method;
    std::vector<Variant> args;   ///< as received (for `put`, the value assigned)
};

class HostRegistry;

/// A recorded host object. Its properties are those it was made with plus the ones its kind
/// always has (a progress bar's `Visible` and `Value`, the position of whatever can be moved);
/// a window's `hWnd` (and `hdc` for forms and pictures, the same number) give its handle, as a
/// bitmap's `Handle` and default value (the member with the empty name) give its own; forms,
/// pictures, progress bars and controls have `Move` (left, top, width, height) and `ZOrder`;
/// `Parent` reads the name of the window the native operations made its parent (empty when none).
/// A member it does not have is error 438; once destroyed, every call is error 91.
class RecordedHost final : public Object {
public:
    RecordedHost(HostKind kind, std::string name, Long handle);

    /// A member call from the library: recorded, then answered.
    Variant invoke(std::string_view member, InvokeKind kind, std::span<Variant> args) override;
    /// Answers a member call as `invoke` does without recording it: the host working its own
    /// object (a script that stands for the host reads and sets it this way), which is no call the
    /// library made.
    Variant invokeUnrecorded(std::string_view member, InvokeKind kind, std::span<Variant> args);

    HostKind kind() const noexcept { return m_kind; }
    const std::string& name() const noexcept { return m_name; }
    Long handle() const noexcept { return m_handle; }
    bool alive() const noexcept { return m_alive; }
    /// Whether the platform sees it as having a drawing context (`hdc`).
    bool drawable() const noexcept { return m_kind == HostKind::Form || m_kind == HostKind::Picture; }
    bool window() const noexcept { return m_kind != HostKind::Bitmap; }

    /// Member calls received so far, in order.
    const std::vector<HostCall>& log() const noexcept { return m_log; }
    /// A property's current value without recording a call; none when it has no such property.
    std::optional<Variant> property(std::string_view name) const;
    /// Sets or adds a property without recording a call (how a script makes the object).
    void setProperty(std::string name, Variant value);
    /// The status bar's parts, in pixels, left to right.
    const std::vector<PixelRect>& parts() const noexcept { return m_parts; }
    void setParts(std::vector<PixelRect> parts) { m_parts = std::move(parts); }
    /// The handle of its parent window, 0 when it has none.
    Long parent() const noexcept { return m_parent; }

private:
    friend class HostRegistry;
    Variant get(std::string_view member) const;
    void put(std::string_view member, const Variant& value);
    Variant call(std::string_view member, std::span<Variant> args);
    bool movable() const noexcept { return m_kind != HostKind::StatusBar && window(); }
    // The member that reads its handle, as its kind names it.
    bool handleMember(std::string_view member) const;

    HostKind m_kind;
    std::string m_name;
    Long m_handle;
    bool m_alive = true;
    Long m_parent = 0;
    std::string m_parentName;
    std::vector<std::pair<std::string, Variant>> m_properties;  ///< in the order they were made
    std::vector<PixelRect> m_parts;
    std::vector<HostCall> m_log;
    Long m_menuBar = 0;
    Long m_systemMenu = 0;  ///< 0 until the window's copy is asked for
};

/// The host objects of one scripted desktop, by handle and by name.
class HostRegistry {
public:
    HostRegistry() = default;
    /// The desktop goes away with its windows: every host object is destroyed and lets go of the
    /// values it holds, so objects that refer to each other are freed with it.
    ~HostRegistry();
    HostRegistry(const HostRegistry&) = delete;
    HostRegistry& operator=(const HostRegistry&) = delete;

    /// Makes a host object. `handle` 0 assigns the next free one; a handle or name already in use
    /// is error 5.
    std::shared_ptr<RecordedHost> add(HostKind kind, std::string name, Long handle = 0);
    /// The live window with this handle; null when none (a bitmap is no window).
    RecordedHost* find(Long handle) const noexcept;
    /// The host object of this name (live or destroyed); null when none.
    std::shared_ptr<RecordedHost> byName(std::string_view name) const;
    /// The window is gone: its handle names nothing from now on and its members answer error 91.
    void destroy(Long handle);

    /// The native operations of the headless window system.
    void statusBarPartRect(Long statusBar, Long part, PixelRect& rect) const;
    void setParent(Long child, Long parent);

    /// Error 5 saying what is too long when a menu bar laid out so would hold more than
    /// `kMaxMenuItems` drop-down menus or a drop-down menu more items.
    static void checkMenuBar(const std::vector<DropDown>& dropDowns);
    /// Gives the live window `window` a menu bar with these drop-down menus, replacing the one it
    /// had. Items get the commands 1, 2, ... in order, separators none. Error 5 for a layout
    /// `checkMenuBar` refuses or a handle that names no live window.
    void setMenuBar(Long window, const std::vector<DropDown>& dropDowns);
    /// The window's menu bar as it stands; empty when it has none.
    std::vector<MenuEntry> menuBarOf(const RecordedHost& window) const;
    /// The window's system menu as it stands: the platform's entries until its own copy is made.
    std::vector<MenuEntry> systemMenuOf(const RecordedHost& window) const;

    /// The menu operations of the headless window system. A handle that names no live menu (the
    /// menus of a destroyed window are gone with it) or no item changes nothing.
    Long menuBar(Long window) const;
    Long subMenu(Long menu, Long position) const;
    void setMenuItemBitmaps(Long menu, Long item, Long flags, Long unchecked, Long checked);
    Long systemMenu(Long window);
    void appendMenuItem(Long menu, Long flags, Long command, const Text& text);

private:
    struct Menu {
        Long owner = 0;  ///< the window it belongs to and goes with
        std::vector<MenuItem> items;
    };
    Long nextHandle();
    Long addMenu(Long owner, std::vector<MenuItem> items);
    Menu* liveMenu(Long handle);
    const Menu* liveMenu(Long handle) const;
    MenuItem* itemOf(Menu& menu, Long item, Long flags);
    std::vector<MenuEntry> entries(const std::vector<MenuItem>& items) const;

    std::map<Long, std::shared_ptr<RecordedHost>> m_byHandle;
    std::map<Long, Menu> m_menus;
    std::map<std::string, std::shared_ptr<RecordedHost>, std::less<>> m_byName;
    Long m_next = 0x1000;
};

} // namespace Kor2_Sys::platform
