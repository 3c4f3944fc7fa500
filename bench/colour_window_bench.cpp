// Time from A_Color_Show to the chooser's first paint with the Qt window system, warm (the second
// and later shows) and cold (the first show in a fresh process, loading the window system and
// creating the application), next to a bare QDialog with the same controls. Besides the wall time,
// the warm runs report the user-interface thread's own processor time ("cpu_ms"), which other
// programs running on the machine do not disturb: compare the two dialogs by it on a busy machine.
#include <Kor2_Sys/CColores.h>
#include <Kor2_Sys/c_imput1.h>

#include "platform/WindowSystem.h"
#include "platform/qt/QtWindowSystem.h"
#include "settings/Store.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

// Processor time of the calling thread, in nanoseconds.
qint64 threadCpuNanoseconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Ends the measurement at the first paint of any widget of a window named `window`, then lets the
// window be cancelled.
class FirstPaint final : public QObject {
public:
    explicit FirstPaint(QString window, QString closer = QStringLiteral("BT_cancelar"))
        : m_window(std::move(window)), m_closer(std::move(closer))
    {
        qApp->installEventFilter(this);
    }
    /// Runs on the window once it has painted, before it is closed.
    std::function<void(QWidget*)> beforeClosing;
    ~FirstPaint() override { qApp->removeEventFilter(this); }
    void start()
    {
        m_done = false;
        m_cpuStart = threadCpuNanoseconds();
        m_timer.start();
    }
    qint64 nanoseconds() const { return m_elapsed; }
    qint64 cpuNanoseconds() const { return m_cpu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!m_done && event->type() == QEvent::Paint && widget && widget->window()->objectName() == m_window) {
            m_elapsed = m_timer.nsecsElapsed();
            m_cpu = threadCpuNanoseconds() - m_cpuStart;
            m_done = true;
            QWidget* dialog = widget->window();
            QTimer::singleShot(0, dialog, [this, dialog] {
                if (beforeClosing)
                    beforeClosing(dialog);
                if (auto* closer = dialog->findChild<QPushButton*>(m_closer))
                    closer->click();
            });
        }
        return false;
    }

private:
    QString m_window;
    QString m_closer;
    QElapsedTimer m_timer;
    qint64 m_elapsed = 0;
    qint64 m_cpuStart = 0;
    qint64 m_cpu = 0;
    bool m_done = false;
};

class Palette final : public QWidget {
public:
    Palette(int columns, int rows, QWidget* parent) : QWidget(parent), m_columns(columns), m_rows(rows) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::lightGray);
        const double w = width() / double(m_columns), h = height() / double(m_rows);
        for (int r = 0; r < m_rows; ++r)
            for (int c = 0; c < m_columns; ++c)
                p.fillRect(QRectF(c * w + 1, r * h + 1, w - 2, h - 2), QColor::fromHsv((c * 15) % 360, 255, 255 - r * 20));
    }

private:
    int m_columns, m_rows;
};

// The same controls in plain Qt, built and shown the way a hand-written dialog would be.
void showBareDialog()
{
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("bare"));
    dialog.setFixedSize(356, 260);
    auto* normal = new QGroupBox(QStringLiteral("Colores normales"), &dialog);
    normal->setGeometry(7, 7, 247, 45);
    (new Palette(9, 1, normal))->setGeometry(7, 14, 166, 24);
    (new QPushButton(QStringLiteral("otros ..."), normal))->setGeometry(182, 14, 50, 22);
    auto* chosen = new QGroupBox(&dialog);
    chosen->setGeometry(7, 49, 248, 45);
    (new QLabel(QStringLiteral("Color elegido:"), chosen))->setGeometry(9, 21, 64, 13);
    (new QLineEdit(QStringLiteral("rojo"), chosen))->setGeometry(75, 15, 76, 22);
    (new QLabel(QStringLiteral("por capa"), chosen))->setGeometry(189, 18, 42, 13);
    auto* buttons = new QGroupBox(&dialog);
    buttons->setGeometry(259, 7, 93, 88);
    (new QPushButton(QStringLiteral("Aceptar"), buttons))->setGeometry(7, 14, 78, 27);
    auto* cancel = new QPushButton(QStringLiteral("Cancelar"), buttons);
    cancel->setObjectName(QStringLiteral("BT_cancelar"));
    cancel->setGeometry(7, 49, 78, 27);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* special = new QGroupBox(QStringLiteral("Colores especiales"), &dialog);
    special->setGeometry(7, 98, 344, 162);
    (new Palette(6, 1, special))->setGeometry(7, 21, 112, 24);
    (new QLabel(QStringLiteral("color capa principal :"), special))->setGeometry(147, 21, 98, 13);
    (new QPushButton(special))->setGeometry(252, 14, 36, 22);
    (new Palette(24, 10, special))->setGeometry(7, 49, 331, 108);
    dialog.exec();
}

