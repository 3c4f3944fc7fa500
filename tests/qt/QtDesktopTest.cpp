// The host-object kit on real widgets: the adapters' members, the handles the native window
// operations take, and the desktop utilities driving a host's own main window.
#include <Kor2_Sys/cImagen.h>
#include <Kor2_Sys/c_StatusBar.h>
#include <Kor2_Sys/qt/QtHostObject.h>

#include "Guards.h"
#include "QtWindowTest.h"

#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QProgressBar>
#include <QStatusBar>

using namespace Kor2_Sys;

namespace {

using QtHostObjects = kor2test::QtWindows;

// A failing case prints its label.
template <class Case>
    requires requires(const Case& c) { c.label; }
void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.label;
}

using kor2test::errorOf;

Variant call(Object& object, std::string_view member, std::vector<Variant> args)
{
    return object.invoke(member, InvokeKind::Method, args);
}

// One adapter per kind over its own widget, so each can be checked on what every kind shares.
struct AdapterKind {
    const char* label;
    std::function<std::shared_ptr<Object>(QWidget*)> make;
    std::function<QWidget*(QWidget*)> widget;  ///< made as a child of the given parent
};

const AdapterKind kKinds[] = {
    {"window", qt::hostWindow, [](QWidget*) { return new QWidget; }},
    {"control", qt::hostControl, [](QWidget* p) { return new QLabel(p); }},
    {"picture", qt::hostPicture, [](QWidget* p) { return new QWidget(p); }},
    {"progressBar", [](QWidget* w) { return qt::hostProgressBar(static_cast<QProgressBar*>(w)); },
     [](QWidget* p) { return new QProgressBar(p); }},
    {"statusBar", [](QWidget* w) { return qt::hostStatusBar(static_cast<QStatusBar*>(w)); },
     [](QWidget* p) { return new QStatusBar(p); }},
};

class EveryAdapter : public QtHostObjects, public ::testing::WithParamInterface<AdapterKind> {};

TEST_P(EveryAdapter, HandleIsStableAndNeverNative)
{
    QWidget parent;
    QWidget* widget = GetParam().widget(&parent);
    const auto host = GetParam().make(widget);
    const Variant handle = getProperty(*host, "hWnd");
    EXPECT_NE(handle.toLong(), 0);
    EXPECT_EQ(getProperty(*host, "HWND"), handle) << "names are matched without case";
    EXPECT_EQ(getProperty(*GetParam().make(widget), "hwnd"), handle) << "a second adapter, the same handle";
    EXPECT_NE(getProperty(*qt::hostControl(&parent), "hWnd"), handle);
    EXPECT_FALSE(widget->testAttribute(Qt::WA_NativeWindow)) << "a handle makes no native window";
    EXPECT_EQ(errorOf([&] { getProperty(*host, "NoSuchMember"); }), 438);
    EXPECT_EQ(errorOf([&] { putProperty(*host, "hWnd", Long{1}); }), 450) << "the handle is read only";

    delete widget;
    EXPECT_EQ(errorOf([&] { getProperty(*host, "hWnd"); }), 91);
    EXPECT_EQ(errorOf([&] { getProperty(*host, "NoSuchMember"); }), 91);
    EXPECT_EQ(platform::windowSystem().createMemoryDrawing(handle.toLong()), nullptr) << "a dead handle names nothing";
}

