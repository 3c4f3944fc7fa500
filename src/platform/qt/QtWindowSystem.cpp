#include "platform/qt/QtWindowSystem.h"

#include <Kor2_Sys/qt/Kor2_SysQtExport.h>

#include "frame/Errors.h"
#include "frame/NeverDestroyed.h"
#include "frame/Utf.h"
#include "platform/qt/FormDialog.h"
#include "platform/qt/HostHandles.h"
#include "platform/qt/QtText.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSizeGrip>
#include <QStatusBar>
#include <QStringList>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <string_view>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace Kor2_Sys::platform::qt {
namespace {

// "Texto|*.txt;*.csv|Todo|*.*" -> "Texto (*.txt *.csv)", "Todo (*.*)".
QStringList nameFilters(const Text& filter)
{
    QStringList parts = toQString(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1].split(u';', Qt::SkipEmptyParts).join(u' '));
    return filters;
}

// Qt's own words (a text box's context menu, the file dialog's views and questions) come from the
// application's translators, and no translator can be given to one dialog alone. The Spanish one
// is therefore installed only while one of the library's modal windows runs and removed when it
// ends: the library's windows speak Spanish whoever created the application, and the host's own
// dialogs keep the host's language. The words the library relies on are also set on each dialog,
// so that they are Spanish even where Qt's translations are not installed.
class SpanishWhileShown {
public:
    SpanishWhileShown()
    {
        if (s_depth++ == 0 && (*s_translator = spanish()))
            QCoreApplication::installTranslator(*s_translator);
    }
    ~SpanishWhileShown()
    {
        if (--s_depth == 0 && *s_translator)
            QCoreApplication::removeTranslator(*s_translator);
    }
    SpanishWhileShown(const SpanishWhileShown&) = delete;
    SpanishWhileShown& operator=(const SpanishWhileShown&) = delete;

private:
    // Loaded once per application; null when Qt's Spanish translation is not on the machine. The
    // pointers are never destroyed: the module's statics die before exit handlers that were
    // registered before it was loaded, and those may still show a box.
    static QTranslator* spanish()
    {
        static NeverDestroyed<QPointer<QTranslator>> loadedSlot;
        static NeverDestroyed<QPointer<QCoreApplication>> triedForSlot;
        QPointer<QTranslator>& loaded = *loadedSlot;
        QPointer<QCoreApplication>& triedFor = *triedForSlot;
        if (!loaded && triedFor != QCoreApplication::instance()) {
            triedFor = QCoreApplication::instance();
            auto* translator = new QTranslator(QCoreApplication::instance());
            if (translator->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
                loaded = translator;
            else
                delete translator;
        }
        return loaded;
    }
    static inline int s_depth = 0;
    static inline NeverDestroyed<QPointer<QTranslator>> s_translator;
};

void spanishButtons(QMessageBox& box)
{
    if (QAbstractButton* ok = box.button(QMessageBox::Ok))
        ok->setText(QStringLiteral("Aceptar"));
    if (QAbstractButton* cancel = box.button(QMessageBox::Cancel))
        cancel->setText(QStringLiteral("Cancelar"));
    if (QAbstractButton* yes = box.button(QMessageBox::Yes))
        yes->setText(QStringLiteral("Sí"));
    if (QAbstractButton* no = box.button(QMessageBox::No))
        no->setText(QStringLiteral("No"));
}

// The file dialog of the library: Qt's own rather than the desktop's, so that it speaks Spanish,
// carries the chooser's picture and checks names as the library asks. A name to open needs only
// an existing folder, not an existing file; a name to save over an existing file asks first.
class FileDialog final : public QFileDialog {
public:
    explicit FileDialog(const FileDialogRequest& request)
        : QFileDialog(nullptr, toQString(request.title), toQString(request.initialDirectory))
    {
        const bool save = request.mode == FileDialogMode::Save;
        setOption(QFileDialog::DontUseNativeDialog);
        setOption(QFileDialog::DontConfirmOverwrite);  // asked below, in Spanish
        setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        setFileMode(QFileDialog::AnyFile);
        setWindowIcon(windowIconNamed(save ? "document-save" : "document-open"));
        setLabelText(QFileDialog::LookIn, QStringLiteral("Buscar en:"));
        setLabelText(QFileDialog::FileName, QStringLiteral("Nombre de archivo:"));
        setLabelText(QFileDialog::FileType, QStringLiteral("Tipo de archivo:"));
        setLabelText(QFileDialog::Accept, save ? QStringLiteral("Guardar") : QStringLiteral("Abrir"));
        setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
    }

