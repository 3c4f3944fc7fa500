#include "Hosts.h"

#include "frame/Utf.h"

#include <map>

namespace kor2test {

namespace Ks = Kor2_Sys;
using Ks::platform::HostKind;
using Ks::platform::RecordedHost;

#if KOR2_TEST_QT
std::unique_ptr<Hosts> makeQtHosts();  // QtHosts.cpp
#endif
#if KOR2_TEST_WIN32
std::unique_ptr<Hosts> makeWin32Hosts();  // Win32Hosts.cpp
#endif

namespace {

RecordedHost& recorded(const Variant& host) { return dynamic_cast<RecordedHost&>(*host.toObject()); }

class HeadlessHosts final : public Hosts {
public:
    explicit HeadlessHosts(Ks::platform::HeadlessWindowSystem& ws) : m_ws(ws) {}

    Variant form(std::vector<DropDown> menus) override
    {
        const auto form = add(HostKind::Form, "Form", {});
        if (!menus.empty())
            m_ws.hosts().setMenuBar(form->handle(), menus);
        return std::shared_ptr<Ks::Object>(form);
    }
    // Parts start a pixel in, two pixels apart, three to twenty-one pixels down.
    Variant statusBar(const Variant& form, std::vector<int> widths) override
    {
        const auto bar = add(HostKind::StatusBar, "StatusBar", form);
        std::vector<PixelRect> parts;
        for (Ks::Long x = 1; const int width : widths) {
            parts.push_back({x, 3, x + width, 21});
            x += width + 2;
        }
        bar->setParts(std::move(parts));
        return std::shared_ptr<Ks::Object>(bar);
    }
    Variant progressBar(const Variant& form) override
    {
        const auto bar = add(HostKind::ProgressBar, "ProgressBar", form);
        bar->setProperty("Value", Ks::Single{40});
        return std::shared_ptr<Ks::Object>(bar);
    }
    Variant picture(const Variant& form, float width, float height) override
    {
        const auto picture = add(HostKind::Picture, "Picture", form);
        picture->setProperty("ScaleWidth", width);
        picture->setProperty("ScaleHeight", height);
        return std::shared_ptr<Ks::Object>(picture);
    }
    Variant control(const Variant& form, PixelPoint at) override
    {
        const auto label = add(HostKind::Control, "Label", form);
        const double x = m_ws.twipsPerPixelX(), y = m_ws.twipsPerPixelY();
        for (const auto& [side, twips] : {std::pair{"Left", at.x * x}, {"Top", at.y * y}, {"Width", 60 * x}, {"Height", 24 * y}})
            label->setProperty(side, static_cast<Ks::Single>(twips));
        return std::shared_ptr<Ks::Object>(label);
    }
    Variant bitmap() override
    {
        if (!m_bitmap)
            m_bitmap = add(HostKind::Bitmap, "Bitmap", {});
        return std::shared_ptr<Ks::Object>(m_bitmap);
    }

    PixelRect part(const Variant& statusBar, int index) override { return recorded(statusBar).parts().at(index); }
    void widen(const Variant& statusBar, int index, int pixels) override
    {
        auto parts = recorded(statusBar).parts();
        parts.at(index).right += pixels;
        for (auto part = parts.begin() + index + 1; part < parts.end(); ++part)
            *part = {part->left + pixels, part->top, part->right + pixels, part->bottom};
        recorded(statusBar).setParts(std::move(parts));
    }
    std::string parentOf(const Variant& host) override
    {
        return Ks::utf::toUtf8(recorded(host).invokeUnrecorded("Parent", Ks::InvokeKind::Get, {}).toText());
    }
    void destroy(const Variant& host) override { m_ws.hosts().destroy(recorded(host).handle()); }
    void setCursor(PixelPoint at) override { m_ws.setCursorPosition(at); }
    std::optional<PixelPoint> clipboardBitmap() override { return m_ws.clipboardBitmap(); }
    std::vector<std::pair<bool, bool>> pictures(const Variant& form, int menu) override
    {
        const Ks::Long shown = m_bitmap ? m_bitmap->handle() : 0;
        std::vector<std::pair<bool, bool>> out;
        const auto bar = m_ws.hosts().menuBarOf(recorded(form));  // a copy: iterate it while it lives
        for (const auto& entry : bar.at(menu).items)
            out.emplace_back(entry.item.unchecked == shown, entry.item.checked == shown);
        return out;
    }
    std::vector<std::pair<Ks::Text, Ks::Long>> systemMenu(const Variant& form) override
    {
        std::vector<std::pair<Ks::Text, Ks::Long>> out;
        for (const auto& entry : m_ws.hosts().systemMenuOf(recorded(form)))
            out.emplace_back(entry.item.separator ? u"-" : entry.item.caption, entry.item.command);
        return out;
    }

private:
    std::shared_ptr<RecordedHost> add(HostKind kind, const std::string& name, const Variant& parent)
    {
        const auto host = m_ws.hosts().add(kind, name + std::to_string(++m_count[name]));
        if (!parent.isEmpty())
            m_ws.hosts().setParent(host->handle(), recorded(parent).handle());
        return host;
    }

    Ks::platform::HeadlessWindowSystem& m_ws;
    std::map<std::string, int> m_count;
    std::shared_ptr<RecordedHost> m_bitmap;
};

} // namespace

std::unique_ptr<Hosts> makeHosts(Player& player)
{
#if KOR2_TEST_QT
    if (player.backend() == Backend::Qt)
        return makeQtHosts();
#endif
#if KOR2_TEST_WIN32
    if (player.backend() == Backend::Win32)
        return makeWin32Hosts();
#endif
    return std::make_unique<HeadlessHosts>(*player.headless());
}

std::vector<float> twipsOf(const Variant& host)
{
    std::vector<float> sides;
    for (const char* side : {"Left", "Top", "Width", "Height"})
        sides.push_back(Ks::getProperty(*host.toObject(), side).toSingle());
    return sides;
}

} // namespace kor2test
