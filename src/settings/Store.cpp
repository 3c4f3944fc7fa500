#include "settings/Store.h"

#include "frame/NeverDestroyed.h"
#include "frame/Utf.h"
#include "platform/Installed.h"

#include <map>
#include <mutex>
#include <tuple>

namespace Kor2_Sys::settings {
namespace {

class MemoryStore final : public Store {
public:
    std::optional<Text> find(const Text& app, const Text& section, const Text& key) override
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_values.find({app, section, key});
        if (it == m_values.end())
            return std::nullopt;
        return it->second;
    }
    void write(const Text& app, const Text& section, const Text& key, const Text& value) override
    {
        std::lock_guard lock(m_mutex);
        m_values[{app, section, key}] = value;
    }
    bool remove(const Text& app, const Text& section, const Text& key) override
    {
        std::lock_guard lock(m_mutex);
        return m_values.erase({app, section, key}) > 0;
    }
    std::size_t removeSection(const Text& app, const Text& section) override
    {
        std::lock_guard lock(m_mutex);
        std::size_t removed = 0;
        for (auto it = m_values.lower_bound({app, section, Text()}); it != m_values.end() &&
                                                                       std::get<0>(it->first) == app &&
                                                                       std::get<1>(it->first) == section;) {
            it = m_values.erase(it);
            ++removed;
        }
        return removed;
    }
    void writeAll(std::span<const Entry> entries) override
    {
        std::lock_guard lock(m_mutex);
        // Built aside and swapped in, so that running out of memory midway changes nothing.
        auto copy = m_values;
        for (const Entry& e : entries)
            copy[{e.app, e.section, e.key}] = e.value;
        m_values.swap(copy);
    }
    std::vector<Entry> entries() override
    {
        std::lock_guard lock(m_mutex);
        std::vector<Entry> all;
        for (const auto& [address, value] : m_values)
            all.push_back({std::get<0>(address), std::get<1>(address), std::get<2>(address), value});
        return all;
    }

private:
    std::mutex m_mutex;
    std::map<std::tuple<Text, Text, Text>, Text> m_values;
};

// Never destroyed: a host may call us from its own exit handlers, which run after the static
// objects made since they were registered are gone. The default store is closed instead when the
// library is unloaded (below).
platform::Installed<Store>& installed()
{
    static NeverDestroyed<platform::Installed<Store>> slot(&openDefault);
    return *slot;
}

// Unloading runs after the host's exit handlers and static destructors, so no earlier call loses
// its store; closing it here checkpoints the file rather than leave its journal for the next
// process. A call that comes later still opens the store again.
[[gnu::destructor]] void closeOnUnload()
{
    installed().install(nullptr);
}

// What store() hands out: it outlives every installation, and each call holds the store that is
// installed at that moment until the call returns, so a store replaced meanwhile by another
// thread is released only after its last call ends.
class InstalledStore final : public Store {
public:
    std::optional<Text> find(const Text& app, const Text& section, const Text& key) override
    {
        return currentStore()->find(app, section, key);
    }
    void write(const Text& app, const Text& section, const Text& key, const Text& value) override
    {
        currentStore()->write(app, section, key, value);
    }
    bool remove(const Text& app, const Text& section, const Text& key) override
    {
        return currentStore()->remove(app, section, key);
    }
    std::size_t removeSection(const Text& app, const Text& section) override
    {
        return currentStore()->removeSection(app, section);
    }
    std::vector<Entry> entries() override { return currentStore()->entries(); }
    void writeAll(std::span<const Entry> entries) override { currentStore()->writeAll(entries); }
};

} // namespace

Store::~Store() = default;

Text Store::read(const Text& app, const Text& section, const Text& key, const Text& fallback)
{
    auto value = find(app, section, key);
    return value ? std::move(*value) : fallback;
}

std::shared_ptr<Store> openMemory()
{
    return std::make_shared<MemoryStore>();
}

std::shared_ptr<Store> open(const std::string& pathOrMemory, OpenMode mode)
{
    return pathOrMemory == ":memory:" ? openMemory() : openFile(pathOrMemory, mode);
}

std::shared_ptr<Store> currentStore()
{
    return installed().get();
}

Store& store()
{
    static NeverDestroyed<InstalledStore> forwarder;
    return *forwarder;
}

std::shared_ptr<Store> installStore(std::shared_ptr<Store> store)
{
    return installed().install(std::move(store));
}

} // namespace Kor2_Sys::settings
