#include <Kor2_Sys/qt/QtHostObject.h>

#include "frame/Errors.h"
#include "frame/Utf.h"
#include "platform/FormView.h"
#include "platform/qt/HostHandles.h"
#include "platform/qt/QtText.h"

#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <QWidget>

#include <cmath>
#include <limits>
#include <span>

namespace Kor2_Sys::qt {
namespace {

using platform::qt::handleOf;
using platform::qt::ownVisible;
using platform::qt::toQString;
using platform::qt::toText;
using platform::qt::twipsPerPixel;

/// 380: a value the property cannot take. Only the host objects raise it.
Error invalidPropertyValue() { return {380, u"Valor de propiedad no válido"}; }

// Pixels become twips by the factor and the nearest whole number (halves to even).
Single toTwips(int pixels, bool horizontal)
{
    return static_cast<Single>(std::nearbyint(pixels * twipsPerPixel(horizontal)));
}

// Twips become pixels by whole-number division, except that a value within two twips of a whole
// pixel is that pixel. Twips computed from pixels are each off by up to half a twip (nearest whole
// number), and sums of them such as a dragged control's new position (cursor minus grab offset,
// that offset itself cursor minus position) by up to one and a half: at a factor such as 7.5 or
// 13.09 a plain division would put them one pixel short.
int toPixels(const Variant& twips, bool horizontal)
{
    constexpr double kRoundingTwips = 2;
    const double factor = twipsPerPixel(horizontal);
    const double pixels = twips.toDouble() / factor;
    const double nearest = std::round(pixels);
    const double whole = std::abs(pixels - nearest) * factor <= kRoundingTwips ? nearest : std::trunc(pixels);
    if (!(std::abs(whole) <= std::numeric_limits<int>::max()))
        throw errors::overflow();
    return static_cast<int>(whole);
}

// One member of a kind of host object. A null `put` makes the property read only; a row with
// `call` is a method.
struct Member {
    std::string_view name;
    Variant (*get)(QWidget&) = nullptr;
    void (*put)(QWidget&, const Variant&) = nullptr;
    Variant (*call)(QWidget&, std::span<Variant>) = nullptr;
};
using Rows = std::span<const Member>;


// Outer geometry: a window's frame included, a control's relative to its parent (for a child
// widget the frame geometry is its geometry).
QRect outer(const QWidget& w) { return w.frameGeometry(); }

// The frame around a window's inside, which a new outer size keeps.
QSize frameExtra(const QWidget& w) { return outer(w).size() - w.size(); }

// Move: left [, top [, width [, height]]]; every value is converted before anything changes.
Variant move(QWidget& w, std::span<Variant> args)
{
    if (args.empty() || args.size() > 4)
        throw errors::wrongArgumentCount();
    const QRect now = outer(w);
    int side[4] = {now.x(), now.y(), now.width(), now.height()};
    for (std::size_t i = 0; i < args.size(); ++i)
        side[i] = toPixels(args[i], i % 2 == 0);
    const QSize extra = frameExtra(w);
    w.move(side[0], side[1]);
    w.resize(side[2] - extra.width(), side[3] - extra.height());
    return {};
}

Variant zOrder(QWidget& w, std::span<Variant> args)
{
    if (args.size() > 1)
        throw errors::wrongArgumentCount();
    const Integer position = args.empty() ? Integer{0} : args.front().toInteger();
    if (position == 0)
        w.raise();
    else if (position == 1)
        w.lower();
    else
        throw errors::invalidCall();
    return {};
}

Variant handle(QWidget& w) { return handleOf(&w); }

constexpr Member kHandle[] = {{"hWnd", handle}};

constexpr Member kPlacement[] = {
    {"Left", [](QWidget& w) { return Variant(toTwips(outer(w).x(), true)); },
     [](QWidget& w, const Variant& v) { w.move(toPixels(v, true), outer(w).y()); }},
    {"Top", [](QWidget& w) { return Variant(toTwips(outer(w).y(), false)); },
     [](QWidget& w, const Variant& v) { w.move(outer(w).x(), toPixels(v, false)); }},
    {"Width", [](QWidget& w) { return Variant(toTwips(outer(w).width(), true)); },
     [](QWidget& w, const Variant& v) { w.resize(toPixels(v, true) - frameExtra(w).width(), w.height()); }},
    {"Height", [](QWidget& w) { return Variant(toTwips(outer(w).height(), false)); },
     [](QWidget& w, const Variant& v) { w.resize(w.width(), toPixels(v, false) - frameExtra(w).height()); }},
    {"Visible", [](QWidget& w) { return Variant(ownVisible(w)); },
     [](QWidget& w, const Variant& v) { w.setVisible(v.toBoolean()); }},
    {"Move", nullptr, nullptr, move},
    {"ZOrder", nullptr, nullptr, zOrder},
};

constexpr Member kDrawing[] = {
    {"hdc", handle},
    {"ScaleWidth", [](QWidget& w) { return Variant(toTwips(w.width(), true)); }},
    {"ScaleHeight", [](QWidget& w) { return Variant(toTwips(w.height(), false)); }},
};

void showIn(QWidget& w, platform::WindowState state)
{
    switch (state) {
    case platform::WindowState::Minimised: w.showMinimized(); break;
    case platform::WindowState::Maximised: w.showMaximized(); break;
    case platform::WindowState::Normal: w.showNormal(); break;
    }
}

constexpr Member kWindow[] = {
    {"WindowState",
     [](QWidget& w) { return Variant(static_cast<Integer>(platform::view::windowStateNumber(w.isMinimized(), w.isMaximized()))); },
     [](QWidget& w, const Variant& v) { showIn(w, platform::view::windowStateOf(v.toInteger())); }},
    {"Caption", [](QWidget& w) { return Variant(toText(w.windowTitle())); },
     [](QWidget& w, const Variant& v) {
         const Text text = v.toText();
         w.setWindowTitle(toQString(text));
     }},
};

// Only made for a QProgressBar (see hostProgressBar).
QProgressBar& bar(QWidget& w) { return static_cast<QProgressBar&>(w); }

constexpr Member kProgress[] = {
    {"Value", [](QWidget& w) { return Variant(static_cast<Single>(std::max(bar(w).value(), bar(w).minimum()))); },
     [](QWidget& w, const Variant& v) {
         const Long value = v.toLong();
         if (value < bar(w).minimum() || value > bar(w).maximum())
             throw invalidPropertyValue();
         bar(w).setValue(value);
     }},
};

// Each kind of host object is the groups of members it has.
constexpr Rows kFormKind[] = {kHandle, kPlacement, kDrawing, kWindow};
constexpr Rows kControlKind[] = {kHandle, kPlacement};
constexpr Rows kPictureKind[] = {kHandle, kPlacement, kDrawing};
constexpr Rows kProgressKind[] = {kHandle, kPlacement, kProgress};
constexpr Rows kStatusBarKind[] = {kHandle};

class WidgetObject final : public Object {
public:
    WidgetObject(QWidget* widget, std::span<const Rows> kind) : m_widget(widget), m_kind(kind) {}

