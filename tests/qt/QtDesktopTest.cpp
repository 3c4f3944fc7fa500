// What only a real desktop shows of the host objects and the desktop utilities (their tables run
// on every backend in tests/desktop, a picture copy's pixels included): the adapters' handles and
// members, and which bar is a window's.
#include <Kor2_Sys/CIconosMenu.h>
#include <Kor2_Sys/qt/QtHostObject.h>

#include "QtWindowTest.h"

using namespace Kor2_Sys;
using kor2test::errorOf;

namespace {

using QtDesktop = kor2test::QtWindows;

Long hwnd(QWidget* widget) { return getProperty(*qt::hostControl(widget), "hWnd").toLong(); }

struct AdapterKind {
    const char* label;
    std::shared_ptr<Object> (*make)(QWidget*);
    QWidget* (*widget)(QWidget* parent);
};
const AdapterKind kKinds[] = {
    {"window", qt::hostWindow, [](QWidget*) { return new QWidget; }},
    {"control", qt::hostControl, [](QWidget* p) -> QWidget* { return new QLabel(p); }},
    {"picture", qt::hostPicture, [](QWidget* p) { return new QWidget(p); }},
    {"progressBar", [](QWidget* w) { return qt::hostProgressBar(static_cast<QProgressBar*>(w)); }, [](QWidget* p) -> QWidget* { return new QProgressBar(p); }},
    {"statusBar", [](QWidget* w) { return qt::hostStatusBar(static_cast<QStatusBar*>(w)); }, [](QWidget* p) -> QWidget* { return new QStatusBar(p); }},
};
class EveryAdapter : public QtDesktop, public ::testing::WithParamInterface<AdapterKind> {};

TEST_P(EveryAdapter, HandleIsStableAndNeverNative)
{
    QWidget parent;
    QWidget* widget = GetParam().widget(&parent);
    const auto host = GetParam().make(widget);
    const Variant handle = getProperty(*host, "hWnd");
    EXPECT_NE(handle.toLong(), 0);
    EXPECT_EQ(getProperty(*host, "HWND"), handle) << "names are matched without case";
    EXPECT_EQ(getProperty(*GetParam().make(widget), "hwnd"), handle) << "a second adapter, the same handle";
    EXPECT_NE(hwnd(&parent), handle.toLong());
    EXPECT_FALSE(widget->testAttribute(Qt::WA_NativeWindow)) << "a handle makes no native window";
    EXPECT_EQ(errorOf([&] { getProperty(*host, "NoSuchMember"); }), 438);
    EXPECT_EQ(errorOf([&] { putProperty(*host, "hWnd", Long{1}); }), 450) << "the handle is read only";
    delete widget;
    EXPECT_EQ(errorOf([&] { getProperty(*host, "NoSuchMember"); }), 91);
    EXPECT_EQ(platform::windowSystem().createMemoryDrawing(handle.toLong()), nullptr) << "a dead handle names nothing";
}
INSTANTIATE_TEST_SUITE_P(AdapterKinds, EveryAdapter, ::testing::ValuesIn(kKinds), kor2test::labelled<AdapterKind>);

// Values go in the bar's own range, halves to even; one outside it is refused and changes nothing.
TEST_F(QtDesktop, ProgressValueInTheBarsOwnRange)
{
    const struct {
        Variant value;
        int shown;   ///< the bar's value afterwards
        Long error;  ///< 0: none
    } rows[] = {{Long{10}, 10, 0}, {Double{36.5}, 36, 0}, {Long{0}, 20, 380}, {Long{61}, 20, 380}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.value.toDouble());
        QProgressBar bar;
        bar.setRange(10, 60);
        bar.setValue(20);
        const auto host = qt::hostProgressBar(&bar);
        EXPECT_EQ(errorOf([&] { putProperty(*host, "value", r.value); }), r.error);
        EXPECT_EQ(getProperty(*host, "Value"), Variant(static_cast<Single>(r.shown)));
    }
}

// Which bar is a window's: each case makes a window around `bar` (one drop-down with one item).
struct BarCase {
    const char* label;
    QWidget* (*window)(QMenuBar* bar);
    bool hasMenu;
};
class WhichBar : public QtDesktop, public ::testing::WithParamInterface<BarCase> {};

TEST_P(WhichBar, RegisteredOrLaidOutButNotAnEmptyOne)
{
    const QPointer<QMenuBar> bar = new QMenuBar;
    QAction* item = bar->addMenu(QStringLiteral("&Plano"))->addAction(QStringLiteral("&Girar"));
    bar->addAction(QStringLiteral("Ayuda"));
    const std::unique_ptr<QWidget> form(GetParam().window(bar));
    const auto put = [&](Integer menu) {
        return kor2test::answerNextBox([&] {
            global<CIconosMenu>().I_insertar_iconos_en_menu(menu, 0, qt::hostBitmap(QPixmap(16, 16)), qt::hostWindow(form.get()));
        });
    };
    EXPECT_EQ(put(0), GetParam().hasMenu ? QString() : QStringLiteral("This form doesn't have a menu!"));
    EXPECT_EQ(bar && !item->icon().isNull(), GetParam().hasMenu);
    EXPECT_EQ(put(1), QString::fromUtf8(GetParam().hasMenu ? "This form doesn't have a submenu!" : "This form doesn't have a menu!"))
        << "a plain action on the bar opens no menu";
    if (bar && !bar->parent())
        delete bar;
}
INSTANTIATE_TEST_SUITE_P(Windows, WhichBar, ::testing::Values(
    BarCase{"plainWindow", [](QMenuBar*) { return new QWidget; }, false},
    BarCase{"emptyMainWindowBar", [](QMenuBar*) -> QWidget* { auto* w = new QMainWindow; w->menuBar(); return w; }, false},
    BarCase{"registered", [](QMenuBar* bar) { auto* w = new QWidget; bar->setParent(w); qt::registerMenuBar(w, bar); return w; }, true},
    BarCase{"registeredThenDestroyed", [](QMenuBar* bar) { auto* w = new QWidget; qt::registerMenuBar(w, bar); delete bar; return w; }, false},
    BarCase{"layoutBar", [](QMenuBar* bar) { auto* w = new QWidget; (new QVBoxLayout(w))->setMenuBar(bar); return w; }, true}),
    kor2test::labelled<BarCase>);

// A side in twips lands on the pixel it falls in, or on the next one when it is within two twips of
// it, as sums of twips rounded from pixels are; pixels read back are whole twips again.
TEST_F(QtDesktop, TwipsLandOnThePixelTheyFallInOrOneTheyNearlyReach)
{
    QWidget parent;
    auto* label = new QLabel(&parent);
    const auto host = qt::hostControl(label);
    const double x = platform::windowSystem().twipsPerPixelX();
    for (const auto& [twips, pixel] : {std::pair(70 * x - 1.5, 70), std::pair(70 * x - 2.5, 69), std::pair(70 * x + 1.5, 70),
                                       std::pair(-70 * x + 1.5, -70), std::pair(-70 * x - 2.5, -70)}) {
        putProperty(*host, "Left", Single(static_cast<float>(twips)));
        EXPECT_EQ(label->x(), pixel) << twips << " twips";
    }
    EXPECT_EQ(getProperty(*host, "Left").toDouble(), -70 * x);
}

} // namespace
