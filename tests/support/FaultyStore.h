#pragma once
// A settings store that fails as a real one does when its file is read-only or its disk is full:
// reads answer from memory, changes fail with the error given once the allowed writes are used.

#include <Kor2_Sys/Error.h>

#include "platform/Installed.h"
#include "settings/Store.h"

#include <memory>
#include <utility>

namespace kor2test {

class FaultyStore final : public Kor2_Sys::settings::Store {
public:
    /// `writesAllowed` single writes go through before the failures start; a batch (an import)
    /// always fails, so that all-or-nothing can be seen.
    explicit FaultyStore(Kor2_Sys::Error failure, int writesAllowed = 0)
        : m_failure(std::move(failure)), m_writesAllowed(writesAllowed) {}

    /// What the store holds, written past the failures.
    Kor2_Sys::settings::Store& inner() { return *m_inner; }

    std::optional<Kor2_Sys::Text> find(const Kor2_Sys::Text& a, const Kor2_Sys::Text& s, const Kor2_Sys::Text& k) override
    {
        return m_inner->find(a, s, k);
    }
    void write(const Kor2_Sys::Text& a, const Kor2_Sys::Text& s, const Kor2_Sys::Text& k, const Kor2_Sys::Text& v) override
    {
        if (m_writesAllowed-- <= 0)
            throw m_failure;
        m_inner->write(a, s, k, v);
    }
    bool remove(const Kor2_Sys::Text&, const Kor2_Sys::Text&, const Kor2_Sys::Text&) override { throw m_failure; }
    std::size_t removeSection(const Kor2_Sys::Text&, const Kor2_Sys::Text&) override { throw m_failure; }
    std::vector<Kor2_Sys::settings::Entry> entries() override { return m_inner->entries(); }
    void writeAll(std::span<const Kor2_Sys::settings::Entry>) override { throw m_failure; }

private:
    std::shared_ptr<Kor2_Sys::settings::Store> m_inner = Kor2_Sys::settings::openMemory();
    Kor2_Sys::Error m_failure;
    int m_writesAllowed;
};

/// Installs a store of the test's own until the end of the scope.
using InstalledStore = Kor2_Sys::platform::ScopedInstall<Kor2_Sys::settings::Store, &Kor2_Sys::settings::installStore>;

} // namespace kor2test
