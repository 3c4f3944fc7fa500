// A small host application: a main window with a menu, a tool bar, a drawing and a status bar with
// panels; a button that lets the user choose a colour through the library, a long process whose
// progress bar the library places in a status-bar panel and times with its stopwatch, a copy of
// the drawing to the clipboard, pictures beside its menu items and an "&Informationen" entry in
// its system menu, labels on the drawing that Ctrl + left button drags, and its own geometry kept
// in the library's store.
#include <Kor2_Sys/CCmDialog.h>
#include <Kor2_Sys/CColores.h>
#include <Kor2_Sys/CIconosMenu.h>
#include <Kor2_Sys/CTiempo.h>
#include <Kor2_Sys/cImagen.h>
#include <Kor2_Sys/cMoverControl.h>
#include <Kor2_Sys/cRegistro.h>
#include <Kor2_Sys/c_StatusBar.h>
#include <Kor2_Sys/c_imput1.h>
#include <Kor2_Sys/cls_Loging.h>
#include <Kor2_Sys/qt/QtHostObject.h>

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

using namespace Kor2_Sys;

QString toQString(const Text& text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The drawing area: a parcel with its corner points on a survey grid.
class Plan final : public QWidget {
public:
    explicit Plan(QWidget* parent) : QWidget(parent)
    {
        setMinimumSize(360, 170);
        // A drawing says to a screen reader what it shows; its labels are its children.
        setAccessibleName(QStringLiteral("Plano de la parcela 12"));
        setAccessibleDescription(QStringLiteral("Parcela de cinco vértices, P1 a P5, sobre la cuadrícula"));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), Qt::white);
        p.setPen(QColor(225, 225, 225));
        for (int x = 0; x < width(); x += 20)
            p.drawLine(x, 0, x, height());
        for (int y = 0; y < height(); y += 20)
            p.drawLine(0, y, width(), y);
        const std::array<QPointF, 5> corners = {QPointF(0.12, 0.78), QPointF(0.30, 0.18), QPointF(0.66, 0.12),
                                                 QPointF(0.86, 0.58), QPointF(0.48, 0.86)};
        QPolygonF parcel;
        for (const QPointF& c : corners)
            parcel << QPointF(c.x() * width(), c.y() * height());
        p.setPen(QPen(QColor(0, 90, 200), 2));
        p.setBrush(QColor(0, 90, 200, 40));
        p.drawPolygon(parcel);
        p.setBrush(Qt::red);
        p.setPen(Qt::black);
        for (qsizetype i = 0; i < parcel.size(); ++i) {
            p.drawEllipse(parcel[i], 3.5, 3.5);
            p.drawText(parcel[i] + QPointF(6, -6), QStringLiteral("P%1").arg(i + 1));
        }
        p.drawText(rect().adjusted(6, 4, -6, -4), Qt::AlignRight | Qt::AlignTop, QStringLiteral("Parcela 12  ·  N ↑"));
    }
};

