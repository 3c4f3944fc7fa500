#pragma once
// One process-wide platform service that tests may replace: the default is made on first use, and
// a caller keeps the instance it got alive for as long as it holds it, whatever is installed
// meanwhile.

#include <memory>
#include <mutex>
#include <utility>

namespace Kor2_Sys::platform {

template <class Service> class Installed {
public:
    using Factory = std::shared_ptr<Service> (*)();
    explicit Installed(Factory makeDefault) : m_makeDefault(makeDefault) {}

    std::shared_ptr<Service> get()
    {
        std::lock_guard lock(m_mutex);
        if (!m_current)
            m_current = m_makeDefault();
        return m_current;
    }
    /// Installs `service` (null: back to the default on next use); returns the previous one.
    std::shared_ptr<Service> install(std::shared_ptr<Service> service)
    {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_current, std::move(service));
    }

private:
    std::mutex m_mutex;
    std::shared_ptr<Service> m_current;
    Factory m_makeDefault;
};

/// Installs a service for the guard's lifetime; `Install` is the service's install function.
template <class Service, std::shared_ptr<Service> (*Install)(std::shared_ptr<Service>)> class ScopedInstall {
public:
    explicit ScopedInstall(std::shared_ptr<Service> service) : m_previous(Install(std::move(service))) {}
    ~ScopedInstall() { Install(std::move(m_previous)); }
    ScopedInstall(const ScopedInstall&) = delete;
    ScopedInstall& operator=(const ScopedInstall&) = delete;

private:
    std::shared_ptr<Service> m_previous;
};

} // namespace Kor2_Sys::platform
