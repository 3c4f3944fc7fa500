#include "platform/headless/HostObjects.h"

#include "frame/Errors.h"
#include "frame/Utf.h"

#include <algorithm>

namespace Kor2_Sys::platform {
namespace {

bool named(std::string_view a, std::string_view b) { return utf::equalNames(a, b); }

Error readOnly() { return errors::wrongArgumentCount(); }

Error tooLong(const std::u16string& what)
{
    return Error(errors::invalidCall().number(), errors::invalidCall().description() + u": " + what +
                                                      u" pasa de " + utf::fromUtf8(std::to_string(kMaxMenuItems)) +
                                                      u" elementos");
}

// The entries of a window's system menu before anything is added to it, as the Qt window system
// shows them, with the platform's own commands (restore, minimise, maximise, close).
std::vector<MenuItem> platformSystemMenu()
{
    const auto item = [](const char16_t* caption, Long command) { return MenuItem{caption, command}; };
    return {item(u"&Restaurar", 0xF120), item(u"Mi&nimizar", 0xF020), item(u"Ma&ximizar", 0xF030),
            MenuItem{{}, 0, true}, item(u"&Cerrar\tAlt+F4", 0xF060)};
}

} // namespace

RecordedHost::RecordedHost(HostKind kind, std::string name, Long handle)
    : m_kind(kind), m_name(std::move(name)), m_handle(handle)
{
    // What every object of its kind has, as the host's own controls would.
    if (movable())
        for (const char* member : {"Left", "Top", "Width", "Height"})
            m_properties.emplace_back(member, Single{0});
    if (drawable())
        for (const char* member : {"ScaleWidth", "ScaleHeight"})
            m_properties.emplace_back(member, Single{0});
    if (kind == HostKind::ProgressBar) {
        m_properties.emplace_back("Visible", Boolean{false});
        m_properties.emplace_back("Value", Single{0});
    }
}

std::optional<Variant> RecordedHost::property(std::string_view name) const
{
    for (const auto& [key, value] : m_properties)
        if (named(key, name))
            return value;
    return std::nullopt;
}

void RecordedHost::setProperty(std::string name, Variant value)
{
    for (auto& [key, held] : m_properties)
        if (named(key, name)) {
            held = std::move(value);
            return;
        }
    m_properties.emplace_back(std::move(name), std::move(value));
}

Variant RecordedHost::invoke(std::string_view member, InvokeKind kind, std::span<Variant> args)
{
    m_log.push_back({std::string(member), kind, std::vector<Variant>(args.begin(), args.end())});
    return invokeUnrecorded(member, kind, args);
}

Variant RecordedHost::invokeUnrecorded(std::string_view member, InvokeKind kind, std::span<Variant> args)
{
    if (!m_alive)
        throw errors::objectNotSet();
    switch (kind) {
    case InvokeKind::Get:
        if (!args.empty())
            throw errors::wrongArgumentCount();
        return get(member);
    case InvokeKind::Put:
        if (args.size() != 1)
            throw errors::wrongArgumentCount();
        put(member, args.front());
        return {};
    case InvokeKind::Method: return call(member, args);
    }
    return {};
}

bool RecordedHost::handleMember(std::string_view member) const
{
    if (!window())
        return member.empty() || named(member, "Handle");
    return named(member, "hWnd") || (drawable() && named(member, "hdc"));
}

Variant RecordedHost::get(std::string_view member) const
{
    if (handleMember(member))
        return m_handle;
    if (window() && named(member, "Parent"))
        return utf::fromUtf8(m_parentName);
    if (auto value = property(member))
        return *value;
    throw errors::memberNotSupported();
}

void RecordedHost::put(std::string_view member, const Variant& value)
{
    if (handleMember(member) || (window() && named(member, "Parent")))
        throw readOnly();
    for (auto& [key, held] : m_properties)
        if (named(key, member)) {
            // A property keeps its type, as a control's typed property does.
            held = held.isEmpty() ? value : value.convertedTo(held.type());
            return;
        }
    throw errors::memberNotSupported();
}

Variant RecordedHost::call(std::string_view member, std::span<Variant> args)
{
    if (movable() && named(member, "Move")) {
        if (args.empty() || args.size() > 4)
            throw errors::wrongArgumentCount();
        // Convert them all before assigning any: a bad argument moves nothing.
        std::vector<Single> values;
        for (const Variant& arg : args)
            values.push_back(arg.toSingle());
        constexpr const char* kSides[] = {"Left", "Top", "Width", "Height"};
        for (std::size_t i = 0; i < values.size(); ++i)
            setProperty(kSides[i], values[i]);
        return {};
    }
    if (movable() && named(member, "ZOrder")) {
        if (args.size() > 1)
            throw errors::wrongArgumentCount();
        if (!args.empty())
            (void)args.front().toInteger();
        return {};
    }
    // Late binding lets a property be read with a call that has no arguments.
    if (args.empty())
        return get(member);
    throw errors::memberNotSupported();
}

HostRegistry::~HostRegistry()
{
    for (auto& [handle, host] : m_byHandle) {
        host->m_alive = false;
        host->m_properties.clear();
        host->m_log.clear();
    }
}

std::shared_ptr<RecordedHost> HostRegistry::add(HostKind kind, std::string name, Long handle)
{
    if (m_byName.contains(name))
        throw Error(errors::invalidCall().number(),
                    errors::invalidCall().description() + u": ya hay un objeto " + utf::fromUtf8(name));
    if (handle == 0) {
        handle = nextHandle();
    } else if (m_byHandle.contains(handle) || m_menus.contains(handle)) {
        throw Error(errors::invalidCall().number(),
                    errors::invalidCall().description() + u": el identificador de ventana " +
                        utf::fromUtf8(std::to_string(handle)) + u" ya está en uso");
    }
    auto host = std::make_shared<RecordedHost>(kind, name, handle);
    m_byHandle.emplace(handle, host);
    m_byName.emplace(std::move(name), host);
    return host;
}

// Windows, bitmaps and menus share one set of handles, so that no handle names two things.
Long HostRegistry::nextHandle()
{
    while (m_byHandle.contains(m_next) || m_menus.contains(m_next) || m_next == 0)
        ++m_next;
    return m_next++;
}

RecordedHost* HostRegistry::find(Long handle) const noexcept
{
    const auto it = m_byHandle.find(handle);
    return it != m_byHandle.end() && it->second->alive() && it->second->window() ? it->second.get() : nullptr;
}

std::shared_ptr<RecordedHost> HostRegistry::byName(std::string_view name) const
{
    const auto it = m_byName.find(name);
    return it != m_byName.end() ? it->second : nullptr;
}

void HostRegistry::destroy(Long handle)
{
    if (RecordedHost* host = find(handle)) {
        host->m_alive = false;
        // Its children go with it, as child windows do.
        for (auto& [h, other] : m_byHandle)
            if (other->m_parent == handle && other->alive())
                destroy(h);
    }
}

void HostRegistry::statusBarPartRect(Long statusBar, Long part, PixelRect& rect) const
{
    const RecordedHost* bar = find(statusBar);
    if (bar == nullptr || bar->kind() != HostKind::StatusBar || part < 0 ||
        static_cast<std::size_t>(part) >= bar->parts().size())
        return;
    rect = bar->parts()[static_cast<std::size_t>(part)];
}

void HostRegistry::setParent(Long child, Long parent)
{
    RecordedHost* window = find(child);
    RecordedHost* newParent = parent != 0 ? find(parent) : nullptr;
    if (window == nullptr || (parent != 0 && newParent == nullptr) || child == parent)
        return;
    window->m_parent = parent;
    window->m_parentName = newParent ? newParent->name() : std::string{};
}

void HostRegistry::checkMenuBar(const std::vector<DropDown>& dropDowns)
{
    if (dropDowns.size() > kMaxMenuItems)
        throw tooLong(u"la barra de menús");
    for (const DropDown& dropDown : dropDowns)
        if (dropDown.items.size() > kMaxMenuItems)
            throw tooLong(u"el menú " + dropDown.caption);
}

Long HostRegistry::addMenu(Long owner, std::vector<MenuItem> items)
{
    const Long handle = nextHandle();
    m_menus.emplace(handle, Menu{owner, std::move(items)});
    return handle;
}

void HostRegistry::setMenuBar(Long window, const std::vector<DropDown>& dropDowns)
{
    checkMenuBar(dropDowns);
    RecordedHost* host = find(window);
    if (host == nullptr)
        throw errors::invalidCall();
    Long command = 0;
    std::vector<MenuItem> bar;
    for (const DropDown& dropDown : dropDowns) {
        std::vector<MenuItem> items;
        for (const Text& caption : dropDown.items)
            items.push_back(caption == u"-" ? MenuItem{{}, 0, true} : MenuItem{caption, ++command});
        bar.push_back({dropDown.caption});
        bar.back().subMenu = addMenu(window, std::move(items));
    }
    host->m_menuBar = addMenu(window, std::move(bar));
}

HostRegistry::Menu* HostRegistry::liveMenu(Long handle)
{
    const auto it = m_menus.find(handle);
    return it != m_menus.end() && find(it->second.owner) != nullptr ? &it->second : nullptr;
}

const HostRegistry::Menu* HostRegistry::liveMenu(Long handle) const
{
    return const_cast<HostRegistry*>(this)->liveMenu(handle);
}

std::vector<MenuEntry> HostRegistry::entries(const std::vector<MenuItem>& items) const
{
    std::vector<MenuEntry> out;
    for (const MenuItem& item : items) {
        const Menu* opens = liveMenu(item.subMenu);
        out.push_back({item, opens != nullptr ? entries(opens->items) : std::vector<MenuEntry>{}});
    }
    return out;
}

std::vector<MenuEntry> HostRegistry::menuBarOf(const RecordedHost& window) const
{
    const Menu* bar = liveMenu(window.m_menuBar);
    return bar != nullptr ? entries(bar->items) : std::vector<MenuEntry>{};
}

std::vector<MenuEntry> HostRegistry::systemMenuOf(const RecordedHost& window) const
{
    const Menu* copy = liveMenu(window.m_systemMenu);
    return entries(copy != nullptr ? copy->items : platformSystemMenu());
}

Long HostRegistry::menuBar(Long window) const
{
    const RecordedHost* host = find(window);
    return host != nullptr && liveMenu(host->m_menuBar) != nullptr ? host->m_menuBar : 0;
}

Long HostRegistry::subMenu(Long menu, Long position) const
{
    const Menu* found = liveMenu(menu);
    if (found == nullptr || position < 0 || static_cast<std::size_t>(position) >= found->items.size())
        return 0;
    const Long opens = found->items[static_cast<std::size_t>(position)].subMenu;
    return liveMenu(opens) != nullptr ? opens : 0;
}

// By position, or else by command: the first item that delivers it, here or in a drop-down menu
// this one opens.
MenuItem* HostRegistry::itemOf(Menu& menu, Long item, Long flags)
{
    if (flags & menuflags::kByPosition)
        return item >= 0 && static_cast<std::size_t>(item) < menu.items.size()
                   ? &menu.items[static_cast<std::size_t>(item)]
                   : nullptr;
    for (MenuItem& candidate : menu.items) {
        if (candidate.subMenu == 0 && !candidate.separator && candidate.command == item)
            return &candidate;
        if (Menu* opens = liveMenu(candidate.subMenu))
            if (MenuItem* found = itemOf(*opens, item, flags))
                return found;
    }
    return nullptr;
}

void HostRegistry::setMenuItemBitmaps(Long menu, Long item, Long flags, Long unchecked, Long checked)
{
    Menu* found = liveMenu(menu);
    if (MenuItem* target = found != nullptr ? itemOf(*found, item, flags) : nullptr) {
        target->unchecked = unchecked;
        target->checked = checked;
    }
}

Long HostRegistry::systemMenu(Long window)
{
    RecordedHost* host = find(window);
    if (host == nullptr)
        return 0;
    if (host->m_systemMenu == 0)
        host->m_systemMenu = addMenu(window, platformSystemMenu());
    return host->m_systemMenu;
}

void HostRegistry::appendMenuItem(Long menu, Long flags, Long command, const Text& text)
{
    Menu* found = liveMenu(menu);
    if (found == nullptr || found->items.size() >= kMaxMenuItems)
        return;
    if (flags & menuflags::kSeparator)
        found->items.push_back(MenuItem{{}, command, true});
    else
        found->items.push_back(MenuItem{text, command});
}

} // namespace Kor2_Sys::platform