// A label of the drawing that the user moves with Ctrl + left button: its mouse events go to the
// library's control mover, as the host's own control events would. Without a mouse, Tab selects a
// label and Ctrl + an arrow moves it by one pixel.
class PlanLabel final : public QLabel {
public:
    PlanLabel(const QString& text, QPoint at, QWidget* plan) : QLabel(text, plan)
    {
        setStyleSheet(kIdle);
        setToolTip(QStringLiteral("Ctrl + botón izquierdo o Ctrl + flechas: mover"));
        setAccessibleName(QStringLiteral("Etiqueta movible: ") + text);
        setAccessibleDescription(QStringLiteral("Ctrl + flechas la mueven un píxel"));
        setFocusPolicy(Qt::StrongFocus);
        adjustSize();
        move(at);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        static constexpr std::pair<int, QPoint> kSteps[] = {
            {Qt::Key_Left, {-1, 0}}, {Qt::Key_Right, {1, 0}}, {Qt::Key_Up, {0, -1}}, {Qt::Key_Down, {0, 1}}};
        if (event->modifiers() & Qt::ControlModifier)
            for (const auto& [key, step] : kSteps)
                if (event->key() == key) {
                    // Kept inside the drawing, as a drag is.
                    const QRect room = parentWidget()->rect().adjusted(0, 0, -width(), -height());
                    const QPoint to = pos() + step;
                    move(std::clamp(to.x(), room.left(), std::max(room.left(), room.right())),
                         std::clamp(to.y(), room.top(), std::max(room.top(), room.bottom())));
                    return;
                }
        QLabel::keyPressEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override
    {
        QLabel::focusInEvent(event);
        setStyleSheet(kGrabbed);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QLabel::focusOutEvent(event);
        setStyleSheet(kIdle);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            setStyleSheet(kGrabbed);
        global<cMoverControl>().Mueve_CtrlSeleccionar(buttons(*event), qt::hostControl(this));
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        const auto shift = static_cast<Integer>((event->modifiers() & Qt::ShiftModifier ? 1 : 0) |
                                                (event->modifiers() & Qt::ControlModifier ? 2 : 0) |
                                                (event->modifiers() & Qt::AltModifier ? 4 : 0));
        global<cMoverControl>().Mueve_CtrlMover(buttons(*event), shift, qt::hostControl(this));
    }
    void mouseReleaseEvent(QMouseEvent*) override { setStyleSheet(hasFocus() ? kGrabbed : kIdle); }

private:
    static Integer buttons(const QMouseEvent& event)
    {
        return static_cast<Integer>((event.buttons() & Qt::LeftButton ? 1 : 0) | (event.buttons() & Qt::RightButton ? 2 : 0) |
                                    (event.buttons() & Qt::MiddleButton ? 4 : 0));
    }
    static constexpr const char* kIdle = "background: #fffbe6; border: 1px solid #b0a060; padding: 1px 3px;";
    static constexpr const char* kGrabbed = "background: #e6f0ff; border: 2px solid #2060d0; padding: 0px 2px;";
};

// The pictures beside the menu items, drawn here so that they show without an icon theme.
QPixmap menuPicture(int kind)
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    switch (kind) {
    case 0:  // open: a folder
        p.setBrush(QColor(240, 190, 60));
        p.drawPolygon(QPolygonF({QPointF(1.5, 3.5), QPointF(6.5, 3.5), QPointF(8, 5.5), QPointF(14.5, 5.5),
                                 QPointF(14.5, 13.5), QPointF(1.5, 13.5)}));
        break;
    case 1:  // save: a disk
        p.setBrush(QColor(40, 90, 190));
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        break;
    case 2:  // leave: a red disc with a bar
        p.setBrush(QColor(200, 40, 40));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.fillRect(QRectF(4, 7, 8, 2), Qt::white);
        break;
    default:  // colour: four swatches
        p.fillRect(QRectF(1, 1, 7, 7), Qt::red);
        p.fillRect(QRectF(8, 1, 7, 7), QColor(0, 160, 0));
        p.fillRect(QRectF(1, 8, 7, 7), Qt::blue);
        p.fillRect(QRectF(8, 8, 7, 7), QColor(250, 210, 0));
        break;
    }
    return picture;
}

QString colourText(Long colour)
{
    const Long index = global<CColores>().Col_NuCad_de_NuVB(colour);
    const Text name = global<CColores>().Col_NombCad_de_NuVb(colour);
    return QStringLiteral("Color %1 (índice %2, «%3»)")
        .arg(colour)
        .arg(index)
        .arg(toQString(name));
}

