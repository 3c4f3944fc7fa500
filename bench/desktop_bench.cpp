// What late binding costs the desktop utilities: the stopwatch read through its C++ member and by
// name, a progress bar shown in a real QStatusBar's part and given back to its form through the
// host-object adapters, and one step of dragging a real control with the mouse, each next to the
// same work written with direct Qt calls.
#include <Kor2_Sys/CTiempo.h>
#include <Kor2_Sys/cMoverControl.h>
#include <Kor2_Sys/c_StatusBar.h>
#include <Kor2_Sys/qt/QtHostObject.h>

#include "platform/WindowSystem.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>

namespace {

using namespace Kor2_Sys;

void StopwatchReadingCpp(benchmark::State& state)
{
    CTiempo& watch = global<CTiempo>();
    watch.T_IniciaReloj();
    for (auto _ : state)
        benchmark::DoNotOptimize(watch.T_TiempoTranscurrido(Tiempo::Segundos));
}
BENCHMARK(StopwatchReadingCpp);

void StopwatchReadingLateBound(benchmark::State& state)
{
    const auto watch = sharedObject("Kor2_Sys.CTiempo");
    watch->invoke("T_IniciaReloj", InvokeKind::Method, {});
    for (auto _ : state) {
        std::array<Variant, 1> unit{Long{1}};
        benchmark::DoNotOptimize(watch->invoke("T_TiempoTranscurrido", InvokeKind::Method, unit));
    }
}
BENCHMARK(StopwatchReadingLateBound);

// A host's main window with three status-bar panels and its own progress bar.
struct HostWindow {
    HostWindow()
    {
        window.resize(640, 240);
        for (const char* text : {"Listo", "", "Capa 0"})
            panels.push_back(new QLabel(QString::fromUtf8(text)));
        window.statusBar()->addWidget(panels[0]);
        window.statusBar()->addWidget(panels[1], 1);
        window.statusBar()->addPermanentWidget(panels[2]);
        bar = new QProgressBar(&window);
        bar->hide();
        window.show();
        QApplication::processEvents();
    }
    /// What the placement left behind (layouts, repaints) is handled outside the measurement.
    static void settle(benchmark::State& state)
    {
        state.PauseTiming();
        QApplication::processEvents();
        state.ResumeTiming();
    }

    QMainWindow window;
    QList<QLabel*> panels;
    QProgressBar* bar = nullptr;
};

// Progreso(true) then Progreso(false), by name, through the adapters.
void ProgressInPanelLateBound(benchmark::State& state)
{
    HostWindow host;
    const auto statusBar = createObject("Kor2_Sys.c_StatusBar");
    const Variant form = qt::hostWindow(&host.window), bar = qt::hostProgressBar(host.bar),
                  status = qt::hostStatusBar(host.window.statusBar());
    for (auto _ : state) {
        for (const bool show : {true, false}) {
            std::array<Variant, 5> args{form, bar, status, Integer{1}, show};
            statusBar->invoke("Progreso", InvokeKind::Method, args);
        }
        HostWindow::settle(state);
    }
    if (host.bar->parentWidget() != &host.window || host.bar->isVisible())
        state.SkipWithError("the bar did not go back to the form");
}
BENCHMARK(ProgressInPanelLateBound)->Unit(benchmark::kMicrosecond);

// The same through the C++ member: the adapters' late-bound members remain.
void ProgressInPanelCpp(benchmark::State& state)
{
    HostWindow host;
    c_StatusBar statusBar;
    const Variant form = qt::hostWindow(&host.window), bar = qt::hostProgressBar(host.bar),
                  status = qt::hostStatusBar(host.window.statusBar());
    for (auto _ : state) {
        statusBar.Progreso(form, bar, status, 1, true);
        statusBar.Progreso(form, bar, status, 1, false);
        HostWindow::settle(state);
    }
}
BENCHMARK(ProgressInPanelCpp)->Unit(benchmark::kMicrosecond);

// What a host would write by hand for the same placement.
void ProgressInPanelDirectQt(benchmark::State& state)
{
    HostWindow host;
    QStatusBar* status = host.window.statusBar();
    for (auto _ : state) {
        host.bar->setParent(status);
        host.bar->setGeometry(host.panels[1]->geometry());
        host.bar->show();
        host.bar->setValue(0);
        host.bar->setParent(&host.window);
        host.bar->hide();
        HostWindow::settle(state);
    }
}
BENCHMARK(ProgressInPanelDirectQt)->Unit(benchmark::kMicrosecond);

// A board with a label that the user drags; the cursor swings between two points, 10 pixels apart.
struct DragBoard {
    DragBoard()
    {
        board.resize(400, 300);
        label->setGeometry(40, 30, 60, 24);
        board.show();
        QApplication::processEvents();
    }
    QPoint cursorAt(bool second) const { return board.mapToGlobal(QPoint(second ? 55 : 45, 40)); }
    /// The label follows the cursor: it ends where the last step put the cursor.
    static void expectFollowed(benchmark::State& state, const QWidget& label, bool second)
    {
        if (label.pos() != QPoint(second ? 50 : 40, 30))
            state.SkipWithError("the label did not follow the cursor");
    }

    QWidget board;
    QLabel* label = new QLabel(QStringLiteral("P1"), &board);
};

// One drag step with the left button and Ctrl held: the cursor moves, then Mueve_CtrlMover reads
// it, moves the label through its adapter and lets the pending events run.
void DragStepMover(benchmark::State& state)
{
    DragBoard host;
    cMoverControl& mover = global<cMoverControl>();
    const Variant control = qt::hostControl(host.label);
    QCursor::setPos(host.cursorAt(false));
    mover.Mueve_CtrlSeleccionar(1, control);
    bool second = false;
    for (auto _ : state) {
        second = !second;
        QCursor::setPos(host.cursorAt(second));
        mover.Mueve_CtrlMover(1, 2, control);
    }
    DragBoard::expectFollowed(state, *host.label, second);
}
BENCHMARK(DragStepMover)->Unit(benchmark::kMicrosecond);

// The same step as a host would write it in Qt.
void DragStepDirectQt(benchmark::State& state)
{
    DragBoard host;
    const QPoint grab = host.cursorAt(false) - host.label->pos();
    bool second = false;
    for (auto _ : state) {
        second = !second;
        QCursor::setPos(host.cursorAt(second));
        host.label->move(QCursor::pos() - grab);
        QCoreApplication::processEvents();
    }
    DragBoard::expectFollowed(state, *host.label, second);
}
BENCHMARK(DragStepDirectQt)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    // The offscreen screen says for every new window that it cannot pass size hints on.
    static const QtMessageHandler printing = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (!text.contains(QLatin1String("propagateSizeHints")))
            printing(type, context, text);
    });
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("KOR2_SETTINGS", ":memory:", 1);
    QApplication app(argc, argv);
    Kor2_Sys::platform::windowSystem();  // the library's window system on the host's application
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
