// The host's menus for the library's menu operations: menu bars and drop-down menus known by
// their handles, pictures beside their items, the stand-in for a window's system menu and the
// commands of the items the library appends.
#include <Kor2_Sys/qt/QtHostObject.h>

#include "platform/qt/HostHandles.h"
#include "platform/qt/QtText.h"
#include "platform/qt/QtWindowSystem.h"

#include <QAction>
#include <QEvent>
#include <QIcon>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QShortcut>

namespace Kor2_Sys::platform::qt {
namespace {

// On a window: the handle of the menu bar the host registered for it. A handle rather than a
// pointer, so that a bar destroyed since names nothing.
constexpr const char* kMenuBarProperty = "kor2MenuBar";
// On an item the library appended: the command it delivers.
constexpr const char* kCommandProperty = "kor2Command";
// The stand-in system menu is a direct child of its window under this name.
constexpr const char* kSystemMenuName = "kor2SystemMenu";

bool isMenu(const QWidget* widget)
{
    return qobject_cast<const QMenu*>(widget) != nullptr || qobject_cast<const QMenuBar*>(widget) != nullptr;
}

QWidget* menuOf(Long handle)
{
    QWidget* widget = widgetOf(handle);
    return widget != nullptr && isMenu(widget) ? widget : nullptr;
}

QMenuBar* menuBarOf(QWidget& window)
{
    bool registered = false;
    if (const Long bar = window.property(kMenuBarProperty).toInt(&registered); registered)
        if (auto* menuBar = qobject_cast<QMenuBar*>(widgetOf(bar)))
            return menuBar;
    // QMainWindow::menuBar() makes an empty bar on first call; one that holds nothing is no menu.
    if (auto* main = qobject_cast<QMainWindow*>(&window)) {
        auto* bar = qobject_cast<QMenuBar*>(main->menuWidget());
        return bar != nullptr && !bar->actions().isEmpty() ? bar : nullptr;
    }
    return window.layout() != nullptr ? qobject_cast<QMenuBar*>(window.layout()->menuBar()) : nullptr;
}

QAction* actionAt(const QWidget& menu, Long position)
{
    const QList<QAction*> actions = menu.actions();
    return position >= 0 && position < actions.size() ? actions[position] : nullptr;
}

// The item carrying `command`, in this menu or any it opens.
QAction* actionWithCommand(const QWidget& menu, Long command)
{
    for (QAction* action : menu.actions()) {
        bool held = false;
        if (action->property(kCommandProperty).toInt(&held) == command && held)
            return action;
        if (action->menu() != nullptr)
            if (QAction* inner = actionWithCommand(*action->menu(), command))
                return inner;
    }
    return nullptr;
}

// The window a menu serves: a drop-down menu hangs from its bar or from the menu that opens it,
// the stand-in system menu from its window.
QWidget* ownerWindow(QWidget* menu)
{
    QWidget* widget = menu;
    while (widget != nullptr && isMenu(widget))
        widget = widget->parentWidget();
    return widget != nullptr ? widget->window() : nullptr;
}

void addPictures(QIcon& icon, const QIcon& picture, QIcon::State state)
{
    QList<QSize> sizes = picture.availableSizes();
    if (sizes.isEmpty())  // a scalable picture: the sizes a menu asks for
        sizes = {QSize(16, 16), QSize(32, 32)};
    for (const QSize& size : sizes)
        icon.addPixmap(picture.pixmap(size, 1.0), QIcon::Normal, state);
}

// Right clicks on the frame reach the window only where Qt reports them as non-client events.
class FrameClicks final : public QObject {
public:
    explicit FrameClicks(QMenu* menu) : QObject(menu), m_menu(menu) {}

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::NonClientAreaMouseButtonPress)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton)
            return false;
        m_menu->popup(mouse->globalPosition().toPoint());
        return true;
    }

private:
    QMenu* m_menu;  // the parent: this filter dies with it
};

