#include "Player.h"

#include "frame/Utf.h"

#include <cctype>
#include <map>

namespace kor2test {

namespace Ks = Kor2_Sys;

#if KOR2_TEST_QT
std::unique_ptr<Player> makeQtPlayer();  // QtPlayer.cpp
#endif
#if KOR2_TEST_WIN32
std::unique_ptr<Player> makeWin32Player();  // Win32Player.cpp
#endif

namespace {

// The headless window system is its own player: it is the product's scripted backend.
class HeadlessPlayer final : public Player {
public:
    HeadlessPlayer()
    {
        m_ws->setPlayedHook([this](const Ks::platform::Form& form, bool shown) {
            follow(m_trail, form, shown);
            if (shown)
                m_names = readerNamesOf(form);
            if (form.visible())
                m_tips = toolTipsOf(form);
        });
    }
    Backend backend() const override { return Backend::Headless; }
    std::shared_ptr<Ks::platform::WindowSystem> windowSystem() override { return m_ws; }
    void queue(std::vector<Ks::script::WindowScript> scripts) override { m_ws->queue(std::move(scripts)); }
    std::size_t pendingScripts() const override { return m_ws->pendingScripts(); }
    const std::vector<MessageRecord>& messages() const override { return m_ws->messages(); }
    int beeps() const override { return m_ws->beeps(); }
    int eventRuns() const override { return m_ws->eventRuns(); }
    std::optional<Ks::Text> clipboardText() const override { return m_ws->clipboardText(); }
    const std::vector<Ks::platform::FileDialogRequest>& fileRequests() const override { return m_ws->fileRequests(); }
    const std::vector<ShownForm>& shownForms() const override { return m_ws->shownForms(); }
    const std::vector<std::string>& focusTrail() const override { return m_trail; }
    const std::vector<std::pair<std::string, Ks::Text>>& readerNames() const override { return m_names; }
    const std::vector<std::pair<std::string, Ks::Text>>& toolTips() const override { return m_tips; }
    void clearRecords() override { m_ws->clearRecords(); }
    Ks::platform::HeadlessWindowSystem* headless() override { return m_ws.get(); }

private:
    std::shared_ptr<Ks::platform::HeadlessWindowSystem> m_ws = std::make_shared<Ks::platform::HeadlessWindowSystem>();
    std::vector<std::string> m_trail;
    std::vector<std::pair<std::string, Ks::Text>> m_names, m_tips;
};

} // namespace

std::vector<std::pair<std::string, Ks::Text>> readerNamesOf(const Ks::platform::Form& form)
{
    std::vector<std::pair<std::string, Ks::Text>> names;
    for (const Ks::platform::Control& c : form.controls()) {
        if (!form.takesFocus(c.name))
            continue;
        names.emplace_back(c.name, Ks::platform::accessibleName(form, c));
        if (c.swatches)
            for (std::size_t i = 0; i < c.swatches->names.size(); ++i)
                names.emplace_back(c.name + "[" + std::to_string(i) + "]", c.swatches->names[i]);
    }
    return names;
}

std::vector<std::pair<std::string, Ks::Text>> toolTipsOf(const Ks::platform::Form& form)
{
    std::vector<std::pair<std::string, Ks::Text>> tips;
    for (const Ks::platform::Control& c : form.controls())
        if (c.visible && !c.toolTip.empty())
            tips.emplace_back(c.name, c.toolTip);
    return tips;
}

void follow(std::vector<std::string>& trail, const Ks::platform::Form& form, bool shown)
{
    if (shown)
        trail.assign(1, form.focus());
    else if (trail.empty() || trail.back() != form.focus())
        trail.push_back(form.focus());
}

void expectReaderNames(const Player& player, const Ks::platform::Form& form,
                       const std::vector<std::pair<std::string, Ks::Text>>& expected)
{
    std::map<std::string, Ks::Text> read;
    for (const auto& [control, name] : player.readerNames()) {
        EXPECT_FALSE(name.empty()) << form.name() << ": " << control << " has no name";
        read.emplace(control, name);
    }
    const auto reached = [&](const std::string& control) {
        return read.contains(control) || (!player.cellsOfTheirOwn() && control.ends_with(']'));
    };
    for (const auto& [control, name] : readerNamesOf(form))
        EXPECT_TRUE(reached(control)) << form.name() << ": a screen reader cannot reach " << control;
    for (const auto& [control, name] : expected)
        if (read.contains(control) || !reached(control)) {
            EXPECT_EQ(Ks::utf::toUtf8(read[control]), Ks::utf::toUtf8(name)) << form.name() << ": " << control;
        }
}

const char* backendName(Backend backend)
{
    return backend == Backend::Qt ? "Qt" : backend == Backend::Win32 ? "Win32" : "Headless";
}

const std::vector<Backend>& backends()
{
    static const std::vector<Backend> all{Backend::Headless,
#if KOR2_TEST_QT
                                          Backend::Qt,
#elif KOR2_TEST_WIN32
                                          Backend::Win32,
#endif
    };
    return all;
}

std::unique_ptr<Player> makePlayer(Backend backend)
{
#if KOR2_TEST_QT
    if (backend == Backend::Qt)
        return makeQtPlayer();
#endif
#if KOR2_TEST_WIN32
    if (backend == Backend::Win32)
        return makeWin32Player();
#endif
    (void)backend;
    return std::make_unique<HeadlessPlayer>();
}

ScopedPlayer::ScopedPlayer(Backend backend)
    : m_player(makePlayer(backend)), m_previous(Ks::platform::installWindowSystem(m_player->windowSystem()))
{
}

ScopedPlayer::~ScopedPlayer()
{
    Ks::platform::installWindowSystem(std::move(m_previous));
    if (m_player->pendingScripts() != 0)
        ADD_FAILURE() << m_player->pendingScripts() << " window scripts were never played";
}

std::string testName(Backend backend, std::string_view label)
{
    std::string name = std::string(backendName(backend)) + "_";
    for (char c : label)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

} // namespace kor2test