    void accept() override
    {
        const QString chosen = selectedFiles().value(0);
        const QFileInfo info(chosen);
        if (chosen.isEmpty() || info.isDir()) {
            QFileDialog::accept();  // a folder is entered, not chosen
            return;
        }
        if (!info.dir().exists()) {
            ask(QStringLiteral("La carpeta %1 no existe.").arg(QDir::toNativeSeparators(info.absolutePath())),
                QMessageBox::Ok);
            return;
        }
        if (acceptMode() == QFileDialog::AcceptSave && info.exists() &&
            ask(QStringLiteral("%1 ya existe.\n¿Desea reemplazarlo?").arg(info.fileName()),
                QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return;
        QFileDialog::accept();
    }

private:
    int ask(const QString& text, QMessageBox::StandardButtons buttons)
    {
        QMessageBox box(QMessageBox::Warning, windowTitle(), text, buttons, this);
        box.setDefaultButton(buttons.testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok);
        spanishButtons(box);
        return box.exec();
    }
};

// The parts of a status bar: what its layout shows, at any depth of nested layouts.
void collectParts(const QLayout& layout, const QWidget& bar, std::vector<QRect>& parts)
{
    for (int i = 0; i < layout.count(); ++i) {
        QLayoutItem* item = layout.itemAt(i);
        if (const QLayout* inner = item->layout())
            collectParts(*inner, bar, parts);
        else if (const QWidget* w = item->widget(); w && !qobject_cast<const QSizeGrip*>(w) && w->isVisibleTo(&bar))
            parts.emplace_back(w->mapTo(&bar, QPoint(0, 0)), w->size());
    }
}


// A copy of a widget's drawing, held at the size it was made with.
class QtBitmap final : public Bitmap {
public:
    QtBitmap(int width, int height) : m_pixmap(width, height) { m_pixmap.fill(Qt::black); }
    Long width() const override { return m_pixmap.width(); }
    Long height() const override { return m_pixmap.height(); }
    bool isNull() const { return m_pixmap.isNull(); }
    QPixmap& pixmap() { return m_pixmap; }

private:
    QPixmap m_pixmap;
};

class QtMemoryDrawing final : public MemoryDrawing {
public:
    explicit QtMemoryDrawing(QWidget* source) : m_source(source) {}

    std::unique_ptr<Bitmap> createBitmap(Long width, Long height) override
    {
        if (width <= 0 || height <= 0 || std::int64_t{width} * height > kMaxBitmapPixels)
            return nullptr;
        auto bitmap = std::make_unique<QtBitmap>(width, height);
        if (bitmap->isNull())
            return nullptr;
        return bitmap;
    }

    void copySource(Bitmap& bitmap) override
    {
        auto* target = dynamic_cast<QtBitmap*>(&bitmap);
        if (target == nullptr || m_source == nullptr)
            return;
        // What the widget shows now, at the bitmap's size in pixels whatever the screen's scale;
        // the part of the bitmap beyond the widget keeps the blank a new bitmap has.
        const QPixmap shown = m_source->grab(QRect(0, 0, target->width(), target->height()));
        if (shown.isNull())
            return;
        QPainter painter(&target->pixmap());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(QRectF(QPointF(0, 0), shown.deviceIndependentSize()), shown, QRectF(shown.rect()));
    }

private:
    QPointer<QWidget> m_source;
};

} // namespace

QtWindowSystem::QtWindowSystem(Audience audience) : m_audience(audience) {}

void QtWindowSystem::requireAudience(std::u16string_view window) const
{
    if (m_audience == Audience::Nobody)
        throw errors::deviceUnavailable(u"nadie vería la ventana " + Text(window) + u" (la plataforma " +
                                        toText(QGuiApplication::platformName()) +
                                        u" no la muestra): use kor2 --headless con un guion de acciones, o xvfb-run");
}

void QtWindowSystem::showModal(Form& form)
{
    requireAudience(utf::fromUtf8(form.name()));
    const SpanishWhileShown spanish;
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
    requireAudience(u"de mensaje");
    const auto buttons = request.buttons == MessageButtons::Ok ? QMessageBox::Ok : QMessageBox::Ok | QMessageBox::Cancel;
    const SpanishWhileShown spanish;
    QMessageBox box(icon, toQString(request.title.value_or(applicationTitle())), toQString(request.text), buttons);
    box.setDefaultButton(QMessageBox::Ok);
    spanishButtons(box);
    if (m_shownHook)
        QTimer::singleShot(0, &box, [this, &box] { m_shownHook(&box); });
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

void QtWindowSystem::beep() { QApplication::beep(); }
void QtWindowSystem::doEvents() { QCoreApplication::processEvents(); }
double QtWindowSystem::twipsPerPixelX() const { return twipsPerPixel(true); }
double QtWindowSystem::twipsPerPixelY() const { return twipsPerPixel(false); }

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

void QtWindowSystem::statusBarPartRect(Long statusBar, Long part, PixelRect& rect)
{
    auto* bar = qobject_cast<QStatusBar*>(widgetOf(statusBar));
    if (bar == nullptr || bar->layout() == nullptr || part < 0)
        return;
    // A request right after the host changed the bar sees the layout as it will be shown.
    bar->layout()->activate();
    std::vector<QRect> parts;
    collectParts(*bar->layout(), *bar, parts);
    if (static_cast<std::size_t>(part) >= parts.size())
        return;
    std::stable_sort(parts.begin(), parts.end(), [](const QRect& a, const QRect& b) { return a.x() < b.x(); });
    const QRect& found = parts[static_cast<std::size_t>(part)];
    rect = {found.x(), found.y(), found.x() + found.width(), found.y() + found.height()};
}

void QtWindowSystem::setParent(Long child, Long parent)
{
    QWidget* widget = widgetOf(child);
    QWidget* newParent = parent != 0 ? widgetOf(parent) : nullptr;
    if (widget == nullptr || (parent != 0 && newParent == nullptr))
        return;
    // A window cannot hold itself: a parent inside the child would close a loop.
    for (const QWidget* above = newParent; above != nullptr; above = above->parentWidget())
        if (above == widget)
            return;
    // Qt hides a widget it re-parents; the platform's own call keeps it as it was.
    const QRect geometry = widget->geometry();
    const bool visible = ownVisible(*widget);
    widget->setParent(newParent);
    widget->setGeometry(geometry);
    widget->setVisible(visible);
}

std::unique_ptr<MemoryDrawing> QtWindowSystem::createMemoryDrawing(Long source)
{
    QWidget* widget = widgetOf(source);
    if (widget == nullptr)
        return nullptr;
    return std::make_unique<QtMemoryDrawing>(widget);
}

void QtWindowSystem::clipboardSetBitmap(std::unique_ptr<Bitmap> bitmap)
{
    if (auto* held = dynamic_cast<QtBitmap*>(bitmap.get()))
        QGuiApplication::clipboard()->setPixmap(held->pixmap());
}

PixelPoint QtWindowSystem::cursorPosition() const
{
    const QPoint at = QCursor::pos();
    return {at.x(), at.y()};
}

Text QtWindowSystem::fileDialog(const FileDialogRequest& request)
{
    requireAudience(u"de archivos");
    const SpanishWhileShown spanish;
    FileDialog dialog(request);
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
bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// Qt aborts the process when its platform plugin cannot reach its display: the checks it would
// fail on are made first, so that the caller gets error 68 instead.
void requireX11Display()
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0')
        throw Kor2_Sys::errors::deviceUnavailable(
            u"no hay pantalla: defina DISPLAY (o WAYLAND_DISPLAY, con QT_QPA_PLATFORM vacía o wayland), "
            u"o trabaje sin ella con kor2 --headless y un guion de acciones, o dentro de xvfb-run");
    // A local display ":N" listens on /tmp/.X11-unix/XN.
    if (display[0] == ':') {
        const std::string number = std::string(display + 1).substr(0, std::string(display + 1).find('.'));
        if (!std::filesystem::exists("/tmp/.X11-unix/X" + number))
            throw Kor2_Sys::errors::deviceUnavailable(u"no se puede abrir la pantalla DISPLAY=" +
                                                      Kor2_Sys::utf::fromUtf8(display));
    }
}

void requireDisplay()
{
    const char* named = std::getenv("QT_QPA_PLATFORM");
    std::string_view platform = named != nullptr ? named : "";
    platform = platform.substr(0, platform.find(':'));  // "offscreen:configfile=..." names offscreen
    if (platform.empty()) {
        if (!isSet("WAYLAND_DISPLAY"))
            requireX11Display();
    } else if (platform == "xcb") {
        requireX11Display();
    } else if (platform.starts_with("wayland") && !isSet("WAYLAND_DISPLAY")) {
        throw Kor2_Sys::errors::deviceUnavailable(u"no hay pantalla: QT_QPA_PLATFORM=" +
                                                  Kor2_Sys::utf::fromUtf8(platform) + u" sin WAYLAND_DISPLAY");
    }
    // Any other plugin (offscreen, minimal, vnc, ...) needs no display of the desktop's.
}

} // namespace

extern "C" KOR2_SYS_QT_EXPORT Kor2_Sys::platform::WindowSystem* kor2_create_qt_window_system()
{
    using Kor2_Sys::platform::qt::QtWindowSystem;
    // Set once the library has made the application: no host then runs an event loop of its own
    // or drives the windows, so on a platform that draws nowhere a modal window would wait forever.
    static bool madeHere = false;
    if (QApplication::instance() == nullptr) {
        requireDisplay();
        // The library's own application, for hosts that have none (the kor2 command): it lives
        // until the process ends, as a host's would.
        static int argc = 1;
        static char name[] = "kor2";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
        madeHere = true;
    } else if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        throw Kor2_Sys::errors::deviceUnavailable(u"la aplicación anfitriona no es una aplicación de ventanas Qt");
    }
    const QString platform = QGuiApplication::platformName();
    const bool drawsNowhere = platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
    return new QtWindowSystem(madeHere && drawsNowhere ? QtWindowSystem::Audience::Nobody : QtWindowSystem::Audience::Screen);
}