class DemoWindow final : public QMainWindow {
public:
    DemoWindow()
    {
        setWindowTitle(QStringLiteral("Kor2_Sys — anfitrión de demostración"));
        auto* central = new QWidget(this);
        auto* column = new QVBoxLayout(central);
        auto* row = new QHBoxLayout;
        auto* choose = new QPushButton(QStringLiteral("Color..."), central);
        m_swatch = new QLabel(central);
        m_swatch->setFixedSize(96, 48);
        m_swatch->setFrameShape(QFrame::Box);
        m_swatch->setAccessibleName(QStringLiteral("Color elegido"));
        row->addWidget(choose);
        row->addWidget(m_swatch);
        row->addStretch();
        column->addLayout(row);
        m_plan = new Plan(central);
        column->addWidget(m_plan, 1);
        setCentralWidget(central);
        connect(choose, &QPushButton::clicked, this, &DemoWindow::chooseColour);

        // Panels, left to right: messages and times, the progress panel, the colour. Messages go
        // into the first panel rather than showMessage(), which would hide the panels meanwhile.
        for (QLabel*& panel : m_panels)
            panel = new QLabel(this);
        m_panels[0]->setMinimumWidth(190);
        statusBar()->addWidget(m_panels[0]);
        statusBar()->addWidget(m_panels[1], 1);
        statusBar()->addPermanentWidget(m_panels[2]);
        say(QStringLiteral("Listo"));
        // The bar lives on the form, hidden, until the library places it in the second panel.
        m_bar = new QProgressBar(this);
        m_bar->hide();
        m_hosts = {qt::hostWindow(this), qt::hostProgressBar(m_bar), qt::hostStatusBar(statusBar())};

        QAction* longRun = new QAction(QIcon::fromTheme(QStringLiteral("system-run")), QStringLiteral("&Proceso largo"), this);
        connect(longRun, &QAction::triggered, this, [this] { runLongProcess(); });
        QAction* copy = new QAction(QIcon::fromTheme(QStringLiteral("edit-copy")), QStringLiteral("Copiar &dibujo"), this);
        copy->setShortcut(QKeySequence::Copy);
        connect(copy, &QAction::triggered, this, &DemoWindow::copyDrawing);
        m_actions = {longRun, copy};
        QToolBar* toolBar = addToolBar(QStringLiteral("Herramientas"));
        toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        toolBar->addActions({longRun, copy});

        QMenu* file = menuBar()->addMenu(QStringLiteral("&Archivo"));
        file->addAction(QStringLiteral("&Abrir..."), this, [this] { chooseFile(true); });
        file->addAction(QStringLiteral("&Guardar..."), this, [this] { chooseFile(false); });
        file->addSeparator();
        file->addAction(QStringLiteral("&Salir"), this, &QWidget::close);
        QMenu* tools = menuBar()->addMenu(QStringLiteral("&Herramientas"));
        tools->addAction(QStringLiteral("&Color..."), this, &DemoWindow::chooseColour);
        tools->addAction(QStringLiteral("&Texto..."), this, &DemoWindow::askText);
        tools->addAction(QStringLiteral("&Número..."), this, &DemoWindow::askNumber);
        tools->addAction(QStringLiteral("&Mensaje..."), this, &DemoWindow::showMessage);
        tools->addAction(QStringLiteral("C&onectar..."), this, &DemoWindow::connectAs);
        tools->addSeparator();
        tools->addActions({longRun, copy});
        // Many window managers keep Alt+Space for their own window menu: the library's stand-in is
        // also reachable from here.
        menuBar()->addMenu(QStringLiteral("&Ventana"))->addAction(QStringLiteral("Menú de la &ventana"), this, [this] {
            qt::systemMenu(this)->popup(mapToGlobal(QPoint(0, 0)));
        });
        m_fileMenu = file;
        decorateMenus();
        for (const auto& [text, at] : {std::pair{"P1  612,574", QPoint(30, 120)}, std::pair{"Sup. 1.245,30 m²", QPoint(150, 70)},
                                       std::pair{"Lindero norte", QPoint(200, 20)}})
            new PlanLabel(QString::fromUtf8(text), at, m_plan);
        resize(560, 360);
        paintSwatch();
        global<cRegistro>().R_Lee_tamaño_y_pos_Obj_en_Win_O(qt::hostWindow(this), u"Demo", u"Principal");
    }

    /// Runs the long process; with a file, saves a picture of the window (its frame included
    /// where a window manager draws one) once the bar is at `shotAt` percent.
    void runLongProcess(const QString& shot = {}, int shotAt = 60)
    {
        if (m_running)
            return;
        m_running = true;
        for (QAction* action : m_actions)
            action->setEnabled(false);
        CTiempo& watch = global<CTiempo>();
        c_StatusBar progress;
        progress.Progreso(m_hosts[0], m_hosts[1], m_hosts[2], 1, true);
        say(QStringLiteral("Calculando..."));
        watch.T_IniciaReloj();
        constexpr int kSteps = 40;
        for (int step = 1; step <= kSteps; ++step) {
            watch.Pausa(50);
            const Integer percent = static_cast<Integer>(step * 100 / kSteps);
            putProperty(*m_hosts[1].toObject(), "Value", percent);
            // The pause lets nothing run: the host repaints between steps, ignoring input.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            if (!shot.isEmpty() && step == kSteps * shotAt / 100)
                savePicture(shot);
        }
        watch.T_ParaReloj();
        const Text seconds = watch.T_TiempoTranscurrido(Tiempo::Segundos);
        progress.Progreso(m_hosts[0], m_hosts[1], m_hosts[2], 1, false);
        say(QStringLiteral("Proceso largo: %1 s").arg(toQString(seconds)));
        for (QAction* action : m_actions)
            action->setEnabled(true);
        m_running = false;
    }

