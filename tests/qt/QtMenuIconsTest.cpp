// Menu icons on a host's real menus: pictures beside the items of its menu bar's drop-down menus,
// and the entry the library appends to the stand-in for a window's system menu.
#include <Kor2_Sys/CIconosMenu.h>
#include <Kor2_Sys/qt/QtHostObject.h>

#include "QtWindowTest.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
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

/// The colour the item's icon shows in a state; invalid when it shows none.
QColor shown(const QAction* action, QIcon::State state)
{
    if (action->icon().isNull())
        return {};
    return action->icon().pixmap(QSize(16, 16), 1.0, QIcon::Normal, state).toImage().pixelColor(8, 8);
}

/// The texts of the message boxes raised while `act` runs, each answered OK.
QStringList boxesWhile(const std::function<void()>& act)
{
    QStringList texts;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            texts << box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    answer.start(0);
    act();
    return texts;
}

// A main window: "&Archivo" (Abrir, a separator, Salir), "&Ver" (Rejilla, checkable, checked)
// and "Ayuda", a plain action on the bar.
class MenuIcons : public kor2test::QtWindows {
protected:
    MenuIcons()
    {
        QMenu* file = window.menuBar()->addMenu(QStringLiteral("&Archivo"));
        items = {file->addAction(QStringLiteral("&Abrir")), file->addSeparator(), file->addAction(QStringLiteral("&Salir"))};
        QAction* grid = window.menuBar()->addMenu(QStringLiteral("&Ver"))->addAction(QStringLiteral("&Rejilla"));
        grid->setCheckable(true);
        grid->setChecked(true);
        items.append(grid);
        window.menuBar()->addAction(QStringLiteral("Ayuda"));
    }

    QStringList putIcon(Integer nMenu, Integer nSubmenu, QWidget* form)
    {
        return boxesWhile([&] { global<CIconosMenu>().I_insertar_iconos_en_menu(nMenu, nSubmenu, picture, qt::hostWindow(form)); });
    }

    QMainWindow window;
    QList<QAction*> items;  ///< Abrir, separator, Salir, Rejilla
    Variant picture = qt::hostBitmap(filled(Qt::red));
};

struct PlaceCase {
    const char* label;
    Integer nMenu, nSubmenu;
    int item;             ///< index into `items` that gets the picture; -1: none
    const char16_t* box;  ///< the one message box; null: none
};
void PrintTo(const PlaceCase& c, std::ostream* out) { *out << c.label; }

