#include "settings/Store.h"

#include "frame/Utf.h"

#include <cstdlib>
#include <map>
#include <tuple>

namespace Kor2_Sys::settings {
namespace {

class MemoryStore final : public Store {
public:
    std::optional<Text> find(const Text& app, const Text& section, const Text& key) override
    {
        const auto it = m_values.find({app, section, key});
        if (it == m_values.end())
            return std::nullopt;
        return it->second;
    }
    void write(const Text& app, const Text& section, const Text& key, const Text& value) override
    {
        m_values[{app, section, key}] = value;
    }
    bool remove(const Text& app, const Text& section, const Text& key) override
    {
        return m_values.erase({app, section, key}) > 0;
    }
    std::size_t removeSection(const Text& app, const Text& section) override
    {
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
        auto copy = m_values;
        for (const Entry& e : entries)
            copy[{e.app, e.section, e.key}] = e.value;
        m_values = std::move(copy);
    }
    std::vector<Entry> entries() override
    {
        std::vector<Entry> all;
        for (const auto& [address, value] : m_values)
            all.push_back({std::get<0>(address), std::get<1>(address), std::get<2>(address), value});
        return all;
    }

private:
    std::map<std::tuple<Text, Text, Text>, Text> m_values;
};

std::shared_ptr<Store>& installed()
{
    static std::shared_ptr<Store> current;
    return current;
}

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

std::string defaultPath()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : ".") + "/.config";
    }
    return base + "/kor2-sys/settings.db";
}

std::string configuredPath()
{
    const char* chosen = std::getenv("KOR2_SETTINGS");
    return chosen != nullptr && chosen[0] != '\0' ? chosen : defaultPath();
}

Store& store()
{
    auto& current = installed();
    if (!current)
        current = open(configuredPath());
    return *current;
}

std::shared_ptr<Store> installStore(std::shared_ptr<Store> store)
{
    auto previous = std::move(installed());
    installed() = std::move(store);
    return previous;
}

} // namespace Kor2_Sys::settings