INSTANTIATE_TEST_SUITE_P(AdapterKinds, EveryAdapter, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(QtHostObjects, ControlsArePlacedInTwipsRelativeToTheirParent)
{
    QWidget form;
    form.resize(400, 300);
    auto* first = new QLabel(&form);
    auto* second = new QLabel(&form);
    const auto host = qt::hostControl(first);
    call(*host, "Move", {Long{300}, Long{150}, Long{1500}, Long{607}});
    EXPECT_EQ(first->geometry(), QRect(20, 10, 100, 40)) << "twips to pixels by whole-number division";
    call(*host, "move", {Single{45}, Single{30}});
    EXPECT_EQ(first->geometry(), QRect(3, 2, 100, 40)) << "sides not given stay";
    EXPECT_EQ(errorOf([&] { call(*host, "Move", {Long{0}, Text(u"ancho")}); }), 13);
    EXPECT_EQ(first->geometry(), QRect(3, 2, 100, 40)) << "a bad argument moves nothing";

    first->setGeometry(7, 9, 33, 21);
    EXPECT_EQ(getProperty(*host, "Left"), Variant(Single{105}));
    EXPECT_EQ(getProperty(*host, "Top"), Variant(Single{135}));
    EXPECT_EQ(getProperty(*host, "Width"), Variant(Single{495}));
    EXPECT_EQ(getProperty(*host, "Height"), Variant(Single{315}));

    EXPECT_EQ(getProperty(*host, "Visible"), Variant(true)) << "its own flag, inside a hidden window";
    call(*host, "ZOrder", {});
    EXPECT_EQ(form.children().last(), first) << "in front";
    call(*host, "ZOrder", {Integer{1}});
    EXPECT_EQ(form.children().first(), first) << "behind";
    EXPECT_EQ(errorOf([&] { call(*host, "ZOrder", {Integer{2}}); }), 5);
    EXPECT_EQ(form.children().last(), second);
}

struct ValueCase {
    const char* label;
    Variant value;
    int shown;   ///< the bar's value afterwards
    Long error;  ///< 0: none
};

class ProgressValue : public QtHostObjects, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ProgressValue, InTheBarsOwnRange)
{
    QProgressBar bar;
    bar.setRange(10, 60);
    bar.setValue(20);
    const auto host = qt::hostProgressBar(&bar);
    EXPECT_EQ(errorOf([&] { putProperty(*host, "value", GetParam().value); }), GetParam().error);
    EXPECT_EQ(bar.value(), GetParam().shown);
    EXPECT_EQ(getProperty(*host, "Value"), Variant(static_cast<Single>(GetParam().shown)));
}

