#include "platform/qt/QtWindowSystem.h"

#include <Kor2_Sys/Error.h>

#include "frame/Utf.h"
#include "platform/qt/FormDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace Kor2_Sys::platform::qt {
namespace {

QString toQString(const Text& text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

Text toText(const QString& text)
{
    return Text(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

double logicalDpi(bool horizontal)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? (horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY()) : 96;
    return dpi > 0 ? dpi : 96;
}

// "Texto|*.txt;*.csv|Todo|*.*" -> "Texto (*.txt *.csv)", "Todo (*.*)".
QStringList nameFilters(const Text& filter)
{
    QStringList parts = toQString(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1].split(u';', Qt::SkipEmptyParts).join(u' '));
    return filters;
}

} // namespace

QtWindowSystem::QtWindowSystem() = default;

void QtWindowSystem::showModal(Form& form)
{
    FormDialog dialog(form, twipsPerPixelX(), twipsPerPixelY());
    if (m_shownHook)
        QTimer::singleShot(0, &dialog, [this, &dialog] { m_shownHook(&dialog); });
    dialog.runModal();
}

void QtWindowSystem::showModeless(Form& form)
{
    auto* dialog = new FormDialog(form, twipsPerPixelX(), twipsPerPixelY());
    form.markShown();
    if (form.state() == WindowState::Minimised)
        dialog->showMinimized();
    else
        dialog->show();
}

MessageAnswer QtWindowSystem::messageBox(const MessageBoxRequest& request)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (request.icon) {
    case MessageIcon::None: break;
    case MessageIcon::Information: icon = QMessageBox::Information; break;
    case MessageIcon::Warning: icon = QMessageBox::Warning; break;
    case MessageIcon::Stop: icon = QMessageBox::Critical; break;
    }
    const auto buttons = request.buttons == MessageButtons::Ok ? QMessageBox::Ok : QMessageBox::Ok | QMessageBox::Cancel;
    QMessageBox box(icon, toQString(request.title.value_or(applicationTitle())), toQString(request.text), buttons);
    box.setDefaultButton(QMessageBox::Ok);
    if (m_shownHook)
        QTimer::singleShot(0, &box, [this, &box] { m_shownHook(&box); });
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

void QtWindowSystem::beep() { QApplication::beep(); }
void QtWindowSystem::doEvents() { QCoreApplication::processEvents(); }
double QtWindowSystem::twipsPerPixelX() const { return 1440.0 / logicalDpi(true); }
double QtWindowSystem::twipsPerPixelY() const { return 1440.0 / logicalDpi(false); }

Long QtWindowSystem::screenWidth() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<Long>(screen->geometry().width() * twipsPerPixelX()) : 0;
}

Long QtWindowSystem::screenHeight() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<Long>(screen->geometry().height() * twipsPerPixelY()) : 0;
}

std::vector<ScreenArea> QtWindowSystem::screens() const
{
    std::vector<ScreenArea> areas;
    QList<QScreen*> all = QGuiApplication::screens();
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        all.removeAll(primary);
        all.prepend(primary);
    }
    for (const QScreen* screen : all) {
        const QRect g = screen->geometry();
        areas.push_back({g.x() * twipsPerPixelX(), g.y() * twipsPerPixelY(), g.width() * twipsPerPixelX(),
                         g.height() * twipsPerPixelY()});
    }
    return areas;
}

void QtWindowSystem::clipboardClear() { QGuiApplication::clipboard()->clear(); }
void QtWindowSystem::clipboardSetText(const Text& text) { QGuiApplication::clipboard()->setText(toQString(text)); }

Text QtWindowSystem::fileDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(nullptr, toQString(request.title), toQString(request.initialDirectory));
    dialog.setAcceptMode(request.mode == FileDialogMode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mode == FileDialogMode::Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = nameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const qsizetype index = std::clamp<qsizetype>(request.filterIndex - 1, 0, filters.size() - 1);
        dialog.selectNameFilter(filters[index]);
    }
    if (!request.fileName.empty())
        dialog.selectFile(toQString(request.fileName));
    if (m_shownHook)
        QTimer::singleShot(0, &dialog, [this, &dialog] { m_shownHook(&dialog); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        throw fileDialogCancelled();
    return toText(dialog.selectedFiles().front());
}

} // namespace Kor2_Sys::platform::qt

namespace {

// Without an application, Qt needs a display; a platform plugin that cannot connect would end
// the process, so the obvious cases are refused here with a clear error instead.
void requireDisplay()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && platform[0] != '\0')
        return;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland != nullptr && wayland[0] != '\0')
        return;
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0')
        throw Kor2_Sys::errors::deviceUnavailable(
            u"no hay pantalla: defina DISPLAY (o QT_QPA_PLATFORM=offscreen para trabajar sin ella)");
    // A local display ":N" listens on /tmp/.X11-unix/XN.
    if (display[0] == ':') {
        const std::string number = std::string(display + 1).substr(0, std::string(display + 1).find('.'));
        if (!std::filesystem::exists("/tmp/.X11-unix/X" + number))
            throw Kor2_Sys::errors::deviceUnavailable(u"no se puede abrir la pantalla DISPLAY=" +
                                                      Kor2_Sys::utf::fromUtf8(display));
    }
}

} // namespace

extern "C" KOR2_SYS_QT_EXPORT Kor2_Sys::platform::WindowSystem* kor2_create_qt_window_system()
{
    if (QApplication::instance() == nullptr) {
        requireDisplay();
        // The library's own application, for hosts that have none (the kor2 command): it lives
        // until the process ends, as a host's would.
        static int argc = 1;
        static char name[] = "kor2";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
        // Qt's own dialogs (the file dialog, message box buttons) speak the library's language.
        auto* translator = new QTranslator(qApp);
        if (translator->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(translator);
    } else if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        throw Kor2_Sys::errors::deviceUnavailable(u"la aplicación anfitriona no es una aplicación de ventanas Qt");
    }
    return new Kor2_Sys::platform::qt::QtWindowSystem();
}
