#pragma once
// Host objects of a scripted run: stand-ins for the host's forms, status bars, progress bars,
// picture boxes and plain controls, which record every member call they receive and answer the
// native window operations of the headless window system by their handles.

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

enum class HostKind : std::uint8_t { Form, StatusBar, ProgressBar, Picture, Control };

/// How scripts spell each kind, in the order of `HostKind`.
inline constexpr std::array<std::string_view, 5> kHostKindNames = {"form", "statusbar", "progressbar", "picture",
                                                                   "control"};

constexpr std::string_view nameOf(HostKind kind) { return kHostKindNames[static_cast<std::size_t>(kind)]; }

/// The kind a script names; none for a word that is no kind.
constexpr std::optional<HostKind> hostKindOf(std::string_view name)
{
    for (std::size_t i = 0; i < kHostKindNames.size(); ++i)
        if (kHostKindNames[i] == name)
            return static_cast<HostKind>(i);
    return std::nullopt;
}

/// One member call a host object received.
struct HostCall {
    std::string member;          ///< as the caller spelled it
    InvokeKind kind = InvokeKind::Method;
    std::vector<Variant> args;   ///< as received (for `put`, the value assigned)
};

class HostRegistry;

/// A recorded host object. Its properties are those it was made with plus the ones its kind
/// always has (a progress bar's `Visible` and `Value`, the position of whatever can be moved);
/// `hWnd` (and `hdc` for forms and pictures, the same number) give its handle; forms, pictures,
/// progress bars and controls have `Move` (left, top, width, height) and `ZOrder`; `Parent` reads
/// the name of the window the native operations made its parent (empty when none). A member it
/// does not have is error 438; once destroyed, every call is error 91.
class KOR2_SYS_EXPORT RecordedHost final : public Object {
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
    bool movable() const noexcept { return m_kind != HostKind::StatusBar; }

    HostKind m_kind;
    std::string m_name;
    Long m_handle;
    bool m_alive = true;
    Long m_parent = 0;
    std::string m_parentName;
    std::vector<std::pair<std::string, Variant>> m_properties;  ///< in the order they were made
    std::vector<PixelRect> m_parts;
    std::vector<HostCall> m_log;
};

/// The host objects of one scripted desktop, by handle and by name.
class KOR2_SYS_EXPORT HostRegistry {
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
    /// The live host object with this handle; null when none.
    RecordedHost* find(Long handle) const noexcept;
    /// The host object of this name (live or destroyed); null when none.
    std::shared_ptr<RecordedHost> byName(std::string_view name) const;
    /// The window is gone: its handle names nothing from now on and its members answer error 91.
    void destroy(Long handle);

    /// The native operations of the headless window system.
    void statusBarPartRect(Long statusBar, Long part, PixelRect& rect) const;
    void setParent(Long child, Long parent);

private:
    std::map<Long, std::shared_ptr<RecordedHost>> m_byHandle;
    std::map<std::string, std::shared_ptr<RecordedHost>, std::less<>> m_byName;
    Long m_next = 0x1000;
};

} // namespace Kor2_Sys::platform
