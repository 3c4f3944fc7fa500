#include "platform/qt/HostHandles.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPointer>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <limits>
#include <unordered_map>

namespace Kor2_Sys::platform::qt {
namespace {

// Not the platform's window id: asking a widget for one turns it into a native window, which
// changes how Qt paints, moves and re-parents it. The handle rides on the widget itself, so a
// second request finds it without a search, and the table answers the way back.
constexpr const char* kHandleProperty = "kor2Handle";
constexpr Long kFirstHandle = 0x10000;

// Widgets and pictures draw from one series of numbers, so that a picture's handle handed where a
// window's is expected names no window, as on the platform.
struct HandleTable {
    std::unordered_map<Long, QPointer<QWidget>> widgets;
    std::unordered_map<Long, QIcon> bitmaps;
    Long next = kFirstHandle;

    Long fresh()
    {
        Long handle = 0;
        do {
            handle = next;
            next = next == std::numeric_limits<Long>::max() ? kFirstHandle : next + 1;
        } while (widgets.contains(handle) || bitmaps.contains(handle));
        return handle;
    }
};

// Never destroyed: a widget that outlives the library's statics still drops its entry safely.
HandleTable& table()
{
    static auto* handles = new HandleTable;
    return *handles;
}

} // namespace

Long handleOf(QWidget* widget)
{
    if (widget == nullptr)
        return 0;
    bool held = false;
    if (const Long handle = widget->property(kHandleProperty).toInt(&held); held)
        return handle;
    HandleTable& handles = table();
    const Long handle = handles.fresh();
    handles.widgets.emplace(handle, widget);
    widget->setProperty(kHandleProperty, handle);
    QObject::connect(widget, &QObject::destroyed, [handle] { table().widgets.erase(handle); });
    return handle;
}

QWidget* widgetOf(Long handle)
{
    const HandleTable& handles = table();
    const auto it = handles.widgets.find(handle);
    return it != handles.widgets.end() ? it->second.data() : nullptr;
}

Long holdBitmap(const QIcon& picture)
{
    HandleTable& handles = table();
    const Long handle = handles.fresh();
    handles.bitmaps.emplace(handle, picture);
    return handle;
}

void releaseBitmap(Long handle)
{
    table().bitmaps.erase(handle);
}

QIcon bitmapOf(Long handle)
{
    const HandleTable& handles = table();
    const auto it = handles.bitmaps.find(handle);
    return it != handles.bitmaps.end() ? it->second : QIcon();
}

bool ownVisible(const QWidget& widget)
{
    return widget.testAttribute(Qt::WA_WState_ExplicitShowHide) ? !widget.isHidden() : !widget.isWindow();
}

double twipsPerPixel(bool horizontal)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? (horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY()) : 96;
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

} // namespace Kor2_Sys::platform::qt
