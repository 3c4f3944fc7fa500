#include "settings/Store.h"

#include "frame/Errors.h"
#include "settings/SqliteOpen.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <tuple>
#include <type_traits>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace Kor2_Sys::settings {
namespace {

using namespace sqlitestore;

struct TextPairHash {
    std::size_t operator()(const std::pair<Text, Text>& p) const noexcept
    {
        const std::size_t a = std::hash<Text>{}(p.first);
        return a ^ (std::hash<Text>{}(p.second) + 0x9e3779b97f4a7c15ull + (a << 6) + (a >> 2));
    }
};

class SqliteStore final : public Store {
public:
    SqliteStore(Place place, OpenMode mode) : m_place(std::move(place)), m_mode(mode), m_link(openLink(m_place, m_mode)) {}

    // Reads are served from whole sections kept in memory for as long as nobody commits; the
    // first read after any commit reloads the section it needs.
    std::optional<Text> find(const Text& app, const Text& section, const Text& key) override
    {
        std::lock_guard lock(m_mutex);
        return guarded([&]() -> std::optional<Text> {
            Link* link = reading();
            if (link == nullptr)
                return std::nullopt;
            const auto signature = link->watch.current();
            if (!signature)
                return findInDatabase(*link, app, section, key);
            if (signature != m_signature) {
                m_sections.clear();
                m_signature = signature;
            }
            auto [it, loaded] = m_sections.try_emplace({app, section});
            if (loaded)
                loadSection(*link, app, section, it->second);
            const auto found = it->second.find(key);
            if (found == it->second.end())
                return std::nullopt;
            return found->second;
        });
    }

    void write(const Text& app, const Text& section, const Text& key, const Text& value) override
    {
        std::lock_guard lock(m_mutex);
        changing([&](Link& link) {
            return change(link, link.upsert, [&](Statement& s) { s.bind(1, app).bind(2, section).bind(3, key).bind(4, value); });
        });
    }

    bool remove(const Text& app, const Text& section, const Text& key) override
    {
        std::lock_guard lock(m_mutex);
        return changing([&](Link& link) {
            return change(link, link.remove, [&](Statement& s) { s.bind(1, app).bind(2, section).bind(3, key); });
        }) > 0;
    }

    std::size_t removeSection(const Text& app, const Text& section) override
    {
        std::lock_guard lock(m_mutex);
        return static_cast<std::size_t>(changing([&](Link& link) {
            return change(link, link.removeSection, [&](Statement& s) { s.bind(1, app).bind(2, section); });
        }));
    }

    void writeAll(std::span<const Entry> entries) override
    {
        std::lock_guard lock(m_mutex);
        changing([&](Link& link) {
            Transaction transaction(link.db());
            for (const Entry& e : entries) {
                Use q(link.upsert);
                q->bind(1, e.app).bind(2, e.section).bind(3, e.key).bind(4, e.value).run();
            }
            transaction.commit();
            return 0;
        });
    }

    std::vector<Entry> entries() override
    {
        std::lock_guard lock(m_mutex);
        return guarded([&] {
            std::vector<Entry> all;
            Link* link = reading();
            if (link == nullptr)
                return all;
            retryBusy(*link, [&] {
                all.clear();
                Use q(link->all);
                int rc;
                while ((rc = q->step()) == SQLITE_ROW)
                    all.push_back({q->column(0), q->column(1), q->column(2), q->column(3)});
                return rc == SQLITE_DONE ? SQLITE_OK : rc;
            });
            std::sort(all.begin(), all.end(), [](const Entry& a, const Entry& b) {
                return std::tie(a.app, a.section, a.key) < std::tie(b.app, b.section, b.key);
            });
            return all;
        });
    }

private:
    using Section = std::unordered_map<Text, Text>;

    template <class Body> std::invoke_result_t<Body> guarded(Body&& body)
    {
        try {
            return body();
        } catch (const Failure& f) {
            throw storeError(f, m_place.path);
        }
    }

    void forget()
    {
        m_sections.clear();
        m_signature.reset();
    }