INSTANTIATE_TEST_SUITE_P(Values, ProgressValue, ::testing::Values(
    ValueCase{"minimum", Long{10}, 10, 0},
    ValueCase{"maximum", Single{60}, 60, 0},
    ValueCase{"halfToEven", Double{36.5}, 36, 0},
    ValueCase{"belowRange", Long{0}, 20, 380},
    ValueCase{"aboveRange", Long{61}, 20, 380}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(QtHostObjects, ReparentingKeepsGeometryAndVisibilityAndRefusesLoops)
{
    QWidget form;
    auto* panel = new QWidget(&form);
    auto* control = new QLabel(&form);
    control->setGeometry(5, 6, 70, 20);
    form.show();
    auto handle = [](QWidget* w) { return getProperty(*qt::hostControl(w), "hWnd").toLong(); };
    auto& ws = platform::windowSystem();

    ws.setParent(handle(control), handle(panel));
    EXPECT_EQ(control->parentWidget(), panel);
    EXPECT_EQ(control->geometry(), QRect(5, 6, 70, 20));
    EXPECT_TRUE(control->isVisible()) << "Qt hides what it re-parents; the library's call does not";

    ws.setParent(handle(panel), handle(control));
    EXPECT_EQ(panel->parentWidget(), &form) << "a parent inside the child would close a loop";
    ws.setParent(handle(control), handle(control));
    EXPECT_EQ(control->parentWidget(), panel);
    ws.setParent(handle(control), 0x7FFFFFFF);
    EXPECT_EQ(control->parentWidget(), panel) << "a handle that names nothing";
}

// A host's main window: a status bar with three panels (and a hidden one that is no part) and a
// progress bar of its own, waiting on the window.
class StatusBarProgress : public QtHostObjects {
protected:
    StatusBarProgress()
    {
        window.resize(600, 300);
        status = window.statusBar();
        for (QLabel*& panel : panels)
            panel = new QLabel(QStringLiteral("Listo"));
        status->addWidget(panels[0]);
        auto* hidden = new QLabel(QStringLiteral("oculto"));
        status->addWidget(hidden);
        hidden->hide();
        status->addWidget(panels[1], 1);
        status->addPermanentWidget(panels[2]);
        bar = new QProgressBar(&window);
        bar->setValue(40);
        bar->hide();
        hosts = {qt::hostWindow(&window), qt::hostProgressBar(bar), qt::hostStatusBar(status)};
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    void progreso(Integer panel, bool show) { c_StatusBar().Progreso(hosts[0], hosts[1], hosts[2], panel, show); }

    /// Expects the bar shown over `place` (status-bar pixels) inside the status bar, at 0.
    void expectPlaced(const QRect& place) const
    {
        EXPECT_EQ(bar->parentWidget(), status);
        EXPECT_EQ(bar->geometry(), place);
        EXPECT_TRUE(bar->isVisible());
        EXPECT_EQ(bar->value(), 0);
    }

    QMainWindow window;
    QStatusBar* status = nullptr;
    std::array<QLabel*, 3> panels{};
    QProgressBar* bar = nullptr;
    std::array<Variant, 3> hosts;  ///< the form, the progress bar and the status bar, as the host keeps them
};

class StatusBarPanel : public StatusBarProgress, public ::testing::WithParamInterface<int> {};

TEST_P(StatusBarPanel, BarCoversThePartOrSitsEmptyAtTheOrigin)
{
    const int panel = GetParam();
    const bool exists = panel >= 0 && panel < 3;
    const QRect part = exists ? panels[panel]->geometry() : QRect(0, 0, 0, 0);
    ASSERT_TRUE(!exists || part.width() > 0);
    progreso(static_cast<Integer>(panel), true);
    expectPlaced(part);
}

INSTANTIATE_TEST_SUITE_P(Panels, StatusBarPanel, ::testing::Values(0, 1, 2, 3, -1),
                         [](const auto& info) { return info.param < 0 ? std::string("minus1") : "panel" + std::to_string(info.param); });

TEST_F(StatusBarProgress, FollowsTheResizedPanelThenGoesBackToTheFormHidden)
{
    progreso(1, true);
    const QRect before = panels[1]->geometry();
    bar->setValue(70);
    window.resize(900, 300);  // the user widens the window: the stretching panel grows
    QApplication::processEvents();
    ASSERT_NE(panels[1]->geometry(), before);
    progreso(1, true);
    expectPlaced(panels[1]->geometry());

    progreso(1, false);
    EXPECT_EQ(bar->parentWidget(), &window);
    EXPECT_FALSE(bar->isVisible());
}

TEST_F(StatusBarProgress, DestroyedHostObjectsAreSkippedWithoutAWord)
{
    delete status;
    progreso(1, true);
    EXPECT_EQ(bar->parentWidget(), &window) << "no status bar to move into";
    EXPECT_EQ(bar->geometry(), QRect(0, 0, 0, 0));
    EXPECT_TRUE(bar->isVisible());

    delete bar;
    progreso(1, true);
    progreso(1, false);
}

// A picture box that paints red with a blue square near its corner.
class Drawing final : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::red);
        p.fillRect(QRect(5, 5, 10, 10), Qt::blue);
    }
};

struct PictureCase {
    const char* label;
    QSize size;
    bool copied;  ///< a bitmap reaches the clipboard
};

class PictureCopy : public QtHostObjects, public ::testing::WithParamInterface<PictureCase> {};

TEST_P(PictureCopy, ClipboardHoldsWhatThePicturePaintsAndNothingElse)
{
    QWidget form;
    auto* picture = new Drawing;
    picture->setParent(&form);
    picture->setGeometry(10, 10, GetParam().size.width(), GetParam().size.height());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QGuiApplication::clipboard()->setText(QStringLiteral("texto anterior"));

    EXPECT_TRUE(global<cImagen>().I__CopyPictureToClipboard(qt::hostPicture(picture)));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString()) << "the clipboard was cleared first";
    const QImage image = QGuiApplication::clipboard()->image();
    if (!GetParam().copied) {
        EXPECT_TRUE(image.isNull());
        return;
    }
    EXPECT_EQ(image.size(), GetParam().size);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(9, 9), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), QColor(Qt::red));
}

INSTANTIATE_TEST_SUITE_P(Sizes, PictureCopy, ::testing::Values(
    PictureCase{"wide", QSize(120, 80), true},
    PictureCase{"tall", QSize(30, 200), true},
    PictureCase{"empty", QSize(0, 50), false}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
