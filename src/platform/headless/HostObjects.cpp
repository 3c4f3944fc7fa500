#include "platform/headless/HostObjects.h"

#include <Kor2_Sys/Error.h>

#include "frame/Utf.h"

#include <algorithm>

namespace Kor2_Sys::platform {
namespace {

bool named(std::string_view a, std::string_view b) { return utf::equalNames(a, b); }

Error readOnly() { return errors::wrongArgumentCount(); }

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

Variant RecordedHost::get(std::string_view member) const
{
    if (named(member, "hWnd") || (drawable() && named(member, "hdc")))
        return m_handle;
    if (named(member, "Parent"))
        return utf::fromUtf8(m_parentName);
    if (auto value = property(member))
        return *value;
    throw errors::memberNotSupported();
}

void RecordedHost::put(std::string_view member, const Variant& value)
{
    if (named(member, "hWnd") || (drawable() && named(member, "hdc")) || named(member, "Parent"))
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
        while (m_byHandle.contains(m_next) || m_next == 0)
            ++m_next;
        handle = m_next++;
    } else if (m_byHandle.contains(handle)) {
        throw Error(errors::invalidCall().number(),
                    errors::invalidCall().description() + u": el identificador de ventana " +
                        utf::fromUtf8(std::to_string(handle)) + u" ya está en uso");
    }
    auto host = std::make_shared<RecordedHost>(kind, name, handle);
    m_byHandle.emplace(handle, host);
    m_byName.emplace(std::move(name), host);
    return host;
}

RecordedHost* HostRegistry::find(Long handle) const noexcept
{
    const auto it = m_byHandle.find(handle);
    return it != m_byHandle.end() && it->second->alive() ? it->second.get() : nullptr;
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

} // namespace Kor2_Sys::platform
