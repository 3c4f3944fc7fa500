// Menu icons on a host's real menus: pictures beside the items of its menu bar's drop-down menus,
// and the entry the library appends to the stand-in for a window's system menu.
#include <Kor2_Sys/CIconosMenu.h>
#include <Kor2_Sys/qt/QtHostObject.h>

#include "QtWindowTest.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QVBoxLayout>

using namespace Kor2_Sys;

namespace {

QPixmap filled(Qt::GlobalColor colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return pixmap;
}

Long handle(const std::shared_ptr<Object>& host, std::string_view member = "") { return getProperty(*host, member).toLong(); }

/// The colour the item's icon shows in a state; invalid when it shows none.
QColor shown(const QAction* action, QIcon::State state = QIcon::Off)
{
    return action->icon().isNull() ? QColor()
                                   : action->icon().pixmap(QSize(16, 16), 1.0, QIcon::Normal, state).toImage().pixelColor(8, 8);
}

/// The texts of every message box raised while the picture goes onto item (menu, item) of `form`.
QStringList putIcon(Integer menu, Integer item, QWidget* form)
{
    QStringList texts;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            texts << box->text();
            box->accept();
        }
    });
    answer.start(0);
    global<CIconosMenu>().I_insertar_iconos_en_menu(menu, item, qt::hostBitmap(filled(Qt::red)), qt::hostWindow(form));
    return texts;
}

const QString kNoMenu = QStringLiteral("This form doesn't have a menu!");
const QString kNoSubmenu = QStringLiteral("This form doesn't have a submenu!");

// A main window: "&Archivo" (Abrir, a separator, Salir), "&Ver" (Rejilla, checked) and "Ayuda", a
// plain action on the bar.
class MenuIcons : public kor2test::QtWindows {
protected:
    MenuIcons()
    {
        QMenu* file = window.menuBar()->addMenu(QStringLiteral("&Archivo"));
        items = {file->addAction(QStringLiteral("&Abrir")), file->addSeparator(), file->addAction(QStringLiteral("&Salir")),
                 window.menuBar()->addMenu(QStringLiteral("&Ver"))->addAction(QStringLiteral("&Rejilla"))};
        items[3]->setCheckable(true);
        items[3]->setChecked(true);
        window.menuBar()->addAction(QStringLiteral("Ayuda"));
    }

    QMainWindow window;
    QList<QAction*> items;  ///< Abrir, separator, Salir, Rejilla
};

struct PlaceCase {
    const char* label;
    Integer menu, item;
    int placed;  ///< index into `items` that gets the picture; -1: none
    QString box;
};
void PrintTo(const PlaceCase& c, std::ostream* out) { *out << c.label; }