void WarmColourChooser(benchmark::State& state)
{
    FirstPaint paint(QStringLiteral("F_color"));
    Kor2_Sys::global<Kor2_Sys::CColores>().A_Color_Show(255);  // the first show loads everything
    double cpu = 0;
    for (auto _ : state) {
        paint.start();
        Kor2_Sys::global<Kor2_Sys::CColores>().A_Color_Show(255);
        state.SetIterationTime(paint.nanoseconds() / 1e9);
        cpu += paint.cpuNanoseconds();
    }
    state.counters["cpu_ms"] = cpu / 1e6 / static_cast<double>(state.iterations());
}
BENCHMARK(WarmColourChooser)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

void WarmBareDialog(benchmark::State& state)
{
    FirstPaint paint(QStringLiteral("bare"));
    showBareDialog();
    double cpu = 0;
    for (auto _ : state) {
        paint.start();
        showBareDialog();
        state.SetIterationTime(paint.nanoseconds() / 1e9);
        cpu += paint.cpuNanoseconds();
    }
    state.counters["cpu_ms"] = cpu / 1e6 / static_cast<double>(state.iterations());
}
BENCHMARK(WarmBareDialog)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

// A 1 MB message (half a million UTF-16 units of survey listing) from the call to the first paint;
// the copy button must then put every unit of it on the clipboard.
void LargeMessage(benchmark::State& state)
{
    Kor2_Sys::Text text;
    for (int i = 0; text.size() < 512 * 1024; ++i) {
        const std::string line = "Punto " + std::to_string(i) + "  X = 431250.125  Y = 4581230.750  Cota = 612.437 m  ñ\r\n";
        text += Kor2_Sys::Text(line.begin(), line.end());
    }
    FirstPaint paint(QStringLiteral("F_mensajes"), QStringLiteral("cmdAceptar"));
    bool intact = true;
    paint.beforeClosing = [&](QWidget* window) {
        window->findChild<QPushButton*>(QStringLiteral("cmdcopy"))->click();
        const QString held = QGuiApplication::clipboard()->text();
        intact = held.size() == static_cast<qsizetype>(text.size()) &&
                 std::equal(text.begin(), text.end(), reinterpret_cast<const char16_t*>(held.utf16()));
    };
    for (auto _ : state) {
        paint.start();
        Kor2_Sys::global<Kor2_Sys::c_imput1>().A_Mensaje(text, u"Listado");
        state.SetIterationTime(paint.nanoseconds() / 1e9);
        if (!intact)
            state.SkipWithError("the clipboard did not hold the whole text");
    }
    state.counters["bytes"] = static_cast<double>(text.size() * 2);
}
BENCHMARK(LargeMessage)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

std::string self;

// A fresh process per iteration: it reports the time from its start to the first paint.
void ColdColourChooser(benchmark::State& state)
{
    for (auto _ : state) {
        const std::string command = "QT_QPA_PLATFORM=offscreen KOR2_SETTINGS=:memory: '" + self + "' --cold-once";
        FILE* child = ::popen(command.c_str(), "r");
        double seconds = 0;
        if (child == nullptr || std::fscanf(child, "%lf", &seconds) != 1)
            state.SkipWithError("the cold run did not answer");
        if (child)
            ::pclose(child);
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(ColdColourChooser)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    self = argv[0];
    if (argc > 1 && std::strcmp(argv[1], "--cold-once") == 0) {
        // From here the clock runs: the library loads its window system and creates the
        // application itself, as in a host that shows the chooser first thing.
        const auto start = std::chrono::steady_clock::now();
        qint64 painted = 0;
        struct Hook final : QObject {
            std::chrono::steady_clock::time_point start;
            qint64* out;
            bool eventFilter(QObject* watched, QEvent* event) override
            {
                auto* widget = qobject_cast<QWidget*>(watched);
                if (*out == 0 && event->type() == QEvent::Paint && widget && widget->window()->objectName() == "F_color") {
                    *out = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start).count();
                    QWidget* dialog = widget->window();
                    QTimer::singleShot(0, dialog, [dialog] { dialog->findChild<QPushButton*>(QStringLiteral("BT_cancelar"))->click(); });
                }
                return false;
            }
        };
        Hook hook;
        hook.start = start;
        hook.out = &painted;
        Kor2_Sys::platform::windowSystem();  // creates the application inside the library
        // The library refuses to show windows that no one sees; this program watches and closes them.
        Kor2_Sys::platform::installWindowSystem(std::make_shared<Kor2_Sys::platform::qt::QtWindowSystem>());
        qApp->installEventFilter(&hook);
        Kor2_Sys::global<Kor2_Sys::CColores>().A_Color_Show(255);
        std::printf("%.9f\n", painted / 1e9);
        return 0;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("KOR2_SETTINGS", ":memory:", 1);
    Kor2_Sys::platform::windowSystem();
    Kor2_Sys::platform::installWindowSystem(std::make_shared<Kor2_Sys::platform::qt::QtWindowSystem>());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
