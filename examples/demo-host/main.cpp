// A small host application: a main window with a menu and a status bar, a button that lets the
// user choose a colour through the library, and its own geometry kept in the library's store.
#include <Kor2_Sys/CCmDialog.h>
#include <Kor2_Sys/CColores.h>
#include <Kor2_Sys/cRegistro.h>
#include <Kor2_Sys/c_imput1.h>
#include <Kor2_Sys/cls_Loging.h>
#include <Kor2_Sys/qt/QtHostObject.h>

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

namespace {

using namespace Kor2_Sys;

QString colourText(Long colour)
{
    const Long index = global<CColores>().Col_NuCad_de_NuVB(colour);
    const Text name = global<CColores>().Col_NombCad_de_NuVb(colour);
    return QStringLiteral("Color %1 (índice %2, «%3»)")
        .arg(colour)
        .arg(index)
        .arg(QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size())));
}

class DemoWindow final : public QMainWindow {
public:
    DemoWindow()
    {
        setWindowTitle(QStringLiteral("Kor2_Sys — anfitrión de demostración"));
        auto* central = new QWidget(this);
        auto* row = new QHBoxLayout(central);
        auto* choose = new QPushButton(QStringLiteral("Color..."), central);
        m_swatch = new QLabel(central);
        m_swatch->setFixedSize(96, 48);
        m_swatch->setFrameShape(QFrame::Box);
        row->addWidget(choose);
        row->addWidget(m_swatch);
        row->addStretch();
        setCentralWidget(central);
        connect(choose, &QPushButton::clicked, this, &DemoWindow::chooseColour);

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
        resize(480, 200);
        paintSwatch();
        global<cRegistro>().R_Lee_tamaño_y_pos_Obj_en_Win_O(qt::hostWindow(this), u"Demo", u"Principal");
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        global<cRegistro>().R_Graba_tamaño_y_pos_Obj_en_Win(qt::hostWindow(this), u"Demo", u"Principal");
        event->accept();
    }

private:
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
        statusBar()->showMessage(QStringLiteral("Archivo: %1").arg(QString::fromUtf16(path.data(), static_cast<qsizetype>(path.size()))));
    }
    void askText()
    {
        const Text text = global<c_imput1>().A_Imput_Inf(u"Parcela 12", u"Nombre del plano", u"El nombre aparece en el cajetín.");
        statusBar()->showMessage(QStringLiteral("Texto: «%1»").arg(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()))));
    }
    void askNumber()
    {
        const Double value = global<c_imput1>().A_Imput_Numero_R_F(612.437, u"Cota (m)", 3);
        statusBar()->showMessage(value == c_imput1::kCancelado ? QStringLiteral("Número: cancelado")
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
        statusBar()->showMessage(colourText(m_colour));
    }

    QLabel* m_swatch = nullptr;
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
    return app.exec();
}