QMenu* standInSystemMenu(QWidget& window)
{
    if (auto* menu = window.findChild<QMenu*>(QLatin1String(kSystemMenuName), Qt::FindDirectChildrenOnly))
        return menu;
    auto* menu = new QMenu(&window);
    menu->setObjectName(QLatin1String(kSystemMenuName));
    QAction* restore = menu->addAction(QStringLiteral("&Restaurar"), &window, &QWidget::showNormal);
    QAction* minimise = menu->addAction(QStringLiteral("Mi&nimizar"), &window, &QWidget::showMinimized);
    QAction* maximise = menu->addAction(QStringLiteral("Ma&ximizar"), &window, &QWidget::showMaximized);
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Cerrar\tAlt+F4"), &window, &QWidget::close);
    QObject::connect(menu, &QMenu::aboutToShow, menu, [&window, restore, minimise, maximise] {
        const bool fixedSize = window.minimumSize() == window.maximumSize();
        restore->setEnabled(window.isMaximized() || window.isMinimized());
        minimise->setEnabled(!window.isMinimized());
        maximise->setEnabled(!window.isMaximized() && !fixedSize);
    });

    auto* key = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), &window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, menu, [menu, &window] { menu->popup(window.mapToGlobal(QPoint(0, 0))); });
    window.installEventFilter(new FrameClicks(menu));
    return menu;
}

} // namespace

Long QtWindowSystem::menuBar(Long window)
{
    QWidget* widget = widgetOf(window);
    return widget != nullptr ? handleOf(menuBarOf(*widget)) : 0;
}

Long QtWindowSystem::subMenu(Long menu, Long position)
{
    const QWidget* widget = menuOf(menu);
    const QAction* item = widget != nullptr ? actionAt(*widget, position) : nullptr;
    return item != nullptr ? handleOf(item->menu()) : 0;
}

void QtWindowSystem::setMenuItemBitmaps(Long menu, Long item, Long flags, Long unchecked, Long checked)
{
    const QWidget* widget = menuOf(menu);
    if (widget == nullptr)
        return;
    QAction* action = (flags & menuflags::kByPosition) != 0 ? actionAt(*widget, item) : actionWithCommand(*widget, item);
    if (action == nullptr)
        return;
    QIcon icon;
    addPictures(icon, bitmapOf(unchecked), QIcon::Off);
    addPictures(icon, bitmapOf(checked), QIcon::On);
    action->setIcon(icon);
    // The host asked for this picture: it shows even where the desktop hides menu icons.
    action->setIconVisibleInMenu(!icon.isNull());
}

Long QtWindowSystem::systemMenu(Long window)
{
    QWidget* widget = widgetOf(window);
    if (widget == nullptr || !widget->isWindow() || isMenu(widget))
        return 0;
    return handleOf(standInSystemMenu(*widget));
}

void QtWindowSystem::appendMenuItem(Long menu, Long flags, Long command, const Text& text)
{
    QWidget* target = menuOf(menu);
    if (target == nullptr)
        return;
    auto* action = new QAction(target);
    if ((flags & menuflags::kSeparator) != 0) {
        action->setSeparator(true);
    } else {
        action->setText(toQString(text));
        action->setProperty(kCommandProperty, command);
        QObject::connect(action, &QAction::triggered, target, [target, command] {
            if (QWidget* window = ownerWindow(target))
                Q_EMIT Kor2_Sys::qt::systemMenuNotifier(window)->commandChosen(command);
        });
    }
    target->addAction(action);
}

} // namespace Kor2_Sys::platform::qt

namespace Kor2_Sys::qt {

void registerMenuBar(QWidget* window, QMenuBar* bar)
{
    if (window != nullptr)
        window->setProperty(platform::qt::kMenuBarProperty, bar != nullptr ? QVariant(platform::qt::handleOf(bar)) : QVariant());
}

QMenu* systemMenu(QWidget* window)
{
    return window != nullptr ? platform::qt::standInSystemMenu(*window->window()) : nullptr;
}

SystemMenuNotifier* systemMenuNotifier(QWidget* window)
{
    if (window == nullptr)
        return nullptr;
    QWidget* owner = window->window();
    if (auto* notifier = owner->findChild<SystemMenuNotifier*>(QString(), Qt::FindDirectChildrenOnly))
        return notifier;
    return new SystemMenuNotifier(owner);
}

} // namespace Kor2_Sys::qt