    Variant invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override
    {
        QWidget* widget = m_widget.data();
        if (widget == nullptr)
            throw errors::objectNotSet();
        const Member& member = find(name);
        switch (kind) {
        case InvokeKind::Get:
            if (member.get == nullptr)
                throw errors::memberNotSupported();
            if (!args.empty())
                throw errors::wrongArgumentCount();
            return member.get(*widget);
        case InvokeKind::Put:
            if (member.get == nullptr)
                throw errors::memberNotSupported();
            if (member.put == nullptr || args.size() != 1)
                throw errors::wrongArgumentCount();
            member.put(*widget, args.front());
            return {};
        case InvokeKind::Method:
            if (member.call != nullptr)
                return member.call(*widget, args);
            if (!args.empty())
                throw errors::memberNotSupported();
            return member.get(*widget);
        }
        return {};
    }

private:
    const Member& find(std::string_view name) const
    {
        for (const Rows rows : m_kind)
            for (const Member& member : rows)
                if (utf::equalNames(member.name, name))
                    return member;
        throw errors::memberNotSupported();
    }

    QPointer<QWidget> m_widget;
    std::span<const Rows> m_kind;
};

// A picture handed over for the menu operations: its handle is its only member and names a copy
// of the picture until the object goes.
class BitmapObject final : public Object {
public:
    explicit BitmapObject(const QIcon& picture) : m_handle(platform::qt::holdBitmap(picture)) {}
    ~BitmapObject() override { platform::qt::releaseBitmap(m_handle); }
    BitmapObject(const BitmapObject&) = delete;
    BitmapObject& operator=(const BitmapObject&) = delete;

    Variant invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override
    {
        if (!name.empty() && !utf::equalNames(name, "Handle"))
            throw errors::memberNotSupported();
        if (kind == InvokeKind::Put || !args.empty())
            throw errors::wrongArgumentCount();
        return m_handle;
    }
    /// Identifier 0 is the default value, for callers that ask by number.
    Variant invoke(DispId id, InvokeKind kind, std::span<Variant> args) override
    {
        if (id != 0)
            throw errors::memberNotSupported();
        return invoke(std::string_view(), kind, args);
    }

private:
    Long m_handle;
};

} // namespace

std::shared_ptr<Object> hostBitmap(const QPixmap& pixmap) { return std::make_shared<BitmapObject>(QIcon(pixmap)); }
std::shared_ptr<Object> hostBitmap(const QIcon& icon) { return std::make_shared<BitmapObject>(icon); }

std::shared_ptr<Object> hostWindow(QWidget* widget) { return std::make_shared<WidgetObject>(widget, kFormKind); }
std::shared_ptr<Object> hostControl(QWidget* widget) { return std::make_shared<WidgetObject>(widget, kControlKind); }
std::shared_ptr<Object> hostPicture(QWidget* widget) { return std::make_shared<WidgetObject>(widget, kPictureKind); }
std::shared_ptr<Object> hostProgressBar(QProgressBar* bar) { return std::make_shared<WidgetObject>(bar, kProgressKind); }
std::shared_ptr<Object> hostStatusBar(QStatusBar* bar) { return std::make_shared<WidgetObject>(bar, kStatusBarKind); }

} // namespace Kor2_Sys::qt