class IconPlace : public MenuIcons, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(IconPlace, PictureOnTheItemForBothStatesOrOneBox)
{
    const PlaceCase& c = GetParam();
    const QStringList boxes = putIcon(c.nMenu, c.nSubmenu, &window);
    EXPECT_EQ(boxes, c.box ? QStringList{QString::fromUtf16(c.box)} : QStringList{});
    for (int i = 0; i < items.size(); ++i) {
        const QColor expected = i == c.item ? QColor(Qt::red) : QColor();
        EXPECT_EQ(shown(items[i], QIcon::Off), expected) << "item " << i;
        EXPECT_EQ(shown(items[i], QIcon::On), expected) << "item " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Positions, IconPlace, ::testing::Values(
    PlaceCase{"firstItem", 0, 0, 0, nullptr},
    PlaceCase{"separatorsCount", 0, 2, 2, nullptr},
    PlaceCase{"checkedItem", 1, 0, 3, nullptr},
    PlaceCase{"itemPastTheEnd", 0, 3, -1, nullptr},
    PlaceCase{"negativeItem", 0, -1, -1, nullptr},
    PlaceCase{"plainActionOnTheBar", 2, 0, -1, u"This form doesn't have a submenu!"},
    PlaceCase{"menuPastTheEnd", 3, 0, -1, u"This form doesn't have a submenu!"},
    PlaceCase{"negativeMenu", -1, 0, -1, u"This form doesn't have a submenu!"}),
    [](const auto& info) { return std::string(info.param.label); });

// Which bar is a window's: each case makes a window and says whether it has a menu.
struct BarCase {
    const char* label;
    std::function<QWidget*(QMenuBar* bar)> window;  ///< `bar` has one drop-down menu with one item
    bool hasMenu;
};
void PrintTo(const BarCase& c, std::ostream* out) { *out << c.label; }

class WhichBar : public MenuIcons, public ::testing::WithParamInterface<BarCase> {};

TEST_P(WhichBar, RegisteredOrLaidOutBarsCountAnEmptyMainWindowBarDoesNot)
{
    auto* bar = new QMenuBar;
    QAction* item = bar->addMenu(QStringLiteral("&Plano"))->addAction(QStringLiteral("&Girar"));
    std::unique_ptr<QWidget> form(GetParam().window(bar));
    const QStringList boxes = putIcon(0, 0, form.get());
    EXPECT_EQ(boxes, GetParam().hasMenu ? QStringList{} : QStringList{QStringLiteral("This form doesn't have a menu!")});
    EXPECT_EQ(shown(item, QIcon::Off), GetParam().hasMenu ? QColor(Qt::red) : QColor());
    if (!bar->parent())
        delete bar;
}

INSTANTIATE_TEST_SUITE_P(Windows, WhichBar, ::testing::Values(
    BarCase{"plainWindow", [](QMenuBar*) { return new QWidget; }, false},
    BarCase{"emptyMainWindowBar", [](QMenuBar*) { auto* w = new QMainWindow; w->menuBar(); return w; }, false},
    BarCase{"registered", [](QMenuBar* bar) { auto* w = new QWidget; bar->setParent(w); qt::registerMenuBar(w, bar); return w; }, true},
    BarCase{"registeredThenDestroyed", [](QMenuBar*) {
        auto* w = new QWidget;
        auto* gone = new QMenuBar(w);
        gone->addMenu(QStringLiteral("&Plano"))->addAction(QStringLiteral("&Girar"));
        qt::registerMenuBar(w, gone);
        delete gone;
        return w;
    }, false},
    BarCase{"layoutBar", [](QMenuBar* bar) { auto* w = new QWidget; (new QVBoxLayout(w))->setMenuBar(bar); return w; }, true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(MenuIcons, EachStateShowsItsOwnPictureAndAReleasedOneNone)
{
    auto& ws = platform::windowSystem();
    const Long menu = ws.subMenu(ws.menuBar(getProperty(*qt::hostWindow(&window), "hWnd").toLong()), 1);
    ASSERT_NE(menu, 0);
    const auto off = qt::hostBitmap(filled(Qt::green));
    const auto on = qt::hostBitmap(QIcon(filled(Qt::blue)));
    EXPECT_EQ(getProperty(*off, ""), getProperty(*off, "handle"));
    EXPECT_NE(getProperty(*off, "").toLong(), getProperty(*on, "").toLong());

    ws.setMenuItemBitmaps(menu, 0, platform::menuflags::kByPosition, getProperty(*off, "").toLong(), getProperty(*on, "").toLong());
    EXPECT_EQ(shown(items[3], QIcon::Off), QColor(Qt::green));
    EXPECT_EQ(shown(items[3], QIcon::On), QColor(Qt::blue));
    EXPECT_TRUE(items[3]->isIconVisibleInMenu());

    const Long gone = getProperty(*qt::hostBitmap(filled(Qt::red)), "").toLong();
    ws.setMenuItemBitmaps(menu, 0, platform::menuflags::kByPosition, gone, gone);
    EXPECT_TRUE(items[3]->icon().isNull()) << "a handle that names no picture";
}

TEST_F(MenuIcons, PictureWithoutANumberIsReported)
{
    const QStringList boxes = boxesWhile([&] {
        global<CIconosMenu>().I_insertar_iconos_en_menu(0, 0, qt::hostControl(&window), qt::hostWindow(&window));
    });
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].endsWith(QStringLiteral(".I_ico"))) << boxes[0].toStdString();
    EXPECT_TRUE(items[0]->icon().isNull());
}

class SystemMenu : public MenuIcons {
protected:
    void appendTwice(Long handle)
    {
        global<CIconosMenu>().I_inserta_espacio_despues_icono(handle);
        global<CIconosMenu>().I_inserta_espacio_despues_icono(handle);
    }
    Long handle(QWidget* w) { return getProperty(*qt::hostControl(w), "hWnd").toLong(); }
};

TEST_F(SystemMenu, EveryCallAppendsASeparatorAndTheItemThatDeliversCommand512)
{
    appendTwice(handle(&window));
    const QList<QAction*> actions = qt::systemMenu(&window)->actions();
    ASSERT_GE(actions.size(), 4);
    const QList<QAction*> added = actions.mid(actions.size() - 4);
    for (int i : {0, 2})
        EXPECT_TRUE(added[i]->isSeparator());
    for (int i : {1, 3})
        EXPECT_EQ(added[i]->text(), QStringLiteral("&Informationen"));
    EXPECT_FALSE(actions[actions.size() - 5]->text().contains(QStringLiteral("Informationen")))
        << "the window's own entries come first";

    QSignalSpy chosen(qt::systemMenuNotifier(&window), &qt::SystemMenuNotifier::commandChosen);
    added[3]->trigger();
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen[0][0].toInt(), 512);
}

TEST_F(SystemMenu, HandlesOfNoWindowChangeNothing)
{
    auto* child = new QWidget(&window);
    auto gone = std::make_unique<QWidget>();
    const Long dead = handle(gone.get());
    gone.reset();
    const Long picture = getProperty(*this->picture.toObject(), "").toLong();
    const qsizetype before = qt::systemMenu(&window)->actions().size();
    for (const Long h : {Long{0}, handle(child), dead, picture})
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

    QMouseEvent frameClick(QEvent::NonClientAreaMouseButtonPress, QPointF(5, -10), window.mapToGlobal(QPointF(5, -10)),
                           Qt::RightButton, Qt::RightButton, {});
    QApplication::sendEvent(&window, &frameClick);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
}

} // namespace