class IconPlace : public MenuIcons, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(IconPlace, PictureOnTheItemInBothStatesOrOneBox)
{
    const PlaceCase& c = GetParam();
    EXPECT_EQ(putIcon(c.menu, c.item, &window), c.box.isEmpty() ? QStringList{} : QStringList{c.box});
    for (int i = 0; i < items.size(); ++i) {
        const QColor expected = i == c.placed ? QColor(Qt::red) : QColor();
        EXPECT_EQ(shown(items[i], QIcon::Off), expected) << "item " << i;
        EXPECT_EQ(shown(items[i], QIcon::On), expected) << "item " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Positions, IconPlace, ::testing::Values(
    PlaceCase{"firstItem", 0, 0, 0, {}},
    PlaceCase{"separatorsCount", 0, 2, 2, {}},
    PlaceCase{"checkedItem", 1, 0, 3, {}},
    PlaceCase{"itemPastTheEnd", 0, 3, -1, {}},
    PlaceCase{"negativeItem", 0, -1, -1, {}},
    PlaceCase{"plainActionOnTheBar", 2, 0, -1, kNoSubmenu},
    PlaceCase{"menuPastTheEnd", 3, 0, -1, kNoSubmenu},
    PlaceCase{"negativeMenu", -1, 0, -1, kNoSubmenu}),
    [](const auto& info) { return std::string(info.param.label); });

// Which bar is a window's. Each case makes a window around `bar` (one drop-down with one item).
struct BarCase {
    const char* label;
    QWidget* (*window)(QMenuBar* bar);
    bool hasMenu;
};
void PrintTo(const BarCase& c, std::ostream* out) { *out << c.label; }

class WhichBar : public kor2test::QtWindows, public ::testing::WithParamInterface<BarCase> {};

TEST_P(WhichBar, RegisteredOrLaidOutButNotAnEmptyOne)
{
    const QPointer<QMenuBar> bar = new QMenuBar;
    QAction* item = bar->addMenu(QStringLiteral("&Plano"))->addAction(QStringLiteral("&Girar"));
    const std::unique_ptr<QWidget> form(GetParam().window(bar));
    EXPECT_EQ(putIcon(0, 0, form.get()), GetParam().hasMenu ? QStringList{} : QStringList{kNoMenu});
    if (bar) {
        EXPECT_EQ(shown(item), GetParam().hasMenu ? QColor(Qt::red) : QColor());
        if (!bar->parent())
            delete bar;
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, WhichBar, ::testing::Values(
    BarCase{"plainWindow", [](QMenuBar*) { return new QWidget; }, false},
    BarCase{"emptyMainWindowBar", [](QMenuBar*) -> QWidget* { auto* w = new QMainWindow; w->menuBar(); return w; }, false},
    BarCase{"registered", [](QMenuBar* bar) { auto* w = new QWidget; bar->setParent(w); qt::registerMenuBar(w, bar); return w; }, true},
    BarCase{"registeredThenDestroyed", [](QMenuBar* bar) { auto* w = new QWidget; qt::registerMenuBar(w, bar); delete bar; return w; }, false},
    BarCase{"layoutBar", [](QMenuBar* bar) { auto* w = new QWidget; (new QVBoxLayout(w))->setMenuBar(bar); return w; }, true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(MenuIcons, EachStateShowsItsOwnPictureAndAReleasedOneNone)
{
    auto& ws = platform::windowSystem();
    const Long menu = ws.subMenu(ws.menuBar(handle(qt::hostWindow(&window), "hWnd")), 1);
    const auto off = qt::hostBitmap(filled(Qt::green));
    const auto on = qt::hostBitmap(QIcon(filled(Qt::blue)));
    EXPECT_EQ(handle(off), handle(off, "handle"));
    ws.setMenuItemBitmaps(menu, 0, platform::menuflags::kByPosition, handle(off), handle(on));
    EXPECT_EQ(shown(items[3], QIcon::Off), QColor(Qt::green));
    EXPECT_EQ(shown(items[3], QIcon::On), QColor(Qt::blue));

    const Long released = handle(qt::hostBitmap(filled(Qt::red)));
    ws.setMenuItemBitmaps(menu, 0, platform::menuflags::kByPosition, released, released);
    EXPECT_TRUE(items[3]->icon().isNull());
}

class SystemMenu : public MenuIcons {
protected:
    static void appendTwice(Long window)
    {
        global<CIconosMenu>().I_inserta_espacio_despues_icono(window);
        global<CIconosMenu>().I_inserta_espacio_despues_icono(window);
    }
    static Long hwnd(QWidget* w) { return handle(qt::hostControl(w), "hWnd"); }
};

TEST_F(SystemMenu, EveryCallAppendsASeparatorAndTheItemOfCommand512)
{
    const qsizetype own = qt::systemMenu(&window)->actions().size();
    appendTwice(hwnd(&window));
    const QList<QAction*> added = qt::systemMenu(&window)->actions().mid(own);
    ASSERT_EQ(added.size(), 4);
    EXPECT_TRUE(added[0]->isSeparator() && added[2]->isSeparator());
    EXPECT_EQ(added[1]->text(), QStringLiteral("&Informationen"));
    EXPECT_EQ(added[3]->text(), QStringLiteral("&Informationen"));

    QSignalSpy chosen(qt::systemMenuNotifier(&window), &qt::SystemMenuNotifier::commandChosen);
    added[3]->trigger();
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen[0][0].toInt(), 512);
}

TEST_F(SystemMenu, HandlesOfNoWindowChangeNothing)
{
    auto* child = new QWidget(&window);
    auto gone = std::make_unique<QWidget>();
    const Long dead = hwnd(gone.get());
    gone.reset();
    const qsizetype before = qt::systemMenu(&window)->actions().size();
    for (const Long h : {Long{0}, hwnd(child), dead, handle(qt::hostBitmap(filled(Qt::red)))})
        appendTwice(h);
    EXPECT_EQ(qt::systemMenu(&window)->actions().size(), before);
    EXPECT_TRUE(child->findChildren<QMenu*>().isEmpty()) << "a child window gets no system menu";
}

TEST_F(SystemMenu, PopsUpOnAltSpaceAndOnARightClickOnTheFrame)
{
    QMenu* menu = qt::systemMenu(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_Space, Qt::AltModifier);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();

    const QPointF frame(5, -10);
    QMouseEvent click(QEvent::NonClientAreaMouseButtonPress, frame, window.mapToGlobal(frame), Qt::RightButton,
                      Qt::RightButton, {});
    QApplication::sendEvent(&window, &click);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
}

} // namespace