    /// Opens the "Archivo" menu and saves a picture of the window with the menu open.
    void pictureWithMenuOpen(const QString& file)
    {
        menuBar()->setActiveAction(m_fileMenu->menuAction());
        savePicture(file);
        m_fileMenu->hide();
    }

    /// Drags the first label of the drawing with Ctrl + left button, as a user would, and saves a
    /// picture of the window while the label is still held.
    void pictureWhileDragging(const QString& file)
    {
        auto* label = m_plan->findChild<PlanLabel*>();
        const auto host = qt::hostControl(label);
        auto place = [&host] {
            return QStringLiteral("%1, %2").arg(toQString(getProperty(*host, "Left").toText()),
                                                toQString(getProperty(*host, "Top").toText()));
        };
        const QString from = place();
        const QPoint grab(12, 8);
        auto send = [label](QEvent::Type type, QPoint at, Qt::MouseButtons held, Qt::KeyboardModifiers keys) {
            QCursor::setPos(label->mapToGlobal(at));
            QMouseEvent event(type, at, label->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                              held, keys);
            QApplication::sendEvent(label, &event);
        };
        send(QEvent::MouseButtonPress, grab, Qt::LeftButton, {});
        // Each step the cursor goes 9 pixels right and 1 down from the grab point; the label follows.
        for (int step = 0; step < 12; ++step)
            send(QEvent::MouseMove, grab + QPoint(9, 1), Qt::LeftButton, Qt::ControlModifier);
        say(QStringLiteral("«%1»: de %2 a %3 twips").arg(label->text(), from, place()));
        savePicture(file);
        send(QEvent::MouseButtonRelease, grab, Qt::NoButton, {});
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (m_running) {
            event->ignore();
            return;
        }
        global<cRegistro>().R_Graba_tamaño_y_pos_Obj_en_Win(qt::hostWindow(this), u"Demo", u"Principal");
        event->accept();
    }

private:
    // Pictures beside the items of "Archivo" and "Herramientas", and "&Informationen" in the system
    // menu, which opens the about box.
    void decorateMenus()
    {
        const Variant form = qt::hostWindow(this);
        CIconosMenu& icons = global<CIconosMenu>();
        const std::array<std::array<Integer, 3>, 4> placed = {{{0, 0, 0}, {0, 1, 1}, {0, 3, 2}, {1, 0, 3}}};
        for (const auto& [menu, item, picture] : placed)
            icons.I_insertar_iconos_en_menu(menu, item, qt::hostBitmap(menuPicture(picture)), form);
        icons.I_inserta_espacio_despues_icono(getProperty(*form.toObject(), "hWnd").toLong());
        connect(qt::systemMenuNotifier(this), &qt::SystemMenuNotifier::commandChosen, this, [this](int command) {
            if (command == 512)
                QMessageBox::about(this, QStringLiteral("Informationen"),
                                   QStringLiteral("<b>Kor2_Sys — anfitrión de demostración</b><p>Un anfitrión Qt que usa "
                                                  "los colores, los avisos, los archivos, los ajustes y las utilidades de "
                                                  "escritorio de la biblioteca.</p><p>Las etiquetas del dibujo se mueven "
                                                  "con Ctrl + botón izquierdo.</p>"));
        });
    }
    void chooseColour()
    {
        m_colour = global<CColores>().A_Color_Show(m_colour);
        paintSwatch();
    }
    void chooseFile(bool toRead)
    {
        CCmDialog dialog;
        dialog.titulo = toRead ? u"Abrir plano" : u"Guardar plano";
        dialog.FiltroNombre = u"Dibujos|*.dxf;*.dwg|Texto|*.txt|Todos|*.*";
        dialog.FiltroIndex = 1;
        const Text path = toRead ? dialog.Fich_NonbreRuta_a_Leer() : dialog.Fich_NonbreRuta_a_Grabar();
        say(QStringLiteral("Archivo: %1").arg(toQString(path)));
    }
    void askText()
    {
        const Text text = global<c_imput1>().A_Imput_Inf(u"Parcela 12", u"Nombre del plano", u"El nombre aparece en el cajetín.");
        say(QStringLiteral("Texto: «%1»").arg(toQString(text)));
    }
    void askNumber()
    {
        const Double value = global<c_imput1>().A_Imput_Numero_R_F(612.437, u"Cota (m)", 3);
        say(value == c_imput1::kCancelado ? QStringLiteral("Número: cancelado")
                                           : QStringLiteral("Número: %1").arg(value, 0, 'f', 3));
    }
    void showMessage()
    {
        global<c_imput1>().A_Mensaje(u"Informe de replanteo\r\nPunto 1   X = 431262.625   Y = 4581227.500   Cota = 612.574 m\r\n"
                                     u"Punto 2   X = 431275.125   Y = 4581224.250   Cota = 612.711 m",
                                     u"Informe");
    }
    // Only the user name is shown: the password stays with the host's own check.
    void connectAs()
    {
        cls_Loging login;
        login.ShowDialog();
        statusBar()->showMessage(login.Acept ? QStringLiteral("Conectado como «%1»")
                                                   .arg(QString::fromUtf16(login.User.data(), static_cast<qsizetype>(login.User.size())))
                                             : QStringLiteral("Conexión cancelada"));
    }
    void paintSwatch()
    {
        const QColor colour(m_colour & 0xFF, (m_colour >> 8) & 0xFF, (m_colour >> 16) & 0xFF);
        m_swatch->setStyleSheet(QStringLiteral("background-color: %1").arg(colour.name()));
        m_panels[2]->setText(colourText(m_colour));
    }
    void copyDrawing()
    {
        const bool copied = global<cImagen>().I__CopyPictureToClipboard(qt::hostPicture(m_plan));
        say(copied ? QStringLiteral("Dibujo copiado (%1 × %2 píxeles)").arg(m_plan->width()).arg(m_plan->height())
                   : QStringLiteral("No se pudo copiar el dibujo"));
    }
    void say(const QString& text) { m_panels[0]->setText(text); }
    void savePicture(const QString& file)
    {
        // A moment for the window manager and the screen to show the bar, then the screen's
        // pixels under the window; the window's own drawing where the screen gives none.
        QEventLoop settle;
        QTimer::singleShot(400, &settle, &QEventLoop::quit);
        settle.exec(QEventLoop::ExcludeUserInputEvents);
        const QRect outer = frameGeometry();
        QPixmap picture = screen()->grabWindow(0, outer.x(), outer.y(), outer.width(), outer.height());
        if (picture.isNull())
            picture = grab();
        picture.save(file);
    }