    void reconnect()
    {
        auto fresh = openLink(m_place, m_mode);
        m_link = std::move(fresh);
        forget();
    }

    // The link to read through. A snapshot holds only until some process commits into the WAL;
    // from then on the store is read through the WAL like any other.
    Link* reading()
    {
        if (m_link && m_link->snapshot && walHasFrames(m_place.path))
            reconnect();
        return m_link.get();
    }

    // Runs a change on a writable link. A store opened while it could not be written, or whose
    // side files refused a write, is opened afresh once: what was at fault may have been set right
    // (the store made writable again, side files repaired by the open).
    template <class Body> std::invoke_result_t<Body, Link&> changing(Body&& body)
    {
        if (m_mode == OpenMode::ReadOnly)
            throw withDetail(errors::permissionDenied(), widen(m_place.path) + u" se abrió solo para lectura");
        forget();  // our own commit moves the WAL-index too
        bool reopened = false;
        if (!m_link || m_link->readOnly) {
            if (::access(m_place.path.c_str(), W_OK) != 0)
                throw withDetail(errors::permissionDenied(), widen(faultyFile(m_place.path)));
            reconnect();
            reopened = true;
            if (!m_link || m_link->readOnly)
                throw withDetail(errors::permissionDenied(), widen(faultyFile(m_place.path)));
        }
        try {
            return body(*m_link);
        } catch (const Failure& f) {
            if (reopened || !refusedWrite(f))
                throw storeError(f, m_place.path);
        }
        reconnect();
        if (!m_link || m_link->readOnly)
            throw withDetail(errors::permissionDenied(), widen(faultyFile(m_place.path)));
        return guarded([&] { return body(*m_link); });
    }

    template <class Step> void retryBusy(Link& link, Step&& step)
    {
        for (int round = 0;; ++round) {
            const int rc = step();
            if (rc == SQLITE_OK)
                return;
            if ((rc & 0xFF) != SQLITE_BUSY || round + 1 >= kBusyRounds)
                throw failure(link.db(), rc);
        }
    }

    std::optional<Text> findInDatabase(Link& link, const Text& app, const Text& section, const Text& key)
    {
        std::optional<Text> value;
        retryBusy(link, [&] {
            Use q(link.find);
            q->bind(1, app).bind(2, section).bind(3, key);
            const int rc = q->step();
            if (rc == SQLITE_ROW)
                value = q->column(0);
            return rc == SQLITE_ROW || rc == SQLITE_DONE ? SQLITE_OK : rc;
        });
        return value;
    }

    void loadSection(Link& link, const Text& app, const Text& section, Section& into)
    {
        try {
            retryBusy(link, [&] {
                into.clear();
                Use q(link.section);
                q->bind(1, app).bind(2, section);
                int rc;
                while ((rc = q->step()) == SQLITE_ROW)
                    into.emplace(q->column(0), q->column(1));
                return rc == SQLITE_DONE ? SQLITE_OK : rc;
            });
        } catch (...) {
            m_sections.erase({app, section});
            throw;
        }
    }

    template <class Bind> static int change(Link& link, Statement& statement, Bind&& bind)
    {
        Transaction transaction(link.db());
        {
            Use q(statement);
            bind(*q.operator->());
            q->run();
        }
        const int changed = sqlite().sqlite3_changes(link.db());
        transaction.commit();
        return changed;
    }

    const Place m_place;
    const OpenMode m_mode;
    // One operation at a time: the statements, the link and the section cache are shared state.
    std::mutex m_mutex;
    std::unique_ptr<Link> m_link;
    std::optional<CommitWatch::Signature> m_signature;
    std::unordered_map<std::pair<Text, Text>, Section, TextPairHash> m_sections;
};

} // namespace

std::shared_ptr<Store> openFile(const std::string& path, OpenMode mode)
{
    if (path.empty())
        throw errors::pathAccess(u"no se ha indicado el archivo del almacén de configuración");
    Place place{path, inDefaultFolder(path)};
    if (mode == OpenMode::ReadWrite)
        makeFolder(place);
    return std::make_shared<SqliteStore>(std::move(place), mode);
}

} // namespace Kor2_Sys::settings