    QLabel* m_swatch = nullptr;
    Plan* m_plan = nullptr;
    std::array<QLabel*, 3> m_panels{};
    QProgressBar* m_bar = nullptr;
    std::array<Variant, 3> m_hosts;  ///< this form, the progress bar and the status bar, as the library sees them
    std::array<QAction*, 2> m_actions{};
    QMenu* m_fileMenu = nullptr;
    bool m_running = false;
    Long m_colour = 255;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTranslator translator;
    if (translator.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
    DemoWindow window;
    window.show();
    // --screenshot FILE: draw the window once, save it and leave (for machines without a person).
    const QStringList args = app.arguments();
    if (const qsizetype at = args.indexOf(QStringLiteral("--screenshot")); at >= 0 && at + 1 < args.size()) {
        QTimer::singleShot(300, &window, [&window, file = args[at + 1]] {
            window.grab().save(file);
            window.close();
        });
    }
    // --screenshot-progress FILE: run the long process, take the window's picture while the bar
    // shows in its panel, and leave.
    if (const qsizetype at = args.indexOf(QStringLiteral("--screenshot-progress")); at >= 0 && at + 1 < args.size()) {
        QTimer::singleShot(1000, &window, [&window, file = args[at + 1]] {
            window.runLongProcess(file);
            window.close();
        });
    }
    // --screenshot-menu FILE: the window with its "Archivo" menu open, showing the pictures.
    if (const qsizetype at = args.indexOf(QStringLiteral("--screenshot-menu")); at >= 0 && at + 1 < args.size()) {
        QTimer::singleShot(1000, &window, [&window, file = args[at + 1]] {
            window.pictureWithMenuOpen(file);
            window.close();
        });
    }
    // --screenshot-mover FILE: the window while a label of the drawing is dragged.
    if (const qsizetype at = args.indexOf(QStringLiteral("--screenshot-mover")); at >= 0 && at + 1 < args.size()) {
        QTimer::singleShot(1000, &window, [&window, file = args[at + 1]] {
            window.pictureWhileDragging(file);
            window.close();
        });
    }
    return app.exec();
}
